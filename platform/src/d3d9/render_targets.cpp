// Where the device draws: the back buffer, a level of a render-target texture or a render-target
// surface, with the automatic depth stencil, a depth-stencil surface or texture, or none.
// Implemented: CreateTexture's D3DUSAGE_RENDERTARGET (A8R8G8B8, X8R8G8B8) and
//   D3DUSAGE_DEPTHSTENCIL (D16, D24X8, D24S8, D32) textures of the default pool, whose levels are
//   render targets or depth stencils; CreateRenderTarget, CreateDepthStencilSurface,
//   SetRenderTarget(0, ...) (the viewport becomes the whole target, as in Direct3D),
//   SetDepthStencilSurface (null: no depth test, no stencil), their Get* forms (each returns a
//   reference), StretchRect between render targets (the back buffer included) with point or
//   linear filtering, GetRenderTargetData from any render target into a system-memory surface of
//   its size.
// Not implemented (D3DERR_INVALIDCALL): multiple render targets (index above 0), multisampled
//   targets, lockable render targets (created, but LockRect fails), sampling a depth texture,
//   StretchRect from or to surfaces that are not render targets, a depth stencil smaller than
//   the render target (in the browser: of another size than the render target).
#include <algorithm>

#include "d3d9/d3d9_internal.h"
#include "d3d9/dirty_state.h"
#include "d3d9/gl_api.h"
#include "d3d9/gl_renderer.h"

namespace kvrd3d {

bool DepthStencilBits(D3DFORMAT format, int* depth, int* stencil) {
  int d = 0, s = 0;
  switch (format) {
    case D3DFMT_D16: d = 16; break;
    case D3DFMT_D24X8: case D3DFMT_D32: d = 24; break;  // a 32-bit depth buffer is kept in 24 bits
    case D3DFMT_D24S8: d = 24; s = 8; break;
    default: return false;
  }
  if (depth) *depth = d;
  if (stencil) *stencil = s;
  return true;
}

bool Surface::IsColorTarget() const {
  if (!container_) return !autoDepth_;
  return (container_->usage() & D3DUSAGE_RENDERTARGET) != 0;
}

bool Surface::IsDepthStencil() const {
  if (!container_) return autoDepth_;
  return (container_->usage() & D3DUSAGE_DEPTHSTENCIL) != 0;
}

namespace {

bool RenderTargetFormat(D3DFORMAT format) { return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8; }

Surface* SurfaceOf(Device* device, IDirect3DSurface9* s) {
  Surface* surface = dynamic_cast<Surface*>(s);
  return surface && surface->device() == device ? surface : nullptr;
}

}  // namespace

HRESULT Device::GetRenderTarget(DWORD index, IDirect3DSurface9** target) {
  if (!target) return D3DERR_INVALIDCALL;
  *target = nullptr;
  if (index != 0) return index < 4 ? D3DERR_NOTFOUND : D3DERR_INVALIDCALL;
  *target = target_;
  target_->AddRef();
  return D3D_OK;
}

HRESULT Device::SetRenderTarget(DWORD index, IDirect3DSurface9* target) {
  // Render target 0 cannot be unset; the others do not exist here.
  if (index != 0 || !target) return D3DERR_INVALIDCALL;
  Surface* surface = SurfaceOf(this, target);
  if (!surface || !surface->IsColorTarget()) return D3DERR_INVALIDCALL;
  target_ = surface;
  targetHold_.Reset(surface->container());
  // Direct3D makes the viewport the whole of the new target.
  const D3DSURFACE_DESC desc = surface->Desc();
  state_.viewport = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
  RetargetRenderer();
  return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface9** out) {
  if (!out) return D3DERR_INVALIDCALL;
  *out = depth_;
  if (!depth_) return D3DERR_NOTFOUND;
  depth_->AddRef();
  return D3D_OK;
}

HRESULT Device::SetDepthStencilSurface(IDirect3DSurface9* depth) {
  Surface* surface = nullptr;
  if (depth) {
    surface = SurfaceOf(this, depth);
    if (!surface || !surface->IsDepthStencil()) return D3DERR_INVALIDCALL;
  }
  depth_ = surface;
  depthHold_.Reset(surface ? surface->container() : nullptr);
  RetargetRenderer();
  return D3D_OK;
}

void Device::RetargetRenderer() {
  // A depth stencil smaller than the target is left out of the draws (Direct3D leaves what
  // happens then undefined).
  Surface* depth = depth_;
  if (depth) {
    const D3DSURFACE_DESC c = target_->Desc(), d = depth->Desc();
    if (d.Width < c.Width || d.Height < c.Height) depth = nullptr;
    // WebGL draws with no depth stencil of another size than the target's.
    if (kGlAttachmentsOfOneSize && (d.Width != c.Width || d.Height != c.Height)) depth = nullptr;
  }
  renderer_->SetTargets(target_, depth);
}

HRESULT Device::CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                                   DWORD, BOOL, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) {
  if (!ppSurface) return D3DERR_INVALIDCALL;
  *ppSurface = nullptr;
  if (pSharedHandle || MultiSample != D3DMULTISAMPLE_NONE || !RenderTargetFormat(Format)) return D3DERR_INVALIDCALL;
  if (Width == 0 || Height == 0 || Width > MaxTextureSize() || Height > MaxTextureSize()) return D3DERR_INVALIDCALL;
  Texture* storage = new Texture(this, Width, Height, 1, D3DUSAGE_RENDERTARGET, Format, D3DPOOL_DEFAULT);
  *ppSurface = storage->levels()[0].surface.get();
  return D3D_OK;
}

