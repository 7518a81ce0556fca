// Reading a model of the catalogue again from its file, in place.
#include "data/model_reload.h"

#include <vector>

#include "base/data_file.h"
#include "base/data_path.h"
#include "base/error_log.h"
#include "data/model_loader.h"
#include "data/model_sources.h"
#include "model/animation_table.h"
#include "model/model_catalogue.h"
#include "model/model_geometry.h"
#include "model/pie_parser.h"
#include "model/texture_pages.h"

bool ReadModelFileAgain(const std::string& path, std::vector<char>& contents, std::string& reason) {
  if (!DataPathAllowed(path)) {
    reason = "Path refused: " + path;
    return false;
  }
  switch (ReadDataSetFile(path.c_str(), contents)) {
    case DataFileRead::kRead: return true;
    case DataFileRead::kRefused: reason = "Refused " + path; return false;
    default:
      reason = "Failed to open " + path;
      ErrorLog::Write(reason);
      return false;
  }
}

bool ReloadModel(int32_t model, std::string& reason) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return false;
  std::vector<char> contents;
  return ReadModelFileAgain(ModelSourcePath(model), contents, reason) && ReloadModelFromBytes(model, contents, reason);
}

bool ReloadModelFromBytes(int32_t model, const std::vector<char>& contents, std::string& reason) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return false;
  const std::string path = ModelSourcePath(model);
  PieParse parsed;
  const PieResult result = ParsePie(contents.data(), contents.data() + contents.size(), parsed);
  // A file that is no model was never logged at load either: only the screen says so.
  if (result == PieResult::NotPie) {
    reason = "Not a PIE model (it does not start with PIE): " + path;
    return false;
  }
  if (result != PieResult::Ok) {
    reason = RefuseParsedModel(result, path);
    return false;
  }
  // The record is already in the catalogue: only its new blocks count.
  reason = CeilingRefusal(parsed, 0, path);
  if (!reason.empty()) return false;

  PieModel& record = ModelCatalogue[model];
  const PieModel& read = parsed.model;
  record.texturePage = LoadTexturePage(parsed.pageName);
  record.animation = FindAnimation(record.name.c_str());
  record.levelCount = read.levelCount;
  record.animated = read.animated;
  record.frameCount = read.frameCount;
  if (record.frame >= record.frameCount || record.frame < 0) record.frame = 0;
  AppendModelBlocks(parsed, record);
  RebuildModelGeometry(model);
  ReleaseGeometryScratch();
  ErrorLog::Write("Reloaded " + path);
  return true;
}
