// Live reload: files of a loaded data set changed on disk, seen through the change notifications
// and read again in place, the way an editor in another window saves them.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "data/live_reload.h"
#include "loading_fixture.h"

using loadingtest::Triangles;
using testsupport::WriteFile;

namespace {

class LiveReload : public loadingtest::LoadingTest {
 protected:
  void SetUp() override {
    LoadingTest::SetUp();
    WriteFile("duskfen/texpages/page.dds", loadingtest::SolidDds(8, 8, 0xFF2040F0));
    WriteFile("duskfen/texpages/other.dds", loadingtest::SolidDds(8, 8, 0xFF2040F0));
    WriteFile("m/spin.ani", loadingtest::FramesAnimation("Spin", 2, 10));
    WriteFile("m/Animations.gam", "spin.ani");
    WriteFile("m/spin.pie", Triangles(1));
    WriteFile("m/plain.pie", Triangles(2));
    WriteFile("w/plain.pie", Triangles(2));
    LoadAnimations("m/");
    LoadModel("m/", "spin.pie", CategoryStructures);
    LoadModel("m/", "plain.pie", CategoryStructures);
    LoadModel("m/", "plain.pie", CategoryWeapons);  // the same file listed twice
    LoadModel("w/", "plain.pie", CategoryWeapons);
    ASSERT_EQ(ModelCatalogue.size(), 4u);
    StartWatchingDataSet();
  }

  // Polls as the idle loop does, the clock running 20 ms a poll, until something is read again
  // or five seconds of real time have passed.
  bool Reloaded() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
      now_ += 20;
      if (PollDataSetChanges(now_)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  // A quiet spell long enough for any signal to arrive and be acted on.
  bool NothingReloadedFor(int polls) {
    for (int i = 0; i < polls; ++i) {
      now_ += 20;
      if (PollDataSetChanges(now_)) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  static int32_t Triangles0(int32_t model) {
    const int32_t first = FirstLevelBufferOf(model);
    return first < 0 ? -1 : LevelBufferTable[first].triangleCount;
  }

  uint32_t now_ = 1000;
};

TEST_F(LiveReload, SavesInPlaceOrByRenameAreReadAgainAndEveryEntryOfTheFileFollows) {
  EXPECT_TRUE(NothingReloadedFor(10));

  WriteFile("m/spin.pie", Triangles(3));
  ASSERT_TRUE(Reloaded());
  EXPECT_EQ(Triangles0(0), 3);
  EXPECT_EQ(Triangles0(1), 2);

  // A new file written beside the old one and renamed over it.
  WriteFile("m/plain.tmp", Triangles(4));
  ASSERT_EQ(std::rename("m/plain.tmp", "m/plain.pie"), 0);
  ASSERT_TRUE(Reloaded());
  EXPECT_EQ(Triangles0(1), 4);
  EXPECT_EQ(Triangles0(2), 4);  // the same file in the weapons category
  EXPECT_EQ(Triangles0(3), 2);  // another folder's file of the same name
  EXPECT_EQ(Triangles0(0), 3);
  EXPECT_TRUE(NothingReloadedFor(10));
}

TEST_F(LiveReload, AFileThatStopsReadingKeepsTheLastGoodModelWithItsReasonUntilItReadsAgain) {
  WriteFile("m/spin.pie", Triangles(3).substr(0, 70));
  ASSERT_TRUE(Reloaded());
  EXPECT_EQ(Triangles0(0), 1);
  EXPECT_EQ(ReloadFaultOf(0), "Model file ends early, skipped: m/spin.pie");
  EXPECT_EQ(Log().back(), "Model file ends early, skipped: m/spin.pie");
  EXPECT_EQ(ReloadFaultOf(1), "");

  ASSERT_EQ(std::remove("m/spin.pie"), 0);
  ASSERT_TRUE(Reloaded());
  EXPECT_EQ(ReloadFaultOf(0), "Failed to open m/spin.pie");

  WriteFile("m/spin.pie", Triangles(5));
  ASSERT_TRUE(Reloaded());
  EXPECT_EQ(Triangles0(0), 5);
  EXPECT_EQ(ReloadFaultOf(0), "");
}

TEST_F(LiveReload, PagesAndAnimationsAreReadAgainAndTheirFaultsShowOnTheModelsUsingThem) {
  const int32_t page = ModelCatalogue[0].texturePage;
  IDirect3DTexture9* before = TexturePageTable[page].texture;
  WriteFile("duskfen/texpages/page.dds", loadingtest::SolidDds(16, 16, 0xFF10E010));
  ASSERT_TRUE(Reloaded());
  ASSERT_NE(TexturePageTable[page].texture, nullptr);
  EXPECT_NE(TexturePageTable[page].texture, before);

  WriteFile("duskfen/texpages/page.dds", "DDS cut");
  ASSERT_TRUE(Reloaded());
  EXPECT_EQ(ReloadFaultOf(0), "Texture page failed to load: duskfen\\texpages\\page.dds");
  EXPECT_EQ(ReloadFaultOf(1), ReloadFaultOf(0));
  WriteFile("duskfen/texpages/page.dds", loadingtest::SolidDds(8, 8, 0xFF2040F0));
  ASSERT_TRUE(Reloaded());
  EXPECT_EQ(ReloadFaultOf(0), "");

  const int32_t animation = ModelCatalogue[0].animation;
  ASSERT_GE(animation, 0);
  WriteFile("m/spin.ani", loadingtest::FramesAnimation("Spin", 4, 10));
  ASSERT_TRUE(Reloaded());
  EXPECT_EQ(Animations[animation].frameCount, 4);
  WriteFile("m/spin.ani", "ANIM3DFRAMES");
  ASSERT_TRUE(Reloaded());
  EXPECT_EQ(ReloadFaultOf(0), "Animation file ends early m/spin.ani");
  EXPECT_EQ(ReloadFaultOf(1), "");
  EXPECT_EQ(Animations[animation].frameCount, 4);

  // A page that a model asks for only after a reload is watched from then on.
  WriteFile("w/plain.pie", Triangles(2, "other.pcx"));
  ASSERT_TRUE(Reloaded());
  const int32_t other = ModelCatalogue[3].texturePage;
  ASSERT_NE(other, page);
  IDirect3DTexture9* otherBefore = TexturePageTable[other].texture;
  WriteFile("duskfen/texpages/other.dds", loadingtest::SolidDds(32, 32, 0xFF10E010));
  ASSERT_TRUE(Reloaded());
  EXPECT_NE(TexturePageTable[other].texture, otherBefore);
}

TEST_F(LiveReload, AStoppedWatchForgetsItsFilesAndFaults) {
  WriteFile("m/spin.pie", "PIE 2 TYPE");
  ASSERT_TRUE(Reloaded());
  EXPECT_NE(ReloadFaultOf(0), "");
  StopWatchingDataSet();
  EXPECT_EQ(ReloadFaultOf(0), "");
  WriteFile("m/spin.pie", Triangles(6));
  EXPECT_TRUE(NothingReloadedFor(20));
  EXPECT_EQ(Triangles0(0), 1);
  StopWatchingDataSet();  // twice is harmless
}

}  // namespace
