// Win32 top-level windows on the page's canvas (the classes: win32/window_classes.cpp;
// CreateWindowExA/W's checks and the window's size: win32/window_creation.cpp).
// Implemented: GetDesktopWindow (the canvas: its size is the desktop's), GetClientRect,
//   GetWindowRect, CreateWindowExA/W (top-level windows only, all on the one canvas; WM_CREATE
//   with a CREATESTRUCTA or CREATESTRUCTW, then WM_SIZE; a visible window needs painting), ShowWindow, UpdateWindow (sends WM_PAINT when the
//   window needs painting), DestroyWindow (sends WM_DESTROY), SetWindowTextA/W (the page's title),
//   ScreenToClient/ClientToScreen (every window fills the canvas from its top-left corner, which
//   is the desktop's: points stay as they are).
//   A framed window (any style but WS_POPUP without WS_THICKFRAME) is nWidth x nHeight with the
//   frame a desktop would draw round it (window_frame.cpp): the canvas, and so the client area and
//   the back buffer, is that size less the frame, as on the desktop. The first window gives the
//   canvas its size; a page that sets Module.kvrWindowTitle also takes that window's title.
// Not implemented: child windows, menus, icons, cursors and extra bytes of the class,
//   WM_NCCREATE and the other non-client messages, moving or resizing (no later WM_SIZE): the
//   page scales the canvas to the browser window, the program keeps its pixels. Hidden windows
//   still show on the canvas.
#include <emscripten.h>
#include <emscripten/html5.h>
#include <strings.h>

#include <algorithm>

#include <map>
#include <string>
#include <vector>

#include "web/html5_state.h"
#include "win32/wide_text.h"
#include "win32/win32_state.h"
#include "win32/window_creation.h"
#include "win32/window_internal.h"

namespace {

struct WindowRecord {
  HWND hwnd = nullptr;
  WNDPROC proc = nullptr;
  std::string className;
  int width = 0;  // the client area
  int height = 0;
  RECT windowRect = {};  // the window with its frame, in screen coordinates
  bool visible = false;
  bool live = true;
  bool destroying = false;
  bool needsPaint = false;
  int references = 1;  // the window's own, plus one per device that retained it
};

// Handles as the SDL backend numbers them: never reused, the desktop's fixed.
constexpr uintptr_t kDesktopHandle = 0x10010;
constexpr uintptr_t kFirstWindowHandle = 0x20000;
constexpr uintptr_t kHandleStep = 0x10;
// The canvas's size when the page gives it none: the smallest screen the viewer is laid out for.
constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 768;

std::map<uintptr_t, WindowRecord> g_windows;
uintptr_t g_nextHandle = kFirstWindowHandle;

HWND DesktopHwnd() { return reinterpret_cast<HWND>(kDesktopHandle); }
WindowRecord* FindRecord(HWND hwnd) {
  auto it = g_windows.find(reinterpret_cast<uintptr_t>(hwnd));
  return it == g_windows.end() ? nullptr : &it->second;
}

WindowRecord* FindLive(HWND hwnd) {
  WindowRecord* r = FindRecord(hwnd);
  return r && r->live ? r : nullptr;
}

void DropReference(WindowRecord* r) {
  if (--r->references > 0) return;
  g_windows.erase(reinterpret_cast<uintptr_t>(r->hwnd));
}

void CanvasSize(int* width, int* height) {
  if (emscripten_get_canvas_element_size(kvrweb::kCanvas, width, height) != EMSCRIPTEN_RESULT_SUCCESS ||
      *width <= 0 || *height <= 0) {
    *width = kDefaultWidth;
    *height = kDefaultHeight;
  }
}

}  // namespace

bool KvrIsDeviceWindow(HWND hwnd) { return FindRecord(hwnd) != nullptr; }

bool KvrWindowClientSize(HWND hwnd, int* width, int* height) {
  if (hwnd == DesktopHwnd()) {
    CanvasSize(width, height);
    return true;
  }
  WindowRecord* r = FindRecord(hwnd);
  if (!r) return false;
  *width = r->width;
  *height = r->height;
  return true;
}

void KvrRetainWindow(HWND hwnd) {
  if (WindowRecord* r = FindRecord(hwnd)) ++r->references;
}

void KvrReleaseWindow(HWND hwnd) {
  if (WindowRecord* r = FindRecord(hwnd)) DropReference(r);
}

namespace kvrwin32 {

LRESULT SendToWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* r = FindLive(hwnd);
  if (!r || !r->proc) return 0;
  WNDPROC proc = r->proc;  // the call may destroy the window and its record
  return proc(hwnd, message, wParam, lParam);
}

bool IsLiveWindow(HWND hwnd) { return FindLive(hwnd) != nullptr; }

