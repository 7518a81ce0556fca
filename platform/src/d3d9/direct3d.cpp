// The Direct3D 9 object: one adapter (the desktop), one HAL device type, windowed devices.
// Implemented: Direct3DCreate9 for SDK versions 31 and 32, adapter display mode, format checks
//   for the formats textures and the back buffer can use, capabilities, CreateDevice with the
//   software, mixed and hardware vertex-processing flags.
// Not implemented: full-screen devices and other device types (D3DERR_NOTAVAILABLE), multiple
//   adapters (D3DERR_INVALIDCALL).
#include <cstring>

#include "d3d9/d3d9_internal.h"

namespace kvrd3d {

Seams& DeviceSeams() {
  static Seams seams;
  return seams;
}

void DesktopMode(D3DDISPLAYMODE* mode) {
  RECT rc = {0, 0, 0, 0};
  GetClientRect(GetDesktopWindow(), &rc);
  mode->Width = static_cast<UINT>(rc.right - rc.left);
  mode->Height = static_cast<UINT>(rc.bottom - rc.top);
  mode->RefreshRate = 60;
  mode->Format = D3DFMT_X8R8G8B8;
}

// What Wine's Direct3D 9 reports on an OpenGL 3.3 desktop, less what this device does not do:
// no scissor, depth bias, cube or volume textures, point sizes, clip planes, vertex blending,
// shaders, vertex declarations, several render targets, cursors, gamma ramps, generated mipmaps,
// sphere-map coordinates, bump mapping, PREMODULATE.
void FillCaps(D3DCAPS9* caps, UINT adapter, D3DDEVTYPE type, UINT maxTexture) {
  std::memset(caps, 0, sizeof(*caps));
  caps->DeviceType = type;
  caps->AdapterOrdinal = adapter;
  caps->Caps2 = D3DCAPS2_DYNAMICTEXTURES;
  caps->Caps3 = D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD | D3DCAPS3_COPY_TO_VIDMEM | D3DCAPS3_COPY_TO_SYSTEMMEM;
  caps->PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
  caps->DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_EXECUTEVIDEOMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                  D3DDEVCAPS_TLVERTEXVIDEOMEMORY | D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_TEXTUREVIDEOMEMORY |
                  D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_DRAWPRIMITIVES2 |
                  D3DDEVCAPS_DRAWPRIMITIVES2EX | D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION |
                  D3DDEVCAPS_PUREDEVICE;
  caps->PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW |
                            D3DPMISCCAPS_COLORWRITEENABLE | D3DPMISCCAPS_CLIPTLVERTS | D3DPMISCCAPS_TSSARGTEMP |
                            D3DPMISCCAPS_BLENDOP | D3DPMISCCAPS_PERSTAGECONSTANT | D3DPMISCCAPS_SEPARATEALPHABLEND |
                            D3DPMISCCAPS_FOGVERTEXCLAMPED;
  caps->RasterCaps = D3DPRASTERCAPS_DITHER | D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX | D3DPRASTERCAPS_FOGTABLE |
                     D3DPRASTERCAPS_MIPMAPLODBIAS | D3DPRASTERCAPS_FOGRANGE | D3DPRASTERCAPS_WFOG |
                     D3DPRASTERCAPS_ZFOG;
  caps->ZCmpCaps = caps->AlphaCmpCaps = 0xFF;  // every D3DCMP_* function
  caps->SrcBlendCaps = 0x3FFF;                 // every D3DBLEND_* factor
  caps->DestBlendCaps = 0x3FFF & ~(D3DPBLENDCAPS_BOTHSRCALPHA | D3DPBLENDCAPS_BOTHINVSRCALPHA);
  caps->ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                    D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD;
  caps->TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_PROJECTED |
                      D3DPTEXTURECAPS_MIPMAP;
  caps->TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                            D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR |
                            D3DPTFILTERCAPS_MINFANISOTROPIC | D3DPTFILTERCAPS_MAGFANISOTROPIC;
  caps->TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                             D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_INDEPENDENTUV | D3DPTADDRESSCAPS_MIRRORONCE;
  caps->StencilCaps = D3DSTENCILCAPS_KEEP | D3DSTENCILCAPS_ZERO | D3DSTENCILCAPS_REPLACE | D3DSTENCILCAPS_INCRSAT |
                      D3DSTENCILCAPS_DECRSAT | D3DSTENCILCAPS_INVERT | D3DSTENCILCAPS_INCR | D3DSTENCILCAPS_DECR |
                      D3DSTENCILCAPS_TWOSIDED;
  caps->LineCaps = D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND | D3DLINECAPS_ALPHACMP | D3DLINECAPS_FOG;
  caps->MaxTextureWidth = caps->MaxTextureHeight = maxTexture;
  UINT seam = DeviceSeams().maxTextureSize;
  if (seam && seam < maxTexture) caps->MaxTextureWidth = caps->MaxTextureHeight = seam;
  caps->MaxTextureRepeat = 32768;
  caps->MaxTextureAspectRatio = caps->MaxTextureWidth;
  caps->MaxAnisotropy = 16;
  caps->MaxVertexW = 1e10f;
  caps->GuardBandLeft = caps->GuardBandTop = -32768.0f;
  caps->GuardBandRight = caps->GuardBandBottom = 32768.0f;
  caps->FVFCaps = 8;  // texture coordinate sets
  caps->TextureOpCaps = 0x03FFFFFF & ~(D3DTEXOPCAPS_PREMODULATE | D3DTEXOPCAPS_BUMPENVMAP |
                                       D3DTEXOPCAPS_BUMPENVMAPLUMINANCE);
  caps->MaxTextureBlendStages = kStageCount;
  caps->MaxSimultaneousTextures = kDrawnStages;
  caps->VertexProcessingCaps = D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                               D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER;
  caps->MaxActiveLights = kMaxActiveLights;
  caps->MaxPointSize = 1.0f;
  caps->MaxPrimitiveCount = 0x555555;
  caps->MaxVertexIndex = 0xFFFFFF;
  caps->MaxStreams = kStreamCount;
  caps->MaxStreamStride = 1024;
  caps->DevCaps2 = D3DDEVCAPS2_STREAMOFFSET;
  caps->NumberOfAdaptersInGroup = 1;
  caps->NumSimultaneousRTs = 1;
}

HRESULT Direct3D::QueryInterface(REFIID riid, void** ppv) {
  return QueryFor(this, riid, ppv, {&kIidDirect3D9});
}

ULONG Direct3D::AddRef() { return ++refs_; }

ULONG Direct3D::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT Direct3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
  if (adapter != 0 || !mode) return D3DERR_INVALIDCALL;
  DesktopMode(mode);
  return D3D_OK;
}

