// The frame Windows draws round a top-level window: its widths by style, and the default metrics
// they come from (those of Wine's Windows emulation without a theme, so that a program gets the
// same client area, and so the same back buffer, on both).
#pragma once
#include <windows.h>

// Grows *rect from a client rectangle to the window rectangle of a window of this style.
void KvrAddFrame(RECT* rect, DWORD style, bool menu, DWORD exStyle);

// Whether a top-level window of this style is kept between the smallest and largest size a user
// could drag it to (SM_CXMINTRACK .. SM_CXMAXTRACK), as CreateWindowEx does.
bool KvrFrameTracksSize(DWORD style);

// The style CreateWindowEx gives a top-level window: an overlapped window always has a caption.
DWORD KvrEffectiveStyle(DWORD style);
