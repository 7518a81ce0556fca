// DDS decoding for D3DX texture loading.
// Supported: DXT1 (with its 1-bit alpha), DXT2/DXT3 and DXT4/DXT5 through dxt_block.h (the
//   premultiplied DXT2/DXT4 decode like DXT3/DXT5, colours left as stored); uncompressed
//   A8R8G8B8, X8R8G8B8, A8B8G8R8, X8B8G8R8, R8G8B8, R5G6B5, A1R5G5B5, X1R5G5B5, A4R4G4B4,
//   X4R4G4B4, L8, A8L8; a cube map loads as its first face.
// Not supported (a clean failure): volume textures, the DX10 extension header, palettes,
//   floating-point and 10-bit formats, any other mask layout.
// Every length comes from the file, so every size is computed in 64 bits and checked against
// the bytes actually present before a texel is read.
#include "d3dx9/dds_reader.h"

#include "d3dx9/dxt_block.h"

#include <algorithm>

namespace kvrdds {
namespace {

constexpr uint32_t kMagic = 0x20534444;  // "DDS " read little-endian
constexpr uint32_t kHeaderSize = 124;
constexpr uint32_t kPixelFormatSize = 32;
constexpr uint32_t kHeaderBytes = 4 + kHeaderSize;  // magic and header: where level 0 starts

// Header flags and capability bits that change how the data is read.
constexpr uint32_t DDPF_ALPHAPIXELS = 0x1;
constexpr uint32_t DDPF_FOURCC = 0x4;
constexpr uint32_t DDPF_RGB = 0x40;
constexpr uint32_t DDPF_LUMINANCE = 0x20000;
constexpr uint32_t DDSCAPS2_VOLUME = 0x200000;

// Byte offsets of the fields, counted from the start of the file (after the 4-byte magic).
constexpr size_t kOffSize = 4, kOffHeight = 12, kOffWidth = 16, kOffDepth = 24, kOffMipCount = 28;
constexpr size_t kOffPfSize = 76, kOffPfFlags = 80, kOffFourCC = 84, kOffBitCount = 88;
constexpr size_t kOffRMask = 92, kOffGMask = 96, kOffBMask = 100, kOffAMask = 104, kOffCaps2 = 112;

uint32_t LoadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

constexpr uint32_t FourCC(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
         uint32_t(uint8_t(d)) << 24;
}

// An uncompressed layout the reader knows, by bit count and channel masks. A zero alpha mask
// means the texels read opaque.
struct MaskLayout {
  D3DFORMAT format;
  uint32_t bits;
  bool luminance;
  uint32_t r, g, b, a;
};

constexpr MaskLayout kMaskLayouts[] = {
    {D3DFMT_A8R8G8B8, 32, false, 0x00ff0000, 0x0000ff00, 0x000000ff, 0xff000000},
    {D3DFMT_X8R8G8B8, 32, false, 0x00ff0000, 0x0000ff00, 0x000000ff, 0},
    {D3DFMT_A8B8G8R8, 32, false, 0x000000ff, 0x0000ff00, 0x00ff0000, 0xff000000},
    {D3DFMT_X8B8G8R8, 32, false, 0x000000ff, 0x0000ff00, 0x00ff0000, 0},
    {D3DFMT_R8G8B8, 24, false, 0x00ff0000, 0x0000ff00, 0x000000ff, 0},
    {D3DFMT_R5G6B5, 16, false, 0xf800, 0x07e0, 0x001f, 0},
    {D3DFMT_A1R5G5B5, 16, false, 0x7c00, 0x03e0, 0x001f, 0x8000},
    {D3DFMT_X1R5G5B5, 16, false, 0x7c00, 0x03e0, 0x001f, 0},
    {D3DFMT_A4R4G4B4, 16, false, 0x0f00, 0x00f0, 0x000f, 0xf000},
    {D3DFMT_X4R4G4B4, 16, false, 0x0f00, 0x00f0, 0x000f, 0},
    {D3DFMT_L8, 8, true, 0xff, 0, 0, 0},
    {D3DFMT_A8L8, 16, true, 0x00ff, 0, 0, 0xff00},
};

// Widens an n-bit channel (1..8 bits) to 8 bits by repeating its bits, so the largest value
// becomes 0xFF and 0 stays 0, as a Direct3D sampler reads narrow channels.
uint32_t Widen(uint32_t value, uint32_t bits) {
  if (bits >= 8) return value >> (bits - 8);
  uint32_t out = 0;
  for (int shift = 8 - int(bits); shift > -int(bits); shift -= int(bits))
    out |= shift >= 0 ? value << shift : value >> -shift;
  return out & 0xff;
}

// One channel of a mask layout: where it sits and how wide it is.
struct Channel {
  uint32_t mask = 0, shift = 0, bits = 0;
  explicit Channel(uint32_t m) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    while (bits < 32 - shift && ((m >> (shift + bits)) & 1)) ++bits;
  }
  uint32_t Read(uint32_t texel) const { return Widen((texel & mask) >> shift, bits); }
};

bool Fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

bool IsCompressed(D3DFORMAT f) {
  return f == D3DFMT_DXT1 || f == D3DFMT_DXT2 || f == D3DFMT_DXT3 || f == D3DFMT_DXT4 || f == D3DFMT_DXT5;
}

// Bytes one level of the given size takes in the file.
uint64_t LevelBytes(D3DFORMAT format, uint32_t bits, uint32_t w, uint32_t h) {
  if (IsCompressed(format)) {
    uint64_t blocks = uint64_t((w + 3) / 4) * uint64_t((h + 3) / 4);
    return blocks * (format == D3DFMT_DXT1 ? 8 : 16);
  }
  return uint64_t(w) * h * (bits / 8);
}

const MaskLayout* FindLayout(uint32_t pfFlags, uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  const bool luminance = (pfFlags & DDPF_LUMINANCE) != 0;
  // An alpha mask without the flag that says it is used reads as an X format.
  if (!(pfFlags & DDPF_ALPHAPIXELS)) a = 0;
  for (const MaskLayout& l : kMaskLayouts) {
    if (l.bits != bits || l.luminance != luminance || l.a != a) continue;
    if (luminance ? l.r == r : (l.r == r && l.g == g && l.b == b)) return &l;
  }
  return nullptr;
}

void DecodeCompressed(D3DFORMAT format, const uint8_t* blocks, ArgbImage& out) {
  DxtKind kind = DxtKind::kDxt1;
  if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3) kind = DxtKind::kDxt3;
  if (format == D3DFMT_DXT4 || format == D3DFMT_DXT5) kind = DxtKind::kDxt5;
  // Block by block: libsquish's whole-image call may fan out to a thread pool whose idle
  // workers spin for milliseconds after each page, taking a core from the rest of the load.
  const size_t blockBytes = DxtBlockBytes(kind);
  uint8_t rgba[16 * 4];
  for (uint32_t by = 0; by < out.height; by += 4) {
    for (uint32_t bx = 0; bx < out.width; bx += 4, blocks += blockBytes) {
      DecodeDxtBlock(blocks, kind, rgba);
      // A block at a right or bottom edge narrower than 4 keeps only its texels inside.
      for (uint32_t y = 0; y < 4 && by + y < out.height; ++y) {
        for (uint32_t x = 0; x < 4 && bx + x < out.width; ++x) {
          const uint8_t* p = &rgba[(y * 4 + x) * 4];
          out.texels[size_t(by + y) * out.width + bx + x] =
              uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        }
      }
    }
  }
}

