// The shell's special folders (shell32's SHGetFolderPathA), with the meaning the freedesktop.org
// base and user directories give them here:
//   CSIDL_PROFILE        the home folder ($HOME, else the user's entry in the password database)
//   CSIDL_LOCAL_APPDATA  a program's own per-user files, its logs among them: the state folder,
//                        $XDG_STATE_HOME, else ~/.local/state
//   CSIDL_MYPICTURES     the pictures folder as xdg-user-dir PICTURES names it
//                        ($XDG_CONFIG_HOME/user-dirs.dirs, else ~/.config/user-dirs.dirs), else
//                        the home folder
#pragma once
#include "windef.h"
#include "winerror.h"

#define CSIDL_LOCAL_APPDATA 0x001c
#define CSIDL_MYPICTURES 0x0027
#define CSIDL_PROFILE 0x0028
#define CSIDL_FLAG_CREATE 0x8000
#define CSIDL_FLAG_MASK 0xff00
#define SHGFP_TYPE_CURRENT 0
#define SHGFP_TYPE_DEFAULT 1

#ifdef __cplusplus
extern "C" {
#endif

// Writes the folder's path (MAX_PATH characters at most, with its terminator) into pszPath:
// S_OK when it exists (made first, with its parents, under CSIDL_FLAG_CREATE), S_FALSE when it does
// not (the path is still written), E_FAIL when there is no such folder or its path is too long,
// E_INVALIDARG for another CSIDL. hwnd and hToken are not used (the current user's folders);
// dwFlags is SHGFP_TYPE_CURRENT or SHGFP_TYPE_DEFAULT alike.
HRESULT WINAPI SHGetFolderPathA(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, LPSTR pszPath);

#ifdef __cplusplus
}
#endif
