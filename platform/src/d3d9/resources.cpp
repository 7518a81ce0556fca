// Direct3D 9 resources on the CPU: vertex buffers, textures and their surfaces, FVF layouts
// (index buffers are in index_buffer.cpp).
// Implemented: vertex and index buffers of any pool and usage (a CPU copy, uploaded to GL when
//   drawn and changed), textures in 8-, 16-, 24- and 32-bit RGB, alpha and luminance formats, one level
//   or a chain, locked whole or by rectangle.
//   Render-target and depth-stencil textures keep no bytes on the CPU (render_targets.cpp).
// Not implemented (D3DERR_INVALIDCALL): compressed and floating-point textures, vertex
//   declarations, locking a render target or a depth stencil. Textures of every other kind can be
//   locked in every pool, even the default pool's, which Direct3D 9 refuses without
//   D3DUSAGE_DYNAMIC.
#include <algorithm>
#include <cstring>

#include "d3d9/d3d9_internal.h"
#include "d3d9/gl_renderer.h"

namespace kvrd3d {

// ---- Interfaces --------------------------------------------------------------------------------

const GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidDirect3D9 = {0x81BDCBCA, 0x64D4, 0x426D, {0xAE, 0x8D, 0xAD, 0x01, 0x47, 0xF4, 0x27, 0x5C}};
const GUID kIidDevice9 = {0xD0223B96, 0xBF7A, 0x43FD, {0x92, 0xBD, 0xA4, 0x3B, 0x0D, 0x82, 0xB9, 0xEB}};
const GUID kIidResource9 = {0x05EEC05D, 0x8F7D, 0x4362, {0xB9, 0x99, 0xD1, 0xBA, 0xF3, 0x57, 0xC7, 0x04}};
const GUID kIidVertexBuffer9 = {0xB64BB1B5, 0xFD70, 0x4DF6, {0xBF, 0x91, 0x19, 0xD0, 0xA1, 0x24, 0x55, 0xE3}};
const GUID kIidSurface9 = {0x0CFBAF3A, 0x9FF6, 0x429A, {0x99, 0xB3, 0xA2, 0x79, 0x6A, 0xF8, 0xB8, 0x9B}};
const GUID kIidBaseTexture9 = {0x580CA87E, 0x1D3C, 0x4D54, {0x99, 0x1D, 0xB7, 0xD3, 0xE3, 0xC2, 0x98, 0xCE}};
const GUID kIidTexture9 = {0x85C31227, 0x3DE5, 0x4F00, {0x9B, 0x3A, 0xF1, 0x1A, 0xC3, 0x8C, 0x18, 0xB5}};
const GUID kIidIndexBuffer9 = {0x7C9DD65E, 0xD3F7, 0x4529, {0xAC, 0xEE, 0x78, 0x58, 0x30, 0xAC, 0xDE, 0x35}};
const GUID kIidStateBlock9 = {0xB07C4FE5, 0x310D, 0x4BA8, {0xA2, 0x3C, 0x4F, 0x0F, 0x20, 0x6F, 0x21, 0x8B}};
const GUID kIidQuery9 = {0xD9771460, 0xA695, 0x4F26, {0xBB, 0xD3, 0x27, 0xB8, 0x40, 0xB5, 0x41, 0xCC}};

HRESULT QueryFor(IUnknown* self, REFIID riid, void** ppv, std::initializer_list<const GUID*> iids) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  bool found = std::memcmp(&riid, &kIidUnknown, sizeof(GUID)) == 0;
  for (const GUID* iid : iids) found = found || std::memcmp(&riid, iid, sizeof(GUID)) == 0;
  if (!found) return E_NOINTERFACE;
  // Every interface of these objects is a base of the one object: the same pointer serves.
  self->AddRef();
  *ppv = self;
  return S_OK;
}

// ---- Reference counts ---------------------------------------------------------------------

DeviceChild::DeviceChild(Device* device, D3DPOOL pool) : device_(device), defaultPool_(pool == D3DPOOL_DEFAULT) {
  device_->AddRef();
  if (defaultPool_) device_->defaultPool().insert(this);
}

