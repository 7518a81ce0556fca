// Reading the pointer straight from the X server.
// SDL caches the global pointer position on X11 and refreshes it only on raw device motion, so a
// pointer moved by another program (xdotool's XTest moves, XWarpPointer) would read stale. The
// libX11 that SDL already uses is asked instead; nothing is linked for it, so a build or a run
// without X11 simply takes the fallback.
#include "win32/x11_pointer.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

namespace {

#if defined(SDL_VIDEO_DRIVER_X11)
typedef Bool (*QueryPointerFn)(Display*, ::Window, ::Window*, ::Window*, int*, int*, int*, int*, unsigned int*);

#endif

}  // namespace

void* KvrX11Symbol(const char* name) {
  void* lib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
  return lib ? dlsym(lib, name) : nullptr;
}

bool KvrQueryX11Pointer(SDL_Window* window, int* x, int* y) {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (!window) return false;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  static auto queryPointer = reinterpret_cast<QueryPointerFn>(KvrX11Symbol("XQueryPointer"));
  if (!queryPointer) return false;
  ::Window root, child;
  int rootX, rootY, windowX, windowY;
  unsigned int mask;
  if (!queryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &rootX, &rootY, &windowX,
                    &windowY, &mask))
    return false;  // the pointer is on another screen
  *x = rootX;
  *y = rootY;
  return true;
#else
  (void)window, (void)x, (void)y;
  return false;
#endif
}
