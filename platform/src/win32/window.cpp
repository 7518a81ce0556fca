// Win32 window classes and top-level windows on SDL2.
// Implemented: RegisterClassExA (by name or atom, case-insensitive names), UnregisterClassA,
//   GetModuleHandleA (the program's own module), GetDesktopWindow, GetClientRect, CreateWindowExA
//   (top-level windows only: one SDL window each, created with SDL_WINDOW_OPENGL; WS_POPUP is
//   borderless, WS_EX_TOPMOST always on top, WS_VISIBLE shown; WM_CREATE is sent), DestroyWindow
//   (sends WM_DESTROY). A window is placed and sized as asked and never changes the display mode.
//   A program whose first window is created without WS_VISIBLE runs without a display: SDL's
//   offscreen driver serves it (and every later window), unless SDL_VIDEODRIVER names another.
// Not implemented: child windows, menus, icons and cursors of the class, class and window extra
//   bytes, WM_NCCREATE and the other non-client messages, moving or resizing after creation.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "win32/win32_state.h"
#include "win32/window_internal.h"
#include "win32/x11_visual.h"

namespace {

struct WindowClass {
  std::string name;
  ATOM atom = 0;
  WNDPROC proc = nullptr;
  UINT style = 0;
  HINSTANCE instance = nullptr;
};

struct WindowRecord {
  HWND hwnd = nullptr;
  SDL_Window* sdl = nullptr;
  uint32_t sdlId = 0;
  WNDPROC proc = nullptr;
  std::string className;
  int width = 0;
  int height = 0;
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
bool IsAtomName(LPCSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

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

}  // namespace

bool KvrEnsureSdlVideo(bool forHiddenWindow) {
  if (g_videoState == 0) {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (forHiddenWindow && (!asked || !asked[0])) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
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

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  // Only the program's own module is known; it has no file name to ask for.
  return lpModuleName ? nullptr : reinterpret_cast<HMODULE>(kModuleHandle);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXA) || !lpwcx->lpfnWndProc || !lpwcx->lpszClassName ||
      IsAtomName(lpwcx->lpszClassName) || lpwcx->lpszClassName[0] == '\0')
    return 0;
  if (FindClass(lpwcx->lpszClassName)) return 0;  // already registered
  if (g_nextAtom == 0) return 0;                  // every atom used
  WindowClass c;
  c.name = lpwcx->lpszClassName;
  c.atom = g_nextAtom++;
  c.proc = lpwcx->lpfnWndProc;
  c.style = lpwcx->style;
  c.instance = lpwcx->hInstance;
  g_classes.push_back(c);
  return c.atom;
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
  WindowClass* c = FindClass(lpClassName);
  if (!c) return nullptr;
  // Only top-level windows: a parent other than the desktop would make a child window.
  if (hWndParent && hWndParent != DesktopHwnd()) return nullptr;
  if (!KvrEnsureSdlVideo((dwStyle & WS_VISIBLE) == 0)) return nullptr;

  int x = X == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : X;
  int y = Y == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : Y;
  int width = nWidth == CW_USEDEFAULT ? 640 : nWidth;
  int height = nHeight == CW_USEDEFAULT ? 480 : nHeight;
  // SDL refuses empty windows; Windows makes them. One pixel is the closest.
  if (width < 1) width = 1;
  if (height < 1) height = 1;

  Uint32 flags = SDL_WINDOW_OPENGL;
  KvrChooseX11Visual();
  if (dwStyle & WS_POPUP) flags |= SDL_WINDOW_BORDERLESS;
  if (dwExStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  flags |= (dwStyle & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
  SDL_Window* sdl = SDL_CreateWindow(lpWindowName ? lpWindowName : "", x, y, width, height, flags);
  if (!sdl) {
    std::fprintf(stderr, "kvrplatform: CreateWindowExA: %s\n", SDL_GetError());
    return nullptr;
  }

  WindowRecord r;
  r.hwnd = reinterpret_cast<HWND>(g_nextHandle);
  g_nextHandle += kHandleStep;
  r.sdl = sdl;
  r.sdlId = SDL_GetWindowID(sdl);
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
  return hwnd;
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
