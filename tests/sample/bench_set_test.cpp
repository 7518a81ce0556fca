// The benchmarks' generated data set, at a small size: it must load as cleanly as the bundled
// one and hold what the benchmarks rely on (every polygon kind, one model in ten rebuilt by the
// texture-animation step, keyframe animations that their models find).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "sample_fixture.h"

namespace sampletest {
namespace {

namespace fs = std::filesystem;

std::string BenchSetGenerator() {
#ifdef KVR_MAKE_BENCH_SET
  return ToolPath("KVR_MAKE_BENCH_SET", KVR_MAKE_BENCH_SET, "make_bench_set");
#else
  return ToolPath("KVR_MAKE_BENCH_SET", nullptr, "make_bench_set");
#endif
}

// The flag word of every polygon line in the PIE files under root.
std::set<std::string> PolygonFlags(const fs::path& root) {
  std::set<std::string> flags;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.path().extension() != ".pie") continue;
    std::ifstream in(entry.path());
    int polygonsLeft = 0;
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line);
      std::string first;
      words >> first;
      if (polygonsLeft > 0) {
        flags.insert(first);
        --polygonsLeft;
      } else if (first == "POLYGONS") {
        words >> polygonsLeft;
      }
    }
  }
  return flags;
}

TEST(BenchSet, SmallSetLoadsWithoutALogLineOfDamageAndHoldsWhatTheBenchmarksNeed) {
  testsupport::TempDir dir;
  const std::string generator = BenchSetGenerator();
  ASSERT_TRUE(fs::exists(generator)) << generator;
  const std::string command = "'" + generator + "' '" + dir.path() + "' 200 4 > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  EXPECT_EQ(PolygonFlags(dir.path()),
            (std::set<std::string>{"200", "a00", "2200", "2a00", "4200", "4a00", "6200", "6a00",
                                   "10200", "10a00", "14200", "14a00", "16a00"}));

  kvrtest::ResetInput();
  kvrtest::ResetDeviceSeams();
  ResetProgramTables();
  auto device = testsupport::CreateTestDevice(1024, 768, WindowProc);
  ASSERT_TRUE(device);
  g_pd3dDevice = device->device;
  SetupScene();

  EXPECT_EQ(ModelCatalogue.size(), 200u);
  EXPECT_EQ(TexturePageTable.size(), 4u);
  size_t rebuilt = 0, keyframed = 0, teamColored = 0;
  for (const PieModel& m : ModelCatalogue) {
    rebuilt += m.animated && !m.teamColors;
    keyframed += m.animation != -1;
    teamColored += m.teamColors != 0;
  }
  EXPECT_EQ(rebuilt, 20u);
  EXPECT_EQ(keyframed, 10u);
  EXPECT_EQ(keyframed, Animations.size());
  EXPECT_GT(teamColored, 100u);  // four of the eight categories, and a few switched on
  for (const TexturePage& page : TexturePageTable) EXPECT_NE(page.texture, nullptr) << page.PageName;

  for (const std::string& line : testsupport::ReadLines("KVRerrors.log")) {
    for (const char* damage : {"ailed", "ends ", "left out", "No ANIM3D", "negative", "outside"})
      EXPECT_EQ(line.find(damage), std::string::npos) << line;
  }

  ReleaseDeviceResources();
  ResetProgramTables();
  g_pd3dDevice = nullptr;
}

}  // namespace
}  // namespace sampletest