DeviceChild::~DeviceChild() {
  if (defaultPool_) device_->defaultPool().erase(this);
}

ULONG DeviceChild::AddPublic() {
  // A child that only the device's bindings still held comes back to life (GetTexture):
  // it takes its device reference again.
  if (refs_++ == 0) device_->AddRef();
  return refs_;
}

ULONG DeviceChild::ReleasePublic() {
  if (refs_ == 0) return 0;
  ULONG left = --refs_;
  if (left == 0) {
    Device* device = device_;
    if (binds_ == 0) delete this;  // while the device and its GL context still live
    device->Release();
  }
  return left;
}

void DeviceChild::ReleaseBind() {
  if (binds_ > 0 && --binds_ == 0 && refs_ == 0) delete this;
}

// ---- FVF ------------------------------------------------------------------------------------

FvfLayout ParseFvf(DWORD fvf) {
  FvfLayout l;
  UINT offset = 0;
  switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ: l.positionFloats = 3; offset = 12; break;
    case D3DFVF_XYZRHW: l.positionFloats = 4; l.pretransformed = true; offset = 16; break;
    case D3DFVF_XYZW: l.positionFloats = 4; offset = 16; break;
    case D3DFVF_XYZB1: case D3DFVF_XYZB2: case D3DFVF_XYZB3: case D3DFVF_XYZB4: case D3DFVF_XYZB5:
      // Blend weights follow the position; they are skipped (no vertex blending).
      l.positionFloats = 3;
      offset = 12 + 4 * (((fvf & D3DFVF_POSITION_MASK) - D3DFVF_XYZ) / 2);
      break;
    default: return l;  // no position: nothing can be drawn from it
  }
  if (fvf & D3DFVF_NORMAL) { l.normal = static_cast<int>(offset); offset += 12; }
  if (fvf & D3DFVF_PSIZE) offset += 4;
  if (fvf & D3DFVF_DIFFUSE) { l.diffuse = static_cast<int>(offset); offset += 4; }
  if (fvf & D3DFVF_SPECULAR) { l.specular = static_cast<int>(offset); offset += 4; }
  l.texSets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  if (l.texSets > 8) return l;
  for (UINT i = 0; i < l.texSets; ++i) {
    // D3DFVF_TEXCOORDSIZEn: two bits per set from bit 16; 0 = two floats, 1 = three, 2 = four, 3 = one.
    static const UINT kFloats[4] = {2, 3, 4, 1};
    l.texOffset[i] = static_cast<int>(offset);
    l.texFloats[i] = kFloats[(fvf >> (16 + 2 * i)) & 3];
    offset += 4 * l.texFloats[i];
  }
  l.size = offset;
  l.valid = true;
  return l;
}

// ---- Buffers --------------------------------------------------------------------------------

HRESULT BufferBytes::LockBytes(UINT offset, UINT size, void** data, DWORD flags) {
  if (offset == 0 && size == 0) size = static_cast<UINT>(bytes_.size());
  if (static_cast<uint64_t>(offset) + size > bytes_.size()) return D3DERR_INVALIDCALL;
  *data = bytes_.data() + offset;
  ++locks_;
  ++lockCount_;
  // What a write lock may change is uploaded before the next draw: the locked range, or the
  // whole buffer when the lock discards it.
  if (flags & D3DLOCK_DISCARD) {
    MarkDirty(0, bytes_.size());
  } else if (!(flags & D3DLOCK_READONLY)) {
    MarkDirty(offset, static_cast<size_t>(offset) + size);
  }
  return D3D_OK;
}

HRESULT BufferBytes::UnlockBytes() {
  if (locks_ == 0) return D3DERR_INVALIDCALL;
  --locks_;
  return D3D_OK;
}

VertexBuffer::VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : DeviceChild(device, pool), BufferBytes(length), usage_(usage), fvf_(fvf), pool_(pool) {}

