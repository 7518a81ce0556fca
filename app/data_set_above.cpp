// Where a model file's data set is: the walk up from the file.
#include "app/data_set_above.h"

#include <windows.h>

#include <cctype>
#include <vector>

namespace {

// The first count parts as a path from the root; a drive ("C:") stands first without a separator.
std::string Joined(const std::vector<std::string>& parts, size_t count) {
  std::string path;
  for (size_t i = 0; i < count; ++i) {
    const bool drive = i == 0 && parts[0].size() == 2 && parts[0][1] == ':';
    path += (drive ? "" : "/") + parts[i];
  }
  return path.empty() || path.back() == ':' ? path + "/" : path;
}

}  // namespace

bool IsFileOnDisk(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EndsWithPie(const std::string& name) {
  static const char kPie[] = ".pie";
  if (name.size() < 4) return false;
  for (size_t i = 0; i < 4; ++i)
    if (std::tolower(static_cast<unsigned char>(name[name.size() - 4 + i])) != kPie[i]) return false;
  return true;
}

DataSetAbove FindDataSetAbove(const std::string& path, bool (*exists)(const std::string& path)) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("/\\", start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  DataSetAbove place;
  place.file = Joined(parts, parts.size());
  const size_t folders = parts.empty() ? 0 : parts.size() - 1;
  place.folder = Joined(parts, folders);
  for (size_t depth = folders + 1; depth-- > 0;) {
    const std::string folder = Joined(parts, depth);
    if (exists(folder + (folder.back() == '/' ? "" : "/") + "duskfen/KVRStartUp.gam")) {
      place.root = folder;
      break;
    }
  }
  return place;
}
