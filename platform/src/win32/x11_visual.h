// The X visual that windows Direct3D will draw in are made on.
#pragma once

// On X11, asks SDL to make the next OpenGL windows on the visual of a GLX framebuffer
// configuration with a 16-bit depth buffer, the depth Direct3D devices are most often created
// with, so that the device can draw straight into the window (GLX, and so SDL, would otherwise
// pick the deepest depth buffer there is). Does nothing elsewhere, when there is no such
// configuration, or when the user has named a visual in SDL_VIDEO_X11_WINDOW_VISUALID.
void KvrChooseX11Visual();
