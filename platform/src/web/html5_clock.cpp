// winmm's millisecond clock and kernel32's high-resolution counter on the page's clock
// (performance.now(): milliseconds since the page started, in fractions).
// Implemented: timeGetTime and GetTickCount as an unsigned 32-bit count of whole milliseconds (wrapping after
//   49.7 days like the real one); QueryPerformanceCounter in microseconds, a frequency of 1 MHz
//   fixed for the page's life. Browsers coarsen the clock (to 0.1 ms or more) against timing
//   attacks: the counter moves in those steps.
// Not implemented: timeBeginPeriod/timeEndPeriod; the tests' manual clock (no test seams here).
#include <emscripten.h>
#include <mmsystem.h>
#include <windows.h>

#include <cmath>

extern "C" {

DWORD WINAPI timeGetTime(void) {
  return static_cast<DWORD>(static_cast<uint64_t>(std::floor(emscripten_get_now())));
}

DWORD WINAPI GetTickCount(void) { return timeGetTime(); }

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
  if (!lpPerformanceCount) return FALSE;
  lpPerformanceCount->QuadPart = static_cast<LONGLONG>(std::floor(emscripten_get_now() * 1000.0));
  return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
  if (!lpFrequency) return FALSE;
  lpFrequency->QuadPart = 1000000;
  return TRUE;
}

}  // extern "C"
