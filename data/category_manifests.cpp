// The category manifests: each read whole, its names listed, then every model loaded in turn.
#include "data/category_manifests.h"

#include <optional>

#include "base/data_file.h"
#include "base/data_path.h"
#include "base/error_log.h"
#include "base/load_bounds.h"
#include "base/ordered_work.h"
#include "base/problems.h"
#include "data/model_loader.h"

namespace {

const char kTeamColorsOn[] = "SetTeamColorsFlag(true)";
const char kTeamColorsOff[] = "SetTeamColorsFlag(false)";

// What each category's manifest is called and whether it holds team-colour switches: features,
// miscellaneous, research models and effects do; in the other lists every word is a model name,
// switch words included.
struct CategoryManifest {
  const char* name;
  bool flagAware;
};
const CategoryManifest kManifests[] = {
    {"Bodies.gam", false},      {"Features.gam", true},    {"Miscelaneous.gam", true},
    {"MiscelaneousIMD.gam", true}, {"Effects.gam", true},  {"Propulsions.gam", false},
    {"Structures.gam", false},  {"Weapons.gam", false},
};

// The models of a manifest read and parsed ahead on the load's workers and handed back in the
// manifest's order. The names are read ahead as LoadCategoryEntries reads them: switch words and
// refused paths are passed over, so the reads come back one for each model it loads.
class ModelsReadAhead {
 public:
  ModelsReadAhead(const char* begin, const char* end, const std::string& prefix, bool flagAware)
      : names_(begin, end), prefix_(prefix), flagAware_(flagAware), folder_(LoadFolderOnDisk()),
        slots_(kSlots), work_(kSlots, [this](size_t slot) { Read(slots_[slot]); }) {}

  // The read of the next model the manifest loads.
  ModelReadAhead& Next() {
    Fill();
    return slots_[work_.TakeOldest()].read;
  }
  // That read is committed: its slot takes the next name.
  void Done() {
    work_.ReleaseOldest();
    Fill();
  }

 private:
  // Enough to keep every worker busy while the main thread commits, few enough that the files
  // held never add up to much.
  static constexpr size_t kSlots = 64;
  struct Slot {
    std::string path;
    ModelReadAhead read;
  };

  void Read(Slot& slot) { ReadModelAhead(slot.path.c_str(), folder_, slot.read, &claimed_); }

  void Fill() {
    std::string_view word;
    while (!work_.Full() && names_.Next(word)) {
      if (flagAware_ && (word == kTeamColorsOn || word == kTeamColorsOff)) continue;
      Slot& slot = slots_[work_.NextSlot()];
      slot.path.assign(prefix_).append(word).append(".pie");
      if (DataPathRefusal(slot.path)) continue;
      work_.Publish();
    }
  }

  TokenReader names_;
  const std::string prefix_;
  const bool flagAware_;
  const std::string folder_;
  FilesReadAhead claimed_;
  std::vector<Slot> slots_;
  OrderedWork work_;  // last: its workers stop before the slots go
};

void LoadCategory(const char* directory, ModelCategory category) {
  const std::string path = std::string(directory ? directory : "") + kManifests[category].name;
  if (!DataPathAllowed(path)) return;
  std::vector<char> contents;
  if (!ReadListedFile(path, contents, "Failed to open " + path, "the category manifest cannot be opened",
                      false))
    return;
  LoadCategoryEntries(directory, contents.data(), contents.data() + contents.size(), category);
}

}  // namespace

const char* CategoryManifestName(ModelCategory category) {
  return category >= 0 && category < static_cast<ModelCategory>(sizeof(kManifests) / sizeof(kManifests[0]))
             ? kManifests[category].name
             : "";
}

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

void LoadCategoryEntries(const char* directory, const char* begin, const char* end,
                         ModelCategory category) {
  if (category < CategoryBodies || category > CategoryWeapons) return;
  const bool flagAware = kManifests[category].flagAware;
  // The names stay in the manifest's bytes, read twice, rather than in a list of their own: a
  // manifest of millions of one-letter names takes no more memory than its file. Every name is in
  // the log before the first model is loaded.
  size_t listed = 0;
  TokenReader names(begin, end);
  for (std::string_view word; names.Next(word);) {
    const bool isSwitch = flagAware && (word == kTeamColorsOn || word == kTeamColorsOff);
    if (isSwitch) continue;
    if (!LoadGoesOn()) return;
    ErrorLog::Write(std::string(word));
    ++listed;
  }

  const std::string prefix = directory ? directory : "";
  // In a flag-aware list the global flag changes only where the list changes its switch state,
  // starting from an assumed false: names before the first switch keep the flag as the previous
  // category left it.
  bool teamColors = false, tracked = false;
  size_t done = 0;
  std::string fileName;
  // Without workers the models are read one after the other, each when its turn comes.
  std::optional<ModelsReadAhead> ahead;
  if (LoadWorkerThreads() > 0) ahead.emplace(begin, end, prefix, flagAware);
  TokenReader models(begin, end);
  for (std::string_view word; models.Next(word);) {
    if (flagAware && word == kTeamColorsOn) {
      teamColors = true;
      continue;
    }
    if (flagAware && word == kTeamColorsOff) {
      teamColors = false;
      continue;
    }
    if (!LoadGoesOn()) return;
    if (ModelLoadProgress) ModelLoadProgress(kManifests[category].name, done++, listed);
    if (flagAware && teamColors != tracked) {
      SetTeamColorsFlag(teamColors);
      tracked = teamColors;
    }
    // Checked whole here: a name holding a NUL byte would be cut short as a C string.
    fileName.assign(word);
    fileName += ".pie";
    if (!ahead) {
      if (DataPathAllowed(prefix + fileName)) LoadModel(prefix.c_str(), fileName.c_str(), category);
      continue;
    }
    const std::string path = prefix + fileName;
    if (!DataPathAllowed(path)) continue;
    CommitModelRead(path, fileName.c_str(), category, ahead->Next());
    ahead->Done();
  }
}

void LoadBodies(const char* directory) { LoadCategory(directory, CategoryBodies); }
void LoadFeatures(const char* directory) { LoadCategory(directory, CategoryFeatures); }
void LoadMiscelaneous(const char* directory) { LoadCategory(directory, CategoryMiscelaneous); }
void LoadMiscelaneousIMD(const char* directory) { LoadCategory(directory, CategoryResearch); }
void LoadEffects(const char* directory) { LoadCategory(directory, CategoryEffects); }
void LoadPropulsions(const char* directory) { LoadCategory(directory, CategoryPropulsions); }
void LoadStructures(const char* directory) { LoadCategory(directory, CategoryStructures); }
void LoadWeapons(const char* directory) { LoadCategory(directory, CategoryWeapons); }
