// The GL state the renderer last set, and the calls that bring GL to a draw's Direct3D state
// changing only what differs: blending, depth, rasterisation, a stage's texture and sampler, and
// the vertex attributes of stream 0. The renderer calls each only when its dirty bit is set
// (dirty_state.h); what a call compares here is GL's actual state, which Clear and Present also
// touch.
// Not implemented: scissor rectangles, streams other than 0, anisotropic filtering.
#pragma once
#include "d3d9/d3d9_internal.h"
#include "d3d9/gl_api.h"

namespace kvrd3d {

struct GlShadow {
  GLuint program = ~0u;
  int blend = -1;
  GLenum srcRgb = 0, dstRgb = 0, srcAlpha = 0, dstAlpha = 0, opRgb = 0, opAlpha = 0;
  DWORD blendColor = 0x12345678;
  int depthTest = -1, depthMask = -1, cull = -1, depthClamp = -1, scissor = -1;
  GLenum depthFunc = 0, cullFace = 0, polygonMode = 0;
  int colorMask = -1;
  // The stencil test, and each face's function, reference, masks and operations (GL's front face
  // is Direct3D's clockwise one).
  int stencilTest = -1;
  struct StencilFace {
    GLenum func = 0, fail = 0, zfail = 0, pass = 0;
    GLint ref = -1;
    GLuint mask = 0, writeMask = 0;
    bool operator==(const StencilFace& o) const {
      return func == o.func && fail == o.fail && zfail == o.zfail && pass == o.pass && ref == o.ref &&
             mask == o.mask && writeMask == o.writeMask;
    }
  } stencilFront, stencilBack;
  D3DVIEWPORT9 viewport = {~0u, ~0u, 0, 0, -1.0f, -1.0f};
  GLuint textures[kDrawnStages] = {};
  struct Sampler {
    GLint minFilter = -1, magFilter = -1, wrapS = -1, wrapT = -1;
    DWORD border = 0x12345678;
    float lodBias = -1000.0f;
    float maxAnisotropy = -1.0f;
  } samplers[kDrawnStages];
  // Vertex attribute set-up for the stream last drawn.
  GLuint arrayBuffer = ~0u;
  GLuint elementBuffer = ~0u;
  UINT streamOffset = ~0u, stride = ~0u;
  DWORD fvf = ~0u;
  unsigned enabledArrays = ~0u;  // bit per attribute location that may have an array

  void SetScissorTest(bool on);
  void SetColorMask(int mask);
  void SetDepthMask(bool on);
};

void ApplyBlend(GlShadow& shadow, const DWORD* renderStates);
void ApplyDepth(GlShadow& shadow, const DWORD* renderStates, bool hasDepth);
void ApplyRaster(GlShadow& shadow, const DWORD* renderStates, bool alphaTarget, bool pretransformed);
// The stencil test with both faces' states; off on a target without stencil.
void ApplyStencil(GlShadow& shadow, const DWORD* renderStates, bool hasStencil);
// Gives a render-target or depth-stencil texture its GL storage (bound on unit 0), once.
void StoreGpuTexture(GlShadow& shadow, Texture* texture);
// Binds a stage's texture on its unit, uploading its levels when they changed, and sets its base
// level; with samplerDirty, the sampler object's filters, address modes, border and bias too.
void BindStageTexture(GlShadow& shadow, GLuint sampler, GLuint unit, Texture* texture,
                      const DWORD* samplerStates, bool samplerDirty);
// Uploads what the program wrote to stream 0's buffer since the last draw; with inputDirty (or a
// buffer or start other than the last), points the attributes at its vertices, vertexShift bytes
// after the stream's offset (an indexed draw's base vertex).
void BindVertexInput(GlShadow& shadow, const StateValues& state, const FvfLayout& layout, bool inputDirty,
                     UINT vertexShift = 0);
// Binds an index buffer's element buffer and uploads what the program wrote to it since.
void BindIndices(GlShadow& shadow, IndexBuffer* indices);

}  // namespace kvrd3d
