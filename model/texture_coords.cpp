// The texture-coordinate step: only the animated polygons' vertices of a level are rewritten.
#include "model/texture_coords.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "base/error_log.h"
#include "model/level_buffers.h"
#include "model/level_walk.h"

using levelwalk::CornerTexel;
using levelwalk::PolygonView;
using levelwalk::SetStripOffset;
using levelwalk::WalkLevel;

namespace {

// What walking a level finds for the beat: whether its blocks lie whole in the stores, their
// lengths, and where its drawn animated polygons stand. None of it changes from beat to beat
// (only the strip frame does), so each level is walked once for as long as the catalogue's
// generation stays; after that a beat costs in proportion to the animated polygons alone.
struct AnimatedPolygon {
  size_t at;  // the polygon's record in PolygonStore
  size_t firstTriangle;
};
struct LevelAnimation {
  size_t pointBlock = 0, polygonBlock = 0;
  size_t pointLength = 0, polygonLength = 0;
  bool whole = false, hasAnimated = false;
  std::vector<AnimatedPolygon> polygons;
};
std::unordered_map<uint64_t, LevelAnimation> levelAnimations;
uint32_t levelAnimationsGeneration = 0;

const LevelAnimation& LevelAnimationOf(const PieModel& record, int32_t model, int32_t level, size_t pointBlock,
                                       size_t polygonBlock) {
  if (levelAnimationsGeneration != ModelCatalogueGeneration) {
    levelAnimations.clear();
    levelAnimationsGeneration = ModelCatalogueGeneration;
  }
  const uint64_t key = (uint64_t{static_cast<uint32_t>(model)} << 32) | static_cast<uint32_t>(level);
  LevelAnimation& found = levelAnimations[key];
  if (found.whole && found.pointBlock == pointBlock && found.polygonBlock == polygonBlock) return found;
  found = LevelAnimation();
  found.pointBlock = pointBlock;
  found.polygonBlock = polygonBlock;
  size_t triangle = 0;
  found.whole = WalkLevel(record, pointBlock, polygonBlock, found.pointLength, found.polygonLength, nullptr,
                          [&](const PolygonView& p) {
                            if (p.animated) {
                              found.hasAnimated = true;
                              if (p.drawn) found.polygons.push_back({p.at, triangle});
                            }
                            triangle += p.TriangleCount();
                          });
  return found;
}

// The view WalkLevel gave of a drawn animated polygon, at the strip frame of now.
bool AnimatedPolygonAt(const PieModel& record, size_t at, PolygonView& view) {
  if (at >= PolygonStore.size() || PolygonStore.size() - at < 2) return false;
  const int32_t* data = PolygonStore.data() + at;
  view.kind = data[0];
  view.cornerCount = data[1];
  if (!IsAnimatedKind(view.kind) || view.cornerCount < 3 || 2 + 3 * static_cast<uint64_t>(view.cornerCount) + 4 > PolygonStore.size() - at)
    return false;
  view.animated = true;
  view.drawn = true;
  view.at = at;
  view.pointNumbers = data + 2;
  view.texels = view.pointNumbers + view.cornerCount + 4;
  SetStripOffset(record, view, nullptr);
  return true;
}

}  // namespace

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
  const LevelAnimation& walked = LevelAnimationOf(record, model, level, pointBlock, polygonBlock);
  pointBlockLength = walked.whole ? walked.pointLength : 0;
  polygonBlockLength = walked.whole ? walked.polygonLength : 0;
  // A level cut short in the stores is not touched, nor is one without animated polygons.
  if (!walked.whole || !walked.hasAnimated) return walked.whole;
  for (const AnimatedPolygon& a : walked.polygons) {
    PolygonView view;
    if (AnimatedPolygonAt(record, a.at, view)) animated.push_back({view, a.firstTriangle});
  }

  const int32_t first = FirstLevelBufferOf(model);
  if (first < 0 || level < 0) return true;
  const size_t position = static_cast<size_t>(first) + static_cast<size_t>(level);
  if (position >= LevelBufferTable.size()) return true;
  const LevelBuffer& entry = LevelBufferTable[position];
  if (entry.model != model || entry.level != level || !entry.buffer) return true;

  // Only the triangles from the first animated polygon's to the last one's are locked, so the
  // device has only those to upload again; a level whose animated polygons draw nothing locks
  // the whole buffer as before and writes nothing.
  const size_t count = static_cast<size_t>(std::max(entry.triangleCount, 0));
  size_t lockedFirst = 0, lockedEnd = 0;
  for (const Animated& a : animated) {
    const size_t end = a.firstTriangle + a.polygon.TriangleCount();
    if (lockedFirst == lockedEnd) {
      lockedFirst = a.firstTriangle;
      lockedEnd = end;
    } else {
      lockedFirst = std::min(lockedFirst, a.firstTriangle);
      lockedEnd = std::max(lockedEnd, end);
    }
  }
  lockedEnd = std::min(lockedEnd, count);
  if (lockedFirst >= lockedEnd) lockedFirst = lockedEnd = 0;
  const UINT offset = static_cast<UINT>(lockedFirst * kLevelTriangleBytes);
  const UINT size = static_cast<UINT>((lockedEnd - lockedFirst) * kLevelTriangleBytes);

  void* data = nullptr;
  HRESULT hr = entry.buffer->Lock(offset, size, &data, 0);
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
  // the locked range is skipped all the same, never written.
  PieVertex* locked = static_cast<PieVertex*>(data);
  auto write = [&](size_t t, const PolygonView& p, int64_t a, int64_t b, int64_t c) {
    if (t < lockedFirst || t >= lockedEnd) return;
    PieVertex* vertices = locked + 3 * (t - lockedFirst);
    const int64_t corners[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
      PieVertex& v = vertices[i];
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
