// Win32 window classes and top-level windows on SDL2.
// Implemented: RegisterClassExA/W and RegisterClassA/W (by name or atom, case-insensitive names),
//   UnregisterClassA/W (names compare without regard to the case of ASCII letters; other letters
//   must match exactly), GetModuleHandleA/W (the program's own module), GetDesktopWindow,
//   GetClientRect, GetWindowRect, CreateWindowExA/W (top-level windows only: one SDL window each,
//   created with SDL_WINDOW_OPENGL; WS_POPUP is borderless, WS_EX_TOPMOST always on top,
//   WS_VISIBLE shown; WM_CREATE is sent with a CREATESTRUCTA or CREATESTRUCTW), ShowWindow,
//   UpdateWindow (sends WM_PAINT when the window needs painting), DestroyWindow (sends WM_DESTROY).
//   WM_SIZE (SIZE_RESTORED, the client size) is sent after WM_CREATE and whenever the window's
//   client size changes; a window with WS_THICKFRAME can be resized by the user through the
//   window manager's frame. SetWindowTextA/W set the title; ScreenToClient/ClientToScreen go by
//   the client area's place on the desktop.
//   A window with a frame (any style but WS_POPUP without WS_THICKFRAME) is nWidth x nHeight with
//   its frame, as window_frame.cpp measures it: its SDL window, and so its client area and back
//   buffer, is that size less the frame, which the desktop's window manager draws. Overlapped
//   windows always get a caption, are kept between the tracking sizes, and CW_USEDEFAULT makes
//   them three quarters of the screen each way. A window is placed and sized as asked and never
//   changes the display mode. W functions take wchar_t text and keep it as UTF-8.
//   A program whose first window is created without WS_VISIBLE while no display is named
//   (DISPLAY, WAYLAND_DISPLAY) runs without one: SDL's offscreen driver serves it (and every later
//   window), unless SDL_VIDEODRIVER names another.
// Not implemented: child windows, menus, icons and cursors of the class, class and window extra
//   bytes, WM_NCCREATE and the other non-client messages, moving or resizing from the program,
//   minimised and maximised show states (shown as SW_SHOW).
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "win32/wide_text.h"
#include "win32/win32_state.h"
#include "win32/window_frame.h"
#include "win32/window_internal.h"
#include "win32/x11_visual.h"

