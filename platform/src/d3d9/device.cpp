// Direct3D 9 device: state, resources and scenes; drawing goes to gl_renderer.cpp, state blocks
// to state_block.cpp, the back buffer as a surface and copies of it to back_buffer.cpp. Each Set*
// call tells the renderer what it dirtied (dirty_state.h).
// Implemented: every render, texture-stage and sampler state is stored and returned (the ones
//   drawing honours are listed in gl_renderer.cpp), transforms, material, viewport, FVF, stream 0
//   (streams 1..15 are stored), textures on samplers 0..15 and the four vertex samplers, state
//   blocks recorded with BeginStateBlock/EndStateBlock, lights at any index (SetLight, GetLight,
//   LightEnable, GetLightEnable; the first eight enabled are drawn), Clear, Present (always the whole back
//   buffer to the device's window: rectangles, window override and dirty region are ignored;
//   whatever the swap effect, the back buffer keeps the frame just presented), DrawPrimitive,
//   DrawPrimitiveUP (through a buffer of the device's own, leaving stream 0 unset), index buffers,
//   DrawIndexedPrimitive and DrawIndexedPrimitiveUP (leaving stream 0 and the indices unset).
//   An indexed draw whose indices name a vertex outside stream 0's buffer (or, UP, past
//   MinVertexIndex + NumVertices) is refused with D3DERR_INVALIDCALL and draws nothing.
//   Reset to a windowed back buffer of a new size or format, once the program has released every
//   resource of the default pool (else D3DERR_INVALIDCALL, and the device is lost until a Reset
//   succeeds: TestCooperativeLevel says D3DERR_DEVICENOTRESET, Present D3DERR_DEVICELOST); all
//   state returns to its defaults. The device stays on the window it was made for.
// Not implemented (D3DERR_INVALIDCALL): pixel and vertex shaders other than none.
#include <algorithm>
#include <cstring>

#include "d3d9/d3d9_internal.h"
#include "d3d9/dirty_state.h"
#include "d3d9/gl_renderer.h"
#include "win32/window_internal.h"

