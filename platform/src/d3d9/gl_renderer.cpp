// Direct3D 9 fixed-function drawing on OpenGL 3.3 core (functions through libepoxy), or on
// OpenGL ES 3.0 in the browser (gl_api.h lists what that leaves out).
//
// Why a core context with generated shaders rather than the compatibility profile's fixed
// function: Direct3D's texture stages, its alpha test on 8-bit values, pre-transformed vertices
// with its pixel centres and its 0..1 depth range have no exact equivalent in GL's fixed
// function (GL_COMBINE differs in how a missing texture behaves, the alpha test compares floats),
// and macOS and Mesa's core-only drivers offer no compatibility profile at all. The stage set-up
// the program uses is tiny, so each distinct combination gets one small program, chosen by a
// zeroed, packed key and cached; GL state is shadowed so a draw changes only what differs.
//
// Implemented: the back buffer is the window's own framebuffer when it has the back buffer's
//   size and depth precision (an upper-left clip origin keeps Direct3D's row order and edge
//   rule; Present is the swap), else an offscreen one (RGBA8 colour, 16- or 24-bit depth; y runs
//   down as in Direct3D, so Present flips while blitting); rows read back top first; Clear of the
//   viewport or of rectangles, points, lines, line strips, triangle lists, strips and fans;
//   XYZRHW vertices in back-buffer pixels (pixel centres on integers, z as depth, 1/rhw as w),
//   other vertices through world * view * projection with depth 0..1; diffuse colours (opaque
//   white when absent), up to two texture stages with DISABLE, SELECTARG1/2, MODULATE(2X/4X),
//   ADD, ADDSIGNED(2X), SUBTRACT, ADDSMOOTH and the BLEND*ALPHA ops, arguments DIFFUSE, CURRENT,
//   TEXTURE, TFACTOR with COMPLEMENT and ALPHAREPLICATE; a stage that reads a texture that is not
//   set passes its input through; alpha test on the 8-bit alpha; blending with every factor and
//   operation; depth test and writes; culling; colour write mask; fill mode; point, linear and
//   mip filtering (other filters fall back to linear), address modes, MAXMIPLEVEL, LOD bias;
//   per-vertex lighting with up to kMaxActiveLights lights (the vertex shader comes from
//   lighting_shader.cpp; unlit draws keep their programs, lighting fields of the key zero);
//   the specular colour (lit, or the vertex's when unlit) added after the stages under
//   D3DRS_SPECULARENABLE, and D3DTA_SPECULAR as a stage argument.
// Not implemented: fog, stencil, stages past the second, flat shading,
//   texture coordinate transforms, clip planes, scissor rectangles, point sprites,
//   D3DRS_LASTPIXEL (lines never draw the pixel of their end point, as GL's and most Direct3D 9
//   hardware's rules have it).
#include "d3d9/gl_renderer.h"
#include "d3d9/lighting_shader.h"


#include "d3d9/gl_api.h"
#include "d3d9/gl_surface.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace kvrd3d {

namespace {

// The part of the fixed-function state that changes the generated program. Zeroed before it
// is filled, so comparing two keys is one memcmp.
struct ShaderKey {
  uint8_t pretransformed;
  uint8_t alphaFunc;  // D3DCMP_*, 0 when the alpha test is off
  uint8_t stageCount; // stages before the first disabled colour op, at most kDrawnStages
  uint8_t pad;
  struct Stage {
    uint8_t colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
  } stages[kDrawnStages];
  // Zero for unlit draws without a specular colour to add (lighting_shader.h).
  LightingKey lighting;
  uint8_t addSpecular;  // D3DRS_SPECULARENABLE with a specular colour: added after the stages
  uint8_t pad2[3];
};

struct LightingKeyLess {
  bool operator()(const LightingKey& a, const LightingKey& b) const {
    return std::memcmp(&a, &b, sizeof(LightingKey)) < 0;
  }
};

struct KeyLess {
  bool operator()(const ShaderKey& a, const ShaderKey& b) const {
    return std::memcmp(&a, &b, sizeof(ShaderKey)) < 0;
  }
};

struct Program {
  GLuint id = 0;
  GLint wvp = -1, screen = -1, factor = -1, alphaRef = -1;
  // Uniform values last sent, so unchanged ones are not sent again.
  float lastWvp[16] = {};
  float lastScreen[4] = {-1, -1, -1, -1};
  float lastFactor[4] = {-1, -1, -1, -1};
  int lastAlphaRef = -1;
  // Lit programs only.
  GLint worldView = -1, normalMatrix = -1, material = -1, ambient = -1, lights = -1;
  std::vector<float> lastLighting;
};

// The key's stages read the specular colour, or the key adds it: the vertex shader passes it on.
bool NeedsSpecular(const ShaderKey& key) {
  if (key.addSpecular) return true;
  for (int i = 0; i < key.stageCount; ++i) {
    const ShaderKey::Stage& st = key.stages[i];
    for (uint8_t arg : {st.colorArg1, st.colorArg2, st.alphaArg1, st.alphaArg2})
      if ((arg & D3DTA_SELECTMASK) == D3DTA_SPECULAR) return true;
  }
  return false;
}

const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec4 aDiffuse;
layout(location = 2) in vec4 aTex0;
layout(location = 3) in vec4 aTex1;
uniform mat4 uWvp;
uniform vec4 uScreen;  // viewport x, y, width, height in back-buffer pixels
out vec4 vDiffuse;
out vec2 vTex0;
out vec2 vTex1;
#if VERTEX_SPECULAR
layout(location = 4) in vec4 aSpecular;
out vec4 vSpecular;
#endif
void main() {
#if PRETRANSFORMED
  // Back-buffer pixels with Direct3D's centres on integers: GL's are on halves.
  float w = (aPosition.w != 0.0 && !isinf(aPosition.w)) ? 1.0 / aPosition.w : 1.0;
  vec2 ndc = (aPosition.xy + 0.5 - uScreen.xy) * 2.0 / uScreen.zw - 1.0;
  gl_Position = vec4(ndc.x * w, ndc.y * w, (2.0 * aPosition.z - 1.0) * w, w);
#else
  vec4 c = uWvp * aPosition;
  // Direct3D's clip space: y up and depth 0..w. An offscreen back buffer is stored top row
  // first, so y flips there; the half-pixel shift puts Direct3D's pixel centres on GL's.
  gl_Position = vec4(c.x + c.w / uScreen.z, -c.y + c.w / uScreen.w, 2.0 * c.z - c.w, c.w);
#endif
#ifdef GL_ES
  gl_PointSize = 1.0;
  vDiffuse = aDiffuse.bgra;  // D3DCOLOR's bytes came over as B, G, R, A
#else
  vDiffuse = aDiffuse;
#endif
  vTex0 = aTex0.xy;
  vTex1 = aTex1.xy;
#if VERTEX_SPECULAR
#ifdef GL_ES
  vSpecular = aSpecular.bgra;
#else
  vSpecular = aSpecular;
#endif
#endif
}
)";