namespace {

struct WindowClass {
  std::string name;
  ATOM atom = 0;
  WNDPROC proc = nullptr;
  UINT style = 0;
  HINSTANCE instance = nullptr;
  bool unicode = false;  // registered with a W function
};

struct WindowRecord {
  HWND hwnd = nullptr;
  SDL_Window* sdl = nullptr;
  uint32_t sdlId = 0;
  WNDPROC proc = nullptr;
  std::string className;
  int width = 0;            // the client area
  int height = 0;
  int sizeSentWidth = 0;    // the client size the last WM_SIZE told
  int sizeSentHeight = 0;
  RECT windowRect = {};     // the window with its frame, in screen coordinates
  bool visible = false;
  bool live = true;         // false once DestroyWindow has run
  bool destroying = false;  // between DestroyWindow's start and its WM_DESTROY returning
  bool needsPaint = false;
  int references = 1;       // the window's own, plus one per device that retained it
};

// Handles are opaque numbers, never reused within a run, so a stale handle can't reach a newer
// window. The desktop has its own fixed handle.
constexpr uintptr_t kDesktopHandle = 0x10010;
constexpr uintptr_t kFirstWindowHandle = 0x20000;
constexpr uintptr_t kHandleStep = 0x10;
// The executable's module handle: the usual image base of a Windows program.
constexpr uintptr_t kModuleHandle = 0x400000;
constexpr ATOM kFirstAtom = 0xC000;

std::vector<WindowClass> g_classes;
ATOM g_nextAtom = kFirstAtom;
std::map<uintptr_t, WindowRecord> g_windows;
uintptr_t g_nextHandle = kFirstWindowHandle;
int g_desktopOverrideWidth = 0;
int g_desktopOverrideHeight = 0;
int g_videoState = 0;  // 0 not tried, 1 working, -1 failed

HWND DesktopHwnd() { return reinterpret_cast<HWND>(kDesktopHandle); }

bool SameNameIgnoringCase(const std::string& a, const char* b) {
  return SDL_strcasecmp(a.c_str(), b) == 0;
}

// Class names may be given as an atom in the low word of the pointer (MAKEINTATOM).
bool IsAtomName(const void* name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

WindowClass* FindClass(LPCSTR name) {
  if (!name) return nullptr;
  for (WindowClass& c : g_classes) {
    if (IsAtomName(name) ? c.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name))
                         : SameNameIgnoringCase(c.name, name))
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
  if (r->sdl) SDL_DestroyWindow(r->sdl);
  g_windows.erase(reinterpret_cast<uintptr_t>(r->hwnd));
}

void DesktopSize(int* width, int* height) {
  if (g_desktopOverrideWidth > 0 && g_desktopOverrideHeight > 0) {
    *width = g_desktopOverrideWidth;
    *height = g_desktopOverrideHeight;
    return;
  }
  SDL_DisplayMode mode;
  if (KvrEnsureSdlVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
    *width = mode.w;
    *height = mode.h;
    return;
  }
  // No display to ask: the smallest screen the viewer is laid out for.
  *width = 1024;
  *height = 768;
}

ATOM RegisterWindowClass(const std::string& name, WNDPROC proc, UINT style, HINSTANCE instance, bool unicode) {
  if (!proc || name.empty()) return 0;
  if (FindClass(name.c_str())) return 0;  // already registered
  if (g_nextAtom == 0) return 0;          // every atom used
  WindowClass c;
  c.name = name;
  c.atom = g_nextAtom++;
  c.proc = proc;
  c.style = style;
  c.instance = instance;
  c.unicode = unicode;
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

HWND CreateTopLevelWindow(const CreateRequest& q);

}  // namespace

bool KvrEnsureSdlVideo(bool forHiddenWindow) {
  if (g_videoState == 0) {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool display = (x11 && x11[0]) || (wayland && wayland[0]);
    if (forHiddenWindow && (!asked || !asked[0]) && !display) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    // A click that focuses the window is also a click, as on Windows.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
      g_videoState = 1;
      // Characters come from WM_KEYDOWN codes here, never from an input method.
      SDL_StopTextInput();
    } else {
      std::fprintf(stderr, "kvrplatform: no video driver: %s\n", SDL_GetError());
      g_videoState = -1;
    }
  }
  return g_videoState > 0;
}

SDL_Window* KvrSdlWindowFromHwnd(HWND hwnd) {
  WindowRecord* r = FindRecord(hwnd);
  return r ? r->sdl : nullptr;
}

bool KvrIsDeviceWindow(HWND hwnd) { return KvrEnsureSdlVideo() && KvrSdlWindowFromHwnd(hwnd) != nullptr; }