VertexBuffer::~VertexBuffer() {
  if (glBuffer && device()->renderer()) device()->renderer()->DeleteBuffer(glBuffer);
}

HRESULT VertexBuffer::QueryInterface(REFIID riid, void** ppv) {
  return QueryFor(this, riid, ppv, {&kIidResource9, &kIidVertexBuffer9});
}

HRESULT VertexBuffer::GetDevice(IDirect3DDevice9** ppDevice) {
  if (!ppDevice) return D3DERR_INVALIDCALL;
  *ppDevice = device();
  device()->AddRef();
  return D3D_OK;
}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
  if (!data) return D3DERR_INVALIDCALL;
  *data = nullptr;
  if (DeviceSeams().failVertexBufferLocks) return D3DERR_INVALIDCALL;
  const HRESULT hr = LockBytes(offset, size, data, flags);
  if (SUCCEEDED(hr)) ++device()->counters().vertexBufferLocks;
  return hr;
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  desc->Format = D3DFMT_VERTEXDATA;
  desc->Type = D3DRTYPE_VERTEXBUFFER;
  desc->Usage = usage_;
  desc->Pool = pool_;
  desc->Size = static_cast<UINT>(bytes_.size());
  desc->FVF = fvf_;
  return D3D_OK;
}

// ---- Texture formats ----------------------------------------------------------------------

UINT TextureFormatBytes(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8: case D3DFMT_X8R8G8B8: case D3DFMT_A8B8G8R8: case D3DFMT_X8B8G8R8:
      return 4;
    case D3DFMT_R8G8B8:
      return 3;
    case D3DFMT_R5G6B5: case D3DFMT_X1R5G5B5: case D3DFMT_A1R5G5B5: case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4: case D3DFMT_A8L8: case D3DFMT_A8R3G3B2: case D3DFMT_L16:
      return 2;
    case D3DFMT_L8: case D3DFMT_A8: case D3DFMT_A4L4: case D3DFMT_R3G3B2:
      return 1;
    default:
      return 0;
  }
}

bool TextureFormatHasAlpha(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8: case D3DFMT_A8B8G8R8: case D3DFMT_A1R5G5B5: case D3DFMT_A4R4G4B4:
    case D3DFMT_A8L8: case D3DFMT_A8R3G3B2: case D3DFMT_A8: case D3DFMT_A4L4:
      return true;
    default:
      return false;
  }
}

namespace {

// Widens an n-bit channel to eight bits by repeating its bits (0xF -> 0xFF, 0x1F -> 0xFF).
inline uint8_t Widen(uint32_t v, int bits) {
  switch (bits) {
    case 1: return v ? 0xFF : 0;
    case 2: return static_cast<uint8_t>(v * 0x55);
    case 3: return static_cast<uint8_t>((v << 5) | (v << 2) | (v >> 1));
    case 4: return static_cast<uint8_t>(v * 0x11);
    case 5: return static_cast<uint8_t>((v << 3) | (v >> 2));
    case 6: return static_cast<uint8_t>((v << 2) | (v >> 4));
    default: return static_cast<uint8_t>(v);
  }
}

inline void Put(uint8_t* d, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  d[0] = r; d[1] = g; d[2] = b; d[3] = a;
}

}  // namespace

