// Keyboard and mouse state in the browser: GetAsyncKeyState, GetCursorPos and ShowCursor.
// Implemented: the key table indexed by virtual-key code, fed as the page's events become
//   messages (a tap between two polls is still seen through the low bit), generic modifier codes
//   beside the left and right ones; GetCursorPos at the pointer's last place over the canvas, in
//   the canvas's pixels (the window fills the canvas from its top-left corner, so they are screen
//   coordinates too), the middle of the canvas until the pointer first comes; ShowCursor's
//   counter, hiding the page's pointer over the canvas while it is below 0.
// Not implemented: GetKeyState, toggle states, pointer positions outside the canvas (the last
//   one inside is kept), swapped mouse buttons.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdint>

#include "web/html5_state.h"
#include "win32/win32_state.h"
#include "win32/window_internal.h"

namespace {

struct KeyState {
  bool down = false;
  bool pressedSinceRead = false;  // the low bit of GetAsyncKeyState
};

KeyState g_keys[256];
bool g_cursorOverride = false;
int g_cursorX = 0, g_cursorY = 0;
bool g_pointerSeen = false;
int g_pointerX = 0, g_pointerY = 0;
int g_showCount = 0;

int GenericOf(int vk) {
  switch (vk) {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
    default: return 0;
  }
}

void SetKey(int vk, bool down) {
  if (vk <= 0 || vk > 255) return;
  KeyState& k = g_keys[vk];
  if (down && !k.down) k.pressedSinceRead = true;
  k.down = down;
}

}  // namespace

namespace kvrweb {

void SetPointer(int x, int y) {
  g_pointerSeen = true;
  g_pointerX = x;
  g_pointerY = y;
}

}  // namespace kvrweb

namespace kvrwin32 {

void KeyEvent(int virtualKey, bool down) {
  SetKey(virtualKey, down);
  const int generic = GenericOf(virtualKey);
  if (!generic) return;
  const int left = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
  SetKey(generic, g_keys[left].down || g_keys[left + 1].down);
}

void ResetKeyTable() {
  for (KeyState& k : g_keys) k = KeyState();
  g_cursorOverride = false;
  g_showCount = 0;
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

extern "C" {

SHORT WINAPI GetAsyncKeyState(int vKey) {
  if (vKey <= 0 || vKey > 255) return 0;
  // The page's events arrive whenever the program yields (each frame): nothing to pump here.
  KeyState& k = g_keys[vKey];
  const uint16_t result = (k.down ? 0x8000 : 0) | (k.pressedSinceRead ? 1 : 0);
  k.pressedSinceRead = false;
  return static_cast<SHORT>(result);
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  if (g_cursorOverride) {
    *lpPoint = {g_cursorX, g_cursorY};
  } else if (g_pointerSeen) {
    *lpPoint = {g_pointerX, g_pointerY};
  } else {
    // No pointer yet: it rests in the middle, not on the top-left corner (a screen edge).
    int width = 0, height = 0;
    KvrWindowClientSize(GetDesktopWindow(), &width, &height);
    *lpPoint = {width / 2, height / 2};
  }
  return TRUE;
}

int WINAPI ShowCursor(BOOL bShow) {
  g_showCount += bShow ? 1 : -1;
  const int hidden = g_showCount < 0 ? 1 : 0;
  EM_ASM({
    var canvas = document.querySelector(UTF8ToString($0));
    if (canvas) canvas.style.cursor = $1 ? "none" : "auto";
  }, kvrweb::kCanvas, hidden);
  return g_showCount;
}

}  // extern "C"
