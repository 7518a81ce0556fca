// Where the device draws: a GL framebuffer with its size, depth and row order. The back buffer is
// the window's own framebuffer when that can serve, else an offscreen one; render targets to come
// are offscreen ones. The row order belongs to the target, not to the device: an offscreen target
// keeps Direct3D's rows top first, the window's framebuffer (under an upper-left clip origin)
// keeps them bottom first, and viewport, scissor and read-back turn them over there.
// Not implemented: multisampled targets.
#pragma once
#include <cstdint>

#include "d3d9/d3d9_internal.h"
#include "d3d9/gl_api.h"

namespace kvrd3d {

class GlSurface;

struct GlTarget {
  GLuint fbo = 0;  // 0: the window's own framebuffer
  GLuint colorRb = 0, depthRb = 0;
  UINT width = 0, height = 0;
  int depthBits = 0;    // 0: no depth buffer
  int stencilBits = 0;  // 0: no stencil (8 with depth 24 otherwise)
  bool alpha = false;   // destination alpha is kept (else it reads as opaque)
  bool bottomUp = false;

  // Whether the window's framebuffer can be this target: the same size, the same depth precision
  // (a deeper one would settle near-ties in the depth test differently), alpha where the format
  // has it, no multisampling, and clip control to put Direct3D's top row at the top.
  static bool WindowCanServe(GlSurface& surface, UINT width, UINT height, bool alpha, int depthBits,
                             int stencilBits = 0);
  // An offscreen target of this target's size and depth; false (said on standard error) when GL
  // cannot make it.
  bool MakeOffscreen();
  void Release();
  // Attaches a level of a render-target texture (or, with a null texture, this target's own
  // colour renderbuffer `rb`) and a depth stencil to the framebuffer bound, taking their size.
  static void AttachColor(GLuint texture, GLint level, GLuint rb);
  static void AttachDepth(GLuint texture, GLuint rb, bool stencil);
  // GL's rectangle for Direct3D's rows y0..y1 (y1 excluded) of this target.
  GLint GlY(LONG y0, LONG y1) const { return bottomUp ? static_cast<GLint>(height) - y1 : y0; }
  void SetViewport(const D3DVIEWPORT9& vp) const;
  void SetScissor(LONG x0, LONG y0, LONG x1, LONG y1) const;
  // The target in A8R8G8B8 texels (B, G, R, A in memory), top row first, rows `pitch` apart.
  void ReadRows(uint8_t* rows, UINT pitch) const;
};

}  // namespace kvrd3d