std::string ArgExpr(uint8_t arg, bool alpha) {
  std::string v;
  switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: v = "vDiffuse"; break;
    case D3DTA_CURRENT: v = "cur"; break;
    case D3DTA_TEXTURE: v = "tex"; break;
    case D3DTA_TFACTOR: v = "uFactor"; break;
    case D3DTA_SPECULAR: v = "vSpecular"; break;
    default: v = "vec4(0.0)"; break;  // temp, constant: not modelled
  }
  if (arg & D3DTA_COMPLEMENT) v = "(vec4(1.0) - " + v + ")";
  if (arg & D3DTA_ALPHAREPLICATE) v = "vec4(" + v + ".a)";
  return v + (alpha ? ".a" : ".rgb");
}

std::string OpExpr(uint8_t op, const std::string& a1, const std::string& a2, bool alpha) {
  const std::string sel = alpha ? ".a" : ".rgb";
  auto blend = [&](const std::string& f) { return "mix(" + a2 + ", " + a1 + ", " + f + ")"; };
  switch (op) {
    case D3DTOP_SELECTARG1: return a1;
    case D3DTOP_SELECTARG2: return a2;
    case D3DTOP_MODULATE: return a1 + " * " + a2;
    case D3DTOP_MODULATE2X: return "clamp(" + a1 + " * " + a2 + " * 2.0, 0.0, 1.0)";
    case D3DTOP_MODULATE4X: return "clamp(" + a1 + " * " + a2 + " * 4.0, 0.0, 1.0)";
    case D3DTOP_ADD: return "clamp(" + a1 + " + " + a2 + ", 0.0, 1.0)";
    case D3DTOP_ADDSIGNED: return "clamp(" + a1 + " + " + a2 + " - 0.5, 0.0, 1.0)";
    case D3DTOP_ADDSIGNED2X: return "clamp((" + a1 + " + " + a2 + " - 0.5) * 2.0, 0.0, 1.0)";
    case D3DTOP_SUBTRACT: return "clamp(" + a1 + " - " + a2 + ", 0.0, 1.0)";
    case D3DTOP_ADDSMOOTH: return "clamp(" + a1 + " + " + a2 + " - " + a1 + " * " + a2 + ", 0.0, 1.0)";
    case D3DTOP_BLENDDIFFUSEALPHA: return blend("vDiffuse.a");
    case D3DTOP_BLENDTEXTUREALPHA: return blend("tex.a");
    case D3DTOP_BLENDFACTORALPHA: return blend("uFactor.a");
    case D3DTOP_BLENDCURRENTALPHA: return blend("cur.a");
    case D3DTOP_DISABLE: return "cur" + sel;
    default: return a1;
  }
}

std::string FragmentShader(const ShaderKey& key) {
  std::string s =
      "#version 330 core\n"
      "in vec4 vDiffuse;\nin vec2 vTex0;\nin vec2 vTex1;\n"
      "uniform sampler2D uTex0;\nuniform sampler2D uTex1;\n"
      "uniform vec4 uFactor;\nuniform int uAlphaRef;\n"
      "out vec4 fragColor;\n";
  if (NeedsSpecular(key)) s += "in vec4 vSpecular;\n";
  s += "void main() {\n"
       "  vec4 cur = vDiffuse;\n  vec4 tex;\n";
  for (int i = 0; i < key.stageCount; ++i) {
    const ShaderKey::Stage& st = key.stages[i];
    s += "  tex = texture(uTex" + std::to_string(i) + ", vTex" + std::to_string(i) + ");\n";
    s += "  {\n    vec3 rgb = " +
         OpExpr(st.colorOp, ArgExpr(st.colorArg1, false), ArgExpr(st.colorArg2, false), false) +
         ";\n";
    s += "    float a = " +
         OpExpr(st.alphaOp, ArgExpr(st.alphaArg1, true), ArgExpr(st.alphaArg2, true), true) +
         ";\n";
    s += "    cur = vec4(rgb, a);\n  }\n";
  }
  if (key.alphaFunc) {
    // Direct3D compares the 8-bit alpha with the 8-bit reference.
    static const char* kCompare[] = {"", "false", "a8 < uAlphaRef", "a8 == uAlphaRef",
                                     "a8 <= uAlphaRef", "a8 > uAlphaRef", "a8 != uAlphaRef",
                                     "a8 >= uAlphaRef", "true"};
    s += "  int a8 = int(floor(clamp(cur.a, 0.0, 1.0) * 255.0 + 0.5));\n";
    s += std::string("  if (!(") + kCompare[key.alphaFunc] + ")) discard;\n";
  }
  s += "  fragColor = clamp(cur, 0.0, 1.0);\n";
  // The specular colour comes after the texture stages; alpha keeps what they made.
  if (key.addSpecular) s += "  fragColor.rgb = min(fragColor.rgb + clamp(vSpecular.rgb, 0.0, 1.0), 1.0);\n";
  s += "}\n";
  return s;
}

GLuint Compile(GLenum type, const std::string& source) {
  GLuint shader = glCreateShader(type);
  const std::string adapted = GlslForThisGl(source);
  const char* text = adapted.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[2048];
    glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
    std::fprintf(stderr, "kvrplatform: shader does not compile: %s\n", log);
  }
  return shader;
}

GLenum BlendFactor(DWORD f, bool source) {
  switch (f) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    // BOTH*: the source factor given, the destination its inverse.
    case D3DBLEND_BOTHSRCALPHA: return source ? GL_SRC_ALPHA : GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_BOTHINVSRCALPHA: return source ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
    case D3DBLEND_BLENDFACTOR: return GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR: return GL_ONE_MINUS_CONSTANT_COLOR;
    default: return source ? GL_ONE : GL_ZERO;
  }
}

