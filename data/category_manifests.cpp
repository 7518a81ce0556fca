// The category manifests: each read whole, its names listed, then every model loaded in turn.
#include "data/category_manifests.h"

#include "base/data_file.h"
#include "base/error_log.h"
#include "data/model_loader.h"

namespace {

const char kTeamColorsOn[] = "SetTeamColorsFlag(true)";
const char kTeamColorsOff[] = "SetTeamColorsFlag(false)";

// Reads a whole manifest into memory; false (with the path in the log) when it cannot be opened.
bool ReadManifest(const std::string& path, std::vector<char>& contents) {
  if (ReadDataFile(path.c_str(), contents)) return true;
  ErrorLog::Write(("Failed to open " + path).c_str());
  return false;
}

// Every name is in the log before the first model is loaded.
std::vector<ManifestEntry> ReadEntries(const std::string& path, bool flagAware) {
  std::vector<char> contents;
  if (!ReadManifest(path, contents)) return {};
  std::vector<ManifestEntry> entries =
      ParseCategoryManifest(contents.data(), contents.data() + contents.size(), flagAware);
  for (const ManifestEntry& entry : entries) ErrorLog::Write(entry.word.c_str());
  return entries;
}

// Bodies, propulsions, structures and weapons: every word is a model name, switch words included.
void LoadPlainCategory(const char* directory, const char* manifestName, ModelCategory category) {
  const std::string prefix = directory ? directory : "";
  for (const ManifestEntry& entry : ReadEntries(prefix + manifestName, false))
    LoadModel(prefix.c_str(), (entry.word + ".pie").c_str(), category);
}

// Features, miscellaneous, research models and effects: the two switch words mark the names that
// follow them as team-coloured or not.
void LoadFlagAwareCategory(const char* directory, const char* manifestName, ModelCategory category) {
  const std::string prefix = directory ? directory : "";
  // The global flag changes only where the list changes its switch state, starting from an
  // assumed false: names before the first switch keep the flag as the previous category left it.
  bool tracked = false;
  for (const ManifestEntry& entry : ReadEntries(prefix + manifestName, true)) {
    if (entry.teamColors != tracked) {
      SetTeamColorsFlag(entry.teamColors);
      tracked = entry.teamColors;
    }
    LoadModel(prefix.c_str(), (entry.word + ".pie").c_str(), category);
  }
}

}  // namespace

std::vector<ManifestEntry> ParseCategoryManifest(const char* begin, const char* end, bool flagAware) {
  std::vector<ManifestEntry> entries;
  bool teamColors = false;
  TokenReader reader(begin, end);
  for (std::string word; reader.Next(word);) {
    if (flagAware && word == kTeamColorsOn) {
      teamColors = true;
    } else if (flagAware && word == kTeamColorsOff) {
      teamColors = false;
    } else {
      entries.push_back({word, teamColors});
    }
  }
  return entries;
}

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
