// Direct3D 9 fixed-function drawing on OpenGL 3.3 core (functions through libepoxy), or on
// OpenGL ES 3.0 in the browser (gl_api.h lists what that leaves out).
//
// Why a core context with generated shaders rather than the compatibility profile's fixed
// function: Direct3D's texture stages, its alpha test on 8-bit values, pre-transformed vertices
// with its pixel centres and its 0..1 depth range have no exact equivalent in GL's fixed
// function (GL_COMBINE differs in how a missing texture behaves, the alpha test compares floats),
// and macOS and Mesa's core-only drivers offer no compatibility profile at all. Each distinct
// combination of state gets one small program, chosen by a zeroed, packed key and cached.
//
// The parts: dirty_state (what each Set* changes), shader_key (the keys), vertex_shader and
// fragment_shader with shader_interface (the generator), program_cache, gl_state_shadow (GL
// state changed only where it differs), gl_target (the framebuffer drawn into). This file
// draws: it rebuilds a key only when its state is dirty and sends uniforms only when theirs is.
//
// Implemented: the back buffer is the window's own framebuffer when it can serve, else an
//   offscreen one (RGBA8 colour, 16- or 24-bit depth) that Present copies over; rows read back top
//   first; Clear of the viewport or of rectangles, points, lines, line strips, triangle lists,
//   strips and fans, from vertices alone or through 16- or 32-bit indices; XYZRHW vertices, other
//   vertices through world * view * projection with depth 0..1; render targets and depth stencils
//   other than the back buffer's (render_targets.cpp) through a framebuffer of their own, after
//   which the back buffer too is an offscreen one; the stencil test with both faces; diffuse
//   colours (opaque white when absent); eight texture stages (fragment_shader.cpp),
//   texture coordinate generation and transforms, vertex and table fog (vertex_shader.cpp),
//   alpha test, blending with every factor and operation, depth test and writes, culling, colour
//   write mask, fill mode, point, linear and mip filtering (other filters fall back to linear),
//   address modes, MAXMIPLEVEL, LOD bias, per-vertex lighting with up to kMaxActiveLights lights,
//   the specular colour added after the stages under D3DRS_SPECULARENABLE.
// Not implemented: flat shading, clip planes, scissor rectangles, point sprites and
//   point sizes, D3DRS_LASTPIXEL (lines never draw the pixel of their end point, as GL's and most
//   Direct3D 9 hardware's rules have it).
#include "d3d9/gl_renderer.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "d3d9/gl_api.h"
#include "d3d9/gl_state_shadow.h"
#include "d3d9/gl_surface.h"
#include "d3d9/gl_target.h"
#include "d3d9/program_cache.h"

namespace kvrd3d {

namespace {

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

void Color(DWORD c, float out[4]) {
  out[0] = ((c >> 16) & 0xFF) / 255.0f;
  out[1] = ((c >> 8) & 0xFF) / 255.0f;
  out[2] = (c & 0xFF) / 255.0f;
  out[3] = ((c >> 24) & 0xFF) / 255.0f;
}

// Sends a uniform when it differs from what this program was last sent.
template <size_t N, class Send>
void SendIfChanged(float (&last)[N], const float* now, Send send) {
  if (std::memcmp(last, now, sizeof(last)) == 0) return;
  send();
  std::memcpy(last, now, sizeof(last));
}

}  // namespace

struct GlRenderer::Impl {
  std::unique_ptr<GlSurface> surface;
  GlTarget backBuffer;
  GlTarget* target = &backBuffer;  // what draws and clears go to
  // Render targets other than the back buffer's pair: one framebuffer whose attachments change,
  // and one more for reading a render target or copying between two.
  GlTarget drawTarget;
  GLuint readFbo = 0, blitFbo = 0;
  bool reportedIncomplete = false;
  GLuint vao = 0;
  GLuint samplers[kDrawnStages] = {};
  ProgramCache programs;
  GlShadow shadow;
  // The key of the last draw, its program (null when it could not be made) and its lights.
  ShaderKey key;
  Program* program = nullptr;
  bool haveKey = false;
  const D3DLIGHT9* drawnLights[kMaxActiveLights] = {};

