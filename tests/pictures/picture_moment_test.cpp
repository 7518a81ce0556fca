// What the pictures read of a loaded model: the vertices drawn at a moment, placed as drawn, and
// the moment itself set from a number of milliseconds.
#include <algorithm>

#include "data/animation_clock.h"
#include "loading/loading_fixture.h"
#include "model/model_bounds.h"

using testsupport::WriteFile;

namespace {

class PictureMoment : public loadingtest::LoadingTest {
 protected:
  void SetUp() override {
    LoadingTest::SetUp();
    WriteFile("duskfen/texpages/page.dds", loadingtest::SolidDds(8, 8, 0xFF2040F0));
  }

  // Loads the animation (when given), then the model; returns the model's number.
  int32_t Load(const std::string& animation, const std::string& model) {
    WriteFile("m/Animations.gam", animation.empty() ? "" : "a.ani");
    if (!animation.empty()) WriteFile("m/a.ani", animation);
    LoadAnimations("m/");
    WriteFile("m/thing.pie", model);
    LoadModel("m/", "thing.pie", CategoryStructures);
    return FindModelByName("thing");
  }

  static float Largest(const std::vector<float>& xyz, int axis) {
    float most = -1e30f;
    for (size_t i = axis; i < xyz.size(); i += 3) most = std::max(most, xyz[i]);
    return most;
  }
};

TEST_F(PictureMoment, TheVerticesAreThoseOfTheLevelsDrawnNowInSceneUnits) {
  // Level L reaches 10 * (L + 1) units along x; a frames animation at ten a second shows one.
  const int32_t m = Load(loadingtest::FramesAnimation("thing", 3, 10), loadingtest::PieModelText(3));
  ASSERT_GE(m, 0);
  std::vector<float> xyz;
  ASSERT_TRUE(DrawnVertices(m, xyz));
  EXPECT_EQ(xyz.size(), 9u);  // level 0's one triangle
  EXPECT_FLOAT_EQ(Largest(xyz, 0), 10.0f);
  SetModelToTime(m, 250);  // frame 2
  EXPECT_EQ(LevelsDrawnNow(m).first, 2);
  ASSERT_TRUE(DrawnVertices(m, xyz));
  EXPECT_FLOAT_EQ(Largest(xyz, 0), 30.0f);
  SetModelToTime(m, 300);  // round to frame 0
  ASSERT_TRUE(DrawnVertices(m, xyz));
  EXPECT_FLOAT_EQ(Largest(xyz, 0), 10.0f);
}

TEST_F(PictureMoment, ATransformAnimationMovesTheVerticesAsItMovesTheLevels) {
  // Every frame moves the levels 5 units up (the file's third position number is y).
  const int32_t m = Load(loadingtest::TransAnimation("thing", 2, 10, 2, {0, 0, 50000, 0, 0, 0, 0, 0, 0}),
                         loadingtest::PieModelText(2));
  ASSERT_GE(m, 0);
  std::vector<float> xyz;
  ASSERT_TRUE(DrawnVertices(m, xyz));
  EXPECT_EQ(xyz.size(), 18u);  // both levels
  EXPECT_FLOAT_EQ(Largest(xyz, 1), 15.0f);
  EXPECT_FLOAT_EQ(Largest(xyz, 0), 20.0f);
}

TEST_F(PictureMoment, TheTextureStripShowsTheFrameOfTheMoment) {
  // Four strip frames of 64 texels a row; the buffer's texture coordinates move along with the frame.
  SetTeamColorsFlag(false);
  const int32_t m = Load("", "PIE 2\nTYPE 200\nTEXTURE 0 page.pcx 256 256\nLEVELS 1\nLEVEL 1\nPOINTS 3\n"
                             " 0 0 0\n 10 0 0\n 0 10 0\nPOLYGONS 1\n 4200 3 0 1 2 4 1 64 32 0 0 64 0 64 32\n");
  ASSERT_GE(m, 0);
  const auto firstU = [&] {
    const LevelBuffer& entry = LevelBufferTable[FirstLevelBufferOf(m)];
    void* data = nullptr;
    EXPECT_TRUE(SUCCEEDED(entry.buffer->Lock(0, 0, &data, D3DLOCK_READONLY)));
    const float u = static_cast<const PieVertex*>(data)->u;
    entry.buffer->Unlock();
    return u;
  };
  EXPECT_FLOAT_EQ(firstU(), 0.0f);
  SetModelToTime(m, 250);
  EXPECT_EQ(ModelCatalogue[m].frame, 2);
  EXPECT_FLOAT_EQ(firstU(), 128.0f / 256.0f);
  SetModelToTime(m, 0);
  EXPECT_FLOAT_EQ(firstU(), 0.0f);
}

TEST_F(PictureMoment, AModelWithoutTrianglesHasNoVertices) {
  const int32_t m = Load("", "PIE 2\nTYPE 200\nTEXTURE 0 page.pcx 256 256\nLEVELS 1\nLEVEL 1\nPOINTS 1\n"
                             " 5 5 5\nPOLYGONS 0\n");
  ASSERT_GE(m, 0);
  std::vector<float> xyz = {1, 2, 3};
  EXPECT_TRUE(DrawnVertices(m, xyz));
  EXPECT_TRUE(xyz.empty());
  EXPECT_TRUE(DrawnVertices(-1, xyz));
  EXPECT_TRUE(xyz.empty());
}

}  // namespace
