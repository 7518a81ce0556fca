// Colour key, resizing, mip building and texel packing for D3DX texture loading.
// Supported filters: NONE (no scaling: crop or pad with transparent black), POINT, LINEAR
//   (two taps per axis at the destination centre), TRIANGLE (a tent as wide as the scale
//   factor, at least one texel, so halving weighs source texels 1:3:3:1), BOX (the area each
//   destination texel covers); mirrored or wrapped edges per axis. Dithering is ignored.
// Packing: A8R8G8B8, X8R8G8B8, A4R4G4B4.
#include "d3dx9/dds_resample.h"

#include <algorithm>
#include <cmath>

namespace kvrdds {
namespace {

// One source texel's share in a destination texel, along one axis.
struct Tap {
  uint32_t index;
  float weight;
};

// The taps of every destination texel along one axis: those of texel i are
// taps[first[i]] up to taps[first[i + 1]].
struct AxisTaps {
  std::vector<uint32_t> first;
  std::vector<Tap> taps;
};

// Folds an index that may lie outside 0..n-1 back in: reflected about the edges (texel -1
// reads texel 0, texel n reads texel n-1) or wrapped around.
uint32_t EdgeIndex(int64_t i, uint32_t n, bool mirror) {
  if (mirror) {
    const int64_t period = 2 * int64_t(n);
    int64_t m = ((i % period) + period) % period;
    return uint32_t(m < n ? m : period - 1 - m);
  }
  return uint32_t(((i % int64_t(n)) + n) % n);
}

AxisTaps ComputeTaps(uint32_t srcN, uint32_t dstN, FilterSpec::Kind kind, bool mirror) {
  AxisTaps axis;
  axis.first.reserve(dstN + 1);
  const double scale = double(srcN) / dstN;  // source texels per destination texel
  for (uint32_t x = 0; x < dstN; ++x) {
    axis.first.push_back(uint32_t(axis.taps.size()));
    const size_t begin = axis.taps.size();
    // Texel i covers [i, i + 1); destination texel x maps to [x * scale, (x + 1) * scale).
    const double center = (x + 0.5) * scale;
    if (kind == FilterSpec::Point || (kind == FilterSpec::Box && scale <= 1.0)) {
      axis.taps.push_back({std::min(uint32_t(center), srcN - 1), 1.0f});
    } else if (kind == FilterSpec::Box) {
      const double lo = x * scale, hi = (x + 1) * scale;
      for (int64_t i = int64_t(std::floor(lo)); double(i) < hi; ++i) {
        const double cover = std::min(double(i + 1), hi) - std::max(double(i), lo);
        if (cover > 1e-9) axis.taps.push_back({EdgeIndex(i, srcN, mirror), float(cover)});
      }
    } else {
      const double radius = kind == FilterSpec::Triangle ? std::max(1.0, scale) : 1.0;
      const int64_t lo = int64_t(std::ceil(center - 0.5 - radius));
      const int64_t hi = int64_t(std::floor(center - 0.5 + radius));
      for (int64_t i = lo; i <= hi; ++i) {
        const double w = 1.0 - std::fabs(i + 0.5 - center) / radius;
        if (w > 1e-9) axis.taps.push_back({EdgeIndex(i, srcN, mirror), float(w)});
      }
    }
    float sum = 0;
    for (size_t k = begin; k < axis.taps.size(); ++k) sum += axis.taps[k].weight;
    for (size_t k = begin; k < axis.taps.size(); ++k) axis.taps[k].weight /= sum;
  }
  axis.first.push_back(uint32_t(axis.taps.size()));
  return axis;
}

uint32_t ToByte(float v) {
  return uint32_t(std::clamp(std::floor(v + 0.5f), 0.0f, 255.0f));
}

ArgbImage Crop(const ArgbImage& src, uint32_t width, uint32_t height) {
  ArgbImage out;
  out.width = width;
  out.height = height;
  out.texels.assign(size_t(width) * height, 0);
  for (uint32_t y = 0; y < std::min(height, src.height); ++y)
    for (uint32_t x = 0; x < std::min(width, src.width); ++x) out.texels[size_t(y) * width + x] = src.At(x, y);
  return out;
}

}  // namespace

bool ParseFilter(DWORD filter, FilterSpec::Kind defaultKind, FilterSpec& out) {
  out = FilterSpec();
  if (filter == 0xFFFFFFFFu || filter == 0) {  // D3DX_DEFAULT
    out.kind = defaultKind;
    return true;
  }
  const DWORD kind = filter & 0xFFFF;
  if (kind < FilterSpec::None || kind > FilterSpec::Box) return false;
  out.kind = static_cast<FilterSpec::Kind>(kind);
  out.mirrorU = (filter & (1u << 16)) != 0;
  out.mirrorV = (filter & (2u << 16)) != 0;
  return true;
}

void ApplyColorKey(ArgbImage& image, D3DCOLOR key) {
  if (key == 0) return;
  for (uint32_t& t : image.texels)
    if ((t | 0xFF000000u) == key) t = 0;
}

ArgbImage Resample(const ArgbImage& src, uint32_t width, uint32_t height, const FilterSpec& filter) {
  if (filter.kind == FilterSpec::None) return Crop(src, width, height);
  if (width == src.width && height == src.height) {
    // Same size: every kernel here puts all its weight on the texel itself.
    return src;
  }
  const AxisTaps across = ComputeTaps(src.width, width, filter.kind, filter.mirrorU);
  const AxisTaps down = ComputeTaps(src.height, height, filter.kind, filter.mirrorV);

  ArgbImage out;
  out.width = width;
  out.height = height;
  out.texels.resize(size_t(width) * height);
  // One output row at a time: blend the source rows it draws on, then filter across.
  std::vector<float> row(size_t(src.width) * 4);
  for (uint32_t y = 0; y < height; ++y) {
    std::fill(row.begin(), row.end(), 0.0f);
    for (uint32_t k = down.first[y]; k < down.first[y + 1]; ++k) {
      const uint32_t* line = &src.texels[size_t(down.taps[k].index) * src.width];
      const float w = down.taps[k].weight;
      for (uint32_t x = 0; x < src.width; ++x) {
        const uint32_t t = line[x];
        float* c = &row[size_t(x) * 4];
        c[0] += w * float(t >> 24);
        c[1] += w * float((t >> 16) & 0xff);
        c[2] += w * float((t >> 8) & 0xff);
        c[3] += w * float(t & 0xff);
      }
    }
    uint32_t* dst = &out.texels[size_t(y) * width];
    for (uint32_t x = 0; x < width; ++x) {
      float a = 0, r = 0, g = 0, b = 0;
      for (uint32_t k = across.first[x]; k < across.first[x + 1]; ++k) {
        const float* c = &row[size_t(across.taps[k].index) * 4];
        const float w = across.taps[k].weight;
        a += w * c[0];
        r += w * c[1];
        g += w * c[2];
        b += w * c[3];
      }
      dst[x] = ToByte(a) << 24 | ToByte(r) << 16 | ToByte(g) << 8 | ToByte(b);
    }
  }
  return out;
}

ArgbImage NextMipLevel(const ArgbImage& src, const FilterSpec& filter) {
  FilterSpec f = filter;
  // "No filter" cannot make a smaller level; take every other texel instead.
  if (f.kind == FilterSpec::None) f.kind = FilterSpec::Point;
  return Resample(src, std::max(1u, src.width / 2), std::max(1u, src.height / 2), f);
}

bool PackLevel(const ArgbImage& image, D3DFORMAT format, uint8_t* dst, int pitch) {
  if (!dst) return false;
  for (uint32_t y = 0; y < image.height; ++y) {
    const uint32_t* src = &image.texels[size_t(y) * image.width];
    uint8_t* line = dst + ptrdiff_t(y) * pitch;
    switch (format) {
      case D3DFMT_A8R8G8B8:
        for (uint32_t x = 0; x < image.width; ++x) {
          const uint32_t t = src[x];
          line[4 * x + 0] = uint8_t(t);
          line[4 * x + 1] = uint8_t(t >> 8);
          line[4 * x + 2] = uint8_t(t >> 16);
          line[4 * x + 3] = uint8_t(t >> 24);
        }
        break;
      case D3DFMT_X8R8G8B8:
        for (uint32_t x = 0; x < image.width; ++x) {
          const uint32_t t = src[x];
          line[4 * x + 0] = uint8_t(t);
          line[4 * x + 1] = uint8_t(t >> 8);
          line[4 * x + 2] = uint8_t(t >> 16);
          line[4 * x + 3] = 0xff;
        }
        break;
      case D3DFMT_A4R4G4B4:
        for (uint32_t x = 0; x < image.width; ++x) {
          const uint32_t t = src[x];
          // 8 bits to 4, rounded: a channel widened from 4 bits comes back unchanged.
          auto four = [t](int shift) { return (((t >> shift) & 0xff) * 15 + 127) / 255; };
          const uint32_t v = four(24) << 12 | four(16) << 8 | four(8) << 4 | four(0);
          line[2 * x + 0] = uint8_t(v);
          line[2 * x + 1] = uint8_t(v >> 8);
        }
        break;
      default:
        return false;
    }
  }
  return true;
}

}  // namespace kvrdds
