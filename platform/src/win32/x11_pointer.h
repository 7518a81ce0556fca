// The pointer's screen position asked of the X server itself (kept apart: X11's names clash with
// Windows').
#pragma once

#include <cstdint>

struct SDL_Window;

// False when the window is not on X11 or the server can't be asked; the caller falls back to SDL.
// An answer is kept, rather than asked again on every call, while nothing can have moved the
// pointer (see KvrPointerReadingHolds): a question to the server is a round trip, which a
// program asking once per frame would otherwise wait for on every frame.
bool KvrQueryX11Pointer(SDL_Window* window, int* x, int* y);

// The server's last answer: where the pointer was, the count of SDL events queued by then, and
// when it came.
struct KvrPointerReading {
  bool taken = false;
  int x = 0, y = 0;
  uint32_t events = 0;
  uint64_t takenAtMs = 0;
};

// The longest an answer is kept: what the pointer does unseen (under another program's grab)
// shows within this.
constexpr uint64_t kKvrPointerReadingLifeMs = 100;

// True when the answer still holds: the pointer is over the window, so that any move of it
// reaches the window as an event, no event of any kind has been queued since, and the answer is
// younger than kKvrPointerReadingLifeMs.
bool KvrPointerReadingHolds(const KvrPointerReading& reading, uint32_t eventsNow, uint64_t nowMs,
                            bool pointerOverWindow);

// A function of the libX11 that SDL has already loaded, null when none is loaded: the layer
// never loads or links one of its own.
void* KvrX11Symbol(const char* name);
