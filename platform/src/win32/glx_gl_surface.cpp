// The Direct3D 9 device's GL context on an SDL window on X11, through GLX.
// SDL would choose its GLX framebuffer configuration by attributes alone, and GLX sorts the
// deepest depth buffer first, so a Direct3D device with a 16-bit one could never draw straight
// into the window. The window is made on the X visual of a 16-bit configuration instead
// (win32/x11_visual), and the context here is made with that same configuration. GLX rather than
// EGL: Mesa's software rasteriser presents through shared memory only with GLX.
// Implemented: 3.3 core context, make current, swap, swap interval 0.
// Not implemented: sharing objects between contexts (each device has its own).
#include "win32/glx_gl_surface.h"

#include "win32/x11_pointer.h"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <epoxy/glx.h>
#endif

namespace kvrd3d {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

class GlxGlSurface : public GlSurface {
 public:
  GlxGlSurface(SDL_Window* window, Display* display, ::Window xwindow, GLXContext context)
      : window_(window), display_(display), xwindow_(xwindow), context_(context) {}
  ~GlxGlSurface() override {
    if (glXGetCurrentContext() == context_) glXMakeCurrent(display_, None, nullptr);
    glXDestroyContext(display_, context_);
  }
  void MakeCurrent() override {
    if (glXGetCurrentContext() != context_ || glXGetCurrentDrawable() != xwindow_)
      glXMakeCurrent(display_, xwindow_, context_);
  }
  void Swap() override { glXSwapBuffers(display_, xwindow_); }
  void DrawableSize(int* width, int* height) override { SDL_GetWindowSizeInPixels(window_, width, height); }

 private:
  SDL_Window* window_;
  Display* display_;
  ::Window xwindow_;
  GLXContext context_;
};

void FreeX11(void* data) {
  typedef int (*FreeFn)(void*);
  auto xFree = reinterpret_cast<FreeFn>(KvrX11Symbol("XFree"));
  if (xFree && data) xFree(data);
}

// The visual the X server made the window with.
VisualID WindowVisual(Display* display, ::Window window) {
  typedef Status (*GetAttributesFn)(Display*, ::Window, XWindowAttributes*);
  typedef VisualID (*VisualIdFn)(Visual*);
  auto getAttributes = reinterpret_cast<GetAttributesFn>(KvrX11Symbol("XGetWindowAttributes"));
  auto visualId = reinterpret_cast<VisualIdFn>(KvrX11Symbol("XVisualIDFromVisual"));
  XWindowAttributes attributes;
  if (!getAttributes || !visualId || !getAttributes(display, window, &attributes) || !attributes.visual) return 0;
  return visualId(attributes.visual);
}

}  // namespace

std::unique_ptr<GlSurface> CreateGlxGlSurface(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
  Display* display = info.info.x11.display;
  const ::Window xwindow = info.info.x11.window;
  const VisualID visual = WindowVisual(display, xwindow);
  if (!visual || epoxy_glx_version(display, DefaultScreen(display)) < 13 ||
      !epoxy_has_glx_extension(display, DefaultScreen(display), "GLX_ARB_create_context_profile"))
    return nullptr;

  // Only the window made for a configuration of its own: one with a depth buffer, double
  // buffered, drawing in RGBA.
  int count = 0;
  GLXFBConfig* configs = glXGetFBConfigs(display, DefaultScreen(display), &count);
  GLXFBConfig chosen = nullptr;
  for (int i = 0; configs && i < count && !chosen; ++i) {
    int id = 0, doubled = 0, renderType = 0, depth = 0;
    glXGetFBConfigAttrib(display, configs[i], GLX_VISUAL_ID, &id);
    glXGetFBConfigAttrib(display, configs[i], GLX_DOUBLEBUFFER, &doubled);
    glXGetFBConfigAttrib(display, configs[i], GLX_RENDER_TYPE, &renderType);
    glXGetFBConfigAttrib(display, configs[i], GLX_DEPTH_SIZE, &depth);
    if (static_cast<VisualID>(id) == visual && doubled && (renderType & GLX_RGBA_BIT) && depth > 0)
      chosen = configs[i];
  }
  FreeX11(configs);
  if (!chosen) return nullptr;

  const int attributes[] = {GLX_CONTEXT_MAJOR_VERSION_ARB, 3, GLX_CONTEXT_MINOR_VERSION_ARB, 3,
                            GLX_CONTEXT_PROFILE_MASK_ARB, GLX_CONTEXT_CORE_PROFILE_BIT_ARB, None};
  GLXContext context = glXCreateContextAttribsARB(display, chosen, nullptr, True, attributes);
  if (!context) return nullptr;
  if (!glXMakeCurrent(display, xwindow, context)) {
    glXDestroyContext(display, context);
    return nullptr;
  }
  // Presenting never waits for the vertical blank.
  if (epoxy_has_glx_extension(display, DefaultScreen(display), "GLX_EXT_swap_control"))
    glXSwapIntervalEXT(display, xwindow, 0);
  else if (epoxy_has_glx_extension(display, DefaultScreen(display), "GLX_MESA_swap_control"))
    glXSwapIntervalMESA(0);
  return std::unique_ptr<GlSurface>(new GlxGlSurface(window, display, xwindow, context));
}
#else
std::unique_ptr<GlSurface> CreateGlxGlSurface(SDL_Window*) { return nullptr; }
#endif

}  // namespace kvrd3d
