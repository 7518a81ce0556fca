// D3DX texture creation from DDS files: D3DXCreateTextureFromFileExA, D3DXGetImageInfoFromFileA.
// Supported: the DDS formats of dds_reader.cpp; width and height D3DX_DEFAULT or 0 (the file's,
//   rounded up to a power of two), D3DX_DEFAULT_NONPOW2 and D3DX_FROM_FILE (the file's) or
//   explicit (resized), all capped by the device's largest texture; mip levels D3DX_DEFAULT or
//   0 (full chain), D3DX_FROM_FILE or a count; format D3DFMT_UNKNOWN (from the file),
//   A8R8G8B8, X8R8G8B8, A4R4G4B4 (others fall back to the nearest of these three); the colour
//   key; D3DXIMAGE_INFO.
// Not supported: other image file types (BMP, PNG, ...), palettes (pPalette is ignored), dithering.
// Only regular files are read: a FIFO or a device, named or reached through a link, is refused
// before it is opened. D3DXGetImageInfoFromFileA reads the header alone and passes exactly the
// files whose header D3DXCreateTextureFromFileExA accepts, reporting what it reports.
// The file's own mip levels are used while the texture keeps the file's size; the levels it
// lacks are filtered down from the last level there is.
#include <d3dx9.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

// An image file open for reading: a regular file of at most kMaxFileBytes.
class ImageFile {
 public:
  ImageFile() = default;
  ImageFile(const ImageFile&) = delete;
  ImageFile& operator=(const ImageFile&) = delete;
  ~ImageFile() {
    if (fd_ >= 0) close(fd_);
  }

  // The program names files the Windows way (backslashes, any letter case). A FIFO would make
  // reading wait for a writer, a device such as /dev/zero never ends, so anything but a regular
  // file is refused on its stat, without being opened; O_NONBLOCK and the stat of what was opened
  // cover a file swapped for one of those in between.
  bool Open(const char* windowsPath) {
    const std::string path = KvrResolveWindowsPath(windowsPath);
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0 || fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size_ = uint64_t(st.st_size);
    return size_ <= kMaxFileBytes;
  }

  uint64_t Size() const { return size_; }

  // Up to `count` bytes; fewer only at the end of the file. -1 on a read error.
  ssize_t Read(uint8_t* out, size_t count) {
    size_t total = 0;
    while (total < count) {
      const ssize_t n = read(fd_, out + total, count - total);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
      if (n == 0) break;
      total += size_t(n);
    }
    return ssize_t(total);
  }

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

bool ReadWholeFile(const char* windowsPath, std::vector<uint8_t>& bytes) {
  ImageFile file;
  if (!file.Open(windowsPath)) return false;
  // The size is where reading starts, not a promise: the file can still grow or shrink.
  bytes.reserve(size_t(file.Size()));
  std::vector<uint8_t> chunk(1 << 16);
  for (;;) {
    const ssize_t got = file.Read(chunk.data(), chunk.size());
    if (got < 0) return false;
    if (got == 0) break;
    if (bytes.size() + size_t(got) > kMaxFileBytes) return false;
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
  }
  return true;
}

void DescribeImage(const DdsHeaderInfo& info, D3DXIMAGE_INFO& out) {
  out.Width = info.width;
  out.Height = info.height;
  out.Depth = 1;
  out.MipLevels = info.levelCount;
  out.Format = info.format;
  out.ResourceType = D3DRTYPE_TEXTURE;
  out.ImageFileFormat = D3DXIFF_DDS;
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
  if (pSrcInfo) DescribeImage(info, *pSrcInfo);

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

extern "C" HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo) {
  using namespace kvrdds;
  if (!pSrcFile) return D3DERR_INVALIDCALL;
  ImageFile file;
  uint8_t header[kDdsHeaderBytes];
  DdsHeaderInfo info;
  if (!file.Open(pSrcFile) || file.Read(header, sizeof header) != ssize_t(sizeof header) ||
      !ReadDdsHeaderOfFile(header, file.Size(), info, nullptr))
    return D3DXERR_INVALIDDATA;
  if (pSrcInfo) DescribeImage(info, *pSrcInfo);
  return D3D_OK;
}
