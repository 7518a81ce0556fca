// The Direct3D object and device: creation with its fall-backs, and the release of everything at the stop.
#pragma once
#include <windows.h>

#include "base/device.h"

HRESULT InitD3D(HWND hWnd);
// Releases the device, the Direct3D object, the overlays' resources and the data set.
void ShutdownGraphics();