void DecodeMasked(const MaskLayout& layout, const uint8_t* src, ArgbImage& out) {
  const Channel r(layout.r), g(layout.g), b(layout.b), a(layout.a);
  const uint32_t bytes = layout.bits / 8;
  for (size_t i = 0; i < out.texels.size(); ++i, src += bytes) {
    uint32_t t = 0;
    for (uint32_t k = 0; k < bytes; ++k) t |= uint32_t(src[k]) << (8 * k);
    const uint32_t red = r.Read(t);
    const uint32_t green = layout.luminance ? red : g.Read(t);
    const uint32_t blue = layout.luminance ? red : b.Read(t);
    const uint32_t alpha = layout.a ? a.Read(t) : 0xff;
    out.texels[i] = alpha << 24 | red << 16 | green << 8 | blue;
  }
}

}  // namespace

uint32_t FullChainLength(uint32_t width, uint32_t height) {
  uint32_t n = 1;
  for (uint32_t size = std::max(width, height); size > 1; size >>= 1) ++n;
  return n;
}

bool ReadDdsHeader(const uint8_t* data, const uint8_t* end, DdsHeaderInfo& info, std::string* error) {
  info = DdsHeaderInfo();
  if (!data || end < data || uint64_t(end - data) < kHeaderBytes)
    return Fail(error, "shorter than a DDS header");
  return ReadDdsHeaderOfFile(data, uint64_t(end - data), info, error);
}

