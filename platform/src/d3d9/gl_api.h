// The OpenGL the Direct3D 9 device draws with: desktop OpenGL 3.3 core through libepoxy, or
// OpenGL ES 3.0 (WebGL 2) when the layer is built for the browser (KVR_GL_ES). The renderer is
// written against the common part of the two; the few calls that differ go through the helpers
// below, which do the nearest thing OpenGL ES offers.
#pragma once

#include <cstdint>
#include <string>

#if defined(KVR_GL_ES)
#include <GLES3/gl3.h>
#else
#include <epoxy/gl.h>
#endif

namespace kvrd3d {

#if defined(KVR_GL_ES)

// Shaders are written in GLSL 3.30; GLSL ES 3.00 takes them once the version line says so and
// default precisions are set. The shaders test GL_ES where the two languages differ.
inline std::string GlslForThisGl(const std::string& source) {
  const std::string desktop = "#version 330 core\n";
  if (source.compare(0, desktop.size(), desktop) != 0) return source;
  return "#version 300 es\nprecision highp float;\nprecision highp int;\n" + source.substr(desktop.size());
}
// D3DCOLOR is B, G, R, A in memory. OpenGL ES has no GL_BGRA vertex size, so the colour goes over
// as four bytes and the vertex shader swaps red and blue (under GL_ES).
constexpr GLint kGlColorSize = 4;
// Border colours and MIRRORONCE need OpenGL ES 3.2: the nearest is clamping to the edge.
constexpr GLenum kGlClampToBorder = GL_CLAMP_TO_EDGE;
inline GLenum GlMirrorClampToEdge() { return GL_CLAMP_TO_EDGE; }
inline void GlSamplerBorderColor(GLuint, const float*) {}
// No sampler LOD bias in OpenGL ES: D3DSAMP_MIPMAPLODBIAS is ignored.
inline void GlSamplerLodBias(GLuint, float) {}
// Only solid fill: D3DFILL_WIREFRAME and D3DFILL_POINT draw solid.
inline constexpr GLenum kGlPoint = 0x1B00, kGlLine = 0x1B01, kGlFill = 0x1B02;
inline void GlPolygonMode(GLenum) {}
// No depth clamp: pre-transformed vertices are clipped by depth like the others.
inline void GlDepthClamp(bool) {}
inline void GlClearDepth(float z) { glClearDepthf(z); }
// No clip control: the device always draws offscreen and Present copies the frame over.
inline bool GlHasClipControl() { return false; }
constexpr GLenum kGlWindowColorBuffer = GL_BACK;
// WebGL 2 only tells whether any sample passed: an occlusion query answers 0 or 1.
constexpr GLenum kGlOcclusionQuery = GL_ANY_SAMPLES_PASSED;
inline void GlClipControlUpperLeft(bool) {}
inline void GlDepthRange(float n, float f) { glDepthRangef(n, f); }
// Reads rows of B, G, R, A bytes. OpenGL ES reads RGBA only: red and blue are swapped after.
inline void GlReadPixelsBgra(GLsizei width, GLsizei height, void* rows, GLint rowLength) {
  glPixelStorei(GL_PACK_ROW_LENGTH, rowLength);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  const size_t stride = static_cast<size_t>(rowLength > 0 ? rowLength : width) * 4;
  for (GLsizei y = 0; y < height; ++y) {
    uint8_t* p = static_cast<uint8_t*>(rows) + stride * static_cast<size_t>(y);
    for (GLsizei x = 0; x < width; ++x, p += 4) {
      const uint8_t r = p[0];
      p[0] = p[2];
      p[2] = r;
    }
  }
}

// WebGL offers anisotropic filtering only as an extension the page must ask for: linear it stays.
inline void GlSamplerMaxAnisotropy(GLuint, float) {}
// WebGL 2 has no texture swizzle: the caller keeps the bound texture's alpha at 1 itself.
inline bool GlSwizzleAlphaToOne() { return false; }
// WebGL wants all of a framebuffer's attachments of one size.
constexpr bool kGlAttachmentsOfOneSize = true;

#else

inline std::string GlslForThisGl(const std::string& source) { return source; }
constexpr GLint kGlColorSize = GL_BGRA;
constexpr GLenum kGlClampToBorder = GL_CLAMP_TO_BORDER;
inline GLenum GlMirrorClampToEdge() {
  return epoxy_gl_version() >= 44 ? GL_MIRROR_CLAMP_TO_EDGE : GL_CLAMP_TO_EDGE;
}
inline void GlSamplerBorderColor(GLuint sampler, const float* rgba) {
  glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, rgba);
}
inline void GlSamplerLodBias(GLuint sampler, float bias) { glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, bias); }
// Anisotropic filtering (core since OpenGL 4.6, an extension before, which Mesa's drivers offer).
inline void GlSamplerMaxAnisotropy(GLuint sampler, float n) {
  static const bool has = epoxy_gl_version() >= 46 || epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic") ||
                          epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic");
  if (has) glSamplerParameterf(sampler, 0x84FE /* GL_TEXTURE_MAX_ANISOTROPY */, n);
}
// The bound texture reads as opaque wherever it is sampled.
inline bool GlSwizzleAlphaToOne() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
  return true;
}
constexpr bool kGlAttachmentsOfOneSize = false;
inline constexpr GLenum kGlPoint = GL_POINT, kGlLine = GL_LINE, kGlFill = GL_FILL;
inline void GlPolygonMode(GLenum mode) { glPolygonMode(GL_FRONT_AND_BACK, mode); }
inline void GlDepthClamp(bool on) { on ? glEnable(GL_DEPTH_CLAMP) : glDisable(GL_DEPTH_CLAMP); }
inline void GlClearDepth(float z) { glClearDepth(z); }
inline bool GlHasClipControl() { return epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control"); }
constexpr GLenum kGlWindowColorBuffer = GL_BACK_LEFT;
constexpr GLenum kGlOcclusionQuery = GL_SAMPLES_PASSED;
inline void GlClipControlUpperLeft(bool upper) {
  glClipControl(upper ? GL_UPPER_LEFT : GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
}
inline void GlDepthRange(float n, float f) { glDepthRange(n, f); }
inline void GlReadPixelsBgra(GLsizei width, GLsizei height, void* rows, GLint rowLength) {
  glPixelStorei(GL_PACK_ROW_LENGTH, rowLength);
  glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, rows);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
}

#endif

}  // namespace kvrd3d