WNDPROC WindowProcOf(HWND hwnd) {
  WindowRecord* r = FindLive(hwnd);
  return r ? r->proc : nullptr;
}

void ReplaceWindowProc(HWND hwnd, WNDPROC proc) {
  if (WindowRecord* r = FindLive(hwnd)) r->proc = proc;
}

void ClientSizeChanged(HWND, int, int) {}  // the canvas keeps the size the first window gave it

bool ClassHasLiveWindows(const std::string& className) {
  for (auto& [key, r] : g_windows)
    if (r.live && SameClassName(className, r.className.c_str())) return true;
  return false;
}

HWND CreateTopLevelWindow(const CreateRequest& q, const WindowClass& c) {
  int screenWidth = 0, screenHeight = 0;
  CanvasSize(&screenWidth, &screenHeight);
  const WindowPlacement p = PlaceTopLevelWindow(q, screenWidth, screenHeight);
  // The first window gives the canvas its size in pixels (the page scales it on screen).
  if (g_windows.empty()) {
    emscripten_set_canvas_element_size(kvrweb::kCanvas, p.clientWidth, p.clientHeight);
    EM_ASM({ if (Module.kvrWindowTitle) document.title = UTF8ToString($0); }, q.title.c_str());
  }
  kvrweb::StartInputEvents();

  WindowRecord r;
  r.hwnd = reinterpret_cast<HWND>(g_nextHandle);
  g_nextHandle += kHandleStep;
  r.proc = c.proc;
  r.className = c.name;
  r.width = p.clientWidth;
  r.height = p.clientHeight;
  r.windowRect = p.windowRect;
  r.visible = (p.style & WS_VISIBLE) != 0;
  r.needsPaint = r.visible;
  HWND hwnd = r.hwnd;
  g_windows[reinterpret_cast<uintptr_t>(hwnd)] = r;

  if (SendCreate(hwnd, q, p) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  // Windows tells the new window its client size right after WM_CREATE.
  if (FindLive(hwnd)) SendToWindow(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(p.clientWidth, p.clientHeight));
  return hwnd;
}

int LiveWindows(HWND* out, int capacity) {
  int n = 0;
  for (auto& [key, r] : g_windows)
    if (r.live && n < capacity) out[n++] = r.hwnd;
  return n;
}

void SetNeedsPaint(HWND hwnd, bool needs) {
  if (WindowRecord* r = FindLive(hwnd)) r->needsPaint = needs;
}

HWND WindowNeedingPaint() {
  for (auto& [key, r] : g_windows)
    if (r.live && r.needsPaint) return r.hwnd;
  return nullptr;
}

}  // namespace kvrwin32


extern "C" {

HWND WINAPI GetDesktopWindow(void) { return DesktopHwnd(); }

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  int width = 0, height = 0;
  if (!lpRect || (hWnd != DesktopHwnd() && !FindLive(hWnd)) || !KvrWindowClientSize(hWnd, &width, &height))
    return FALSE;
  *lpRect = {0, 0, width, height};
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  if (!lpRect) return FALSE;
  if (hWnd == DesktopHwnd()) return GetClientRect(hWnd, lpRect);
  WindowRecord* r = FindLive(hWnd);
  if (!r) return FALSE;
  *lpRect = r->windowRect;
  return TRUE;
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  if (!FindLive(hWnd)) return FALSE;
  EM_ASM({ document.title = UTF8ToString($0); }, lpString ? lpString : "");
  return TRUE;
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
  return SetWindowTextA(hWnd, KvrUtf8FromWide(lpString).c_str());
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  return lpPoint && (hWnd == DesktopHwnd() || FindLive(hWnd)) ? TRUE : FALSE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) { return ScreenToClient(hWnd, lpPoint); }

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  WindowRecord* r = FindLive(hWnd);
  if (!r) return FALSE;
  const BOOL wasVisible = r->visible ? TRUE : FALSE;
  if (nCmdShow == SW_HIDE) {
    r->visible = false;
    r->needsPaint = false;
  } else {
    if (!r->visible) r->needsPaint = true;
    r->visible = true;
  }
  return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
  WindowRecord* r = FindLive(hWnd);
  if (!r) return FALSE;
  // Straight to the window procedure, past the queue, and only when something is left to paint.
  if (r->needsPaint) kvrwin32::SendToWindow(hWnd, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  WindowRecord* r = FindLive(hWnd);
  if (!r || r->destroying) return FALSE;
  r->destroying = true;
  kvrwin32::SendToWindow(hWnd, WM_DESTROY, 0, 0);
  r = FindRecord(hWnd);
  if (!r) return TRUE;  // its last reference went while the window procedure ran
  r->live = false;
  r->needsPaint = false;
  DropReference(r);
  return TRUE;
}

}  // extern "C"
