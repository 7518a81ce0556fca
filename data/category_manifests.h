// The eight category manifests: lists of model names, with team-colour switches in four of them.
#pragma once
#include <string>
#include <vector>

#include "model/model_catalogue.h"

// A model waiting to be loaded. Names are whole words as read, so a long manifest name reaches
// LoadModel intact instead of being cut to a fixed field.
struct ManifestEntry {
  std::string word;         // the listed word, as the log shows it
  bool teamColors = false;  // the switch state in force where it was listed (flag-aware lists)
};

// The entries of one manifest held in memory. In a flag-aware manifest the words
// "SetTeamColorsFlag(true)" and "SetTeamColorsFlag(false)" switch the state of the names after
// them and are not entries; in a plain one every word is a name. Touches no file or table.
std::vector<ManifestEntry> ParseCategoryManifest(const char* begin, const char* end, bool flagAware);

// Loads a category from its manifest's bytes already in memory: the names into the log, then each
// model from the directory, as the category's loader does after reading the manifest.
void LoadCategoryEntries(const char* directory, const char* begin, const char* end,
                         ModelCategory category);

// The category's manifest file name ("Bodies.gam", ...); empty outside the eight.
const char* CategoryManifestName(ModelCategory category);

void LoadBodies(const char* directory);
void LoadFeatures(const char* directory);
void LoadMiscelaneous(const char* directory);
void LoadMiscelaneousIMD(const char* directory);
void LoadEffects(const char* directory);
void LoadPropulsions(const char* directory);
void LoadStructures(const char* directory);
void LoadWeapons(const char* directory);
