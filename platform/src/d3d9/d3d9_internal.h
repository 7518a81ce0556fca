// Internal classes of the Direct3D 9 backend, shared by its files and by the test seams.
// Programs never see this header.
#pragma once
#include <d3d9.h>

#include <atomic>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "d3d9/texel_formats.h"

namespace kvrd3d {

class Device;
class GlRenderer;
class Texture;
class VertexBuffer;
class IndexBuffer;

// ---- Limits of what the device keeps ------------------------------------------------------
constexpr DWORD kRenderStateCount = 256;  // D3DRENDERSTATETYPE values are all below 256
constexpr DWORD kStageCount = 8;          // texture stages
constexpr DWORD kStageStateCount = 33;    // D3DTSS_* values run up to 32
constexpr DWORD kSamplerCount = 16;       // pixel samplers; the four vertex samplers follow
constexpr DWORD kAllSamplerCount = kSamplerCount + 4;
constexpr DWORD kSamplerStateCount = 14;  // D3DSAMP_* values run up to 13
constexpr DWORD kTransformCount = 512;    // D3DTS_* values, world matrices at 256..511
constexpr DWORD kStreamCount = 16;
// Stages the renderer draws with: all of them.
constexpr DWORD kDrawnStages = 8;
// Lights drawn at once (D3DCAPS9::MaxActiveLights); more may be enabled, the first enabled are drawn.
constexpr DWORD kMaxActiveLights = 8;

// Interface identifiers of the objects below, as the Windows SDK defines them.
extern const GUID kIidUnknown, kIidDirect3D9, kIidDevice9, kIidResource9, kIidVertexBuffer9,
    kIidSurface9, kIidBaseTexture9, kIidTexture9, kIidStateBlock9, kIidQuery9, kIidIndexBuffer9;
// QueryInterface for an object that offers the given interfaces (IUnknown is always offered).
HRESULT QueryFor(IUnknown* self, REFIID riid, void** ppv, std::initializer_list<const GUID*> iids);

// Maps a sampler number (0..15, D3DVERTEXTEXTURESAMPLER0..3 = 257..260) to a slot, or -1.
int SamplerSlot(DWORD sampler);

// ---- Device seams (set by platform/testing) ------------------------------------------------
struct Seams {
  DWORD failCreateMask = 0;
  bool failDirect3DCreate = false;
  UINT maxTextureSize = 0;          // 0: the real limit
  int vertexBufferCreationsLeft = -1;  // -1: never fail
  bool failVertexBufferLocks = false;
  // Every draw applies all of its state again, as if the renderer knew nothing of GL's: no
  // dirty bits, no shadow, no uniform values remembered.
  bool noStateShadow = false;
};
Seams& DeviceSeams();

struct Counters {
  uint64_t drawCalls = 0, primitives = 0, clears = 0, presents = 0;
  uint64_t vertexBufferLocks = 0, textureLocks = 0, indexBufferLocks = 0;  // offscreen plain surfaces count as textures
  // Only the first draw calls since a reset: the viewer draws thousands a second for hours and
  // never resets, so an unbounded record would be a steady leak.
  static constexpr size_t kMaxRecordedDrawCalls = 4096;
  std::vector<UINT> primitiveCounts;
};

// ---- Reference counting of device children -------------------------------------------------
// The program's references (AddRef/Release) keep the device alive: a child holds one device
// reference while its own count is above zero. The device's bindings (SetTexture,
// SetStreamSource, recorded state blocks) hold "bind" references that keep the object but not
// the device; when the device goes it drops them. So a child is deleted when both counts are
// zero, and it never outlives its device (nor its GL context).
class DeviceChild {
 public:
  // A child of the default pool is one the program must release before Reset.
  explicit DeviceChild(Device* device, D3DPOOL pool = D3DPOOL_MANAGED);
  virtual ~DeviceChild();
  ULONG AddPublic();
  ULONG ReleasePublic();  // may delete this
  void AddBind() { ++binds_; }
  void ReleaseBind();     // may delete this
  Device* device() const { return device_; }
  ULONG publicRefs() const { return refs_; }

