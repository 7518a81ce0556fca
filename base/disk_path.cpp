// The path a data-set file has on disk: asked of the open file, then made relative to the
// working folder.
#include "base/disk_path.h"

#include <windows.h>

#include <vector>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Windows writes the path of a file on a drive "\\?\C:\..." and one on a share "\\?\UNC\host\...".
std::string WithoutLongPathPrefix(const std::string& path) {
  if (path.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\\\" + path.substr(8);
  if (path.compare(0, 4, "\\\\?\\") == 0) return path.substr(4);
  return path;
}

// Reads a path from a kernel32 call of the form (size, buffer) -> length, or the size it needs
// with its terminating NUL when the buffer is short; empty on failure.
template <typename Call>
std::string ReadPath(Call&& call) {
  std::vector<char> buffer(512);
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD length = call(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    // The path may have grown between two calls: try again with what the last one asked for.
    if (length > (1u << 20)) return std::string();
    buffer.resize(length);
  }
  return std::string();
}

}  // namespace

bool PathBelowFolder(const std::string& finalPath, const std::string& folder, std::string& below) {
  const std::string path = WithoutLongPathPrefix(finalPath);
  std::string base = WithoutLongPathPrefix(folder);
  if (base.empty()) return false;
  // "C:\" and "/" end in a separator; other folders do not, but either way it is dropped here.
  while (!base.empty() && IsSeparator(base.back())) base.pop_back();
  if (path.size() <= base.size() + 1 || !IsSeparator(path[base.size()])) return false;
  for (size_t i = 0; i < base.size(); ++i) {
    const char a = path[i], b = base[i];
    if (IsSeparator(a) && IsSeparator(b)) continue;
    if (LowerAscii(a) != LowerAscii(b)) return false;
  }
  size_t start = base.size();
  while (start < path.size() && IsSeparator(path[start])) ++start;
  if (start >= path.size()) return false;
  below = path.substr(start);
  return true;
}

std::string PathRelativeToFolder(const std::string& finalPath, const std::string& folder) {
  std::string below;
  return PathBelowFolder(finalPath, folder, below) ? below : WithoutLongPathPrefix(finalPath);
}

std::string FinalPathOf(void* handle) {
  return ReadPath([handle](DWORD size, char* buffer) {
    return GetFinalPathNameByHandleA(static_cast<HANDLE>(handle), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  });
}

std::string FolderOnDisk(const std::string& folder) {
  HANDLE handle = CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::string();
  std::string final = FinalPathOf(handle);
  CloseHandle(handle);
  return final;
}

std::string DataSetFolderOnDisk() {
  // The working folder's name is asked for each time, its final path only when that changes.
  static std::string lastFolder, lastFinal;
  const std::string folder =
      ReadPath([](DWORD size, char* buffer) { return GetCurrentDirectoryA(size, buffer); });
  if (folder.empty()) return std::string();
  if (folder == lastFolder) return lastFinal;
  std::string final = FolderOnDisk(".");
  if (final.empty()) return final;
  lastFolder = folder;
  lastFinal = final;
  return final;
}

std::string PathFoundOnDisk(const char* dataSetPath) {
  if (!dataSetPath || !dataSetPath[0]) return std::string();
  // Only the name is asked for: the file is neither read nor written.
  HANDLE file = CreateFileA(dataSetPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  const std::string finalPath = FinalPathOf(file);
  CloseHandle(file);
  if (finalPath.empty()) return std::string();
  const std::string folder =
      ReadPath([](DWORD size, char* buffer) { return GetCurrentDirectoryA(size, buffer); });
  return PathRelativeToFolder(finalPath, folder);
}

std::string FullPath(const std::string& name) {
  if (name.empty()) return std::string();
  return ReadPath(
      [&name](DWORD size, char* buffer) { return GetFullPathNameA(name.c_str(), size, buffer, nullptr); });
}

std::string ExactPath(const std::string& name) {
  const std::string full = FullPath(name);
  if (full.empty() || full.compare(0, 4, "\\\\?\\") == 0 || full.compare(0, 4, "\\\\.\\") == 0) return full;
  if (full.compare(0, 2, "\\\\") == 0) return "\\\\?\\UNC\\" + full.substr(2);
  return "\\\\?\\" + full;
}
