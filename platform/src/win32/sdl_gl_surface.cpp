// The Direct3D 9 device's GL context on an SDL window.
// Implemented: an OpenGL 3.3 core context on a window made by CreateWindowExA (its SDL window
//   carries SDL_WINDOW_OPENGL), drawable size, swap without waiting for the vertical blank. A
//   window without a screen (the offscreen driver) finishes the frame at the swap, as showing it
//   on a screen would: nothing else would ever wait for it, and a program timing its frames
//   headless would time only their submission.
// Not implemented: sharing objects between contexts, multisampled drawables.
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "d3d9/gl_api.h"
#include "d3d9/gl_surface.h"
#include "win32/glx_gl_surface.h"
#include "win32/window_internal.h"

namespace kvrd3d {

namespace {

class SdlGlSurface : public GlSurface {
 public:
  SdlGlSurface(SDL_Window* window, SDL_GLContext context, bool screenless)
      : window_(window), context_(context), screenless_(screenless) {}
  ~SdlGlSurface() override {
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(context_);
  }
  void MakeCurrent() override {
    if (SDL_GL_GetCurrentContext() != context_ || SDL_GL_GetCurrentWindow() != window_)
      SDL_GL_MakeCurrent(window_, context_);
  }
  void DrawableSize(int* width, int* height) override { SDL_GL_GetDrawableSize(window_, width, height); }
  void Swap() override {
    SDL_GL_SwapWindow(window_);
    if (screenless_) glFinish();
  }

 private:
  SDL_Window* window_;
  SDL_GLContext context_;
  bool screenless_;
};

}  // namespace

std::unique_ptr<GlSurface> GlSurface::ForWindow(HWND window) {
  if (!KvrEnsureSdlVideo()) return nullptr;
  SDL_Window* sdl = KvrSdlWindowFromHwnd(window);
  if (!sdl) return nullptr;
  if (std::unique_ptr<GlSurface> glx = CreateGlxGlSurface(sdl)) return glx;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GLContext context = SDL_GL_CreateContext(sdl);
  if (!context) {
    std::fprintf(stderr, "kvrplatform: no OpenGL 3.3 context: %s\n", SDL_GetError());
    return nullptr;
  }
  // Presenting never waits for the vertical blank.
  SDL_GL_SetSwapInterval(0);
  const char* driver = SDL_GetCurrentVideoDriver();
  const bool screenless = driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
  return std::make_unique<SdlGlSurface>(sdl, context, screenless);
}

}  // namespace kvrd3d
