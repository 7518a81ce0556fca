// The program cache of program_cache.h: compiles, links and keeps a key's program, with its
// uniform locations and texture units. Implemented: vertex shaders shared by vertex key, a failed
// compile or link reported once with both shaders' text and never kept. Not implemented: evicting
// programs (a device makes a few dozen at most), program binaries.
#include "d3d9/program_cache.h"

#include <cstdio>

#include "d3d9/shader_generator.h"

namespace kvrd3d {

namespace {

// Compiles a shader; 0 (with the reason on standard error) when it does not compile.
GLuint Compile(GLenum type, const std::string& source) {
  GLuint shader = glCreateShader(type);
  const std::string adapted = GlslForThisGl(source);
  const char* text = adapted.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return shader;
  char log[2048] = {};
  glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
  std::fprintf(stderr, "kvrplatform: %s shader does not compile: %s\n%s\n",
               type == GL_VERTEX_SHADER ? "vertex" : "fragment", log, source.c_str());
  glDeleteShader(shader);
  return 0;
}

}  // namespace

void ProgramCache::Clear() {
  for (auto& entry : programs_) glDeleteProgram(entry.second.id);
  for (auto& entry : vertexShaders_) glDeleteShader(entry.second);
  programs_.clear();
  vertexShaders_.clear();
  failed_.clear();
}

void ProgramCache::ForgetUniforms() {
  for (auto& entry : programs_) {
    Program& p = entry.second;
    Program fresh;
    fresh.id = p.id;
    fresh.wvp = p.wvp, fresh.screen = p.screen, fresh.factor = p.factor, fresh.alphaRef = p.alphaRef;
    fresh.constants = p.constants, fresh.fogColor = p.fogColor, fresh.fogParams = p.fogParams;
    fresh.worldView = p.worldView, fresh.normalMatrix = p.normalMatrix, fresh.material = p.material;
    fresh.ambient = p.ambient, fresh.lights = p.lights;
    for (DWORD i = 0; i < kDrawnStages; ++i) fresh.texMatrix[i] = p.texMatrix[i];
    // Matrices last sent as zero would match a zero matrix: mark them unsent.
    fresh.lastWvp[0] = fresh.lastWorldView[0] = -1e30f;
    for (auto& m : fresh.lastTexMatrix) m[0] = -1e30f;
    p = fresh;
  }
}

GLuint ProgramCache::VertexShaderFor(const ShaderKey& key) {
  auto it = vertexShaders_.find(key.vertex);
  if (it != vertexShaders_.end()) return it->second;
  GLuint shader = Compile(GL_VERTEX_SHADER, VertexShader(key));
  if (shader) vertexShaders_.emplace(key.vertex, shader);
  return shader;
}

Program* ProgramCache::Get(const ShaderKey& key) {
  auto it = programs_.find(key);
  if (it != programs_.end()) return &it->second;
  if (failed_.count(key)) return nullptr;
  GLuint vs = VertexShaderFor(key);
  GLuint fs = vs ? Compile(GL_FRAGMENT_SHADER, FragmentShader(key)) : 0;
  if (!fs) {
    failed_.insert(key);
    return nullptr;
  }
  Program p;
  p.id = glCreateProgram();
  glAttachShader(p.id, vs);
  glAttachShader(p.id, fs);
  glLinkProgram(p.id);
  glDetachShader(p.id, fs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(p.id, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    glGetProgramInfoLog(p.id, sizeof(log), nullptr, log);
    std::fprintf(stderr, "kvrplatform: fixed-function program does not link (its draws draw nothing): %s\n"
                 "vertex shader:\n%s\nfragment shader:\n%s\n", log, VertexShader(key).c_str(),
                 FragmentShader(key).c_str());
    glDeleteProgram(p.id);
    failed_.insert(key);
    return nullptr;
  }
  p.wvp = glGetUniformLocation(p.id, UniformNames::kWvp);
  p.screen = glGetUniformLocation(p.id, UniformNames::kScreen);
  p.factor = glGetUniformLocation(p.id, UniformNames::kFactor);
  p.alphaRef = glGetUniformLocation(p.id, UniformNames::kAlphaRef);
  p.constants = glGetUniformLocation(p.id, UniformNames::kConstant);
  p.fogColor = glGetUniformLocation(p.id, UniformNames::kFogColor);
  p.fogParams = glGetUniformLocation(p.id, UniformNames::kFogParams);
  p.worldView = glGetUniformLocation(p.id, UniformNames::kWorldView);
  p.normalMatrix = glGetUniformLocation(p.id, UniformNames::kNormalMatrix);
  p.material = glGetUniformLocation(p.id, UniformNames::kMaterial);
  p.ambient = glGetUniformLocation(p.id, UniformNames::kAmbient);
  p.lights = glGetUniformLocation(p.id, UniformNames::kLights);
  glUseProgram(p.id);
  for (DWORD i = 0; i < kDrawnStages; ++i) {
    const std::string n = std::to_string(i);
    p.texMatrix[i] = glGetUniformLocation(p.id, (UniformNames::kTexMatrix + n).c_str());
    const GLint sampler = glGetUniformLocation(p.id, (UniformNames::kSampler + n).c_str());
    if (sampler >= 0) glUniform1i(sampler, static_cast<GLint>(i));
  }
  p.lastWvp[0] = p.lastWorldView[0] = -1e30f;
  for (auto& m : p.lastTexMatrix) m[0] = -1e30f;
  return &programs_.emplace(key, p).first->second;
}

}  // namespace kvrd3d
