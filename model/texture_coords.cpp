// The texture-coordinate step: only the animated polygons' vertices of a level are rewritten.
#include "model/texture_coords.h"

#include <algorithm>
#include <vector>

#include "base/error_log.h"
#include "model/level_buffers.h"
#include "model/level_walk.h"

using levelwalk::CornerTexel;
using levelwalk::PolygonView;
using levelwalk::WalkLevel;

bool UpdateLevelTexCoords(const PieModel& record, int32_t model, int32_t level, size_t pointBlock,
                          size_t polygonBlock, size_t& pointBlockLength, size_t& polygonBlockLength) {
  // Only animated polygons change between beats, so only their vertices are written: the buffer
  // ends as rewriting the whole rebuilt list would leave it, without building the list.
  struct Animated {
    PolygonView polygon;
    size_t firstTriangle;
  };
  static std::vector<Animated> animated;
  animated.clear();
  size_t triangle = 0;
  bool hasAnimated = false;
  const bool whole = WalkLevel(record, pointBlock, polygonBlock, pointBlockLength, polygonBlockLength,
                               nullptr, [&](const PolygonView& p) {
                                 if (p.animated) {
                                   hasAnimated = true;
                                   if (p.drawn) animated.push_back({p, triangle});
                                 }
                                 triangle += p.TriangleCount();
                               });
  // A level cut short in the stores is not touched, nor is one without animated polygons.
  if (!whole || !hasAnimated) return whole;

  const int32_t first = FirstLevelBufferOf(model);
  if (first < 0 || level < 0) return true;
  const size_t position = static_cast<size_t>(first) + static_cast<size_t>(level);
  if (position >= LevelBufferTable.size()) return true;
  const LevelBuffer& entry = LevelBufferTable[position];
  if (entry.model != model || entry.level != level || !entry.buffer) return true;

  void* data = nullptr;
  HRESULT hr = entry.buffer->Lock(0, 0, &data, 0);
  if (SUCCEEDED(hr) && !data) {
    entry.buffer->Unlock();
    hr = E_FAIL;
  }
  if (FAILED(hr)) {
    // The buffer keeps its previous coordinates.
    ErrorLog::Write("Failed to lock vertex buffer PieVB[]");
    return true;
  }
  // The polygons have not changed since the first build, so the counts agree; a triangle beyond
  // the buffer is skipped all the same, never written.
  const size_t count = static_cast<size_t>(std::max(entry.triangleCount, 0));
  PieVertex* vertices = static_cast<PieVertex*>(data);
  auto write = [&](size_t t, const PolygonView& p, int64_t a, int64_t b, int64_t c) {
    if (t >= count) return;
    const int64_t corners[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
      PieVertex& v = vertices[3 * t + i];
      v.u = static_cast<float>(CornerTexel(p, corners[i], 0)) / kPageSize;
      v.v = static_cast<float>(CornerTexel(p, corners[i], 1)) / kPageSize;
    }
  };
  for (const Animated& a : animated) {
    const PolygonView& p = a.polygon;
    const bool twoSided = IsTwoSidedKind(p.kind);
    size_t t = a.firstTriangle;
    for (int64_t k = 2; k < p.cornerCount; ++k) {
      write(t++, p, 0, k - 1, k);
      if (twoSided) write(t++, p, 0, k, k - 1);
    }
  }
  entry.buffer->Unlock();
  return true;
}