GLenum BlendOp(DWORD op) {
  switch (op) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
  }
}

GLenum CompareFunc(DWORD f) {
  switch (f) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
  }
}

GLenum AddressMode(DWORD a) {
  switch (a) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return kGlClampToBorder;
    case D3DTADDRESS_MIRRORONCE: return GlMirrorClampToEdge();
    default: return GL_REPEAT;
  }
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE t) {
  switch (t) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return GL_TRIANGLES;
  }
}

float AsFloat(DWORD d) {
  float f;
  std::memcpy(&f, &d, 4);
  return f;
}

void Multiply(const D3DMATRIX& a, const D3DMATRIX& b, D3DMATRIX* out) {
  D3DMATRIX t;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      t.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] +
                  a.m[r][3] * b.m[3][c];
  *out = t;
}

}  // namespace

// What the renderer last told GL, so that a draw only changes what differs.
struct GlShadow {
  GLuint program = ~0u;
  int blend = -1;
  GLenum srcRgb = 0, dstRgb = 0, srcAlpha = 0, dstAlpha = 0, opRgb = 0, opAlpha = 0;
  DWORD blendColor = 0x12345678;
  int depthTest = -1, depthMask = -1, cull = -1, depthClamp = -1, scissor = -1;
  GLenum depthFunc = 0, cullFace = 0, polygonMode = 0;
  int colorMask = -1;
  D3DVIEWPORT9 viewport = {~0u, ~0u, 0, 0, -1.0f, -1.0f};
  GLuint textures[kDrawnStages] = {};
  struct Sampler {
    GLint minFilter = -1, magFilter = -1, wrapS = -1, wrapT = -1;
    DWORD border = 0x12345678;
    float lodBias = -1000.0f;
  } samplers[kDrawnStages];
  // Vertex attribute set-up for the stream last drawn.
  GLuint arrayBuffer = ~0u;
  UINT streamOffset = ~0u, stride = ~0u;
  DWORD fvf = ~0u;
  DWORD texIndex[kDrawnStages] = {~0u, ~0u};
  bool specularArray = false, normalArray = false;  // attributes 4 and 5 read from the buffer
};

struct GlRenderer::Impl {
  std::unique_ptr<GlSurface> surface;
  UINT width = 0, height = 0;
  bool hasDepth = false;
  int depthBits = 0;
  bool alphaTarget = false;
  // Drawing straight into the window's own back buffer (rows bottom first, as GL keeps them)
  // rather than into an offscreen one that Present copies over.
  bool direct = false;
  GLuint fbo = 0, colorRb = 0, depthRb = 0, vao = 0;
  GLuint samplers[kDrawnStages] = {};
  GLuint vertexShaders[4] = {};  // [pretransformed + 2 * specular passed on]
  std::map<LightingKey, GLuint, LightingKeyLess> litVertexShaders;
  std::map<ShaderKey, Program, KeyLess> programs;
  ShaderKey lastKey;
  Program* lastProgram = nullptr;
  GlShadow shadow;

  Program* ProgramFor(const ShaderKey& key);
  void ApplyRenderStates(const StateValues& s, bool pretransformed);
  void BindTextures(const StateValues& s, const ShaderKey& key);
  void BindVertices(const StateValues& s, const FvfLayout& layout);
  void SetViewport(const D3DVIEWPORT9& vp);
  void LeaveWindow();
  void ReadRows(uint8_t* rows, UINT pitch);
};

namespace {

// Whether the window's own framebuffer can serve as the back buffer: the same size, the same
// depth precision (a deeper one would settle near-ties in the depth test differently), alpha
// where the format has it, and no multisampling. Drawing there saves Present a full-screen copy.
bool WindowCanBeTheBackBuffer(GlSurface& surface, UINT width, UINT height, bool alphaTarget,
                              int depthBits) {
  int w = 0, h = 0;
  surface.DrawableSize(&w, &h);
  if (w <= 0 || h <= 0 || static_cast<UINT>(w) != width || static_cast<UINT>(h) != height) return false;
  // The programs put Direct3D's top row at GL's y = -1; an upper-left clip origin takes that to
  // the window's top, and GL then settles edges that pass through pixel centres as Direct3D does.
  if (!GlHasClipControl()) return false;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  GLint samples = 0;
  glGetIntegerv(GL_SAMPLE_BUFFERS, &samples);
  if (samples != 0) return false;
  GLint depthType = GL_NONE, depth = 0, alpha = 0;
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE,
                                        &depthType);
  if (depthType != GL_NONE)
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE,
                                          &depth);
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, kGlWindowColorBuffer, GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE,
                                        &alpha);
  while (glGetError() != GL_NO_ERROR) {
  }
  if (depthBits > 0 && depth != depthBits) return false;
  if (alphaTarget && alpha < 8) return false;
  return true;
}

