// What the fuzz targets share: a scratch working directory on tmpfs, a headless device made once,
// a file writer, and the reset of every process-wide table the loaders fill, so that each input
// starts from an empty program and memory cannot creep up from one input to the next.
//
// The loaders read fixed relative paths ("duskfen\texpages\...", "duskfen\KVRStartUp.gam") and
// write "KVRerrors.log" into the working directory, so each input is run inside the scratch
// directory (ScratchScope) and libFuzzer does its own file work (corpus, merge, dictionaries) in
// the directory it was started in. A crash file is written from inside an input, though, so a
// relative -artifact_prefix is made absolute, and the default one names the starting directory.
#pragma once
#include <windows.h>
#include <d3d9.h>
#include <kvrplatform_testing.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/camera.h"
#include "app/device.h"
#include "app/scene.h"
#include "base/error_log.h"
#include "data/animations.h"
#include "data/category_manifests.h"
#include "data/model_loader.h"
#include "model/model_catalogue.h"
#include "model/level_buffers.h"
#include "model/level_walk.h"
#include "model/model_drawing.h"
#include "model/model_geometry.h"
#include "model/pie_parser.h"
#include "model/texture_pages.h"
#include "program_tables.h"
#include "test_support.h"
#include "overlay/loading_screen.h"

#include "dds_file.h"

