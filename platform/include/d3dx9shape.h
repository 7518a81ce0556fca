// D3DX 9 shapes: meshes of FVF D3DFVF_XYZ | D3DFVF_NORMAL, vertex for vertex and face for face as
// Wine's d3dx9 makes them. The adjacency buffer, when asked for, holds three faces per face
// (0xFFFFFFFF where an edge has no neighbour), faces meeting where their corners lie at the same
// positions.
#pragma once
#include "d3dx9mesh.h"

#ifdef __cplusplus
extern "C" {
HRESULT WINAPI D3DXCreateBox(IDirect3DDevice9* device, float width, float height, float depth, ID3DXMesh** mesh,
                             ID3DXBuffer** adjacency);
HRESULT WINAPI D3DXCreateCylinder(IDirect3DDevice9* device, float radius1, float radius2, float length,
                                  UINT slices, UINT stacks, ID3DXMesh** mesh, ID3DXBuffer** adjacency);
HRESULT WINAPI D3DXCreatePolygon(IDirect3DDevice9* device, float length, UINT sides, ID3DXMesh** mesh,
                                 ID3DXBuffer** adjacency);
HRESULT WINAPI D3DXCreateSphere(IDirect3DDevice9* device, float radius, UINT slices, UINT stacks,
                                ID3DXMesh** mesh, ID3DXBuffer** adjacency);
HRESULT WINAPI D3DXCreateTeapot(IDirect3DDevice9* device, ID3DXMesh** mesh, ID3DXBuffer** adjacency);
HRESULT WINAPI D3DXCreateTorus(IDirect3DDevice9* device, float innerradius, float outerradius, UINT sides,
                               UINT rings, ID3DXMesh** mesh, ID3DXBuffer** adjacency);
}
#endif
