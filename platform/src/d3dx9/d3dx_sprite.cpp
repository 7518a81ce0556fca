// ID3DXSprite: textured rectangles queued between Begin and End and drawn in batches.
// Implemented: Draw places the source rectangle (or the whole of level 0) with `center` at
//   `position`, through the transform set when it was queued; Flush and End draw the queue as
//   triangle lists with DrawPrimitiveUP, one call per run of one texture (the queue sorted by
//   texture, or by depth either way, when Begin asked). Outside object space, the world and view
//   are identity and the projection maps the viewport to pixels, texel centres on pixel centres.
//   Begin sets the render, stage and sampler states sprites are drawn with (filters anisotropic,
//   to the device's most, when its caps offer it, linear otherwise; unless
//   D3DXSPRITE_DONOTMODIFY_RENDERSTATE) and End puts back every one it changed, with the
//   texture, FVF, transforms, pixel shader and stream 0 (unless D3DXSPRITE_DONOTSAVESTATE).
//   D3DXSPRITE_BILLBOARD turns each rectangle to face the view set with SetWorldViewLH/RH (or
//   the device's at Begin). Queued textures are held until drawn unless
//   D3DXSPRITE_DO_NOT_ADDREF_TEXTURE. Nothing is kept on the device between frames, so
//   OnLostDevice and OnResetDevice have nothing to do.
#include <d3dx9.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <vector>

#include "d3d9/d3d9_internal.h"

namespace {

const GUID kIidSprite = {0xBA0B762D, 0x7D28, 0x43EC, {0xB9, 0xDC, 0x2F, 0x84, 0x44, 0x3B, 0x06, 0x14}};

struct SpriteVertex {
  float x, y, z;
  D3DCOLOR color;
  float u, v;
};
constexpr DWORD kSpriteFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
// The anisotropic bits of D3DCAPS9::TextureFilterCaps.
constexpr DWORD kMinAnisotropic = 0x00000400;
constexpr DWORD kMagAnisotropic = 0x04000000;
// Rectangles per DrawPrimitiveUP call.
constexpr size_t kBatch = 4096;
// Rectangles queued before Draw flushes by itself, so that a program that never flushes still
// draws in bounded memory.
constexpr size_t kMaxQueued = 65536;

struct Queued {
  IDirect3DTexture9* texture;
  SpriteVertex corners[4];  // top left, top right, bottom left, bottom right
  float depth;
  size_t order;
};

const D3DRENDERSTATETYPE kRenderStates[] = {
    D3DRS_ALPHABLENDENABLE, D3DRS_ALPHATESTENABLE, D3DRS_ALPHAREF,      D3DRS_ALPHAFUNC,
    D3DRS_BLENDOP,          D3DRS_SRCBLEND,        D3DRS_DESTBLEND,     D3DRS_CULLMODE,
    D3DRS_FILLMODE,         D3DRS_FOGENABLE,       D3DRS_LIGHTING,      D3DRS_SHADEMODE,
    D3DRS_SPECULARENABLE,   D3DRS_STENCILENABLE,   D3DRS_CLIPPING,      D3DRS_COLORWRITEENABLE,
    D3DRS_CLIPPLANEENABLE,  D3DRS_VERTEXBLEND,     D3DRS_WRAP0,         D3DRS_DIFFUSEMATERIALSOURCE,
    D3DRS_RANGEFOGENABLE,   D3DRS_SRGBWRITEENABLE, D3DRS_SEPARATEALPHABLENDENABLE,
    D3DRS_INDEXEDVERTEXBLENDENABLE};
struct StageState {
  DWORD stage;
  D3DTEXTURESTAGESTATETYPE type;
};
const StageState kStageStates[] = {
    {0, D3DTSS_COLOROP},       {0, D3DTSS_COLORARG1},     {0, D3DTSS_COLORARG2},
    {0, D3DTSS_ALPHAOP},       {0, D3DTSS_ALPHAARG1},     {0, D3DTSS_ALPHAARG2},
    {0, D3DTSS_TEXCOORDINDEX}, {0, D3DTSS_TEXTURETRANSFORMFLAGS}, {1, D3DTSS_COLOROP},
    {1, D3DTSS_ALPHAOP}};
const D3DSAMPLERSTATETYPE kSamplerStates[] = {D3DSAMP_ADDRESSU,  D3DSAMP_ADDRESSV,    D3DSAMP_MAGFILTER,
                                              D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER,   D3DSAMP_MAXMIPLEVEL,
                                              D3DSAMP_MIPMAPLODBIAS, D3DSAMP_MAXANISOTROPY};
const D3DTRANSFORMSTATETYPE kTransforms[] = {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION};

// Every state a sprite batch changes, as it was before Begin.
struct SavedState {
  DWORD render[sizeof(kRenderStates) / sizeof(kRenderStates[0])] = {};
  DWORD stage[sizeof(kStageStates) / sizeof(kStageStates[0])] = {};
  DWORD sampler[sizeof(kSamplerStates) / sizeof(kSamplerStates[0])] = {};
  D3DMATRIX transforms[3] = {};
  IDirect3DBaseTexture9* texture = nullptr;
  IDirect3DPixelShader9* pixelShader = nullptr;
  IDirect3DVertexBuffer9* stream = nullptr;
  UINT streamOffset = 0, streamStride = 0;
  DWORD fvf = 0;

