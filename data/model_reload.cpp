// Reading a model of the catalogue again from its file, in place.
#include "data/model_reload.h"

#include <vector>

#include "base/ceilings.h"
#include "base/data_file.h"
#include "base/data_path.h"
#include "base/error_log.h"
#include "data/model_loader.h"
#include "data/model_sources.h"
#include "model/animation_table.h"
#include "model/level_buffers.h"
#include "model/model_catalogue.h"
#include "model/model_geometry.h"
#include "model/pie_parser.h"
#include "model/texture_pages.h"

namespace {

// The reason a parse that is not Ok gives; the log gets the same line a first load writes.
std::string ParseFailure(PieResult result, const std::string& path) {
  switch (result) {
    case PieResult::NotPie: return "Not a PIE model (it does not start with PIE): " + path;
    case PieResult::EndedEarly: return "Model file ends early, skipped: " + path;
    case PieResult::BadCount: return "Model file holds a negative count, skipped: " + path;
    case PieResult::Ok: break;
  }
  return std::string();
}

}  // namespace

bool ReloadModel(int32_t model, std::string& reason) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return false;
  const std::string path = ModelSourcePath(model);
  if (!DataPathAllowed(path)) {
    reason = "Path refused: " + path;
    return false;
  }
  std::vector<char> contents;
  if (!ReadDataFile(path.c_str(), contents)) {
    reason = "Failed to open " + path;
    ErrorLog::Write(reason);
    return false;
  }
  PieParse parsed;
  const PieResult result = ParsePie(contents.data(), contents.data() + contents.size(), parsed);
  if (result != PieResult::Ok) {
    reason = ParseFailure(result, path);
    // A file that is no model was never logged at load either.
    if (result != PieResult::NotPie) ErrorLog::Write(reason);
    return false;
  }
  const uint64_t dataBytes =
      4 * uint64_t{parsed.points.size() + parsed.polygons.size() + parsed.connectors.size()} +
      uint64_t(parsed.model.levelCount) * sizeof(LevelBuffer);
  if (!FitsUnderCeiling(ModelDataBytes(), dataBytes, kMaxModelDataBytes)) {
    reason = "Model data would pass its ceiling of 512 MiB, skipped: " + path;
    ErrorLog::Write(reason);
    return false;
  }
  if (!FitsUnderCeiling(LevelBufferBytes(), parsed.triangleBound * kLevelTriangleBytes, kMaxVertexBytes)) {
    reason = "Vertex buffers would pass their ceiling of 1 GiB, skipped: " + path;
    ErrorLog::Write(reason);
    return false;
  }

  PieModel& record = ModelCatalogue[model];
  const PieModel& read = parsed.model;
  record.texturePage = LoadTexturePage(parsed.pageName);
  record.animation = FindAnimation(record.name.c_str());
  record.levelCount = read.levelCount;
  record.animated = read.animated;
  record.frameCount = read.frameCount;
  if (record.frame >= record.frameCount || record.frame < 0) record.frame = 0;
  record.pointStart = static_cast<int32_t>(PointStore.size());
  record.polygonStart = static_cast<int32_t>(PolygonStore.size());
  record.connectorStart = read.connectorStart == -1 ? -1 : static_cast<int32_t>(ConnectorStore.size());
  PointStore.insert(PointStore.end(), parsed.points.begin(), parsed.points.end());
  PolygonStore.insert(PolygonStore.end(), parsed.polygons.begin(), parsed.polygons.end());
  ConnectorStore.insert(ConnectorStore.end(), parsed.connectors.begin(), parsed.connectors.end());
  RebuildModelGeometry(model);
  ReleaseGeometryScratch();
  ErrorLog::Write("Reloaded " + path);
  return true;
}
