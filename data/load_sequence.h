// The start-up manifest "duskfen\KVRStartUp.gam" and the category loaders it drives.
#pragma once
#include <string>
#include <vector>

// One label and directory prefix of the start-up manifest, as written.
struct StartUpPair {
  std::string label;
  std::string directory;
};

// The start-up manifest held in memory: at most nine pairs, and a label left without its
// directory at the end (empty when there is none). Touches no file or table.
struct StartUpManifest {
  std::vector<StartUpPair> pairs;
  std::string lastLabel;
};
StartUpManifest ParseStartUpManifest(const char* begin, const char* end);

// The start-up manifest's name, relative to the data set's folder.
extern const char kStartUpManifest[];

// Reads the start-up manifest and loads its pairs (LoadStartUpPairs); false when the manifest
// could not be read (it is logged).
bool ReadStartUpManifest(void (*showStage)(const char* line));
// Logs each pair's label and directory and runs its category's loader, calling showStage with the
// pair's loading line first (the loading screen, for the program); then logs a short manifest.
void LoadStartUpPairs(const StartUpManifest& manifest, void (*showStage)(const char* line));