  void Capture(IDirect3DDevice9* d) {
    for (size_t i = 0; i < std::size(kRenderStates); ++i) d->GetRenderState(kRenderStates[i], &render[i]);
    for (size_t i = 0; i < std::size(kStageStates); ++i)
      d->GetTextureStageState(kStageStates[i].stage, kStageStates[i].type, &stage[i]);
    for (size_t i = 0; i < std::size(kSamplerStates); ++i) d->GetSamplerState(0, kSamplerStates[i], &sampler[i]);
    for (size_t i = 0; i < 3; ++i) d->GetTransform(kTransforms[i], &transforms[i]);
    d->GetTexture(0, &texture);
    d->GetPixelShader(&pixelShader);
    d->GetStreamSource(0, &stream, &streamOffset, &streamStride);
    d->GetFVF(&fvf);
  }
  void Apply(IDirect3DDevice9* d) {
    for (size_t i = 0; i < std::size(kRenderStates); ++i) d->SetRenderState(kRenderStates[i], render[i]);
    for (size_t i = 0; i < std::size(kStageStates); ++i)
      d->SetTextureStageState(kStageStates[i].stage, kStageStates[i].type, stage[i]);
    for (size_t i = 0; i < std::size(kSamplerStates); ++i) d->SetSamplerState(0, kSamplerStates[i], sampler[i]);
    for (size_t i = 0; i < 3; ++i) d->SetTransform(kTransforms[i], &transforms[i]);
    d->SetTexture(0, texture);
    d->SetPixelShader(pixelShader);
    d->SetStreamSource(0, stream, streamOffset, streamStride);
    d->SetFVF(fvf);
    Drop();
  }
  void Drop() {
    if (texture) texture->Release();
    if (pixelShader) pixelShader->Release();
    if (stream) stream->Release();
    texture = nullptr;
    pixelShader = nullptr;
    stream = nullptr;
  }
};

class Sprite final : public ID3DXSprite {
 public:
  explicit Sprite(IDirect3DDevice9* device) : device_(device) {
    device_->AddRef();
    D3DXMatrixIdentity(&transform_);
    D3DXMatrixIdentity(&world_);
    D3DXMatrixIdentity(&view_);
  }
  ~Sprite() {
    ReleaseQueue();
    saved_.Drop();
    device_->Release();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return kvrd3d::QueryFor(this, riid, ppv, {&kIidSprite});
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetDevice(LPDIRECT3DDEVICE9* device) override {
    if (!device) return D3DERR_INVALIDCALL;
    *device = device_;
    device_->AddRef();
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTransform(D3DXMATRIX* transform) override {
    if (!transform) return D3DERR_INVALIDCALL;
    *transform = transform_;
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE SetTransform(const D3DXMATRIX* transform) override {
    if (!transform) return D3DERR_INVALIDCALL;
    transform_ = *transform;
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE SetWorldViewRH(const D3DXMATRIX* world, const D3DXMATRIX* view) override {
    return SetWorldView(world, view, true);
  }
  HRESULT STDMETHODCALLTYPE SetWorldViewLH(const D3DXMATRIX* world, const D3DXMATRIX* view) override {
    return SetWorldView(world, view, false);
  }

  HRESULT STDMETHODCALLTYPE Begin(DWORD flags) override {
    if (begun_) return D3DERR_INVALIDCALL;
    flags_ = flags;
    if (!(flags & D3DXSPRITE_DONOTSAVESTATE)) saved_.Capture(device_);
    if ((flags & D3DXSPRITE_BILLBOARD) && !worldViewSet_) {
      device_->GetTransform(D3DTS_WORLD, &world_);
      device_->GetTransform(D3DTS_VIEW, &view_);
    }
    if (!(flags & D3DXSPRITE_DONOTMODIFY_RENDERSTATE)) SetStates();
    begun_ = true;
    return D3D_OK;
  }

  HRESULT STDMETHODCALLTYPE Draw(LPDIRECT3DTEXTURE9 texture, const RECT* source, const D3DXVECTOR3* center,
                                 const D3DXVECTOR3* position, D3DCOLOR color) override {
    if (!begun_ || !texture) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc;
    if (FAILED(texture->GetLevelDesc(0, &desc)) || desc.Width == 0 || desc.Height == 0) return D3DERR_INVALIDCALL;
    RECT r = {0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    if (source) r = *source;
    if (queue_.size() >= kMaxQueued && FAILED(Flush())) return D3DERR_INVALIDCALL;

    Queued q;
    q.texture = texture;
    q.order = queue_.size();
    const D3DXVECTOR3 c = center ? *center : D3DXVECTOR3(0, 0, 0);
    const D3DXVECTOR3 p = position ? *position : D3DXVECTOR3(0, 0, 0);
    const float width = static_cast<float>(r.right) - static_cast<float>(r.left);
    const float height = static_cast<float>(r.bottom) - static_cast<float>(r.top);
    const float u0 = static_cast<float>(r.left) / desc.Width, u1 = static_cast<float>(r.right) / desc.Width;
    const float v0 = static_cast<float>(r.top) / desc.Height, v1 = static_cast<float>(r.bottom) / desc.Height;
    const float xs[4] = {0, width, 0, width}, ys[4] = {0, 0, height, height};
    const float us[4] = {u0, u1, u0, u1}, vs[4] = {v0, v0, v1, v1};
    for (int i = 0; i < 4; ++i) {
      D3DXVECTOR3 corner(xs[i] - c.x, ys[i] - c.y, -c.z);
      if (flags_ & D3DXSPRITE_BILLBOARD) corner = FacingView(corner);
      corner += p;
      D3DXVECTOR3 placed;
      D3DXVec3TransformCoord(&placed, &corner, &transform_);
      q.corners[i] = {placed.x, placed.y, placed.z, color, us[i], vs[i]};
    }
    q.depth = q.corners[0].z;
    try {
      queue_.push_back(q);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    if (!(flags_ & D3DXSPRITE_DO_NOT_ADDREF_TEXTURE)) texture->AddRef();
    return D3D_OK;
  }

  HRESULT STDMETHODCALLTYPE Flush() override {
    if (!begun_) return D3DERR_INVALIDCALL;
    if (queue_.empty()) return D3D_OK;
    if (flags_ & D3DXSPRITE_SORT_TEXTURE)
      std::stable_sort(queue_.begin(), queue_.end(),
                       [](const Queued& a, const Queued& b) { return a.texture < b.texture; });
    if (flags_ & D3DXSPRITE_SORT_DEPTH_FRONTTOBACK)
      std::stable_sort(queue_.begin(), queue_.end(), [](const Queued& a, const Queued& b) { return a.depth < b.depth; });
    else if (flags_ & D3DXSPRITE_SORT_DEPTH_BACKTOFRONT)
      std::stable_sort(queue_.begin(), queue_.end(), [](const Queued& a, const Queued& b) { return a.depth > b.depth; });

    device_->SetFVF(kSpriteFvf);
    std::vector<SpriteVertex> vertices;
    size_t start = 0;
    while (start < queue_.size()) {
      size_t end = start;
      while (end < queue_.size() && end - start < kBatch && queue_[end].texture == queue_[start].texture) ++end;
      vertices.clear();
      vertices.reserve((end - start) * 6);
      for (size_t i = start; i < end; ++i) {
        const SpriteVertex* v = queue_[i].corners;
        for (int k : {0, 1, 2, 1, 3, 2}) vertices.push_back(v[k]);
      }
      device_->SetTexture(0, queue_[start].texture);
      device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>((end - start) * 2), vertices.data(),
                               sizeof(SpriteVertex));
      start = end;
    }
    ReleaseQueue();
    return D3D_OK;
  }

  HRESULT STDMETHODCALLTYPE End() override {
    if (!begun_) return D3DERR_INVALIDCALL;
    const HRESULT hr = Flush();
    if (!(flags_ & D3DXSPRITE_DONOTSAVESTATE)) saved_.Apply(device_);
    begun_ = false;
    return hr;
  }

  HRESULT STDMETHODCALLTYPE OnLostDevice() override { return D3D_OK; }
  HRESULT STDMETHODCALLTYPE OnResetDevice() override { return D3D_OK; }

 private:
  HRESULT SetWorldView(const D3DXMATRIX* world, const D3DXMATRIX* view, bool rightHanded) {
    if (world) world_ = *world;
    if (view) view_ = *view;
    worldViewSet_ = true;
    rightHanded_ = rightHanded;
    return D3D_OK;
  }

  // A corner offset from the rectangle's centre, turned into the plane facing the camera:
  // the view's right and up axes brought back into world space.
  D3DXVECTOR3 FacingView(const D3DXVECTOR3& offset) const {
    D3DXMATRIX worldView, inverse;
    D3DXMatrixMultiply(&worldView, &world_, &view_);
    if (!D3DXMatrixInverse(&inverse, nullptr, &worldView)) return offset;
    const float flip = rightHanded_ ? -1.0f : 1.0f;
    // Sprite y runs down the screen; view y runs up.
    const D3DXVECTOR3 local(offset.x * flip, -offset.y, offset.z);
    D3DXVECTOR3 out;
    D3DXVec3TransformNormal(&out, &local, &inverse);
    return out;
  }

  void SetStates() {
    IDirect3DDevice9* d = device_;
    const bool blend = (flags_ & D3DXSPRITE_ALPHABLEND) != 0;
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, blend);
    d->SetRenderState(D3DRS_ALPHATESTENABLE, blend);
    d->SetRenderState(D3DRS_ALPHAREF, 0);
    d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    d->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    d->SetRenderState(D3DRS_FOGENABLE, FALSE);
    d->SetRenderState(D3DRS_RANGEFOGENABLE, FALSE);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    d->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    d->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    d->SetRenderState(D3DRS_CLIPPING, TRUE);
    d->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
    d->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_GREEN |
                                                  D3DCOLORWRITEENABLE_BLUE | D3DCOLORWRITEENABLE_ALPHA);
    d->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    d->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE);
    d->SetRenderState(D3DRS_WRAP0, 0);
    d->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    d->SetRenderState(D3DRS_SRGBWRITEENABLE, FALSE);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    d->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    d->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    // Anisotropic filtering where the device offers it, as D3DX chooses; linear otherwise.
    D3DCAPS9 caps;
    std::memset(&caps, 0, sizeof(caps));
    d->GetDeviceCaps(&caps);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER,
                       (caps.TextureFilterCaps & kMagAnisotropic) ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR);
    d->SetSamplerState(0, D3DSAMP_MINFILTER,
                       (caps.TextureFilterCaps & kMinAnisotropic) ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR);
    d->SetSamplerState(0, D3DSAMP_MAXANISOTROPY, std::max<DWORD>(caps.MaxAnisotropy, 1));
    d->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);
    d->SetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, 0);
    d->SetPixelShader(nullptr);

