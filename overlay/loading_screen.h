// The loading screen: one yellow line per stage of the load sequence, two red lines below.
#pragma once

void ShowLoadingLine(const char* message);
