// kernel32's process environment.
// Implemented: SetEnvironmentVariableA (the C library's environment, so what the layer and the
//   libraries under it read with getenv sees the change; a NULL value removes the variable).
// Not implemented: GetEnvironmentVariable, the W form, expanding %NAME% in values.
#include <cstdlib>
#include <cstring>

#include <windows.h>

BOOL WINAPI SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue) {
  // Windows refuses an empty name and one holding '='; so does the C library.
  if (!lpName || !lpName[0] || std::strchr(lpName, '=')) return FALSE;
  return (lpValue ? setenv(lpName, lpValue, 1) : unsetenv(lpName)) == 0 ? TRUE : FALSE;
}
