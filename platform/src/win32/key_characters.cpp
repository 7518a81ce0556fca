// The characters TranslateMessage makes of key presses: the US keyboard layout's, from the key
// table's Shift, Ctrl and Caps Lock state. Letters follow the layout already (their virtual-key
// codes do); other keys print what they print on a US keyboard.
#include <cstring>

#include "win32/key_table.h"
#include "win32/win32_state.h"

namespace {

struct Pair {
  int vk;
  char plain, shifted;
};

constexpr Pair kPrintable[] = {
    {VK_SPACE, ' ', ' '},       {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_MINUS, '-', '_'},   {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},    {VK_OEM_3, '`', '~'},
    {VK_OEM_4, '[', '{'},       {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},    {VK_OEM_7, '\'', '"'},
    {VK_MULTIPLY, '*', '*'},    {VK_ADD, '+', '+'},        {VK_SUBTRACT, '-', '-'}, {VK_DECIMAL, '.', '.'},
    {VK_DIVIDE, '/', '/'},      {VK_TAB, '\t', '\t'},      {VK_ESCAPE, 0x1B, 0x1B},
};

}  // namespace

namespace kvrwin32 {

int CharacterOfKey(int vk) {
  const bool shift = KeyIsDown(VK_SHIFT);
  const bool ctrl = KeyIsDown(VK_CONTROL);
  const bool alt = KeyIsDown(VK_MENU);
  if (ctrl && alt) return 0;  // Ctrl+Alt is AltGr, which the US layout has nothing on
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return vk - 'A' + 1;  // Ctrl+A is 0x01 ... Ctrl+Z 0x1A
    const bool upper = shift != KeyIsToggled(VK_CAPITAL);
    return upper ? vk : vk - 'A' + 'a';
  }
  switch (vk) {
    case VK_RETURN: return ctrl ? '\n' : '\r';
    case VK_BACK: return ctrl ? 0x7F : '\b';
    default: break;
  }
  if (ctrl) return 0;
  if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : vk;
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return '0' + (vk - VK_NUMPAD0);
  for (const Pair& p : kPrintable)
    if (p.vk == vk) return static_cast<unsigned char>(shift ? p.shifted : p.plain);
  return 0;
}

}  // namespace kvrwin32
