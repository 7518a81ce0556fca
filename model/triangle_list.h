// TriangleList: a level's triangles as built on the CPU, before they go into its buffer.
#pragma once
#include <cstdint>
#include <vector>

// One triangle as built on the CPU: the points' integer coordinates (as float) and the corners'
// texels on the page, animation offset included.
struct Triangle {
  float position[3][3];
  int32_t texel[3][2];
};
typedef std::vector<Triangle> TriangleList;
