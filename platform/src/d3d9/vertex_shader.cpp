// The generated vertex shader of a fixed-function key.
// Implemented: pre-transformed vertices (back-buffer pixels with Direct3D's pixel centres, z as
//   depth, 1/rhw as w), world * view * projection to Direct3D's clip space, lighting
//   (lighting_shader.cpp), texture coordinates per stage from any set of the vertex format or
//   generated in camera space (normal, position, reflection), texture transforms (COUNT1-4, the
//   missing components of a set filled as Direct3D fills them, PROJECTED), vertex fog (linear,
//   exp, exp2 from the depth or, with D3DRS_RANGEFOGENABLE, the distance), the depth table fog
//   reads (camera-space z, or z under a projection without perspective), fog from the specular
//   alpha.
// Not implemented: sphere-map coordinates, vertex blending, point size.
#include "d3d9/shader_generator.h"

namespace kvrd3d {

namespace {

std::string N(int i) { return std::to_string(i); }

// A set of `floats` floats as Direct3D hands it to the texture matrix: the component after the
// last given one is 1.
std::string PaddedSet(int set, int floats) {
  const std::string a = "aTex" + N(set);
  switch (floats) {
    case 1: return "vec4(" + a + ".x, 1.0, 0.0, 0.0)";
    case 2: return "vec4(" + a + ".xy, 1.0, 0.0)";
    case 3: return "vec4(" + a + ".xyz, 1.0)";
    default: return a;
  }
}

bool NeedsEye(const VertexKey& k) {
  if (k.pretransformed) return false;
  if (k.lighting.lit) return true;
  if (k.fog != kVertexFogNone && k.fog != kVertexFogSpecularAlpha) return true;
  for (int i = 0; i < k.coordCount; ++i)
    if (k.coords[i].generate) return true;
  return false;
}

bool NeedsNormal(const VertexKey& k) {
  for (int i = 0; i < k.coordCount; ++i)
    if (k.coords[i].generate == 1 || k.coords[i].generate == 3) return true;
  return false;
}

}  // namespace

std::string VertexShader(const ShaderKey& key) {
  const VertexKey& k = key.vertex;
  const Varyings v = VaryingsOf(key);
  const bool eye = NeedsEye(k);
  const bool normal = NeedsNormal(k) && !k.pretransformed;
  std::string s =
      "#version 330 core\n"
      "layout(location = 0) in vec4 aPosition;\n"
      "layout(location = 1) in vec4 aDiffuse;\n"
      "layout(location = 2) in vec4 aSpecular;\n"
      "layout(location = 3) in vec4 aNormal;\n";
  bool declared[8] = {};
  for (int i = 0; i < k.coordCount; ++i) {
    const int set = k.coords[i].set;
    if (set < 8 && !k.coords[i].generate && !declared[set]) {
      s += "layout(location = " + N(kAttribTexSet0 + set) + ") in vec4 aTex" + N(set) + ";\n";
      declared[set] = true;
    }
  }
  s += "uniform mat4 uWvp;\nuniform vec4 uScreen;\n";
  if (eye) s += "uniform mat4 uWorldView;\n";
  if (k.lighting.lit) s += LightingDeclarations(k.lighting);
  else if (normal) s += "uniform mat3 uNormalMatrix;\n";
  for (int i = 0; i < k.coordCount; ++i)
    if (k.coords[i].transform) s += "uniform mat4 uTexMatrix" + N(i) + ";\n";
  if (k.fog >= kVertexFogExp && k.fog <= kVertexFogLinear) s += "uniform vec4 uFogParams;\n";
  // Vertex colours are D3DCOLORs: OpenGL ES takes their bytes as they lie, B, G, R, A.
  s += "#ifdef GL_ES\n#define VERTEX_COLOR(c) (c).bgra\n#else\n#define VERTEX_COLOR(c) (c)\n#endif\n";
  s += DeclareVaryings(v, "out");
  s += "void main() {\n"
       "  vec4 diffuseIn = VERTEX_COLOR(aDiffuse);\n"
       "  vec4 specularIn = VERTEX_COLOR(aSpecular);\n";
  if (k.pretransformed) {
    // Back-buffer pixels with Direct3D's centres on integers: GL's are on halves.
    s += "  float w = (aPosition.w != 0.0 && !isinf(aPosition.w)) ? 1.0 / aPosition.w : 1.0;\n"
         "  vec2 ndc = (aPosition.xy + 0.5 - uScreen.xy) * 2.0 / uScreen.zw - 1.0;\n"
         "  gl_Position = vec4(ndc.x * w, ndc.y * w, (2.0 * aPosition.z - 1.0) * w, w);\n";
  } else {
    // Direct3D's clip space: y up and depth 0..w. The target's rows are stored top first, so y
    // flips; the half-pixel shift puts Direct3D's pixel centres on GL's.
    s += "  vec4 c = uWvp * aPosition;\n"
         "  gl_Position = vec4(c.x + c.w / uScreen.z, -c.y + c.w / uScreen.w, 2.0 * c.z - c.w, c.w);\n";
  }
  if (eye) s += "  vec3 P = (uWorldView * aPosition).xyz;\n";
  if (normal && !k.lighting.lit) s += "  vec3 N = normalize(uNormalMatrix * aNormal.xyz);\n";
  if (k.lighting.lit) {
    s += "  vec4 diffuseOut, specularOut;\n";
    s += LightingBody(k.lighting);
    if (normal && !k.lighting.normal) s += "  vec3 N = normalize(uNormalMatrix * aNormal.xyz);\n";
    s += "  vDiffuse = diffuseOut;\n";
    if (v.specular) s += "  vSpecular = specularOut;\n";
  } else {
    s += "  vDiffuse = diffuseIn;\n";
    if (v.specular) s += "  vSpecular = specularIn;\n";
  }
  switch (k.fog) {
    case kVertexFogTableDepth:
      s += k.pretransformed ? "  vFog = aPosition.z;\n" : (k.orthoFog ? "  vFog = c.z / c.w;\n" : "  vFog = P.z;\n");
      break;
    case kVertexFogExp: case kVertexFogExp2: case kVertexFogLinear:
      s += k.fogRange ? "  float fogDistance = length(P);\n" : "  float fogDistance = P.z;\n";
      if (k.fog == kVertexFogLinear)
        s += "  vFog = clamp((uFogParams.y - fogDistance) * uFogParams.w, 0.0, 1.0);\n";
      else if (k.fog == kVertexFogExp)
        s += "  vFog = clamp(exp(-uFogParams.z * fogDistance), 0.0, 1.0);\n";
      else
        s += "  vFog = clamp(exp(-(uFogParams.z * fogDistance) * (uFogParams.z * fogDistance)), 0.0, 1.0);\n";
      break;
    case kVertexFogSpecularAlpha:
      s += k.lighting.lit ? "  vFog = specularOut.a;\n" : "  vFog = specularIn.a;\n";
      break;
    default:
      break;
  }
  for (int i = 0; i < k.coordCount; ++i) {
    const VertexKey::Coord& c = k.coords[i];
    const std::string out = "vTex" + N(i);
    std::string in;
    switch (c.generate) {
      case 1: in = "vec4(N, 1.0)"; break;
      case 2: in = "vec4(P, 1.0)"; break;
      case 3: in = "vec4(reflect(normalize(P), N), 1.0)"; break;
      default: in = c.set < 8 ? PaddedSet(c.set, c.setFloats) : "vec4(0.0, 0.0, 0.0, 1.0)"; break;
    }
    if (!c.transform) {
      // Untransformed, a set reads as GL fills it: (0, 0, 0, 1) past its floats.
      const std::string raw = !c.generate && c.set < 8 ? "aTex" + N(c.set) : in;
      s += "  " + out + " = vec4((" + raw + ").xy, 0.0, 1.0);\n";
      continue;
    }
    s += "  {\n    vec4 t = uTexMatrix" + N(i) + " * " + in + ";\n";
    if (c.transform == D3DTTFF_COUNT1) s += "    t.y = 0.0;\n";
    const char* last = c.transform == 1 ? "t.x" : c.transform == 2 ? "t.y" : c.transform == 3 ? "t.z" : "t.w";
    s += std::string("    ") + out + " = vec4(t.xy, 0.0, " + (c.projected ? last : "1.0") + ");\n  }\n";
  }
  s += "#ifdef GL_ES\n  gl_PointSize = 1.0;\n#endif\n";
  s += "}\n";
  return s;
}

}  // namespace kvrd3d
