// D3DX texture creation from files: D3DXCreateTextureFromFile(Ex)A/W, D3DXGetImageInfoFromFileA/W.
// Supported: DDS files (the formats of dds_reader.cpp, their own mip levels) and BMP, PNG, JPEG
//   and TGA files (image_reader.cpp), told apart by their first bytes, not by their names;
//   the texture is shaped by dds_texture.cpp alike for all of them (size, mips, format, colour key).
//   W forms take the name as wchar_t; the InMemory forms take the file's bytes. D3DXCreateTextureFromFileA/W are the Ex form with its
//   defaults: the file's size rounded up to powers of two, a whole mip chain, the file's format,
//   the managed pool, no colour key.
// Only regular files are read: a FIFO or a device, named or reached through a link, is refused
// before it is opened. D3DXGetImageInfoFromFileA reads a DDS file's header alone and passes
// exactly the DDS files whose header D3DXCreateTextureFromFileExA accepts; another image file's
// header is read from the whole file, whose pixel data can still turn out damaged later.
#include <d3dx9.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "d3dx9/dds_reader.h"
#include "d3dx9/dds_resample.h"
#include "d3dx9/dds_texture.h"
#include "d3dx9/image_reader.h"
#include "d3dx9/regular_file.h"
#include "win32/path_resolution.h"
#include "win32/wide_text.h"

namespace kvrdds {
namespace {

void DescribeDds(const DdsHeaderInfo& info, D3DXIMAGE_INFO& out) {
  out.Width = info.width;
  out.Height = info.height;
  out.Depth = 1;
  out.MipLevels = info.levelCount;
  out.Format = info.format;
  out.ResourceType = D3DRTYPE_TEXTURE;
  out.ImageFileFormat = D3DXIFF_DDS;
}

void DescribeImage(const ImageFileInfo& info, D3DXIMAGE_INFO& out) {
  out.Width = info.width;
  out.Height = info.height;
  out.Depth = 1;
  out.MipLevels = 1;
  out.Format = info.format;
  out.ResourceType = D3DRTYPE_TEXTURE;
  out.ImageFileFormat = info.fileFormat;
}

// Decodes a DDS or another image file held in memory into its levels and what D3DX reports of it.
bool DecodeTextureFile(const std::vector<uint8_t>& bytes, DdsHeaderInfo& info, std::vector<ArgbImage>& levels,
                       D3DXIMAGE_INFO& described) {
  const uint8_t* begin = bytes.data();
  const uint8_t* end = begin + bytes.size();
  D3DXIMAGE_FILEFORMAT kind;
  if (!IdentifyImageFile(begin, end, kind)) {
    if (!DecodeDds(begin, end, info, levels, nullptr)) return false;
    DescribeDds(info, described);
    return true;
  }
  ImageFileInfo image;
  levels.resize(1);
  if (!DecodeImageFile(begin, end, image, levels[0], nullptr)) return false;
  info = DdsHeaderInfo();
  info.width = image.width;
  info.height = image.height;
  info.levelCount = 1;
  info.format = image.format;
  info.hasAlpha = image.hasAlpha;
  DescribeImage(image, described);
  return true;
}

}  // namespace
}  // namespace kvrdds

namespace kvrdds {
namespace {

// The texture of an image file's bytes, shaped as the Ex functions ask.
HRESULT CreateTextureFromBytes(LPDIRECT3DDEVICE9 pDevice, const std::vector<uint8_t>& bytes, UINT Width,
                               UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                               DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                               LPDIRECT3DTEXTURE9* ppTexture) {
  DdsHeaderInfo info;
  std::vector<ArgbImage> fileLevels;
  D3DXIMAGE_INFO described = {};
  if (!DecodeTextureFile(bytes, info, fileLevels, described)) return D3DXERR_INVALIDDATA;
  if (pSrcInfo) *pSrcInfo = described;

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

}  // namespace
}  // namespace kvrdds

extern "C" HRESULT WINAPI D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, UINT Width,
                                                       UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                                       D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                       D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                       PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE9* ppTexture) {
  using namespace kvrdds;
  if (ppTexture) *ppTexture = nullptr;
  if (!pDevice || !pSrcFile || !ppTexture) return D3DERR_INVALIDCALL;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(pSrcFile, bytes)) return D3DXERR_INVALIDDATA;
  return CreateTextureFromBytes(pDevice, bytes, Width, Height, MipLevels, Usage, Format, Pool, Filter, MipFilter,
                                ColorKey, pSrcInfo, ppTexture);
}