 private:
  Device* device_;
  bool defaultPool_;
  ULONG refs_ = 1;
  ULONG binds_ = 0;
};

// Holds a bind reference on a texture or vertex buffer.
template <class T>
class BindRef {
 public:
  BindRef() = default;
  BindRef(const BindRef& o) : p_(o.p_) { if (p_) p_->AddBind(); }
  BindRef& operator=(const BindRef& o) { Reset(o.p_); return *this; }
  ~BindRef() { Reset(nullptr); }
  void Reset(T* p) {
    if (p == p_) return;
    if (p) p->AddBind();
    T* old = p_;
    p_ = p;
    if (old) old->ReleaseBind();
  }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

// ---- Resources ---------------------------------------------------------------------------
// The bytes of a vertex or index buffer on the CPU, and what of them GL has yet to be sent.
class BufferBytes {
 public:
  explicit BufferBytes(UINT length) : bytes_(length) {}
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  uint64_t lockCount() const { return lockCount_; }
  // Lock and Unlock as both buffers have them; a write lock marks what it may change.
  HRESULT LockBytes(UINT offset, UINT size, void** data, DWORD flags);
  HRESULT UnlockBytes();
  // GL side: the renderer gives glBuffer storage of the whole size once, then uploads only the
  // bytes written since, the span from dirtyBegin to dirtyEnd (empty when they are equal).
  unsigned glBuffer = 0;
  bool glStored = false;
  size_t dirtyBegin = 0, dirtyEnd = 0;
  void MarkDirty(size_t begin, size_t end) {
    if (dirtyBegin == dirtyEnd) {
      dirtyBegin = begin;
      dirtyEnd = end;
    } else {
      dirtyBegin = begin < dirtyBegin ? begin : dirtyBegin;
      dirtyEnd = end > dirtyEnd ? end : dirtyEnd;
    }
    OnWrite(begin, end);
  }

 protected:
  virtual void OnWrite(size_t, size_t) {}
  std::vector<uint8_t> bytes_;

 private:
  int locks_ = 0;
  uint64_t lockCount_ = 0;
};

class VertexBuffer final : public IDirect3DVertexBuffer9, public DeviceChild, public BufferBytes {
 public:
  VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
  ~VertexBuffer();
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return AddPublic(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleasePublic(); }
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** ppDevice) override;
  D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
  HRESULT STDMETHODCALLTYPE Lock(UINT offset, UINT size, void** data, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Unlock() override { return UnlockBytes(); }
  HRESULT STDMETHODCALLTYPE GetDesc(D3DVERTEXBUFFER_DESC* desc) override;
  D3DPOOL pool() const { return pool_; }

 private:
  DWORD usage_, fvf_;
  D3DPOOL pool_;
};

// 16- or 32-bit indices. Each block of kBlockIndices indices keeps its largest index, brought up
// to date lazily after writes, so that a draw finds how far its indices reach without reading
// them all.
class IndexBuffer final : public IDirect3DIndexBuffer9, public DeviceChild, public BufferBytes {
 public:
  IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
  ~IndexBuffer();
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return AddPublic(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleasePublic(); }
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** ppDevice) override;
  D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
  HRESULT STDMETHODCALLTYPE Lock(UINT offset, UINT size, void** data, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Unlock() override { return UnlockBytes(); }
  HRESULT STDMETHODCALLTYPE GetDesc(D3DINDEXBUFFER_DESC* desc) override;

  static constexpr size_t kBlockIndices = 256;
  D3DFORMAT format() const { return format_; }
  D3DPOOL pool() const { return pool_; }
  UINT indexSize() const { return format_ == D3DFMT_INDEX32 ? 4u : 2u; }
  uint64_t indexCount() const { return bytes_.size() / indexSize(); }
  // The largest of `count` indices from `first`, which the caller has checked lie inside the
  // buffer.
  uint32_t Highest(uint64_t first, uint64_t count);

 private:
  void OnWrite(size_t begin, size_t end) override;
  uint32_t At(uint64_t i) const;
  DWORD usage_;
  D3DFORMAT format_;
  D3DPOOL pool_;
  std::vector<uint32_t> blockHigh_;
  size_t staleBegin_ = 0, staleEnd_ = 0;  // blocks whose bounds are out of date
};

class Texture;

// A level of a texture, the device's back buffer or its automatic depth-stencil surface. An
// offscreen plain surface, a render-target surface and a depth-stencil surface are each the one
// level of a texture the program never sees: they share that texture's storage, locks and count.
class Surface final : public IDirect3DSurface9 {
 public:
  // Without a container: the back buffer, or with autoDepth the automatic depth stencil.
  Surface(Device* device, Texture* container, UINT level, bool autoDepth = false);
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  // Surfaces share the count of what contains them: the texture, or the device.
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** ppDevice) override;
  D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return D3DRTYPE_SURFACE; }
  HRESULT STDMETHODCALLTYPE GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT STDMETHODCALLTYPE LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE UnlockRect() override;

