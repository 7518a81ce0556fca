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
#include "win32/key_table.h"
#include "win32/win32_state.h"
#include "win32/window_internal.h"

namespace {

bool g_pointerSeen = false;
int g_pointerX = 0, g_pointerY = 0;
int g_showCount = 0;

}  // namespace

namespace kvrweb {

void SetPointer(int x, int y) {
  g_pointerSeen = true;
  g_pointerX = x;
  g_pointerY = y;
}

}  // namespace kvrweb

namespace kvrwin32 {

void ResetKeyTable() {
  ClearKeyTable();
  g_showCount = 0;
}

}  // namespace kvrwin32

extern "C" {

SHORT WINAPI GetAsyncKeyState(int vKey) {
  if (vKey <= 0 || vKey > 255) return 0;
  // The page's events arrive whenever the program yields (each frame): nothing to pump here.
  return kvrwin32::ReadAsyncKey(vKey);
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  if (kvrwin32::CursorOverride(lpPoint)) return TRUE;
  if (g_pointerSeen) {
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
