// Window messages, the cursor poll and the camera keys.
#pragma once
#include <windows.h>

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Reads the pointer into viewerState.mouseX/mouseY; x is held at 1022 at most.
void PollCursor();
// One idle tick of the camera: the key chain, then the height easing.
void CameraTick();
void PollCameraKeys();
// Moves eye y half a unit towards targetHeight; true when it moved.
bool EaseCameraHeight();
// The slider strip under the pointer: sets the slider and its colour bar (also used on drags).
void SliderTest();
