// The varyings of shader_interface.h: what a key hands from its vertex shader to its fragment
// shader. Both generators declare them from here and from nowhere else.
#include "d3d9/shader_interface.h"

namespace kvrd3d {

Varyings VaryingsOf(const ShaderKey& key) {
  Varyings v;
  v.specular = key.vertex.passSpecular != 0;
  v.fog = key.fragment.fog != kFragmentFogNone;
  v.coords = key.fragment.stageCount;
  return v;
}

std::string DeclareVaryings(const Varyings& v, const char* direction) {
  const std::string d = direction;
  std::string s = d + " vec4 vDiffuse;\n";
  if (v.specular) s += d + " vec4 vSpecular;\n";
  if (v.fog) s += d + " float vFog;\n";
  for (int i = 0; i < v.coords; ++i) s += d + " vec4 vTex" + std::to_string(i) + ";\n";
  return s;
}

}  // namespace kvrd3d
