// Direct3D 9 fixed-function lighting, per vertex, in camera space: the lighting part of the key,
// its uniforms, and the statements the vertex shader generator (vertex_shader.cpp) puts in.
// Implemented: D3DRS_LIGHTING, D3DRS_AMBIENT, the material, up to kMaxActiveLights directional,
//   point and spot lights (ambient, diffuse, specular with D3DRS_SPECULARENABLE, attenuation
//   1/(a0 + a1 d + a2 d^2), the range cut-off, the spot's inner and outer cones with falloff),
//   D3DRS_NORMALIZENORMALS, D3DRS_LOCALVIEWER, the four material sources with
//   D3DRS_COLORVERTEX; a vertex without a normal gets ambient and emissive light only.
// Not implemented: vertex blending and tweening (lit as if unblended), flat shading.
// What Direct3D leaves open is made safe: a zero normal or light direction lights nothing
//   (never a NaN), a light whose attenuation adds up to zero gives nothing (the light does not
//   show, as under Wine's Direct3D 9, where it turns the vertex black), a spot whose inner cone is wider than its outer one has a
//   hard edge at the outer cone, a world matrix without inverse has its normals transformed by
//   its cofactors.
#include "d3d9/lighting_shader.h"

#include <cmath>
#include <cstring>

namespace kvrd3d {

namespace {

void Multiply(const D3DMATRIX& a, const D3DMATRIX& b, D3DMATRIX* out) {
  D3DMATRIX t;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      t.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] +
                  a.m[r][3] * b.m[3][c];
  *out = t;
}

// Resolves a D3DRS_*MATERIALSOURCE value: a vertex colour the format does not hold, or any
// vertex colour with D3DRS_COLORVERTEX off, means the material's own.
uint8_t Source(DWORD value, bool colorVertex, const FvfLayout& layout) {
  if (!colorVertex) return 0;
  if (value == D3DMCS_COLOR1 && layout.diffuse >= 0) return 1;
  if (value == D3DMCS_COLOR2 && layout.specular >= 0) return 2;
  return 0;
}

void Put(float* v, float x, float y, float z, float w) {
  v[0] = x;
  v[1] = y;
  v[2] = z;
  v[3] = w;
}

void PutColor(float* v, const D3DCOLORVALUE& c) { Put(v, c.r, c.g, c.b, c.a); }

// Row vector (x, y, z, w) times the matrix.
void Transform(const D3DMATRIX& m, float x, float y, float z, float w, float out[3]) {
  for (int c = 0; c < 3; ++c) out[c] = x * m.m[0][c] + y * m.m[1][c] + z * m.m[2][c] + w * m.m[3][c];
}

// Scales to unit length; a vector too short to have a direction becomes zero.
void Normalize(float v[3]) {
  const float len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (!(len > 1e-30f) || !std::isfinite(len)) {
    v[0] = v[1] = v[2] = 0.0f;
    return;
  }
  for (int i = 0; i < 3; ++i) v[i] /= len;
}

}  // namespace

void FillLightingKey(const StateValues& s, const FvfLayout& layout, LightingKey* key,
                     const D3DLIGHT9* drawn[kMaxActiveLights]) {
  std::memset(key, 0, sizeof(*key));
  const DWORD* rs = s.renderStates;
  if (!rs[D3DRS_LIGHTING] || layout.pretransformed) return;
  key->lit = 1;
  for (DWORD index : s.enabledLights) {
    if (key->lightCount == kMaxActiveLights) break;
    auto it = s.lights.find(index);
    if (it == s.lights.end()) continue;
    const D3DLIGHT9& l = it->second.light;
    drawn[key->lightCount] = &l;
    key->lightTypes = static_cast<uint16_t>(key->lightTypes | ((l.Type & 3u) << (2 * key->lightCount)));
    ++key->lightCount;
  }
  key->normal = layout.normal >= 0 ? 1 : 0;
  key->normalize = rs[D3DRS_NORMALIZENORMALS] ? 1 : 0;
  key->localViewer = rs[D3DRS_LOCALVIEWER] ? 1 : 0;
  key->specular = rs[D3DRS_SPECULARENABLE] ? 1 : 0;
  const bool colorVertex = rs[D3DRS_COLORVERTEX] != 0;
  key->diffuseSource = Source(rs[D3DRS_DIFFUSEMATERIALSOURCE], colorVertex, layout);
  key->ambientSource = Source(rs[D3DRS_AMBIENTMATERIALSOURCE], colorVertex, layout);
  key->specularSource = Source(rs[D3DRS_SPECULARMATERIALSOURCE], colorVertex, layout);
  key->emissiveSource = Source(rs[D3DRS_EMISSIVEMATERIALSOURCE], colorVertex, layout);
}

