// D3DX helpers for textures and surfaces made without a file: D3DXCheckTextureRequirements and
// D3DXCreateTexture (sizes, levels and a format the device takes), D3DXLoadSurfaceFromSurface.
// Supported: sizes of 0 or D3DX_DEFAULT (256, or the other side), sizes clamped to the device's
//   largest texture, levels of 0 or D3DX_DEFAULT (the whole chain), D3DUSAGE_AUTOGENMIPMAP (one
//   level), formats the device lacks replaced by A8R8G8B8 or X8R8G8B8 after their alpha (D24S8 or
//   D24X8 for depth stencils); copies between surfaces that can be locked, from a render target
//   into one that can be locked, and between two render targets (through StretchRect), with
//   the filters NONE, POINT, LINEAR, TRIANGLE and BOX (the last two as linear) and a colour key.
// Not supported (D3DERR_INVALIDCALL): palettes, copies into a render target from a surface that
//   can be locked, destinations in formats other than A8R8G8B8, X8R8G8B8 and A4R4G4B4.
#include <d3dx9.h>

#include <algorithm>

#include "d3d9/texel_formats.h"
#include "d3dx9/dds_resample.h"

namespace {

bool HasAlpha(D3DFORMAT f) {
  switch (f) {
    case D3DFMT_A8R8G8B8: case D3DFMT_A1R5G5B5: case D3DFMT_A4R4G4B4: case D3DFMT_A8: case D3DFMT_A8L8:
    case D3DFMT_A4L4: case D3DFMT_A8R3G3B2: case D3DFMT_A2R10G10B10: case D3DFMT_A2B10G10R10:
    case D3DFMT_A8B8G8R8: case D3DFMT_A16B16G16R16: case D3DFMT_DXT2: case D3DFMT_DXT3: case D3DFMT_DXT4: case D3DFMT_DXT5:
      return true;
    default:
      return false;
  }
}

template <class T>
struct Held {
  T* p = nullptr;
  ~Held() {
    if (p) p->Release();
  }
};

}  // namespace

extern "C" HRESULT WINAPI D3DXCheckTextureRequirements(LPDIRECT3DDEVICE9 pDevice, UINT* pWidth, UINT* pHeight,
                                                       UINT* pNumMipLevels, DWORD Usage, D3DFORMAT* pFormat,
                                                       D3DPOOL Pool) {
  if (!pDevice) return D3DERR_INVALIDCALL;
  D3DCAPS9 caps = {};
  Held<IDirect3D9> d3d;
  if (FAILED(pDevice->GetDeviceCaps(&caps)) || FAILED(pDevice->GetDirect3D(&d3d.p))) return D3DERR_INVALIDCALL;
  UINT w = pWidth && *pWidth != D3DX_DEFAULT ? *pWidth : 0;
  UINT h = pHeight && *pHeight != D3DX_DEFAULT ? *pHeight : 0;
  if (!w && !h) w = h = 256;
  if (!w) w = h;
  if (!h) h = w;
  w = std::min<UINT>(w, caps.MaxTextureWidth ? caps.MaxTextureWidth : w);
  h = std::min<UINT>(h, caps.MaxTextureHeight ? caps.MaxTextureHeight : h);
  if (pWidth) *pWidth = w;
  if (pHeight) *pHeight = h;
  if (pNumMipLevels) {
    UINT full = 1;
    for (UINT size = std::max(w, h); size > 1; size >>= 1) ++full;
    UINT levels = *pNumMipLevels;
    if (Usage & D3DUSAGE_AUTOGENMIPMAP) levels = 1;
    else if (levels == 0 || levels == D3DX_DEFAULT || levels > full) levels = full;
    *pNumMipLevels = levels;
  }
  if (pFormat) {
    D3DDISPLAYMODE mode = {};
    pDevice->GetDisplayMode(0, &mode);
    D3DFORMAT f = *pFormat;
    if (f == D3DFMT_UNKNOWN || f == static_cast<D3DFORMAT>(D3DX_DEFAULT)) f = D3DFMT_A8R8G8B8;
    const bool depth = (Usage & D3DUSAGE_DEPTHSTENCIL) != 0;
    const DWORD checked = Usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL);
    if (FAILED(d3d.p->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format, checked, D3DRTYPE_TEXTURE,
                                        f))) {
      // The nearest the device has: the alpha (or the stencil) kept where the format had it.
      if (depth) f = f == D3DFMT_D15S1 || f == D3DFMT_D24X4S4 ? D3DFMT_D24S8 : D3DFMT_D24X8;
      else f = HasAlpha(f) ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    }
    *pFormat = f;
  }
  (void)Pool;
  return D3D_OK;
}

extern "C" HRESULT WINAPI D3DXCreateTexture(LPDIRECT3DDEVICE9 pDevice, UINT Width, UINT Height, UINT MipLevels,
                                            DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                            LPDIRECT3DTEXTURE9* ppTexture) {
  if (!pDevice || !ppTexture) return D3DERR_INVALIDCALL;
  *ppTexture = nullptr;
  HRESULT hr = D3DXCheckTextureRequirements(pDevice, &Width, &Height, &MipLevels, Usage, &Format, Pool);
  if (FAILED(hr)) return hr;
  return pDevice->CreateTexture(Width, Height, MipLevels, Usage & ~D3DUSAGE_AUTOGENMIPMAP, Format, Pool, ppTexture,
                                nullptr);
}

