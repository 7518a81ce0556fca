// Model geometry: one vertex buffer of triangles per level, drawing, and texture animation.
#pragma once
#include <d3dx9.h>

#include <cstdint>
#include <vector>

enum class BuildMode { FirstBuild, Update };

extern int32_t TeamNumber;
extern IDirect3DVertexBuffer9* m_pPieVB;

void BuildModelGeometry(int32_t model, BuildMode mode);
void DrawModel(int32_t model, D3DXMATRIX world);
void AdvanceTextureAnimations();
void ReleaseLastLevelBuffer();
// Releases every level buffer once and empties m_pPieVB without a second release.
void ReleaseAllLevelBuffers();
