// The generated fragment shader of a fixed-function key: Direct3D 9's texture stage cascade.
// Implemented: eight stages, each sampling its own texture with its own coordinates (divided by q
//   when projected); every D3DTOP_ (BUMPENVMAP, BUMPENVMAPLUMINANCE and PREMODULATE pass the
//   current colour on, as under Wine; DOTPRODUCT3 as a colour operation fills alpha too, as Direct3D has it); arguments
//   DIFFUSE, CURRENT, TEXTURE, TFACTOR, SPECULAR, TEMP, CONSTANT with COMPLEMENT and
//   ALPHAREPLICATE; each stage's result saturated and written to CURRENT or TEMP; the alpha test
//   on the 8-bit alpha; the specular colour added after the stages; fog (a per-vertex factor, or
//   the table's linear, exp or exp2 per pixel) towards D3DRS_FOGCOLOR.
// Not implemented: the bump-map matrix (the next stage's coordinates are used as given).
#include "d3d9/shader_generator.h"

namespace kvrd3d {

namespace {

std::string N(int i) { return std::to_string(i); }

// An argument as a vec4 expression, with its modifiers.
std::string Arg(uint8_t arg, int stage) {
  std::string v;
  switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: v = "vDiffuse"; break;
    case D3DTA_CURRENT: v = "cur"; break;
    case D3DTA_TEXTURE: v = "tex"; break;
    case D3DTA_TFACTOR: v = "uFactor"; break;
    case D3DTA_SPECULAR: v = "vSpecular"; break;
    case D3DTA_TEMP: v = "temp"; break;
    case D3DTA_CONSTANT: v = "uConstant[" + N(stage) + "]"; break;
    default: v = "vec4(0.0)"; break;
  }
  if (arg & D3DTA_COMPLEMENT) v = "(vec4(1.0) - " + v + ")";
  if (arg & D3DTA_ALPHAREPLICATE) v = "vec4(" + v + ".a)";
  return v;
}

// One operation on the colour (sel ".rgb") or alpha (".a") channels; the result is saturated.
std::string Op(uint8_t op, uint8_t a0, uint8_t a1, uint8_t a2, int stage, bool alpha) {
  const std::string sel = alpha ? ".a" : ".rgb";
  const std::string A0 = Arg(a0, stage), A1 = Arg(a1, stage), A2 = Arg(a2, stage);
  const std::string x0 = A0 + sel, x1 = A1 + sel, x2 = A2 + sel;
  const std::string one = alpha ? "1.0" : "vec3(1.0)";
  auto blend = [&](const std::string& f) { return "mix(" + x2 + ", " + x1 + ", " + f + ")"; };
  std::string e;
  switch (op) {
    case D3DTOP_SELECTARG2: e = x2; break;
    case D3DTOP_MODULATE: e = x1 + " * " + x2; break;
    case D3DTOP_MODULATE2X: e = x1 + " * " + x2 + " * 2.0"; break;
    case D3DTOP_MODULATE4X: e = x1 + " * " + x2 + " * 4.0"; break;
    case D3DTOP_ADD: e = x1 + " + " + x2; break;
    case D3DTOP_ADDSIGNED: e = x1 + " + " + x2 + " - 0.5"; break;
    case D3DTOP_ADDSIGNED2X: e = "(" + x1 + " + " + x2 + " - 0.5) * 2.0"; break;
    case D3DTOP_SUBTRACT: e = x1 + " - " + x2; break;
    case D3DTOP_ADDSMOOTH: e = x1 + " + " + x2 + " - " + x1 + " * " + x2; break;
    case D3DTOP_BLENDDIFFUSEALPHA: e = blend("vDiffuse.a"); break;
    case D3DTOP_BLENDTEXTUREALPHA: e = blend("tex.a"); break;
    case D3DTOP_BLENDFACTORALPHA: e = blend("uFactor.a"); break;
    case D3DTOP_BLENDCURRENTALPHA: e = blend("cur.a"); break;
    case D3DTOP_BLENDTEXTUREALPHAPM: e = x1 + " + " + x2 + " * (1.0 - tex.a)"; break;
    // The four below are colour operations; on alpha they select the first argument.
    case D3DTOP_MODULATEALPHA_ADDCOLOR: e = alpha ? x1 : x1 + " + " + A1 + ".a * " + x2; break;
    case D3DTOP_MODULATECOLOR_ADDALPHA: e = alpha ? x1 : x1 + " * " + x2 + " + " + A1 + ".a"; break;
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR: e = alpha ? x1 : "(1.0 - " + A1 + ".a) * " + x2 + " + " + x1; break;
    case D3DTOP_MODULATEINVCOLOR_ADDALPHA: e = alpha ? x1 : "(" + one + " - " + x1 + ") * " + x2 + " + " + A1 + ".a"; break;
    case D3DTOP_DOTPRODUCT3:
      e = "dot(" + A1 + ".rgb - 0.5, " + A2 + ".rgb - 0.5) * 4.0";
      if (!alpha) e = "vec3(" + e + ")";
      break;
    case D3DTOP_MULTIPLYADD: e = x0 + " + " + x1 + " * " + x2; break;
    case D3DTOP_LERP: e = "mix(" + x2 + ", " + x1 + ", " + x0 + ")"; break;
    // The stage only prepares the next one's sampling (not modelled): what came in passes on.
    case D3DTOP_PREMODULATE: case D3DTOP_BUMPENVMAP: case D3DTOP_BUMPENVMAPLUMINANCE: e = "cur" + sel; break;
    default: e = x1; break;  // SELECTARG1
  }
  return "clamp(" + e + ", 0.0, 1.0)";
}

}  // namespace