void ConvertRowToRgba8(D3DFORMAT format, const uint8_t* s, uint8_t* d, UINT width) {
  for (UINT x = 0; x < width; ++x, d += 4) {
    switch (format) {
      case D3DFMT_A8R8G8B8: Put(d, s[2], s[1], s[0], s[3]); s += 4; break;
      case D3DFMT_X8R8G8B8: Put(d, s[2], s[1], s[0], 0xFF); s += 4; break;
      case D3DFMT_A8B8G8R8: Put(d, s[0], s[1], s[2], s[3]); s += 4; break;
      case D3DFMT_X8B8G8R8: Put(d, s[0], s[1], s[2], 0xFF); s += 4; break;
      case D3DFMT_R8G8B8: Put(d, s[2], s[1], s[0], 0xFF); s += 3; break;
      case D3DFMT_L8: Put(d, s[0], s[0], s[0], 0xFF); s += 1; break;
      case D3DFMT_A8: Put(d, 0, 0, 0, s[0]); s += 1; break;
      case D3DFMT_A4L4: {
        uint8_t l = Widen(s[0] & 0xF, 4);
        Put(d, l, l, l, Widen(s[0] >> 4, 4));
        s += 1;
        break;
      }
      case D3DFMT_R3G3B2:
        Put(d, Widen(s[0] >> 5, 3), Widen((s[0] >> 2) & 7, 3), Widen(s[0] & 3, 2), 0xFF);
        s += 1;
        break;
      default: {
        uint32_t v = static_cast<uint32_t>(s[0]) | (static_cast<uint32_t>(s[1]) << 8);
        s += 2;
        switch (format) {
          case D3DFMT_R5G6B5:
            Put(d, Widen(v >> 11, 5), Widen((v >> 5) & 0x3F, 6), Widen(v & 0x1F, 5), 0xFF);
            break;
          case D3DFMT_X1R5G5B5:
            Put(d, Widen((v >> 10) & 0x1F, 5), Widen((v >> 5) & 0x1F, 5), Widen(v & 0x1F, 5), 0xFF);
            break;
          case D3DFMT_A1R5G5B5:
            Put(d, Widen((v >> 10) & 0x1F, 5), Widen((v >> 5) & 0x1F, 5), Widen(v & 0x1F, 5),
                Widen(v >> 15, 1));
            break;
          case D3DFMT_A4R4G4B4:
            Put(d, Widen((v >> 8) & 0xF, 4), Widen((v >> 4) & 0xF, 4), Widen(v & 0xF, 4),
                Widen(v >> 12, 4));
            break;
          case D3DFMT_X4R4G4B4:
            Put(d, Widen((v >> 8) & 0xF, 4), Widen((v >> 4) & 0xF, 4), Widen(v & 0xF, 4), 0xFF);
            break;
          case D3DFMT_A8L8: Put(d, v & 0xFF, v & 0xFF, v & 0xFF, v >> 8); break;
          case D3DFMT_A8R3G3B2:
            Put(d, Widen((v >> 5) & 7, 3), Widen((v >> 2) & 7, 3), Widen(v & 3, 2), v >> 8);
            break;
          case D3DFMT_L16: Put(d, v >> 8, v >> 8, v >> 8, 0xFF); break;
          default: Put(d, 0, 0, 0, 0xFF); break;
        }
      }
    }
  }
}

// ---- Textures ---------------------------------------------------------------------------------

Texture::Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                 D3DPOOL pool)
    : DeviceChild(device, pool), usage_(usage), format_(format), pool_(pool) {
  const UINT bpp = TextureFormatBytes(format);
  levels_.resize(levels);
  for (UINT i = 0; i < levels; ++i) {
    Level& l = levels_[i];
    l.width = std::max(1u, i < 32 ? width >> i : 0u);
    l.height = std::max(1u, i < 32 ? height >> i : 0u);
    l.pitch = (l.width * bpp + 3) & ~3u;  // rows start on four-byte boundaries
    if (!GpuOnly()) l.bytes.assign(static_cast<size_t>(l.pitch) * l.height, 0);
    l.surface.reset(new Surface(device, this, i));
  }
}

Texture::~Texture() {
  if (glTexture && device()->renderer()) device()->renderer()->DeleteTexture(glTexture);
}

HRESULT Texture::QueryInterface(REFIID riid, void** ppv) {
  return QueryFor(this, riid, ppv, {&kIidResource9, &kIidBaseTexture9, &kIidTexture9});
}