  Device* device() const { return device_; }
  Texture* container() const { return container_; }  // null for the back buffer
  UINT level() const { return level_; }
  bool autoDepth() const { return autoDepth_; }
  // The surface's format and size, whatever kind it is.
  D3DSURFACE_DESC Desc();
  // Whether draws can go to it: the back buffer or a level of a render-target texture.
  bool IsColorTarget() const;
  // Whether it can be the device's depth-stencil surface.
  bool IsDepthStencil() const;

 private:
  Device* device_;
  Texture* container_;
  UINT level_;
  bool autoDepth_;
};

// Depth and stencil bits of a depth-stencil format the device makes; false for other formats.
bool DepthStencilBits(D3DFORMAT format, int* depth, int* stencil);

class Texture final : public IDirect3DTexture9, public DeviceChild {
 public:
  Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
          D3DPOOL pool);
  ~Texture();
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return AddPublic(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleasePublic(); }
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** ppDevice) override;
  D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD STDMETHODCALLTYPE GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
  HRESULT STDMETHODCALLTYPE GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT STDMETHODCALLTYPE GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
  HRESULT STDMETHODCALLTYPE LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                     DWORD flags) override;
  HRESULT STDMETHODCALLTYPE UnlockRect(UINT level) override;

  struct Level {
    UINT width, height, pitch;
    std::vector<uint8_t> bytes;  // in the texture's own format, rows at pitch
    bool locked = false;
    std::unique_ptr<Surface> surface;
  };
  D3DFORMAT format() const { return format_; }
  D3DPOOL pool() const { return pool_; }
  DWORD usage() const { return usage_; }
  // Render targets and depth stencils live only in GL: no bytes on the CPU, never locked.
  bool GpuOnly() const { return (usage_ & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) != 0; }
  const std::vector<Level>& levels() const { return levels_; }
  // A level the device itself fills (a copy of the back buffer), marked changed; null while the
  // program holds it locked.
  Level* WritableLevel(UINT level);
  uint64_t lockCount() const { return lockCount_; }
  // GL side: converted to RGBA8 and uploaded when bound while dirty.
  unsigned glTexture = 0;
  bool dirty = true;
  int glBaseLevel = -1;  // the GL_TEXTURE_BASE_LEVEL last set

 private:
  DWORD usage_;
  D3DFORMAT format_;
  D3DPOOL pool_;
  std::vector<Level> levels_;
  uint64_t lockCount_ = 0;
};

// An occlusion or event query (query.cpp).
class Query final : public IDirect3DQuery9, public DeviceChild {
 public:
  Query(Device* device, D3DQUERYTYPE type);
  ~Query();
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return AddPublic(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleasePublic(); }
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** ppDevice) override;
  D3DQUERYTYPE STDMETHODCALLTYPE GetType() override { return type_; }
  DWORD STDMETHODCALLTYPE GetDataSize() override;
  HRESULT STDMETHODCALLTYPE Issue(DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetData(void* data, DWORD size, DWORD flags) override;
  static bool Supported(D3DQUERYTYPE type) { return type == D3DQUERYTYPE_OCCLUSION || type == D3DQUERYTYPE_EVENT; }

 private:
  enum class State { kCreated, kBuilding, kIssued };
  D3DQUERYTYPE type_;
  State state_ = State::kCreated;
  unsigned glQuery_ = 0;
  void* fence_ = nullptr;  // GLsync of an event query
  DWORD result_ = 0;
  bool haveResult_ = false;
};

// ---- Everything a state block can hold, and what of it is set ------------------------------
// A light as SetLight left it, and whether LightEnable switched it on.
struct LightSlot {
  D3DLIGHT9 light = {};
  bool enabled = false;
};