void FillLightingUniforms(const StateValues& s, const LightingKey& key,
                          const D3DLIGHT9* const drawn[kMaxActiveLights], LightingUniforms* out) {
  std::memset(out, 0, sizeof(*out));
  const D3DMATRIX& view = s.transforms[D3DTS_VIEW];
  D3DMATRIX wv;
  Multiply(s.transforms[256], view, &wv);
  std::memcpy(out->worldView, &wv.m[0][0], sizeof(out->worldView));

  // Normals go through the inverse transpose of world * view's 3x3 part: its cofactors over its
  // determinant.
  float cof[3][3];
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
      cof[r][c] = wv.m[r1][c1] * wv.m[r2][c2] - wv.m[r1][c2] * wv.m[r2][c1];
    }
  const float det = wv.m[0][0] * cof[0][0] + wv.m[0][1] * cof[0][1] + wv.m[0][2] * cof[0][2];
  const float scale = std::fabs(det) > 1e-30f && std::isfinite(det) ? 1.0f / det : 1.0f;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) out->normalMatrix[r * 3 + c] = cof[r][c] * scale;

  const D3DMATERIAL9& m = s.material;
  PutColor(out->material[0], m.Diffuse);
  PutColor(out->material[1], m.Ambient);
  PutColor(out->material[2], m.Specular);
  PutColor(out->material[3], m.Emissive);
  Put(out->material[4], m.Power, 0, 0, 0);
  const DWORD a = s.renderStates[D3DRS_AMBIENT];
  Put(out->ambient, ((a >> 16) & 0xFF) / 255.0f, ((a >> 8) & 0xFF) / 255.0f, (a & 0xFF) / 255.0f,
      ((a >> 24) & 0xFF) / 255.0f);

  for (int i = 0; i < key.lightCount; ++i) {
    const D3DLIGHT9& l = *drawn[i];
    float(*v)[4] = out->lights + i * LightingUniforms::kVectorsPerLight;
    PutColor(v[0], l.Diffuse);
    PutColor(v[1], l.Specular);
    PutColor(v[2], l.Ambient);
    float p[3], d[3];
    Transform(view, l.Position.x, l.Position.y, l.Position.z, 1.0f, p);
    Put(v[3], p[0], p[1], p[2], 1.0f);
    // The shader wants the way towards the light; the light shines along Direction.
    Transform(view, -l.Direction.x, -l.Direction.y, -l.Direction.z, 0.0f, d);
    Normalize(d);
    Put(v[4], d[0], d[1], d[2], 0.0f);
    Put(v[5], l.Range, l.Attenuation0, l.Attenuation1, l.Attenuation2);
    const float cosInner = std::cos(l.Theta * 0.5f), cosOuter = std::cos(l.Phi * 0.5f);
    // An inner cone wider than the outer one leaves only the outer edge.
    Put(v[6], cosInner > cosOuter ? cosInner : cosOuter, cosOuter, l.Falloff, 0.0f);
  }
}

std::string LightingDeclarations(const LightingKey& key) {
  std::string s =
      "uniform mat3 uNormalMatrix;\n"
      "uniform vec4 uMaterial[5];\n"
      "uniform vec4 uAmbient;\n";
  if (key.lightCount)
    s += "uniform vec4 uLights[" + std::to_string(key.lightCount * LightingUniforms::kVectorsPerLight) + "];\n";
  return s;
}

