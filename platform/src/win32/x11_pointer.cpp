// Reading the pointer straight from the X server.
// SDL caches the global pointer position on X11 and refreshes it only on raw device motion, so a
// pointer moved by another program (xdotool's XTest moves, XWarpPointer) would read stale. The
// libX11 that SDL already uses is asked instead; nothing is linked for it, so a build or a run
// without X11 simply takes the fallback.
// The answer is kept while the pointer is over the window and no event has come since: the
// server tells the window of every move of the pointer over it (moves by XTest and warps too).
#include "win32/x11_pointer.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

#include <atomic>

namespace {

// The marker SDL (2.24 and later) queues behind each poll's events: it tells of no input.
constexpr Uint32 kPollSentinel = 0x7F00;

// Counts every event SDL queues, from whichever thread queues it.
std::atomic<uint32_t> g_eventsQueued{0};

int SDLCALL CountEvent(void*, SDL_Event* event) {
  if (event->type != kPollSentinel) g_eventsQueued.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

KvrPointerReading g_reading;
SDL_Window* g_readingWindow = nullptr;

#if defined(SDL_VIDEO_DRIVER_X11)
typedef Bool (*QueryPointerFn)(Display*, ::Window, ::Window*, ::Window*, int*, int*, int*, int*, unsigned int*);

#endif

}  // namespace

void* KvrX11Symbol(const char* name) {
  void* lib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
  return lib ? dlsym(lib, name) : nullptr;
}

bool KvrPointerReadingHolds(const KvrPointerReading& reading, uint32_t eventsNow, uint64_t nowMs,
                            bool pointerOverWindow) {
  return reading.taken && pointerOverWindow && reading.events == eventsNow && nowMs >= reading.takenAtMs &&
         nowMs - reading.takenAtMs < kKvrPointerReadingLifeMs;
}

bool KvrQueryX11Pointer(SDL_Window* window, int* x, int* y) {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (!window) return false;
  static const bool watching = (SDL_AddEventWatch(CountEvent, nullptr), true);
  (void)watching;
  // Read before the question, so that an event queued while it is asked makes the next call ask.
  const uint32_t events = g_eventsQueued.load(std::memory_order_relaxed);
  const uint64_t now = SDL_GetTicks64();
  if (window == g_readingWindow && KvrPointerReadingHolds(g_reading, events, now, SDL_GetMouseFocus() == window)) {
    *x = g_reading.x;
    *y = g_reading.y;
    return true;
  }
  g_reading.taken = false;
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
  g_reading.taken = true;
  g_reading.x = rootX;
  g_reading.y = rootY;
  g_reading.events = events;
  g_reading.takenAtMs = now;
  g_readingWindow = window;
  return true;
#else
  (void)window, (void)x, (void)y;
  return false;
#endif
}
