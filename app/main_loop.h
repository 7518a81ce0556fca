// The spine: WinMain (declared by windows.h) and the idle step of the message loop.
#pragma once

void IdleTick();