  void SendUniforms(const StateValues& s, Program& p, DirtyBits d, bool pretransformed);
  // Makes the back buffer an offscreen one; with keepFrame it takes over the window's pixels.
  void LeaveWindow(bool keepFrame = false);
  // Binds `fbo` with the surface as its colour attachment, and describes it in `out`.
  void BindColor(GLuint fbo, Surface* color, GlTarget* out);
};

std::unique_ptr<GlRenderer> GlRenderer::Create(HWND window, UINT width, UINT height,
                                               bool alphaTarget, int depthBits, int stencilBits) {
  std::unique_ptr<GlSurface> surface = GlSurface::ForWindow(window);
  if (!surface) return nullptr;
  std::unique_ptr<GlRenderer> r(new GlRenderer());
  r->impl_.reset(new Impl());
  Impl& g = *r->impl_;
  g.surface = std::move(surface);
  GlTarget& bb = g.backBuffer;
  bb.width = width;
  bb.height = height;
  bb.depthBits = depthBits;
  bb.stencilBits = depthBits > 0 ? stencilBits : 0;
  // An X8R8G8B8 back buffer keeps its alpha at 1 (never written), so destination alpha reads as
  // opaque, as it does on a target without alpha.
  bb.alpha = alphaTarget;

  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  r->maxTextureSize_ = static_cast<UINT>(maxSize > 8192 ? 8192 : (maxSize > 0 ? maxSize : 2048));

  // Drawing straight into the window saves Present a full-screen copy.
  bb.bottomUp = GlTarget::WindowCanServe(*g.surface, width, height, alphaTarget, depthBits, bb.stencilBits);
  if (!bb.bottomUp && !bb.MakeOffscreen()) return nullptr;
  glGenVertexArrays(1, &g.vao);
  glBindVertexArray(g.vao);
  glGenSamplers(kDrawnStages, g.samplers);
  for (GLuint i = 0; i < kDrawnStages; ++i) glBindSampler(i, g.samplers[i]);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  // The back buffer starts black with its depth at the far plane.
  glClearColor(0, 0, 0, 1);
  GlClearDepth(1.0f);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  // Rows stored top first turn Direct3D's clockwise into GL's counter-clockwise (and so does the
  // upper-left origin on the window).
  if (bb.bottomUp) GlClipControlUpperLeft(true);
  glFrontFace(GL_CCW);
  return r;
}

GlRenderer::~GlRenderer() {
  if (!impl_) return;
  Impl& g = *impl_;
  MakeCurrent();
  g.programs.Clear();
  glDeleteSamplers(kDrawnStages, g.samplers);
  glDeleteVertexArrays(1, &g.vao);
  g.backBuffer.Release();
  g.drawTarget.Release();
  if (g.readFbo) glDeleteFramebuffers(1, &g.readFbo);
  if (g.blitFbo) glDeleteFramebuffers(1, &g.blitFbo);
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
  if (impl_->shadow.elementBuffer == buffer) impl_->shadow.elementBuffer = ~0u;
  glDeleteBuffers(1, &buffer);
}

void GlRenderer::DeleteTexture(unsigned texture) {
  MakeCurrent();
  for (GLuint& t : impl_->shadow.textures)
    if (t == texture) t = 0;
  glDeleteTextures(1, &texture);
}

void GlRenderer::Clear(const D3DVIEWPORT9& viewport, DWORD count, const D3DRECT* rects, DWORD flags,
                       D3DCOLOR color, float z, DWORD stencil) {
  MakeCurrent();
  Impl& g = *impl_;
  const GlTarget& t = *g.target;
  GLbitfield mask = 0;
  if (flags & D3DCLEAR_TARGET) {
    glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f,
                 (color & 0xFF) / 255.0f, t.alpha ? ((color >> 24) & 0xFF) / 255.0f : 1.0f);
    g.shadow.SetColorMask(0xF);
    mask |= GL_COLOR_BUFFER_BIT;
  }
  if ((flags & D3DCLEAR_ZBUFFER) && t.depthBits > 0) {
    GlClearDepth(z < 0.0f ? 0.0f : (z > 1.0f ? 1.0f : z));
    g.shadow.SetDepthMask(true);
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  if ((flags & D3DCLEAR_STENCIL) && t.stencilBits > 0) {
    glClearStencil(static_cast<GLint>(stencil & 0xFF));
    glStencilMask(0xFF);
    g.shadow.stencilFront.writeMask = g.shadow.stencilBack.writeMask = 0xFF;
    mask |= GL_STENCIL_BUFFER_BIT;
  }
  if (!mask) return;
  // The masks the draws set come back with the next one.
  dirty_ |= kDirtyRaster | kDirtyDepth | kDirtyStencil;
  // Direct3D clears the viewport, or the parts of the rectangles inside it.
  g.shadow.SetScissorTest(true);
  const LONG vx0 = viewport.X, vy0 = viewport.Y;
  const LONG vx1 = vx0 + viewport.Width, vy1 = vy0 + viewport.Height;
  auto clearRect = [&](LONG x0, LONG y0, LONG x1, LONG y1) {
    x0 = x0 < vx0 ? vx0 : x0;
    y0 = y0 < vy0 ? vy0 : y0;
    x1 = x1 > vx1 ? vx1 : x1;
    y1 = y1 > vy1 ? vy1 : y1;
    if (x1 <= x0 || y1 <= y0) return;
    t.SetScissor(x0, y0, x1, y1);
    glClear(mask);
  };
  if (count == 0) {
    clearRect(vx0, vy0, vx1, vy1);
  } else {
    for (DWORD i = 0; i < count; ++i) clearRect(rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2);
  }
}

void GlRenderer::Impl::SendUniforms(const StateValues& s, Program& p, DirtyBits d, bool pretransformed) {
  if (d & kDirtyViewport) {
    const float screen[4] = {static_cast<float>(s.viewport.X), static_cast<float>(s.viewport.Y),
                             static_cast<float>(s.viewport.Width), static_cast<float>(s.viewport.Height)};
    SendIfChanged(p.lastScreen, screen, [&] { glUniform4fv(p.screen, 1, screen); });
  }
  if ((d & kDirtyTransforms) && !pretransformed) {
    D3DMATRIX wv, wvp;
    Multiply(s.transforms[256], s.transforms[D3DTS_VIEW], &wv);
    Multiply(wv, s.transforms[D3DTS_PROJECTION], &wvp);
    // Row vectors times a row-major matrix = GL's column vectors times the same 16 floats read
    // column-major, so matrices go over untransposed.
    SendIfChanged(p.lastWvp, &wvp.m[0][0], [&] { glUniformMatrix4fv(p.wvp, 1, GL_FALSE, &wvp.m[0][0]); });
    if (p.worldView >= 0 && !key.vertex.lighting.lit)
      SendIfChanged(p.lastWorldView, &wv.m[0][0], [&] { glUniformMatrix4fv(p.worldView, 1, GL_FALSE, &wv.m[0][0]); });
    for (DWORD i = 0; i < kDrawnStages; ++i) {
      if (p.texMatrix[i] < 0) continue;
      const float* m = &s.transforms[D3DTS_TEXTURE0 + i].m[0][0];
      SendIfChanged(p.lastTexMatrix[i], m, [&] { glUniformMatrix4fv(p.texMatrix[i], 1, GL_FALSE, m); });
    }
  }
  const LightingKey& lk = key.vertex.lighting;
  if ((lk.lit && (d & (kDirtyLighting | kDirtyTransforms))) || (!lk.lit && p.normalMatrix >= 0 && (d & kDirtyTransforms))) {
    LightingUniforms u;
    FillLightingUniforms(s, lk, drawnLights, &u);
    const float* first = &u.worldView[0];
    const size_t floats = sizeof(u) / sizeof(float) -
                          (kMaxActiveLights - lk.lightCount) * LightingUniforms::kVectorsPerLight * 4;
    if (p.lastLighting.size() != floats || std::memcmp(p.lastLighting.data(), first, floats * sizeof(float)) != 0) {
      if (p.worldView >= 0) glUniformMatrix4fv(p.worldView, 1, GL_FALSE, u.worldView);
      if (p.normalMatrix >= 0) glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, u.normalMatrix);
      if (p.material >= 0) glUniform4fv(p.material, 5, &u.material[0][0]);
      if (p.ambient >= 0) glUniform4fv(p.ambient, 1, u.ambient);
      if (lk.lightCount && p.lights >= 0)
        glUniform4fv(p.lights, lk.lightCount * LightingUniforms::kVectorsPerLight, &u.lights[0][0]);
      p.lastLighting.assign(first, first + floats);
    }
  }
  if (!(d & kDirtyFragmentUniforms)) return;
  const DWORD* rs = s.renderStates;
  float factor[4];
  Color(rs[D3DRS_TEXTUREFACTOR], factor);
  if (p.factor >= 0) SendIfChanged(p.lastFactor, factor, [&] { glUniform4fv(p.factor, 1, factor); });
  const int ref = static_cast<int>(rs[D3DRS_ALPHAREF] & 0xFF);
  if (p.alphaRef >= 0 && ref != p.lastAlphaRef) {
    glUniform1i(p.alphaRef, ref);
    p.lastAlphaRef = ref;
  }
  if (p.fogColor >= 0 || p.fogParams >= 0) {
    const float start = AsFloat(rs[D3DRS_FOGSTART]), end = AsFloat(rs[D3DRS_FOGEND]);
    float fog[8];
    Color(rs[D3DRS_FOGCOLOR], fog);
    fog[4] = start;
    fog[5] = end;
    fog[6] = AsFloat(rs[D3DRS_FOGDENSITY]);
    // Linear fog as (end - d) * scale; a range of zero length fogs everything.
    fog[7] = end != start ? 1.0f / (end - start) : 0.0f;
    SendIfChanged(p.lastFog, fog, [&] {
      if (p.fogColor >= 0) glUniform4fv(p.fogColor, 1, fog);
      if (p.fogParams >= 0) glUniform4fv(p.fogParams, 1, fog + 4);
    });
  }
  if (p.constants >= 0) {
    std::vector<float> c(kDrawnStages * 4);
    for (DWORD i = 0; i < kDrawnStages; ++i) Color(s.stageStates[i][D3DTSS_CONSTANT], &c[i * 4]);
    if (c != p.lastConstants) {
      glUniform4fv(p.constants, kDrawnStages, c.data());
      p.lastConstants = c;
    }
  }
}

