// The loading screen as presented: yellow progress lines from (400, 300) down, two red lines below.
#include "app/scene.h"
#include "data/load_sequence.h"
#include "loading_fixture.h"
#include "overlay/bitmap_font.h"

using testsupport::WriteFile;

namespace {

bool Yellow(uint32_t p) {
  const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return r > 200 && g > 200 && b < 80;
}
bool Red(uint32_t p) {
  const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return r > 200 && g < 60 && b < 60;
}

// The bounding box of the pixels in [y0, y1) that pass the test; left > right when there are none.
struct Box {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
  bool empty() const { return right < 0; }
};
Box Find(const kvrtest::Image& image, int y0, int y1, bool (*test)(uint32_t)) {
  Box box;
  for (int y = y0; y < y1 && y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (test(image.At(x, y))) {
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
      }
  return box;
}

class LoadingScreen : public loadingtest::LoadingTest {
 protected:
  // Yellow text in each 20-pixel band from y 300 down, true where a band holds some.
  std::vector<bool> YellowBands(const kvrtest::Image& image) {
    std::vector<bool> bands;
    for (int i = 0; i < 12; ++i) bands.push_back(!Find(image, 300 + 20 * i, 320 + 20 * i, Yellow).empty());
    return bands;
  }
  void ExpectRedLines(const kvrtest::Image& image) {
    for (int y : {700, 720}) {
      Box red = Find(image, y, y + 20, Red);
      ASSERT_FALSE(red.empty()) << y;
      EXPECT_NEAR(red.left, 400, 4) << y;
      EXPECT_LE(red.top, y + 6) << y;
    }
    EXPECT_TRUE(Find(image, 0, 300, Red).empty());
    EXPECT_TRUE(Find(image, 0, 300, Yellow).empty());
    EXPECT_TRUE(Find(image, 740, 768, Red).empty());
  }
};

TEST_F(LoadingScreen, TheFirstFrameShowsTheStartLineInYellowAndTheTwoRedLines) {
  CreateScreenFont();
  ShowLoadingLine("Brennick starting up");
  EXPECT_EQ(kvrtest::GetCounters(g_pd3dDevice).presents, 1u);
  kvrtest::Image image = kvrtest::ReadBackBuffer(g_pd3dDevice);
  kvrtest::WritePng(testsupport::OutputPath("loading_first_frame.png"), image);
  Box start = Find(image, 300, 320, Yellow);
  ASSERT_FALSE(start.empty());
  EXPECT_NEAR(start.left, 400, 4);
  EXPECT_LE(start.top, 306);
  EXPECT_GT(start.right, 480);  // twenty characters, not one
  std::vector<bool> expected(12, false);
  expected[0] = true;
  EXPECT_EQ(YellowBands(image), expected);
  ExpectRedLines(image);
  EXPECT_EQ(image.At(10, 10), 0xFF000000u);
}

TEST_F(LoadingScreen, AfterNineLabelsTenYellowLinesRunFrom300To480) {
  WriteFile("textures/kvrcursor.dds", loadingtest::SolidDds(32, 32, 0xFFFFFFFF));
  const char* labels[] = {"Animations:", "Bodies:", "Features:", "Miscelaneous:", "MiscelaneousIMD:",
                          "Effects:", "Propulsions:", "Structures:", "Weapons:"};
  std::string manifest;
  for (const char* label : labels) manifest += std::string(label) + " empty\\\n";
  WriteFile("duskfen/KVRStartUp.gam", manifest);
  for (const char* file : {"Animations.gam", "Bodies.gam", "Features.gam", "Miscelaneous.gam",
                           "MiscelaneousIMD.gam", "Effects.gam", "Propulsions.gam", "Structures.gam",
                           "Weapons.gam"})
    WriteFile(std::string("empty/") + file, "");
  LoadDataSet();
  EXPECT_EQ(kvrtest::GetCounters(g_pd3dDevice).presents, 10u);
  kvrtest::Image image = kvrtest::ReadBackBuffer(g_pd3dDevice);
  kvrtest::WritePng(testsupport::OutputPath("loading_ten_lines.png"), image);
  std::vector<bool> expected(12, false);
  for (int i = 0; i < 10; ++i) expected[i] = true;
  EXPECT_EQ(YellowBands(image), expected);
  Box tenth = Find(image, 480, 500, Yellow);
  EXPECT_NEAR(tenth.left, 400, 4);
  ExpectRedLines(image);
}

TEST_F(LoadingScreen, MoreThanTenMessagesOrLongOnesNeverOverrunTheTable) {
  CreateScreenFont();
  const std::string longMessage(200, 'W');
  for (int i = 0; i < 12; ++i) ShowLoadingLine(i == 3 ? longMessage.c_str() : "Loading");
  EXPECT_EQ(kvrtest::GetCounters(g_pd3dDevice).presents, 12u);
  kvrtest::Image image = kvrtest::ReadBackBuffer(g_pd3dDevice);
  std::vector<bool> expected(12, false);
  for (int i = 0; i < 10; ++i) expected[i] = true;
  EXPECT_EQ(YellowBands(image), expected);
  // The long message is drawn whole, to the screen's edge.
  EXPECT_GT(Find(image, 360, 380, Yellow).right, 1000);
}

}  // namespace
