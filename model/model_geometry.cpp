// Model geometry: a model's levels turned into triangles and buffers, and the texture-animation step.
#include "model/model_geometry.h"

#include <algorithm>
#include <string>

#include "base/error_log.h"
#include "base/problems.h"
#include "model/level_buffers.h"
#include "model/level_walk.h"
#include "model/model_catalogue.h"
#include "model/texture_coords.h"

namespace {

using levelwalk::CornerTexel;
using levelwalk::PolygonView;
using levelwalk::WalkLevel;

// Corner c of a polygon, before it joins a triangle.
struct Corner {
  float position[3];
  int32_t texel[2];
};

inline void AppendTriangle(TriangleList& out, const Corner& a, const Corner& b, const Corner& c) {
  Triangle& t = out.emplace_back();
  const Corner* corners[3] = {&a, &b, &c};
  for (int i = 0; i < 3; ++i) {
    t.position[i][0] = corners[i]->position[0];
    t.position[i][1] = corners[i]->position[1];
    t.position[i][2] = corners[i]->position[2];
    t.texel[i][0] = corners[i]->texel[0];
    t.texel[i][1] = corners[i]->texel[1];
  }
}

// Scratch lists kept from one level and model to the next while a data set loads, instead of
// being allocated and grown again for each; ReleaseGeometryScratch gives them back.
TriangleList& ScratchTriangles() {
  static TriangleList triangles;
  return triangles;
}
std::vector<Corner>& ScratchCorners() {
  static std::vector<Corner> corners;
  return corners;
}

}  // namespace

bool BuildLevelTriangles(const PieModel& model, size_t pointBlock, size_t polygonBlock,
                         TriangleList& triangles, bool& animated, size_t& pointBlockLength,
                         size_t& polygonBlockLength, LevelFaults* faults) {
  triangles.clear();
  animated = false;
  const int32_t* points = pointBlock < PointStore.size() ? PointStore.data() + pointBlock + 1 : nullptr;
  std::vector<Corner>& corners = ScratchCorners();
  return WalkLevel(model, pointBlock, polygonBlock, pointBlockLength, polygonBlockLength, faults,
                   [&](const PolygonView& p) {
                     if (p.animated) animated = true;
                     if (!p.drawn) return;
                     corners.resize(static_cast<size_t>(p.cornerCount));
                     for (int64_t c = 0; c < p.cornerCount; ++c) {
                       const int32_t* point = points + 3 * static_cast<int64_t>(p.pointNumbers[c]);
                       Corner& corner = corners[static_cast<size_t>(c)];
                       corner.position[0] = static_cast<float>(point[0]);
                       corner.position[1] = static_cast<float>(point[1]);
                       corner.position[2] = static_cast<float>(point[2]);
                       corner.texel[0] = CornerTexel(p, c, 0);
                       corner.texel[1] = CornerTexel(p, c, 1);
                     }
                     // A fan around the first corner; a two-sided polygon adds each triangle's
                     // mirror (second and third corners exchanged) right after it, which faces
                     // the other way.
                     const bool twoSided = IsTwoSidedKind(p.kind);
                     for (size_t k = 2; k < corners.size(); ++k) {
                       AppendTriangle(triangles, corners[0], corners[k - 1], corners[k]);
                       if (twoSided) AppendTriangle(triangles, corners[0], corners[k], corners[k - 1]);
                     }
                   });
}

void BuildModelGeometry(int32_t model, BuildMode mode) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return;
  const PieModel& record = ModelCatalogue[model];
  size_t pointBlock = static_cast<size_t>(std::max(record.pointStart, 0));
  size_t polygonBlock = static_cast<size_t>(std::max(record.polygonStart, 0));
  bool storesWhole = true;
  TriangleList& triangles = ScratchTriangles();
  LevelFaults faults;
  for (int32_t level = 0; level < record.levelCount; ++level) {
    bool animated = false;
    size_t pointLength = 0, polygonLength = 0;
    if (mode == BuildMode::Update) {
      // Past a level cut short in the stores nothing is read any more.
      if (storesWhole) {
        storesWhole = UpdateLevelTexCoords(record, model, level, pointBlock, polygonBlock,
                                           pointLength, polygonLength);
      }
      pointBlock += pointLength;
      polygonBlock += polygonLength;
      continue;
    }
    if (storesWhole) {
      storesWhole = BuildLevelTriangles(record, pointBlock, polygonBlock, triangles, animated,
                                        pointLength, polygonLength, &faults);
    }
    if (!storesWhole) triangles.clear();
    // Every level gets its entry, even an empty one, so later levels and models keep their
    // positions in the table.
    CreateLevelBuffer(triangles, model, level);
    pointBlock += pointLength;
    polygonBlock += polygonLength;
  }
  // Once per model and kind, at load: the rebuilds of every animation beat would repeat them.
  if (mode == BuildMode::FirstBuild) {
    const std::string& name = record.name;
    if (faults.tooFewCorners) {
      ErrorLog::Write("Polygons of fewer than three corners, left out of model " + name);
      ReportProblem(name, "polygons of fewer than three corners, left out");
    }
    if (faults.strayPoints) {
      ErrorLog::Write("Polygons naming points their level lacks, left out of model " + name);
      ReportProblem(name, "polygons naming points their level lacks, left out");
    }
    if (faults.badFrameWidth) {
      ErrorLog::Write(
          ("Animated polygons with a frame width outside 1 to 256, drawn unanimated in model " + name)
              .c_str());
      ReportProblem(name, "animated polygons with a frame width outside 1 to 256, drawn unanimated");
    }
  }
}

void RebuildModelGeometry(int32_t model) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return;
  std::vector<LevelBuffer>& table = LevelBufferTable;
  // Owners never decrease along the table: the model's entries, if any, start here.
  const size_t at = static_cast<size_t>(
      std::lower_bound(table.begin(), table.end(), model,
                       [](const LevelBuffer& e, int32_t m) { return e.model < m; }) -
      table.begin());
  size_t count = 0;
  for (; at + count < table.size() && table[at + count].model == model; ++count) {
    LevelBuffer& entry = table[at + count];
    if (entry.buffer) {
      if (entry.buffer == m_pPieVB) m_pPieVB = nullptr;
      entry.buffer->Release();
      entry.buffer = nullptr;
    }
  }
  table.erase(table.begin() + static_cast<std::ptrdiff_t>(at),
              table.begin() + static_cast<std::ptrdiff_t>(at + count));
  // The first build appends; the new entries are then turned into the old ones' place.
  const size_t before = table.size();
  BuildModelGeometry(model, BuildMode::FirstBuild);
  std::rotate(table.begin() + static_cast<std::ptrdiff_t>(at),
              table.begin() + static_cast<std::ptrdiff_t>(before), table.end());
}

void AdvanceTextureAnimations() {
  for (size_t m = 0; m < ModelCatalogue.size(); ++m) {
    PieModel& model = ModelCatalogue[m];
    // Team-coloured models show one fixed frame and are never stepped.
    if (!model.animated || model.teamColors) continue;
    ++model.frame;
    if (model.frame >= model.frameCount) model.frame = 0;
    BuildModelGeometry(static_cast<int32_t>(m), BuildMode::Update);
  }
}

void ReleaseGeometryScratch() {
  TriangleList().swap(ScratchTriangles());
  std::vector<Corner>().swap(ScratchCorners());
}
