// The generators' file output.
#include <filesystem>
#include <fstream>

#include "sample_kit.h"

namespace kit {

bool WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  return WriteBytes(path, std::string(bytes.begin(), bytes.end()));
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

}  // namespace kit
