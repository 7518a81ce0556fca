// DDS reading: the header and every mip level the file stores, decoded to 32-bit ARGB.
// Works on a byte range only (no device, no files), so it can be fed untrusted data directly.
#pragma once
#include <d3d9types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kvrdds {

// The largest width or height accepted, and the most mip levels a file may claim.
constexpr uint32_t kMaxDimension = 8192;
constexpr uint32_t kMaxMipLevels = 14;

// One image in 0xAARRGGBB texels, top row first, rows packed (width texels each).
struct ArgbImage {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint32_t> texels;
  uint32_t At(uint32_t x, uint32_t y) const { return texels[static_cast<size_t>(y) * width + x]; }
};

// What the header says, after validation.
struct DdsHeaderInfo {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t levelCount = 1;        // levels stored (and decoded); at least 1
  D3DFORMAT format = D3DFMT_UNKNOWN;  // the file's texel format, as Direct3D names it
  bool hasAlpha = false;          // texels can be other than opaque (DXT1 counts: 1-bit alpha)
  uint64_t dataOffset = 0;        // where level 0 starts
  uint64_t dataSize = 0;          // bytes needed by all the stored levels
};

// The magic number and the header: the bytes before level 0.
constexpr size_t kDdsHeaderBytes = 128;

// Validates the header of a DDS file held in [data, end). On failure returns false and sets
// *error (if given) to a one-line reason.
bool ReadDdsHeader(const uint8_t* data, const uint8_t* end, DdsHeaderInfo& info, std::string* error);

// The same for a file of fileBytes bytes of which only the header is at hand: kDdsHeaderBytes
// at `header`. It passes exactly when ReadDdsHeader would pass on the whole file.
bool ReadDdsHeaderOfFile(const uint8_t* header, uint64_t fileBytes, DdsHeaderInfo& info, std::string* error);

// Validates and decodes every stored level. levels[0] is the full-size image.
bool DecodeDds(const uint8_t* data, const uint8_t* end, DdsHeaderInfo& info, std::vector<ArgbImage>& levels,
               std::string* error);

// Number of levels in a complete chain down to 1x1 for this size (1 for 1x1).
uint32_t FullChainLength(uint32_t width, uint32_t height);

}  // namespace kvrdds
