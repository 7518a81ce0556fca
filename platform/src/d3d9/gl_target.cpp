// The GL targets of gl_target.h: the window's framebuffer or an offscreen one, with viewport,
// scissor and read-back in Direct3D's rows whatever order GL keeps them in.
// Not implemented: multisampling, targets of other formats than RGBA8.
#include "d3d9/gl_target.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "d3d9/gl_surface.h"

namespace kvrd3d {

bool GlTarget::WindowCanServe(GlSurface& surface, UINT width, UINT height, bool alphaTarget, int depthBits,
                              int stencilBits) {
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
  GLint depthType = GL_NONE, depth = 0, alpha = 0, stencilType = GL_NONE, stencil = 0;
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE,
                                        &depthType);
  if (depthType != GL_NONE)
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE,
                                          &depth);
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, kGlWindowColorBuffer, GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE,
                                        &alpha);
  if (stencilBits > 0) {
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_STENCIL, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE,
                                          &stencilType);
    if (stencilType != GL_NONE)
      glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_STENCIL, GL_FRAMEBUFFER_ATTACHMENT_STENCIL_SIZE,
                                            &stencil);
  }
  while (glGetError() != GL_NO_ERROR) {
  }
  if (depthBits > 0 && depth != depthBits) return false;
  if (alphaTarget && alpha < 8) return false;
  if (stencil < stencilBits) return false;
  return true;
}

bool GlTarget::MakeOffscreen() {
  glGenFramebuffers(1, &fbo);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glGenRenderbuffers(1, &colorRb);
  glBindRenderbuffer(GL_RENDERBUFFER, colorRb);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorRb);
  if (depthBits > 0) {
    glGenRenderbuffers(1, &depthRb);
    glBindRenderbuffer(GL_RENDERBUFFER, depthRb);
    const GLenum format = stencilBits > 0     ? GL_DEPTH24_STENCIL8
                          : depthBits == 16 ? GL_DEPTH_COMPONENT16
                                            : GL_DEPTH_COMPONENT24;
    glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
    AttachDepth(0, depthRb, stencilBits > 0);
  }
  bottomUp = false;
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    std::fprintf(stderr, "kvrplatform: back buffer of %ux%u cannot be made\n", width, height);
    return false;
  }
  return true;
}

void GlTarget::Release() {
  if (colorRb) glDeleteRenderbuffers(1, &colorRb);
  if (depthRb) glDeleteRenderbuffers(1, &depthRb);
  if (fbo) glDeleteFramebuffers(1, &fbo);
  colorRb = depthRb = fbo = 0;
}

void GlTarget::AttachColor(GLuint texture, GLint level, GLuint rb) {
  if (texture) {
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, level);
  } else {
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, rb);
  }
}

void GlTarget::AttachDepth(GLuint texture, GLuint rb, bool stencil) {
  // What was attached before goes first: a depth-only buffer must not leave a stencil behind.
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
  const GLenum point = stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
  if (texture) {
    glFramebufferTexture2D(GL_FRAMEBUFFER, point, GL_TEXTURE_2D, texture, 0);
  } else if (rb) {
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, point, GL_RENDERBUFFER, rb);
  }
}

void GlTarget::SetViewport(const D3DVIEWPORT9& vp) const {
  glViewport(vp.X, GlY(vp.Y, vp.Y + vp.Height), vp.Width, vp.Height);
  GlDepthRange(vp.MinZ, vp.MaxZ);
}

void GlTarget::SetScissor(LONG x0, LONG y0, LONG x1, LONG y1) const {
  glScissor(x0, GlY(y0, y1), x1 - x0, y1 - y0);
}

void GlTarget::ReadRows(uint8_t* rows, UINT pitch) const {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
  // The whole target whatever the viewport; rows stored bottom first are turned over here.
  GlReadPixelsBgra(static_cast<GLsizei>(width), static_cast<GLsizei>(height), rows, static_cast<GLint>(pitch / 4));
  if (!bottomUp) return;
  std::vector<uint8_t> swap(static_cast<size_t>(width) * 4);
  for (UINT top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
    uint8_t* a = rows + static_cast<size_t>(top) * pitch;
    uint8_t* b = rows + static_cast<size_t>(bottom) * pitch;
    std::memcpy(swap.data(), a, swap.size());
    std::memcpy(a, b, swap.size());
    std::memcpy(b, swap.data(), swap.size());
  }
}

}  // namespace kvrd3d
