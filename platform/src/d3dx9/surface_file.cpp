// D3DX surface saving: D3DXSaveSurfaceToFileA/W (the W form takes the name as wchar_t).
// Supported: PNG files (png_encoder.h), 8 bits a channel: RGBA from surfaces whose format has alpha,
//   opaque RGB from the others (X8R8G8B8 among them); every format the device holds in textures
//   and surfaces (texel_formats.h); a source rectangle; surfaces that can be locked, and the back
//   buffer, which is copied into a system-memory surface first as a Windows program would.
// Not supported: the other file types (BMP, JPG, TGA, DDS, ...: D3DERR_INVALIDCALL), palettes
//   (pSrcPalette is ignored: no palette format is ever held).
// The image is encoded in memory before the file is touched, so a surface that cannot be read or
// encoded leaves the disk as it was. The name is resolved the Windows way (backslashes, any
// letter case, as CreateFileA does) and only a regular file is written: a symbolic link as the
// last component, a FIFO, a device or a folder is refused without being changed. A write that
// fails part way (a full disk) removes the file rather than leave half an image.
#include <d3dx9.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "d3d9/texel_formats.h"
#include "d3dx9/png_encoder.h"
#include "win32/path_resolution.h"
#include "win32/wide_text.h"

namespace {

// No surface of the device is wider or taller; a foreign surface that says it is gets no
// allocation of that size.
constexpr LONG kMaxSide = 16384;

// Releases a COM object at the end of the scope.
template <class T>
class Held {
 public:
  Held() = default;
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    if (p_) p_->Release();
  }
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

// Holds a surface locked for reading.
class ReadLock {
 public:
  ReadLock() = default;
  ReadLock(const ReadLock&) = delete;
  ReadLock& operator=(const ReadLock&) = delete;
  ~ReadLock() {
    if (surface_) surface_->UnlockRect();
  }
  HRESULT Lock(IDirect3DSurface9* surface, const RECT& rect) {
    HRESULT hr = surface->LockRect(&locked_, &rect, D3DLOCK_READONLY);
    if (SUCCEEDED(hr)) surface_ = surface;
    return hr;
  }
  const D3DLOCKED_RECT& locked() const { return locked_; }

 private:
  IDirect3DSurface9* surface_ = nullptr;
  D3DLOCKED_RECT locked_ = {};
};

// The rectangle of the surface as rows of RGB or RGBA bytes, packed.
struct Pixels {
  UINT width = 0, height = 0;
  bool alpha = false;
  std::vector<uint8_t> bytes;
};

HRESULT ConvertLocked(const D3DLOCKED_RECT& locked, D3DFORMAT format, Pixels& out) {
  const UINT texel = kvrd3d::TextureFormatBytes(format);
  if (!locked.pBits || locked.Pitch < 0 || static_cast<uint64_t>(locked.Pitch) < uint64_t(out.width) * texel)
    return D3DXERR_INVALIDDATA;
  const size_t channels = out.alpha ? 4 : 3;
  out.bytes.resize(size_t(out.width) * out.height * channels);
  std::vector<uint8_t> rgba(size_t(out.width) * 4);
  for (UINT y = 0; y < out.height; ++y) {
    const uint8_t* src = static_cast<const uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch);
    kvrd3d::ConvertRowToRgba8(format, src, rgba.data(), out.width);
    uint8_t* dst = out.bytes.data() + size_t(y) * out.width * channels;
    if (out.alpha) {
      std::memcpy(dst, rgba.data(), rgba.size());
    } else {
      for (UINT x = 0; x < out.width; ++x) std::memcpy(dst + 3 * size_t(x), &rgba[4 * size_t(x)], 3);
    }
  }
  return D3D_OK;
}

