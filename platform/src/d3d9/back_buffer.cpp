// The back buffer as the program reaches it, and copies of it in system memory: what a
// screenshot needs.
// Implemented: GetBackBuffer(0, 0, MONO) (the one back buffer, which holds a device reference
//   until released), CreateOffscreenPlainSurface in the texture formats of
//   resources.cpp, in the default, system-memory and scratch pools (all lockable),
//   GetRenderTargetData from the back buffer or another render target (render_targets.cpp) into
//   a system-memory surface of its size and format (an offscreen plain surface or a level of a
//   system-memory texture): the whole target, whatever the viewport, top row first.
// Not implemented (D3DERR_INVALIDCALL): swap chains and back buffers past the first (the device
//   keeps one back buffer whatever BackBufferCount says), stereo back buffers, shared handles.
#include <algorithm>

#include "d3d9/d3d9_internal.h"
#include "d3d9/gl_renderer.h"

namespace kvrd3d {

HRESULT Device::GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                              IDirect3DSurface9** ppBackBuffer) {
  if (!ppBackBuffer) return D3DERR_INVALIDCALL;
  *ppBackBuffer = nullptr;
  if (iSwapChain != 0 || iBackBuffer != 0 || Type != D3DBACKBUFFER_TYPE_MONO) return D3DERR_INVALIDCALL;
  *ppBackBuffer = backBuffer_.get();
  AddRef();
  return D3D_OK;
}

HRESULT Device::CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool,
                                            IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) {
  if (!ppSurface) return D3DERR_INVALIDCALL;
  *ppSurface = nullptr;
  if (pSharedHandle) return D3DERR_INVALIDCALL;
  // Direct3D 9 has no managed offscreen surfaces.
  if (Pool != D3DPOOL_DEFAULT && Pool != D3DPOOL_SYSTEMMEM && Pool != D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
  if (TextureFormatBytes(Format) == 0) return D3DERR_INVALIDCALL;
  // As large as a texture or as the back buffer, whichever is larger, so a copy of the back
  // buffer always fits; the bound keeps a hostile size from asking for gigabytes.
  const UINT limit = std::max({MaxTextureSize(), pp_.BackBufferWidth, pp_.BackBufferHeight});
  if (Width == 0 || Height == 0 || Width > limit || Height > limit) return D3DERR_INVALIDCALL;
  Texture* storage = new Texture(this, Width, Height, 1, 0, Format, Pool);
  // The program holds the texture's one reference through its surface.
  *ppSurface = storage->levels()[0].surface.get();
  return D3D_OK;
}

HRESULT Device::GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface) {
  if (!pRenderTarget || !pDestSurface) return D3DERR_INVALIDCALL;
  Surface* source = dynamic_cast<Surface*>(pRenderTarget);
  Surface* dest = dynamic_cast<Surface*>(pDestSurface);
  if (!source || source->device() != this || !source->IsColorTarget()) return D3DERR_INVALIDCALL;
  if (!dest || dest->device() != this || !dest->container()) return D3DERR_INVALIDCALL;
  Texture* storage = dest->container();
  const Texture::Level& level = storage->levels()[dest->level()];
  const D3DSURFACE_DESC from = source->Desc();
  if (storage->pool() != D3DPOOL_SYSTEMMEM || storage->format() != from.Format || level.width != from.Width ||
      level.height != from.Height)
    return D3DERR_INVALIDCALL;
  Texture::Level* rows = storage->WritableLevel(dest->level());
  if (!rows) return D3DERR_INVALIDCALL;  // locked by the program
  renderer_->ReadTarget(source, rows->bytes.data(), rows->pitch);
  return D3D_OK;
}

}  // namespace kvrd3d
