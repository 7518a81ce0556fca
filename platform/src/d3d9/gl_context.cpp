// The OpenGL context of a device through SDL, the general case (see gl_context.h).
#include "d3d9/gl_context.h"

#include <SDL.h>

#include <cstdio>

namespace kvrd3d {
namespace {

class SdlGlContext : public GlContext {
 public:
  SdlGlContext(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {}
  ~SdlGlContext() override {
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(context_);
  }
  void MakeCurrent() override {
    if (SDL_GL_GetCurrentContext() != context_ || SDL_GL_GetCurrentWindow() != window_)
      SDL_GL_MakeCurrent(window_, context_);
  }
  void Swap() override { SDL_GL_SwapWindow(window_); }
  void GetDrawableSize(int* width, int* height) override { SDL_GL_GetDrawableSize(window_, width, height); }

 private:
  SDL_Window* window_;
  SDL_GLContext context_;
};

}  // namespace

std::unique_ptr<GlContext> GlContext::Create(SDL_Window* window) {
  if (std::unique_ptr<GlContext> glx = CreateGlxContext(window)) return glx;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    std::fprintf(stderr, "kvrplatform: no OpenGL 3.3 context: %s\n", SDL_GetError());
    return nullptr;
  }
  // Presenting never waits for the vertical blank.
  SDL_GL_SetSwapInterval(0);
  return std::unique_ptr<GlContext>(new SdlGlContext(window, context));
}

}  // namespace kvrd3d
