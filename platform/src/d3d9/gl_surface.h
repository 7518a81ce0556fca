// Where the Direct3D 9 device's GL context comes from: a window's drawable, its context, its
// size and the swap that shows a frame. One implementation per windowing backend (SDL2 in
// win32/sdl_gl_surface.cpp, the browser's canvas in web/webgl_surface.cpp).
#pragma once
#include <windows.h>

#include <memory>

namespace kvrd3d {

class GlSurface {
 public:
  // A context on the window's drawable, made current: OpenGL 3.3 core on the desktop, WebGL 2
  // in the browser. Null for the desktop window, an unknown handle, or when no context can be
  // made (the reason goes to standard error).
  static std::unique_ptr<GlSurface> ForWindow(HWND window);
  virtual ~GlSurface() = default;

  virtual void MakeCurrent() = 0;
  // The drawable's size in pixels now (0 x 0 while it has none).
  virtual void DrawableSize(int* width, int* height) = 0;
  // Shows the frame drawn into the default framebuffer.
  virtual void Swap() = 0;
  // Lets the results of queries and fences asked for so far arrive: in the browser they come
  // only once the page has given the browser a turn; on the desktop they come by themselves.
  virtual void LetResultsArrive() {}
};

}  // namespace kvrd3d
