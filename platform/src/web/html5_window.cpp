// Win32 window classes and top-level windows on the page's canvas.
// Implemented: RegisterClassExA (by name or atom, case-insensitive names), UnregisterClassA,
//   GetModuleHandleA (the program's own module), GetDesktopWindow (the canvas: its size is the
//   desktop's), GetClientRect, CreateWindowExA (top-level windows only, all on the one canvas;
//   WM_CREATE and then WM_SIZE are sent; a visible window needs painting), DestroyWindow (sends
//   WM_DESTROY), SetWindowTextA/W (the page's title), ScreenToClient/ClientToScreen (every window
//   fills the canvas from its top-left corner, which is the desktop's: points stay as they are).
// Not implemented: child windows, menus, icons, cursors and extra bytes of the class,
//   WM_NCCREATE and the other non-client messages, moving or resizing (no later WM_SIZE): the
//   page scales the canvas to the browser window, the program keeps its pixels.
#include <emscripten.h>
#include <emscripten/html5.h>
#include <strings.h>

#include <map>
#include <string>
#include <vector>

#include "web/html5_state.h"
#include "win32/wide_text.h"
#include "win32/win32_state.h"
#include "win32/window_internal.h"

namespace {

struct WindowClass {
  std::string name;
  ATOM atom = 0;
  WNDPROC proc = nullptr;
};

struct WindowRecord {
  HWND hwnd = nullptr;
  WNDPROC proc = nullptr;
  std::string className;
  int width = 0;
  int height = 0;
  bool live = true;
  bool destroying = false;
  bool needsPaint = false;
  int references = 1;  // the window's own, plus one per device that retained it
};

// Handles as the SDL backend numbers them: never reused, the desktop's fixed.
constexpr uintptr_t kDesktopHandle = 0x10010;
constexpr uintptr_t kFirstWindowHandle = 0x20000;
constexpr uintptr_t kHandleStep = 0x10;
constexpr uintptr_t kModuleHandle = 0x400000;
constexpr ATOM kFirstAtom = 0xC000;
// The canvas's size when the page gives it none: the smallest screen the viewer is laid out for.
constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 768;

std::vector<WindowClass> g_classes;
ATOM g_nextAtom = kFirstAtom;
std::map<uintptr_t, WindowRecord> g_windows;
uintptr_t g_nextHandle = kFirstWindowHandle;

HWND DesktopHwnd() { return reinterpret_cast<HWND>(kDesktopHandle); }
bool IsAtomName(LPCSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

WindowClass* FindClass(LPCSTR name) {
  if (!name) return nullptr;
  for (WindowClass& c : g_classes) {
    if (IsAtomName(name) ? c.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name))
                         : strcasecmp(c.name.c_str(), name) == 0)
      return &c;
  }
  return nullptr;
}

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

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  return lpModuleName ? nullptr : reinterpret_cast<HMODULE>(kModuleHandle);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXA) || !lpwcx->lpfnWndProc || !lpwcx->lpszClassName ||
      IsAtomName(lpwcx->lpszClassName) || lpwcx->lpszClassName[0] == '\0')
    return 0;
  if (FindClass(lpwcx->lpszClassName) || g_nextAtom == 0) return 0;
  WindowClass c;
  c.name = lpwcx->lpszClassName;
  c.atom = g_nextAtom++;
  c.proc = lpwcx->lpfnWndProc;
  g_classes.push_back(c);
  return c.atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance) {
  WindowClass* c = FindClass(lpClassName);
  if (!c) return FALSE;
  for (auto& [key, r] : g_windows)
    if (r.live && strcasecmp(r.className.c_str(), c->name.c_str()) == 0) return FALSE;
  g_classes.erase(g_classes.begin() + (c - g_classes.data()));
  return TRUE;
}

HWND WINAPI GetDesktopWindow(void) { return DesktopHwnd(); }

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  int width = 0, height = 0;
  if (!lpRect || (hWnd != DesktopHwnd() && !FindLive(hWnd)) || !KvrWindowClientSize(hWnd, &width, &height))
    return FALSE;
  *lpRect = {0, 0, width, height};
  return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  WindowClass* c = FindClass(lpClassName);
  if (!c) return nullptr;
  if (hWndParent && hWndParent != DesktopHwnd()) return nullptr;
  int width = nWidth == CW_USEDEFAULT ? 640 : nWidth;
  int height = nHeight == CW_USEDEFAULT ? 480 : nHeight;
  if (width < 1) width = 1;
  if (height < 1) height = 1;
  // The first window gives the canvas its size in pixels (the page scales it on screen).
  if (g_windows.empty()) emscripten_set_canvas_element_size(kvrweb::kCanvas, width, height);
  kvrweb::StartInputEvents();

  WindowRecord r;
  r.hwnd = reinterpret_cast<HWND>(g_nextHandle);
  g_nextHandle += kHandleStep;
  r.proc = c->proc;
  r.className = c->name;
  r.width = width;
  r.height = height;
  r.needsPaint = (dwStyle & WS_VISIBLE) != 0;
  HWND hwnd = r.hwnd;
  g_windows[reinterpret_cast<uintptr_t>(hwnd)] = r;

  CREATESTRUCTA cs = {};
  cs.lpCreateParams = lpParam;
  cs.hInstance = hInstance;
  cs.hMenu = hMenu;
  cs.hwndParent = hWndParent;
  cs.cx = width;
  cs.cy = height;
  cs.x = X;
  cs.y = Y;
  cs.style = static_cast<LONG>(dwStyle);
  cs.lpszName = lpWindowName;
  cs.lpszClass = lpClassName;
  cs.dwExStyle = dwExStyle;
  if (kvrwin32::SendToWindow(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  kvrwin32::SendToWindow(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
  return hwnd;
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

BOOL WINAPI DestroyWindow(HWND hWnd) {
  WindowRecord* r = FindLive(hWnd);
  if (!r || r->destroying) return FALSE;
  r->destroying = true;
  kvrwin32::SendToWindow(hWnd, WM_DESTROY, 0, 0);
  r = FindRecord(hWnd);
  if (!r) return TRUE;
  r->live = false;
  r->needsPaint = false;
  DropReference(r);
  return TRUE;
}

}  // extern "C"
