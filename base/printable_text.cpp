// Escaping control characters, C1 ones included, in text from outside.
#include "base/printable_text.h"

#include <cstdint>

size_t Utf8CharacterLength(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return i + k < text.size() ? static_cast<uint8_t>(text[i + k]) : 0; };
  const auto continues = [&](size_t k) { return (byte(k) & 0xC0) == 0x80; };
  const uint8_t first = byte(0);
  if (i >= text.size()) return 0;
  if (first < 0x80) return 1;
  if (first >= 0xC2 && first <= 0xDF) return continues(1) ? 2 : 0;
  if (first >= 0xE0 && first <= 0xEF) {
    // E0 needs A0 and above (no overlong forms); ED stops at 9F (no surrogates).
    const uint8_t second = byte(1);
    if (!continues(1) || (first == 0xE0 && second < 0xA0) || (first == 0xED && second > 0x9F)) return 0;
    return continues(2) ? 3 : 0;
  }
  if (first >= 0xF0 && first <= 0xF4) {
    // F0 needs 90 and above; F4 stops at 8F (U+10FFFF).
    const uint8_t second = byte(1);
    if (!continues(1) || (first == 0xF0 && second < 0x90) || (first == 0xF4 && second > 0x8F)) return 0;
    return continues(2) && continues(3) ? 4 : 0;
  }
  return 0;
}

bool IsControlCharacter(std::string_view text, size_t i, size_t length) {
  const uint8_t first = static_cast<uint8_t>(text[i]);
  if (length == 1) return first < 0x20 || first == 0x7F;
  return length == 2 && first == 0xC2 && static_cast<uint8_t>(text[i + 1]) <= 0x9F;
}

std::string PrintableText(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  const auto escape = [&](uint8_t c) {
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
  };
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8CharacterLength(text, i);
    if (length == 0) {
      const uint8_t c = static_cast<uint8_t>(text[i]);
      if (c <= 0x9F) escape(c); else out += text[i];
      ++i;
    } else if (IsControlCharacter(text, i, length)) {
      for (size_t k = 0; k < length; ++k) escape(static_cast<uint8_t>(text[i + k]));
      i += length;
    } else {
      out.append(text, i, length);
      i += length;
    }
  }
  return out;
}
