// Where a program may write: shell32's special folders on the XDG directories, the system's
// folders marked FILE_ATTRIBUTE_SYSTEM, and a temporary file made to try a folder.
#include <gtest/gtest.h>
#include <pwd.h>
#include <shlobj.h>
#include <unistd.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_support.h"

namespace {

// An environment variable set (or, with null, removed) for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

struct Folder {
  HRESULT result;
  std::string path;
};

Folder FolderOf(int csidl) {
  char path[MAX_PATH] = "untouched";
  const HRESULT result = SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return {result, path};
}

}  // namespace

TEST(ShellFolders, MapTheSpecialFoldersOnTheXdgDirectories) {
  testsupport::TempDir dir;
  const std::string home = dir.path() + "/home";
  std::filesystem::create_directories(home + "/.config");
  ScopedEnv homeEnv("HOME", home.c_str());
  ScopedEnv configEnv("XDG_CONFIG_HOME", nullptr);
  const std::string longPath = "/" + std::string(300, 'x');

  struct Case {
    const char* what;
    const char* stateHome;  // XDG_STATE_HOME, null for none
    const char* userDirs;   // user-dirs.dirs, null for none
    int csidl;
    HRESULT result;
    std::string path;  // "~" stands for the home folder
  };
  const Case cases[] = {
      {"the profile is the home folder", nullptr, nullptr, CSIDL_PROFILE, S_OK, "~"},
      {"the state folder by default, missing", nullptr, nullptr, CSIDL_LOCAL_APPDATA, S_FALSE, "~/.local/state"},
      {"and made with its parents", nullptr, nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, S_OK,
       "~/.local/state"},
      {"XDG_STATE_HOME when absolute", "/tmp", nullptr, CSIDL_LOCAL_APPDATA, S_OK, "/tmp"},
      {"and not when relative", "state", nullptr, CSIDL_LOCAL_APPDATA, S_OK, "~/.local/state"},
      {"too long a path fails", longPath.c_str(), nullptr, CSIDL_LOCAL_APPDATA, E_FAIL, ""},
      {"pictures without user-dirs.dirs: home", nullptr, nullptr, CSIDL_MYPICTURES, S_OK, "~"},
      {"pictures under $HOME", nullptr, "# ours\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n", CSIDL_MYPICTURES, S_FALSE,
       "~/Bilder"},
      {"pictures at an absolute path", nullptr, "XDG_DESKTOP_DIR=\"/nowhere\"\nXDG_PICTURES_DIR=\"/tmp/\"\n",
       CSIDL_MYPICTURES, S_OK, "/tmp"},
      {"pictures set to $HOME/: home", nullptr, "XDG_PICTURES_DIR=\"$HOME/\"\n", CSIDL_MYPICTURES, S_OK, "~"},
      {"a malformed line is skipped", nullptr, "XDG_PICTURES_DIR=$HOME/Bilder\n", CSIDL_MYPICTURES, S_OK, "~"},
      {"another folder is refused", nullptr, nullptr, 0x0005 /* CSIDL_PERSONAL */, E_INVALIDARG, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedEnv stateEnv("XDG_STATE_HOME", c.stateHome);
    std::filesystem::remove(home + "/.config/user-dirs.dirs");
    if (c.userDirs) testsupport::WriteFile(home + "/.config/user-dirs.dirs", c.userDirs);
    const std::string expected = c.path[0] == '~' ? home + c.path.substr(1) : c.path;
    const Folder folder = FolderOf(c.csidl);
    EXPECT_EQ(folder.result, c.result);
    EXPECT_EQ(folder.path, expected);
  }
  EXPECT_TRUE(std::filesystem::is_directory(home + "/.local/state"));
  EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, nullptr), E_INVALIDARG);
}

TEST(Win32Files, MarkTheSystemsFoldersAndTryAFolderWithATemporaryFile) {
  testsupport::TempDir dir;
  // The user's own folder: a folder only, and a file made in it under a fresh name each time.
  EXPECT_EQ(GetFileAttributesA("."), DWORD{FILE_ATTRIBUTE_DIRECTORY});
  char first[MAX_PATH], second[MAX_PATH];
  const UINT number = GetTempFileNameA(".", "kvrview", 0, first);
  ASSERT_NE(number, 0u);
  ASSERT_NE(GetTempFileNameA(".", "kvr", 0, second), 0u);
  EXPECT_EQ(std::string(first, 5), ".\\kvr");  // the prefix's first three characters
  EXPECT_NE(std::string(first), std::string(second));
  EXPECT_EQ(GetFileAttributesA(first), DWORD{FILE_ATTRIBUTE_NORMAL});
  EXPECT_TRUE(DeleteFileA(first));
  EXPECT_EQ(GetFileAttributesA(first), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(DeleteFileA(first));
  EXPECT_TRUE(DeleteFileA(second));
  EXPECT_EQ(GetTempFileNameA("missing", "kvr", 0, first), 0u);  // nowhere to make it
  EXPECT_EQ(GetTempFileNameA(".", "kvr", 0x1234, first), 0x1234u);  // a given number only names it
  EXPECT_EQ(std::string(first), ".\\kvr1234.tmp");
  EXPECT_EQ(GetFileAttributesA(first), INVALID_FILE_ATTRIBUTES);

  ASSERT_TRUE(CreateDirectoryA("Data Set", nullptr));
  EXPECT_FALSE(CreateDirectoryA("data set", nullptr));  // already there, whatever the case
  EXPECT_FALSE(DeleteFileA("Data Set"));                // a folder is no file
  EXPECT_EQ(GetFileAttributesA("data set"), DWORD{FILE_ATTRIBUTE_DIRECTORY});

  // The system's trees, whoever runs this, and a folder of another user's.
  EXPECT_EQ(GetFileAttributesA("/usr/share"), DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM});
  EXPECT_EQ(GetFileAttributesA("/etc"), DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM});
  if (geteuid() == 0) {
    const struct passwd* nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ASSERT_EQ(chown("Data Set", nobody->pw_uid, nobody->pw_gid), 0);
    EXPECT_EQ(GetFileAttributesA("Data Set"), DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM});
  }
  // Files keep their own attributes wherever they are.
  EXPECT_EQ(GetFileAttributesA("/etc/passwd"), DWORD{FILE_ATTRIBUTE_NORMAL});
}
