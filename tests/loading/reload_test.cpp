// Reading a model, a texture page and an animation again in place: what changes, what keeps its
// number and position, and what a file that no longer reads leaves behind.
#include <algorithm>

#include "data/model_reload.h"
#include "data/model_sources.h"
#include "loading_fixture.h"

using loadingtest::Triangles;
using testsupport::WriteFile;

namespace {

class Reload : public loadingtest::LoadingTest {
 protected:
  void SetUp() override {
    LoadingTest::SetUp();
    WriteFile("duskfen/texpages/page.dds", loadingtest::SolidDds(8, 8, 0xFF2040F0));
    WriteFile("duskfen/texpages/other.dds", loadingtest::SolidDds(16, 16, 0xFFF04020));
  }

  static std::vector<int32_t> TriangleCounts(int32_t model) {
    std::vector<int32_t> counts;
    for (const LevelBuffer& entry : LevelBufferTable)
      if (entry.model == model) counts.push_back(entry.triangleCount);
    return counts;
  }

  static bool TableInModelOrder() {
    return std::is_sorted(LevelBufferTable.begin(), LevelBufferTable.end(),
                          [](const LevelBuffer& a, const LevelBuffer& b) { return a.model < b.model; });
  }
};

TEST_F(Reload, AModelReadAgainKeepsItsNumberAndBuffersPlaceAndShowsWhatTheFileNowHolds) {
  WriteFile("m/first.pie", Triangles(1));
  WriteFile("m/second.pie", loadingtest::PieModelText(2));
  LoadModel("m/", "first.pie", CategoryStructures);
  LoadModel("m/", "second.pie", CategoryWeapons);
  ASSERT_EQ(ModelCatalogue.size(), 2u);
  EXPECT_EQ(ModelSourcePath(0), "m/first.pie");
  const std::vector<int32_t> secondBefore = TriangleCounts(1);

  // Now three levels on another page: the entry keeps its name, category and team colours.
  WriteFile("m/first.pie", loadingtest::PieModelText(3));
  ModelCatalogue[0].teamColors = 0;
  std::string reason;
  ASSERT_TRUE(ReloadModel(0, reason)) << reason;
  EXPECT_TRUE(reason.empty());
  ASSERT_EQ(ModelCatalogue.size(), 2u);
  EXPECT_EQ(ModelCatalogue[0].name, "first");
  EXPECT_EQ(ModelCatalogue[0].category, CategoryStructures);
  EXPECT_EQ(ModelCatalogue[0].levelCount, 3);
  EXPECT_EQ(ModelCatalogue[0].teamColors, 0);
  EXPECT_EQ(TriangleCounts(0), std::vector<int32_t>({1, 1, 1}));
  EXPECT_TRUE(TableInModelOrder());
  EXPECT_EQ(FirstLevelBufferOf(0), 0);
  EXPECT_EQ(FirstLevelBufferOf(1), 3);
  EXPECT_EQ(TriangleCounts(1), secondBefore);
  EXPECT_EQ(Log().back(), "Reloaded m/first.pie");

  // Fewer levels again, and the second model is untouched by the first one's rebuilds.
  WriteFile("m/first.pie", Triangles(5, "other.pcx"));
  ASSERT_TRUE(ReloadModel(0, reason));
  EXPECT_EQ(TriangleCounts(0), std::vector<int32_t>({5}));
  EXPECT_EQ(TexturePageTable[ModelCatalogue[0].texturePage].PageName, "other.dds");
  EXPECT_EQ(FirstLevelBufferOf(1), 1);
  EXPECT_EQ(TriangleCounts(1), secondBefore);
  ASSERT_TRUE(ReloadModel(1, reason));
  EXPECT_EQ(TriangleCounts(1), secondBefore);
  EXPECT_TRUE(TableInModelOrder());
}

TEST_F(Reload, AFileThatNoLongerReadsLeavesTheLastGoodModelAndSaysWhy) {
  WriteFile("m/model.pie", Triangles(2));
  LoadModel("m/", "model.pie", CategoryStructures);
  ASSERT_EQ(ModelCatalogue.size(), 1u);
  const PieModel before = ModelCatalogue[0];
  const size_t storesBefore = PointStore.size() + PolygonStore.size();

  struct Case {
    std::string contents;  // empty: the file is deleted
    std::string reason;
    bool logged;
  };
  const std::string cut = Triangles(2).substr(0, 90);
  const Case cases[] = {
      {cut, "Model file ends early, skipped: m/model.pie", true},
      {"PIE 2 TYPE 200 TEXTURE 0 page.pcx 256 256 LEVELS -1", "Model file holds a negative count, skipped: m/model.pie", true},
      {"MODEL 2", "Not a PIE model (it does not start with PIE): m/model.pie", false},
      {"", "Failed to open m/model.pie", true},
  };
  for (const Case& c : cases) {
    std::remove("m/model.pie");
    if (!c.contents.empty()) WriteFile("m/model.pie", c.contents);
    const size_t logLines = Log().size();
    std::string reason;
    EXPECT_FALSE(ReloadModel(0, reason));
    EXPECT_EQ(reason, c.reason);
    const std::vector<std::string> log = Log();
    if (c.logged) {
      ASSERT_EQ(log.size(), logLines + 1);
      EXPECT_EQ(log.back(), c.reason);
    } else {
      EXPECT_EQ(log.size(), logLines);
    }
    EXPECT_EQ(ModelCatalogue[0].levelCount, before.levelCount);
    EXPECT_EQ(ModelCatalogue[0].pointStart, before.pointStart);
    EXPECT_EQ(TriangleCounts(0), std::vector<int32_t>({2}));
    EXPECT_EQ(PointStore.size() + PolygonStore.size(), storesBefore);
  }
  std::string reason;
  EXPECT_FALSE(ReloadModel(1, reason));
  EXPECT_FALSE(ReloadModel(-1, reason));
}

TEST_F(Reload, APageReadAgainSwapsItsTextureOnlyWhenTheNewFileLoads) {
  WriteFile("m/model.pie", Triangles(1));
  LoadModel("m/", "model.pie", CategoryStructures);
  const int32_t page = ModelCatalogue[0].texturePage;
  ASSERT_GE(page, 0);
  EXPECT_EQ(TexturePagePath(page), "duskfen\\texpages\\page.dds");
  IDirect3DTexture9* before = TexturePageTable[page].texture;
  ASSERT_TRUE(before);
  const uint64_t bytesBefore = TexturePageBytes();

  WriteFile("duskfen/texpages/page.dds", loadingtest::SolidDds(32, 32, 0xFF10E010));
  ASSERT_TRUE(ReloadTexturePage(page));
  IDirect3DTexture9* after = TexturePageTable[page].texture;
  ASSERT_TRUE(after);
  D3DSURFACE_DESC desc = {};
  ASSERT_TRUE(SUCCEEDED(after->GetLevelDesc(0, &desc)));
  EXPECT_EQ(desc.Width, 32u);
  // The held bytes follow the swap: an 8 x 8 page gave way to a 32 x 32 one.
  EXPECT_GT(TexturePageBytes(), bytesBefore);
  const uint64_t bytesAfter = TexturePageBytes();

  WriteFile("duskfen/texpages/page.dds", "DDS not really");
  const size_t logLines = Log().size();
  EXPECT_FALSE(ReloadTexturePage(page));
  EXPECT_EQ(TexturePageTable[page].texture, after);
  EXPECT_EQ(TexturePageBytes(), bytesAfter);
  const std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), logLines + 2);
  EXPECT_EQ(log[logLines], "duskfen\\texpages\\page.dds");
  EXPECT_EQ(log[logLines + 1], "Failed to create texture NewTexture");
  EXPECT_FALSE(ReloadTexturePage(7));
  EXPECT_EQ(TexturePagePath(7), "");
}

