// kernel32 change notification and waits in the browser, where the data set lives in the page's
// memory file system: only the program itself and the page (which asks for F5 when it has copied
// a new data set in) ever write there, so a watched folder never changes behind the program.
// Implemented: FindFirstChangeNotificationA on an existing folder (its name resolved as
//   CreateFileA resolves a name) giving a handle that is never signalled, FindNextChangeNotification,
//   FindCloseChangeNotification, WaitForSingleObject on such a handle with a time-out of 0 or a
//   finite time (WAIT_TIMEOUT after yielding to the page that long).
// Not implemented: INFINITE waits (WAIT_FAILED: the wait could never end, and the page would hang
//   with it), watching a subtree, waits on any other kind of handle (WAIT_FAILED).
#include <emscripten.h>
#include <sys/stat.h>
#include <windows.h>

#include <cstdint>
#include <set>
#include <string>

#include "win32/path_resolution.h"

namespace {

constexpr DWORD kLastAccess = 0x00000020;  // FILE_NOTIFY_CHANGE_LAST_ACCESS
constexpr DWORD kKnownFilters = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                FILE_NOTIFY_CHANGE_LAST_WRITE | kLastAccess | FILE_NOTIFY_CHANGE_CREATION |
                                FILE_NOTIFY_CHANGE_SECURITY;
// Two more than a multiple of four, like the native backend's: no other handle of the layer
// can be taken for one. Never reused.
constexpr uintptr_t kFirstChangeHandle = 0x60002;
constexpr uintptr_t kChangeHandleStep = 4;

std::set<uintptr_t> g_handles;
uintptr_t g_nextHandle = kFirstChangeHandle;

}  // namespace

extern "C" {

HANDLE WINAPI FindFirstChangeNotificationA(LPCSTR lpPathName, BOOL bWatchSubtree, DWORD dwNotifyFilter) {
  if (!lpPathName || !lpPathName[0] || bWatchSubtree) return INVALID_HANDLE_VALUE;
  if (dwNotifyFilter == 0 || (dwNotifyFilter & ~kKnownFilters) != 0) return INVALID_HANDLE_VALUE;
  struct stat st;
  const std::string path = KvrResolveWindowsPath(lpPathName);
  if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return INVALID_HANDLE_VALUE;
  const uintptr_t handle = g_nextHandle;
  g_nextHandle += kChangeHandleStep;
  g_handles.insert(handle);
  return reinterpret_cast<HANDLE>(handle);
}

BOOL WINAPI FindNextChangeNotification(HANDLE hChangeHandle) {
  return g_handles.count(reinterpret_cast<uintptr_t>(hChangeHandle)) ? TRUE : FALSE;
}

BOOL WINAPI FindCloseChangeNotification(HANDLE hChangeHandle) {
  return g_handles.erase(reinterpret_cast<uintptr_t>(hChangeHandle)) ? TRUE : FALSE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  if (!g_handles.count(reinterpret_cast<uintptr_t>(hHandle)) || dwMilliseconds == INFINITE) return WAIT_FAILED;
  if (dwMilliseconds > 0) emscripten_sleep(dwMilliseconds);
  return WAIT_TIMEOUT;
}

}  // extern "C"
