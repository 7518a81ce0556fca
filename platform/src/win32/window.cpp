// Win32 top-level windows on SDL2 (the classes: window_classes.cpp; CreateWindowExA/W's checks
// and the window's size: window_creation.cpp).
// Implemented: GetDesktopWindow, GetClientRect, GetWindowRect, CreateWindowExA/W (top-level
//   windows only: one SDL window each, created with SDL_WINDOW_OPENGL; WS_POPUP is borderless, WS_EX_TOPMOST always on top,
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

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "win32/wide_text.h"
#include "win32/win32_state.h"
#include "win32/window_creation.h"
#include "win32/window_internal.h"
#include "win32/x11_visual.h"

namespace {

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
std::map<uintptr_t, WindowRecord> g_windows;
uintptr_t g_nextHandle = kFirstWindowHandle;
int g_desktopOverrideWidth = 0;
int g_desktopOverrideHeight = 0;
int g_videoState = 0;  // 0 not tried, 1 working, -1 failed

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

bool ClassHasLiveWindows(const std::string& className) {
  for (auto& [key, r] : g_windows)
    if (r.live && SameClassName(className, r.className.c_str())) return true;
  return false;
}

}  // namespace kvrwin32

namespace kvrwin32 {

HWND CreateTopLevelWindow(const CreateRequest& q, const WindowClass& c) {
  if (!KvrEnsureSdlVideo((q.style & WS_VISIBLE) == 0)) return nullptr;
  int screenWidth = 0, screenHeight = 0;
  DesktopSize(&screenWidth, &screenHeight);
  const WindowPlacement p = PlaceTopLevelWindow(q, screenWidth, screenHeight);
  int x = p.defaultPosition ? SDL_WINDOWPOS_UNDEFINED : p.windowRect.left - p.frame.left;
  int y = p.defaultPosition ? SDL_WINDOWPOS_UNDEFINED : p.windowRect.top - p.frame.top;
  Uint32 flags = SDL_WINDOW_OPENGL;
  KvrChooseX11Visual();
  if ((p.style & WS_POPUP) && !p.framed) flags |= SDL_WINDOW_BORDERLESS;
  if (q.exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  if (p.framed && (p.style & WS_THICKFRAME)) flags |= SDL_WINDOW_RESIZABLE;
  flags |= (p.style & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
  SDL_Window* sdl = SDL_CreateWindow(q.title.c_str(), x, y, p.clientWidth, p.clientHeight, flags);
  if (!sdl) {
    std::fprintf(stderr, "kvrplatform: CreateWindowEx: %s\n", SDL_GetError());
    return nullptr;
  }

  WindowRecord r;
  r.hwnd = reinterpret_cast<HWND>(g_nextHandle);
  g_nextHandle += kHandleStep;
  r.sdl = sdl;
  r.sdlId = SDL_GetWindowID(sdl);
  r.proc = c.proc;
  r.className = c.name;
  r.width = r.sizeSentWidth = p.clientWidth;
  r.height = r.sizeSentHeight = p.clientHeight;
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
  if (WindowRecord* made = FindLive(hwnd))
    SendToWindow(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(made->width, made->height));
  return hwnd;
}

}  // namespace kvrwin32

extern "C" {

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
