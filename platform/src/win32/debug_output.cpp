// kernel32's error code and debugging output.
// Implemented: GetLastError/SetLastError (one code per thread, set by the functions of the layer
//   that document it), OutputDebugStringA/W writing the text to standard error as it is (there is
//   no debugger to catch it; in the browser standard error is the console).
#include <windows.h>

#include <cstdio>
#include <string>

#include "win32/wide_text.h"

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}  // namespace

extern "C" {

DWORD WINAPI GetLastError(void) { return t_lastError; }
void WINAPI SetLastError(DWORD dwErrCode) { t_lastError = dwErrCode; }

void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
  if (!lpOutputString) return;
  std::fputs(lpOutputString, stderr);
  std::fflush(stderr);
}

void WINAPI OutputDebugStringW(LPCWSTR lpOutputString) {
  if (!lpOutputString) return;
  OutputDebugStringA(KvrUtf8FromWide(lpOutputString).c_str());
}

}  // extern "C"
