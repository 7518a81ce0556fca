// The interface between the generated vertex and fragment shaders and the renderer that feeds
// them, in one table: vertex attribute locations, the varyings a key hands from one shader to the
// other, and the uniforms by name. Both generators declare their varyings from here, so the two
// sides of a program always agree.
#pragma once
#include <string>

#include "d3d9/shader_key.h"

namespace kvrd3d {

// Vertex attribute locations: the texture coordinate sets of the vertex format follow the others.
enum AttributeLocation : unsigned {
  kAttribPosition = 0,
  kAttribDiffuse = 1,
  kAttribSpecular = 2,
  kAttribNormal = 3,
  kAttribTexSet0 = 4,  // set i at 4 + i, for the eight sets a vertex format can hold
};

// The uniforms of the generated programs, by name, with the value each one holds.
struct UniformNames {
  static constexpr const char* kWvp = "uWvp";                 // world * view * projection
  static constexpr const char* kScreen = "uScreen";           // viewport x, y, width, height
  static constexpr const char* kWorldView = "uWorldView";     // world * view (camera space)
  static constexpr const char* kNormalMatrix = "uNormalMatrix";
  static constexpr const char* kMaterial = "uMaterial";
  static constexpr const char* kAmbient = "uAmbient";
  static constexpr const char* kLights = "uLights";
  static constexpr const char* kTexMatrix = "uTexMatrix";     // uTexMatrix0..7: D3DTS_TEXTURE0..7
  static constexpr const char* kSampler = "uTex";             // uTex0..7: the stages' textures
  static constexpr const char* kFactor = "uFactor";           // D3DRS_TEXTUREFACTOR
  static constexpr const char* kConstant = "uConstant";       // D3DTSS_CONSTANT of each stage
  static constexpr const char* kAlphaRef = "uAlphaRef";       // 0-255
  static constexpr const char* kFogColor = "uFogColor";
  static constexpr const char* kFogParams = "uFogParams";     // start, end, density, 0
};

// What passes between the two shaders of a key.
struct Varyings {
  bool specular = false;  // vSpecular
  bool fog = false;       // vFog: a factor or a depth
  int coords = 0;         // vTex0 .. vTex(coords - 1), each (s, t, unused, q)
};
Varyings VaryingsOf(const ShaderKey& key);

// The declarations of those varyings, as the vertex shader ("out") or the fragment shader ("in")
// writes them. vDiffuse is always there.
std::string DeclareVaryings(const Varyings& v, const char* direction);

}  // namespace kvrd3d