std::string LightingBody(const LightingKey& key) {
  auto source = [](uint8_t which, int material) {
    if (which == 1) return std::string("diffuseIn");
    if (which == 2) return std::string("specularIn");
    return "uMaterial[" + std::to_string(material) + "]";
  };
  std::string s;
  s += "  vec4 md = " + source(key.diffuseSource, 0) + ";\n";
  s += "  vec4 ma = " + source(key.ambientSource, 1) + ";\n";
  s += "  vec4 ms = " + source(key.specularSource, 2) + ";\n";
  s += "  vec4 me = " + source(key.emissiveSource, 3) + ";\n";
  s += "  vec3 ambient = uAmbient.rgb;\n  vec3 diffuse = vec3(0.0);\n  vec3 specular = vec3(0.0);\n";
  if (key.normal) {
    s += "  vec3 N = uNormalMatrix * aNormal.xyz;\n";
    if (key.normalize) s += "  { float len = length(N); N = len > 0.0 ? N / len : vec3(0.0); }\n";
    if (key.specular) {
      // The way towards the eye: from the vertex to the camera's origin, or, for a viewer at
      // infinity, straight back along camera space's -z.
      if (key.localViewer)
        s += "  vec3 V = length(P) > 0.0 ? normalize(-P) : vec3(0.0);\n";
      else
        s += "  vec3 V = vec3(0.0, 0.0, -1.0);\n";
    }
  }
  s += "  vec3 L;\n  float atten, nl, nh;\n";
  for (int i = 0; i < key.lightCount; ++i) {
    const int type = (key.lightTypes >> (2 * i)) & 3;
    const int b = i * LightingUniforms::kVectorsPerLight;
    auto u = [&](int k) { return "uLights[" + std::to_string(b + k) + "]"; };
    s += "  // light " + std::to_string(i) + "\n  {\n";
    if (type == D3DLIGHT_DIRECTIONAL) {
      s += "    L = " + u(4) + ".xyz;\n    atten = 1.0;\n";
    } else {
      s += "    vec3 toLight = " + u(3) + ".xyz - P;\n";
      s += "    float d = length(toLight);\n";
      s += "    L = d > 0.0 ? toLight / d : vec3(0.0);\n";
      s += "    vec4 r = " + u(5) + ";\n";
      // Beyond its range a light gives nothing, and so does one whose attenuation adds up to
      // zero (or is not a number); a tiny sum stays finite.
      s += "    float sum = r.y + r.z * d + r.w * d * d;\n";
      s += "    atten = (d > r.x || !(sum > 0.0)) ? 0.0 : 1.0 / max(sum, 1e-30);\n";
      if (type == D3DLIGHT_SPOT) {
        s += "    vec4 cone = " + u(6) + ";\n";
        s += "    float rho = dot(" + u(4) + ".xyz, L);\n";
        s += "    atten *= rho > cone.x ? 1.0 : (rho <= cone.y ? 0.0 : "
             "pow((rho - cone.y) / (cone.x - cone.y), cone.z));\n";
      }
    }
    s += "    ambient += " + u(2) + ".rgb * atten;\n";
    if (key.normal) {
      // A normal longer than a unit one (a world that shrinks, without NORMALIZENORMALS) gives
      // no more diffuse light than a unit one would: N.L stops at 1.
      s += "    nl = min(dot(N, L), 1.0);\n";
      s += "    if (nl > 0.0) {\n";
      s += "      diffuse += " + u(0) + ".rgb * (nl * atten);\n";
      if (key.specular) {
        s += "      vec3 H = L + V;\n";
        s += "      H = length(H) > 0.0 ? normalize(H) : vec3(0.0);\n";
        // N.H is not bounded: a long normal makes a highlight brighter, as other devices do.
        s += "      nh = dot(N, H);\n";
        s += "      if (nh > 0.0) specular += " + u(1) + ".rgb * (pow(nh, uMaterial[4].x) * atten);\n";
      }
      s += "    }\n";
    }
    s += "  }\n";
  }
  s += "  diffuseOut = vec4(clamp(me.rgb + ma.rgb * ambient + md.rgb * diffuse, 0.0, 1.0), clamp(md.a, 0.0, 1.0));\n";
  s += "  specularOut = vec4(clamp(ms.rgb * specular, 0.0, 1.0), clamp(ms.a, 0.0, 1.0));\n";
  return s;
}

}  // namespace kvrd3d
