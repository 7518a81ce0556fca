// The Direct3D 9 device's GL context on an X11 window through GLX.
#pragma once
#include <memory>

#include "d3d9/gl_surface.h"

struct SDL_Window;

namespace kvrd3d {

// A 3.3 core context made with the GLX framebuffer configuration of the window's X visual,
// current on return. Null when the window is not an X11 one whose visual has a double-buffered
// RGBA configuration with a depth buffer, or when GLX cannot make the context there: SDL then
// makes one as usual.
std::unique_ptr<GlSurface> CreateGlxGlSurface(SDL_Window* window);

}  // namespace kvrd3d
