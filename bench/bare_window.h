// The bare floors' window: SDL2 and an OpenGL 3.3 core context of the viewer's size, made once
// for the whole run, with nothing of the layer in between.
#pragma once
#include <SDL.h>

namespace bench {

struct BareWindow {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
};

// The window, made on first use; null when SDL or GL give none.
BareWindow* Bare();

// Makes the bare context current for its lifetime; the layer's context is current again after,
// as every other benchmark expects.
class BareCurrent {
 public:
  explicit BareCurrent(BareWindow* bare)
      : layerWindow_(SDL_GL_GetCurrentWindow()), layerContext_(SDL_GL_GetCurrentContext()) {
    SDL_GL_MakeCurrent(bare->window, bare->context);
  }
  ~BareCurrent() {
    if (layerWindow_) SDL_GL_MakeCurrent(layerWindow_, layerContext_);
  }
  BareCurrent(const BareCurrent&) = delete;
  BareCurrent& operator=(const BareCurrent&) = delete;

 private:
  SDL_Window* layerWindow_;
  SDL_GLContext layerContext_;
};

}  // namespace bench
