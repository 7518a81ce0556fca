#include "bench_stage.h"

#include <kvrplatform_testing.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/camera.h"
#include "app/device.h"
#include "app/scene.h"
#include "app/input.h"
#include "app/category_panel.h"
#include "app/frame.h"
#include "app/model_panel.h"
#include "app/panel_row.h"
#include "app/viewer_state.h"
#include "data/category_manifests.h"
#include "data/model_loader.h"
#include "model/model_catalogue.h"
#include "model/level_buffers.h"
#include "model/model_drawing.h"
#include "model/model_geometry.h"
#include "overlay/overlays.h"
#include "program_tables.h"
#include "test_support.h"

namespace bench {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<testsupport::TestDevice> device;
bool deviceTried = false;
DataSet loaded = DataSet::None;

// Scratch folders live as long as the process; removed at exit.
struct Scratch {
  std::string sample, empty;
  ~Scratch() {
    std::error_code ec;
    if (!sample.empty()) fs::remove_all(sample, ec);
    if (!empty.empty()) fs::remove_all(empty, ec);
  }
} scratch;

std::string MakeScratch(const char* what) {
  char pattern[] = "/tmp/kvrbench-XXXXXX";
  const char* dir = mkdtemp(pattern);
  if (!dir) {
    std::fprintf(stderr, "kvrbench: cannot make a scratch folder for the %s data set\n", what);
    return "";
  }
  return dir;
}

bool LoadFrom(DataSet set) {
  const std::string dir = DataSetDir(set);
  if (dir.empty() || !Device()) return false;
  std::error_code ec;
  fs::current_path(dir, ec);
  if (ec) {
    std::fprintf(stderr, "kvrbench: cannot enter %s\n", dir.c_str());
    return false;
  }
  viewerState = ViewerState{};
  camera = Camera{};
  // The pointer rests away from the panels and the zooming screen edges.
  kvrtest::SetCursorPos(900, 500);
  viewerState.mouseX = 900;
  viewerState.mouseY = 500;
  SetupScene();
  RenderFrame();
  loaded = set;
  return true;
}

}  // namespace

IDirect3DDevice9* Device() {
  if (!deviceTried) {
    deviceTried = true;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    device = testsupport::CreateTestDevice(1024, 768, WindowProc);
    if (!device) std::fprintf(stderr, "kvrbench: no Direct3D 9 device\n");
    g_pd3dDevice = device ? device->device : nullptr;
  }
  return device ? device->device : nullptr;
}

void Unload() {
  ReleaseDeviceResources();
  ResetProgramTables();
  loaded = DataSet::None;
}

void Shutdown() {
  Unload();
  g_pd3dDevice = nullptr;
  device.reset();
}

bool UseDataSet(DataSet set) {
  if (set == loaded) return set == DataSet::None || Device();
  return ReloadDataSet(set);
}

bool ReloadDataSet(DataSet set) {
  Unload();
  if (set == DataSet::None) return Device();
  return LoadFrom(set);
}

std::string ViewerBesideBenchmarks() {
  std::error_code error;
  const fs::path viewer = fs::read_symlink("/proc/self/exe", error).parent_path() / "kvrview";
  return !error && fs::exists(viewer) ? viewer.string() : std::string();
}

std::string DataSetDir(DataSet set) {
  switch (set) {
    case DataSet::Sample:
      if (scratch.sample.empty()) {
        scratch.sample = MakeScratch("sample");
        std::error_code ec;
        if (!scratch.sample.empty())
          fs::copy(std::string(KVR_SOURCE_DIR) + "/sample", scratch.sample,
                   fs::copy_options::recursive, ec);
        if (ec) std::fprintf(stderr, "kvrbench: cannot copy the sample data set: %s\n", ec.message().c_str());
      }
      return scratch.sample;
    case DataSet::Empty:
      if (scratch.empty.empty()) {
        scratch.empty = MakeScratch("empty");
        std::error_code ec;
        fs::create_directories(scratch.empty + "/textures", ec);
        fs::copy_file(std::string(KVR_SOURCE_DIR) + "/sample/textures/kvrcursor.dds",
                      scratch.empty + "/textures/kvrcursor.dds", ec);
      }
      return scratch.empty;
    case DataSet::Large: {
      const char* env = std::getenv("KVR_BENCH_SET");
      const std::string dir = env && *env ? env : KVR_BENCH_SET_DIR;
      if (!fs::exists(dir + "/duskfen/KVRStartUp.gam")) {
        std::fprintf(stderr, "kvrbench: writing the 10,000-model data set into %s\n", dir.c_str());
        const std::string command = std::string("'") + KVR_MAKE_BENCH_SET + "' '" + dir + "' >/dev/null";
        if (std::system(command.c_str()) != 0) {
          std::fprintf(stderr, "kvrbench: %s failed\n", KVR_MAKE_BENCH_SET);
          return "";
        }
      }
      return dir;
    }
    case DataSet::Huge: {
      const std::string dir = std::string(KVR_BENCH_SET_DIR) + "-100k";
      if (!fs::exists(dir + "/duskfen/KVRStartUp.gam")) {
        std::fprintf(stderr, "kvrbench: writing the 100,000-model data set into %s\n", dir.c_str());
        const std::string command = std::string("'") + KVR_MAKE_BENCH_SET + "' '" + dir + "' 100000 500 >/dev/null";
        if (std::system(command.c_str()) != 0) {
          std::fprintf(stderr, "kvrbench: %s failed\n", KVR_MAKE_BENCH_SET);
          return "";
        }
      }
      return dir;
    }
    case DataSet::None:
      break;
  }
  return "";
}

bool ShowLargestModelWithPanel() {
  // Triangles of each model, summed in one pass over the level table.
  std::vector<int64_t> triangles(ModelCatalogue.size(), 0);
  for (const LevelBuffer& b : LevelBufferTable)
    if (b.model >= 0 && size_t(b.model) < triangles.size()) triangles[size_t(b.model)] += b.triangleCount;
  if (triangles.empty()) return false;
  const int32_t largest = int32_t(std::max_element(triangles.begin(), triangles.end()) - triangles.begin());
  // The panel lists twenty names with the largest model's among them, as a category of twenty
  // or more would; the rows are whatever names the catalogue starts with.
  ViewerState& s = viewerState;
  s.nameList.clear();
  const size_t rows = size_t(kModelPanelRows);
  for (size_t i = 0; i < ModelCatalogue.size() && s.nameList.size() + 1 < rows; ++i)
    if (int32_t(i) != largest) s.nameList.push_back(ModelCatalogue[i].name);
  s.selectedIndex = int32_t(s.nameList.size());
  s.nameList.push_back(ModelCatalogue[size_t(largest)].name);
  while (s.nameList.size() < rows) s.nameList.push_back(ModelCatalogue[0].name);
  s.firstRow = 0;
  s.displayedModel = largest;
  s.showModelPanel = true;
  s.showCategoryPanel = false;
  s.showAxes = true;
  s.rotate = true;
  return true;
}

}  // namespace bench
