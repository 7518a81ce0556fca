// user32's per-window values behind Get/SetWindowLongPtr.
// Implemented: GWLP_USERDATA (the program's own value, 0 until set) and GWLP_WNDPROC (replacing
//   the window procedure: later messages go to the new one); GWLP_HINSTANCE reads the program's
//   module. Unknown windows give 0 with ERROR_INVALID_WINDOW_HANDLE.
// Not implemented: GWLP_ID, GWLP_HWNDPARENT and the GWL_ styles (0 with ERROR_INVALID_INDEX),
//   window extra bytes (cbWndExtra). The A and W forms are one: no procedure here tells them apart.
#include <map>

#include "win32/win32_state.h"

namespace {

std::map<HWND, LONG_PTR> g_userData;  // handles are never reused, so an entry can't outlive its window's meaning

bool CheckWindow(HWND hWnd) {
  if (kvrwin32::IsLiveWindow(hWnd)) return true;
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return false;
}

}  // namespace

extern "C" {

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
  if (!CheckWindow(hWnd)) return 0;
  switch (nIndex) {
    case GWLP_USERDATA: {
      auto it = g_userData.find(hWnd);
      return it == g_userData.end() ? 0 : it->second;
    }
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(kvrwin32::WindowProcOf(hWnd));
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(GetModuleHandleA(nullptr));
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  if (!CheckWindow(hWnd)) return 0;
  switch (nIndex) {
    case GWLP_USERDATA: {
      LONG_PTR& slot = g_userData[hWnd];
      const LONG_PTR previous = slot;
      slot = dwNewLong;
      return previous;
    }
    case GWLP_WNDPROC: {
      if (!dwNewLong) {  // a window can't be left without a procedure
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      const LONG_PTR previous = reinterpret_cast<LONG_PTR>(kvrwin32::WindowProcOf(hWnd));
      kvrwin32::ReplaceWindowProc(hWnd, reinterpret_cast<WNDPROC>(dwNewLong));
      return previous;
    }
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) { return GetWindowLongPtrA(hWnd, nIndex); }

LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  return SetWindowLongPtrA(hWnd, nIndex, dwNewLong);
}

}  // extern "C"
