// What the other backends of the layer need from the Win32 windowing backend (SDL2, or the
// browser's HTML5 one, which leaves out the two SDL functions).
// Not part of the public headers: programs never see SDL.
#pragma once
#include <windows.h>

#include <string>

#include "win32/path_resolution.h"

struct SDL_Window;

// Starts SDL's video subsystem once (the first caller wins); false when no video driver works.
// Every backend that touches SDL video calls this first instead of SDL_Init of its own. When the
// first caller is the creation of a hidden window (forHiddenWindow) and SDL_VIDEODRIVER names no
// driver, SDL's offscreen driver is used: a program that never shows a window needs no display.
bool KvrEnsureSdlVideo(bool forHiddenWindow = false);

// The SDL window behind a window handle made by CreateWindowExA (created with SDL_WINDOW_OPENGL,
// so a GL context can be made on it). Null for the desktop window, null and unknown handles.
// A destroyed window's SDL window stays valid while references taken below are held.
SDL_Window* KvrSdlWindowFromHwnd(HWND hwnd);

// True for a window made by CreateWindowExA whose drawable still exists (a destroyed window
// stays one while a device holds it): the windows a Direct3D device can be made on. False for
// the desktop window and unknown handles.
bool KvrIsDeviceWindow(HWND hwnd);

// Client size in pixels of a window or of the desktop window; false for an unknown handle.
bool KvrWindowClientSize(HWND hwnd, int* width, int* height);

// A device keeps its window's SDL window (and so its GL drawable) alive past DestroyWindow:
// take a reference when the device is created, drop it when the device is released.
// DestroyWindow only hides the SDL window while a reference is held.
void KvrRetainWindow(HWND hwnd);
void KvrReleaseWindow(HWND hwnd);
