// Windows path resolution: '\' separators and letter case that differs from the disk.
// Implemented: relative and absolute paths, '.' and '..', repeated separators, case-insensitive
//   matching of ASCII letters, component by component.
// Not implemented: drive letters, UNC names, 8.3 short names, Windows' dropping of trailing dots
//   and spaces.
#include "win32/path_resolution.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// The entry of `dir` whose name equals `name` ignoring ASCII case. Several can match on a
// case-sensitive disk ("Tex" and "tex" when "TEX" was asked): the first in byte order wins, so
// the answer does not depend on the order the directory happens to list them in.
bool FindEntryIgnoringCase(const std::string& dir, const std::string& name, std::string& found) {
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return false;
  std::vector<std::string> matches;
  while (dirent* e = readdir(d)) {
    if (strcasecmp(e->d_name, name.c_str()) == 0) matches.push_back(e->d_name);
  }
  closedir(d);
  if (matches.empty()) return false;
  found = *std::min_element(matches.begin(), matches.end());
  return true;
}

}  // namespace

std::string KvrResolveWindowsPath(const char* path) {
  if (!path) return std::string();
  std::string unix(path);
  std::replace(unix.begin(), unix.end(), '\\', '/');
  if (unix.empty() || Exists(unix)) return unix;  // the common case costs one lstat

  const bool absolute = unix[0] == '/';
  std::vector<std::string> components;
  size_t start = 0;
  while (start <= unix.size()) {
    size_t end = unix.find('/', start);
    if (end == std::string::npos) end = unix.size();
    if (end > start) components.push_back(unix.substr(start, end - start));
    start = end + 1;
  }

  std::string result = absolute ? "/" : "";
  bool resolvable = true;  // once a component matches nothing, the rest can't exist either
  for (size_t i = 0; i < components.size(); ++i) {
    const std::string& component = components[i];
    std::string chosen = component;
    if (resolvable && component != "." && component != "..") {
      std::string exact = result + component;
      if (!Exists(exact)) {
        std::string found;
        if (FindEntryIgnoringCase(result, component, found))
          chosen = found;
        else
          resolvable = false;
      }
    }
    result += chosen;
    if (i + 1 < components.size()) result += '/';
  }
  if (unix.back() == '/' && !components.empty()) result += '/';
  return result;
}
