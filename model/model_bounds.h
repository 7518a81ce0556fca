// Model bounds: where the vertices DrawModel draws of a model at this moment lie, and their sphere.
#pragma once
#include <cstdint>
#include <vector>

// In the units the scene is drawn in. An empty sphere has no point in it: centre and radius 0.
struct BoundingSphere {
  float centre[3] = {0.0f, 0.0f, 0.0f};
  float radius = 0.0f;
  bool empty = true;
};

// The positions (x, y, z after each other) of the vertices of the levels DrawModel draws for the
// model now (LevelsDrawnNow), each level placed as it is drawn with an identity world matrix.
// False, with out empty, when a level's buffer cannot be read.
bool DrawnVertices(int32_t model, std::vector<float>& out);
// The sphere about the middle of the points' box, wide enough for every point; points that are
// not finite are left out.
BoundingSphere SphereAround(const std::vector<float>& xyz);
