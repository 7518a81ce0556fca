// DXT1/DXT3/DXT5 block decoding of our own, for the browser build, which has no libsquish.
// It rounds as libsquish does (the native build's decoder), so a page looks the same in both:
// 5- and 6-bit endpoints widen by repeating their top bits, the in-between colours and alphas
// are integer thirds, halves, fifths and sevenths, truncated. A test compares the two on every
// page of the sample, byte for byte.
#include "d3dx9/dxt_block.h"

namespace kvrdds {

namespace {

// One 5:6:5 endpoint as R, G, B, A bytes; returns the packed value, which picks DXT1's mode.
int Unpack565(const uint8_t* packed, uint8_t* colour) {
  const int value = packed[0] | (packed[1] << 8);
  const int red = (value >> 11) & 0x1F, green = (value >> 5) & 0x3F, blue = value & 0x1F;
  colour[0] = static_cast<uint8_t>((red << 3) | (red >> 2));
  colour[1] = static_cast<uint8_t>((green << 2) | (green >> 4));
  colour[2] = static_cast<uint8_t>((blue << 3) | (blue >> 2));
  colour[3] = 255;
  return value;
}

// The colour half of a block (its last 8 bytes for DXT3/DXT5): every texel's R, G, B and, for
// DXT1, its alpha. DXT3 and DXT5 always use the four-colour mode.
void DecodeColours(const uint8_t* bytes, bool dxt1, uint8_t rgba[64]) {
  uint8_t codes[16];
  const int a = Unpack565(bytes, codes);
  const int b = Unpack565(bytes + 2, codes + 4);
  const bool threeColours = dxt1 && a <= b;
  for (int i = 0; i < 3; ++i) {
    const int c = codes[i], d = codes[4 + i];
    if (threeColours) {
      codes[8 + i] = static_cast<uint8_t>((c + d) / 2);
      codes[12 + i] = 0;
    } else {
      codes[8 + i] = static_cast<uint8_t>((2 * c + d) / 3);
      codes[12 + i] = static_cast<uint8_t>((c + 2 * d) / 3);
    }
  }
  codes[11] = 255;
  codes[15] = threeColours ? 0 : 255;
  for (int row = 0; row < 4; ++row) {
    const uint8_t indices = bytes[4 + row];
    for (int column = 0; column < 4; ++column) {
      const int code = (indices >> (2 * column)) & 3;
      uint8_t* texel = rgba + 4 * (4 * row + column);
      for (int k = 0; k < 4; ++k) texel[k] = codes[4 * code + k];
    }
  }
}

// DXT3: sixteen explicit 4-bit alphas, widened by repeating the nibble.
void DecodeExplicitAlpha(const uint8_t* bytes, uint8_t rgba[64]) {
  for (int i = 0; i < 8; ++i) {
    const uint8_t pair = bytes[i];
    const uint8_t low = pair & 0x0F, high = pair >> 4;
    rgba[4 * (2 * i) + 3] = static_cast<uint8_t>(low | (low << 4));
    rgba[4 * (2 * i + 1) + 3] = static_cast<uint8_t>(high | (high << 4));
  }
}

// DXT5: two endpoint alphas and sixteen 3-bit indices into the eight codes they make.
void DecodeInterpolatedAlpha(const uint8_t* bytes, uint8_t rgba[64]) {
  const int alpha0 = bytes[0], alpha1 = bytes[1];
  uint8_t codes[8];
  codes[0] = static_cast<uint8_t>(alpha0);
  codes[1] = static_cast<uint8_t>(alpha1);
  if (alpha0 <= alpha1) {
    // Four steps between the endpoints, then fully transparent and fully opaque.
    for (int i = 1; i < 5; ++i) codes[1 + i] = static_cast<uint8_t>(((5 - i) * alpha0 + i * alpha1) / 5);
    codes[6] = 0;
    codes[7] = 255;
  } else {
    for (int i = 1; i < 7; ++i) codes[1 + i] = static_cast<uint8_t>(((7 - i) * alpha0 + i * alpha1) / 7);
  }
  // Two runs of eight 3-bit indices, each packed little-endian into three bytes.
  const uint8_t* src = bytes + 2;
  for (int run = 0; run < 2; ++run, src += 3) {
    const uint32_t bits = src[0] | (uint32_t(src[1]) << 8) | (uint32_t(src[2]) << 16);
    for (int j = 0; j < 8; ++j) rgba[4 * (8 * run + j) + 3] = codes[(bits >> (3 * j)) & 7];
  }
}

}  // namespace

void DecodeDxtBlock(const uint8_t* block, DxtKind kind, uint8_t rgba[64]) {
  switch (kind) {
    case DxtKind::kDxt1: DecodeColours(block, true, rgba); break;
    case DxtKind::kDxt3:
      DecodeColours(block + 8, false, rgba);
      DecodeExplicitAlpha(block, rgba);
      break;
    case DxtKind::kDxt5:
      DecodeColours(block + 8, false, rgba);
      DecodeInterpolatedAlpha(block, rgba);
      break;
  }
}

}  // namespace kvrdds