void GlRenderer::Draw(const StateValues& s, const FvfLayout& layout, D3DPRIMITIVETYPE type,
                      UINT startVertex, UINT vertexCount) {
  if (!PrepareDraw(s, layout, 0)) return;
  glDrawArrays(PrimitiveMode(type), static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
}

void GlRenderer::DrawIndexed(const StateValues& s, const FvfLayout& layout, D3DPRIMITIVETYPE type,
                             IndexBuffer* indices, UINT startIndex, UINT indexCount, UINT vertexShift) {
  if (!PrepareDraw(s, layout, vertexShift)) return;
  BindIndices(impl_->shadow, indices);
  const uintptr_t first = static_cast<uintptr_t>(startIndex) * indices->indexSize();
  glDrawElements(PrimitiveMode(type), static_cast<GLsizei>(indexCount),
                 indices->indexSize() == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                 reinterpret_cast<const void*>(first));
}

bool GlRenderer::PrepareDraw(const StateValues& s, const FvfLayout& layout, UINT vertexShift) {
  MakeCurrent();
  Impl& g = *impl_;
  if (DeviceSeams().noStateShadow) {
    // Every piece of state applied again, as if nothing were known of GL's.
    dirty_ = kDirtyAll;
    g.shadow = GlShadow();
    g.programs.ForgetUniforms();
    g.haveKey = false;
  }
  DirtyBits d = dirty_;
  if (!g.haveKey || (d & (kDirtyVertexKey | kDirtyFragmentKey))) {
    ShaderKey key;
    std::memset(&key, 0, sizeof(key));
    FillFragmentKey(s, layout, &key.fragment);
    FillVertexKey(s, layout, key.fragment, &key.vertex, g.drawnLights);
    if (!g.haveKey || !(key == g.key)) {
      g.key = key;
      g.program = g.programs.Get(key);
      g.haveKey = true;
      // The program's uniforms were last sent for other state.
      d |= kDirtyViewport | kDirtyTransforms | kDirtyLighting | kDirtyFragmentUniforms;
    }
    dirty_ = d &= ~(kDirtyVertexKey | kDirtyFragmentKey);
  }
  Program* p = g.program;
  if (!p) return false;  // said once on standard error: its draws draw nothing
  if (g.shadow.program != p->id) {
    glUseProgram(p->id);
    g.shadow.program = p->id;
    d |= kDirtyViewport | kDirtyTransforms | kDirtyLighting | kDirtyFragmentUniforms;
  }
  const GlTarget& t = *g.target;
  if (d & kDirtyBlend) ApplyBlend(g.shadow, s.renderStates);
  if (d & kDirtyDepth) ApplyDepth(g.shadow, s.renderStates, t.depthBits > 0);
  if (d & kDirtyRaster) ApplyRaster(g.shadow, s.renderStates, t.alpha, layout.pretransformed);
  if (d & kDirtyStencil) ApplyStencil(g.shadow, s.renderStates, t.stencilBits > 0);
  g.shadow.SetScissorTest(false);
  if ((d & kDirtyViewport) && std::memcmp(&s.viewport, &g.shadow.viewport, sizeof(s.viewport)) != 0) {
    g.shadow.viewport = s.viewport;
    t.SetViewport(s.viewport);
  }
  DirtyBits left = 0;
  for (GLuint unit = 0; unit < g.key.fragment.stageCount; ++unit) {
    if (!g.key.fragment.stages[unit].sampled) {
      left |= d & DirtySampler(unit);  // applied when the stage samples again
      continue;
    }
    BindStageTexture(g.shadow, g.samplers[unit], unit, s.textures[unit].get(), s.samplerStates[unit],
                     (d & DirtySampler(unit)) != 0);
  }
  for (GLuint unit = g.key.fragment.stageCount; unit < kDrawnStages; ++unit) left |= d & DirtySampler(unit);
  BindVertexInput(g.shadow, s, layout, (d & kDirtyVertexInput) != 0, vertexShift);
  g.SendUniforms(s, *p, d, layout.pretransformed);
  dirty_ = left;
  return true;
}

void GlRenderer::LetResultsArrive() { impl_->surface->LetResultsArrive(); }

void GlRenderer::Present() {
  MakeCurrent();
  Impl& g = *impl_;
  int w = 0, h = 0;
  g.surface->DrawableSize(&w, &h);
  if (w <= 0 || h <= 0) return;
  const GlTarget& bb = g.backBuffer;
  const bool sameSize = static_cast<UINT>(w) == bb.width && static_cast<UINT>(h) == bb.height;
  if (bb.fbo == 0) {
    g.surface->Swap();
    // A window that no longer matches the back buffer gets an offscreen one from now on, which
    // Present stretches over it.
    if (!sameSize) {
      g.LeaveWindow();
      dirty_ = kDirtyAll;
    }
    return;
  }
  g.shadow.SetScissorTest(false);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, bb.fbo);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  // The back buffer's row 0 is the top of the screen; GL's window origin is the bottom.
  glBlitFramebuffer(0, 0, static_cast<GLint>(bb.width), static_cast<GLint>(bb.height), 0, h, w, 0,
                    GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
  g.surface->Swap();
  glBindFramebuffer(GL_FRAMEBUFFER, g.target->fbo);
}

bool GlRenderer::ResizeBackBuffer(UINT width, UINT height, bool alphaTarget, int depthBits, int stencilBits) {
  MakeCurrent();
  Impl& g = *impl_;
  GlTarget& bb = g.backBuffer;
  bb.Release();
  bb.width = width;
  bb.height = height;
  bb.alpha = alphaTarget;
  bb.depthBits = depthBits;
  bb.stencilBits = depthBits > 0 ? stencilBits : 0;
  bb.bottomUp = GlTarget::WindowCanServe(*g.surface, width, height, alphaTarget, depthBits, bb.stencilBits);
  if (!bb.bottomUp && !bb.MakeOffscreen()) return false;
  g.target = &bb;
  GlClipControlUpperLeft(bb.bottomUp);
  glBindFramebuffer(GL_FRAMEBUFFER, bb.fbo);
  std::memset(&g.shadow.viewport, 0xFF, sizeof(g.shadow.viewport));
  g.shadow.SetScissorTest(false);
  g.shadow.SetColorMask(0xF);
  g.shadow.SetDepthMask(true);
  glClearColor(0, 0, 0, 1);
  GlClearDepth(1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  dirty_ = kDirtyAll;
  return true;
}

void GlRenderer::Finish() {
  MakeCurrent();
  glFinish();
}

void GlRenderer::Impl::LeaveWindow(bool keepFrame) {
  if (!backBuffer.MakeOffscreen()) {
    backBuffer.fbo = 0;
    backBuffer.bottomUp = true;
    return;
  }
  GlClipControlUpperLeft(false);
  std::memset(&shadow.viewport, 0xFF, sizeof(shadow.viewport));
  glClearColor(0, 0, 0, 1);
  GlClearDepth(1.0f);
  glClearStencil(0);
  shadow.SetScissorTest(false);
  shadow.SetColorMask(0xF);
  shadow.SetDepthMask(true);
  glStencilMask(0xFF);
  shadow.stencilFront.writeMask = shadow.stencilBack.writeMask = 0xFF;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  if (!keepFrame) return;
  // The window keeps Direct3D's rows bottom first, the new buffer top first.
  const GLint w = static_cast<GLint>(backBuffer.width), h = static_cast<GLint>(backBuffer.height);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glBlitFramebuffer(0, 0, w, h, 0, h, w, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, backBuffer.fbo);
}

void GlRenderer::Impl::BindColor(GLuint fbo, Surface* color, GlTarget* out) {
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  out->fbo = fbo;
  out->bottomUp = false;
  if (Texture* tex = color->container()) {
    StoreGpuTexture(shadow, tex);
    const Texture::Level& l = tex->levels()[color->level()];
    GlTarget::AttachColor(tex->glTexture, static_cast<GLint>(color->level()), 0);
    out->width = l.width;
    out->height = l.height;
    out->alpha = tex->format() == D3DFMT_A8R8G8B8;
  } else {
    GlTarget::AttachColor(0, 0, backBuffer.colorRb);
    out->width = backBuffer.width;
    out->height = backBuffer.height;
    out->alpha = backBuffer.alpha;
  }
}

void GlRenderer::SetTargets(Surface* color, Surface* depth) {
  MakeCurrent();
  Impl& g = *impl_;
  GlTarget& bb = g.backBuffer;
  dirty_ |= kDirtyViewport | kDirtyDepth | kDirtyRaster | kDirtyStencil;
  std::memset(&g.shadow.viewport, 0xFF, sizeof(g.shadow.viewport));
  const bool backBufferPair =
      !color->container() && (depth ? depth->autoDepth() : bb.depthBits == 0);
  if (backBufferPair) {
    g.target = &bb;
    glBindFramebuffer(GL_FRAMEBUFFER, bb.fbo);
    return;
  }
  // The window's own depth buffer cannot go with another colour buffer, nor the window's colour
  // with another depth buffer: from here on the back buffer is an offscreen pair too.
  if (bb.fbo == 0) {
    g.LeaveWindow(true);
    if (bb.fbo == 0) return;  // said on standard error; draws keep going to the window
  }
  GlTarget& t = g.drawTarget;
  if (!t.fbo) glGenFramebuffers(1, &t.fbo);
  g.BindColor(t.fbo, color, &t);
  t.depthBits = t.stencilBits = 0;
  if (!depth) {
    GlTarget::AttachDepth(0, 0, false);
  } else if (Texture* tex = depth->container()) {
    StoreGpuTexture(g.shadow, tex);
    DepthStencilBits(tex->format(), &t.depthBits, &t.stencilBits);
    GlTarget::AttachDepth(tex->glTexture, 0, t.stencilBits > 0);
  } else {
    t.depthBits = bb.depthBits;
    t.stencilBits = bb.stencilBits;
    GlTarget::AttachDepth(0, bb.depthRb, bb.stencilBits > 0);
  }
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    if (!g.reportedIncomplete)
      std::fprintf(stderr, "kvrplatform: a render target of %ux%u cannot be drawn into; drawing into the back buffer\n",
                   t.width, t.height);
    g.reportedIncomplete = true;
    g.target = &bb;
    glBindFramebuffer(GL_FRAMEBUFFER, bb.fbo);
    return;
  }
  g.target = &t;
}

void GlRenderer::ReadTarget(Surface* color, uint8_t* rows, UINT pitch) {
  MakeCurrent();
  Impl& g = *impl_;
  if (!color->container()) {
    g.backBuffer.ReadRows(rows, pitch);
  } else {
    if (!g.readFbo) glGenFramebuffers(1, &g.readFbo);
    GlTarget t;
    g.BindColor(g.readFbo, color, &t);
    t.ReadRows(rows, pitch);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, g.target->fbo);
}

void GlRenderer::Blit(Surface* src, const RECT& from, Surface* dst, const RECT& to, bool linear) {
  MakeCurrent();
  Impl& g = *impl_;
  GlTarget s, d;
  auto describe = [&](Surface* surface, GLuint* fbo, GlTarget* out) {
    if (!surface->container()) {
      *out = g.backBuffer;
      return;
    }
    if (!*fbo) glGenFramebuffers(1, fbo);
    g.BindColor(*fbo, surface, out);
  };
  describe(src, &g.readFbo, &s);
  describe(dst, &g.blitFbo, &d);
  g.shadow.SetScissorTest(false);  // a blit is clipped by the scissor too
  glBindFramebuffer(GL_READ_FRAMEBUFFER, s.fbo);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, d.fbo);
  const GLint sy0 = s.GlY(from.top, from.bottom), sy1 = sy0 + (from.bottom - from.top);
  GLint dy0 = d.GlY(to.top, to.bottom), dy1 = dy0 + (to.bottom - to.top);
  // Rows kept in opposite orders turn over on the way.
  if (s.bottomUp != d.bottomUp) std::swap(dy0, dy1);
  glBlitFramebuffer(from.left, sy0, from.right, sy1, to.left, dy0, to.right, dy1, GL_COLOR_BUFFER_BIT,
                    linear ? GL_LINEAR : GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, g.target->fbo);
}

void GlRenderer::ReadBack(std::vector<uint32_t>* pixels) {
  MakeCurrent();
  const GlTarget& bb = impl_->backBuffer;
  // BGRA bytes with the reversed packed type give 0xAARRGGBB words (and B, G, R, A in memory).
  pixels->assign(static_cast<size_t>(bb.width) * bb.height, 0);
  bb.ReadRows(reinterpret_cast<uint8_t*>(pixels->data()), bb.width * 4);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, impl_->target->fbo);
}

void GlRenderer::ReadBack(uint8_t* rows, UINT pitch) {
  MakeCurrent();
  impl_->backBuffer.ReadRows(rows, pitch);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, impl_->target->fbo);
}

}  // namespace kvrd3d
