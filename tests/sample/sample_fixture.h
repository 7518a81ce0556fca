// The bundled data set, copied into a scratch folder (the viewer writes its log where it runs),
// loaded by the program's own scene set-up on a headless 1024 x 768 device.
#pragma once
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
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
#include "data/animations.h"
#include "data/category_manifests.h"
#include "data/model_loader.h"
#include "model/model_catalogue.h"
#include "model/level_buffers.h"
#include "model/model_drawing.h"
#include "model/model_geometry.h"
#include "model/pie_parser.h"
#include "model/texture_pages.h"
#include "overlay/loading_screen.h"
#include "overlay/overlays.h"
#include "program_tables.h"
#include "test_support.h"

namespace sampletest {

// A generator of tools/: the path in the environment variable if set, else the one the build
// handed in (null when none), else `name` in the build folder above this test program's own.
inline std::string ToolPath(const char* variable, const char* built, const char* name) {
  if (const char* env = std::getenv(variable)) return env;
  if (built) return built;
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (self.parent_path().parent_path() / name).string();
}

inline std::string SampleDir() { return std::string(KVR_SOURCE_DIR) + "/sample"; }

// What the data set holds; the tests below check the loaded catalogue against it.
struct Expected {
  ModelCategory category;
  std::vector<std::string> names;
};
inline const std::vector<Expected>& ExpectedModels() {
  static const std::vector<Expected> models = {
      {CategoryBodies, {"viper", "cobra", "python", "bug", "mantis"}},
      {CategoryFeatures, {"pine", "oak", "palm", "boulder", "rocks", "hut", "wreck", "flagpole", "barrels"}},
      {CategoryMiscelaneous, {"pumpjack", "derrick", "crate", "beacon", "lamppost", "artifact"}},
      {CategoryResearch, {"atom", "globe", "monitor", "rocket", "flask", "gears", "chip"}},
      {CategoryEffects, {"blast", "fireball", "smoke", "fire", "tracer", "muzzle"}},
      {CategoryPropulsions, {"tracks", "halftrk", "wheels", "hover", "legs", "vtol"}},
      {CategoryStructures, {"hq", "factory", "bunker", "tower", "powergen", "silos", "fortwall", "windmill"}},
      {CategoryWeapons, {"cannon", "mgun", "howitzr", "rockets", "mortar", "laser", "gatling", "flamer"}},
  };
  return models;
}


class SampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::make_unique<testsupport::TempDir>();
    std::filesystem::copy(SampleDir(), dir_->path(), std::filesystem::copy_options::recursive);
    kvrtest::ResetInput();
    kvrtest::ResetDeviceSeams();
    kvrtest::SetTime(50000);
    ResetProgramTables();
    device_ = testsupport::CreateTestDevice(1024, 768, WindowProc);
    ASSERT_TRUE(device_);
    g_pd3dDevice = device_->device;
    // The pointer rests away from the panels and the zooming screen edges.
    kvrtest::SetCursorPos(900, 500);
    SetupScene();
  }

  void TearDown() override {
    ReleaseDeviceResources();  // every page texture and level buffer too
    ResetProgramTables();
    g_pd3dDevice = nullptr;
    device_.reset();
    kvrtest::UseRealClock();
    kvrtest::ResetInput();
    dir_.reset();
  }

  static std::vector<std::string> Log() { return testsupport::ReadLines("KVRerrors.log"); }

  std::unique_ptr<testsupport::TestDevice> device_;
  std::unique_ptr<testsupport::TempDir> dir_;
};

}  // namespace sampletest
