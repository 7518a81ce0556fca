#include "data/load_sequence.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/device.h"
#include "app/error_log.h"
#include "data/animations.h"
#include "data/data_file.h"
#include "data/model_catalogue.h"
#include "overlay/bitmap_font.h"
#include "overlay/loading_screen.h"
#include "overlay/overlays.h"

namespace {

const char kStartUpManifest[] = "duskfen\\KVRStartUp.gam";
const int kPairCount = 9;

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

void LoadPair(const std::string& label, const std::string& directory) {
  for (const CategoryLabel& entry : kLabels) {
    if (label != entry.label) continue;
    ShowLoadingLine(entry.loadingLine);
    if (entry.teamColors != TeamColors::Unchanged) SetTeamColorsFlag(entry.teamColors == TeamColors::On);
    entry.loader(directory.c_str());
    return;
  }
  // Any other label loads nothing; it is already in the log with its directory.
}

}  // namespace

void LoadDataSet() {
  CreateScreenFont();
  ShowLoadingLine("Brennick starting up");
  // Discards whatever the device creation wrote: the log of a run starts with its data set.
  ErrorLog::Start();
  CreateCursor();
  ResetCamera();
  CreateAxes();

  std::vector<char> contents;
  if (!ReadDataFile(kStartUpManifest, contents)) {
    ErrorLog::Write("Failed to open start-up manifest duskfen\\KVRStartUp.gam");
    return;
  }
  // The whole manifest is in memory, so a category's loader never meets it open.
  TokenReader tokens(contents);
  std::string label, directory;
  int pairs = 0;
  for (; pairs < kPairCount; ++pairs) {
    if (!tokens.Next(label)) break;  // fewer than nine pairs: load those that were read
    ErrorLog::Write(label.c_str());
    if (!tokens.Next(directory)) break;
    ErrorLog::Write(directory.c_str());
    LoadPair(label, directory);
  }
  if (pairs < kPairCount) {
    ErrorLog::Write(("Start-up manifest duskfen\\KVRStartUp.gam ends after " + std::to_string(pairs) +
                     " of 9 pairs").c_str());
  }
}