HRESULT Device::CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                                          DWORD, BOOL, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) {
  if (!ppSurface) return D3DERR_INVALIDCALL;
  *ppSurface = nullptr;
  if (pSharedHandle || MultiSample != D3DMULTISAMPLE_NONE || !DepthStencilBits(Format, nullptr, nullptr))
    return D3DERR_INVALIDCALL;
  if (Width == 0 || Height == 0 || Width > MaxTextureSize() || Height > MaxTextureSize()) return D3DERR_INVALIDCALL;
  Texture* storage = new Texture(this, Width, Height, 1, D3DUSAGE_DEPTHSTENCIL, Format, D3DPOOL_DEFAULT);
  *ppSurface = storage->levels()[0].surface.get();
  return D3D_OK;
}

HRESULT Device::StretchRect(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect, IDirect3DSurface9* pDestSurface,
                            const RECT* pDestRect, D3DTEXTUREFILTERTYPE Filter) {
  Surface* src = SurfaceOf(this, pSourceSurface);
  Surface* dst = SurfaceOf(this, pDestSurface);
  if (!src || !dst || src == dst || !src->IsColorTarget() || !dst->IsColorTarget()) return D3DERR_INVALIDCALL;
  if (Filter != D3DTEXF_NONE && Filter != D3DTEXF_POINT && Filter != D3DTEXF_LINEAR) return D3DERR_INVALIDCALL;
  const D3DSURFACE_DESC sd = src->Desc(), dd = dst->Desc();
  auto inside = [](const RECT* r, const D3DSURFACE_DESC& d, RECT* out) {
    if (!r) {
      *out = {0, 0, static_cast<LONG>(d.Width), static_cast<LONG>(d.Height)};
      return true;
    }
    *out = *r;
    return r->left >= 0 && r->top >= 0 && r->left < r->right && r->top < r->bottom &&
           static_cast<UINT>(r->right) <= d.Width && static_cast<UINT>(r->bottom) <= d.Height;
  };
  RECT s, d;
  if (!inside(pSourceRect, sd, &s) || !inside(pDestRect, dd, &d)) return D3DERR_INVALIDCALL;
  renderer_->Blit(src, s, dst, d, Filter == D3DTEXF_LINEAR);
  return D3D_OK;
}

}  // namespace kvrd3d
