// SDL events as window messages: the SDL2 backend's input for the queue in messages.cpp.
// Implemented: WM_KEYDOWN/UP (WM_SYSKEYDOWN/UP with Alt; each auto-repeat is another WM_KEYDOWN),
//   WM_[LRM]BUTTONDOWN/UP, WM_MOUSEMOVE, WM_MOUSEWHEEL, WM_PAINT on expose, WM_SIZE when the
//   window manager resizes the window, WM_CLOSE when the window manager closes the window or SDL
//   quits.
// Not implemented: WM_CHAR, double clicks, the fourth and fifth mouse buttons, horizontal wheels.
#include <SDL.h>

#include "win32/win32_state.h"
#include "win32/window_internal.h"

namespace {

using kvrwin32::CloseQueuedFor;
using kvrwin32::kAltDownBit;
using kvrwin32::kReleasedBit;
using kvrwin32::kWasDownBit;
using kvrwin32::QueueInput;

LPARAM ClientPoint(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// Key and focus-less events go to the window that has the keyboard, or else the first window.
HWND TargetWindow(uint32_t sdlWindowId) {
  if (HWND hwnd = kvrwin32::WindowFromSdlId(sdlWindowId)) return hwnd;
  HWND first = nullptr;
  kvrwin32::LiveWindows(&first, 1);
  return first;
}

void TranslateKey(const SDL_KeyboardEvent& e) {
  bool down = e.type == SDL_KEYDOWN;
  int vk = kvrwin32::TranslateSdlKey(e.keysym.sym, e.keysym.scancode, down);
  if (!vk) return;
  bool alt = (e.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU;
  bool ctrl = (e.keysym.mod & KMOD_CTRL) != 0;
  // Keys pressed with Alt (and without Ctrl), Alt itself and F10 are "system" keys on Windows.
  bool system = (alt && !ctrl) || vk == VK_F10;
  // Repeat count 1; the scan-code bits stay 0, as SDL's scan codes are not the keyboard's.
  LPARAM lParam = 1;
  if (alt) lParam |= kAltDownBit;
  if (!down) lParam |= kWasDownBit | kReleasedBit;
  else if (e.repeat) lParam |= kWasDownBit;
  UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  QueueInput(TargetWindow(e.windowID), message, static_cast<WPARAM>(vk), lParam);
}

void TranslateButton(const SDL_MouseButtonEvent& e) {
  bool down = e.type == SDL_MOUSEBUTTONDOWN;
  int vk;
  UINT message;
  switch (e.button) {
    case SDL_BUTTON_LEFT: vk = VK_LBUTTON; message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case SDL_BUTTON_RIGHT: vk = VK_RBUTTON; message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case SDL_BUTTON_MIDDLE: vk = VK_MBUTTON; message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    default: return;
  }
  kvrwin32::KeyEvent(vk, down);
  QueueInput(kvrwin32::WindowFromSdlId(e.windowID), message, kvrwin32::MouseKeyFlags(), ClientPoint(e.x, e.y));
}

void TranslateWindowEvent(const SDL_WindowEvent& e) {
  HWND hwnd = kvrwin32::WindowFromSdlId(e.windowID);
  if (!hwnd) return;
  switch (e.event) {
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED: kvrwin32::SetNeedsPaint(hwnd, true); break;
    case SDL_WINDOWEVENT_SIZE_CHANGED: kvrwin32::ClientSizeChanged(hwnd, e.data1, e.data2); break;
    case SDL_WINDOWEVENT_CLOSE:
      if (!CloseQueuedFor(hwnd)) QueueInput(hwnd, WM_CLOSE, 0, 0);
      break;
    default: break;
  }
}

void TranslateEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: TranslateKey(e.key); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: TranslateButton(e.button); break;
    case SDL_MOUSEMOTION:
      QueueInput(kvrwin32::WindowFromSdlId(e.motion.windowID), WM_MOUSEMOVE, kvrwin32::MouseKeyFlags(),
                 ClientPoint(e.motion.x, e.motion.y));
      break;
    case SDL_MOUSEWHEEL: {
      // Windows gives the wheel message screen coordinates and the delta in the high word.
      POINT pt;
      GetCursorPos(&pt);
      int delta = e.wheel.y * WHEEL_DELTA;
      if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) delta = -delta;
      QueueInput(TargetWindow(e.wheel.windowID), WM_MOUSEWHEEL,
                 MAKEWPARAM(kvrwin32::MouseKeyFlags(), static_cast<WORD>(delta)), ClientPoint(pt.x, pt.y));
      break;
    }
    case SDL_WINDOWEVENT: TranslateWindowEvent(e.window); break;
    case SDL_QUIT: {
      // The last window was closed, or the process was asked to end (SIGINT/SIGTERM): close
      // every window that has not been asked already, so the program stops its usual way.
      HWND windows[16];
      int n = kvrwin32::LiveWindows(windows, 16);
      for (int i = 0; i < n; ++i)
        if (!CloseQueuedFor(windows[i])) QueueInput(windows[i], WM_CLOSE, 0, 0);
      break;
    }
    default: break;
  }
}

}  // namespace

namespace kvrwin32 {

void WaitForEvents(int milliseconds) {
  if (SDL_WasInit(SDL_INIT_VIDEO))
    SDL_WaitEventTimeout(nullptr, milliseconds);
  else
    SDL_Delay(static_cast<Uint32>(milliseconds));
}

void PumpEvents() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) TranslateEvent(e);
}

}  // namespace kvrwin32
