// Images, value noise and the DDS files they are written as (A8R8G8B8, DXT1, DXT5).
#include <squish.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sample_kit.h"

namespace kit {

const RGBA kHole = {0.f, 1.f, 0.f, 1.f};

RGBA Mix(RGBA a, RGBA b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}

RGBA Shade(RGBA c, float f) { return {c.r * f, c.g * f, c.b * f, c.a}; }

void Image::Paint(int x0, int y0, int w, int h, const std::function<RGBA(int, int)>& f) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (x0 + x >= 0 && x0 + x < w_ && y0 + y >= 0 && y0 + y < h_) At(x0 + x, y0 + y) = f(x, y);
}

namespace {
uint8_t ToByte(float v) { return uint8_t(std::lround(std::clamp(v, 0.f, 1.f) * 255.f)); }
}  // namespace

std::vector<uint8_t> Image::Bytes(bool keepPureGreen) const {
  std::vector<uint8_t> out(size_t(w_) * h_ * 4);
  for (size_t i = 0; i < px_.size(); ++i) {
    uint8_t r = ToByte(px_[i].r), g = ToByte(px_[i].g), b = ToByte(px_[i].b), a = ToByte(px_[i].a);
    // Opaque pure green is the hole colour; painted texels that land on it by accident are
    // nudged off it so that only the holes painted on purpose are keyed out.
    if (r == 0 && g == 255 && b == 0 && a == 255 && !keepPureGreen) g = 254;
    out[i * 4 + 0] = r;
    out[i * 4 + 1] = g;
    out[i * 4 + 2] = b;
    out[i * 4 + 3] = a;
  }
  return out;
}

uint32_t Hash(int x, int y, int seed) {
  uint32_t h = uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ uint32_t(seed) * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return h;
}

float Rand01(int x, int y, int seed) { return float(Hash(x, y, seed) & 0xffffff) / float(0xffffff); }

float ValueNoise(float x, float y, int seed, int period) {
  int xi = int(std::floor(x)), yi = int(std::floor(y));
  float fx = x - float(xi), fy = y - float(yi);
  auto wrap = [&](int v) { return period > 0 ? ((v % period) + period) % period : v; };
  float a = Rand01(wrap(xi), wrap(yi), seed), b = Rand01(wrap(xi + 1), wrap(yi), seed);
  float c = Rand01(wrap(xi), wrap(yi + 1), seed), d = Rand01(wrap(xi + 1), wrap(yi + 1), seed);
  float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

float Fbm(float x, float y, int octaves, int seed, int period) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * ValueNoise(x, y, seed + o * 101, period);
    norm += amp;
    x *= 2;
    y *= 2;
    if (period) period *= 2;
    amp *= 0.5f;
  }
  return sum / norm;
}

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// The 128-byte header: magic, then the 124-byte surface description with its pixel format.
void Header(std::vector<uint8_t>& out, int w, int h, bool compressed, uint32_t fourcc,
            uint32_t pitchOrSize) {
  const uint32_t kCaps = 0x1, kHeight = 0x2, kWidth = 0x4, kPitch = 0x8, kPixelFormat = 0x1000,
                 kLinearSize = 0x80000;
  Put32(out, 0x20534444);  // "DDS "
  Put32(out, 124);
  Put32(out, kCaps | kHeight | kWidth | kPixelFormat | (compressed ? kLinearSize : kPitch));
  Put32(out, uint32_t(h));
  Put32(out, uint32_t(w));
  Put32(out, pitchOrSize);
  Put32(out, 0);                              // depth
  Put32(out, 0);                              // mip count: the loader builds the chain
  for (int i = 0; i < 11; ++i) Put32(out, 0);  // reserved
  Put32(out, 32);                             // pixel format size
  if (compressed) {
    Put32(out, 0x4);  // four-character code
    Put32(out, fourcc);
    for (int i = 0; i < 5; ++i) Put32(out, 0);
  } else {
    Put32(out, 0x41);  // RGB with alpha
    Put32(out, 0);
    Put32(out, 32);
    Put32(out, 0x00ff0000);
    Put32(out, 0x0000ff00);
    Put32(out, 0x000000ff);
    Put32(out, 0xff000000);
  }
  Put32(out, 0x1000);  // a texture
  for (int i = 0; i < 4; ++i) Put32(out, 0);
}

}  // namespace

std::vector<uint8_t> DdsArgb(const Image& img, bool keepPureGreen) {
  std::vector<uint8_t> out;
  Header(out, img.W(), img.H(), false, 0, uint32_t(img.W()) * 4);
  std::vector<uint8_t> rgba = img.Bytes(keepPureGreen);
  for (size_t i = 0; i < rgba.size(); i += 4) {
    out.push_back(rgba[i + 2]);  // B, G, R, A in memory: 0xAARRGGBB little-endian
    out.push_back(rgba[i + 1]);
    out.push_back(rgba[i + 0]);
    out.push_back(rgba[i + 3]);
  }
  return out;
}

std::vector<uint8_t> DdsDxt(const Image& img, bool dxt5) {
  std::vector<uint8_t> rgba = img.Bytes(false);
  int flags = dxt5 ? squish::kDxt5 : squish::kDxt1;
  flags |= squish::kColourClusterFit;
  size_t size = size_t(squish::GetStorageRequirements(img.W(), img.H(), flags));
  std::vector<uint8_t> blocks(size);
  squish::CompressImage(rgba.data(), img.W(), img.H(), blocks.data(), flags);
  std::vector<uint8_t> out;
  uint32_t fourcc = dxt5 ? 0x35545844u : 0x31545844u;  // "DXT5" / "DXT1"
  Header(out, img.W(), img.H(), true, fourcc, uint32_t(size));
  out.insert(out.end(), blocks.begin(), blocks.end());
  return out;
}

}  // namespace kit
