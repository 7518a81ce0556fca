// Test seams of the Win32 backend: clock, desktop size, scripted messages, key and cursor state,
// the folder cache of path resolution.
#include <kvrplatform_testing.h>

#include "win32/path_resolution.h"
#include "win32/win32_state.h"

namespace kvrtest {

void SetTime(DWORD milliseconds) { kvrwin32::SetManualTime(milliseconds); }
void AdvanceTime(DWORD milliseconds) { kvrwin32::AdvanceManualTime(milliseconds); }
void UseRealClock() { kvrwin32::UseRealTime(); }

void SetDesktopSize(int width, int height) { kvrwin32::SetDesktopSizeOverride(width, height); }

void PostScriptedMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m = {};
  m.hwnd = hwnd;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  kvrwin32::QueueScriptedMessage(m);
}

void SetKeyState(int virtualKey, bool down) { kvrwin32::KeyEvent(virtualKey, down); }

void SetCursorPos(int x, int y) { kvrwin32::SetCursorOverride(true, x, y); }
void ClearCursorOverride() { kvrwin32::SetCursorOverride(false, 0, 0); }

void ResetInput() {
  kvrwin32::ResetMessageQueues();
  kvrwin32::ResetKeyTable();
  kvrwin32::ForgetWindowClasses();
}

int EmptyPeekCount() { return kvrwin32::EmptyPeeks(); }

void SetFolderCacheLimits(size_t names, size_t folders) { KvrSetFolderCacheLimits(names, folders); }

}  // namespace kvrtest
