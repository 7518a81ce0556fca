// The Direct3D 9 device's GL context on the page's canvas: WebGL 2 (OpenGL ES 3.0).
// Implemented: one WebGL 2 context on the canvas for a window made by CreateWindowExA (opaque,
//   without depth, stencil or antialiasing: the renderer draws into its own back buffer and
//   copies it out, which a multisampled canvas would refuse), its drawing-buffer size, and the
//   swap: WebGL shows a frame once the program gives the browser control back, so Swap yields
//   until the browser's next animation frame (through asyncify; the program's own message loop
//   stays as it is). A page whose Module.kvrUncapped is set yields for a zero-length timer
//   instead, which is as fast as the browser lets a page run, for measuring. Module.kvrFrames
//   counts the frames shown. A query or fence whose answer is awaited gives the browser a turn
//   too (LetResultsArrive), since WebGL answers only between turns.
// Not implemented: a lost context coming back (drawing after a loss does nothing), more than
//   one context at a time.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>

#include "d3d9/gl_surface.h"
#include "web/html5_state.h"
#include "win32/window_internal.h"

namespace kvrd3d {

namespace {

EM_ASYNC_JS(void, kvr_wait_for_frame, (), {
  Module.kvrFrames = (Module.kvrFrames || 0) + 1;
  if (Module.kvrUncapped) {
    await new Promise(function(resolve) { setTimeout(resolve, 0); });
  } else {
    await new Promise(function(resolve) { requestAnimationFrame(function() { resolve(); }); });
  }
});

class WebGlSurface : public GlSurface {
 public:
  explicit WebGlSurface(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context) : context_(context) {}
  ~WebGlSurface() override { emscripten_webgl_destroy_context(context_); }
  void MakeCurrent() override {
    if (emscripten_webgl_get_current_context() != context_) emscripten_webgl_make_context_current(context_);
  }
  void DrawableSize(int* width, int* height) override {
    if (emscripten_webgl_get_drawing_buffer_size(context_, width, height) != EMSCRIPTEN_RESULT_SUCCESS)
      *width = *height = 0;
  }
  void Swap() override {
    kvr_wait_for_frame();
    kvrweb::NoteYield();
  }
  void LetResultsArrive() override {
    emscripten_sleep(0);
    kvrweb::NoteYield();
  }

 private:
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context_;
};

}  // namespace

std::unique_ptr<GlSurface> GlSurface::ForWindow(HWND window) {
  if (!KvrIsDeviceWindow(window)) return nullptr;
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.majorVersion = 2;
  attributes.minorVersion = 0;
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_FALSE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  attributes.premultipliedAlpha = EM_FALSE;
  attributes.preserveDrawingBuffer = EM_FALSE;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(kvrweb::kCanvas, &attributes);
  if (context <= 0) {
    std::fprintf(stderr, "kvrplatform: no WebGL 2 context on the canvas (%d)\n", static_cast<int>(context));
    return nullptr;
  }
  emscripten_webgl_make_context_current(context);
  return std::make_unique<WebGlSurface>(context);
}

}  // namespace kvrd3d
