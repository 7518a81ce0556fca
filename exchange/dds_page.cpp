// DDS pages: the mip chain filtered as the viewer's loader filters it, each level compressed by
// libsquish, or uncompressed when the page came from an uncompressed one.
#include "exchange/dds_page.h"

#include <squish.h>

#include <cmath>

namespace {

void Put32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The texel n of a side of `count`, mirrored at the edges.
uint32_t Mirrored(int64_t n, uint32_t count) {
  const int64_t period = 2 * int64_t{count};
  const int64_t m = ((n % period) + period) % period;
  return static_cast<uint32_t>(m < count ? m : period - 1 - m);
}

// The next level, filtered as the viewer's loader makes the levels a page lacks: a triangle of
// weights 1, 3, 3, 1 along each side, mirrored at the edges.
std::vector<uint8_t> Halve(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height) {
  const uint32_t w = width > 1 ? width / 2 : 1, h = height > 1 ? height / 2 : 1;
  static const float kTaps[4] = {0.125f, 0.375f, 0.375f, 0.125f};
  std::vector<uint8_t> out(uint64_t{w} * h * 4);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x)
      for (int c = 0; c < 4; ++c) {
        float sum = 0;
        for (int dy = 0; dy < (height > 1 ? 4 : 1); ++dy)
          for (int dx = 0; dx < (width > 1 ? 4 : 1); ++dx) {
            const uint32_t sx = width > 1 ? Mirrored(int64_t{2} * x - 1 + dx, width) : 0;
            const uint32_t sy = height > 1 ? Mirrored(int64_t{2} * y - 1 + dy, height) : 0;
            const float weight = (width > 1 ? kTaps[dx] : 1.0f) * (height > 1 ? kTaps[dy] : 1.0f);
            sum += weight * rgba[(uint64_t{sy} * width + sx) * 4 + c];
          }
        out[(uint64_t{y} * w + x) * 4 + c] = static_cast<uint8_t>(std::fmin(std::floor(sum + 0.5f), 255.0f));
      }
  return out;
}

// Pure green is the viewer's transparent colour: an opaque texel of it would vanish, so it
// becomes the nearest other colour. Transparent texels keep their colour (black, as the viewer
// keys them): green there would bleed into the filtered edges.
void KeepGreenOpaque(std::vector<uint8_t>& rgba) {
  for (size_t i = 0; i < rgba.size(); i += 4)
    if (rgba[i + 3] != 0 && rgba[i] == 0 && rgba[i + 1] == 255 && rgba[i + 2] == 0) rgba[i + 2] = 8;
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

bool HasTransparency(const std::vector<uint8_t>& rgba) {
  for (size_t i = 3; i < rgba.size(); i += 4)
    if (rgba[i] != 255) return true;
  return false;
}

// A level as the DDS's uncompressed 32-bit texels (blue, green, red, alpha in memory).
void AppendUncompressed(const std::vector<uint8_t>& rgba, std::string& out) {
  const size_t at = out.size();
  out.resize(at + rgba.size());
  for (size_t i = 0; i < rgba.size(); i += 4) {
    out[at + i] = static_cast<char>(rgba[i + 2]);
    out[at + i + 1] = static_cast<char>(rgba[i + 1]);
    out[at + i + 2] = static_cast<char>(rgba[i]);
    out[at + i + 3] = static_cast<char>(rgba[i + 3]);
  }
}

enum class PageFormat { kDxt1, kDxt5, kUncompressed };

// The levels in the format; empty when DXT1 lost a texel's greenness.
std::string Chain(const std::vector<uint8_t>& top, uint32_t width, uint32_t height, PageFormat format,
                  uint32_t& levels) {
  std::string data;
  std::vector<uint8_t> level = top;
  uint32_t w = width, h = height;
  levels = 0;
  for (;;) {
    // The closest fit where a level is small enough for it to be quick; large levels, where a
    // texel's error shows least, take the faster fits (a 4096-square page in seconds, not minutes).
    const uint64_t texels = uint64_t{w} * h;
    const int fit = texels <= 512 * 512     ? squish::kColourIterativeClusterFit
                    : texels <= 1024 * 1024 ? squish::kColourClusterFit
                                            : squish::kColourRangeFit;
    const int flags = (format == PageFormat::kDxt1 ? squish::kDxt1 : squish::kDxt5) | fit;
    std::vector<uint8_t> keyed = level;
    KeepGreenOpaque(keyed);
    if (format == PageFormat::kUncompressed) {
      AppendUncompressed(keyed, data);
    } else if (!Compress(keyed, w, h, flags, data)) {
      return std::string();
    }
    ++levels;
    if (w == 1 && h == 1) break;
    level = Halve(level, w, h);
    w = w > 1 ? w / 2 : 1;
    h = h > 1 ? h / 2 : 1;
  }
  return data;
}

}  // namespace

std::string MakeDdsPage(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height, bool uncompressed) {
  PageFormat format = uncompressed           ? PageFormat::kUncompressed
                      : HasTransparency(rgba) ? PageFormat::kDxt5
                                              : PageFormat::kDxt1;
  uint32_t levels = 0;
  std::string data = Chain(rgba, width, height, format, levels);
  // Green that did not stay green in DXT1: DXT5 keeps it apart by alpha.
  if (data.empty()) {
    format = PageFormat::kDxt5;
    data = Chain(rgba, width, height, format, levels);
  }
  const bool dxt1 = format == PageFormat::kDxt1;
  std::string out = "DDS ";
  Put32(out, 124);
  // caps, height, width, format, mips, and the pitch of a row or the size of the top level
  Put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000 | (uncompressed ? 0x8 : 0x80000));
  Put32(out, height);
  Put32(out, width);
  Put32(out, uncompressed ? width * 4
                          : static_cast<uint32_t>(squish::GetStorageRequirements(
                                int(width), int(height), dxt1 ? squish::kDxt1 : squish::kDxt5)));
  Put32(out, 0);       // depth
  Put32(out, levels);  // mip levels
  for (int i = 0; i < 11; ++i) Put32(out, 0);
  Put32(out, 32);      // pixel format size
  if (uncompressed) {
    Put32(out, 0x1 | 0x40);  // alpha, RGB
    Put32(out, 0);
    Put32(out, 32);  // bits a texel, then the masks of red, green, blue and alpha
    for (const uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Put32(out, mask);
  } else {
    Put32(out, 0x4);  // four-character code
    out += dxt1 ? "DXT1" : "DXT5";
    for (int i = 0; i < 5; ++i) Put32(out, 0);
  }
  Put32(out, 0x1000 | 0x8 | 0x400000);  // texture, complex, mip map
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  return out + data;
}
