// The OpenGL side of the Direct3D 9 device: context, back buffer, fixed-function drawing.
#pragma once
#include <memory>
#include <vector>

#include "d3d9/d3d9_internal.h"
#include "d3d9/dirty_state.h"

namespace kvrd3d {

class GlRenderer {
 public:
  // A GL context on the window (gl_surface.h) and a back buffer of the given size; null when the
  // context cannot be made. depthBits is 0 for no depth buffer, stencilBits 0 for no stencil.
  static std::unique_ptr<GlRenderer> Create(HWND window, UINT width, UINT height,
                                            bool alphaTarget, int depthBits, int stencilBits = 0);
  ~GlRenderer();

  void MakeCurrent();
  UINT MaxTextureSize() const { return maxTextureSize_; }
  // The device's Set* calls say here what they changed (dirty_state.h); the next draw applies it.
  void MarkDirty(DirtyBits bits) { dirty_ |= bits; }

  void Clear(const D3DVIEWPORT9& viewport, DWORD count, const D3DRECT* rects, DWORD flags,
             D3DCOLOR color, float z, DWORD stencil);
  // Where draws and clears go from now on (render_targets.cpp): the back buffer or a level of a
  // render-target texture, with the automatic depth stencil, a depth-stencil level, or none.
  void SetTargets(Surface* color, Surface* depth);
  // A render target's pixels as ReadBack(rows, pitch) gives the back buffer's.
  void ReadTarget(Surface* color, uint8_t* rows, UINT pitch);
  // Copies a rectangle of one render target into a rectangle of another, stretched.
  void Blit(Surface* src, const RECT& from, Surface* dst, const RECT& to, bool linear);
  // The occlusion query GL counts with now (0: none); GL counts with one at a time.
  unsigned activeOcclusion = 0;
  // Draws vertexCount vertices from startVertex of stream 0 under the given state.
  void Draw(const StateValues& state, const FvfLayout& layout, D3DPRIMITIVETYPE type,
            UINT startVertex, UINT vertexCount);
  // Draws indexCount indices from startIndex of the index buffer, each vertexShift bytes further
  // into stream 0 than its index says (the base vertex).
  void DrawIndexed(const StateValues& state, const FvfLayout& layout, D3DPRIMITIVETYPE type,
                   IndexBuffer* indices, UINT startIndex, UINT indexCount, UINT vertexShift);
  void Present();
  // A program waiting for a query's answer (GetData with D3DGETDATA_FLUSH): gives the browser
  // the turn WebGL answers in (gl_surface.h); nothing on the desktop.
  void LetResultsArrive();
  // A back buffer of a new size and format in place of the old one, black, its depth at the far
  // plane; false when GL cannot make it.
  bool ResizeBackBuffer(UINT width, UINT height, bool alphaTarget, int depthBits, int stencilBits);
  // Waits until everything drawn so far is in the back buffer (or on the screen).
  void Finish();
  // The back buffer as 0xAARRGGBB, top row first.
  void ReadBack(std::vector<uint32_t>* pixels);
  // The back buffer in A8R8G8B8 texels (B, G, R, A in memory), top row first, rows `pitch` bytes
  // apart; pitch is a multiple of four and at least four times the width.
  void ReadBack(uint8_t* rows, UINT pitch);

  void DeleteBuffer(unsigned buffer);
  void DeleteTexture(unsigned texture);

  struct Impl;

 private:
  GlRenderer() = default;
  // Brings GL to the state for a draw from stream 0; false when the state's program could not be
  // made (its draws draw nothing).
  bool PrepareDraw(const StateValues& state, const FvfLayout& layout, UINT vertexShift);
  std::unique_ptr<Impl> impl_;
  UINT maxTextureSize_ = 2048;
  DirtyBits dirty_ = kDirtyAll;
};

}  // namespace kvrd3d
