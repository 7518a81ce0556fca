// The fixed-function pipeline as generated GLSL 3.30 (GLSL ES 3.00 in the browser): one vertex
// shader and one fragment shader for a key (shader_key.h), their varyings and attributes from the
// interface table (shader_interface.h).
#pragma once
#include <string>

#include "d3d9/shader_interface.h"

namespace kvrd3d {

std::string VertexShader(const ShaderKey& key);
std::string FragmentShader(const ShaderKey& key);

}  // namespace kvrd3d
