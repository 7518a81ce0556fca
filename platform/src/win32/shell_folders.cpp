// shell32's special folders: SHGetFolderPathA, on the freedesktop.org base and user directories.
// Implemented: CSIDL_PROFILE, CSIDL_LOCAL_APPDATA, CSIDL_MYPICTURES, CSIDL_FLAG_CREATE.
// Not implemented: every other CSIDL, other users' folders (hToken), SHGetKnownFolderPath.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "shlobj.h"
#include "windows.h"

namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return home;
  const struct passwd* entry = getpwuid(geteuid());
  return entry && entry->pw_dir && entry->pw_dir[0] == '/' ? entry->pw_dir : "";
}

// A base directory's variable, when it holds an absolute path (XDG base directories ignore relative ones),
// else its default under the home folder.
std::string BaseFolder(const char* variable, const std::string& home, const char* underHome) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  return home.empty() ? "" : home + underHome;
}

// XDG_<name>_DIR of user-dirs.dirs, read as xdg-user-dir reads it: a line
// XDG_PICTURES_DIR="$HOME/Pictures" or ="/absolute/path"; the home folder when there is none.
std::string UserFolder(const char* name, const std::string& home) {
  std::ifstream dirs(BaseFolder("XDG_CONFIG_HOME", home, "/.config") + "/user-dirs.dirs");
  const std::string key = std::string("XDG_") + name + "_DIR=\"";
  std::string line;
  while (std::getline(dirs, line)) {
    if (line.compare(0, key.size(), key) != 0 || line.size() < key.size() + 1 || line.back() != '"') continue;
    const std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value == "$HOME" || value == "$HOME/") return home;
    if (value.compare(0, 6, "$HOME/") == 0) return home.empty() ? "" : home + value.substr(5);
    if (!value.empty() && value[0] == '/') return value;
  }
  return home;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder and the parents it lacks, private to the user, as XDG state folders are.
bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  return IsFolder(path);
}

}  // namespace

HRESULT WINAPI SHGetFolderPathA(HWND, int csidl, HANDLE, DWORD, LPSTR pszPath) {
  if (!pszPath) return E_INVALIDARG;
  pszPath[0] = '\0';
  const std::string home = HomeFolder();
  std::string path;
  switch (csidl & ~CSIDL_FLAG_MASK) {
    case CSIDL_PROFILE: path = home; break;
    case CSIDL_LOCAL_APPDATA: path = BaseFolder("XDG_STATE_HOME", home, "/.local/state"); break;
    case CSIDL_MYPICTURES: path = UserFolder("PICTURES", home); break;
    default: return E_INVALIDARG;
  }
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path.empty() || path.size() >= MAX_PATH) return E_FAIL;
  if ((csidl & CSIDL_FLAG_CREATE) && !MakeFolders(path)) return E_FAIL;
  std::memcpy(pszPath, path.c_str(), path.size() + 1);
  return IsFolder(path) ? S_OK : S_FALSE;
}
