// Choosing where the log and F12's pictures go, through the shell's special folders.
#include "base/write_folders.h"

#include <shlobj.h>
#include <windows.h>

namespace {

// The working folder takes files: it is not the system's, and a file can be made (and removed)
// in it. Only trying tells a read-only mount or a folder without write permission.
bool DataSetFolderTakesFiles() {
  const DWORD attributes = GetFileAttributesA(".");
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_SYSTEM)) return false;
  char probe[MAX_PATH];
  if (GetTempFileNameA(".", "kvr", 0, probe) == 0) return false;
  DeleteFileA(probe);
  return true;
}

// The data set folder's own name, as a single folder name: the last part of the working folder,
// with the characters that would separate folders or name a drive replaced.
std::string DataSetFolderName() {
  std::string name(GetCurrentDirectoryA(0, nullptr), '\0');
  const DWORD length = name.empty() ? 0 : GetCurrentDirectoryA(static_cast<DWORD>(name.size()), &name[0]);
  name.resize(length < name.size() ? length : 0);
  while (!name.empty() && (name.back() == '\\' || name.back() == '/')) name.pop_back();
  const size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  for (char& c : name) {
    if (c == '\\' || c == '/' || c == ':' || static_cast<unsigned char>(c) < 0x20) c = '_';
  }
  if (name.empty() || name == "." || name == "..") name = "data set";
  return name;
}

// A folder made if missing; true when it is there and is a folder of the user's.
bool MadeFolder(const std::string& folder) {
  CreateDirectoryA(folder.c_str(), nullptr);
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT));
}

}  // namespace

std::string InFolder(const std::string& folder, const char* name) {
  if (folder.empty()) return name;
  const char separator = folder.find('\\') != std::string::npos ? '\\' : '/';
  return folder.back() == separator ? folder + name : folder + separator + name;
}

WriteFolders ChooseWriteFolders() {
  WriteFolders folders;
  if (DataSetFolderTakesFiles()) return folders;
  folders.dataSetFolder = false;

  char path[MAX_PATH];
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                 path))) {
    const std::string ours = InFolder(path, "kvrview");
    const std::string log = InFolder(ours, DataSetFolderName().c_str());
    if (MadeFolder(ours) && MadeFolder(log)) folders.log = log;
  }
  // The pictures folder is made when the first picture is saved, not before.
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, path)) ||
      SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, path))) {
    folders.pictures = path;
  }
  return folders;
}
