// The walk over a level's point and polygon blocks, shared by the first build and the texture step.
#pragma once
#include <cstdint>
#include <limits>

#include "model/model_catalogue.h"

// Selects the strip frame that team-coloured models show; nothing changes it.
extern int32_t TeamNumber;

// Polygons that a level's build left out or drew without their animation strip.
struct LevelFaults {
  bool tooFewCorners = false;  // fewer than three corners: no triangle to make
  bool strayPoints = false;    // corners naming points the level does not have
  bool badFrameWidth = false;  // animated, with a frame width outside 1..256
};

namespace levelwalk {

inline int32_t Saturate(int64_t value) {
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

// One polygon record of a level, as WalkLevel hands it over.
struct PolygonView {
  int32_t kind;
  int64_t cornerCount;
  const int32_t* pointNumbers;
  const int32_t* texels;   // cornerCount pairs
  int64_t offsetU, offsetV;  // the strip frame shown, 0 for a polygon without animation
  bool animated;
  size_t at;   // where its record starts in PolygonStore
  bool drawn;  // makes triangles: three corners or more, every one a point of the level
  // Triangles it adds to the level's list: a fan around the first corner, doubled when
  // two-sided.
  size_t TriangleCount() const {
    if (!drawn) return 0;
    return static_cast<size_t>(cornerCount - 2) * (IsTwoSidedKind(kind) ? 2 : 1);
  }
};

// Walks one level's point and polygon blocks, checking every count and length against the
// stores, and calls visit(view) for each polygon in order. False when the blocks do not lie
// whole inside the stores; the lengths are set only on success.
// Which frame of the strip an animated polygon shows: frames run left to right, then down, on
// the 256-wide page. A frame width outside 1..256 leaves no sensible strip, so such a polygon
// shows its texels as written.
inline void SetStripOffset(const PieModel& model, PolygonView& view, LevelFaults* faults) {
  view.offsetU = view.offsetV = 0;
  if (!view.animated) return;
  const int64_t width = view.pointNumbers[view.cornerCount + 2];
  const int64_t height = view.pointNumbers[view.cornerCount + 3];
  const int64_t frame = model.teamColors ? TeamNumber : model.frame;
  if (width >= 1 && width <= 256 && frame >= 0) {
    const int64_t perRow = 256 / width;
    view.offsetU = width * (frame % perRow);
    view.offsetV = height * (frame / perRow);
  } else if ((width < 1 || width > 256) && faults) {
    faults->badFrameWidth = true;
  }
}

template <typename Visit>
bool WalkLevel(const PieModel& model, size_t pointBlock, size_t polygonBlock,
               size_t& pointBlockLength, size_t& polygonBlockLength, LevelFaults* faults,
               Visit&& visit) {
  pointBlockLength = polygonBlockLength = 0;
  // The parser leaves only whole blocks in the stores, but nothing here is read on trust.
  if (pointBlock >= PointStore.size() || polygonBlock >= PolygonStore.size()) return false;
  const int64_t pointCount = PointStore[pointBlock];
  if (pointCount < 0 || static_cast<uint64_t>(1 + 3 * pointCount) > PointStore.size() - pointBlock)
    return false;

  const int64_t polygonCount = PolygonStore[polygonBlock];
  if (polygonCount < 0) return false;
  const size_t end = PolygonStore.size();
  size_t at = polygonBlock + 1;
  for (int64_t q = 0; q < polygonCount; ++q) {
    if (end - at < 2) return false;
    PolygonView view;
    view.kind = PolygonStore[at];
    view.cornerCount = PolygonStore[at + 1];
    if (view.cornerCount < 0) return false;
    view.animated = IsAnimatedKind(view.kind);
    const uint64_t length = 2 + 3 * static_cast<uint64_t>(view.cornerCount) + (view.animated ? 4 : 0);
    if (length > end - at) return false;
    const int32_t* record = PolygonStore.data() + at;
    view.pointNumbers = record + 2;
    view.texels = view.pointNumbers + view.cornerCount + (view.animated ? 4 : 0);
    at += length;

    view.at = at - length;
    SetStripOffset(model, view, faults);

    // Polygons that cannot make a triangle, or that name points the level does not have, are
    // left out; the rest of the level still builds.
    view.drawn = view.cornerCount >= 3;
    if (!view.drawn) {
      if (faults) faults->tooFewCorners = true;
    } else {
      for (int64_t c = 0; c < view.cornerCount; ++c) {
        if (view.pointNumbers[c] < 0 || view.pointNumbers[c] >= pointCount) view.drawn = false;
      }
      if (!view.drawn && faults) faults->strayPoints = true;
    }
    visit(view);
  }
  pointBlockLength = static_cast<size_t>(1 + 3 * pointCount);
  polygonBlockLength = at - polygonBlock;
  return true;
}

inline int32_t CornerTexel(const PolygonView& p, int64_t corner, int axis) {
  return Saturate(p.texels[2 * corner + axis] + (axis == 0 ? p.offsetU : p.offsetV));
}

}  // namespace levelwalk
