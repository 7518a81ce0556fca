// The thread's message queue; the windowing backend feeds its input part (sdl_events.cpp for
// SDL2, web/html5_events.cpp in the browser).
// Implemented: PeekMessageA/W (window and range filters, PM_REMOVE/PM_NOREMOVE) handing over, in
//   this order: scripted test messages, posted messages, WM_QUIT, input events, WM_PAINT;
//   WM_TIMER (timers.cpp); GetMessageA/W (the same, waiting on the backend's events while there is
//   none: a program whose window is painted once and then idle sleeps there, as on Windows),
//   TranslateMessage (posts WM_CHAR, or WM_SYSCHAR for a system key, for a key press that makes a
//   character on a US keyboard: key_characters.cpp), DispatchMessageA/W (a WM_TIMER with a TIMERPROC
//   calls that procedure, only if it is a live timer's), DefWindowProcA/W (WM_CLOSE destroys the window, Alt+F4 closes
//   it, WM_PAINT validates), PostMessageA/W, PostQuitMessage, ValidateRect. The A and W forms
//   differ only in text, and no message handled here carries any.
//   Pending mouse moves are coalesced like Windows does.
// Not implemented: WaitMessage, SendMessage across threads, dead keys and input methods,
//   double-click messages, non-client messages.
#include <mmsystem.h>

#include <deque>

#include "win32/win32_state.h"

namespace {

std::deque<MSG> g_scripted;
std::deque<MSG> g_posted;
std::deque<MSG> g_input;
bool g_quitPending = false;
int g_quitCode = 0;
int g_emptyPeeks = 0;

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

void QueueScriptedMessage(const MSG& msg) {
  MSG m = MakeMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  g_scripted.push_back(m);
}

int EmptyPeeks() { return g_emptyPeeks; }

void ResetMessageQueues() {
  g_scripted.clear();
  g_posted.clear();
  g_input.clear();
  g_quitPending = false;
  g_quitCode = 0;
  g_emptyPeeks = 0;
  ResetTimers();
}

}  // namespace kvrwin32

extern "C" {

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) return FALSE;
  kvrwin32::PumpEvents();
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
  // Timers come last of all.
  MSG timer = {};
  timer.message = WM_TIMER;
  if (Matches(timer, nullptr, wMsgFilterMin, wMsgFilterMax) && kvrwin32::TakeDueTimer(hWnd, remove, &timer)) {
    *lpMsg = MakeMessage(timer.hwnd, WM_TIMER, timer.wParam, timer.lParam);
    return TRUE;
  }
  ++g_emptyPeeks;
  return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  // Windows reports key messages as translated whatever it made of them.
  if (!lpMsg) return FALSE;
  UINT m = lpMsg->message;
  if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) {
    if (const int character = kvrwin32::CharacterOfKey(static_cast<int>(lpMsg->wParam)))
      g_posted.push_back(MakeMessage(lpMsg->hwnd, m == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
                                     static_cast<WPARAM>(character), lpMsg->lParam));
  }
  return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg) return 0;
  if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
    // Only a live timer's own procedure is called: a posted WM_TIMER can't name any address.
    if (!kvrwin32::IsTimerProc(lpMsg->hwnd, lpMsg->wParam, lpMsg->lParam)) return 0;
    reinterpret_cast<TIMERPROC>(lpMsg->lParam)(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
    return 0;
  }
  if (!lpMsg->hwnd || lpMsg->message == WM_QUIT) return 0;
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
      if (wParam == VK_F4 && (lParam & kvrwin32::kAltDownBit))
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
    // Nothing to hand over: sleep until the backend has an event (a short time-out also lets
    // posted messages from callbacks through).
    kvrwin32::WaitForEvents(10);
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