struct StateValues {
  DWORD renderStates[kRenderStateCount] = {};
  DWORD stageStates[kStageCount][kStageStateCount] = {};
  DWORD samplerStates[kAllSamplerCount][kSamplerStateCount] = {};
  D3DMATRIX transforms[kTransformCount] = {};
  BindRef<Texture> textures[kAllSamplerCount];
  struct Stream {
    BindRef<VertexBuffer> buffer;
    UINT offset = 0, stride = 0;
  } streams[kStreamCount];
  BindRef<IndexBuffer> indices;
  D3DMATERIAL9 material = {};
  D3DVIEWPORT9 viewport = {};
  DWORD fvf = 0;
  // Lights by index: Direct3D takes any index, so they are kept sparsely, as set or enabled.
  std::map<DWORD, LightSlot> lights;
  // The device's enabled lights in the order they were enabled (unused in state blocks).
  std::vector<DWORD> enabledLights;
};

struct StateMask {
  std::bitset<kRenderStateCount> renderStates;
  std::bitset<kStageCount * kStageStateCount> stageStates;
  std::bitset<kAllSamplerCount * kSamplerStateCount> samplerStates;
  std::bitset<kTransformCount> transforms;
  std::bitset<kAllSamplerCount> textures;
  std::bitset<kStreamCount> streams;
  bool indices = false;
  bool material = false, viewport = false, fvf = false, pixelShader = false;
  std::set<DWORD> lights, lightEnables;  // indices given to SetLight, to LightEnable
};

class StateBlock final : public IDirect3DStateBlock9 {
 public:
  explicit StateBlock(Device* device);
  ~StateBlock();
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** ppDevice) override;
  HRESULT STDMETHODCALLTYPE Capture() override;
  HRESULT STDMETHODCALLTYPE Apply() override;
  void HandOut();

  Device* device_;
  bool handedOut_ = false;
  std::atomic<ULONG> refs_{1};
  StateValues values;
  StateMask mask;
};

// ---- The Direct3D object --------------------------------------------------------------------
class Direct3D final : public IDirect3D9 {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  UINT STDMETHODCALLTYPE GetAdapterCount() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
  HRESULT STDMETHODCALLTYPE CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                              DWORD usage, D3DRESOURCETYPE rtype,
                                              D3DFORMAT checkFormat) override;
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
  HRESULT STDMETHODCALLTYPE CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus, DWORD flags,
                                         D3DPRESENT_PARAMETERS* pp,
                                         IDirect3DDevice9** device) override;

 private:
  std::atomic<ULONG> refs_{1};
};

// Capabilities shared by the Direct3D object and its devices; maxTexture is the real limit.
void FillCaps(D3DCAPS9* caps, UINT adapter, D3DDEVTYPE type, UINT maxTexture);
// The desktop's current mode: its size, X8R8G8B8.
void DesktopMode(D3DDISPLAYMODE* mode);

// ---- Vertex layouts ------------------------------------------------------------------------
// Where each element of a flexible-vertex-format vertex lies, in bytes from its start.
struct FvfLayout {
  bool valid = false;
  bool pretransformed = false;  // XYZRHW: back-buffer pixels, depth and 1/w
  UINT size = 0;
  UINT positionFloats = 0;      // 3 or 4
  int normal = -1;              // offsets, -1 when absent
  int diffuse = -1;
  int specular = -1;
  UINT texSets = 0;
  int texOffset[8] = {};
  UINT texFloats[8] = {};
};
FvfLayout ParseFvf(DWORD fvf);