namespace fuzzsupport {

// Aborts with a message: what a target calls when the program broke one of its own promises,
// so libFuzzer keeps the input as a crash.
[[noreturn]] inline void Broken(const char* what) {
  std::fprintf(stderr, "fuzz target: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

inline std::string& ScratchDir() {
  static std::string dir;
  return dir;
}

inline void RemoveScratchDir() {
  std::error_code ec;
  if (!ScratchDir().empty()) std::filesystem::remove_all(ScratchDir(), ec);
}

// Makes -artifact_prefix and -exact_artifact_path absolute (relative to the starting
// directory), adding -artifact_prefix=<starting directory>/ when none is given.
inline void AbsolutiseArtifactPaths(int* argc, char*** argv, const std::string& startDir) {
  static std::vector<std::string> storage;
  static std::vector<char*> pointers;
  const char* kPathFlags[] = {"-artifact_prefix=", "-exact_artifact_path="};
  bool artifactPrefix = false;
  storage.assign(*argv, *argv + *argc);
  for (size_t i = 1; i < storage.size(); ++i) {
    for (const char* flag : kPathFlags) {
      const size_t n = std::strlen(flag);
      if (storage[i].compare(0, n, flag) != 0) continue;
      if (flag == kPathFlags[0]) artifactPrefix = true;
      // A prefix, not a folder: "out/" names a folder, "out/x-" a file stem; both just get the
      // starting directory in front.
      if (storage[i].size() > n && storage[i][n] != '/')
        storage[i] = std::string(flag) + startDir + "/" + storage[i].substr(n);
    }
  }
  if (!artifactPrefix) storage.push_back("-artifact_prefix=" + startDir + "/");
  pointers.clear();
  pointers.push_back((*argv)[0]);  // libFuzzer refuses a changed argv[0]
  for (size_t i = 1; i < storage.size(); ++i) pointers.push_back(&storage[i][0]);
  pointers.push_back(nullptr);
  *argc = static_cast<int>(storage.size());
  *argv = pointers.data();
}

inline int& StartDirFd() {
  static int fd = -1;
  return fd;
}
inline int& ScratchDirFd() {
  static int fd = -1;
  return fd;
}

// Creates the scratch directory (on /dev/shm when there is one); it is removed when the process
// ends normally. Call from LLVMFuzzerInitialize.
inline void MakeScratchDir(int* argc, char*** argv) {
  char start[PATH_MAX];
  if (!getcwd(start, sizeof start)) Broken("cannot read the working directory");
  if (argc && argv) AbsolutiseArtifactPaths(argc, argv, start);
  std::string pattern =
      std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/kvrfuzz-XXXXXX";
  if (!mkdtemp(&pattern[0])) Broken("cannot make a scratch directory");
  ScratchDir() = pattern;
  StartDirFd() = open(start, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ScratchDirFd() = open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (StartDirFd() < 0 || ScratchDirFd() < 0) Broken("cannot open the scratch directory");
  std::atexit(RemoveScratchDir);
}

// The scratch directory is the working directory while one of these lives.
class ScratchScope {
 public:
  ScratchScope() {
    if (fchdir(ScratchDirFd()) != 0) Broken("cannot enter the scratch directory");
  }
  ~ScratchScope() {
    if (fchdir(StartDirFd()) != 0) Broken("cannot leave the scratch directory");
  }
  ScratchScope(const ScratchScope&) = delete;
  ScratchScope& operator=(const ScratchScope&) = delete;
};

// Writes bytes to a path relative to the scratch directory (forward slashes), creating folders.
inline void WriteFile(const std::string& path, const void* data, size_t size) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) Broken("cannot write a scratch file");
  if (size && std::fwrite(data, 1, size, f) != size) Broken("cannot write a scratch file");
  std::fclose(f);
}

inline void WriteFile(const std::string& path, const std::string& text) {
  WriteFile(path, text.data(), text.size());
}

// A small headless window and Direct3D 9 device, made as the tests make them, kept for the whole
// run and installed as g_pd3dDevice.
inline IDirect3DDevice9* CreateHeadlessDevice() {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  // Held by a static pointer, never destroyed: the device lives until the process ends.
  static testsupport::TestDevice* kept = testsupport::CreateTestDevice(320, 240).release();
  if (!kept || !kept->device) Broken("no headless Direct3D 9 device");
  g_pD3D = kept->d3d;
  g_pd3dDevice = kept->device;
  return kept->device;
}

// Checks that the stores hold exactly what the catalogue's counts promise: each model's blocks
// start where the previous model's end, and the last ones end at the ends of the stores.
inline void CheckStoresMatchCatalogue() {
  size_t points = 0, polygons = 0;
  for (const PieModel& m : ModelCatalogue) {
    if (m.pointStart < 0 || m.polygonStart < 0 || static_cast<size_t>(m.pointStart) != points ||
        static_cast<size_t>(m.polygonStart) != polygons)
      Broken("a model's blocks do not start where the previous model's end");
    for (int32_t level = 0; level < m.levelCount; ++level) {
      // The walk the builds use, without building: it checks every count and length.
      size_t pointLength = 0, polygonLength = 0;
      if (!levelwalk::WalkLevel(m, points, polygons, pointLength, polygonLength, nullptr,
                                [](const levelwalk::PolygonView&) {}))
        Broken("a level's blocks do not lie whole inside the stores");
      points += pointLength;
      polygons += polygonLength;
    }
  }
  if (points != PointStore.size() || polygons != PolygonStore.size())
    Broken("the stores hold entries no model accounts for");
}

// Tiny pages under the names the sample data set's models use, and one generic name, so that
// seeds from the sample set find their page without decoding a 256 x 256 image on every input.
inline void WriteTinyPages() {
  const char* names[] = {"dfbuild.dds", "dffx.dds", "dfnature.dds", "dftech.dds", "dfunits.dds",
                         "page.dds"};
  const std::string page = ddsfile::AsString(ddsfile::SolidArgb32(4, 4, 0xFF808080));
  for (const char* name : names) WriteFile(std::string("duskfen/texpages/") + name, page);
}

}  // namespace fuzzsupport

namespace fuzzsupport {

// A small PIE model: `levels` levels of one triangle each on page.dds, the triangle a plain
// polygon or, when `animated`, a four-frame texture strip; every level ends with a connector.
inline std::string MiniPie(int levels, bool animated) {
  std::string s = "PIE 2\nTYPE 200\nTEXTURE 0 page.pcx 256 256\nLEVELS " + std::to_string(levels) + "\n";
  for (int l = 0; l < levels; ++l) {
    s += "LEVEL " + std::to_string(l + 1) + "\nPOINTS 3\n0 0 0\n" + std::to_string(100 + 10 * l) +
         " 0 0\n0 100 0\nPOLYGONS 1\n";
    s += animated ? "4200 3 0 1 2 4 1 16 16 0 0 16 0 16 16\n" : "200 3 0 1 2 0 0 16 0 16 16\n";
    s += "CONNECTORS 1\n0 0 10\n";
  }
  return s;
}

// The category directories of the sample data set and their manifests' names.
struct CategoryDir {
  const char* label;
  const char* directory;  // as the start-up manifest writes it
  const char* path;       // as written here
  const char* manifest;
  void (*loader)(const char* directory);
};
inline const CategoryDir kCategoryDirs[] = {
    {"Bodies:", "duskfen\\bodies\\", "duskfen/bodies/", "Bodies.gam", LoadBodies},
    {"Features:", "duskfen\\features\\", "duskfen/features/", "Features.gam", LoadFeatures},
    {"Miscelaneous:", "duskfen\\misc\\", "duskfen/misc/", "Miscelaneous.gam", LoadMiscelaneous},
    {"MiscelaneousIMD:", "duskfen\\research\\", "duskfen/research/", "MiscelaneousIMD.gam",
     LoadMiscelaneousIMD},
    {"Effects:", "duskfen\\effects\\", "duskfen/effects/", "Effects.gam", LoadEffects},
    {"Propulsions:", "duskfen\\propuls\\", "duskfen/propuls/", "Propulsions.gam", LoadPropulsions},
    {"Structures:", "duskfen\\structs\\", "duskfen/structs/", "Structures.gam", LoadStructures},
    {"Weapons:", "duskfen\\weapons\\", "duskfen/weapons/", "Weapons.gam", LoadWeapons},
};

// A data set laid out like the sample one, with small files: every category directory holds a
// manifest of a few names and a small model for each name any manifest here lists (so a manifest
// moved to another category still finds its models); two names are damaged on purpose. The
// animations directory holds one frames and one transform animation.
inline void WriteMiniDataSet() {
  WriteTinyPages();
  struct Model {
    const char* name;
    std::string text;
  };
  const Model models[] = {
      {"viper", MiniPie(1, false)},   {"pine", MiniPie(1, false)},    {"wreck", MiniPie(1, false)},
      {"crate", MiniPie(1, false)},   {"atom", MiniPie(3, false)},    {"gears", MiniPie(2, false)},
      {"blast", MiniPie(4, false)},   {"fire", MiniPie(1, true)},     {"tracks", MiniPie(1, true)},
      {"hq", MiniPie(2, false)},      {"cannon", MiniPie(1, false)},  {"cut", MiniPie(2, false).substr(0, 150)},
      {"notpie", "PIX 2\nTYPE 200\n"},
  };
  const char* manifests[] = {
      "viper\ncut\n",                                                  // Bodies
      "pine\nSetTeamColorsFlag(true)\nwreck\nSetTeamColorsFlag(false)\nnotpie\n",  // Features
      "crate\nSetTeamColorsFlag(true)\nfire\n",                        // Miscelaneous
      "atom\ngears\nSetTeamColorsFlag(true)\nmissing\n",               // MiscelaneousIMD
      "blast\nfire\nSetTeamColorsFlag(false)\n",                      // Effects
      "tracks\n",                                                      // Propulsions
      "hq\n",                                                          // Structures
      "cannon\nSetTeamColorsFlag(true)\n",                             // Weapons
  };
  for (size_t c = 0; c < sizeof(kCategoryDirs) / sizeof(kCategoryDirs[0]); ++c) {
    const std::string dir = kCategoryDirs[c].path;
    WriteFile(dir + kCategoryDirs[c].manifest, manifests[c]);
    for (const Model& m : models) WriteFile(dir + m.name + ".pie", m.text);
  }
  WriteFile("duskfen/anims/Animations.gam", "atom.ani\nblast.ani\n");
  WriteFile("duskfen/anims/atom.ani",
            "ANIM3DTRANS \"atom.pie\" 2 10 3 {\n"
            " ANIMOBJECT 0 \"a\" {\n 0 0 0 0 0 0 0 0 0 0\n 1 0 10 0 0 9000 0 0 0 0\n }\n"
            " ANIMOBJECT 1 \"b\" {\n 0 5 0 0 0 0 0 0 0 0\n 1 5 0 0 45000 0 0 0 0 0\n }\n"
            " ANIMOBJECT 2 \"c\" {\n 0 0 0 7 0 0 0 0 0 0\n 1 0 0 7 0 0 90000 0 0 0\n }\n}\n");
  WriteFile("duskfen/anims/blast.ani",
            "ANIM3DFRAMES \"blast.pie\" 4 25 0 {\n"
            " 0 0 0 0 0 0 0 0 0 0\n 1 0 0 0 0 0 0 0 0 0\n 2 0 0 0 0 0 0 0 0 0\n 3 0 0 0 0 0 0 0 0 0\n}\n");
}

}  // namespace fuzzsupport
