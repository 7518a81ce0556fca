// Window messages, the cursor poll and the camera keys.
#pragma once
#include <windows.h>

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void PollCursor();
void CameraTick();
void PollCameraKeys();
bool EaseCameraHeight();
// The slider strip under the pointer: sets the slider and its colour bar (also used on drags).
void SliderTest();
