// LoadModel: the load step around the PIE parser, with the roll-back of a model that fails.
#include "data/model_loader.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "base/ceilings.h"
#include "base/data_file.h"
#include "base/data_path.h"
#include "base/error_log.h"
#include "base/load_bounds.h"
#include "base/problems.h"
#include "data/model_sources.h"
#include "model/animation_table.h"
#include "model/level_buffers.h"
#include "model/model_geometry.h"
#include "model/texture_pages.h"

bool TeamColorsFlag = true;

namespace {

// What a catalogue entry costs besides its blocks: the record, its name and its path.
constexpr uint64_t kModelRecordBytes = sizeof(PieModel) + 64;

// The names and paths of the catalogue's entries, beyond what kModelRecordBytes counts.
uint64_t textBytes = 0;

uint64_t RecordBytes(const std::string& name, const std::string& path) {
  return kModelRecordBytes + name.size() + path.size();
}

// The first catalogue entry read from each file in this load, so that a file listed again (under
// any name, through any link) gives another entry without being read again.
std::unordered_map<FileIdentity, int32_t, FileIdentityHash> modelOfFile;
uint32_t modelOfFileLoad = 0;

std::unordered_map<FileIdentity, int32_t, FileIdentityHash>& ModelsOfFiles() {
  if (modelOfFileLoad != LoadNumber()) {
    modelOfFile.clear();
    modelOfFileLoad = LoadNumber();
  }
  return modelOfFile;
}

// The words of a store from `start` up to where the entries after `first` start theirs (or the
// store's end): in a load each entry's blocks follow the previous entry's.
template <typename Store, typename Start>
std::vector<int32_t> BlocksOf(const Store& store, int32_t first, Start start) {
  const int32_t from = start(ModelCatalogue[first]);
  if (from < 0) return {};
  size_t to = store.size();
  for (size_t m = static_cast<size_t>(first) + 1; m < ModelCatalogue.size(); ++m) {
    if (start(ModelCatalogue[m]) >= 0) {
      to = static_cast<size_t>(start(ModelCatalogue[m]));
      break;
    }
  }
  if (static_cast<size_t>(from) > to || to > store.size()) return {};
  return std::vector<int32_t>(store.data() + from, store.data() + to);
}

// Another entry for a file already read: a copy of the first entry's blocks under the new name,
// category and team colours, as reading the file again would have given.
void CommitListedAgain(const std::string& path, const char* fileName, int32_t first, ModelCategory category) {
  if (first < 0 || static_cast<size_t>(first) >= ModelCatalogue.size()) return;
  PieParse again;
  again.model = ModelCatalogue[first];
  again.points = BlocksOf(PointStore, first, [](const PieModel& m) { return m.pointStart; });
  again.polygons = BlocksOf(PolygonStore, first, [](const PieModel& m) { return m.polygonStart; });
  again.connectors = BlocksOf(ConnectorStore, first, [](const PieModel& m) { return m.connectorStart; });
  for (const LevelBuffer& level : LevelBufferTable)
    if (level.model == first && level.triangleCount > 0) again.triangleBound += static_cast<uint64_t>(level.triangleCount);
  PieModel model = again.model;
  model.category = category;
  model.name = fileName ? fileName : "";
  model.name.resize(model.name.size() >= 4 ? model.name.size() - 4 : 0);
  model.animation = FindAnimation(model.name.c_str());
  model.teamColors = TeamColorsFlag ? 1 : 0;
  model.frame = 0;
  if (!CeilingRefusal(again, RecordBytes(model.name, path), path).empty()) return;
  textBytes += model.name.size() + path.size();
  AppendModelBlocks(again, model);
  ModelCatalogue.push_back(std::move(model));
  ModelSourcePaths.push_back(path);
  BuildModelGeometry(static_cast<int32_t>(ModelCatalogue.size() - 1), BuildMode::FirstBuild);
}

}  // namespace

uint64_t ModelDataBytes() {
  if (ModelCatalogue.empty()) textBytes = 0;  // the catalogue was emptied since
  return 4 * uint64_t{PointStore.size() + PolygonStore.size() + ConnectorStore.size()} +
         ModelCatalogue.size() * kModelRecordBytes + textBytes + LevelBufferTable.size() * sizeof(LevelBuffer);
}

void SetTeamColorsFlag(bool value) { TeamColorsFlag = value; }

std::string RefuseParsedModel(PieResult result, const std::string& path) {
  if (result == PieResult::Ok || result == PieResult::NotPie) return std::string();
  const bool early = result == PieResult::EndedEarly;
  const std::string line =
      (early ? "Model file ends early, skipped: " : "Model file holds a negative count, skipped: ") + path;
  ErrorLog::Write(line);
  ReportProblem(path, early ? "the model file ends early" : "the model file holds a negative count");
  return line;
}

std::string CeilingRefusal(const PieParse& parsed, uint64_t recordBytes, const std::string& path) {
  const uint64_t dataBytes =
      4 * uint64_t{parsed.points.size() + parsed.polygons.size() + parsed.connectors.size()} + recordBytes +
      uint64_t(parsed.model.levelCount) * sizeof(LevelBuffer);
  std::string line;
  if (!FitsUnderCeiling(ModelDataBytes(), dataBytes, kMaxModelDataBytes)) {
    line = "Model data would pass its ceiling of " + CeilingText(kMaxModelDataBytes) + ", skipped: " + path;
    ReportProblem(path, "model data would pass its ceiling of " + CeilingText(kMaxModelDataBytes));
  } else if (!FitsUnderCeiling(LevelBufferBytes(), parsed.triangleBound * kLevelTriangleBytes, kMaxVertexBytes)) {
    line = "Vertex buffers would pass their ceiling of " + CeilingText(kMaxVertexBytes) + ", skipped: " + path;
    ReportProblem(path, "vertex buffers would pass their ceiling of " + CeilingText(kMaxVertexBytes));
  }
  if (!line.empty()) ErrorLog::Write(line);
  return line;
}