bool MakeOffscreenBackBuffer(GlRenderer::Impl& g, int depthBits) {
  const UINT width = g.width, height = g.height;
  glGenFramebuffers(1, &g.fbo);
  glBindFramebuffer(GL_FRAMEBUFFER, g.fbo);
  glGenRenderbuffers(1, &g.colorRb);
  glBindRenderbuffer(GL_RENDERBUFFER, g.colorRb);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, g.colorRb);
  if (depthBits > 0) {
    glGenRenderbuffers(1, &g.depthRb);
    glBindRenderbuffer(GL_RENDERBUFFER, g.depthRb);
    glRenderbufferStorage(GL_RENDERBUFFER, depthBits == 16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH_COMPONENT24,
                          width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, g.depthRb);
  }
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    std::fprintf(stderr, "kvrplatform: back buffer of %ux%u cannot be made\n", width, height);
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<GlRenderer> GlRenderer::Create(HWND window, UINT width, UINT height,
                                               bool alphaTarget, int depthBits) {
  std::unique_ptr<GlSurface> surface = GlSurface::ForWindow(window);
  if (!surface) return nullptr;
  std::unique_ptr<GlRenderer> r(new GlRenderer());
  r->impl_.reset(new Impl());
  Impl& g = *r->impl_;
  g.surface = std::move(surface);
  g.width = width;
  g.height = height;
  g.hasDepth = depthBits > 0;
  g.depthBits = depthBits;

  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  r->maxTextureSize_ = static_cast<UINT>(maxSize > 8192 ? 8192 : (maxSize > 0 ? maxSize : 2048));

  // The back buffer. An X8R8G8B8 one keeps its alpha at 1 (never written), so destination
  // alpha reads as opaque, as it does on a target without alpha.
  g.alphaTarget = alphaTarget;
  g.direct = WindowCanBeTheBackBuffer(*g.surface, width, height, alphaTarget, depthBits);
  if (!g.direct && !MakeOffscreenBackBuffer(g, depthBits)) return nullptr;
  glGenVertexArrays(1, &g.vao);
  glBindVertexArray(g.vao);
  glGenSamplers(kDrawnStages, g.samplers);
  for (GLuint i = 0; i < kDrawnStages; ++i) glBindSampler(i, g.samplers[i]);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  // The back buffer starts black with its depth at the far plane.
  glClearColor(0, 0, 0, 1);
  GlClearDepth(1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // Rows stored top first turn Direct3D's clockwise into GL's counter-clockwise (and so does the
  // upper-left origin on the window).
  if (g.direct) GlClipControlUpperLeft(true);
  glFrontFace(GL_CCW);
  return r;
}

GlRenderer::~GlRenderer() {
  if (!impl_) return;
  Impl& g = *impl_;
  MakeCurrent();
  for (auto& entry : g.programs) glDeleteProgram(entry.second.id);
  for (GLuint vs : g.vertexShaders)
    if (vs) glDeleteShader(vs);
  for (auto& entry : g.litVertexShaders) glDeleteShader(entry.second);
  glDeleteSamplers(kDrawnStages, g.samplers);
  glDeleteVertexArrays(1, &g.vao);
  glDeleteRenderbuffers(1, &g.colorRb);
  if (g.depthRb) glDeleteRenderbuffers(1, &g.depthRb);
  glDeleteFramebuffers(1, &g.fbo);
  g.surface.reset();
}

void GlRenderer::MakeCurrent() {
  // Something else (a test's or a benchmark's own GL window) may have made its context current
  // in between; the surface itself tells, cheaply.
  impl_->surface->MakeCurrent();
}

void GlRenderer::DeleteBuffer(unsigned buffer) {
  MakeCurrent();
  if (impl_->shadow.arrayBuffer == buffer) impl_->shadow.arrayBuffer = ~0u;
  glDeleteBuffers(1, &buffer);
}

void GlRenderer::DeleteTexture(unsigned texture) {
  MakeCurrent();
  for (GLuint& t : impl_->shadow.textures)
    if (t == texture) t = 0;
  glDeleteTextures(1, &texture);
}

void GlRenderer::Impl::SetViewport(const D3DVIEWPORT9& vp) {
  if (std::memcmp(&vp, &shadow.viewport, sizeof(vp)) == 0) return;
  shadow.viewport = vp;
  // Offscreen rows are stored top first, so the viewport's Y counts from row 0 as Direct3D's
  // does; the window's rows count from the bottom.
  glViewport(vp.X, direct ? static_cast<GLint>(height) - static_cast<GLint>(vp.Y + vp.Height) : vp.Y,
             vp.Width, vp.Height);
  GlDepthRange(vp.MinZ, vp.MaxZ);
}

void GlRenderer::Clear(const D3DVIEWPORT9& viewport, DWORD count, const D3DRECT* rects, DWORD flags,
                       D3DCOLOR color, float z) {
  MakeCurrent();
  Impl& g = *impl_;
  GLbitfield mask = 0;
  if (flags & D3DCLEAR_TARGET) {
    glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f,
                 (color & 0xFF) / 255.0f, g.alphaTarget ? ((color >> 24) & 0xFF) / 255.0f : 1.0f);
    if (g.shadow.colorMask != 0xF) {
      glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
      g.shadow.colorMask = 0xF;
    }
    mask |= GL_COLOR_BUFFER_BIT;
  }
  if ((flags & D3DCLEAR_ZBUFFER) && g.hasDepth) {
    GlClearDepth(z < 0.0f ? 0.0f : (z > 1.0f ? 1.0f : z));
    if (g.shadow.depthMask != 1) {
      glDepthMask(GL_TRUE);
      g.shadow.depthMask = 1;
    }
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  if (!mask) return;
  // Direct3D clears the viewport, or the parts of the rectangles inside it.
  if (g.shadow.scissor != 1) {
    glEnable(GL_SCISSOR_TEST);
    g.shadow.scissor = 1;
  }
  const LONG vx0 = viewport.X, vy0 = viewport.Y;
  const LONG vx1 = vx0 + viewport.Width, vy1 = vy0 + viewport.Height;
  auto clearRect = [&](LONG x0, LONG y0, LONG x1, LONG y1) {
    x0 = x0 < vx0 ? vx0 : x0;
    y0 = y0 < vy0 ? vy0 : y0;
    x1 = x1 > vx1 ? vx1 : x1;
    y1 = y1 > vy1 ? vy1 : y1;
    if (x1 <= x0 || y1 <= y0) return;
    glScissor(x0, g.direct ? static_cast<LONG>(g.height) - y1 : y0, x1 - x0, y1 - y0);
    glClear(mask);
  };
  if (count == 0) {
    clearRect(vx0, vy0, vx1, vy1);
  } else {
    for (DWORD i = 0; i < count; ++i) clearRect(rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2);
  }
}

Program* GlRenderer::Impl::ProgramFor(const ShaderKey& key) {
  if (lastProgram && std::memcmp(&key, &lastKey, sizeof(key)) == 0) return lastProgram;
  auto it = programs.find(key);
  if (it == programs.end()) {
    GLuint vertexShader;
    if (key.lighting.lit) {
      GLuint& lit = litVertexShaders[key.lighting];
      if (!lit) lit = Compile(GL_VERTEX_SHADER, LitVertexShader(key.lighting));
      vertexShader = lit;
    } else {
      const bool specular = NeedsSpecular(key);
      const int vsIndex = (key.pretransformed ? 1 : 0) + (specular ? 2 : 0);
      if (!vertexShaders[vsIndex]) {
        std::string vs = kVertexShader;
        vs.insert(vs.find('\n') + 1,
                  std::string("#define PRETRANSFORMED ") + (key.pretransformed ? "1\n" : "0\n") +
                      "#define VERTEX_SPECULAR " + (specular ? "1\n" : "0\n"));
        vertexShaders[vsIndex] = Compile(GL_VERTEX_SHADER, vs);
      }
      vertexShader = vertexShaders[vsIndex];
    }
    GLuint fs = Compile(GL_FRAGMENT_SHADER, FragmentShader(key));
    Program p;
    p.id = glCreateProgram();
    glAttachShader(p.id, vertexShader);
    glAttachShader(p.id, fs);
    glLinkProgram(p.id);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(p.id, GL_LINK_STATUS, &ok);
    if (!ok) {
      char log[2048];
      glGetProgramInfoLog(p.id, sizeof(log), nullptr, log);
      std::fprintf(stderr, "kvrplatform: program does not link: %s\n", log);
    }
    p.wvp = glGetUniformLocation(p.id, "uWvp");
    p.screen = glGetUniformLocation(p.id, "uScreen");
    p.factor = glGetUniformLocation(p.id, "uFactor");
    p.alphaRef = glGetUniformLocation(p.id, "uAlphaRef");
    if (key.lighting.lit) {
      p.worldView = glGetUniformLocation(p.id, "uWorldView");
      p.normalMatrix = glGetUniformLocation(p.id, "uNormalMatrix");
      p.material = glGetUniformLocation(p.id, "uMaterial");
      p.ambient = glGetUniformLocation(p.id, "uAmbient");
      p.lights = glGetUniformLocation(p.id, "uLights");
    }
    glUseProgram(p.id);
    shadow.program = p.id;
    glUniform1i(glGetUniformLocation(p.id, "uTex0"), 0);
    glUniform1i(glGetUniformLocation(p.id, "uTex1"), 1);
    it = programs.emplace(key, p).first;
  }
  lastKey = key;
  lastProgram = &it->second;
  return lastProgram;
}

void GlRenderer::Impl::ApplyRenderStates(const StateValues& s, bool pretransformed) {
  const DWORD* rs = s.renderStates;
  const bool separate = rs[D3DRS_SEPARATEALPHABLENDENABLE] != 0;
  GLenum src = BlendFactor(rs[D3DRS_SRCBLEND], true), dst = BlendFactor(rs[D3DRS_DESTBLEND], false);
  // BOTH* source factors decide the destination factor as well.
  if (rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHSRCALPHA) dst = GL_ONE_MINUS_SRC_ALPHA;
  if (rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHINVSRCALPHA) dst = GL_SRC_ALPHA;
  const GLenum srcA = separate ? BlendFactor(rs[D3DRS_SRCBLENDALPHA], true) : src;
  const GLenum dstA = separate ? BlendFactor(rs[D3DRS_DESTBLENDALPHA], false) : dst;
  const GLenum op = BlendOp(rs[D3DRS_BLENDOP]);
  const GLenum opA = separate ? BlendOp(rs[D3DRS_BLENDOPALPHA]) : op;
  // Blending that writes the source unchanged (one, zero, add) is left off: the same pixels, but
  // a software rasteriser then need not read the target back for every fragment.
  const bool replaces = src == GL_ONE && dst == GL_ZERO && srcA == GL_ONE && dstA == GL_ZERO &&
                        op == GL_FUNC_ADD && opA == GL_FUNC_ADD;
  const int blend = rs[D3DRS_ALPHABLENDENABLE] && !replaces ? 1 : 0;
  if (blend != shadow.blend) {
    blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    shadow.blend = blend;
  }
  if (blend) {
    if (src != shadow.srcRgb || dst != shadow.dstRgb || srcA != shadow.srcAlpha || dstA != shadow.dstAlpha) {
      glBlendFuncSeparate(src, dst, srcA, dstA);
      shadow.srcRgb = src;
      shadow.dstRgb = dst;
      shadow.srcAlpha = srcA;
      shadow.dstAlpha = dstA;
    }
    if (op != shadow.opRgb || opA != shadow.opAlpha) {
      glBlendEquationSeparate(op, opA);
      shadow.opRgb = op;
      shadow.opAlpha = opA;
    }
    const DWORD bf = rs[D3DRS_BLENDFACTOR];
    if (bf != shadow.blendColor) {
      glBlendColor(((bf >> 16) & 0xFF) / 255.0f, ((bf >> 8) & 0xFF) / 255.0f, (bf & 0xFF) / 255.0f,
                   ((bf >> 24) & 0xFF) / 255.0f);
      shadow.blendColor = bf;
    }
  }
  const int depthTest = hasDepth && rs[D3DRS_ZENABLE] != D3DZB_FALSE ? 1 : 0;
  if (depthTest != shadow.depthTest) {
    depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    shadow.depthTest = depthTest;
  }
  if (depthTest) {
    const GLenum f = CompareFunc(rs[D3DRS_ZFUNC]);
    if (f != shadow.depthFunc) {
      glDepthFunc(f);
      shadow.depthFunc = f;
    }
    const int mask = rs[D3DRS_ZWRITEENABLE] ? 1 : 0;
    if (mask != shadow.depthMask) {
      glDepthMask(mask ? GL_TRUE : GL_FALSE);
      shadow.depthMask = mask;
    }
  }
  // The back buffer holds Direct3D's rows top first, so a triangle that runs clockwise on
  // Direct3D's screen runs counter-clockwise in GL's window coordinates (front, with GL_CCW).
  const DWORD cullMode = rs[D3DRS_CULLMODE];
  const int cull = cullMode == D3DCULL_CW || cullMode == D3DCULL_CCW ? 1 : 0;
  if (cull != shadow.cull) {
    cull ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
    shadow.cull = cull;
  }
  if (cull) {
    const GLenum face = cullMode == D3DCULL_CCW ? GL_BACK : GL_FRONT;
    if (face != shadow.cullFace) {
      glCullFace(face);
      shadow.cullFace = face;
    }
  }
  const int colorMask = static_cast<int>(rs[D3DRS_COLORWRITEENABLE] & (alphaTarget ? 0xF : 0x7));
  if (colorMask != shadow.colorMask) {
    glColorMask(colorMask & 1, (colorMask >> 1) & 1, (colorMask >> 2) & 1, (colorMask >> 3) & 1);
    shadow.colorMask = colorMask;
  }
  const GLenum fill = rs[D3DRS_FILLMODE] == D3DFILL_POINT       ? kGlPoint
                      : rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? kGlLine
                                                                : kGlFill;
  if (fill != shadow.polygonMode) {
    GlPolygonMode(fill);
    shadow.polygonMode = fill;
  }
  // Pre-transformed vertices are not clipped by depth: their z is clamped instead.
  const int clamp = pretransformed ? 1 : 0;
  if (clamp != shadow.depthClamp) {
    GlDepthClamp(clamp != 0);
    shadow.depthClamp = clamp;
  }
  if (shadow.scissor != 0) {
    glDisable(GL_SCISSOR_TEST);
    shadow.scissor = 0;
  }
  SetViewport(s.viewport);
}

void GlRenderer::Impl::BindTextures(const StateValues& s, const ShaderKey& key) {
  for (GLuint unit = 0; unit < key.stageCount; ++unit) {
    Texture* t = s.textures[unit].get();
    if (!t) continue;
    const DWORD* ss = s.samplerStates[unit];
    const UINT levels = static_cast<UINT>(t->levels().size());
    bool bound = false;
    auto bind = [&]() {
      if (bound) return;
      glActiveTexture(GL_TEXTURE0 + unit);
      glBindTexture(GL_TEXTURE_2D, t->glTexture);
      shadow.textures[unit] = t->glTexture;
      bound = true;
    };
    if (!t->glTexture) {
      glGenTextures(1, &t->glTexture);
      bind();
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
      t->dirty = true;
    }
    if (shadow.textures[unit] != t->glTexture) bind();
    if (t->dirty) {
      bind();
      // Each level is kept in its Direct3D format; GL gets RGBA8.
      std::vector<uint8_t> rgba;
      for (UINT i = 0; i < levels; ++i) {
        const Texture::Level& l = t->levels()[i];
        rgba.resize(static_cast<size_t>(l.width) * l.height * 4);
        for (UINT y = 0; y < l.height; ++y)
          ConvertRowToRgba8(t->format(), l.bytes.data() + static_cast<size_t>(y) * l.pitch,
                            rgba.data() + static_cast<size_t>(y) * l.width * 4, l.width);
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), GL_RGBA8, l.width, l.height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, rgba.data());
      }
      t->dirty = false;
    }
    // D3DSAMP_MAXMIPLEVEL names the most detailed level that may be used.
    int base = static_cast<int>(ss[D3DSAMP_MAXMIPLEVEL]);
    if (base > static_cast<int>(levels) - 1) base = static_cast<int>(levels) - 1;
    if (base != t->glBaseLevel) {
      bind();
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, base);
      t->glBaseLevel = base;
    }

    GlShadow::Sampler& sh = shadow.samplers[unit];
    GLuint so = samplers[unit];
    auto linear = [](DWORD f) { return f != D3DTEXF_NONE && f != D3DTEXF_POINT; };
    const GLint mag = linear(ss[D3DSAMP_MAGFILTER]) ? GL_LINEAR : GL_NEAREST;
    const bool minLinear = linear(ss[D3DSAMP_MINFILTER]);
    GLint min;
    const DWORD mip = levels > 1 ? ss[D3DSAMP_MIPFILTER] : static_cast<DWORD>(D3DTEXF_NONE);
    if (mip == D3DTEXF_NONE) min = minLinear ? GL_LINEAR : GL_NEAREST;
    else if (mip == D3DTEXF_POINT) min = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    else min = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    if (mag != sh.magFilter) glSamplerParameteri(so, GL_TEXTURE_MAG_FILTER, sh.magFilter = mag);
    if (min != sh.minFilter) glSamplerParameteri(so, GL_TEXTURE_MIN_FILTER, sh.minFilter = min);
    const GLint ws = static_cast<GLint>(AddressMode(ss[D3DSAMP_ADDRESSU]));
    const GLint wt = static_cast<GLint>(AddressMode(ss[D3DSAMP_ADDRESSV]));
    if (ws != sh.wrapS) glSamplerParameteri(so, GL_TEXTURE_WRAP_S, sh.wrapS = ws);
    if (wt != sh.wrapT) glSamplerParameteri(so, GL_TEXTURE_WRAP_T, sh.wrapT = wt);
    const DWORD border = ss[D3DSAMP_BORDERCOLOR];
    if (border != sh.border) {
      const float c[4] = {((border >> 16) & 0xFF) / 255.0f, ((border >> 8) & 0xFF) / 255.0f,
                          (border & 0xFF) / 255.0f, ((border >> 24) & 0xFF) / 255.0f};
      GlSamplerBorderColor(so, c);
      sh.border = border;
    }
    const float bias = AsFloat(ss[D3DSAMP_MIPMAPLODBIAS]);
    if (bias != sh.lodBias && std::isfinite(bias)) {
      GlSamplerLodBias(so, bias);
      sh.lodBias = bias;
    }
  }
}