    if (flags_ & D3DXSPRITE_OBJECTSPACE) {
      if (worldViewSet_) {
        d->SetTransform(D3DTS_WORLD, &world_);
        d->SetTransform(D3DTS_VIEW, &view_);
      }
      return;
    }
    D3DXMATRIX identity, projection;
    D3DXMatrixIdentity(&identity);
    d->SetTransform(D3DTS_WORLD, &identity);
    d->SetTransform(D3DTS_VIEW, &identity);
    // Pixels of the viewport, with the half-pixel shift that puts texel centres on pixel centres.
    D3DVIEWPORT9 vp = {0, 0, 1, 1, 0.0f, 1.0f};
    d->GetViewport(&vp);
    const float l = vp.X + 0.5f, r = vp.X + std::max<DWORD>(vp.Width, 1) + 0.5f;
    const float t = vp.Y + 0.5f, b = vp.Y + std::max<DWORD>(vp.Height, 1) + 0.5f;
    const float zn = vp.MinZ, zf = vp.MaxZ != vp.MinZ ? vp.MaxZ : vp.MinZ + 1.0f;
    D3DXMatrixIdentity(&projection);
    projection._11 = 2.0f / (r - l);
    projection._22 = 2.0f / (t - b);
    projection._33 = 1.0f / (zf - zn);
    projection._41 = (l + r) / (l - r);
    projection._42 = (t + b) / (b - t);
    projection._43 = zn / (zn - zf);
    projection._44 = 1.0f;
    d->SetTransform(D3DTS_PROJECTION, &projection);
  }

  void ReleaseQueue() {
    if (!(flags_ & D3DXSPRITE_DO_NOT_ADDREF_TEXTURE))
      for (Queued& q : queue_) q.texture->Release();
    queue_.clear();
  }

  std::atomic<ULONG> refs_{1};
  IDirect3DDevice9* device_;
  D3DXMATRIX transform_, world_, view_;
  bool worldViewSet_ = false;
  bool rightHanded_ = false;
  bool begun_ = false;
  DWORD flags_ = 0;
  SavedState saved_;
  std::vector<Queued> queue_;
};

}  // namespace

extern "C" HRESULT WINAPI D3DXCreateSprite(LPDIRECT3DDEVICE9 device, LPD3DXSPRITE* sprite) {
  if (!device || !sprite) return D3DERR_INVALIDCALL;
  *sprite = new (std::nothrow) Sprite(device);
  return *sprite ? D3D_OK : E_OUTOFMEMORY;
}
