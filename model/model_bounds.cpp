// Model bounds: the drawn levels' vertices read back from their buffers and placed as drawn.
#include "model/model_bounds.h"

#include <d3dx9.h>

#include <algorithm>
#include <cmath>

#include "model/level_buffers.h"
#include "model/model_drawing.h"

bool DrawnVertices(int32_t model, std::vector<float>& out) {
  out.clear();
  const int32_t first = FirstLevelBufferOf(model);
  if (first < 0) return true;
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  const LevelRange drawn = LevelsDrawnNow(model);
  for (int32_t level = drawn.first; level < drawn.end; ++level) {
    const size_t position = static_cast<size_t>(first) + static_cast<size_t>(level);
    if (position >= LevelBufferTable.size()) break;
    const LevelBuffer& entry = LevelBufferTable[position];
    if (!entry.buffer || entry.triangleCount <= 0) continue;
    const D3DXMATRIX m = LevelWorldMatrix(entry, identity);
    // No more vertices are read than the buffer holds, whatever the entry says.
    D3DVERTEXBUFFER_DESC desc = {};
    void* data = nullptr;
    if (FAILED(entry.buffer->GetDesc(&desc)) || FAILED(entry.buffer->Lock(0, 0, &data, D3DLOCK_READONLY))) {
      out.clear();
      return false;
    }
    if (!data) {
      entry.buffer->Unlock();
      out.clear();
      return false;
    }
    const size_t count = std::min<size_t>(static_cast<size_t>(entry.triangleCount) * 3,
                                          desc.Size / kPieVertexStride);
    const PieVertex* vertex = static_cast<const PieVertex*>(data);
    out.reserve(out.size() + 3 * count);
    // The level matrices only turn and move: rows, no division by w.
    for (size_t i = 0; i < count; ++i, ++vertex) {
      const float x = vertex->x, y = vertex->y, z = vertex->z;
      out.push_back(x * m._11 + y * m._21 + z * m._31 + m._41);
      out.push_back(x * m._12 + y * m._22 + z * m._32 + m._42);
      out.push_back(x * m._13 + y * m._23 + z * m._33 + m._43);
    }
    entry.buffer->Unlock();
  }
  return true;
}

BoundingSphere SphereAround(const std::vector<float>& xyz) {
  BoundingSphere sphere;
  double low[3] = {0.0, 0.0, 0.0}, high[3] = {0.0, 0.0, 0.0};
  const auto finite = [&](size_t i) {
    return std::isfinite(xyz[i]) && std::isfinite(xyz[i + 1]) && std::isfinite(xyz[i + 2]);
  };
  for (size_t i = 0; i + 2 < xyz.size(); i += 3) {
    if (!finite(i)) continue;
    for (int a = 0; a < 3; ++a) {
      if (sphere.empty || xyz[i + a] < low[a]) low[a] = xyz[i + a];
      if (sphere.empty || xyz[i + a] > high[a]) high[a] = xyz[i + a];
    }
    sphere.empty = false;
  }
  if (sphere.empty) return sphere;
  double centre[3], radiusSquared = 0.0;
  for (int a = 0; a < 3; ++a) centre[a] = (low[a] + high[a]) / 2.0;
  for (size_t i = 0; i + 2 < xyz.size(); i += 3) {
    if (!finite(i)) continue;
    double squared = 0.0;
    for (int a = 0; a < 3; ++a) squared += (xyz[i + a] - centre[a]) * (xyz[i + a] - centre[a]);
    radiusSquared = std::max(radiusSquared, squared);
  }
  for (int a = 0; a < 3; ++a) sphere.centre[a] = static_cast<float>(centre[a]);
  sphere.radius = static_cast<float>(std::sqrt(radiusSquared));
  return sphere;
}
