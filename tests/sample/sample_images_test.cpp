// Headless renders of the bundled data set through the viewer's own frame: every model must put
// textured pixels on the screen, and the viewer with its panels becomes docs/screenshot.png.
//
// The images go to the test output folder; tools/make_docs_images.sh refreshes the committed
// screenshot (the contact sheet is made by kvrview --sheet).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sample_fixture.h"

namespace sampletest {
namespace {

std::string ImagePath(const std::string& name) {
  const char* docs = std::getenv("KVR_DOCS_DIR");
  if (docs && *docs) return std::string(docs) + "/" + name;
  return testsupport::OutputPath(name);
}

// Background of the renders: the three sliders set the clear colour.
void SetBackground(int r, int g, int b) {
  viewerState.sliderRed = r;
  viewerState.sliderGreen = g;
  viewerState.sliderBlue = b;
  SetColorBar(r, 0);
  SetColorBar(g, 1);
  SetColorBar(b, 2);
}

// Pixels of the rectangle that differ from the background colour.
int Covered(const kvrtest::Image& img, int x0, int y0, int x1, int y1, uint32_t background) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if ((img.At(x, y) & 0x00FFFFFF) != (background & 0x00FFFFFF)) ++n;
  return n;
}

TEST_F(SampleTest, EveryModelDrawsOnScreen) {
  SetBackground(34, 40, 52);
  const uint32_t background = 0xFF000000u | 34u << 16 | 40u << 8 | 52u;
  for (int category : {CategoryStructures, CategoryBodies, CategoryPropulsions, CategoryWeapons,
                       CategoryFeatures, CategoryMiscelaneous, CategoryResearch, CategoryEffects}) {
    SelectCategory(category);
    viewerState.showModelPanel = false;
    if (viewerState.nameList.empty())  // the log says why the category loaded nothing
      for (const std::string& line : Log()) std::printf("%s\n", line.c_str());
    ASSERT_FALSE(viewerState.nameList.empty()) << category;
    for (size_t i = 0; i < viewerState.nameList.size(); ++i) {
      SelectListEntry(static_cast<int32_t>(i));
      ASSERT_NE(viewerState.displayedModel, -1) << viewerState.nameList[i];
      // Let the animations run a little so that keyframe models are caught mid-move.
      for (int step = 0; step < 3; ++step) {
        kvrtest::AdvanceTime(130);
        RenderFrame();
      }
      kvrtest::Image frame = kvrtest::ReadBackBuffer(g_pd3dDevice);
      kvrtest::WritePng(testsupport::OutputPath("sample-" + viewerState.nameList[i] + ".png"), frame);
      // The model sits about the middle of the screen; the name is drawn at the top.
      int covered = Covered(frame, 212, 84, 812, 684, background);
      EXPECT_GT(covered, 600 * 600 / 20) << viewerState.nameList[i] << " barely shows";
    }
  }
}

TEST_F(SampleTest, ScreenshotShowsAModelItsNameTheCategoryPanelAndTheColourBars) {
  SetBackground(52, 74, 96);
  viewerState.rotate = true;
  viewerState.showCategoryPanel = true;
  // Hovering the structures row, which lights it green.
  kvrtest::SetCursorPos(70, 128);
  for (int step = 0; step < 12; ++step) {
    kvrtest::AdvanceTime(100);
    PollCursor();
    RenderFrame();
  }
  kvrtest::Image frame = kvrtest::ReadBackBuffer(g_pd3dDevice);
  EXPECT_GT(Covered(frame, 212, 84, 812, 684, 0xFF344A60), 600 * 600 / 20);
  EXPECT_TRUE(kvrtest::WritePng(ImagePath("screenshot.png"), frame));
}

}  // namespace
}  // namespace sampletest
