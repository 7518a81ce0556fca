// CreateWindowExA/W, the same for every windowing backend (window_creation.cpp): the request, the
// window's place and size with its frame, and WM_CREATE. The backend makes the window itself.
#pragma once
#include <windows.h>

#include <string>

#include "win32/window_classes.h"

namespace kvrwin32 {

// What CreateWindowExA and CreateWindowExW share; the W form's own strings are passed on for its
// CREATESTRUCTW.
struct CreateRequest {
  DWORD exStyle = 0;
  LPCSTR className = nullptr;  // UTF-8, or an atom
  std::string title;           // UTF-8
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

// Where a top-level window goes on a screen of a given size, and how large it is.
struct WindowPlacement {
  DWORD style = 0;             // as CreateWindowEx gives it (an overlapped window has a caption)
  RECT windowRect = {};        // with its frame, in screen coordinates
  RECT frame = {};             // the frame round a client rectangle at 0, 0 (left and top <= 0)
  int clientWidth = 1;         // at least 1 each way
  int clientHeight = 1;
  bool framed = false;         // a frame is drawn round it
  bool defaultPosition = false;  // CW_USEDEFAULT: the window system places it
};

// A window with a frame (any style but WS_POPUP without WS_THICKFRAME) is nWidth x nHeight with its
// frame (window_frame.cpp), its client area that less the frame. An overlapped window left to
// CW_USEDEFAULT is three quarters of the screen each way, and windows that can be resized are kept
// between the tracking sizes, as CreateWindowEx does.
WindowPlacement PlaceTopLevelWindow(const CreateRequest& q, int screenWidth, int screenHeight);

// Sends WM_CREATE with the CREATESTRUCTA or CREATESTRUCTW of the request; -1 refuses the window.
LRESULT SendCreate(HWND hwnd, const CreateRequest& q, const WindowPlacement& p);

// The backend's part: makes the window of a checked request (a known class, no parent but the
// desktop), sends WM_CREATE and then WM_SIZE; null when it cannot.
HWND CreateTopLevelWindow(const CreateRequest& q, const WindowClass& c);

}  // namespace kvrwin32
