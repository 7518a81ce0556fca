// Windows virtual-key codes of the browser's keyboard events.
// Implemented: letters (by the layout's letter, as Windows codes them), digits, the numpad,
//   F1-F24, arrows and the editing block, modifiers (left and right), lock keys, punctuation by
//   its US-layout position (KeyboardEvent.code names positions the way SDL's scan codes do).
// Not implemented: IME and media keys, numpad keys turning into arrows while Num Lock is off.
#include <cstring>

#include "web/html5_state.h"

namespace kvrweb {

namespace {

struct CodeName {
  const char* code;
  int vk;
};

constexpr CodeName kCodes[] = {
    {"Escape", VK_ESCAPE},       {"Enter", VK_RETURN},         {"Backspace", VK_BACK},
    {"Tab", VK_TAB},             {"Space", VK_SPACE},          {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT},       {"End", VK_END},              {"Home", VK_HOME},
    {"ArrowLeft", VK_LEFT},      {"ArrowUp", VK_UP},           {"ArrowRight", VK_RIGHT},
    {"ArrowDown", VK_DOWN},      {"Insert", VK_INSERT},        {"Delete", VK_DELETE},
    {"PrintScreen", VK_SNAPSHOT}, {"Pause", VK_PAUSE},         {"CapsLock", VK_CAPITAL},
    {"NumLock", VK_NUMLOCK},     {"ScrollLock", VK_SCROLL},    {"ShiftLeft", VK_LSHIFT},
    {"ShiftRight", VK_RSHIFT},   {"ControlLeft", VK_LCONTROL}, {"ControlRight", VK_RCONTROL},
    {"AltLeft", VK_LMENU},       {"AltRight", VK_RMENU},       {"MetaLeft", VK_LWIN},
    {"MetaRight", VK_RWIN},      {"ContextMenu", VK_APPS},     {"NumpadAdd", VK_ADD},
    {"NumpadSubtract", VK_SUBTRACT}, {"NumpadMultiply", VK_MULTIPLY}, {"NumpadDivide", VK_DIVIDE},
    {"NumpadDecimal", VK_DECIMAL}, {"NumpadEnter", VK_RETURN}, {"Semicolon", VK_OEM_1},
    {"Equal", VK_OEM_PLUS},      {"Comma", VK_OEM_COMMA},      {"Minus", VK_OEM_MINUS},
    {"Period", VK_OEM_PERIOD},   {"Slash", VK_OEM_2},          {"Backquote", VK_OEM_3},
    {"BracketLeft", VK_OEM_4},   {"Backslash", VK_OEM_5},      {"BracketRight", VK_OEM_6},
    {"Quote", VK_OEM_7},
};

bool StartsWith(const char* s, const char* prefix, size_t* rest) {
  const size_t n = std::strlen(prefix);
  if (std::strncmp(s, prefix, n) != 0) return false;
  *rest = n;
  return true;
}

}  // namespace

int VirtualKeyOf(const char* key, const char* code) {
  if (key && key[0] && !key[1]) {
    const char c = key[0];
    if (c >= 'a' && c <= 'z') return 'A' + (c - 'a');
    if (c >= 'A' && c <= 'Z') return c;
  }
  if (!code) return 0;
  size_t at = 0;
  // Keys by position: "KeyQ", "Digit1", "Numpad7", "F5".
  if (StartsWith(code, "Key", &at) && code[at] >= 'A' && code[at] <= 'Z' && !code[at + 1]) return code[at];
  if (StartsWith(code, "Digit", &at) && code[at] >= '0' && code[at] <= '9' && !code[at + 1]) return code[at];
  if (StartsWith(code, "Numpad", &at) && code[at] >= '0' && code[at] <= '9' && !code[at + 1])
    return VK_NUMPAD0 + (code[at] - '0');
  if (code[0] == 'F' && code[1] >= '1' && code[1] <= '9') {
    int n = code[1] - '0';
    if (code[2] >= '0' && code[2] <= '9' && !code[3]) n = n * 10 + (code[2] - '0');
    else if (code[2]) return 0;
    return n >= 1 && n <= 24 ? VK_F1 + n - 1 : 0;
  }
  for (const CodeName& c : kCodes)
    if (std::strcmp(c.code, code) == 0) return c.vk;
  return 0;
}

}  // namespace kvrweb