namespace {

bool RectIn(const RECT* r, const D3DSURFACE_DESC& d, RECT* out) {
  if (!r) {
    *out = {0, 0, static_cast<LONG>(d.Width), static_cast<LONG>(d.Height)};
    return true;
  }
  *out = *r;
  return r->left >= 0 && r->top >= 0 && r->left < r->right && r->top < r->bottom &&
         static_cast<UINT>(r->right) <= d.Width && static_cast<UINT>(r->bottom) <= d.Height;
}

// The rectangle of a surface as ARGB texels: locked, or copied out of a render target first.
HRESULT ReadArgb(IDirect3DSurface9* surface, const D3DSURFACE_DESC& desc, const RECT& rect, kvrdds::ArgbImage& out) {
  if (kvrd3d::TextureFormatBytes(desc.Format) == 0) return D3DERR_INVALIDCALL;
  Held<IDirect3DSurface9> copy;
  IDirect3DSurface9* from = surface;
  D3DLOCKED_RECT locked = {};
  HRESULT hr = surface->LockRect(&locked, &rect, D3DLOCK_READONLY);
  if (FAILED(hr)) {
    if (!(desc.Usage & D3DUSAGE_RENDERTARGET)) return hr;
    Held<IDirect3DDevice9> device;
    if (FAILED(hr = surface->GetDevice(&device.p))) return hr;
    if (FAILED(hr = device.p->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                          &copy.p, nullptr)))
      return hr;
    if (FAILED(hr = device.p->GetRenderTargetData(surface, copy.p))) return hr;
    if (FAILED(hr = copy.p->LockRect(&locked, &rect, D3DLOCK_READONLY))) return hr;
    from = copy.p;
  }
  out.width = static_cast<uint32_t>(rect.right - rect.left);
  out.height = static_cast<uint32_t>(rect.bottom - rect.top);
  out.texels.resize(static_cast<size_t>(out.width) * out.height);
  std::vector<uint8_t> rgba(static_cast<size_t>(out.width) * 4);
  for (uint32_t y = 0; y < out.height; ++y) {
    const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
    kvrd3d::ConvertRowToRgba8(desc.Format, row, rgba.data(), out.width);
    for (uint32_t x = 0; x < out.width; ++x) {
      const uint8_t* p = &rgba[4 * static_cast<size_t>(x)];
      out.texels[static_cast<size_t>(y) * out.width + x] =
          (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
  }
  from->UnlockRect();
  return D3D_OK;
}

}  // namespace

extern "C" HRESULT WINAPI D3DXLoadSurfaceFromSurface(LPDIRECT3DSURFACE9 pDestSurface, const PALETTEENTRY*,
                                                     const RECT* pDestRect, LPDIRECT3DSURFACE9 pSrcSurface,
                                                     const PALETTEENTRY*, const RECT* pSrcRect, DWORD Filter,
                                                     D3DCOLOR ColorKey) {
  if (!pDestSurface || !pSrcSurface) return D3DERR_INVALIDCALL;
  D3DSURFACE_DESC sd, dd;
  if (FAILED(pSrcSurface->GetDesc(&sd)) || FAILED(pDestSurface->GetDesc(&dd))) return D3DERR_INVALIDCALL;
  RECT from, to;
  if (!RectIn(pSrcRect, sd, &from) || !RectIn(pDestRect, dd, &to)) return D3DERR_INVALIDCALL;
  kvrdds::FilterSpec filter;
  if (!kvrdds::ParseFilter(Filter, kvrdds::FilterSpec::Triangle, filter)) return D3DERR_INVALIDCALL;
  const UINT w = static_cast<UINT>(to.right - to.left), h = static_cast<UINT>(to.bottom - to.top);
  // Between two render targets the GPU copies, as D3DX does through StretchRect.
  if ((sd.Usage & D3DUSAGE_RENDERTARGET) && (dd.Usage & D3DUSAGE_RENDERTARGET) && !ColorKey) {
    Held<IDirect3DDevice9> device;
    if (FAILED(pDestSurface->GetDevice(&device.p))) return D3DERR_INVALIDCALL;
    const bool linear = filter.kind != kvrdds::FilterSpec::None && filter.kind != kvrdds::FilterSpec::Point;
    return device.p->StretchRect(pSrcSurface, &from, pDestSurface, &to, linear ? D3DTEXF_LINEAR : D3DTEXF_POINT);
  }
  kvrdds::ArgbImage image;
  HRESULT hr = ReadArgb(pSrcSurface, sd, from, image);
  if (FAILED(hr)) return hr;
  kvrdds::ApplyColorKey(image, ColorKey);
  if (image.width != w || image.height != h) image = kvrdds::Resample(image, w, h, filter);
  D3DLOCKED_RECT locked = {};
  if (FAILED(hr = pDestSurface->LockRect(&locked, &to, 0))) return hr;
  const bool packed = kvrdds::PackLevel(image, dd.Format, static_cast<uint8_t*>(locked.pBits), locked.Pitch);
  pDestSurface->UnlockRect();
  return packed ? D3D_OK : D3DERR_INVALIDCALL;
}
