// DDS pages: the mip chain halved by averaging, each level compressed by libsquish.
#include "exchange/dds_page.h"

#include <squish.h>

#include <cstring>

namespace {

void Put32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The next level: each texel the average of four (of two, or itself, along a side of 1).
std::vector<uint8_t> Halve(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height) {
  const uint32_t w = width > 1 ? width / 2 : 1, h = height > 1 ? height / 2 : 1;
  std::vector<uint8_t> out(uint64_t{w} * h * 4);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x)
      for (int c = 0; c < 4; ++c) {
        uint32_t sum = 0;
        for (uint32_t dy = 0; dy < 2; ++dy)
          for (uint32_t dx = 0; dx < 2; ++dx) {
            const uint32_t sx = width > 1 ? 2 * x + dx : 0, sy = height > 1 ? 2 * y + dy : 0;
            sum += rgba[(uint64_t{sy} * width + sx) * 4 + c];
          }
        out[(uint64_t{y} * w + x) * 4 + c] = static_cast<uint8_t>((sum + 2) / 4);
      }
  return out;
}

// For DXT1: a texel at least half covered stays, opaque; the rest become pure green.
void KeyOutTransparent(std::vector<uint8_t>& rgba) {
  for (size_t i = 0; i < rgba.size(); i += 4) {
    if (rgba[i + 3] >= 128) {
      rgba[i + 3] = 255;
      // Pure green would vanish too: the nearest other colour keeps it.
      if (rgba[i] == 0 && rgba[i + 1] == 255 && rgba[i + 2] == 0) rgba[i + 2] = 8;
    } else {
      rgba[i] = 0, rgba[i + 1] = 255, rgba[i + 2] = 0, rgba[i + 3] = 255;
    }
  }
}

bool IsGreen(const uint8_t* t) { return t[0] == 0 && t[1] == 255 && t[2] == 0; }

// Compresses one level; for DXT1, false when a texel's greenness did not survive compression.
bool Compress(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height, int flags, std::string& out) {
  std::vector<uint8_t> blocks(static_cast<size_t>(squish::GetStorageRequirements(int(width), int(height), flags)));
  squish::CompressImage(rgba.data(), int(width), int(height), blocks.data(), flags);
  if (flags & squish::kDxt1) {
    std::vector<uint8_t> back(rgba.size());
    squish::DecompressImage(back.data(), int(width), int(height), blocks.data(), flags);
    for (size_t i = 0; i < rgba.size(); i += 4)
      if (IsGreen(&rgba[i]) != IsGreen(&back[i])) return false;
  }
  out.append(reinterpret_cast<const char*>(blocks.data()), blocks.size());
  return true;
}

bool HasPartialAlpha(const std::vector<uint8_t>& rgba, bool& anyTransparent) {
  anyTransparent = false;
  for (size_t i = 3; i < rgba.size(); i += 4) {
    if (rgba[i] != 0 && rgba[i] != 255) return true;
    if (rgba[i] == 0) anyTransparent = true;
  }
  return false;
}

std::string Chain(const std::vector<uint8_t>& top, uint32_t width, uint32_t height, bool dxt1, uint32_t& levels) {
  const int flags = (dxt1 ? squish::kDxt1 : squish::kDxt5) | squish::kColourClusterFit;
  std::string data;
  std::vector<uint8_t> level = top;
  uint32_t w = width, h = height;
  levels = 0;
  for (;;) {
    std::vector<uint8_t> keyed = level;
    if (dxt1) KeyOutTransparent(keyed);
    if (!Compress(keyed, w, h, flags, data)) return std::string();
    ++levels;
    if (w == 1 && h == 1) break;
    level = Halve(level, w, h);
    w = w > 1 ? w / 2 : 1;
    h = h > 1 ? h / 2 : 1;
  }
  return data;
}

}  // namespace

std::string MakeDdsPage(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height) {
  bool anyTransparent = false;
  const bool partial = HasPartialAlpha(rgba, anyTransparent);
  bool dxt1 = !partial;
  uint32_t levels = 0;
  std::string data = dxt1 ? Chain(rgba, width, height, true, levels) : std::string();
  if (data.empty()) {
    dxt1 = false;
    data = Chain(rgba, width, height, false, levels);
  }
  std::string out = "DDS ";
  Put32(out, 124);
  Put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000 | 0x80000);  // caps, height, width, format, mips, linear size
  Put32(out, height);
  Put32(out, width);
  Put32(out, static_cast<uint32_t>(squish::GetStorageRequirements(int(width), int(height), dxt1 ? squish::kDxt1 : squish::kDxt5)));
  Put32(out, 0);       // depth
  Put32(out, levels);  // mip levels
  for (int i = 0; i < 11; ++i) Put32(out, 0);
  Put32(out, 32);      // pixel format size
  Put32(out, 0x4);     // four-character code
  out += dxt1 ? "DXT1" : "DXT5";
  for (int i = 0; i < 5; ++i) Put32(out, 0);
  Put32(out, 0x1000 | 0x8 | 0x400000);  // texture, complex, mip map
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  return out + data;
}
