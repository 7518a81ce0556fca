// D3DX texture creation from DDS files: D3DXCreateTextureFromFileExA.
// Supported: the DDS formats of dds_reader.cpp; width and height D3DX_DEFAULT or 0 (the file's,
//   rounded up to a power of two), D3DX_DEFAULT_NONPOW2 and D3DX_FROM_FILE (the file's) or
//   explicit (resized), all capped by the device's largest texture; mip levels D3DX_DEFAULT or
//   0 (full chain), D3DX_FROM_FILE or a count; format D3DFMT_UNKNOWN (from the file),
//   A8R8G8B8, X8R8G8B8, A4R4G4B4 (others fall back to the nearest of these three); the colour
//   key; D3DXIMAGE_INFO.
// Not supported: other image file types (BMP, PNG, ...), palettes (pPalette is ignored), dithering.
// The file's own mip levels are used while the texture keeps the file's size; the levels it
// lacks are filtered down from the last level there is.
#include <d3dx9.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "d3dx9/dds_reader.h"
#include "d3dx9/dds_resample.h"
#include "d3dx9/dds_texture.h"
#include "win32/path_resolution.h"

namespace kvrdds {
namespace {

// No legitimate file is larger: an 8192 x 8192 32-bit image with its whole mip chain is about
// 358 MB.
constexpr uint64_t kMaxFileBytes = 512ull << 20;

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

// The program names files the Windows way (backslashes, any letter case).
bool ReadWholeFile(const char* windowsPath, std::vector<uint8_t>& bytes) {
  const std::string path = KvrResolveWindowsPath(windowsPath);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return false;
  // Read in chunks rather than trusting a size reported up front (a directory or a pipe).
  std::vector<uint8_t> chunk(1 << 16);
  for (;;) {
    const size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
    if (got == 0) break;
    if (bytes.size() + got > kMaxFileBytes) return false;
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
  }
  return !std::ferror(file.get());
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

extern "C" HRESULT WINAPI D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, UINT Width,
                                                       UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                                       D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                       D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                       PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE9* ppTexture) {
  using namespace kvrdds;
  if (ppTexture) *ppTexture = nullptr;
  if (!pDevice || !pSrcFile || !ppTexture) return D3DERR_INVALIDCALL;

  DdsHeaderInfo info;
  std::vector<ArgbImage> fileLevels;
  {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(pSrcFile, bytes)) return D3DXERR_INVALIDDATA;
    if (!DecodeDds(bytes.data(), bytes.data() + bytes.size(), info, fileLevels, nullptr))
      return D3DXERR_INVALIDDATA;
  }
  if (pSrcInfo) {
    pSrcInfo->Width = info.width;
    pSrcInfo->Height = info.height;
    pSrcInfo->Depth = 1;
    pSrcInfo->MipLevels = info.levelCount;
    pSrcInfo->Format = info.format;
    pSrcInfo->ResourceType = D3DRTYPE_TEXTURE;
    pSrcInfo->ImageFileFormat = D3DXIFF_DDS;
  }

  TextureRequest request;
  request.width = Width;
  request.height = Height;
  request.mipLevels = MipLevels;
  request.format = Format;
  request.filter = Filter;
  request.mipFilter = MipFilter;
  request.colorKey = ColorKey;
  D3DCAPS9 caps = {};
  if (SUCCEEDED(pDevice->GetDeviceCaps(&caps))) {
    request.maxWidth = caps.MaxTextureWidth;
    request.maxHeight = caps.MaxTextureHeight;
  }
  TextureLevels built;
  HRESULT hr = BuildTextureLevels(info, std::move(fileLevels), request, built);
  if (FAILED(hr)) return hr;

  IDirect3DTexture9* texture = nullptr;
  hr = pDevice->CreateTexture(built.levels[0].width, built.levels[0].height, UINT(built.levels.size()), Usage,
                              built.format, Pool, &texture, nullptr);
  if (FAILED(hr) || !texture) return FAILED(hr) ? hr : D3DERR_INVALIDCALL;
  for (UINT i = 0; i < built.levels.size(); ++i) {
    D3DLOCKED_RECT locked = {};
    hr = texture->LockRect(i, &locked, nullptr, 0);
    if (SUCCEEDED(hr)) {
      const bool packed = PackLevel(built.levels[i], built.format, static_cast<uint8_t*>(locked.pBits),
                                    locked.Pitch);
      texture->UnlockRect(i);
      if (!packed) hr = D3DERR_INVALIDCALL;
    }
    if (FAILED(hr)) {
      texture->Release();
      return hr;
    }
  }
  *ppTexture = texture;
  return D3D_OK;
}