HRESULT Direct3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                    D3DRESOURCETYPE rtype, D3DFORMAT checkFormat) {
  if (adapter != 0) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  if (adapterFormat != D3DFMT_X8R8G8B8) return D3DERR_NOTAVAILABLE;
  const bool target = checkFormat == D3DFMT_X8R8G8B8 || checkFormat == D3DFMT_A8R8G8B8;
  if (usage & D3DUSAGE_DEPTHSTENCIL)
    return (rtype == D3DRTYPE_SURFACE || rtype == D3DRTYPE_TEXTURE) && DepthStencilBits(checkFormat, nullptr, nullptr)
               ? D3D_OK
               : D3DERR_NOTAVAILABLE;
  if (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING))
    return target && (rtype == D3DRTYPE_SURFACE || rtype == D3DRTYPE_TEXTURE) ? D3D_OK
                                                                               : D3DERR_NOTAVAILABLE;
  if (rtype == D3DRTYPE_TEXTURE || rtype == D3DRTYPE_SURFACE)
    return TextureFormatBytes(checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
  return D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) {
  if (adapter != 0 || !caps) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  // Without a GL context the limit is not known yet; every GL 3.3 device we target has 8192.
  FillCaps(caps, adapter, type, 8192);
  return D3D_OK;
}

HRESULT Direct3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus, DWORD flags,
                               D3DPRESENT_PARAMETERS* pp, IDirect3DDevice9** out) {
  if (!out) return D3DERR_INVALIDCALL;
  *out = nullptr;
  if (!pp || adapter != 0) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  const DWORD modes = flags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                               D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING);
  if (modes != D3DCREATE_SOFTWARE_VERTEXPROCESSING && modes != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
      modes != D3DCREATE_MIXED_VERTEXPROCESSING)
    return D3DERR_INVALIDCALL;
  if (DeviceSeams().failCreateMask & modes) return D3DERR_NOTAVAILABLE;
  if (!pp->Windowed) return D3DERR_NOTAVAILABLE;
  if (pp->BackBufferFormat != D3DFMT_UNKNOWN && pp->BackBufferFormat != D3DFMT_X8R8G8B8 &&
      pp->BackBufferFormat != D3DFMT_A8R8G8B8)
    return D3DERR_NOTAVAILABLE;
  if (pp->MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
  HWND window = pp->hDeviceWindow ? pp->hDeviceWindow : focus;
  if (!window) return D3DERR_INVALIDCALL;
  Device* device = new Device(this, window, *pp, flags);
  if (!device->Init()) {
    device->Release();
    return D3DERR_NOTAVAILABLE;
  }
  *pp = device->presentParameters();  // the sizes and format chosen for zeros, as Direct3D does
  *out = device;
  return D3D_OK;
}

}  // namespace kvrd3d

extern "C" IDirect3D9* WINAPI Direct3DCreate9(UINT SDKVersion) {
  // 31 is the version of the SDK the program was written against, 32 the one of these headers.
  if (SDKVersion != 31 && SDKVersion != 32) return nullptr;
  if (kvrd3d::DeviceSeams().failDirect3DCreate) return nullptr;
  return new kvrd3d::Direct3D();
}
