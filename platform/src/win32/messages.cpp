// The thread's message queue on SDL events.
// Implemented: PeekMessageA/W (window and range filters, PM_REMOVE/PM_NOREMOVE) handing over, in
//   this order: scripted test messages, posted messages, WM_QUIT, input from SDL events, WM_PAINT;
//   GetMessageA/W (the same, waiting on SDL's event queue while there is none: a program whose
//   window is painted once and then idle sleeps there, as on Windows), TranslateMessage (makes no
//   WM_CHAR), DispatchMessageA/W, DefWindowProcA/W (WM_CLOSE destroys the window, Alt+F4 closes
//   it, WM_PAINT validates), PostMessageA/W, PostQuitMessage, ValidateRect. The A and W forms
//   differ only in text, and no message handled here carries any.
//   SDL events become WM_KEYDOWN/UP (WM_SYSKEYDOWN/UP with Alt; each auto-repeat is another
//   WM_KEYDOWN), WM_[LRM]BUTTONDOWN/UP, WM_MOUSEMOVE (coalesced like Windows does), WM_MOUSEWHEEL,
//   WM_PAINT on expose, WM_CLOSE when the window manager closes the window or SDL quits.
// Not implemented: WaitMessage, SendMessage across threads, WM_CHAR, timers, double-click
//   messages, non-client messages.
#include <SDL.h>

#include <mmsystem.h>

#include <deque>

#include "win32/win32_state.h"
#include "win32/window_internal.h"

namespace {

std::deque<MSG> g_scripted;
std::deque<MSG> g_posted;
std::deque<MSG> g_input;
bool g_quitPending = false;
int g_quitCode = 0;
int g_emptyPeeks = 0;

constexpr LPARAM kAltDownBit = LPARAM(1) << 29;
constexpr LPARAM kWasDownBit = LPARAM(1) << 30;
constexpr LPARAM kReleasedBit = LPARAM(1) << 31;

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m = {};
  m.hwnd = hwnd;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = timeGetTime();
  GetCursorPos(&m.pt);
  return m;
}

// Key and focus-less events go to the window that has the keyboard, or else the first window.
HWND TargetWindow(uint32_t sdlWindowId) {
  if (HWND hwnd = kvrwin32::WindowFromSdlId(sdlWindowId)) return hwnd;
  HWND first = nullptr;
  kvrwin32::LiveWindows(&first, 1);
  return first;
}

LPARAM ClientPoint(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

void QueueInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!hwnd) return;
  // Windows keeps at most one pending mouse move: a newer one replaces it.
  if (message == WM_MOUSEMOVE && !g_input.empty() && g_input.back().message == WM_MOUSEMOVE &&
      g_input.back().hwnd == hwnd) {
    g_input.back() = MakeMessage(hwnd, message, wParam, lParam);
    return;
  }
  g_input.push_back(MakeMessage(hwnd, message, wParam, lParam));
}

bool CloseQueuedFor(HWND hwnd) {
  for (const MSG& m : g_input)
    if (m.hwnd == hwnd && m.message == WM_CLOSE) return true;
  return false;
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

bool Matches(const MSG& m, HWND hWnd, UINT minMsg, UINT maxMsg) {
  if (minMsg != 0 || maxMsg != 0) {
    if (m.message < minMsg || m.message > maxMsg) return false;
  }
  if (hWnd == nullptr) return true;
  if (hWnd == reinterpret_cast<HWND>(-1)) return m.hwnd == nullptr;
  return m.hwnd == hWnd;
}

// Takes the first message of `queue` that passes the filter. Messages for windows destroyed
// since they were queued are dropped on the way, as nobody can receive them.
bool TakeFrom(std::deque<MSG>& queue, LPMSG out, HWND hWnd, UINT minMsg, UINT maxMsg, bool remove) {
  for (auto it = queue.begin(); it != queue.end();) {
    if (it->hwnd && !kvrwin32::IsLiveWindow(it->hwnd)) {
      it = queue.erase(it);
      continue;
    }
    if (Matches(*it, hWnd, minMsg, maxMsg)) {
      *out = *it;
      if (remove) queue.erase(it);
      return true;
    }
    ++it;
  }
  return false;
}

}  // namespace

