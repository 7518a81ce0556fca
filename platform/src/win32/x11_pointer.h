// The pointer's screen position asked of the X server itself (kept apart: X11's names clash with
// Windows').
#pragma once

struct SDL_Window;

// False when the window is not on X11 or the server can't be asked; the caller falls back to SDL.
bool KvrQueryX11Pointer(SDL_Window* window, int* x, int* y);

// A function of the libX11 that SDL has already loaded, null when none is loaded: the layer
// never loads or links one of its own.
void* KvrX11Symbol(const char* name);