void GlRenderer::Impl::BindVertices(const StateValues& s, const FvfLayout& layout) {
  const StateValues::Stream& stream = s.streams[0];
  VertexBuffer* vb = stream.buffer.get();
  if (!vb->glBuffer) {
    glGenBuffers(1, &vb->glBuffer);
    vb->glStored = false;
  }
  if (shadow.arrayBuffer != vb->glBuffer) {
    glBindBuffer(GL_ARRAY_BUFFER, vb->glBuffer);
    shadow.arrayBuffer = vb->glBuffer;
    shadow.fvf = ~0u;  // attribute pointers name the buffer bound when they were set
  }
  if (!vb->glStored) {
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vb->bytes().size()), vb->bytes().data(),
                 GL_DYNAMIC_DRAW);
    vb->glStored = true;
    vb->dirtyBegin = vb->dirtyEnd = 0;
  } else if (vb->dirtyBegin < vb->dirtyEnd) {
    // Only what was written since the last draw: a beat that rewrites a few texture coordinates
    // of a large model uploads those, not the model.
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(vb->dirtyBegin),
                    static_cast<GLsizeiptr>(vb->dirtyEnd - vb->dirtyBegin), vb->bytes().data() + vb->dirtyBegin);
    vb->dirtyBegin = vb->dirtyEnd = 0;
  }
  const DWORD texIndex[kDrawnStages] = {s.stageStates[0][D3DTSS_TEXCOORDINDEX] & 0xFFFF,
                                        s.stageStates[1][D3DTSS_TEXCOORDINDEX] & 0xFFFF};
  if (shadow.fvf == s.fvf && shadow.streamOffset == stream.offset && shadow.stride == stream.stride &&
      shadow.texIndex[0] == texIndex[0] && shadow.texIndex[1] == texIndex[1])
    return;
  shadow.fvf = s.fvf;
  shadow.streamOffset = stream.offset;
  shadow.stride = stream.stride;
  shadow.texIndex[0] = texIndex[0];
  shadow.texIndex[1] = texIndex[1];
  const GLsizei stride = static_cast<GLsizei>(stream.stride);
  auto at = [&](int offset) {
    return reinterpret_cast<const void*>(static_cast<uintptr_t>(stream.offset) + offset);
  };
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, static_cast<GLint>(layout.positionFloats), GL_FLOAT, GL_FALSE, stride, at(0));
  if (layout.diffuse >= 0) {
    // D3DCOLOR is B, G, R, A in memory: GL_BGRA reads it as RGBA (see gl_api.h for OpenGL ES).
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, kGlColorSize, GL_UNSIGNED_BYTE, GL_TRUE, stride, at(layout.diffuse));
  } else {
    glDisableVertexAttribArray(1);
    glVertexAttrib4f(1, 1.0f, 1.0f, 1.0f, 1.0f);  // no diffuse colour: opaque white
  }
  // Specular colours and normals: only formats that hold them touch their attributes; when off
  // they read GL's current value (0, 0, 0, 1), which the shaders that read them expect.
  if (layout.specular >= 0) {
    glEnableVertexAttribArray(4);
    glVertexAttribPointer(4, kGlColorSize, GL_UNSIGNED_BYTE, GL_TRUE, stride, at(layout.specular));
    shadow.specularArray = true;
  } else if (shadow.specularArray) {
    glDisableVertexAttribArray(4);
    shadow.specularArray = false;
  }
  if (layout.normal >= 0) {
    glEnableVertexAttribArray(5);
    glVertexAttribPointer(5, 3, GL_FLOAT, GL_FALSE, stride, at(layout.normal));
    shadow.normalArray = true;
  } else if (shadow.normalArray) {
    glDisableVertexAttribArray(5);
    shadow.normalArray = false;
  }
  for (GLuint i = 0; i < kDrawnStages; ++i) {
    if (texIndex[i] < layout.texSets) {
      glEnableVertexAttribArray(2 + i);
      glVertexAttribPointer(2 + i, static_cast<GLint>(layout.texFloats[texIndex[i]]), GL_FLOAT,
                            GL_FALSE, stride, at(layout.texOffset[texIndex[i]]));
    } else {
      glDisableVertexAttribArray(2 + i);
      glVertexAttrib4f(2 + i, 0.0f, 0.0f, 0.0f, 1.0f);
    }
  }
}

