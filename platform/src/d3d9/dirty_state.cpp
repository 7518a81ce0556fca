// The tables of dirty_state.h: which draw-time groups each render, texture-stage and sampler
// state feeds. A state missing here is stored and returned but never drawn with.
#include "d3d9/dirty_state.h"

#include "d3d9/d3d9_internal.h"

namespace kvrd3d {

namespace {

struct RenderStateDirt {
  D3DRENDERSTATETYPE state;
  DirtyBits dirty;
};

constexpr DirtyBits kKeys = kDirtyVertexKey | kDirtyFragmentKey;

const RenderStateDirt kRenderStates[] = {
    {D3DRS_ZENABLE, kDirtyDepth},
    {D3DRS_ZWRITEENABLE, kDirtyDepth},
    {D3DRS_ZFUNC, kDirtyDepth},
    {D3DRS_FILLMODE, kDirtyRaster},
    {D3DRS_CULLMODE, kDirtyRaster},
    {D3DRS_COLORWRITEENABLE, kDirtyRaster},
    {D3DRS_ALPHABLENDENABLE, kDirtyBlend},
    {D3DRS_SRCBLEND, kDirtyBlend},
    {D3DRS_DESTBLEND, kDirtyBlend},
    {D3DRS_BLENDOP, kDirtyBlend},
    {D3DRS_SEPARATEALPHABLENDENABLE, kDirtyBlend},
    {D3DRS_SRCBLENDALPHA, kDirtyBlend},
    {D3DRS_DESTBLENDALPHA, kDirtyBlend},
    {D3DRS_BLENDOPALPHA, kDirtyBlend},
    {D3DRS_BLENDFACTOR, kDirtyBlend},
    {D3DRS_ALPHATESTENABLE, kDirtyFragmentKey},
    {D3DRS_ALPHAFUNC, kDirtyFragmentKey},
    {D3DRS_ALPHAREF, kDirtyFragmentUniforms},
    {D3DRS_TEXTUREFACTOR, kDirtyFragmentUniforms},
    {D3DRS_FOGCOLOR, kDirtyFragmentUniforms},
    {D3DRS_FOGSTART, kDirtyFragmentUniforms},
    {D3DRS_FOGEND, kDirtyFragmentUniforms},
    {D3DRS_FOGDENSITY, kDirtyFragmentUniforms},
    {D3DRS_FOGENABLE, kKeys},
    {D3DRS_FOGTABLEMODE, kKeys},
    {D3DRS_FOGVERTEXMODE, kKeys},
    {D3DRS_RANGEFOGENABLE, kKeys},
    {D3DRS_SPECULARENABLE, kKeys},
    {D3DRS_LIGHTING, kKeys | kDirtyLighting},
    {D3DRS_NORMALIZENORMALS, kDirtyVertexKey},
    {D3DRS_LOCALVIEWER, kDirtyVertexKey},
    {D3DRS_COLORVERTEX, kDirtyVertexKey},
    {D3DRS_DIFFUSEMATERIALSOURCE, kDirtyVertexKey},
    {D3DRS_AMBIENTMATERIALSOURCE, kDirtyVertexKey},
    {D3DRS_SPECULARMATERIALSOURCE, kDirtyVertexKey},
    {D3DRS_EMISSIVEMATERIALSOURCE, kDirtyVertexKey},
    {D3DRS_AMBIENT, kDirtyLighting},
    {D3DRS_STENCILENABLE, kDirtyStencil},
    {D3DRS_STENCILFAIL, kDirtyStencil},
    {D3DRS_STENCILZFAIL, kDirtyStencil},
    {D3DRS_STENCILPASS, kDirtyStencil},
    {D3DRS_STENCILFUNC, kDirtyStencil},
    {D3DRS_STENCILREF, kDirtyStencil},
    {D3DRS_STENCILMASK, kDirtyStencil},
    {D3DRS_STENCILWRITEMASK, kDirtyStencil},
    {D3DRS_TWOSIDEDSTENCILMODE, kDirtyStencil},
    {D3DRS_CCW_STENCILFAIL, kDirtyStencil},
    {D3DRS_CCW_STENCILZFAIL, kDirtyStencil},
    {D3DRS_CCW_STENCILPASS, kDirtyStencil},
    {D3DRS_CCW_STENCILFUNC, kDirtyStencil},
};

struct Table {
  DirtyBits render[kRenderStateCount] = {};
  Table() {
    for (const RenderStateDirt& r : kRenderStates) render[r.state] = r.dirty;
  }
};

const Table& Tables() {
  static const Table table;
  return table;
}

}  // namespace

DirtyBits DirtyForRenderState(DWORD state) {
  return state < kRenderStateCount ? Tables().render[state] : 0;
}

DirtyBits DirtyForStageState(DWORD stage, DWORD type) {
  if (stage >= kStageCount) return 0;
  switch (type) {
    case D3DTSS_COLOROP: case D3DTSS_COLORARG1: case D3DTSS_COLORARG2: case D3DTSS_COLORARG0:
    case D3DTSS_ALPHAOP: case D3DTSS_ALPHAARG1: case D3DTSS_ALPHAARG2: case D3DTSS_ALPHAARG0:
    case D3DTSS_RESULTARG:
      // The first disabled stage ends the cascade: the later stages' samplers and coordinates
      // come and go with it.
      return kDirtyVertexKey | kDirtyFragmentKey | kDirtyVertexInput;
    case D3DTSS_TEXCOORDINDEX: case D3DTSS_TEXTURETRANSFORMFLAGS:
      return kDirtyVertexKey | kDirtyFragmentKey;
    case D3DTSS_CONSTANT:
      return kDirtyFragmentUniforms;
    default:
      return 0;  // bump mapping and luminance states: stored only
  }
}

DirtyBits DirtyForSamplerState(DWORD sampler, DWORD type) {
  if (sampler >= kDrawnStages) return 0;
  switch (type) {
    case D3DSAMP_ADDRESSU: case D3DSAMP_ADDRESSV: case D3DSAMP_BORDERCOLOR: case D3DSAMP_MAGFILTER:
    case D3DSAMP_MINFILTER: case D3DSAMP_MIPFILTER: case D3DSAMP_MIPMAPLODBIAS:
      return DirtySampler(sampler);
    case D3DSAMP_MAXMIPLEVEL:
      return DirtyTexture(sampler);  // a base level of the texture object
    default:
      return 0;
  }
}

}  // namespace kvrd3d
