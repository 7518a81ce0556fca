// CreateWindowExA/W for every windowing backend: the class and parent are checked here, the
// window's place and size worked out, and the backend makes it (window.cpp on SDL2,
// web/html5_window.cpp on the page's canvas).
#include "win32/window_creation.h"

#include <algorithm>

#include "win32/wide_text.h"
#include "win32/win32_state.h"
#include "win32/window_frame.h"

namespace {

template <typename CreateStruct, typename Text>
LRESULT SendCreateStruct(HWND hwnd, const kvrwin32::CreateRequest& q, const kvrwin32::WindowPlacement& p,
                         Text name, Text className) {
  CreateStruct cs = {};
  cs.lpCreateParams = q.param;
  cs.hInstance = q.instance;
  cs.hMenu = q.menu;
  cs.hwndParent = q.parent;
  cs.cx = p.windowRect.right - p.windowRect.left;
  cs.cy = p.windowRect.bottom - p.windowRect.top;
  cs.x = q.x, cs.y = q.y;
  cs.style = static_cast<LONG>(p.style);
  cs.lpszName = name;
  cs.lpszClass = className;
  cs.dwExStyle = q.exStyle;
  return kvrwin32::SendToWindow(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
}

HWND Create(const kvrwin32::CreateRequest& q) {
  const kvrwin32::WindowClass* c = kvrwin32::FindWindowClass(q.className);
  if (!c) return nullptr;
  // Only top-level windows: a parent other than the desktop would make a child window.
  if (q.parent && q.parent != GetDesktopWindow()) return nullptr;
  return kvrwin32::CreateTopLevelWindow(q, *c);
}

}  // namespace

namespace kvrwin32 {

WindowPlacement PlaceTopLevelWindow(const CreateRequest& q, int screenWidth, int screenHeight) {
  WindowPlacement p;
  p.style = KvrEffectiveStyle(q.style);
  const bool overlapped = !(p.style & (WS_POPUP | WS_CHILD));
  int outerWidth = q.width, outerHeight = q.height;
  if (overlapped && q.width == CW_USEDEFAULT) {
    // Windows sizes an overlapped window left to it at three quarters of the screen.
    outerWidth = screenWidth * 3 / 4;
    outerHeight = screenHeight * 3 / 4;
  } else {
    if (q.width == CW_USEDEFAULT) outerWidth = 640;
    if (q.height == CW_USEDEFAULT) outerHeight = 480;
  }
  if (KvrFrameTracksSize(p.style)) {
    outerWidth = std::clamp(outerWidth, GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CXMAXTRACK));
    outerHeight = std::clamp(outerHeight, GetSystemMetrics(SM_CYMINTRACK), GetSystemMetrics(SM_CYMAXTRACK));
  }
  KvrAddFrame(&p.frame, p.style, q.menu != nullptr, q.exStyle);
  p.defaultPosition = q.x == CW_USEDEFAULT;
  const int left = p.defaultPosition ? 0 : q.x;
  const int top = p.defaultPosition ? 0 : q.y;
  p.windowRect = RECT{left, top, left + outerWidth, top + outerHeight};
  const int frameWidth = p.frame.right - p.frame.left;
  const int frameHeight = p.frame.bottom - p.frame.top;
  // Windows makes empty client areas; a drawable of one pixel is the closest.
  p.clientWidth = std::max(1, outerWidth - frameWidth);
  p.clientHeight = std::max(1, outerHeight - frameHeight);
  p.framed = frameWidth > 0 || frameHeight > 0;
  return p;
}

LRESULT SendCreate(HWND hwnd, const CreateRequest& q, const WindowPlacement& p) {
  if (q.unicode) return SendCreateStruct<CREATESTRUCTW>(hwnd, q, p, q.wideTitle, q.wideClassName);
  return SendCreateStruct<CREATESTRUCTA>(hwnd, q, p, q.title.c_str(), q.className);
}

}  // namespace kvrwin32

extern "C" {

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  kvrwin32::CreateRequest q;
  q.exStyle = dwExStyle;
  q.className = lpClassName;
  q.title = lpWindowName ? lpWindowName : "";
  q.style = dwStyle;
  q.x = X, q.y = Y, q.width = nWidth, q.height = nHeight;
  q.parent = hWndParent, q.menu = hMenu, q.instance = hInstance, q.param = lpParam;
  return Create(q);
}

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  const bool atom = kvrwin32::IsAtomName(lpClassName);
  const std::string className = atom ? std::string() : KvrUtf8FromWide(lpClassName);
  kvrwin32::CreateRequest q;
  q.exStyle = dwExStyle;
  q.className = atom ? reinterpret_cast<LPCSTR>(lpClassName) : className.c_str();
  q.title = KvrUtf8FromWide(lpWindowName);
  q.style = dwStyle;
  q.x = X, q.y = Y, q.width = nWidth, q.height = nHeight;
  q.parent = hWndParent, q.menu = hMenu, q.instance = hInstance, q.param = lpParam;
  q.unicode = true;
  q.wideClassName = lpClassName;
  q.wideTitle = lpWindowName;
  return Create(q);
}

}  // extern "C"
