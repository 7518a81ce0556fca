// The device globals; app/device.cpp creates and releases what they hold.
#include "base/device.h"

IDirect3D9* g_pD3D = nullptr;
IDirect3DDevice9* g_pd3dDevice = nullptr;
