// Whole-file writes through a temporary file and a rename; folders made and entered.
#include "exchange/output_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

bool ReplaceFile(const std::string& path, const std::string& bytes, std::string& why) {
  const std::string temporary = path + ".kvr-" + std::to_string(getpid()) + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) {
    why = std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int error = errno;
  if (std::fclose(file) != 0 || !written) {
    why = std::strerror(written ? errno : error);
    std::remove(temporary.c_str());
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    why = std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

bool MakeFolder(const std::string& path, std::string& why) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) {
    why = error.message();
    return false;
  }
  if (!std::filesystem::is_directory(path, error)) {
    why = "not a folder";
    return false;
  }
  return true;
}

bool SetCurrentDirectoryOf(const std::string& path) { return chdir(path.c_str()) == 0; }