HRESULT Texture::GetDevice(IDirect3DDevice9** ppDevice) {
  if (!ppDevice) return D3DERR_INVALIDCALL;
  *ppDevice = device();
  device()->AddRef();
  return D3D_OK;
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (!desc || level >= levels_.size()) return D3DERR_INVALIDCALL;
  desc->Format = format_;
  desc->Type = D3DRTYPE_SURFACE;
  desc->Usage = usage_;
  desc->Pool = pool_;
  desc->MultiSampleType = D3DMULTISAMPLE_NONE;
  desc->MultiSampleQuality = 0;
  desc->Width = levels_[level].width;
  desc->Height = levels_[level].height;
  return D3D_OK;
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (level >= levels_.size()) return D3DERR_INVALIDCALL;
  *surface = levels_[level].surface.get();
  AddRef();
  return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (!locked || level >= levels_.size() || GpuOnly()) return D3DERR_INVALIDCALL;
  Level& l = levels_[level];
  if (l.locked) return D3DERR_INVALIDCALL;
  size_t start = 0;
  if (rect) {
    if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
        static_cast<UINT>(rect->right) > l.width || static_cast<UINT>(rect->bottom) > l.height)
      return D3DERR_INVALIDCALL;
    start = static_cast<size_t>(rect->top) * l.pitch +
            static_cast<size_t>(rect->left) * TextureFormatBytes(format_);
  }
  l.locked = true;
  locked->Pitch = static_cast<INT>(l.pitch);
  locked->pBits = l.bytes.data() + start;
  ++lockCount_;
  ++device()->counters().textureLocks;
  if (!(flags & D3DLOCK_READONLY)) dirty = true;
  return D3D_OK;
}

Texture::Level* Texture::WritableLevel(UINT level) {
  if (level >= levels_.size() || levels_[level].locked || GpuOnly()) return nullptr;
  dirty = true;
  return &levels_[level];
}

HRESULT Texture::UnlockRect(UINT level) {
  if (level >= levels_.size() || !levels_[level].locked) return D3DERR_INVALIDCALL;
  levels_[level].locked = false;
  return D3D_OK;
}

// ---- Surfaces ---------------------------------------------------------------------------------

Surface::Surface(Device* device, Texture* container, UINT level, bool autoDepth)
    : device_(device), container_(container), level_(level), autoDepth_(autoDepth) {}

HRESULT Surface::QueryInterface(REFIID riid, void** ppv) {
  return QueryFor(this, riid, ppv, {&kIidResource9, &kIidSurface9});
}

ULONG Surface::AddRef() {
  return container_ ? container_->AddRef() : device_->AddRef();
}

ULONG Surface::Release() {
  return container_ ? container_->Release() : device_->Release();
}

HRESULT Surface::GetDevice(IDirect3DDevice9** ppDevice) {
  if (!ppDevice) return D3DERR_INVALIDCALL;
  *ppDevice = device_;
  device_->AddRef();
  return D3D_OK;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = Desc();
  return D3D_OK;
}

D3DSURFACE_DESC Surface::Desc() {
  D3DSURFACE_DESC desc;
  if (container_) {
    container_->GetLevelDesc(level_, &desc);
    return desc;
  }
  const D3DPRESENT_PARAMETERS& pp = device_->presentParameters();
  desc.Format = autoDepth_ ? pp.AutoDepthStencilFormat : pp.BackBufferFormat;
  desc.Type = D3DRTYPE_SURFACE;
  desc.Usage = autoDepth_ ? D3DUSAGE_DEPTHSTENCIL : D3DUSAGE_RENDERTARGET;
  desc.Pool = D3DPOOL_DEFAULT;
  desc.MultiSampleType = D3DMULTISAMPLE_NONE;
  desc.MultiSampleQuality = 0;
  desc.Width = pp.BackBufferWidth;
  desc.Height = pp.BackBufferHeight;
  return desc;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  // The back buffer and depth stencils live on the GPU and were not created lockable.
  if (!container_) return D3DERR_INVALIDCALL;
  return container_->LockRect(level_, locked, rect, flags);
}

HRESULT Surface::UnlockRect() {
  if (!container_) return D3DERR_INVALIDCALL;
  return container_->UnlockRect(level_);
}

}  // namespace kvrd3d
