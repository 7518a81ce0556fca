// winmm's millisecond clock, and kernel32's GetTickCount on it.
// Implemented: timeGetTime, milliseconds since SDL's timer started, as an unsigned 32-bit count
//   that wraps after 49.7 days like the real one; a manual clock for tests (kvrtest::SetTime).
// Not implemented: timeBeginPeriod/timeEndPeriod (the count is always in whole milliseconds).
#include <SDL.h>

#include <mmsystem.h>

#include "win32/win32_state.h"

namespace {
bool g_manual = false;
DWORD g_manualTime = 0;

DWORD RealTime() { return static_cast<DWORD>(SDL_GetTicks64()); }
}  // namespace

namespace kvrwin32 {

void SetManualTime(DWORD milliseconds) {
  g_manual = true;
  g_manualTime = milliseconds;
}

// On the real clock, advancing freezes it at the current reading first.
void AdvanceManualTime(DWORD milliseconds) {
  if (!g_manual) SetManualTime(RealTime());
  g_manualTime += milliseconds;  // unsigned: wraps like the real counter
}

void UseRealTime() { g_manual = false; }

}  // namespace kvrwin32

extern "C" DWORD WINAPI timeGetTime(void) { return g_manual ? g_manualTime : RealTime(); }

// The system's tick count is the same millisecond clock here.
extern "C" DWORD WINAPI GetTickCount(void) { return timeGetTime(); }