bool KvrWindowClientSize(HWND hwnd, int* width, int* height) {
  if (hwnd == DesktopHwnd()) {
    DesktopSize(width, height);
    return true;
  }
  WindowRecord* r = FindRecord(hwnd);
  if (!r) return false;
  // A window manager may have changed the size it was given; the window's actual size counts.
  if (r->sdl) SDL_GetWindowSize(r->sdl, &r->width, &r->height);
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
  // Copy the procedure out: the call may destroy the window and its record.
  WNDPROC proc = r->proc;
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

void ClientSizeChanged(HWND hwnd, int width, int height) {
  WindowRecord* r = FindLive(hwnd);
  if (!r || (r->sizeSentWidth == width && r->sizeSentHeight == height)) return;
  r->windowRect.right += width - r->sizeSentWidth;
  r->windowRect.bottom += height - r->sizeSentHeight;
  r->width = r->sizeSentWidth = width;
  r->height = r->sizeSentHeight = height;
  r->needsPaint = r->visible;
  SendToWindow(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
}

HWND WindowFromSdlId(uint32_t sdlWindowId) {
  for (auto& [key, r] : g_windows)
    if (r.live && r.sdlId == sdlWindowId) return r.hwnd;
  return nullptr;
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

void SetDesktopSizeOverride(int width, int height) {
  g_desktopOverrideWidth = width;
  g_desktopOverrideHeight = height;
}

void ForgetWindowClasses() {
  g_classes.clear();
  g_nextAtom = kFirstAtom;
}

}  // namespace kvrwin32

namespace {

HWND CreateTopLevelWindow(const CreateRequest& q) {
  WindowClass* c = FindClass(q.className);
  if (!c) return nullptr;
  // Only top-level windows: a parent other than the desktop would make a child window.
  if (q.parent && q.parent != DesktopHwnd()) return nullptr;
  if (!KvrEnsureSdlVideo((q.style & WS_VISIBLE) == 0)) return nullptr;

  const DWORD style = KvrEffectiveStyle(q.style);
  const bool overlapped = !(style & (WS_POPUP | WS_CHILD));
  int screenWidth = 0, screenHeight = 0;
  DesktopSize(&screenWidth, &screenHeight);
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
  int width = outerWidth - (frame.right - frame.left);
  int height = outerHeight - (frame.bottom - frame.top);
  // SDL refuses empty windows; Windows makes them (the client area is then empty). One pixel is
  // the closest.
  if (width < 1) width = 1;
  if (height < 1) height = 1;

  const bool framed = frame.right - frame.left > 0 || frame.bottom - frame.top > 0;
  int x = q.x == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : left - frame.left;
  int y = q.x == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : top - frame.top;
  Uint32 flags = SDL_WINDOW_OPENGL;
  KvrChooseX11Visual();
  if ((style & WS_POPUP) && !framed) flags |= SDL_WINDOW_BORDERLESS;
  if (q.exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  if (framed && (style & WS_THICKFRAME)) flags |= SDL_WINDOW_RESIZABLE;
  flags |= (style & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
  SDL_Window* sdl = SDL_CreateWindow(q.title.c_str(), x, y, width, height, flags);
  if (!sdl) {
    std::fprintf(stderr, "kvrplatform: CreateWindowEx: %s\n", SDL_GetError());
    return nullptr;
  }

  WindowRecord r;
  r.hwnd = reinterpret_cast<HWND>(g_nextHandle);
  g_nextHandle += kHandleStep;
  r.sdl = sdl;
  r.sdlId = SDL_GetWindowID(sdl);
  r.proc = c->proc;
  r.className = c->name;
  r.width = r.sizeSentWidth = width;
  r.height = r.sizeSentHeight = height;
  r.windowRect = RECT{left, top, left + outerWidth, top + outerHeight};
  r.visible = (style & WS_VISIBLE) != 0;
  r.needsPaint = r.visible;
  HWND hwnd = r.hwnd;
  g_windows[reinterpret_cast<uintptr_t>(hwnd)] = r;

  LRESULT created;
  if (q.unicode) {
    CREATESTRUCTW cs = {};
    cs.lpCreateParams = q.param;
    cs.hInstance = q.instance;
    cs.hMenu = q.menu;
    cs.hwndParent = q.parent;
    cs.cx = outerWidth, cs.cy = outerHeight, cs.x = q.x, cs.y = q.y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = q.wideTitle;
    cs.lpszClass = q.wideClassName;
    cs.dwExStyle = q.exStyle;
    created = kvrwin32::SendToWindow(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
  } else {
    CREATESTRUCTA cs = {};
    cs.lpCreateParams = q.param;
    cs.hInstance = q.instance;
    cs.hMenu = q.menu;
    cs.hwndParent = q.parent;
    cs.cx = outerWidth, cs.cy = outerHeight, cs.x = q.x, cs.y = q.y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = q.title.c_str();
    cs.lpszClass = q.className;
    cs.dwExStyle = q.exStyle;
    created = kvrwin32::SendToWindow(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
  }
  if (created == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  // Windows tells the new window its client size right after WM_CREATE.
  if (WindowRecord* made = FindLive(hwnd))
    kvrwin32::SendToWindow(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(made->width, made->height));
  return hwnd;
}

}  // namespace

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  // Only the program's own module is known; it has no file name to ask for.
  return lpModuleName ? nullptr : reinterpret_cast<HMODULE>(kModuleHandle);
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
  return lpModuleName ? nullptr : reinterpret_cast<HMODULE>(kModuleHandle);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXA) || IsAtomName(lpwcx->lpszClassName)) return 0;
  return RegisterWindowClass(lpwcx->lpszClassName, lpwcx->lpfnWndProc, lpwcx->style, lpwcx->hInstance, false);
}

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXW) || IsAtomName(lpwcx->lpszClassName)) return 0;
  return RegisterWindowClass(KvrUtf8FromWide(lpwcx->lpszClassName), lpwcx->lpfnWndProc, lpwcx->style,
                             lpwcx->hInstance, true);
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (!lpWndClass || IsAtomName(lpWndClass->lpszClassName)) return 0;
  return RegisterWindowClass(lpWndClass->lpszClassName, lpWndClass->lpfnWndProc, lpWndClass->style,
                             lpWndClass->hInstance, false);
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass) {
  if (!lpWndClass || IsAtomName(lpWndClass->lpszClassName)) return 0;
  return RegisterWindowClass(KvrUtf8FromWide(lpWndClass->lpszClassName), lpWndClass->lpfnWndProc,
                             lpWndClass->style, lpWndClass->hInstance, true);
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance) {
  WindowClass* c = FindClass(lpClassName);
  if (!c) return FALSE;
  // Like Windows, a class that still has windows stays registered; those windows keep working.
  for (auto& [key, r] : g_windows)
    if (r.live && SameNameIgnoringCase(r.className, c->name.c_str())) return FALSE;
  g_classes.erase(g_classes.begin() + (c - g_classes.data()));
  return TRUE;
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance) {
  if (IsAtomName(reinterpret_cast<LPCSTR>(lpClassName)))
    return UnregisterClassA(reinterpret_cast<LPCSTR>(lpClassName), hInstance);
  if (!lpClassName) return FALSE;
  return UnregisterClassA(KvrUtf8FromWide(lpClassName).c_str(), hInstance);
}

HWND WINAPI GetDesktopWindow(void) { return DesktopHwnd(); }

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  int width = 0, height = 0;
  if (!lpRect || (hWnd != DesktopHwnd() && !FindLive(hWnd)) || !KvrWindowClientSize(hWnd, &width, &height))
    return FALSE;
  lpRect->left = 0;
  lpRect->top = 0;
  lpRect->right = width;
  lpRect->bottom = height;
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
  const bool atom = IsAtomName(reinterpret_cast<LPCSTR>(lpClassName));
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

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  WindowRecord* r = FindLive(hWnd);
  if (!lpRect) return FALSE;
  if (hWnd == DesktopHwnd()) {
    int w = 0, h = 0;
    DesktopSize(&w, &h);
    *lpRect = RECT{0, 0, w, h};
    return TRUE;
  }
  if (!r) return FALSE;
  *lpRect = r->windowRect;
  return TRUE;
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  WindowRecord* r = FindLive(hWnd);
  if (!r) return FALSE;
  if (r->sdl) SDL_SetWindowTitle(r->sdl, lpString ? lpString : "");
  return TRUE;
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
  return SetWindowTextA(hWnd, KvrUtf8FromWide(lpString).c_str());
}

