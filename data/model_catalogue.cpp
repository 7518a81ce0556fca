#include "data/model_catalogue.h"

#include "app/error_log.h"
#include "data/data_file.h"
#include "model/model_geometry.h"

std::vector<PieModel> ModelCatalogue;
bool TeamColorsFlag = true;

namespace {

const char kTeamColorsOn[] = "SetTeamColorsFlag(true)";
const char kTeamColorsOff[] = "SetTeamColorsFlag(false)";

// A model waiting to be loaded. Names are whole words (at most 30 characters as read), so a long
// manifest name reaches LoadModel intact instead of being cut to a fixed field.
struct ManifestEntry {
  std::string name;       // the listed word with ".pie" appended
  std::string directory;  // the prefix handed in by the load sequence
  bool teamColors = false;
};

// Reads a whole manifest into memory; false (with the path in the log) when it cannot be opened.
bool ReadManifest(const std::string& path, std::vector<char>& contents) {
  if (ReadDataFile(path.c_str(), contents)) return true;
  ErrorLog::Write(("Failed to open " + path).c_str());
  return false;
}

// Bodies, propulsions, structures and weapons: every word is a model name, switch words included.
void LoadPlainCategory(const char* directory, const char* manifestName, ModelCategory category) {
  std::string prefix = directory ? directory : "";
  std::vector<char> contents;
  if (!ReadManifest(prefix + manifestName, contents)) return;

  // The whole manifest is read before the first model is loaded.
  std::vector<ManifestEntry> entries;
  TokenReader reader(contents);
  for (std::string word; reader.Next(word);) {
    ErrorLog::Write(word.c_str());
    ManifestEntry entry;
    entry.name = word + ".pie";
    entry.directory = prefix;
    entries.push_back(entry);
  }
  for (const ManifestEntry& entry : entries)
    LoadModel(entry.directory.c_str(), entry.name.c_str(), category);
}

// Features, miscellaneous, research models and effects: the two switch words mark the names that
// follow them as team-coloured or not.
void LoadFlagAwareCategory(const char* directory, const char* manifestName, ModelCategory category) {
  std::string prefix = directory ? directory : "";
  std::vector<char> contents;
  if (!ReadManifest(prefix + manifestName, contents)) return;

  std::vector<ManifestEntry> entries;
  bool teamColors = false;
  TokenReader reader(contents);
  for (std::string word; reader.Next(word);) {
    if (word == kTeamColorsOn) {
      teamColors = true;
    } else if (word == kTeamColorsOff) {
      teamColors = false;
    } else {
      ErrorLog::Write(word.c_str());
      ManifestEntry entry;
      entry.name = word + ".pie";
      entry.directory = prefix;
      entry.teamColors = teamColors;
      entries.push_back(entry);
    }
  }

  // The global flag changes only where the list changes its switch state, starting from an
  // assumed false: names before the first switch keep the flag as the previous category left it.
  bool tracked = false;
  for (const ManifestEntry& entry : entries) {
    if (entry.teamColors != tracked) {
      SetTeamColorsFlag(entry.teamColors);
      tracked = entry.teamColors;
    }
    LoadModel(entry.directory.c_str(), entry.name.c_str(), category);
  }
}

}  // namespace

void LoadBodies(const char* directory) {
  LoadPlainCategory(directory, "Bodies.gam", CategoryBodies);
}
void LoadFeatures(const char* directory) {
  LoadFlagAwareCategory(directory, "Features.gam", CategoryFeatures);
}
void LoadMiscelaneous(const char* directory) {
  LoadFlagAwareCategory(directory, "Miscelaneous.gam", CategoryMiscelaneous);
}
void LoadMiscelaneousIMD(const char* directory) {
  LoadFlagAwareCategory(directory, "MiscelaneousIMD.gam", CategoryResearch);
}
void LoadEffects(const char* directory) {
  LoadFlagAwareCategory(directory, "Effects.gam", CategoryEffects);
}
void LoadPropulsions(const char* directory) {
  LoadPlainCategory(directory, "Propulsions.gam", CategoryPropulsions);
}
void LoadStructures(const char* directory) {
  LoadPlainCategory(directory, "Structures.gam", CategoryStructures);
}
void LoadWeapons(const char* directory) {
  LoadPlainCategory(directory, "Weapons.gam", CategoryWeapons);
}

void LoadModel(const char* directory, const char* fileName, ModelCategory category) {
  std::string path = std::string(directory ? directory : "") + (fileName ? fileName : "");
  std::vector<char> contents;
  if (!ReadDataFile(path.c_str(), contents)) {
    ErrorLog::Write(("Failed to open " + path).c_str());
    return;
  }
  TokenReader reader(contents);
  SetPieInput(&reader);

  PieModel model;
  model.name = fileName ? fileName : "";
  model.category = category;

  // A file that does not start with "PIE" is not a model: skipped without a word, as it always was.
  std::string word;
  if (!ReadToken(word) || word != "PIE") {
    SetPieInput(nullptr);
    return;
  }

  // Where the stores stand before this model: a file that ends early or holds a count that lies
  // is rolled back to here, so every count in the stores promises exactly the entries after it
  // and the catalogue never holds a half-read model.
  size_t points = PointStore.size(), polygons = PolygonStore.size(),
         connectors = ConnectorStore.size();
  PieResult result = ParsePieHeader(model);
  if (result == PieResult::Ok) {
    ModelCatalogue.push_back(model);
    result = ParsePieLevels(model.levelCount);
    if (result != PieResult::Ok) ModelCatalogue.pop_back();
  }
  SetPieInput(nullptr);

  if (result != PieResult::Ok) {
    PointStore.resize(points);
    PolygonStore.resize(polygons);
    ConnectorStore.resize(connectors);
    const char* why = result == PieResult::EndedEarly ? "Model file ends early, skipped: "
                                                      : "Model file holds a negative count, skipped: ";
    ErrorLog::Write((why + path).c_str());
    return;
  }
  BuildModelGeometry(static_cast<int32_t>(ModelCatalogue.size() - 1), BuildMode::FirstBuild);
}

void SetTeamColorsFlag(bool value) { TeamColorsFlag = value; }

int32_t FindModelByName(const char* name) {
  if (!name) return -1;
  for (size_t i = 0; i < ModelCatalogue.size(); ++i) {
    if (ModelCatalogue[i].name == name) return static_cast<int32_t>(i);
  }
  return -1;
}

void ListModelsOfCategory(ModelNameList& list, ModelCategory category) {
  list.clear();
  for (const PieModel& model : ModelCatalogue) {
    if (model.category == category) list.push_back(model.name);
  }
}
