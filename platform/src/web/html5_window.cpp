// Win32 window classes and top-level windows on the page's canvas.
// Implemented: RegisterClassExA/W and RegisterClassA/W (by name or atom, case-insensitive names),
//   UnregisterClassA/W, GetModuleHandleA/W (the program's own module), GetDesktopWindow (the
//   canvas: its size is the desktop's), GetClientRect, GetWindowRect, CreateWindowExA/W (top-level
//   windows only, all on the one canvas; WM_CREATE with a CREATESTRUCTA or CREATESTRUCTW, then
//   WM_SIZE; a visible window needs painting), ShowWindow, UpdateWindow (sends WM_PAINT when the
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
#include "win32/window_frame.h"
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
// Class names may be given as an atom in the low word of the pointer (MAKEINTATOM).
bool IsAtomName(const void* name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

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

ATOM RegisterWindowClass(const std::string& name, WNDPROC proc) {
  if (!proc || name.empty()) return 0;
  if (FindClass(name.c_str()) || g_nextAtom == 0) return 0;  // already registered, or every atom used
  WindowClass c;
  c.name = name;
  c.atom = g_nextAtom++;
  c.proc = proc;
  g_classes.push_back(c);
  return c.atom;
}

// What CreateWindowExA and CreateWindowExW share; the W form's own strings are passed on for its
// CREATESTRUCTW.
struct CreateRequest {
  DWORD exStyle = 0;
  LPCSTR className = nullptr;  // UTF-8, or an atom
  std::string title;
  DWORD style = 0;
  int x = 0, y = 0, width = 0, height = 0;
  HWND parent = nullptr;
  HMENU menu = nullptr;
  HINSTANCE instance = nullptr;
  LPVOID param = nullptr;
  bool unicode = false;
  LPCWSTR wideClassName = nullptr;
  LPCWSTR wideTitle = nullptr;
};

template <typename CreateStruct, typename Text>
LRESULT SendCreate(HWND hwnd, const CreateRequest& q, DWORD style, int outerWidth, int outerHeight, Text name,
                   Text className) {
  CreateStruct cs = {};
  cs.lpCreateParams = q.param;
  cs.hInstance = q.instance;
  cs.hMenu = q.menu;
  cs.hwndParent = q.parent;
  cs.cx = outerWidth, cs.cy = outerHeight, cs.x = q.x, cs.y = q.y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = name;
  cs.lpszClass = className;
  cs.dwExStyle = q.exStyle;
  return kvrwin32::SendToWindow(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
}

HWND CreateTopLevelWindow(const CreateRequest& q) {
  WindowClass* c = FindClass(q.className);
  if (!c) return nullptr;
  // Only top-level windows: a parent other than the desktop would make a child window.
  if (q.parent && q.parent != DesktopHwnd()) return nullptr;

  const DWORD style = KvrEffectiveStyle(q.style);
  const bool overlapped = !(style & (WS_POPUP | WS_CHILD));
  int screenWidth = 0, screenHeight = 0;
  CanvasSize(&screenWidth, &screenHeight);
  int outerWidth = q.width, outerHeight = q.height;
  if (overlapped && q.width == CW_USEDEFAULT) {
    // Windows sizes an overlapped window left to it at three quarters of the screen.
    outerWidth = screenWidth * 3 / 4;
    outerHeight = screenHeight * 3 / 4;
  } else {
    if (q.width == CW_USEDEFAULT) outerWidth = 640;
    if (q.height == CW_USEDEFAULT) outerHeight = 480;
  }
  if (KvrFrameTracksSize(style)) {
    outerWidth = std::clamp(outerWidth, GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CXMAXTRACK));
    outerHeight = std::clamp(outerHeight, GetSystemMetrics(SM_CYMINTRACK), GetSystemMetrics(SM_CYMAXTRACK));
  }
  RECT frame = {0, 0, 0, 0};
  KvrAddFrame(&frame, style, q.menu != nullptr, q.exStyle);
  const int left = q.x == CW_USEDEFAULT ? 0 : q.x;
  const int top = q.x == CW_USEDEFAULT ? 0 : q.y;
  // A canvas has at least one pixel each way (Windows allows an empty client area).
  const int width = std::max(1, outerWidth - static_cast<int>(frame.right - frame.left));
  const int height = std::max(1, outerHeight - static_cast<int>(frame.bottom - frame.top));

  // The first window gives the canvas its size in pixels (the page scales it on screen).
  const bool first = g_windows.empty();
  if (first) {
    emscripten_set_canvas_element_size(kvrweb::kCanvas, width, height);
    EM_ASM({ if (Module.kvrWindowTitle) document.title = UTF8ToString($0); }, q.title.c_str());
  }
  kvrweb::StartInputEvents();

  WindowRecord r;
  r.hwnd = reinterpret_cast<HWND>(g_nextHandle);
  g_nextHandle += kHandleStep;
  r.proc = c->proc;
  r.className = c->name;
  r.width = width;
  r.height = height;
  r.windowRect = RECT{left, top, left + outerWidth, top + outerHeight};
  r.visible = (style & WS_VISIBLE) != 0;
  r.needsPaint = r.visible;
  HWND hwnd = r.hwnd;
  g_windows[reinterpret_cast<uintptr_t>(hwnd)] = r;

  const LRESULT created =
      q.unicode ? SendCreate<CREATESTRUCTW>(hwnd, q, style, outerWidth, outerHeight, q.wideTitle, q.wideClassName)
                : SendCreate<CREATESTRUCTA>(hwnd, q, style, outerWidth, outerHeight, q.title.c_str(), q.className);
  if (created == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  // Windows tells the new window its client size right after WM_CREATE.
  if (FindLive(hwnd)) kvrwin32::SendToWindow(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
  return hwnd;
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

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
  return lpModuleName ? nullptr : reinterpret_cast<HMODULE>(kModuleHandle);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXA) || IsAtomName(lpwcx->lpszClassName)) return 0;
  return RegisterWindowClass(lpwcx->lpszClassName, lpwcx->lpfnWndProc);
}

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXW) || IsAtomName(lpwcx->lpszClassName)) return 0;
  return RegisterWindowClass(KvrUtf8FromWide(lpwcx->lpszClassName), lpwcx->lpfnWndProc);
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (!lpWndClass || IsAtomName(lpWndClass->lpszClassName)) return 0;
  return RegisterWindowClass(lpWndClass->lpszClassName, lpWndClass->lpfnWndProc);
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass) {
  if (!lpWndClass || IsAtomName(lpWndClass->lpszClassName)) return 0;
  return RegisterWindowClass(KvrUtf8FromWide(lpWndClass->lpszClassName), lpWndClass->lpfnWndProc);
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance) {
  WindowClass* c = FindClass(lpClassName);
  if (!c) return FALSE;
  // Like Windows, a class that still has windows stays registered; those windows keep working.
  for (auto& [key, r] : g_windows)
    if (r.live && strcasecmp(r.className.c_str(), c->name.c_str()) == 0) return FALSE;
  g_classes.erase(g_classes.begin() + (c - g_classes.data()));
  return TRUE;
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance) {
  if (IsAtomName(lpClassName)) return UnregisterClassA(reinterpret_cast<LPCSTR>(lpClassName), hInstance);
  return UnregisterClassA(KvrUtf8FromWide(lpClassName).c_str(), hInstance);
}

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

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  CreateRequest q;
  q.exStyle = dwExStyle;
  q.className = lpClassName;
  q.title = lpWindowName ? lpWindowName : "";
  q.style = dwStyle;
  q.x = X, q.y = Y, q.width = nWidth, q.height = nHeight;
  q.parent = hWndParent, q.menu = hMenu, q.instance = hInstance, q.param = lpParam;
  return CreateTopLevelWindow(q);
}

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  const bool atom = IsAtomName(lpClassName);
  const std::string className = atom ? std::string() : KvrUtf8FromWide(lpClassName);
  CreateRequest q;
  q.exStyle = dwExStyle;
  q.className = atom ? reinterpret_cast<LPCSTR>(lpClassName) : className.c_str();
  q.title = KvrUtf8FromWide(lpWindowName);
  q.style = dwStyle;
  q.x = X, q.y = Y, q.width = nWidth, q.height = nHeight;
  q.parent = hWndParent, q.menu = hMenu, q.instance = hInstance, q.param = lpParam;
  q.unicode = true;
  q.wideClassName = lpClassName;
  q.wideTitle = lpWindowName;
  return CreateTopLevelWindow(q);
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
