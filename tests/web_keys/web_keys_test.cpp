// The browser backend's virtual-key codes against the SDL backend's: the same key, told by its
// KeyboardEvent code (and key) in the page or by its SDL scan code (and key code) on the desktop,
// gives the program the same Windows code.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "web/html5_state.h"
#include "win32/win32_state.h"

namespace {

// The code SDL's backend gives a key pressed by position alone (its key code not a letter).
int SdlCode(SDL_Scancode scancode) {
  const int vk = kvrwin32::TranslateSdlKey(SDLK_UNKNOWN, scancode, true);
  kvrwin32::TranslateSdlKey(SDLK_UNKNOWN, scancode, false);
  return vk;
}

// The code the browser's backend gives; modifiers come back as their left or right code there,
// as their generic code in SDL's messages, so both are made generic.
int WebCode(const char* key, const char* code) {
  const int vk = kvrweb::VirtualKeyOf(key, code);
  switch (vk) {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
    default: return vk;
  }
}

TEST(WebKeys, KeysByPositionGiveTheSdlBackendsCodes) {
  struct Pair {
    const char* code;
    SDL_Scancode scancode;
  };
  const Pair pairs[] = {
      {"Escape", SDL_SCANCODE_ESCAPE}, {"Enter", SDL_SCANCODE_RETURN}, {"Backspace", SDL_SCANCODE_BACKSPACE},
      {"Tab", SDL_SCANCODE_TAB}, {"Space", SDL_SCANCODE_SPACE}, {"PageUp", SDL_SCANCODE_PAGEUP},
      {"PageDown", SDL_SCANCODE_PAGEDOWN}, {"End", SDL_SCANCODE_END}, {"Home", SDL_SCANCODE_HOME},
      {"ArrowLeft", SDL_SCANCODE_LEFT}, {"ArrowUp", SDL_SCANCODE_UP}, {"ArrowRight", SDL_SCANCODE_RIGHT},
      {"ArrowDown", SDL_SCANCODE_DOWN}, {"Insert", SDL_SCANCODE_INSERT}, {"Delete", SDL_SCANCODE_DELETE},
      {"PrintScreen", SDL_SCANCODE_PRINTSCREEN}, {"Pause", SDL_SCANCODE_PAUSE},
      {"CapsLock", SDL_SCANCODE_CAPSLOCK}, {"NumLock", SDL_SCANCODE_NUMLOCKCLEAR},
      {"ScrollLock", SDL_SCANCODE_SCROLLLOCK}, {"ShiftLeft", SDL_SCANCODE_LSHIFT},
      {"ShiftRight", SDL_SCANCODE_RSHIFT}, {"ControlLeft", SDL_SCANCODE_LCTRL},
      {"ControlRight", SDL_SCANCODE_RCTRL}, {"AltLeft", SDL_SCANCODE_LALT}, {"AltRight", SDL_SCANCODE_RALT},
      {"MetaLeft", SDL_SCANCODE_LGUI}, {"MetaRight", SDL_SCANCODE_RGUI}, {"ContextMenu", SDL_SCANCODE_APPLICATION},
      {"NumpadAdd", SDL_SCANCODE_KP_PLUS}, {"NumpadSubtract", SDL_SCANCODE_KP_MINUS},
      {"NumpadMultiply", SDL_SCANCODE_KP_MULTIPLY}, {"NumpadDivide", SDL_SCANCODE_KP_DIVIDE},
      {"NumpadDecimal", SDL_SCANCODE_KP_PERIOD}, {"NumpadEnter", SDL_SCANCODE_KP_ENTER},
      {"Semicolon", SDL_SCANCODE_SEMICOLON}, {"Equal", SDL_SCANCODE_EQUALS}, {"Comma", SDL_SCANCODE_COMMA},
      {"Minus", SDL_SCANCODE_MINUS}, {"Period", SDL_SCANCODE_PERIOD}, {"Slash", SDL_SCANCODE_SLASH},
      {"Backquote", SDL_SCANCODE_GRAVE}, {"BracketLeft", SDL_SCANCODE_LEFTBRACKET},
      {"Backslash", SDL_SCANCODE_BACKSLASH}, {"BracketRight", SDL_SCANCODE_RIGHTBRACKET},
      {"Quote", SDL_SCANCODE_APOSTROPHE},
  };
  for (const Pair& p : pairs) EXPECT_EQ(SdlCode(p.scancode), WebCode("Unidentified", p.code)) << p.code;
  for (int i = 0; i < 26; ++i) {
    const std::string code = std::string("Key") + char('A' + i);
    EXPECT_EQ(SdlCode(SDL_Scancode(SDL_SCANCODE_A + i)), WebCode("Unidentified", code.c_str())) << code;
  }
  for (int i = 0; i < 10; ++i) {
    const std::string digit = std::string("Digit") + char('0' + i), pad = std::string("Numpad") + char('0' + i);
    const SDL_Scancode top = i == 0 ? SDL_SCANCODE_0 : SDL_Scancode(SDL_SCANCODE_1 + i - 1);
    const SDL_Scancode keypad = i == 0 ? SDL_SCANCODE_KP_0 : SDL_Scancode(SDL_SCANCODE_KP_1 + i - 1);
    EXPECT_EQ(SdlCode(top), WebCode(nullptr, digit.c_str())) << digit;
    EXPECT_EQ(SdlCode(keypad), WebCode(nullptr, pad.c_str())) << pad;
  }
  for (int i = 1; i <= 24; ++i) {
    const std::string code = "F" + std::to_string(i);
    const SDL_Scancode scancode = i <= 12 ? SDL_Scancode(SDL_SCANCODE_F1 + i - 1) : SDL_Scancode(SDL_SCANCODE_F13 + i - 13);
    EXPECT_EQ(SdlCode(scancode), WebCode(code.c_str(), code.c_str())) << code;
  }
}

TEST(WebKeys, LettersFollowTheLayoutAsInTheSdlBackend) {
  // On a French layout the key at Q's place prints A: both backends give VK 'A'.
  const int sdl = kvrwin32::TranslateSdlKey(SDLK_a, SDL_SCANCODE_Q, true);
  kvrwin32::TranslateSdlKey(SDLK_a, SDL_SCANCODE_Q, false);
  EXPECT_EQ('A', sdl);
  EXPECT_EQ('A', WebCode("a", "KeyQ"));
  EXPECT_EQ('A', WebCode("A", "KeyQ"));  // with Shift
}

TEST(WebKeys, KeysWindowsHasNoCodeForGiveNone) {
  EXPECT_EQ(0, WebCode("Unidentified", "AudioVolumeUp"));
  EXPECT_EQ(0, WebCode("Unidentified", "F25"));
  EXPECT_EQ(0, WebCode("Unidentified", "F0"));
  EXPECT_EQ(0, WebCode("Unidentified", "KeyAB"));
  EXPECT_EQ(0, WebCode("Unidentified", ""));
  EXPECT_EQ(0, WebCode(nullptr, nullptr));
}

}  // namespace
