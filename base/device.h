// The one Direct3D 9 object and device: every room that draws or creates a resource uses them.
#pragma once
#include <d3d9.h>

extern IDirect3D9* g_pD3D;
extern IDirect3DDevice9* g_pd3dDevice;
