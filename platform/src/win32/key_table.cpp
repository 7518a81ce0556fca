// The key and mouse-button table behind GetAsyncKeyState (see key_table.h).
#include "win32/key_table.h"

#include <cstdint>

#include "win32/win32_state.h"

namespace {

struct KeyState {
  bool down = false;
  bool pressedSinceRead = false;  // the low bit of GetAsyncKeyState
  bool toggled = false;           // the low bit of GetKeyboardState: flips at each press
};

KeyState g_keys[256];
bool g_cursorOverride = false;
int g_cursorX = 0;
int g_cursorY = 0;

void SetKey(int vk, bool down) {
  if (vk <= 0 || vk > 255) return;
  KeyState& k = g_keys[vk];
  if (down && !k.down) {
    k.pressedSinceRead = true;
    k.toggled = !k.toggled;
  }
  k.down = down;
}

}  // namespace

namespace kvrwin32 {

int GenericKeyOf(int vk) {
  switch (vk) {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
    default: return 0;
  }
}

void KeyEvent(int virtualKey, bool down) {
  SetKey(virtualKey, down);
  const int generic = GenericKeyOf(virtualKey);
  if (!generic) return;
  const int left = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
  SetKey(generic, g_keys[left].down || g_keys[left + 1].down);
}

SHORT ReadAsyncKey(int virtualKey) {
  KeyState& k = g_keys[virtualKey];
  const uint16_t result = (k.down ? 0x8000 : 0) | (k.pressedSinceRead ? 1 : 0);
  k.pressedSinceRead = false;
  return static_cast<SHORT>(result);
}

bool KeyIsDown(int virtualKey) { return virtualKey > 0 && virtualKey < 256 && g_keys[virtualKey].down; }
bool KeyIsToggled(int virtualKey) { return virtualKey > 0 && virtualKey < 256 && g_keys[virtualKey].toggled; }

void ClearKeyTable() {
  for (KeyState& k : g_keys) k = KeyState();
  g_cursorOverride = false;
}

bool CursorOverride(POINT* point) {
  if (!g_cursorOverride) return false;
  point->x = g_cursorX;
  point->y = g_cursorY;
  return true;
}

void SetCursorOverride(bool active, int x, int y) {
  g_cursorOverride = active;
  g_cursorX = x;
  g_cursorY = y;
}

WPARAM MouseKeyFlags() {
  WPARAM flags = 0;
  if (g_keys[VK_LBUTTON].down) flags |= MK_LBUTTON;
  if (g_keys[VK_RBUTTON].down) flags |= MK_RBUTTON;
  if (g_keys[VK_MBUTTON].down) flags |= MK_MBUTTON;
  if (g_keys[VK_SHIFT].down) flags |= MK_SHIFT;
  if (g_keys[VK_CONTROL].down) flags |= MK_CONTROL;
  return flags;
}

}  // namespace kvrwin32

extern "C" BOOL WINAPI GetKeyboardState(PBYTE lpKeyState) {
  if (!lpKeyState) return FALSE;
  for (int vk = 0; vk < 256; ++vk)
    lpKeyState[vk] = static_cast<BYTE>((g_keys[vk].down ? 0x80 : 0) | (g_keys[vk].toggled ? 1 : 0));
  return TRUE;
}
