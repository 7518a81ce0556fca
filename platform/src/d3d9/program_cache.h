// The GL programs of the fixed-function keys, made on first use and kept for the device's life.
// A program that does not compile or link is never kept: the draws of its key draw nothing, and
// the reason is written once to standard error with the key's shaders. Vertex shaders are shared
// between the programs of keys with the same vertex part.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "d3d9/gl_api.h"
#include "d3d9/shader_key.h"

namespace kvrd3d {

struct Program {
  GLuint id = 0;
  GLint wvp = -1, screen = -1, factor = -1, alphaRef = -1, constants = -1, fogColor = -1, fogParams = -1;
  GLint worldView = -1, normalMatrix = -1, material = -1, ambient = -1, lights = -1;
  GLint texMatrix[kDrawnStages] = {-1, -1, -1, -1, -1, -1, -1, -1};
  // Uniform values last sent, so unchanged ones are not sent again.
  float lastWvp[16] = {};
  float lastScreen[4] = {-1, -1, -1, -1};
  float lastFactor[4] = {-1, -1, -1, -1};
  float lastFog[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
  float lastWorldView[16] = {};
  float lastTexMatrix[kDrawnStages][16] = {};
  std::vector<float> lastConstants;
  int lastAlphaRef = -1;
  std::vector<float> lastLighting;
};

class ProgramCache {
 public:
  ~ProgramCache() { Clear(); }
  // Deletes every program and shader (while the GL context is current).
  void Clear();
  // The program of a key, made now if need be (and then bound); null when it cannot be made.
  Program* Get(const ShaderKey& key);
  // Forgets every uniform value sent, so the next draw sends them all again.
  void ForgetUniforms();

 private:
  GLuint VertexShaderFor(const ShaderKey& key);

  std::map<VertexKey, GLuint, KeyLess<VertexKey>> vertexShaders_;
  std::map<ShaderKey, Program, KeyLess<ShaderKey>> programs_;
  std::set<ShaderKey, KeyLess<ShaderKey>> failed_;  // reported once; never drawn with
};

}  // namespace kvrd3d