void AppendModelBlocks(const PieParse& parsed, PieModel& record) {
  record.pointStart = static_cast<int32_t>(PointStore.size());
  record.polygonStart = static_cast<int32_t>(PolygonStore.size());
  record.connectorStart = parsed.model.connectorStart == -1 ? -1 : static_cast<int32_t>(ConnectorStore.size());
  PointStore.Append(parsed.points);
  PolygonStore.Append(parsed.polygons);
  ConnectorStore.Append(parsed.connectors);
}

void LoadModel(const char* directory, const char* fileName, ModelCategory category) {
  const std::string path = std::string(directory ? directory : "") + (fileName ? fileName : "");
  if (!DataPathAllowed(path)) return;
  ModelReadAhead ahead;
  ReadModelAhead(path.c_str(), LoadFolderOnDisk(), ahead);
  CommitModelRead(path, fileName, category, ahead);
}

void ReadModelAhead(const char* path, const std::string& folderOnDisk, ModelReadAhead& ahead,
                    FilesReadAhead* claimed) {
  // Model files are small; a larger one is read when its turn comes, so that the files read
  // ahead never hold much memory whatever the data set holds.
  constexpr uint64_t kReadAheadBytes = uint64_t{1} << 20;
  ReadFileAhead(path, folderOnDisk, kMaxDataFileBytes, kReadAheadBytes, ahead.file, claimed);
  ahead.parsed = ahead.file.HasBytes();
  ahead.parse = PieParse();
  if (ahead.parsed) {
    const std::vector<char>& bytes = ahead.file.Contents();
    ahead.result = ParsePie(bytes.data(), bytes.data() + bytes.size(), ahead.parse);
  }
}

void CommitModelRead(const std::string& path, const char* fileName, ModelCategory category,
                     ModelReadAhead& ahead) {
  std::vector<char> contents;
  FileIdentity file;
  switch (AcceptFileRead(path.c_str(), ahead.file, contents, &file)) {
    case DataFileRead::kRead: break;
    case DataFileRead::kCannotOpen:
      ErrorLog::Write("Failed to open " + path);
      ReportProblem(path, "the model file cannot be opened");
      return;
    case DataFileRead::kRefused: return;
    case DataFileRead::kAlreadyRead: {
      const auto first = ModelsOfFiles().find(file);
      if (first != ModelsOfFiles().end()) {
        CommitListedAgain(path, fileName, first->second, category);
      } else {
        // Read before as something else, or as a model that did not load: its lines are in the log.
        ErrorLog::Write("Already read in this load, not read again: " + path);
        ReportProblem(path, "already read in this load (not read again)");
      }
      return;
    }
  }
  const size_t before = ModelCatalogue.size();
  if (!ahead.parsed) ahead.result = ParsePie(contents.data(), contents.data() + contents.size(), ahead.parse);
  CommitParsedModel(path.c_str(), fileName, ahead.result, ahead.parse, category);
  if (ModelCatalogue.size() > before) ModelsOfFiles().emplace(file, static_cast<int32_t>(before));
}

void LoadModelFromBytes(const char* path, const char* fileName, const char* begin, const char* end,
                        ModelCategory category) {
  PieParse parsed;
  const PieResult result = ParsePie(begin, end, parsed);
  CommitParsedModel(path, fileName, result, parsed, category);
}

void CommitParsedModel(const char* path, const char* fileName, PieResult result,
                       const PieParse& parsed, ModelCategory category) {
  // A file that does not start with "PIE" is not a model: skipped without a word, as it always was.
  if (result == PieResult::NotPie) {
    ReportProblem(path ? path : "", "not a PIE model (it does not start with PIE)");
    return;
  }

  PieModel model = parsed.model;
  model.category = category;
  // The manifest name carries ".pie".
  model.name = fileName ? fileName : "";
  model.name.resize(model.name.size() >= 4 ? model.name.size() - 4 : 0);

  // A whole header asks for its page even when the levels after it fail, so a file cut inside
  // its levels still leaves its page loaded; one cut inside its header leaves the page table as
  // it was.
  if (parsed.headerWhole) {
    model.texturePage = LoadTexturePage(parsed.pageName);
    model.animation = FindAnimation(model.name.c_str());
    model.teamColors = TeamColorsFlag ? 1 : 0;
  }
  const std::string where = path ? path : "";
  // Nothing was committed, so the stores' counts still promise exactly what they hold and the
  // catalogue never holds a half-read model.
  if (result != PieResult::Ok) {
    RefuseParsedModel(result, where);
    return;
  }
  if (!CeilingRefusal(parsed, RecordBytes(model.name, where), where).empty()) return;

  textBytes += model.name.size() + where.size();
  AppendModelBlocks(parsed, model);
  ModelCatalogue.push_back(std::move(model));
  ModelSourcePaths.push_back(where);
  BuildModelGeometry(static_cast<int32_t>(ModelCatalogue.size() - 1), BuildMode::FirstBuild);
}
