// Helpers for the DDS tests: generated images, and ImageMagick as an independent encoder and
// decoder. Headers are built with tests/dds_file.h.
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
#include "dds_file.h"
#include "test_support.h"

namespace ddstest {

// Called by full path: another program named convert may come first in PATH.
inline const char* kConvert = "/usr/bin/convert";

inline bool HaveImageMagick() { return std::system((std::string(kConvert) + " -version >/dev/null 2>&1").c_str()) == 0; }

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
