// The LevelBufferTable: one vertex buffer of triangles per level of every loaded model.
#pragma once
#include <d3d9.h>

#include <cstdint>
#include <vector>

#include "model/triangle_list.h"

// The vertex of every model buffer: position in tenths of PIE units, texels over 256.
struct PieVertex {
  float x, y, z, u, v;
};
constexpr DWORD kPieVertexFVF = D3DFVF_XYZ | D3DFVF_TEX1;
constexpr UINT kPieVertexStride = sizeof(PieVertex);  // 20 bytes
// Texture coordinates in the files are texels of a 256 x 256 page, whatever the DDS size.
constexpr float kPageSize = 256.0f;

struct LevelBuffer {
  int32_t model = -1;
  int32_t level = 0;
  IDirect3DVertexBuffer9* buffer = nullptr;  // none for a level without triangles or a failed one
  int32_t triangleCount = 0;
};
// One entry per level of every loaded model, in load order: a model's entries are consecutive.
extern std::vector<LevelBuffer> LevelBufferTable;
// The scratch slot of the buffer being created; it only ever names the newest table entry's buffer.
extern IDirect3DVertexBuffer9* m_pPieVB;

// Writes the triangles into a new buffer and appends the level's entry, also when there is no
// buffer (no triangles, or a failed creation), so later levels keep their positions.
void CreateLevelBuffer(const TriangleList& triangles, int32_t model, int32_t level);
// Position of the model's first LevelBufferTable entry, -1 when it has none.
int32_t FirstLevelBufferOf(int32_t model);

void ReleaseLastLevelBuffer();
// Releases every level buffer once and empties m_pPieVB without a second release.
void ReleaseAllLevelBuffers();
// Releases every level buffer and empties the table.
void ClearLevelBufferTable();
// Bytes of the level buffers held.
uint64_t LevelBufferBytes();
// What one triangle takes in a level buffer.
constexpr uint64_t kLevelTriangleBytes = 3 * sizeof(PieVertex);
