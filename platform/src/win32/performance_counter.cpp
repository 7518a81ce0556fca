// kernel32's high-resolution counter.
// Implemented: QueryPerformanceCounter and QueryPerformanceFrequency on SDL's performance counter
//   (CLOCK_MONOTONIC on Linux, nanoseconds), so the frequency is fixed for the process's life as
//   on Windows. Not affected by the tests' manual millisecond clock.
// Not implemented: nothing else of the QueryPerformance family exists.
#include <SDL.h>
#include <windows.h>

extern "C" {

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
  if (!lpPerformanceCount) return FALSE;
  lpPerformanceCount->QuadPart = static_cast<LONGLONG>(SDL_GetPerformanceCounter());
  return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
  if (!lpFrequency) return FALSE;
  lpFrequency->QuadPart = static_cast<LONGLONG>(SDL_GetPerformanceFrequency());
  return TRUE;
}

}  // extern "C"
