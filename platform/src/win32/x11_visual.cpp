// The X visual that windows Direct3D will draw in are made on (see x11_visual.h). libX11 is the
// one SDL has loaded (KvrX11Symbol); GLX comes through libepoxy.
#include "win32/x11_visual.h"

#include "win32/x11_pointer.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <epoxy/glx.h>
#endif

void KvrChooseX11Visual() {
#if defined(SDL_VIDEO_DRIVER_X11)
  static bool chosen = false;
  if (chosen) return;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "x11") != 0) return;
  chosen = true;
  const char* named = SDL_GetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID);
  if (named && named[0]) return;

  typedef Display* (*OpenDisplayFn)(const char*);
  typedef int (*CloseDisplayFn)(Display*);
  typedef int (*FreeFn)(void*);
  auto openDisplay = reinterpret_cast<OpenDisplayFn>(KvrX11Symbol("XOpenDisplay"));
  auto closeDisplay = reinterpret_cast<CloseDisplayFn>(KvrX11Symbol("XCloseDisplay"));
  auto xFree = reinterpret_cast<FreeFn>(KvrX11Symbol("XFree"));
  if (!openDisplay || !closeDisplay || !xFree) return;
  Display* display = openDisplay(nullptr);
  if (!display) return;
  if (epoxy_glx_version(display, DefaultScreen(display)) >= 13) {
    const int wanted[] = {GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE,
                          GLX_RGBA_BIT, GLX_DOUBLEBUFFER, True, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8,
                          GLX_BLUE_SIZE, 8, GLX_DEPTH_SIZE, 16, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), wanted, &count);
    for (int i = 0; configs && i < count; ++i) {
      int depth = 0, samples = 0, visual = 0, red = 0, green = 0, blue = 0;
      glXGetFBConfigAttrib(display, configs[i], GLX_DEPTH_SIZE, &depth);
      glXGetFBConfigAttrib(display, configs[i], GLX_SAMPLE_BUFFERS, &samples);
      glXGetFBConfigAttrib(display, configs[i], GLX_VISUAL_ID, &visual);
      glXGetFBConfigAttrib(display, configs[i], GLX_RED_SIZE, &red);
      glXGetFBConfigAttrib(display, configs[i], GLX_GREEN_SIZE, &green);
      glXGetFBConfigAttrib(display, configs[i], GLX_BLUE_SIZE, &blue);
      if (depth != 16 || samples != 0 || visual == 0 || red != 8 || green != 8 || blue != 8) continue;
      char id[32];
      std::snprintf(id, sizeof(id), "0x%x", static_cast<unsigned>(visual));
      SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, id);
      break;
    }
    if (configs) xFree(configs);
  }
  closeDisplay(display);
#endif
}