// ---- The device ----------------------------------------------------------------------------
class Device final : public IDirect3DDevice9 {
 public:
  Device(Direct3D* d3d, HWND window, const D3DPRESENT_PARAMETERS& pp, DWORD behaviour);
  ~Device();
  // Creates the GL context and back buffer; false when that fails.
  bool Init();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override { return lost_ ? D3DERR_DEVICENOTRESET : D3D_OK; }
  HRESULT STDMETHODCALLTYPE GetDirect3D(IDirect3D9** ppD3D9) override;
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9* pCaps) override;
  HRESULT STDMETHODCALLTYPE GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) override;
  HRESULT STDMETHODCALLTYPE Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override;
  HRESULT STDMETHODCALLTYPE Present(const RECT* src, const RECT* dst, HWND override_,
                                    const RGNDATA* dirty) override;
  HRESULT STDMETHODCALLTYPE CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage,
                                          D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture9** ppTexture,
                                          HANDLE* pSharedHandle) override;
  HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                               IDirect3DVertexBuffer9** ppVertexBuffer,
                                               HANDLE* pSharedHandle) override;
  HRESULT STDMETHODCALLTYPE GetRenderTarget(DWORD index, IDirect3DSurface9** target) override;
  HRESULT STDMETHODCALLTYPE SetRenderTarget(DWORD index, IDirect3DSurface9* target) override;
  HRESULT STDMETHODCALLTYPE CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format,
                                               D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality,
                                               BOOL Lockable, IDirect3DSurface9** ppSurface,
                                               HANDLE* pSharedHandle) override;
  HRESULT STDMETHODCALLTYPE CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                                      D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality,
                                                      BOOL Discard, IDirect3DSurface9** ppSurface,
                                                      HANDLE* pSharedHandle) override;
  HRESULT STDMETHODCALLTYPE SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) override;
  HRESULT STDMETHODCALLTYPE GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) override;
  HRESULT STDMETHODCALLTYPE StretchRect(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect,
                                        IDirect3DSurface9* pDestSurface, const RECT* pDestRect,
                                        D3DTEXTUREFILTERTYPE Filter) override;
  HRESULT STDMETHODCALLTYPE CreateQuery(D3DQUERYTYPE Type, IDirect3DQuery9** ppQuery) override;
  HRESULT STDMETHODCALLTYPE GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                                          IDirect3DSurface9** ppBackBuffer) override;
  HRESULT STDMETHODCALLTYPE GetRenderTargetData(IDirect3DSurface9* pRenderTarget,
                                                IDirect3DSurface9* pDestSurface) override;
  HRESULT STDMETHODCALLTYPE CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool,
                                                        IDirect3DSurface9** ppSurface,
                                                        HANDLE* pSharedHandle) override;
  HRESULT STDMETHODCALLTYPE BeginScene() override;
  HRESULT STDMETHODCALLTYPE EndScene() override;
  HRESULT STDMETHODCALLTYPE Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color,
                                  float Z, DWORD Stencil) override;
  HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
  HRESULT STDMETHODCALLTYPE GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override;
  HRESULT STDMETHODCALLTYPE SetViewport(const D3DVIEWPORT9* pViewport) override;
  HRESULT STDMETHODCALLTYPE GetViewport(D3DVIEWPORT9* pViewport) override;
  HRESULT STDMETHODCALLTYPE SetMaterial(const D3DMATERIAL9* pMaterial) override;
  HRESULT STDMETHODCALLTYPE GetMaterial(D3DMATERIAL9* pMaterial) override;
  HRESULT STDMETHODCALLTYPE SetLight(DWORD Index, const D3DLIGHT9* pLight) override;
  HRESULT STDMETHODCALLTYPE GetLight(DWORD Index, D3DLIGHT9* pLight) override;
  HRESULT STDMETHODCALLTYPE LightEnable(DWORD Index, BOOL Enable) override;
  HRESULT STDMETHODCALLTYPE GetLightEnable(DWORD Index, BOOL* pEnable) override;
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
  HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override;
  HRESULT STDMETHODCALLTYPE BeginStateBlock() override;
  HRESULT STDMETHODCALLTYPE EndStateBlock(IDirect3DStateBlock9** ppSB) override;
  HRESULT STDMETHODCALLTYPE GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) override;
  HRESULT STDMETHODCALLTYPE SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override;
  HRESULT STDMETHODCALLTYPE GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type,
                                                 DWORD* pValue) override;
  HRESULT STDMETHODCALLTYPE SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type,
                                                 DWORD Value) override;
  HRESULT STDMETHODCALLTYPE GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override;
  HRESULT STDMETHODCALLTYPE SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override;
  HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex,
                                          UINT PrimitiveCount) override;
  HRESULT STDMETHODCALLTYPE DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                                            const void* pVertexStreamZeroData,
                                            UINT VertexStreamZeroStride) override;
  HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex,
                                                 UINT MinVertexIndex, UINT NumVertices, UINT startIndex,
                                                 UINT primCount) override;
  HRESULT STDMETHODCALLTYPE DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex,
                                                   UINT NumVertices, UINT PrimitiveCount, const void* pIndexData,
                                                   D3DFORMAT IndexDataFormat, const void* pVertexStreamZeroData,
                                                   UINT VertexStreamZeroStride) override;
  HRESULT STDMETHODCALLTYPE CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                              IDirect3DIndexBuffer9** ppIndexBuffer,
                                              HANDLE* pSharedHandle) override;
  HRESULT STDMETHODCALLTYPE SetIndices(IDirect3DIndexBuffer9* pIndexData) override;
  HRESULT STDMETHODCALLTYPE GetIndices(IDirect3DIndexBuffer9** ppIndexData) override;
  HRESULT STDMETHODCALLTYPE SetFVF(DWORD FVF) override;
  HRESULT STDMETHODCALLTYPE GetFVF(DWORD* pFVF) override;
  HRESULT STDMETHODCALLTYPE SetPixelShader(IDirect3DPixelShader9* pShader) override;
  HRESULT STDMETHODCALLTYPE GetPixelShader(IDirect3DPixelShader9** ppShader) override;
  HRESULT STDMETHODCALLTYPE SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData,
                                            UINT OffsetInBytes, UINT Stride) override;
  HRESULT STDMETHODCALLTYPE GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData,
                                            UINT* pOffsetInBytes, UINT* pStride) override;

  // For resources, state blocks and seams.
  const StateValues& state() const { return state_; }
  const D3DPRESENT_PARAMETERS& presentParameters() const { return pp_; }
  Counters& counters() { return counters_; }
  GlRenderer* renderer() { return renderer_.get(); }
  // Makes the device's GL context current (before deleting GL objects, for instance).
  void MakeCurrent();
  // Fills the back buffer's pixels as 0xAARRGGBB, top row first.
  void ReadBack(int* width, int* height, std::vector<uint32_t>* pixels);
  // Waits until everything asked of the device has been carried out.
  void Finish();
  UINT MaxTextureSize() const;
  // The surfaces draws and clears go to now (render_targets.cpp); the depth stencil may be null.
  Surface* renderTarget() const { return target_; }
  Surface* depthStencil() const { return depth_; }
  // The children of the default pool alive now (DeviceChild keeps the set).
  std::set<DeviceChild*>& defaultPool() { return defaultPool_; }

 private:
  // Tells the renderer where draws go after SetRenderTarget or SetDepthStencilSurface.
  void RetargetRenderer();
  void SetDefaultStates();
  // Fills what the present parameters leave zero; false when the layer cannot make such a back
  // buffer (the error is then in *error).
  bool ChoosePresentParameters(D3DPRESENT_PARAMETERS* pp, HRESULT* error) const;
  std::set<DeviceChild*> defaultPool_;
  // A Reset failed: the device waits for one that succeeds.
  bool lost_ = false;
  // Tells the renderer what a Set* call changed, unless a state block is being recorded.
  void MarkDirty(uint64_t bits);
  // The values that Set* calls change: the device's, or the state block being recorded.
  // The buffer DrawPrimitiveUP copies the program's vertices into; it grows as needed.
  BindRef<VertexBuffer> userVertices_;
  // The buffer DrawIndexedPrimitiveUP copies the program's indices into, grown likewise.
  BindRef<IndexBuffer> userIndices_;
  // Copies `bytes` of the program's vertices (or indices) into the device's own buffer for them
  // and binds it; false when that cannot be done.
  bool BindUserVertices(const void* data, uint64_t bytes, UINT stride);
  bool BindUserIndices(const void* data, uint64_t bytes, D3DFORMAT format);
  // Unbinds what BindUserVertices and BindUserIndices bound.
  void UnbindUserData();
  // DrawIndexedPrimitive once the vertices its indices may reach are known to end where stream
  // 0's buffer ends, or after vertexLimit vertices when that is smaller.
  HRESULT DrawIndexed(D3DPRIMITIVETYPE type, INT baseVertex, UINT startIndex, UINT count, uint64_t vertexLimit);
  void CountDraw(UINT primitives);
  StateValues& Target() { return recording_ ? recording_->values : state_; }

  std::atomic<ULONG> refs_{1};
  Direct3D* d3d_;
  HWND window_;
  D3DPRESENT_PARAMETERS pp_;
  DWORD behaviour_;
  StateValues state_;
  StateBlock* recording_ = nullptr;
  bool inScene_ = false;
  Counters counters_;
  std::unique_ptr<GlRenderer> renderer_;
  std::unique_ptr<Surface> backBuffer_;
  std::unique_ptr<Surface> autoDepth_;  // when the present parameters ask for one
  // The render target and depth stencil set; the textures behind them are held while set.
  Surface* target_ = nullptr;
  Surface* depth_ = nullptr;
  BindRef<Texture> targetHold_, depthHold_;
  UINT glMaxTexture_ = 8192;
};

Device* AsDevice(IDirect3DDevice9* device);

}  // namespace kvrd3d