extern "C" HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData,
                                                              UINT SrcDataSize, UINT Width, UINT Height,
                                                              UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                                              D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                              D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                              PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE9* ppTexture) {
  using namespace kvrdds;
  if (ppTexture) *ppTexture = nullptr;
  if (!pDevice || !pSrcData || !ppTexture || SrcDataSize == 0) return D3DERR_INVALIDCALL;
  const uint8_t* begin = static_cast<const uint8_t*>(pSrcData);
  const std::vector<uint8_t> bytes(begin, begin + SrcDataSize);
  return CreateTextureFromBytes(pDevice, bytes, Width, Height, MipLevels, Usage, Format, Pool, Filter, MipFilter,
                                ColorKey, pSrcInfo, ppTexture);
}

extern "C" HRESULT WINAPI D3DXGetImageInfoFromFileInMemory(LPCVOID pSrcData, UINT SrcDataSize,
                                                           D3DXIMAGE_INFO* pSrcInfo) {
  using namespace kvrdds;
  if (!pSrcData || SrcDataSize == 0) return D3DERR_INVALIDCALL;
  const uint8_t* begin = static_cast<const uint8_t*>(pSrcData);
  const uint8_t* end = begin + SrcDataSize;
  D3DXIMAGE_FILEFORMAT kind;
  if (!IdentifyImageFile(begin, end, kind)) {
    DdsHeaderInfo info;
    if (SrcDataSize < kDdsHeaderBytes || !ReadDdsHeaderOfFile(begin, SrcDataSize, info, nullptr))
      return D3DXERR_INVALIDDATA;
    if (pSrcInfo) DescribeDds(info, *pSrcInfo);
    return D3D_OK;
  }
  ImageFileInfo info;
  if (!ReadImageFileInfo(begin, end, info, nullptr)) return D3DXERR_INVALIDDATA;
  if (pSrcInfo) DescribeImage(info, *pSrcInfo);
  return D3D_OK;
}

extern "C" HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo) {
  using namespace kvrdds;
  if (!pSrcFile) return D3DERR_INVALIDCALL;
  RegularFile file;
  uint8_t header[kDdsHeaderBytes];
  if (!file.Open(pSrcFile)) return D3DXERR_INVALIDDATA;
  const ssize_t got = file.Read(header, sizeof header);
  if (got <= 0) return D3DXERR_INVALIDDATA;
  D3DXIMAGE_FILEFORMAT kind;
  if (!IdentifyImageFile(header, header + got, kind)) {
    DdsHeaderInfo info;
    if (got != ssize_t(sizeof header) || !ReadDdsHeaderOfFile(header, file.Size(), info, nullptr))
      return D3DXERR_INVALIDDATA;
    if (pSrcInfo) DescribeDds(info, *pSrcInfo);
    return D3D_OK;
  }
  // Other kinds keep parts of their header further in (a PNG's size follows its signature, a
  // JPEG's comes after any number of segments): the whole file is read.
  std::vector<uint8_t> bytes;
  ImageFileInfo info;
  if (!ReadWholeFile(pSrcFile, bytes) || !ReadImageFileInfo(bytes.data(), bytes.data() + bytes.size(), info, nullptr))
    return D3DXERR_INVALIDDATA;
  if (pSrcInfo) DescribeImage(info, *pSrcInfo);
  return D3D_OK;
}

extern "C" HRESULT WINAPI D3DXGetImageInfoFromFileW(LPCWSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo) {
  if (!pSrcFile) return D3DERR_INVALIDCALL;
  return D3DXGetImageInfoFromFileA(KvrUtf8FromWide(pSrcFile).c_str(), pSrcInfo);
}

extern "C" HRESULT WINAPI D3DXCreateTextureFromFileExW(LPDIRECT3DDEVICE9 pDevice, LPCWSTR pSrcFile, UINT Width,
                                                       UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                                       D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                       D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                       PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE9* ppTexture) {
  if (!pSrcFile) {
    if (ppTexture) *ppTexture = nullptr;
    return D3DERR_INVALIDCALL;
  }
  return D3DXCreateTextureFromFileExA(pDevice, KvrUtf8FromWide(pSrcFile).c_str(), Width, Height, MipLevels, Usage,
                                      Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo, pPalette, ppTexture);
}

extern "C" HRESULT WINAPI D3DXCreateTextureFromFileA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile,
                                                     LPDIRECT3DTEXTURE9* ppTexture) {
  return D3DXCreateTextureFromFileExA(pDevice, pSrcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                      D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                      nullptr, ppTexture);
}

extern "C" HRESULT WINAPI D3DXCreateTextureFromFileW(LPDIRECT3DDEVICE9 pDevice, LPCWSTR pSrcFile,
                                                     LPDIRECT3DTEXTURE9* ppTexture) {
  return D3DXCreateTextureFromFileExW(pDevice, pSrcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                      D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                      nullptr, ppTexture);
}