void GlRenderer::Draw(const StateValues& s, const FvfLayout& layout, D3DPRIMITIVETYPE type,
                      UINT startVertex, UINT vertexCount) {
  MakeCurrent();
  Impl& g = *impl_;

  ShaderKey key;
  std::memset(&key, 0, sizeof(key));
  key.pretransformed = layout.pretransformed ? 1 : 0;
  if (s.renderStates[D3DRS_ALPHATESTENABLE] && s.renderStates[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS &&
      s.renderStates[D3DRS_ALPHAFUNC] >= D3DCMP_NEVER && s.renderStates[D3DRS_ALPHAFUNC] <= D3DCMP_ALWAYS)
    key.alphaFunc = static_cast<uint8_t>(s.renderStates[D3DRS_ALPHAFUNC]);
  for (DWORD i = 0; i < kDrawnStages; ++i) {
    const DWORD* ts = s.stageStates[i];
    if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE) break;
    ShaderKey::Stage& st = key.stages[i];
    st.colorOp = static_cast<uint8_t>(ts[D3DTSS_COLOROP]);
    st.colorArg1 = static_cast<uint8_t>(ts[D3DTSS_COLORARG1] & 0x3F);
    st.colorArg2 = static_cast<uint8_t>(ts[D3DTSS_COLORARG2] & 0x3F);
    st.alphaOp = static_cast<uint8_t>(ts[D3DTSS_ALPHAOP]);
    st.alphaArg1 = static_cast<uint8_t>(ts[D3DTSS_ALPHAARG1] & 0x3F);
    st.alphaArg2 = static_cast<uint8_t>(ts[D3DTSS_ALPHAARG2] & 0x3F);
    if (!s.textures[i].get()) {
      // An operation that reads the texture of a stage without one passes its input through.
      auto readsTexture = [](uint8_t op, uint8_t a1, uint8_t a2) {
        const bool t1 = (a1 & D3DTA_SELECTMASK) == D3DTA_TEXTURE;
        const bool t2 = (a2 & D3DTA_SELECTMASK) == D3DTA_TEXTURE;
        if (op == D3DTOP_SELECTARG1) return t1;
        if (op == D3DTOP_SELECTARG2) return t2;
        return op == D3DTOP_BLENDTEXTUREALPHA || t1 || t2;
      };
      if (readsTexture(st.colorOp, st.colorArg1, st.colorArg2)) {
        st.colorOp = D3DTOP_SELECTARG1;
        st.colorArg1 = D3DTA_CURRENT;
        st.colorArg2 = 0;
      }
      if (readsTexture(st.alphaOp, st.alphaArg1, st.alphaArg2)) {
        st.alphaOp = D3DTOP_SELECTARG1;
        st.alphaArg1 = D3DTA_CURRENT;
        st.alphaArg2 = 0;
      }
    }
    if (st.alphaOp == D3DTOP_DISABLE) {
      st.alphaOp = D3DTOP_SELECTARG1;
      st.alphaArg1 = D3DTA_CURRENT;
      st.alphaArg2 = 0;
    }
    key.stageCount = static_cast<uint8_t>(i + 1);
  }
  const D3DLIGHT9* drawnLights[kMaxActiveLights] = {};
  FillLightingKey(s, layout, &key.lighting, drawnLights);
  if (s.renderStates[D3DRS_SPECULARENABLE])
    key.addSpecular = (key.lighting.lit || layout.specular >= 0) ? 1 : 0;

  Program* p = g.ProgramFor(key);
  if (g.shadow.program != p->id) {
    glUseProgram(p->id);
    g.shadow.program = p->id;
  }
  g.ApplyRenderStates(s, layout.pretransformed);
  g.BindTextures(s, key);
  g.BindVertices(s, layout);

  const float screen[4] = {static_cast<float>(s.viewport.X), static_cast<float>(s.viewport.Y),
                           static_cast<float>(s.viewport.Width), static_cast<float>(s.viewport.Height)};
  if (std::memcmp(screen, p->lastScreen, sizeof(screen)) != 0) {
    glUniform4fv(p->screen, 1, screen);
    std::memcpy(p->lastScreen, screen, sizeof(screen));
  }
  if (!layout.pretransformed) {
    D3DMATRIX wv, wvp;
    Multiply(s.transforms[256], s.transforms[D3DTS_VIEW], &wv);
    Multiply(wv, s.transforms[D3DTS_PROJECTION], &wvp);
    // Row vectors times a row-major matrix = GL's column vectors times the same 16 floats
    // read column-major, so the matrix goes over untransposed.
    if (std::memcmp(&wvp, p->lastWvp, sizeof(p->lastWvp)) != 0) {
      glUniformMatrix4fv(p->wvp, 1, GL_FALSE, &wvp.m[0][0]);
      std::memcpy(p->lastWvp, &wvp, sizeof(p->lastWvp));
    }
  }
  if (key.lighting.lit) {
    LightingUniforms u;
    FillLightingUniforms(s, key.lighting, drawnLights, &u);
    const float* first = &u.worldView[0];
    const size_t floats = sizeof(u) / sizeof(float) -
                          (kMaxActiveLights - key.lighting.lightCount) * LightingUniforms::kVectorsPerLight * 4;
    if (p->lastLighting.size() != floats || std::memcmp(p->lastLighting.data(), first, floats * sizeof(float)) != 0) {
      glUniformMatrix4fv(p->worldView, 1, GL_FALSE, u.worldView);
      glUniformMatrix3fv(p->normalMatrix, 1, GL_FALSE, u.normalMatrix);
      glUniform4fv(p->material, 5, &u.material[0][0]);
      glUniform4fv(p->ambient, 1, u.ambient);
      if (key.lighting.lightCount)
        glUniform4fv(p->lights, key.lighting.lightCount * LightingUniforms::kVectorsPerLight, &u.lights[0][0]);
      p->lastLighting.assign(first, first + floats);
    }
  }
  const DWORD tf = s.renderStates[D3DRS_TEXTUREFACTOR];
  const float factor[4] = {((tf >> 16) & 0xFF) / 255.0f, ((tf >> 8) & 0xFF) / 255.0f,
                           (tf & 0xFF) / 255.0f, ((tf >> 24) & 0xFF) / 255.0f};
  if (p->factor >= 0 && std::memcmp(factor, p->lastFactor, sizeof(factor)) != 0) {
    glUniform4fv(p->factor, 1, factor);
    std::memcpy(p->lastFactor, factor, sizeof(factor));
  }
  const int ref = static_cast<int>(s.renderStates[D3DRS_ALPHAREF] & 0xFF);
  if (p->alphaRef >= 0 && ref != p->lastAlphaRef) {
    glUniform1i(p->alphaRef, ref);
    p->lastAlphaRef = ref;
  }
  glDrawArrays(PrimitiveMode(type), static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
}

void GlRenderer::Present() {
  MakeCurrent();
  Impl& g = *impl_;
  int w = 0, h = 0;
  g.surface->DrawableSize(&w, &h);
  if (w <= 0 || h <= 0) return;
  const bool sameSize = static_cast<UINT>(w) == g.width && static_cast<UINT>(h) == g.height;
  if (g.direct) {
    g.surface->Swap();
    // A window that no longer matches the back buffer gets an offscreen one from now on, which
    // Present stretches over it.
    if (!sameSize) g.LeaveWindow();
    return;
  }
  if (g.shadow.scissor != 0) {
    glDisable(GL_SCISSOR_TEST);
    g.shadow.scissor = 0;
  }
  glBindFramebuffer(GL_READ_FRAMEBUFFER, g.fbo);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  // The back buffer's row 0 is the top of the screen; GL's window origin is the bottom.
  glBlitFramebuffer(0, 0, static_cast<GLint>(g.width), static_cast<GLint>(g.height), 0, h, w, 0,
                    GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
  g.surface->Swap();
  glBindFramebuffer(GL_FRAMEBUFFER, g.fbo);
}

void GlRenderer::Finish() {
  MakeCurrent();
  glFinish();
}

void GlRenderer::Impl::LeaveWindow() {
  if (!MakeOffscreenBackBuffer(*this, hasDepth ? depthBits : 0)) return;
  direct = false;
  GlClipControlUpperLeft(false);
  std::memset(&shadow.viewport, 0xFF, sizeof(shadow.viewport));
  glClearColor(0, 0, 0, 1);
  GlClearDepth(1.0f);
  glDisable(GL_SCISSOR_TEST);
  shadow.scissor = 0;
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  shadow.colorMask = 0xF;
  glDepthMask(GL_TRUE);
  shadow.depthMask = 1;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GlRenderer::Impl::ReadRows(uint8_t* rows, UINT pitch) {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, direct ? 0 : fbo);
  // The whole back buffer whatever the viewport. Offscreen, GL's row 0 is already Direct3D's
  // top row; the window's rows come bottom first and are turned over here.
  GlReadPixelsBgra(static_cast<GLsizei>(width), static_cast<GLsizei>(height), rows, static_cast<GLint>(pitch / 4));
  if (direct) {
    std::vector<uint8_t> swap(static_cast<size_t>(width) * 4);
    for (UINT top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
      uint8_t* a = rows + static_cast<size_t>(top) * pitch;
      uint8_t* b = rows + static_cast<size_t>(bottom) * pitch;
      std::memcpy(swap.data(), a, swap.size());
      std::memcpy(a, b, swap.size());
      std::memcpy(b, swap.data(), swap.size());
    }
  }
}

void GlRenderer::ReadBack(std::vector<uint32_t>* pixels) {
  MakeCurrent();
  Impl& g = *impl_;
  // BGRA bytes with the reversed packed type give 0xAARRGGBB words (and B, G, R, A in memory).
  pixels->assign(static_cast<size_t>(g.width) * g.height, 0);
  g.ReadRows(reinterpret_cast<uint8_t*>(pixels->data()), g.width * 4);
}

void GlRenderer::ReadBack(uint8_t* rows, UINT pitch) {
  MakeCurrent();
  impl_->ReadRows(rows, pitch);
}

}  // namespace kvrd3d
