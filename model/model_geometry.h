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

struct PieModel;

// One triangle as built on the CPU: the points' integer coordinates (as float) and the corners'
// texels on the page, animation offset included.
struct Triangle {
  float position[3][3];
  int32_t texel[3][2];
};
typedef std::vector<Triangle> TriangleList;

// The vertex of every model buffer: position in tenths of PIE units, texels over 256.
struct PieVertex {
  float x, y, z, u, v;
};
constexpr DWORD kPieVertexFVF = D3DFVF_XYZ | D3DFVF_TEX1;

struct LevelBuffer {
  int32_t model = -1;
  int32_t level = 0;
  IDirect3DVertexBuffer9* buffer = nullptr;  // none for a level without triangles or a failed one
  int32_t triangleCount = 0;
};
// One entry per level of every loaded model, in load order: a model's entries are consecutive.
extern std::vector<LevelBuffer> LevelBufferTable;

// Polygons that a level's build left out or drew without their animation strip.
struct LevelFaults {
  bool tooFewCorners = false;  // fewer than three corners: no triangle to make
  bool strayPoints = false;    // corners naming points the level does not have
  bool badFrameWidth = false;  // animated, with a frame width outside 1..256
};

// Builds the triangles of one level from the blocks at the given store positions and says how
// long the two blocks are. False when the blocks do not lie whole inside the stores.
bool BuildLevelTriangles(const PieModel& model, size_t pointBlock, size_t polygonBlock,
                         TriangleList& triangles, bool& animated, size_t& pointBlockLength,
                         size_t& polygonBlockLength, LevelFaults* faults = nullptr);
void CreateLevelBuffer(const TriangleList& triangles, int32_t model, int32_t level);
// The animation step for one level: rewrites the texture coordinates of the level's animated
// polygons in its buffer (one lock, only when the level has animated polygons) and says how long
// its blocks are. False when the blocks do not lie whole inside the stores.
bool UpdateLevelTexCoords(const PieModel& record, int32_t model, int32_t level, size_t pointBlock,
                          size_t polygonBlock, size_t& pointBlockLength, size_t& polygonBlockLength);
void DrawLevelBuffer(int32_t position, D3DXMATRIX world);
// Position of the model's first LevelBufferTable entry, -1 when it has none.
int32_t FirstLevelBufferOf(int32_t model);
