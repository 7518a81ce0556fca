// The OpenGL context a Direct3D device draws with, on its window.
#pragma once
#include <memory>

struct SDL_Window;

namespace kvrd3d {

class GlContext {
 public:
  // A 3.3 core context on the window: through GLX and the window's own framebuffer
  // configuration where the window was made for that (see x11_visual.h), else through SDL.
  // Null when no context can be made. The new context is current.
  static std::unique_ptr<GlContext> Create(SDL_Window* window);
  virtual ~GlContext() = default;

  // Cheap when the context is already current.
  virtual void MakeCurrent() = 0;
  virtual void Swap() = 0;
  virtual void GetDrawableSize(int* width, int* height) = 0;

 protected:
  GlContext() = default;
};

// Through GLX with the framebuffer configuration of the window's X visual; null when the window
// is not an X11 one made for it or GLX cannot make a 3.3 core context there.
std::unique_ptr<GlContext> CreateGlxContext(SDL_Window* window);

}  // namespace kvrd3d
