// DDS files made in memory for the tests, benchmarks and fuzz targets: the 128 bytes before the
// data laid out from the fields they vary, and whole uncompressed 32-bit files. Header only, with
// no dependency beyond the standard library.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ddsfile {

inline void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

struct Header {
  uint32_t size = 124;
  uint32_t flags = 0x1007;  // caps, height, width, pixel format
  uint32_t width = 4;
  uint32_t height = 4;
  uint32_t pitch = 0;     // bytes a row; written, with its flag, when not 0
  uint32_t depth = 0;
  uint32_t mipCount = 0;  // written, with its flag, when not 0
  uint32_t pfSize = 32;
  uint32_t pfFlags = 0;
  uint32_t fourCC = 0;
  uint32_t bits = 0;
  uint32_t r = 0, g = 0, b = 0, a = 0;
  uint32_t caps2 = 0;

  // Blocks named by a four-character code such as "DXT1".
  static Header Compressed(const char* code, uint32_t w, uint32_t h) {
    Header hd;
    hd.width = w;
    hd.height = h;
    hd.pfFlags = 0x4;
    hd.fourCC = uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 |
                uint32_t(uint8_t(code[2])) << 16 | uint32_t(uint8_t(code[3])) << 24;
    return hd;
  }
  // Uncompressed texels of `bits` bits with these channel masks; alpha when `a` is not 0.
  static Header Masked(uint32_t w, uint32_t h, uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    Header hd;
    hd.width = w;
    hd.height = h;
    hd.pfFlags = 0x40 | (a ? 0x1 : 0);
    hd.bits = bits;
    hd.r = r;
    hd.g = g;
    hd.b = b;
    hd.a = a;
    return hd;
  }
  // A8R8G8B8 with its row pitch, as image editors save it.
  static Header Argb32(uint32_t w, uint32_t h) {
    Header hd = Masked(w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    hd.pitch = w * 4;
    return hd;
  }

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out(128, 0);
    PutU32(out, 0, 0x20534444);  // "DDS "
    PutU32(out, 4, size);
    PutU32(out, 8, flags | (pitch ? 0x8 : 0) | (mipCount ? 0x20000 : 0));
    PutU32(out, 12, height);
    PutU32(out, 16, width);
    PutU32(out, 20, pitch);
    PutU32(out, 24, depth);
    PutU32(out, 28, mipCount);
    PutU32(out, 76, pfSize);
    PutU32(out, 80, pfFlags);
    PutU32(out, 84, fourCC);
    PutU32(out, 88, bits);
    PutU32(out, 92, r);
    PutU32(out, 96, g);
    PutU32(out, 100, b);
    PutU32(out, 104, a);
    PutU32(out, 108, 0x1000 | (mipCount > 1 ? 0x400008 : 0));  // texture; complex and mipmap
    PutU32(out, 112, caps2);
    return out;
  }
};

// A whole A8R8G8B8 file of one level; texels are 0xAARRGGBB, top row first.
inline std::vector<uint8_t> Argb32(uint32_t width, uint32_t height, const std::vector<uint32_t>& texels) {
  std::vector<uint8_t> out = Header::Argb32(width, height).Bytes();
  out.reserve(out.size() + texels.size() * 4);
  for (uint32_t texel : texels)
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(texel >> (8 * i)));
  return out;
}

// The same, every texel one colour.
inline std::vector<uint8_t> SolidArgb32(uint32_t width, uint32_t height, uint32_t argb) {
  return Argb32(width, height, std::vector<uint32_t>(size_t(width) * height, argb));
}

inline std::string AsString(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace ddsfile
