// Helpers for the DDS tests: hand-built headers, generated images, and ImageMagick as an
// independent encoder and decoder.
#pragma once
#include <d3d9types.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "d3dx9/dds_reader.h"
#include "test_support.h"

namespace ddstest {

// Called by full path: another program named convert may come first in PATH.
inline const char* kConvert = "/usr/bin/convert";

inline bool HaveImageMagick() { return std::system((std::string(kConvert) + " -version >/dev/null 2>&1").c_str()) == 0; }

inline void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// The fields of a DDS header that the tests vary; Bytes() lays out the 128 bytes before the data.
struct Header {
  uint32_t size = 124;
  uint32_t flags = 0x1007;  // caps, height, width, pixel format
  uint32_t width = 4;
  uint32_t height = 4;
  uint32_t depth = 0;
  uint32_t mipCount = 0;
  uint32_t pfSize = 32;
  uint32_t pfFlags = 0;
  uint32_t fourCC = 0;
  uint32_t bits = 0;
  uint32_t r = 0, g = 0, b = 0, a = 0;
  uint32_t caps2 = 0;

  static Header Compressed(const char* code, uint32_t w, uint32_t h) {
    Header hd;
    hd.width = w;
    hd.height = h;
    hd.pfFlags = 0x4;
    hd.fourCC = uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 |
                uint32_t(uint8_t(code[2])) << 16 | uint32_t(uint8_t(code[3])) << 24;
    return hd;
  }
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

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out(128, 0);
    PutU32(out, 0, 0x20534444);
    PutU32(out, 4, size);
    PutU32(out, 8, flags | (mipCount ? 0x20000 : 0));
    PutU32(out, 12, height);
    PutU32(out, 16, width);
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
    PutU32(out, 108, 0x1000 | (mipCount > 1 ? 0x400008 : 0));
    PutU32(out, 112, caps2);
    return out;
  }
};

inline std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A deterministic picture with smooth areas, hard edges and every channel varying. With alpha
// false every texel is opaque; with cutOut true alpha is only 0 or 255.
inline kvrdds::ArgbImage TestPicture(uint32_t w, uint32_t h, bool alpha, bool cutOut = false) {
  kvrdds::ArgbImage img;
  img.width = w;
  img.height = h;
  img.texels.resize(size_t(w) * h);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint32_t r = x * 255 / (w > 1 ? w - 1 : 1);
      uint32_t g = y * 255 / (h > 1 ? h - 1 : 1);
      uint32_t b = ((x / 8 + y / 8) % 2) ? 220 : 30;
      uint32_t a = 255;
      if (alpha) a = cutOut ? (((x / 4) + (y / 4)) % 3 == 0 ? 0 : 255) : (x * 7 + y * 3) % 256;
      if (cutOut && a == 0) r = g = b = 0;  // the colour of a transparent DXT1 texel
      img.texels[size_t(y) * w + x] = a << 24 | r << 16 | g << 8 | b;
    }
  return img;
}

// Writes an image as a binary PAM file, which ImageMagick reads; without alpha the file has
// none, so encoders pick their opaque formats.
inline void WritePam(const std::string& path, const kvrdds::ArgbImage& img, bool alpha) {
  std::string s = "P7\nWIDTH " + std::to_string(img.width) + "\nHEIGHT " + std::to_string(img.height) +
                  (alpha ? "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                         : "\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n");
  for (uint32_t t : img.texels) {
    s.push_back(char(t >> 16));
    s.push_back(char(t >> 8));
    s.push_back(char(t));
    if (alpha) s.push_back(char(t >> 24));
  }
  testsupport::WriteFile(path, s);
}

inline int Run(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()); }

// ImageMagick's own reading of a file, as ARGB texels (first image only).
inline bool DecodeWithImageMagick(const std::string& path, uint32_t w, uint32_t h, kvrdds::ArgbImage& out) {
  const std::string raw = path + ".rgba";
  if (Run(std::string(kConvert) + " '" + path + "[0]' -depth 8 rgba:'" + raw + "'") != 0) return false;
  const std::string bytes = testsupport::ReadFile(raw);
  if (bytes.size() != size_t(w) * h * 4) return false;
  out.width = w;
  out.height = h;
  out.texels.resize(size_t(w) * h);
  for (size_t i = 0; i < out.texels.size(); ++i) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&bytes[i * 4]);
    out.texels[i] = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
  }
  return true;
}

// The largest difference of any channel between two texels.
inline int ChannelDistance(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int s = 0; s < 32; s += 8) worst = std::max(worst, std::abs(int((a >> s) & 0xff) - int((b >> s) & 0xff)));
  return worst;
}

// Checks two images texel by texel within a per-channel tolerance; reports the first misses.
inline ::testing::AssertionResult ImagesMatch(const kvrdds::ArgbImage& actual, const kvrdds::ArgbImage& expected,
                                              int tolerance) {
  if (actual.width != expected.width || actual.height != expected.height)
    return ::testing::AssertionFailure() << "size " << actual.width << "x" << actual.height << ", expected "
                                         << expected.width << "x" << expected.height;
  int misses = 0;
  auto failure = ::testing::AssertionFailure();
  for (uint32_t y = 0; y < actual.height; ++y)
    for (uint32_t x = 0; x < actual.width; ++x) {
      const uint32_t a = actual.At(x, y), e = expected.At(x, y);
      if (ChannelDistance(a, e) > tolerance && misses++ < 5)
        failure << std::hex << "(" << std::dec << x << "," << y << "): 0x" << std::hex << a << " expected 0x" << e
                << std::dec << "; ";
    }
  if (misses) return failure << misses << " texels off by more than " << tolerance;
  return ::testing::AssertionSuccess();
}

inline std::vector<uint8_t> ReadBytesOf(const std::string& path) {
  const std::string s = testsupport::ReadFile(path);
  return std::vector<uint8_t>(s.begin(), s.end());
}

}  // namespace ddstest