namespace kvrd3d {

namespace {

DWORD FloatBits(float f) {
  DWORD d;
  std::memcpy(&d, &f, 4);
  return d;
}

void Identity(D3DMATRIX* m) {
  std::memset(m, 0, sizeof(*m));
  m->_11 = m->_22 = m->_33 = m->_44 = 1.0f;
}

// What Direct3D gives a light that LightEnable switches on before any SetLight: white light
// shining along +z.
D3DLIGHT9 DefaultLight() {
  D3DLIGHT9 l;
  std::memset(&l, 0, sizeof(l));
  l.Type = D3DLIGHT_DIRECTIONAL;
  l.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
  l.Direction = {0.0f, 0.0f, 1.0f};
  return l;
}

bool ValidLight(const D3DLIGHT9& l) {
  switch (l.Type) {
    case D3DLIGHT_DIRECTIONAL:
      return true;  // range and attenuation are not used
    case D3DLIGHT_POINT:
    case D3DLIGHT_SPOT:
      // Any range is taken (a negative one reaches nothing), as other Direct3D 9 devices do;
      // attenuation must not be negative, and NaN fails the test too.
      return l.Attenuation0 >= 0.0f && l.Attenuation1 >= 0.0f && l.Attenuation2 >= 0.0f;
    default:
      return false;
  }
}

bool ValidTransform(D3DTRANSFORMSTATETYPE t) {
  return t == D3DTS_VIEW || t == D3DTS_PROJECTION || (t >= D3DTS_TEXTURE0 && t <= D3DTS_TEXTURE7) ||
         (t >= 256 && t < 512);
}

}  // namespace

int SamplerSlot(DWORD sampler) {
  if (sampler < kSamplerCount) return static_cast<int>(sampler);
  if (sampler >= 257 && sampler <= 260) return static_cast<int>(kSamplerCount + sampler - 257);
  return -1;
}

Device* AsDevice(IDirect3DDevice9* device) { return static_cast<Device*>(device); }

Device::Device(Direct3D* d3d, HWND window, const D3DPRESENT_PARAMETERS& pp, DWORD behaviour)
    : d3d_(d3d), window_(window), pp_(pp), behaviour_(behaviour) {
  d3d_->AddRef();
}

namespace {

// The back buffer's own depth and stencil bits; a depth format the layer does not make is kept as
// D24X8.
void AutoDepthStencilBits(const D3DPRESENT_PARAMETERS& pp, int* depth, int* stencil) {
  *depth = *stencil = 0;
  if (!pp.EnableAutoDepthStencil) return;
  if (!DepthStencilBits(pp.AutoDepthStencilFormat, depth, stencil)) {
    *depth = 24;
    *stencil = 0;
  }
}

}  // namespace

bool Device::ChoosePresentParameters(D3DPRESENT_PARAMETERS* pp, HRESULT* error) const {
  *error = D3DERR_NOTAVAILABLE;
  if (!pp->Windowed || pp->MultiSampleType != D3DMULTISAMPLE_NONE) return false;
  if (pp->BackBufferFormat != D3DFMT_UNKNOWN && pp->BackBufferFormat != D3DFMT_X8R8G8B8 &&
      pp->BackBufferFormat != D3DFMT_A8R8G8B8)
    return false;
  *error = D3DERR_INVALIDCALL;
  int w = 0, h = 0;
  KvrWindowClientSize(window_, &w, &h);
  if (pp->BackBufferWidth == 0) pp->BackBufferWidth = static_cast<UINT>(w > 0 ? w : 1);
  if (pp->BackBufferHeight == 0) pp->BackBufferHeight = static_cast<UINT>(h > 0 ? h : 1);
  if (pp->BackBufferWidth > 16384 || pp->BackBufferHeight > 16384) return false;
  if (pp->BackBufferFormat == D3DFMT_UNKNOWN) pp->BackBufferFormat = D3DFMT_X8R8G8B8;
  if (pp->BackBufferCount == 0) pp->BackBufferCount = 1;
  return true;
}

bool Device::Init() {
  // Only a window the layer made can hold a device (not the desktop window).
  if (!KvrIsDeviceWindow(window_)) return false;
  HRESULT error;
  if (!ChoosePresentParameters(&pp_, &error)) return false;
  int depthBits = 0, stencilBits = 0;
  AutoDepthStencilBits(pp_, &depthBits, &stencilBits);
  KvrRetainWindow(window_);
  renderer_ = GlRenderer::Create(window_, pp_.BackBufferWidth, pp_.BackBufferHeight,
                                 pp_.BackBufferFormat == D3DFMT_A8R8G8B8, depthBits, stencilBits);
  if (!renderer_) {
    KvrReleaseWindow(window_);
    window_ = nullptr;
    return false;
  }
  glMaxTexture_ = renderer_->MaxTextureSize();
  backBuffer_.reset(new Surface(this, nullptr, 0));
  if (pp_.EnableAutoDepthStencil) autoDepth_.reset(new Surface(this, nullptr, 0, true));
  target_ = backBuffer_.get();
  depth_ = autoDepth_.get();
  SetDefaultStates();
  return true;
}

Device::~Device() {
  if (renderer_) renderer_->MakeCurrent();
  delete recording_;
  recording_ = nullptr;
  // Dropping the bindings may delete resources the program has already released; they free
  // their GL objects while the context still exists.
  for (auto& t : state_.textures) t.Reset(nullptr);
  for (auto& s : state_.streams) s.buffer.Reset(nullptr);
  state_.indices.Reset(nullptr);
  userVertices_.Reset(nullptr);
  targetHold_.Reset(nullptr);
  depthHold_.Reset(nullptr);
  userIndices_.Reset(nullptr);
  backBuffer_.reset();
  autoDepth_.reset();
  renderer_.reset();
  if (window_) KvrReleaseWindow(window_);
  d3d_->Release();
}

void Device::SetDefaultStates() {
  DWORD* rs = state_.renderStates;
  rs[D3DRS_ZENABLE] = pp_.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
  rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
  rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  rs[D3DRS_ZWRITEENABLE] = TRUE;
  rs[D3DRS_ALPHATESTENABLE] = FALSE;
  rs[D3DRS_LASTPIXEL] = TRUE;
  rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  rs[D3DRS_CULLMODE] = D3DCULL_CCW;
  rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  rs[D3DRS_ALPHAREF] = 0;
  rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_FOGEND] = FloatBits(1.0f);
  rs[D3DRS_FOGDENSITY] = FloatBits(1.0f);
  rs[D3DRS_STENCILFAIL] = rs[D3DRS_STENCILZFAIL] = rs[D3DRS_STENCILPASS] = D3DSTENCILOP_KEEP;
  rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_STENCILMASK] = rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFF;
  rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
  rs[D3DRS_CLIPPING] = TRUE;
  rs[D3DRS_LIGHTING] = TRUE;
  rs[D3DRS_COLORVERTEX] = TRUE;
  rs[D3DRS_LOCALVIEWER] = TRUE;
  rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
  rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
  rs[D3DRS_POINTSIZE] = FloatBits(1.0f);
  rs[D3DRS_POINTSIZE_MIN] = FloatBits(1.0f);
  rs[D3DRS_POINTSCALE_A] = FloatBits(1.0f);
  rs[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
  rs[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFF;
  rs[D3DRS_DEBUGMONITORTOKEN] = 0xbaadcafe;
  rs[D3DRS_POINTSIZE_MAX] = FloatBits(256.0f);
  rs[D3DRS_COLORWRITEENABLE] = rs[D3DRS_COLORWRITEENABLE1] = rs[D3DRS_COLORWRITEENABLE2] =
      rs[D3DRS_COLORWRITEENABLE3] = 0xF;
  rs[D3DRS_BLENDOP] = rs[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;
  rs[D3DRS_POSITIONDEGREE] = 3;  // D3DDEGREE_CUBIC
  rs[D3DRS_NORMALDEGREE] = 1;    // D3DDEGREE_LINEAR
  rs[D3DRS_MINTESSELLATIONLEVEL] = rs[D3DRS_MAXTESSELLATIONLEVEL] = FloatBits(1.0f);
  rs[D3DRS_ADAPTIVETESS_Z] = FloatBits(1.0f);
  rs[D3DRS_CCW_STENCILFAIL] = rs[D3DRS_CCW_STENCILZFAIL] = rs[D3DRS_CCW_STENCILPASS] =
      D3DSTENCILOP_KEEP;
  rs[D3DRS_CCW_STENCILFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_BLENDFACTOR] = 0xFFFFFFFF;
  rs[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
  rs[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;

  for (DWORD s = 0; s < kStageCount; ++s) {
    DWORD* ts = state_.stageStates[s];
    ts[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    ts[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    ts[D3DTSS_TEXCOORDINDEX] = s;
    ts[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
    ts[D3DTSS_COLORARG0] = ts[D3DTSS_ALPHAARG0] = ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
  }
  for (DWORD s = 0; s < kAllSamplerCount; ++s) {
    DWORD* ss = state_.samplerStates[s];
    ss[D3DSAMP_ADDRESSU] = ss[D3DSAMP_ADDRESSV] = ss[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    ss[D3DSAMP_MAGFILTER] = ss[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    ss[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    ss[D3DSAMP_MAXANISOTROPY] = 1;
  }
  for (auto& m : state_.transforms) Identity(&m);
  state_.viewport = {0, 0, pp_.BackBufferWidth, pp_.BackBufferHeight, 0.0f, 1.0f};
}

HRESULT Device::QueryInterface(REFIID riid, void** ppv) {
  return QueryFor(this, riid, ppv, {&kIidDevice9});
}

ULONG Device::AddRef() { return ++refs_; }

ULONG Device::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

void Device::MarkDirty(uint64_t bits) {
  if (!recording_ && renderer_) renderer_->MarkDirty(bits);
}

void Device::MakeCurrent() {
  if (renderer_) renderer_->MakeCurrent();
}

UINT Device::MaxTextureSize() const {
  UINT size = glMaxTexture_;
  if (DeviceSeams().maxTextureSize && DeviceSeams().maxTextureSize < size)
    size = DeviceSeams().maxTextureSize;
  return size;
}

HRESULT Device::GetDirect3D(IDirect3D9** ppD3D9) {
  if (!ppD3D9) return D3DERR_INVALIDCALL;
  *ppD3D9 = d3d_;
  d3d_->AddRef();
  return D3D_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* pCaps) {
  if (!pCaps) return D3DERR_INVALIDCALL;
  FillCaps(pCaps, 0, D3DDEVTYPE_HAL, glMaxTexture_);
  return D3D_OK;
}

HRESULT Device::GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) {
  if (!pMode || iSwapChain != 0) return D3DERR_INVALIDCALL;
  DesktopMode(pMode);
  return D3D_OK;
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* pp) {
  if (!pp) return D3DERR_INVALIDCALL;
  D3DPRESENT_PARAMETERS chosen = *pp;
  HRESULT error;
  if (!ChoosePresentParameters(&chosen, &error)) return error;
  // The program must have released every resource of the default pool first; until a Reset
  // succeeds the device is lost.
  for (DeviceChild* child : defaultPool_) {
    if (child->publicRefs() > 0) {
      lost_ = true;
      return D3DERR_INVALIDCALL;
    }
  }
  MakeCurrent();
  delete recording_;
  recording_ = nullptr;
  inScene_ = false;
  // Every state goes back to its default, every binding is dropped.
  state_ = StateValues();
  // Drawing goes back to the back buffer and its own depth stencil.
  targetHold_.Reset(nullptr);
  depthHold_.Reset(nullptr);
  target_ = backBuffer_.get();
  depth_ = nullptr;
  int depthBits = 0, stencilBits = 0;
  AutoDepthStencilBits(chosen, &depthBits, &stencilBits);
  if (!renderer_->ResizeBackBuffer(chosen.BackBufferWidth, chosen.BackBufferHeight,
                                   chosen.BackBufferFormat == D3DFMT_A8R8G8B8, depthBits, stencilBits)) {
    lost_ = true;
    return D3DERR_INVALIDCALL;
  }
  pp_ = chosen;
  pp_.hDeviceWindow = window_;
  if (pp_.EnableAutoDepthStencil && !autoDepth_) autoDepth_.reset(new Surface(this, nullptr, 0, true));
  depth_ = pp_.EnableAutoDepthStencil ? autoDepth_.get() : nullptr;
  *pp = chosen;
  SetDefaultStates();
  lost_ = false;
  return D3D_OK;
}

HRESULT Device::Present(const RECT*, const RECT*, HWND, const RGNDATA*) {
  if (lost_) return D3DERR_DEVICELOST;
  ++counters_.presents;
  renderer_->Present();
  return D3D_OK;
}

HRESULT Device::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format,
                              D3DPOOL Pool, IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) {
  if (!ppTexture) return D3DERR_INVALIDCALL;
  *ppTexture = nullptr;
  if (pSharedHandle) return D3DERR_INVALIDCALL;
  if (Width == 0 || Height == 0 || Width > MaxTextureSize() || Height > MaxTextureSize())
    return D3DERR_INVALIDCALL;
  if (Usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) {
    // Render targets and depth stencils live in the default pool only.
    if (Pool != D3DPOOL_DEFAULT || (Usage & D3DUSAGE_RENDERTARGET && Usage & D3DUSAGE_DEPTHSTENCIL))
      return D3DERR_INVALIDCALL;
    const bool ok = Usage & D3DUSAGE_RENDERTARGET ? Format == D3DFMT_A8R8G8B8 || Format == D3DFMT_X8R8G8B8
                                                   : DepthStencilBits(Format, nullptr, nullptr);
    if (!ok) return D3DERR_INVALIDCALL;
  } else {
    if (Pool != D3DPOOL_DEFAULT && Pool != D3DPOOL_MANAGED && Pool != D3DPOOL_SYSTEMMEM &&
        Pool != D3DPOOL_SCRATCH)
      return D3DERR_INVALIDCALL;
    if (TextureFormatBytes(Format) == 0) return D3DERR_INVALIDCALL;
  }
  UINT full = 1;
  for (UINT size = Width > Height ? Width : Height; size > 1; size >>= 1) ++full;
  if (Levels == 0) Levels = full;  // the whole chain down to 1x1
  if (Levels > full) return D3DERR_INVALIDCALL;
  *ppTexture = new Texture(this, Width, Height, Levels, Usage, Format, Pool);
  return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                   IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle) {
  if (!ppVertexBuffer) return D3DERR_INVALIDCALL;
  *ppVertexBuffer = nullptr;
  if (pSharedHandle || Length == 0) return D3DERR_INVALIDCALL;
  if (Pool != D3DPOOL_DEFAULT && Pool != D3DPOOL_MANAGED && Pool != D3DPOOL_SYSTEMMEM)
    return D3DERR_INVALIDCALL;
  if (FVF != 0) {
    FvfLayout layout = ParseFvf(FVF);
    if (!layout.valid || Length < layout.size) return D3DERR_INVALIDCALL;
  }
  Seams& seams = DeviceSeams();
  if (seams.vertexBufferCreationsLeft == 0) return D3DERR_OUTOFVIDEOMEMORY;
  if (seams.vertexBufferCreationsLeft > 0) --seams.vertexBufferCreationsLeft;
  *ppVertexBuffer = new VertexBuffer(this, Length, Usage, FVF, Pool);
  return D3D_OK;
}

HRESULT Device::BeginScene() {
  if (inScene_) return D3DERR_INVALIDCALL;
  inScene_ = true;
  return D3D_OK;
}

HRESULT Device::EndScene() {
  if (!inScene_) return D3DERR_INVALIDCALL;
  inScene_ = false;
  return D3D_OK;
}

HRESULT Device::Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                      DWORD Stencil) {
  if ((Count != 0) != (pRects != nullptr)) {
    // Direct3D ignores a count without rectangles; rectangles without a count clear nothing.
    if (pRects) return D3D_OK;
    Count = 0;
  }
  if (Flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) return D3DERR_INVALIDCALL;
  // Depth and stencil need a depth stencil set, and stencil one whose format has it.
  if ((Flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depth_) return D3DERR_INVALIDCALL;
  int stencilBits = 0;
  if (depth_) DepthStencilBits(depth_->Desc().Format, nullptr, &stencilBits);
  if ((Flags & D3DCLEAR_STENCIL) && stencilBits == 0) return D3DERR_INVALIDCALL;
  ++counters_.clears;
  renderer_->Clear(state_.viewport, Count, pRects, Flags, Color, Z, Stencil);
  return D3D_OK;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) {
  if (!pMatrix || !ValidTransform(State)) return D3DERR_INVALIDCALL;
  if (!recording_ && std::memcmp(&state_.transforms[State], pMatrix, sizeof(D3DMATRIX)) == 0) return D3D_OK;
  Target().transforms[State] = *pMatrix;
  // Under fog the projection tells table fog whether it reads depth or z (turning fog on dirties
  // the keys by itself); lights sit in view space.
  const bool fogKey = State == D3DTS_PROJECTION && state_.renderStates[D3DRS_FOGENABLE];
  MarkDirty(kDirtyTransforms | kDirtyLighting | (fogKey ? kDirtyVertexKey | kDirtyFragmentKey : 0));
  if (recording_) recording_->mask.transforms.set(State);
  return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) {
  if (!pMatrix || !ValidTransform(State)) return D3DERR_INVALIDCALL;
  *pMatrix = state_.transforms[State];
  return D3D_OK;
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* vp) {
  // Inside the render target set now.
  const D3DSURFACE_DESC target = target_->Desc();
  if (!vp || vp->Width == 0 || vp->Height == 0 || static_cast<uint64_t>(vp->X) + vp->Width > target.Width ||
      static_cast<uint64_t>(vp->Y) + vp->Height > target.Height)
    return D3DERR_INVALIDCALL;
  Target().viewport = *vp;
  MarkDirty(kDirtyViewport);
  if (recording_) recording_->mask.viewport = true;
  return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT9* pViewport) {
  if (!pViewport) return D3DERR_INVALIDCALL;
  *pViewport = state_.viewport;
  return D3D_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL9* pMaterial) {
  if (!pMaterial) return D3DERR_INVALIDCALL;
  Target().material = *pMaterial;
  MarkDirty(kDirtyLighting);
  if (recording_) recording_->mask.material = true;
  return D3D_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL9* pMaterial) {
  if (!pMaterial) return D3DERR_INVALIDCALL;
  *pMaterial = state_.material;
  return D3D_OK;
}

HRESULT Device::SetLight(DWORD Index, const D3DLIGHT9* pLight) {
  if (!pLight || !ValidLight(*pLight)) return D3DERR_INVALIDCALL;
  Target().lights[Index].light = *pLight;
  MarkDirty(kDirtyLighting | kDirtyVertexKey);  // the key holds the lights' types
  if (recording_) recording_->mask.lights.insert(Index);
  return D3D_OK;
}

HRESULT Device::GetLight(DWORD Index, D3DLIGHT9* pLight) {
  if (!pLight) return D3DERR_INVALIDCALL;
  auto it = state_.lights.find(Index);
  if (it == state_.lights.end()) return D3DERR_INVALIDCALL;  // never set nor enabled
  *pLight = it->second.light;
  return D3D_OK;
}

HRESULT Device::LightEnable(DWORD Index, BOOL Enable) {
  StateValues& target = Target();
  auto it = target.lights.find(Index);
  if (it == target.lights.end()) {
    it = target.lights.emplace(Index, LightSlot()).first;
    it->second.light = DefaultLight();
  }
  const bool on = Enable != FALSE;
  if (recording_) {
    it->second.enabled = on;
    recording_->mask.lightEnables.insert(Index);
    return D3D_OK;
  }
  if (on == it->second.enabled) return D3D_OK;
  it->second.enabled = on;
  MarkDirty(kDirtyLighting | kDirtyVertexKey);
  std::vector<DWORD>& order = state_.enabledLights;
  if (on) {
    order.push_back(Index);
  } else {
    auto pos = std::find(order.begin(), order.end(), Index);
    if (pos != order.end()) order.erase(pos);
  }
  return D3D_OK;
}

HRESULT Device::GetLightEnable(DWORD Index, BOOL* pEnable) {
  if (!pEnable) return D3DERR_INVALIDCALL;
  auto it = state_.lights.find(Index);
  if (it == state_.lights.end()) return D3DERR_INVALIDCALL;
  // Direct3D reports an enabled light as 128, not TRUE.
  *pEnable = it->second.enabled ? 128 : FALSE;
  return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) {
  if (static_cast<DWORD>(State) >= kRenderStateCount) return D3DERR_INVALIDCALL;
  // Setting what is already set changes nothing a draw would have to apply again.
  if (!recording_ && state_.renderStates[State] == Value) return D3D_OK;
  Target().renderStates[State] = Value;
  MarkDirty(DirtyForRenderState(State));
  if (recording_) recording_->mask.renderStates.set(State);
  return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) {
  if (!pValue || static_cast<DWORD>(State) >= kRenderStateCount) return D3DERR_INVALIDCALL;
  *pValue = state_.renderStates[State];
  return D3D_OK;
}

HRESULT Device::BeginStateBlock() {
  if (recording_) return D3DERR_INVALIDCALL;
  recording_ = new StateBlock(this);
  return D3D_OK;
}

HRESULT Device::EndStateBlock(IDirect3DStateBlock9** ppSB) {
  if (!ppSB) return D3DERR_INVALIDCALL;
  *ppSB = nullptr;
  if (!recording_) return D3DERR_INVALIDCALL;
  StateBlock* block = recording_;
  recording_ = nullptr;
  block->HandOut();
  *ppSB = block;
  return D3D_OK;
}

HRESULT Device::GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) {
  if (!ppTexture) return D3DERR_INVALIDCALL;
  *ppTexture = nullptr;
  int slot = SamplerSlot(Stage);
  if (slot < 0) return D3DERR_INVALIDCALL;
  Texture* t = state_.textures[slot].get();
  if (t) {
    t->AddRef();
    *ppTexture = t;
  }
  return D3D_OK;
}

HRESULT Device::SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) {
  int slot = SamplerSlot(Stage);
  if (slot < 0) return D3DERR_INVALIDCALL;
  Texture* t = nullptr;
  if (pTexture) {
    t = dynamic_cast<Texture*>(pTexture);
    if (!t || t->device() != this) return D3DERR_INVALIDCALL;
  }
  // A stage without a texture passes its input on (the key), and whether a texture has mip
  // levels decides the sampler's filter.
  const Texture* old = state_.textures[slot].get();
  if (static_cast<DWORD>(slot) < kDrawnStages && old != t) {
    DirtyBits bits = DirtyTexture(slot);
    if (!old || !t) bits |= kDirtyFragmentKey | kDirtyVertexKey | DirtySampler(slot);
    else if ((old->levels().size() > 1) != (t->levels().size() > 1)) bits |= DirtySampler(slot);
    MarkDirty(bits);
  }
  Target().textures[slot].Reset(t);
  if (recording_) recording_->mask.textures.set(slot);
  return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) {
  if (!pValue || Stage >= kStageCount || static_cast<DWORD>(Type) >= kStageStateCount)
    return D3DERR_INVALIDCALL;
  *pValue = state_.stageStates[Stage][Type];
  return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) {
  if (Stage >= kStageCount || static_cast<DWORD>(Type) >= kStageStateCount) return D3DERR_INVALIDCALL;
  if (!recording_ && state_.stageStates[Stage][Type] == Value) return D3D_OK;
  Target().stageStates[Stage][Type] = Value;
  MarkDirty(DirtyForStageState(Stage, Type));
  if (recording_) recording_->mask.stageStates.set(Stage * kStageStateCount + Type);
  return D3D_OK;
}

HRESULT Device::GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) {
  int slot = SamplerSlot(Sampler);
  if (!pValue || slot < 0 || static_cast<DWORD>(Type) >= kSamplerStateCount) return D3DERR_INVALIDCALL;
  *pValue = state_.samplerStates[slot][Type];
  return D3D_OK;
}

HRESULT Device::SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) {
  int slot = SamplerSlot(Sampler);
  if (slot < 0 || static_cast<DWORD>(Type) >= kSamplerStateCount) return D3DERR_INVALIDCALL;
  if (!recording_ && state_.samplerStates[slot][Type] == Value) return D3D_OK;
  Target().samplerStates[slot][Type] = Value;
  MarkDirty(DirtyForSamplerState(static_cast<DWORD>(slot), Type));
  if (recording_) recording_->mask.samplerStates.set(slot * kSamplerStateCount + Type);
  return D3D_OK;
}

namespace {

// Vertices a draw of `count` primitives of this type reads; 0 for an unknown type (and for no
// triangles or lines of a list).
uint64_t VerticesOf(D3DPRIMITIVETYPE type, UINT count) {
  switch (type) {
    case D3DPT_POINTLIST: return count;
    case D3DPT_LINELIST: return 2ull * count;
    case D3DPT_LINESTRIP: return count + 1ull;
    case D3DPT_TRIANGLELIST: return 3ull * count;
    case D3DPT_TRIANGLESTRIP: case D3DPT_TRIANGLEFAN: return count + 2ull;
    default: return 0;
  }
}

// The most bytes one DrawPrimitiveUP copies: far beyond a frame's worth of program-side vertices.
constexpr uint64_t kMaxUserVertexBytes = 64ull << 20;

}  // namespace

void Device::CountDraw(UINT primitives) {
  ++counters_.drawCalls;
  counters_.primitives += primitives;
  if (counters_.primitiveCounts.size() < Counters::kMaxRecordedDrawCalls)
    counters_.primitiveCounts.push_back(primitives);
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT count) {
  if (!inScene_) return D3DERR_INVALIDCALL;
  const uint64_t vertices = VerticesOf(type, count);
  if (VerticesOf(type, 1) == 0) return D3DERR_INVALIDCALL;  // an unknown type
  if (count == 0) return D3D_OK;
  const StateValues::Stream& stream = state_.streams[0];
  VertexBuffer* vb = stream.buffer.get();
  if (!vb || state_.fvf == 0) return D3DERR_INVALIDCALL;
  FvfLayout layout = ParseFvf(state_.fvf);
  if (!layout.valid || stream.stride < layout.size) return D3DERR_INVALIDCALL;
  // The last vertex must lie inside the buffer.
  uint64_t end = stream.offset + (start + vertices - 1) * stream.stride + layout.size;
  if (end > vb->bytes().size() || vertices > 0x7fffffff) return D3DERR_INVALIDCALL;
  renderer_->Draw(state_, layout, type, start, static_cast<UINT>(vertices));
  CountDraw(count);
  return D3D_OK;
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT, UINT, UINT startIndex,
                                     UINT count) {
  // The lowest vertex and the number of vertices only hint at what the indices reach; the
  // indices themselves are checked instead.
  return DrawIndexed(type, baseVertex, startIndex, count, UINT64_MAX);
}

HRESULT Device::DrawIndexed(D3DPRIMITIVETYPE type, INT baseVertex, UINT startIndex, UINT count,
                            uint64_t vertexLimit) {
  IndexBuffer* ib = state_.indices.get();
  if (!inScene_ || !ib) return D3DERR_INVALIDCALL;
  const uint64_t indices = VerticesOf(type, count);
  if (VerticesOf(type, 1) == 0) return D3DERR_INVALIDCALL;
  if (count == 0) return D3D_OK;
  const StateValues::Stream& stream = state_.streams[0];
  VertexBuffer* vb = stream.buffer.get();
  if (!vb || state_.fvf == 0) return D3DERR_INVALIDCALL;
  FvfLayout layout = ParseFvf(state_.fvf);
  if (!layout.valid || stream.stride < layout.size) return D3DERR_INVALIDCALL;
  if (static_cast<uint64_t>(startIndex) + indices > ib->indexCount() || indices > 0x7fffffff)
    return D3DERR_INVALIDCALL;
  // Every vertex an index names, moved by the base vertex, must lie inside stream 0's buffer.
  // A base vertex that moves the stream's start before the buffer's is refused too.
  const uint32_t highest = ib->Highest(startIndex, indices);
  const int64_t shift = static_cast<int64_t>(baseVertex) * stream.stride;
  const int64_t first = static_cast<int64_t>(stream.offset) + shift;
  if (first < 0 || first > 0x7fffffff || highest >= vertexLimit ||
      static_cast<uint64_t>(first) + static_cast<uint64_t>(highest) * stream.stride + layout.size >
          vb->bytes().size())
    return D3DERR_INVALIDCALL;
  renderer_->DrawIndexed(state_, layout, type, ib, startIndex, static_cast<UINT>(indices),
                         static_cast<UINT>(first - stream.offset));  // modulo 2^32
  CountDraw(count);
  return D3D_OK;
}

bool Device::BindUserVertices(const void* data, uint64_t bytes, UINT stride) {
  if (bytes > kMaxUserVertexBytes) return false;
  VertexBuffer* vb = userVertices_.get();
  if (!vb || vb->bytes().size() < bytes) {
    // Grown to the next power of two, so a program drawing ever so slightly more each frame
    // does not make a buffer each time.
    uint64_t size = 4096;
    while (size < bytes) size *= 2;
    vb = new VertexBuffer(this, static_cast<UINT>(size), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0,
                          D3DPOOL_DEFAULT);
    userVertices_.Reset(vb);
    vb->ReleasePublic();  // the binding keeps it; no reference of the program's
  }
  void* p = nullptr;
  if (FAILED(vb->Lock(0, static_cast<UINT>(bytes), &p, D3DLOCK_DISCARD))) return false;
  std::memcpy(p, data, static_cast<size_t>(bytes));
  vb->Unlock();
  StateValues::Stream& stream = state_.streams[0];
  stream.buffer.Reset(vb);
  stream.offset = 0;
  stream.stride = stride;
  renderer_->MarkDirty(kDirtyVertexInput);
  return true;
}

bool Device::BindUserIndices(const void* data, uint64_t bytes, D3DFORMAT format) {
  if (bytes > kMaxUserVertexBytes) return false;
  IndexBuffer* ib = userIndices_.get();
  if (!ib || ib->bytes().size() < bytes || ib->format() != format) {
    uint64_t size = 4096;
    while (size < bytes) size *= 2;
    ib = new IndexBuffer(this, static_cast<UINT>(size), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, format,
                         D3DPOOL_DEFAULT);
    userIndices_.Reset(ib);
    ib->ReleasePublic();
  }
  void* p = nullptr;
  if (FAILED(ib->Lock(0, static_cast<UINT>(bytes), &p, 0))) return false;
  std::memcpy(p, data, static_cast<size_t>(bytes));
  ib->Unlock();
  state_.indices.Reset(ib);
  return true;
}

void Device::UnbindUserData() {
  StateValues::Stream& stream = state_.streams[0];
  stream.buffer.Reset(nullptr);
  stream.offset = 0;
  stream.stride = 0;
  state_.indices.Reset(nullptr);
  renderer_->MarkDirty(kDirtyVertexInput);
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT count, const void* data, UINT stride) {
  const uint64_t vertices = VerticesOf(type, count);
  if (!inScene_ || !data || stride == 0 || VerticesOf(type, 1) == 0) return D3DERR_INVALIDCALL;
  if (count == 0) return D3D_OK;
  if (!BindUserVertices(data, vertices * stride, stride)) return D3DERR_INVALIDCALL;
  const HRESULT hr = DrawPrimitive(type, 0, count);
  UnbindUserData();
  return hr;
}

HRESULT Device::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertex, UINT numVertices, UINT count,
                                       const void* indexData, D3DFORMAT format, const void* vertexData,
                                       UINT stride) {
  const uint64_t indices = VerticesOf(type, count);
  if (!inScene_ || !indexData || !vertexData || stride == 0 || VerticesOf(type, 1) == 0 || numVertices == 0 ||
      (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
    return D3DERR_INVALIDCALL;
  if (count == 0) return D3D_OK;
  // The program's memory holds vertices up to minVertex + numVertices and no further: indices
  // past them are refused rather than read.
  const uint64_t vertexEnd = static_cast<uint64_t>(minVertex) + numVertices;
  if (!BindUserVertices(vertexData, vertexEnd * stride, stride) ||
      !BindUserIndices(indexData, indices * (format == D3DFMT_INDEX32 ? 4 : 2), format)) {
    UnbindUserData();
    return D3DERR_INVALIDCALL;
  }
  const HRESULT hr = DrawIndexed(type, 0, 0, count, vertexEnd);
  UnbindUserData();
  return hr;
}

HRESULT Device::CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                  IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) {
  if (!ppIndexBuffer) return D3DERR_INVALIDCALL;
  *ppIndexBuffer = nullptr;
  if (pSharedHandle || Length == 0) return D3DERR_INVALIDCALL;
  if (Format != D3DFMT_INDEX16 && Format != D3DFMT_INDEX32) return D3DERR_INVALIDCALL;
  if (Pool != D3DPOOL_DEFAULT && Pool != D3DPOOL_MANAGED && Pool != D3DPOOL_SYSTEMMEM)
    return D3DERR_INVALIDCALL;
  if (Usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) return D3DERR_INVALIDCALL;
  *ppIndexBuffer = new IndexBuffer(this, Length, Usage, Format, Pool);
  return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* pIndexData) {
  IndexBuffer* ib = nullptr;
  if (pIndexData) {
    ib = dynamic_cast<IndexBuffer*>(pIndexData);
    if (!ib || ib->device() != this) return D3DERR_INVALIDCALL;
  }
  Target().indices.Reset(ib);
  if (recording_) recording_->mask.indices = true;
  return D3D_OK;
}

HRESULT Device::GetIndices(IDirect3DIndexBuffer9** ppIndexData) {
  if (!ppIndexData) return D3DERR_INVALIDCALL;
  *ppIndexData = state_.indices.get();
  if (*ppIndexData) (*ppIndexData)->AddRef();
  return D3D_OK;
}

HRESULT Device::SetFVF(DWORD FVF) {
  if (!recording_ && state_.fvf == FVF) return D3D_OK;
  Target().fvf = FVF;
  MarkDirty(kDirtyVertexKey | kDirtyFragmentKey | kDirtyVertexInput | kDirtyRaster);
  if (recording_) recording_->mask.fvf = true;
  return D3D_OK;
}

HRESULT Device::GetFVF(DWORD* pFVF) {
  if (!pFVF) return D3DERR_INVALIDCALL;
  *pFVF = state_.fvf;
  return D3D_OK;
}

HRESULT Device::SetPixelShader(IDirect3DPixelShader9* pShader) {
  // Only the fixed-function pipeline exists: "no shader" is the one accepted value.
  if (pShader) return D3DERR_INVALIDCALL;
  if (recording_) recording_->mask.pixelShader = true;
  return D3D_OK;
}

HRESULT Device::GetPixelShader(IDirect3DPixelShader9** ppShader) {
  if (!ppShader) return D3DERR_INVALIDCALL;
  *ppShader = nullptr;
  return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData,
                                UINT OffsetInBytes, UINT Stride) {
  if (StreamNumber >= kStreamCount) return D3DERR_INVALIDCALL;
  VertexBuffer* vb = nullptr;
  if (pStreamData) {
    vb = dynamic_cast<VertexBuffer*>(pStreamData);
    if (!vb || vb->device() != this) return D3DERR_INVALIDCALL;
  }
  StateValues::Stream& s = Target().streams[StreamNumber];
  if (!recording_ && s.buffer.get() == vb && s.offset == OffsetInBytes && s.stride == Stride) return D3D_OK;
  s.buffer.Reset(vb);
  s.offset = OffsetInBytes;
  s.stride = Stride;
  if (StreamNumber == 0) MarkDirty(kDirtyVertexInput);
  if (recording_) recording_->mask.streams.set(StreamNumber);
  return D3D_OK;
}

HRESULT Device::GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData,
                                UINT* pOffsetInBytes, UINT* pStride) {
  if (!ppStreamData || !pOffsetInBytes || !pStride || StreamNumber >= kStreamCount)
    return D3DERR_INVALIDCALL;
  const StateValues::Stream& s = state_.streams[StreamNumber];
  *ppStreamData = s.buffer.get();
  if (s.buffer.get()) s.buffer.get()->AddRef();
  *pOffsetInBytes = s.offset;
  *pStride = s.stride;
  return D3D_OK;
}

void Device::ReadBack(int* width, int* height, std::vector<uint32_t>* pixels) {
  *width = static_cast<int>(pp_.BackBufferWidth);
  *height = static_cast<int>(pp_.BackBufferHeight);
  renderer_->ReadBack(pixels);
}

void Device::Finish() { renderer_->Finish(); }

}  // namespace kvrd3d