// Reads the rectangle of the surface. The back buffer cannot be locked: it is copied into a
// system-memory surface of its size and format, and that is read.
HRESULT ReadSurface(IDirect3DSurface9* surface, const D3DSURFACE_DESC& desc, const RECT& rect, Pixels& out) {
  out.width = UINT(rect.right - rect.left);
  out.height = UINT(rect.bottom - rect.top);
  out.alpha = kvrd3d::TextureFormatHasAlpha(desc.Format);
  ReadLock lock;
  HRESULT hr = lock.Lock(surface, rect);
  if (SUCCEEDED(hr)) return ConvertLocked(lock.locked(), desc.Format, out);
  if (!(desc.Usage & D3DUSAGE_RENDERTARGET)) return hr;

  Held<IDirect3DDevice9> device;
  Held<IDirect3DSurface9> copy;
  hr = surface->GetDevice(device.out());
  if (SUCCEEDED(hr) && !device.get()) hr = D3DERR_INVALIDCALL;
  if (SUCCEEDED(hr))
    hr = device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, copy.out(),
                                             nullptr);
  if (SUCCEEDED(hr)) hr = device->GetRenderTargetData(surface, copy.get());
  ReadLock copyLock;
  if (SUCCEEDED(hr)) hr = copyLock.Lock(copy.get(), rect);
  if (FAILED(hr)) return hr;
  return ConvertLocked(copyLock.locked(), desc.Format, out);
}

// Makes `bytes` the whole content of the named file (see the top of this file for what is refused).
bool WriteWholeFile(const char* windowsPath, const std::vector<uint8_t>& bytes) {
  if (!windowsPath[0]) return false;
  const std::string path = KvrResolveWindowsPath(windowsPath);
  // Not truncated on opening: what is there is only emptied once it is known to be a regular file.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  struct stat opened;
  if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
    close(fd);
    return false;
  }
  bool ok = ftruncate(fd, 0) == 0;
  size_t done = 0;
  while (ok && done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += size_t(n);
  }
  if (close(fd) != 0) ok = false;
  if (!ok) {
    // Only the file just written goes, not one put in its place since.
    struct stat now;
    if (lstat(path.c_str(), &now) == 0 && now.st_dev == opened.st_dev && now.st_ino == opened.st_ino)
      unlink(path.c_str());
  }
  return ok;
}

}  // namespace

extern "C" HRESULT WINAPI D3DXSaveSurfaceToFileA(LPCSTR pDestFile, D3DXIMAGE_FILEFORMAT DestFormat,
                                                 LPDIRECT3DSURFACE9 pSrcSurface, const PALETTEENTRY* pSrcPalette,
                                                 const RECT* pSrcRect) {
  if (!pDestFile || !pSrcSurface) return D3DERR_INVALIDCALL;
  if (DestFormat != D3DXIFF_PNG) return D3DERR_INVALIDCALL;
  D3DSURFACE_DESC desc = {};
  HRESULT hr = pSrcSurface->GetDesc(&desc);
  if (FAILED(hr)) return hr;
  if (kvrd3d::TextureFormatBytes(desc.Format) == 0 || desc.Width == 0 || desc.Height == 0 ||
      desc.Width > UINT(kMaxSide) || desc.Height > UINT(kMaxSide))
    return D3DXERR_INVALIDDATA;
  RECT rect = {0, 0, LONG(desc.Width), LONG(desc.Height)};
  if (pSrcRect) {
    rect = *pSrcRect;
    if (rect.left < 0 || rect.top < 0 || rect.left >= rect.right || rect.top >= rect.bottom ||
        rect.right > LONG(desc.Width) || rect.bottom > LONG(desc.Height))
      return D3DERR_INVALIDCALL;
  }
  try {
    Pixels pixels;
    hr = ReadSurface(pSrcSurface, desc, rect, pixels);
    if (FAILED(hr)) return hr;
    std::vector<uint8_t> file;
    if (!kvrd3dx::EncodePng(pixels.width, pixels.height, pixels.alpha, pixels.bytes, file)) return E_FAIL;
    return WriteWholeFile(pDestFile, file) ? D3D_OK : E_FAIL;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

extern "C" HRESULT WINAPI D3DXSaveSurfaceToFileW(LPCWSTR pDestFile, D3DXIMAGE_FILEFORMAT DestFormat,
                                                 LPDIRECT3DSURFACE9 pSrcSurface, const PALETTEENTRY* pSrcPalette,
                                                 const RECT* pSrcRect) {
  if (!pDestFile) return D3DERR_INVALIDCALL;
  return D3DXSaveSurfaceToFileA(KvrUtf8FromWide(pDestFile).c_str(), DestFormat, pSrcSurface, pSrcPalette,
                                pSrcRect);
}
