// The spine: WinMain (declared by windows.h) and the idle step of the message loop.
#pragma once

// One idle step: file changes, the pointer, the camera, then the frame.
void IdleTick();
// Dispatches messages and runs idle steps between them until WM_QUIT.
void RunMessageLoop();
