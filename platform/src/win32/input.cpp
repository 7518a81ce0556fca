// Keyboard and mouse state: virtual-key codes, GetAsyncKeyState, GetCursorPos and ShowCursor.
// Implemented: a key table indexed by virtual-key code, fed from SDL key and button events as they
//   are translated into messages (so a tap between two polls is still seen through the low bit);
//   VK codes for letters, digits, the numpad, arrows and the editing block, F1-F24, modifiers
//   (generic and left/right), punctuation by its US-layout position; GetCursorPos reading the
//   pointer's screen position fresh from the display (so warps made by other programs are seen);
//   ShowCursor's display counter. Headless (SDL's offscreen driver) the pointer rests mid-desktop.
// Not implemented: GetKeyState (the queue-synchronised state), toggle states (Caps Lock),
//   numpad keys turning into arrows while Num Lock is off, swapped mouse buttons.
#include <SDL.h>

#include <cstdint>

#include "win32/key_table.h"
#include "win32/win32_state.h"
#include "win32/window_internal.h"
#include "win32/x11_pointer.h"

namespace {

int g_showCount = 0;  // Windows starts at 0 when a mouse is installed: the cursor shows while >= 0
uint64_t g_lastPumpTick = UINT64_MAX;

int FromScancode(int sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
  // Windows codes the top-row digits '0'..'9' whatever the layout prints on them.
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  if (sc == SDL_SCANCODE_0) return '0';
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return VK_F1 + (sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return VK_F1 + 12 + (sc - SDL_SCANCODE_F13);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1);
  switch (sc) {
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_LSHIFT: return VK_LSHIFT;
    case SDL_SCANCODE_RSHIFT: return VK_RSHIFT;
    case SDL_SCANCODE_LCTRL: return VK_LCONTROL;
    case SDL_SCANCODE_RCTRL: return VK_RCONTROL;
    case SDL_SCANCODE_LALT: return VK_LMENU;
    case SDL_SCANCODE_RALT: return VK_RMENU;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    case SDL_SCANCODE_APPLICATION: return VK_APPS;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    default: return 0;
  }
}

// The generic code that stands for both keys of a left/right pair.
}  // namespace

namespace kvrwin32 {

// SDL reports left and right modifiers apart; the table keeps both sides and the generic code,
// which is down while either side is.
int TranslateSdlKey(int32_t keycode, int scancode, bool down) {
  // Letters follow the layout (the key that prints A is VK 'A', as on Windows); all else goes
  // by position.
  int vk = keycode >= SDLK_a && keycode <= SDLK_z ? 'A' + (keycode - SDLK_a) : FromScancode(scancode);
  if (!vk) return 0;
  KeyEvent(vk, down);
  int generic = GenericKeyOf(vk);  // messages carry the generic modifier code
  return generic ? generic : vk;
}

void ResetKeyTable() {
  ClearKeyTable();
  g_lastPumpTick = UINT64_MAX;
  if (g_showCount != 0) {
    g_showCount = 0;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(SDL_ENABLE);
  }
}

}  // namespace kvrwin32

extern "C" {

SHORT WINAPI GetAsyncKeyState(int vKey) {
  if (vKey <= 0 || vKey > 255) return 0;
  // The state is "now", not as of the last message taken: bring in what has happened since, at
  // most once per millisecond because callers poll many keys in a row.
  uint64_t tick = SDL_GetTicks64();
  if (tick != g_lastPumpTick) {
    g_lastPumpTick = tick;
    kvrwin32::PumpEvents();
  }
  return kvrwin32::ReadAsyncKey(vKey);
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  if (kvrwin32::CursorOverride(lpPoint)) return TRUE;
  int x = 0, y = 0;
  if (KvrEnsureSdlVideo()) {
    const char* driver = SDL_GetCurrentVideoDriver();
    HWND window = nullptr;
    kvrwin32::LiveWindows(&window, 1);
    if (driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
      // Headless: there is no pointer. It rests in the middle of the desktop, where an X server
      // starts it, rather than on the top-left corner, which programs read as a screen edge.
      int width = 0, height = 0;
      KvrWindowClientSize(GetDesktopWindow(), &width, &height);
      x = width / 2;
      y = height / 2;
    } else if (!KvrQueryX11Pointer(KvrSdlWindowFromHwnd(window), &x, &y)) {
      SDL_GetGlobalMouseState(&x, &y);  // other drivers: their own notion of the pointer
    }
  }
  lpPoint->x = x;
  lpPoint->y = y;
  return TRUE;
}

int WINAPI ShowCursor(BOOL bShow) {
  g_showCount += bShow ? 1 : -1;
  if (KvrEnsureSdlVideo()) SDL_ShowCursor(g_showCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return g_showCount;
}

}  // extern "C"