bool ReadDdsHeaderOfFile(const uint8_t* data, uint64_t fileBytes, DdsHeaderInfo& info, std::string* error) {
  static_assert(kHeaderBytes == kDdsHeaderBytes, "");
  info = DdsHeaderInfo();
  if (!data || fileBytes < kHeaderBytes) return Fail(error, "shorter than a DDS header");
  if (LoadU32(data) != kMagic) return Fail(error, "not a DDS file");
  if (LoadU32(data + kOffSize) != kHeaderSize) return Fail(error, "DDS header size is not 124");
  if (LoadU32(data + kOffPfSize) != kPixelFormatSize) return Fail(error, "DDS pixel format size is not 32");

  const uint32_t width = LoadU32(data + kOffWidth), height = LoadU32(data + kOffHeight);
  if (width == 0 || height == 0) return Fail(error, "DDS width or height is 0");
  if (width > kMaxDimension || height > kMaxDimension) return Fail(error, "DDS width or height above 8192");
  if ((LoadU32(data + kOffCaps2) & DDSCAPS2_VOLUME) && LoadU32(data + kOffDepth) > 1)
    return Fail(error, "DDS volume textures are not supported");

  // A count of 0 is what writers put for "just the one image", with or without the flag.
  uint32_t levels = LoadU32(data + kOffMipCount);
  if (levels == 0) levels = 1;
  if (levels > kMaxMipLevels) return Fail(error, "DDS claims more than 14 mip levels");
  if (levels > FullChainLength(width, height)) return Fail(error, "DDS claims more mip levels than its size has");

  const uint32_t pfFlags = LoadU32(data + kOffPfFlags);
  uint32_t bits = 0;
  if (pfFlags & DDPF_FOURCC) {
    const uint32_t fourCC = LoadU32(data + kOffFourCC);
    if (fourCC != FourCC('D', 'X', 'T', '1') && fourCC != FourCC('D', 'X', 'T', '2') &&
        fourCC != FourCC('D', 'X', 'T', '3') && fourCC != FourCC('D', 'X', 'T', '4') &&
        fourCC != FourCC('D', 'X', 'T', '5'))
      return Fail(error, "DDS compression format not supported");
    info.format = static_cast<D3DFORMAT>(fourCC);
    info.hasAlpha = true;
  } else if (pfFlags & (DDPF_RGB | DDPF_LUMINANCE)) {
    bits = LoadU32(data + kOffBitCount);
    const MaskLayout* layout =
        FindLayout(pfFlags, bits, LoadU32(data + kOffRMask), LoadU32(data + kOffGMask),
                   LoadU32(data + kOffBMask), LoadU32(data + kOffAMask));
    if (!layout) return Fail(error, "DDS pixel layout not supported");
    info.format = layout->format;
    info.hasAlpha = layout->a != 0;
  } else {
    return Fail(error, "DDS pixel format not supported");
  }

  uint64_t total = 0;
  for (uint32_t i = 0; i < levels; ++i)
    total += LevelBytes(info.format, bits, std::max(1u, width >> i), std::max(1u, height >> i));
  if (total > fileBytes - kHeaderBytes) return Fail(error, "DDS data shorter than its levels need");

  info.width = width;
  info.height = height;
  info.levelCount = levels;
  info.dataOffset = kHeaderBytes;
  info.dataSize = total;
  return true;
}

bool DecodeDds(const uint8_t* data, const uint8_t* end, DdsHeaderInfo& info, std::vector<ArgbImage>& levels,
               std::string* error) {
  levels.clear();
  if (!ReadDdsHeader(data, end, info, error)) return false;
  const MaskLayout* layout = nullptr;
  for (const MaskLayout& l : kMaskLayouts)
    if (l.format == info.format) layout = &l;
  const uint32_t bits = layout ? layout->bits : 0;

  const uint8_t* src = data + info.dataOffset;
  levels.resize(info.levelCount);
  for (uint32_t i = 0; i < info.levelCount; ++i) {
    ArgbImage& level = levels[i];
    level.width = std::max(1u, info.width >> i);
    level.height = std::max(1u, info.height >> i);
    level.texels.assign(size_t(level.width) * level.height, 0);
    if (layout)
      DecodeMasked(*layout, src, level);
    else
      DecodeCompressed(info.format, src, level);
    src += LevelBytes(info.format, bits, level.width, level.height);
  }
  return true;
}

}  // namespace kvrdds
