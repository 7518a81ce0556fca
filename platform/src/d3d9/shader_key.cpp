// Fills the keys of shader_key.h from the device's state: a stage that reads a texture it does
// not have passes its input on, an alpha operation left DISABLE under an enabled colour one takes
// the current alpha, an unknown operation ends the cascade like DISABLE.
// Left out (as in the key): vertex blending, point sprites, bump-map matrices.
#include "d3d9/shader_key.h"

namespace kvrd3d {

namespace {

bool Selects(uint8_t arg, DWORD what) { return (arg & D3DTA_SELECTMASK) == what; }

// The arguments an operation reads: 1 and 2 always (but not for the SELECTARGs), 0 for the
// three-argument ones.
bool ReadsArg(uint8_t op, int which) {
  switch (op) {
    case D3DTOP_DISABLE: return false;
    case D3DTOP_SELECTARG1: return which == 1;
    case D3DTOP_SELECTARG2: return which == 2;
    case D3DTOP_MULTIPLYADD: case D3DTOP_LERP: return true;
    default: return which != 0;
  }
}

bool ReadsTexture(uint8_t op, uint8_t a0, uint8_t a1, uint8_t a2) {
  if (op == D3DTOP_BLENDTEXTUREALPHA || op == D3DTOP_BLENDTEXTUREALPHAPM) return true;
  return (ReadsArg(op, 0) && Selects(a0, D3DTA_TEXTURE)) || (ReadsArg(op, 1) && Selects(a1, D3DTA_TEXTURE)) ||
         (ReadsArg(op, 2) && Selects(a2, D3DTA_TEXTURE));
}

bool ReadsFrom(uint8_t op, uint8_t a0, uint8_t a1, uint8_t a2, DWORD what) {
  return (ReadsArg(op, 0) && Selects(a0, what)) || (ReadsArg(op, 1) && Selects(a1, what)) ||
         (ReadsArg(op, 2) && Selects(a2, what));
}

uint8_t Arg(DWORD v) { return static_cast<uint8_t>(v & 0x3F); }

bool Perspective(const D3DMATRIX& p) {
  return !(p._14 == 0.0f && p._24 == 0.0f && p._34 == 0.0f && p._44 == 1.0f);
}

}  // namespace

bool ReadsSpecular(const FragmentKey& key) {
  if (key.addSpecular || key.fog == kFragmentFogFactor) return true;
  for (int i = 0; i < key.stageCount; ++i) {
    const FragmentKey::Stage& st = key.stages[i];
    if (ReadsFrom(st.colorOp, st.colorArg0, st.colorArg1, st.colorArg2, D3DTA_SPECULAR) ||
        ReadsFrom(st.alphaOp, st.alphaArg0, st.alphaArg1, st.alphaArg2, D3DTA_SPECULAR))
      return true;
  }
  return false;
}

void FillFragmentKey(const StateValues& s, const FvfLayout& layout, FragmentKey* key) {
  std::memset(key, 0, sizeof(*key));
  const DWORD* rs = s.renderStates;
  if (rs[D3DRS_ALPHATESTENABLE] && rs[D3DRS_ALPHAFUNC] >= D3DCMP_NEVER && rs[D3DRS_ALPHAFUNC] < D3DCMP_ALWAYS)
    key->alphaFunc = static_cast<uint8_t>(rs[D3DRS_ALPHAFUNC]);
  for (DWORD i = 0; i < kDrawnStages; ++i) {
    const DWORD* ts = s.stageStates[i];
    if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE || ts[D3DTSS_COLOROP] > D3DTOP_LERP) break;
    FragmentKey::Stage& st = key->stages[i];
    st.colorOp = static_cast<uint8_t>(ts[D3DTSS_COLOROP]);
    st.colorArg0 = Arg(ts[D3DTSS_COLORARG0]);
    st.colorArg1 = Arg(ts[D3DTSS_COLORARG1]);
    st.colorArg2 = Arg(ts[D3DTSS_COLORARG2]);
    st.alphaOp = static_cast<uint8_t>(ts[D3DTSS_ALPHAOP] > D3DTOP_LERP ? static_cast<DWORD>(D3DTOP_DISABLE) : ts[D3DTSS_ALPHAOP]);
    st.alphaArg0 = Arg(ts[D3DTSS_ALPHAARG0]);
    st.alphaArg1 = Arg(ts[D3DTSS_ALPHAARG1]);
    st.alphaArg2 = Arg(ts[D3DTSS_ALPHAARG2]);
    st.resultTemp = Selects(Arg(ts[D3DTSS_RESULTARG]), D3DTA_TEMP) ? 1 : 0;
    const bool hasTexture = s.textures[i].get() != nullptr;
    // An operation that reads the texture of a stage without one passes its input through.
    const bool colorReads = ReadsTexture(st.colorOp, st.colorArg0, st.colorArg1, st.colorArg2);
    const bool alphaReads = ReadsTexture(st.alphaOp, st.alphaArg0, st.alphaArg1, st.alphaArg2);
    if (!hasTexture && colorReads) {
      st.colorOp = D3DTOP_SELECTARG1;
      st.colorArg0 = st.colorArg2 = 0;
      st.colorArg1 = D3DTA_CURRENT;
    }
    if (st.alphaOp == D3DTOP_DISABLE || (!hasTexture && alphaReads)) {
      st.alphaOp = D3DTOP_SELECTARG1;
      st.alphaArg0 = st.alphaArg2 = 0;
      st.alphaArg1 = D3DTA_CURRENT;
    }
    st.sampled = hasTexture && (colorReads || alphaReads) ? 1 : 0;
    const DWORD ttff = ts[D3DTSS_TEXTURETRANSFORMFLAGS];
    st.projected = st.sampled && !layout.pretransformed && (ttff & D3DTTFF_PROJECTED) && (ttff & 0xFF) > 1 ? 1 : 0;
    key->stageCount = static_cast<uint8_t>(i + 1);
  }
  if (rs[D3DRS_SPECULARENABLE]) {
    const bool lit = rs[D3DRS_LIGHTING] && !layout.pretransformed;
    key->addSpecular = (lit || layout.specular >= 0) ? 1 : 0;
  }
  if (rs[D3DRS_FOGENABLE]) {
    const DWORD table = rs[D3DRS_FOGTABLEMODE], vertex = rs[D3DRS_FOGVERTEXMODE];
    if (table >= D3DFOG_EXP && table <= D3DFOG_LINEAR)
      key->fog = static_cast<uint8_t>(kFragmentFogExp + (table - D3DFOG_EXP));
    else if ((vertex >= D3DFOG_EXP && vertex <= D3DFOG_LINEAR && !layout.pretransformed) || layout.specular >= 0)
      key->fog = kFragmentFogFactor;
    // Neither mode and no specular colour to take the factor from: nothing fogs.
  }
}

