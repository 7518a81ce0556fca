// The load sequence: the start-up manifest's pairs, each running its category's loader.
#include "data/load_sequence.h"

#include <windows.h>

#include "base/data_file.h"
#include "base/data_path.h"
#include "base/error_log.h"
#include "base/load_bounds.h"
#include "base/problems.h"
#include "data/animations.h"
#include "data/category_manifests.h"
#include "data/model_loader.h"
#include "model/model_geometry.h"

const char kStartUpManifest[] = "duskfen\\KVRStartUp.gam";

namespace {

const size_t kPairCount = 9;

enum class TeamColors { Unchanged, On, Off };

struct CategoryLabel {
  const char* label;         // matched exactly: capitals and colon included
  const char* loadingLine;
  TeamColors teamColors;     // what the category's models are loaded with
  void (*loader)(const char* directory);
};

const CategoryLabel kLabels[] = {
    {"Animations:", "Loading animation data", TeamColors::Unchanged, LoadAnimations},
    {"Bodies:", "Loading body data", TeamColors::On, LoadBodies},
    {"Features:", "Loading features data", TeamColors::Off, LoadFeatures},
    {"Miscelaneous:", "Loading miscelaneous data", TeamColors::Unchanged, LoadMiscelaneous},
    {"MiscelaneousIMD:", "Loading research IMD data", TeamColors::Unchanged, LoadMiscelaneousIMD},
    {"Effects:", "Loading effects data", TeamColors::Unchanged, LoadEffects},
    {"Propulsions:", "Loading propulsion data", TeamColors::On, LoadPropulsions},
    {"Structures:", "Loading structure data", TeamColors::Unchanged, LoadStructures},
    {"Weapons:", "Loading weapons data", TeamColors::Unchanged, LoadWeapons},
};

void LoadPair(const StartUpPair& pair, void (*showStage)(const char* line)) {
  for (const CategoryLabel& entry : kLabels) {
    if (pair.label != entry.label) continue;
    // A prefix that leaves the data set loads nothing: not even its manifest is looked for.
    if (!DataPathAllowed(pair.directory)) return;
    if (showStage) showStage(entry.loadingLine);
    if (entry.teamColors != TeamColors::Unchanged) SetTeamColorsFlag(entry.teamColors == TeamColors::On);
    entry.loader(pair.directory.c_str());
    return;
  }
  // Any other label loads nothing; it is already in the log with its directory.
  ReportProblem(kStartUpManifest, "unknown label " + pair.label + " (its directory is not loaded)");
}

}  // namespace

StartUpManifest ParseStartUpManifest(const char* begin, const char* end) {
  StartUpManifest manifest;
  TokenReader tokens(begin, end);
  StartUpPair pair;
  while (manifest.pairs.size() < kPairCount && tokens.Next(pair.label)) {
    if (!tokens.Next(pair.directory)) {
      manifest.lastLabel = pair.label;
      break;
    }
    manifest.pairs.push_back(pair);
  }
  return manifest;
}

bool ReadStartUpManifest(void (*showStage)(const char* line)) {
  BeginLoad();
  std::vector<char> contents;
  const DataFileRead read = ReadDataSetFile(kStartUpManifest, contents);
  if (read != DataFileRead::kRead) {
    if (read == DataFileRead::kCannotOpen) ErrorLog::Write("Failed to open start-up manifest duskfen\\KVRStartUp.gam");
    EndLoad();
    return false;
  }
  // The whole manifest is in memory, so a category's loader never meets it open.
  const StartUpManifest manifest = ParseStartUpManifest(contents.data(), contents.data() + contents.size());
  std::vector<char>().swap(contents);
  LoadStartUpPairs(manifest, showStage);
  EndLoad();
  return true;
}

void LoadStartUpPairs(const StartUpManifest& manifest, void (*showStage)(const char* line)) {
  for (const StartUpPair& pair : manifest.pairs) {
    if (!LoadGoesOn()) break;
    ErrorLog::Write(pair.label);
    ErrorLog::Write(pair.directory);
    LoadPair(pair, showStage);
  }
  if (!manifest.lastLabel.empty()) ErrorLog::Write(manifest.lastLabel);
  if (manifest.pairs.size() < kPairCount) {
    ErrorLog::Write("Start-up manifest duskfen\\KVRStartUp.gam ends after " +
                     std::to_string(manifest.pairs.size()) + " of 9 pairs");
    ReportProblem(kStartUpManifest, "ends after " + std::to_string(manifest.pairs.size()) + " of 9 pairs");
  }
  // Loading is over: the scratch lists the builds grew are given back.
  ReleaseGeometryScratch();
}
