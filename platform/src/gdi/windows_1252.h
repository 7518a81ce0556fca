// Windows-1252, the code page GDI's A functions read text in: the characters of bytes 0x80..0x9F
// (the rest of the bytes are the Latin-1 characters of the same number).
#pragma once
#include <cstdint>

namespace kvrgdi {

// 0 where the code page leaves a hole.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The byte of a character, or `missing` when the code page has none.
inline unsigned char Windows1252Byte(char32_t c, unsigned char missing) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (int i = 0; i < 32; ++i)
    if (kWindows1252High[i] != 0 && kWindows1252High[i] == c) return static_cast<unsigned char>(0x80 + i);
  return missing;
}

}  // namespace kvrgdi