namespace kvrwin32 {

void QueueScriptedMessage(const MSG& msg) {
  MSG m = MakeMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  g_scripted.push_back(m);
}

void PumpSdlEvents() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) TranslateEvent(e);
}

int EmptyPeeks() { return g_emptyPeeks; }

void ResetMessageQueues() {
  g_scripted.clear();
  g_posted.clear();
  g_input.clear();
  g_quitPending = false;
  g_quitCode = 0;
  g_emptyPeeks = 0;
}

}  // namespace kvrwin32

extern "C" {

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) return FALSE;
  kvrwin32::PumpSdlEvents();
  bool remove = (wRemoveMsg & PM_REMOVE) != 0;
  if (TakeFrom(g_scripted, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, remove)) return TRUE;
  if (TakeFrom(g_posted, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, remove)) return TRUE;
  if (g_quitPending) {
    MSG quit = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(g_quitCode), 0);
    // The quit message belongs to the thread, so a window filter does not hide it.
    if (Matches(quit, nullptr, wMsgFilterMin, wMsgFilterMax)) {
      *lpMsg = quit;
      if (remove) g_quitPending = false;
      return TRUE;
    }
  }
  if (TakeFrom(g_input, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, remove)) return TRUE;
  // WM_PAINT is made up when nothing else waits, and stays until the window is validated.
  if (HWND painted = kvrwin32::WindowNeedingPaint()) {
    MSG paint = MakeMessage(painted, WM_PAINT, 0, 0);
    if (Matches(paint, hWnd, wMsgFilterMin, wMsgFilterMax)) {
      *lpMsg = paint;
      return TRUE;
    }
  }
  ++g_emptyPeeks;
  return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  // No WM_CHAR is made; Windows reports key messages as translated whatever it made of them.
  if (!lpMsg) return FALSE;
  UINT m = lpMsg->message;
  return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg || !lpMsg->hwnd || lpMsg->message == WM_QUIT) return 0;
  return kvrwin32::SendToWindow(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  switch (Msg) {
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_PAINT:
      ValidateRect(hWnd, nullptr);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (lParam & kAltDownBit))
        kvrwin32::SendToWindow(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) kvrwin32::SendToWindow(hWnd, WM_CLOSE, 0, 0);
      return 0;
    default: return 0;
  }
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd && !kvrwin32::IsLiveWindow(hWnd)) return FALSE;
  g_posted.push_back(MakeMessage(hWnd, Msg, wParam, lParam));
  return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
  g_quitPending = true;
  g_quitCode = nExitCode;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
  // The update region is all or nothing here: validating any part validates the window.
  if (!hWnd) return TRUE;
  if (!kvrwin32::IsLiveWindow(hWnd)) return FALSE;
  kvrwin32::SetNeedsPaint(hWnd, false);
  return TRUE;
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  return PeekMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg);
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  // A window filter naming no window would wait for ever: Windows refuses it with -1.
  if (!lpMsg || (hWnd && hWnd != reinterpret_cast<HWND>(-1) && !kvrwin32::IsLiveWindow(hWnd))) return -1;
  for (;;) {
    if (PeekMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, PM_REMOVE)) return lpMsg->message != WM_QUIT;
    // Nothing to hand over: sleep until SDL has an event (a short time-out also lets posted
    // messages from callbacks through).
    if (SDL_WasInit(SDL_INIT_VIDEO))
      SDL_WaitEventTimeout(nullptr, 10);
    else
      SDL_Delay(10);
  }
}

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  return GetMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax);
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) { return DispatchMessageA(lpMsg); }

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return PostMessageA(hWnd, Msg, wParam, lParam);
}

}  // extern "C"