// The client area's top-left corner on the desktop: where the window manager put it, as far as
// SDL knows, else where the program asked for it.
static bool ClientOrigin(HWND hWnd, POINT* origin) {
  if (hWnd == DesktopHwnd()) {
    *origin = POINT{0, 0};
    return true;
  }
  WindowRecord* r = FindLive(hWnd);
  if (!r) return false;
  int x = 0, y = 0;
  if (r->sdl) SDL_GetWindowPosition(r->sdl, &x, &y);
  *origin = POINT{x, y};
  return true;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  POINT origin;
  if (!lpPoint || !ClientOrigin(hWnd, &origin)) return FALSE;
  lpPoint->x -= origin.x;
  lpPoint->y -= origin.y;
  return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  POINT origin;
  if (!lpPoint || !ClientOrigin(hWnd, &origin)) return FALSE;
  lpPoint->x += origin.x;
  lpPoint->y += origin.y;
  return TRUE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  WindowRecord* r = FindLive(hWnd);
  if (!r) return FALSE;
  const BOOL wasVisible = r->visible ? TRUE : FALSE;
  if (nCmdShow == SW_HIDE) {
    if (r->sdl) SDL_HideWindow(r->sdl);
    r->visible = false;
    r->needsPaint = false;
  } else {
    if (r->sdl) SDL_ShowWindow(r->sdl);
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
  if (r->sdl && r->references > 1) SDL_HideWindow(r->sdl);
  DropReference(r);
  return TRUE;
}

}  // extern "C"
