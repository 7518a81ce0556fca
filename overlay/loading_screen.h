// The loading screen: one yellow line per stage of the load sequence, two red lines below.
#pragma once
#include <cstdint>

// Records the message and at once draws and presents the whole loading screen.
void ShowLoadingLine(const char* message);
// Forgets every message: a new load starts on an empty screen.
void ResetLoadingScreen();