TEST_F(Reload, AnAnimationReadAgainKeepsItsNumberAndStartsFromItsFirstFrame) {
  WriteFile("m/spin.ani", loadingtest::FramesAnimation("Spin", 3, 10));
  WriteFile("m/walk.ani", loadingtest::FramesAnimation("Walk", 2, 5));
  WriteFile("m/Animations.gam", "spin.ani walk.ani");
  LoadAnimations("m/");
  ASSERT_EQ(Animations.size(), 2u);
  ASSERT_EQ(AnimationSourcePaths.size(), 2u);
  EXPECT_EQ(AnimationSourcePaths[1], "m/walk.ani");
  AnimationCounters[0] = 2;

  WriteFile("m/spin.ani", loadingtest::FramesAnimation("Spin", 5, 20));
  std::string reason;
  ASSERT_TRUE(ReloadAnimation(0, reason)) << reason;
  EXPECT_EQ(Animations[0].frameCount, 5);
  EXPECT_EQ(Animations[0].frameRate, 20);
  EXPECT_EQ(AnimationCounters[0], 0);
  EXPECT_EQ(FindAnimation("spin"), 0);
  EXPECT_EQ(FindAnimation("walk"), 1);
  AnimationFrame frame;
  AnimationCounters[0] = 4;
  ASSERT_TRUE(GetAnimationFrame(0, 0, frame));
  EXPECT_EQ(frame.position[0], 4);
  EXPECT_EQ(Animations[1].frameCount, 2);

  // A file caught half written keeps the animation as it was.
  WriteFile("m/spin.ani", loadingtest::FramesAnimation("Spin", 5, 20).substr(0, 60));
  EXPECT_FALSE(ReloadAnimation(0, reason));
  EXPECT_EQ(reason, "Animation file ends early m/spin.ani");
  EXPECT_EQ(Animations[0].frameCount, 5);
  WriteFile("m/spin.ani", "nothing here");
  EXPECT_FALSE(ReloadAnimation(0, reason));
  EXPECT_EQ(reason, "No ANIM3DFRAMES or ANIM3DTRANS in m/spin.ani");
  EXPECT_EQ(Log().back(), reason);
  EXPECT_FALSE(ReloadAnimation(2, reason));
}

}  // namespace
