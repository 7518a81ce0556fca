// The key and mouse-button table behind GetAsyncKeyState, shared by every windowing backend:
// each feeds it through kvrwin32::KeyEvent as its events become messages.
#pragma once
#include <windows.h>

namespace kvrwin32 {

// The generic modifier code (VK_SHIFT, VK_CONTROL, VK_MENU) of a left or right one, else 0.
int GenericKeyOf(int virtualKey);
// GetAsyncKeyState's answer for a code the caller has checked to be 1..255: the high bit while
// down, the low bit once after each press; reading clears the low bit.
SHORT ReadAsyncKey(int virtualKey);
// The key is down now / its toggle (flipped at each press) is on.
bool KeyIsDown(int virtualKey);
bool KeyIsToggled(int virtualKey);
// Empties the table and ends a cursor override (each backend's ResetKeyTable adds its own).
void ClearKeyTable();
// The test seams' cursor position, when one is set.
bool CursorOverride(POINT* point);

}  // namespace kvrwin32