void FillVertexKey(const StateValues& s, const FvfLayout& layout, const FragmentKey& fragment,
                   VertexKey* key, const D3DLIGHT9* drawn[kMaxActiveLights]) {
  std::memset(key, 0, sizeof(*key));
  const DWORD* rs = s.renderStates;
  key->pretransformed = layout.pretransformed ? 1 : 0;
  FillLightingKey(s, layout, &key->lighting, drawn);
  key->passSpecular = ReadsSpecular(fragment) ? 1 : 0;
  if (fragment.fog >= kFragmentFogExp) {
    key->fog = kVertexFogTableDepth;
    key->orthoFog = !layout.pretransformed && !Perspective(s.transforms[D3DTS_PROJECTION]) ? 1 : 0;
  } else if (fragment.fog == kFragmentFogFactor) {
    const DWORD vertex = rs[D3DRS_FOGVERTEXMODE];
    if (!layout.pretransformed && vertex >= D3DFOG_EXP && vertex <= D3DFOG_LINEAR) {
      key->fog = static_cast<uint8_t>(kVertexFogExp + (vertex - D3DFOG_EXP));
      key->fogRange = rs[D3DRS_RANGEFOGENABLE] ? 1 : 0;
    } else {
      key->fog = kVertexFogSpecularAlpha;
    }
  }
  key->coordCount = fragment.stageCount;
  for (int i = 0; i < fragment.stageCount; ++i) {
    VertexKey::Coord& c = key->coords[i];
    c.set = 0xFF;
    if (!fragment.stages[i].sampled) continue;
    const DWORD* ts = s.stageStates[i];
    const DWORD index = ts[D3DTSS_TEXCOORDINDEX];
    const DWORD generate = (index >> 16) & 0xFFFF;
    const DWORD set = index & 0xFFFF;
    if (generate != 0 && !layout.pretransformed && generate <= 4) {
      c.generate = static_cast<uint8_t>(generate);
    } else if (set < layout.texSets) {
      c.set = static_cast<uint8_t>(set);
      c.setFloats = static_cast<uint8_t>(layout.texFloats[set]);
    }
    const DWORD ttff = ts[D3DTSS_TEXTURETRANSFORMFLAGS];
    if (!layout.pretransformed && (ttff & 0xFF) >= D3DTTFF_COUNT1 && (ttff & 0xFF) <= D3DTTFF_COUNT4) {
      c.transform = static_cast<uint8_t>(ttff & 0xFF);
      c.projected = fragment.stages[i].projected;
    }
  }
}

}  // namespace kvrd3d
