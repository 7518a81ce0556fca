// Keyboard and mouse: the window procedure, the pointer poll and the colour sliders.
#pragma once
#include <windows.h>

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Reads the pointer into viewerState.mouseX/mouseY; x is held at 1022 at most.
void PollCursor();
// The slider strip under the pointer: sets the slider and its colour bar (also used on drags).
void SliderTest();
// True when the pointer is where SliderTest would set a slider.
bool SliderUnderPointer();
