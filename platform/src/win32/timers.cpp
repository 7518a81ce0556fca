// user32's timers, on the layer's millisecond clock (timeGetTime, which the tests can drive).
// Implemented: SetTimer (a window's timer by its id, replaced when set again; a thread timer,
//   without a window, gets an id of its own unless it names one it already has), periods kept
//   between USER_TIMER_MINIMUM and USER_TIMER_MAXIMUM, KillTimer, WM_TIMER handed over by the
//   message queue after everything but WM_PAINT: the timer due first goes first, at most one
//   WM_TIMER per timer waits however long nobody takes it, and taking it makes the timer due
//   again a period later. Timers of a destroyed window end with it.
// Not implemented: coalescing tolerances (SetCoalescableTimer), timers of other threads.
#include <mmsystem.h>

#include <algorithm>
#include <vector>

#include "win32/win32_state.h"

namespace {

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT period;
  TIMERPROC proc;
  DWORD due;
};

std::vector<Timer> g_timers;
UINT_PTR g_nextThreadId = 1;

// Whether the clock has reached `due`, in wrapping 32-bit time.
bool Reached(DWORD now, DWORD due) { return static_cast<int32_t>(now - due) >= 0; }

Timer* Find(HWND hwnd, UINT_PTR id) {
  for (Timer& t : g_timers)
    if (t.hwnd == hwnd && t.id == id) return &t;
  return nullptr;
}

}  // namespace

namespace kvrwin32 {

bool TakeDueTimer(HWND filter, bool remove, MSG* out) {
  g_timers.erase(std::remove_if(g_timers.begin(), g_timers.end(),
                                [](const Timer& t) { return t.hwnd && !IsLiveWindow(t.hwnd); }),
                 g_timers.end());
  const DWORD now = timeGetTime();
  Timer* first = nullptr;
  for (Timer& t : g_timers) {
    if (!Reached(now, t.due)) continue;
    if (filter == reinterpret_cast<HWND>(-1) ? t.hwnd != nullptr : filter && t.hwnd != filter) continue;
    if (!first || static_cast<int32_t>(t.due - first->due) < 0) first = &t;
  }
  if (!first) return false;
  out->hwnd = first->hwnd;
  out->message = WM_TIMER;
  out->wParam = first->id;
  out->lParam = reinterpret_cast<LPARAM>(first->proc);
  if (remove) first->due = now + first->period;
  return true;
}

bool IsTimerProc(HWND hwnd, UINT_PTR id, LPARAM proc) {
  const Timer* t = Find(hwnd, id);
  return t && proc && reinterpret_cast<LPARAM>(t->proc) == proc;
}

void ResetTimers() {
  g_timers.clear();
  g_nextThreadId = 1;
}

}  // namespace kvrwin32

extern "C" {

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  if (hWnd && !kvrwin32::IsLiveWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  const UINT period = std::clamp<UINT>(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  UINT_PTR id = nIDEvent;
  if (!hWnd && !Find(nullptr, id)) {
    // A thread timer is numbered by the system: a number no thread timer has.
    do {
      id = g_nextThreadId++;
      if (g_nextThreadId == 0) g_nextThreadId = 1;
    } while (id == 0 || Find(nullptr, id));
  }
  const Timer timer = {hWnd, id, period, lpTimerFunc, timeGetTime() + period};
  if (Timer* existing = Find(hWnd, id)) *existing = timer;
  else g_timers.push_back(timer);
  return hWnd ? (id ? id : 1) : id;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  Timer* t = Find(hWnd, uIDEvent);
  if (!t) return FALSE;
  g_timers.erase(g_timers.begin() + (t - g_timers.data()));
  return TRUE;
}

}  // extern "C"