std::string FragmentShader(const ShaderKey& key) {
  const FragmentKey& k = key.fragment;
  const Varyings v = VaryingsOf(key);
  std::string s = "#version 330 core\n" + DeclareVaryings(v, "in");
  bool constants = false;
  for (int i = 0; i < k.stageCount; ++i) {
    const FragmentKey::Stage& st = k.stages[i];
    if (st.sampled) s += "uniform sampler2D uTex" + N(i) + ";\n";
    for (uint8_t a : {st.colorArg0, st.colorArg1, st.colorArg2, st.alphaArg0, st.alphaArg1, st.alphaArg2})
      if ((a & D3DTA_SELECTMASK) == D3DTA_CONSTANT) constants = true;
  }
  s += "uniform vec4 uFactor;\nuniform int uAlphaRef;\n";
  if (constants) s += "uniform vec4 uConstant[" + N(kDrawnStages) + "];\n";
  if (k.fog != kFragmentFogNone) s += "uniform vec4 uFogColor;\n";
  if (k.fog >= kFragmentFogExp) s += "uniform vec4 uFogParams;\n";
  s += "out vec4 fragColor;\n"
       "void main() {\n"
       "  vec4 cur = vDiffuse;\n  vec4 temp = vec4(0.0);\n  vec4 tex = vec4(1.0);\n";
  for (int i = 0; i < k.stageCount; ++i) {
    const FragmentKey::Stage& st = k.stages[i];
    if (st.sampled) {
      const std::string c = "vTex" + N(i);
      s += "  tex = texture(uTex" + N(i) + ", " + (st.projected ? c + ".xy / " + c + ".w" : c + ".xy") + ");\n";
    }
    s += "  {\n    vec3 rgb = " + Op(st.colorOp, st.colorArg0, st.colorArg1, st.colorArg2, i, false) + ";\n";
    if (st.colorOp == D3DTOP_DOTPRODUCT3)
      s += "    float a = rgb.r;\n";
    else
      s += "    float a = " + Op(st.alphaOp, st.alphaArg0, st.alphaArg1, st.alphaArg2, i, true) + ";\n";
    s += std::string("    ") + (st.resultTemp ? "temp" : "cur") + " = vec4(rgb, a);\n  }\n";
  }
  if (k.alphaFunc) {
    // Direct3D compares the 8-bit alpha with the 8-bit reference.
    static const char* kCompare[] = {"", "false", "a8 < uAlphaRef", "a8 == uAlphaRef",
                                     "a8 <= uAlphaRef", "a8 > uAlphaRef", "a8 != uAlphaRef",
                                     "a8 >= uAlphaRef", "true"};
    s += "  int a8 = int(floor(clamp(cur.a, 0.0, 1.0) * 255.0 + 0.5));\n";
    s += std::string("  if (!(") + kCompare[k.alphaFunc] + ")) discard;\n";
  }
  s += "  fragColor = clamp(cur, 0.0, 1.0);\n";
  // The specular colour comes after the texture stages; alpha keeps what they made.
  if (k.addSpecular) s += "  fragColor.rgb = min(fragColor.rgb + clamp(vSpecular.rgb, 0.0, 1.0), 1.0);\n";
  switch (k.fog) {
    case kFragmentFogFactor: s += "  float fog = vFog;\n"; break;
    case kFragmentFogLinear: s += "  float fog = (uFogParams.y - vFog) * uFogParams.w;\n"; break;
    case kFragmentFogExp: s += "  float fog = exp(-uFogParams.z * vFog);\n"; break;
    case kFragmentFogExp2: s += "  float fog = exp(-(uFogParams.z * vFog) * (uFogParams.z * vFog));\n"; break;
    default: break;
  }
  if (k.fog != kFragmentFogNone) s += "  fragColor.rgb = mix(uFogColor.rgb, fragColor.rgb, clamp(fog, 0.0, 1.0));\n";
  s += "}\n";
  return s;
}

}  // namespace kvrd3d
