// The texture D3DX makes of a decoded file (DDS or another image file): its size, format and mip
// chain, with the colour key applied. The files themselves are read in texture_from_file.cpp.
// Supported: width and height D3DX_DEFAULT or 0 (the file's,
//   rounded up to a power of two), D3DX_DEFAULT_NONPOW2 and D3DX_FROM_FILE (the file's) or
//   explicit (resized), all capped by the device's largest texture; mip levels D3DX_DEFAULT or
//   0 (full chain), D3DX_FROM_FILE or a count; format D3DFMT_UNKNOWN (from the file),
//   A8R8G8B8, X8R8G8B8, A4R4G4B4 (others fall back to the nearest of these three); the colour
//   key; D3DXIMAGE_INFO.
// Not supported: palettes (pPalette is ignored), dithering.
// The file's own mip levels are used while the texture keeps the file's size; the levels it
// lacks are filtered down from the last level there is.
#include <d3dx9.h>

#include <algorithm>
#include <vector>

#include "d3dx9/dds_reader.h"
#include "d3dx9/dds_resample.h"
#include "d3dx9/dds_texture.h"

namespace kvrdds {
namespace {

uint32_t RoundUpToPowerOfTwo(uint32_t v) {
  uint32_t p = 1;
  while (p < v && p < kMaxDimension) p <<= 1;
  return p;
}

// The size of one side of the texture for a requested value and the file's side.
uint32_t TextureSide(UINT requested, uint32_t fileSide, UINT deviceMax) {
  uint32_t side;
  if (requested == 0 || requested == D3DX_DEFAULT)
    side = RoundUpToPowerOfTwo(fileSide);
  else if (requested == D3DX_DEFAULT_NONPOW2 || requested == D3DX_FROM_FILE)
    side = fileSide;
  else
    side = requested;
  side = std::min<uint32_t>(side, kMaxDimension);
  if (deviceMax) side = std::min<uint32_t>(side, deviceMax);
  return std::max(1u, side);
}

bool FormatHasAlpha(D3DFORMAT f) {
  switch (f) {
    case D3DFMT_A8R8G8B8: case D3DFMT_A1R5G5B5: case D3DFMT_A4R4G4B4: case D3DFMT_A8:
    case D3DFMT_A8R3G3B2: case D3DFMT_A2B10G10R10: case D3DFMT_A8B8G8R8: case D3DFMT_A2R10G10B10:
    case D3DFMT_A16B16G16R16: case D3DFMT_A8P8: case D3DFMT_A8L8: case D3DFMT_A4L4:
    case D3DFMT_DXT1: case D3DFMT_DXT2: case D3DFMT_DXT3: case D3DFMT_DXT4: case D3DFMT_DXT5:
      return true;
    default:
      return false;
  }
}

// The texture format: one the device has that keeps every texel value the file can hold.
D3DFORMAT TextureFormat(D3DFORMAT requested, const DdsHeaderInfo& file, D3DCOLOR colorKey) {
  if (requested == D3DFMT_A8R8G8B8 || requested == D3DFMT_X8R8G8B8 || requested == D3DFMT_A4R4G4B4)
    return requested;
  if (requested != D3DFMT_UNKNOWN && requested != static_cast<D3DFORMAT>(D3DX_FROM_FILE))
    return FormatHasAlpha(requested) ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
  if (file.format == D3DFMT_A4R4G4B4) return D3DFMT_A4R4G4B4;
  // A colour key needs somewhere to put its transparency, even when the file has no alpha.
  if (file.hasAlpha || colorKey != 0) return D3DFMT_A8R8G8B8;
  return D3DFMT_X8R8G8B8;
}

}  // namespace

HRESULT BuildTextureLevels(const DdsHeaderInfo& file, std::vector<ArgbImage> fileLevels,
                           const TextureRequest& request, TextureLevels& out) {
  out = TextureLevels();
  if (fileLevels.empty()) return D3DXERR_INVALIDDATA;
  FilterSpec filter, mipFilter;
  // D3DX's defaults: a triangle filter for resizing, a box filter for mip levels.
  if (!ParseFilter(request.filter, FilterSpec::Triangle, filter) ||
      !ParseFilter(request.mipFilter, FilterSpec::Box, mipFilter))
    return D3DERR_INVALIDCALL;

  const uint32_t width = TextureSide(request.width, file.width, request.maxWidth);
  const uint32_t height = TextureSide(request.height, file.height, request.maxHeight);
  const uint32_t chain = FullChainLength(width, height);
  uint32_t levelCount;
  if (request.mipLevels == 0 || request.mipLevels == D3DX_DEFAULT)
    levelCount = chain;
  else if (request.mipLevels == D3DX_FROM_FILE)
    levelCount = std::min<uint32_t>(file.levelCount, chain);
  else
    levelCount = std::min<uint32_t>(request.mipLevels, chain);

  out.format = TextureFormat(request.format, file, request.colorKey);
  // The key works on the texels as loaded, so filtered levels blend towards transparent black.
  for (ArgbImage& level : fileLevels) ApplyColorKey(level, request.colorKey);

  const bool sameSize = width == fileLevels[0].width && height == fileLevels[0].height;
  out.levels.reserve(levelCount);
  if (sameSize)
    out.levels.push_back(std::move(fileLevels[0]));
  else
    out.levels.push_back(Resample(fileLevels[0], width, height, filter));
  for (uint32_t i = 1; i < levelCount; ++i) {
    if (sameSize && i < fileLevels.size())
      out.levels.push_back(std::move(fileLevels[i]));
    else
      out.levels.push_back(NextMipLevel(out.levels.back(), mipFilter));
  }
  return D3D_OK;
}

}  // namespace kvrdds

