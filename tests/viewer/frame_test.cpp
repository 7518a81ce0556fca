// The frame: its clock, the frame count, the model's rotation and the background colour.
#include <cmath>

#include "app/controls.h"
#include "viewer_fixture.h"

using FrameTest = ViewerTest;

TEST_F(FrameTest, TheFirstSecondShowsFpsZeroThenTheFramesOfTheFinishedWindow) {
  for (int i = 0; i < 5; ++i) {
    RenderFrame();
    kvrtest::AdvanceTime(100);
  }
  kvrtest::Image frame = Frame();  // 500 ms after the first frame
  EXPECT_EQ(viewerState.fpsShown, 0u);
  EXPECT_EQ(viewerState.framesCounted, 6u);
  kvrtest::Image expected = Reference([] {
    DrawTextYellow(700, -2, "FPS");
    DrawNumberYellow(740, -2, 0);
  });
  Save("viewer_fps_first_second.png", frame);
  EXPECT_GT(Lit(expected, 700, 0, 800, 20), 0);
  EXPECT_EQ(Differences(frame, expected, 680, 0, 900, 24), 0);

  // 1001 ms after the window opened: this frame closes it and is counted in neither window.
  kvrtest::AdvanceTime(501);
  frame = Frame();
  EXPECT_EQ(viewerState.fpsShown, 6u);
  EXPECT_EQ(viewerState.framesCounted, 0u);
  expected = Reference([] {
    DrawTextYellow(700, -2, "FPS");
    DrawNumberYellow(740, -2, 6);
  });
  EXPECT_EQ(Differences(frame, expected, 680, 0, 900, 24), 0);

  // Exactly 1000 ms later the new window is still open.
  kvrtest::AdvanceTime(1000);
  RenderFrame();
  EXPECT_EQ(viewerState.fpsShown, 6u);
  EXPECT_EQ(viewerState.framesCounted, 1u);
}

TEST_F(FrameTest, TheFrameClockSurvivesTheCounterWrapAndLongUptimes) {
  // Ten days after boot a float reading of the counter has a resolution of 64 ms; the frame
  // still sees every millisecond, and across the wrap at 2^32 ms too.
  kvrtest::SetTime(864000000u);
  viewerState.rotate = true;
  RenderFrame();
  kvrtest::AdvanceTime(1);
  RenderFrame();
  EXPECT_NEAR(viewerState.rotationPhase, 0.0001f, 1e-7f);

  viewerState = ViewerState{};
  viewerState.rotate = true;
  kvrtest::SetTime(0xFFFFFF00u);
  RenderFrame();
  kvrtest::AdvanceTime(0x100 + 2000);  // wraps past zero
  RenderFrame();
  EXPECT_NEAR(viewerState.rotationPhase, 0.2256f, 1e-5f);
  EXPECT_EQ(viewerState.fpsShown, 1u);  // the window closed after the wrap
}

TEST_F(FrameTest, RotationMakesOneTurnPerTenSecondsAndTenTimesSlowerWithTheRightButton) {
  viewerState.rotate = true;
  RenderFrame();  // the first frame sees no elapsed time
  EXPECT_EQ(viewerState.rotationPhase, 0.0f);
  for (int i = 0; i < 25; ++i) {
    kvrtest::AdvanceTime(100);
    RenderFrame();
  }
  EXPECT_NEAR(viewerState.rotationPhase, 0.25f, 1e-5f);
  kvrtest::AdvanceTime(7600);  // one full turn and 100 ms: back near the start
  RenderFrame();
  EXPECT_NEAR(viewerState.rotationPhase, 0.01f, 1e-4f);

  Send(WM_RBUTTONDOWN);
  EXPECT_TRUE(viewerState.rightHeld);
  kvrtest::AdvanceTime(25000);
  RenderFrame();
  EXPECT_NEAR(viewerState.rotationPhase, 0.26f, 1e-4f);
  Send(WM_RBUTTONUP);
  kvrtest::AdvanceTime(2500);
  RenderFrame();
  EXPECT_NEAR(viewerState.rotationPhase, 0.51f, 1e-4f);

  // R stops the model at its angle; time passing while stopped does not jump it later.
  Send(WM_KEYDOWN, 'R');
  EXPECT_FALSE(viewerState.rotate);
  kvrtest::AdvanceTime(3000);
  RenderFrame();
  EXPECT_NEAR(viewerState.rotationPhase, 0.51f, 1e-4f);
  Send(WM_KEYDOWN, 'R');
  kvrtest::AdvanceTime(100);
  RenderFrame();
  EXPECT_NEAR(viewerState.rotationPhase, 0.52f, 1e-4f);

  // A stall of several turns still leaves a fraction of a turn.
  kvrtest::AdvanceTime(32000);
  RenderFrame();
  EXPECT_GE(viewerState.rotationPhase, 0.0f);
  EXPECT_LE(viewerState.rotationPhase, 1.0f);
  EXPECT_NEAR(viewerState.rotationPhase, 0.72f, 1e-3f);
}

TEST_F(FrameTest, SlidersSetAnOpaqueBackground) {
  viewerState.sliderRed = 255;
  kvrtest::Image frame = Frame();
  Save("viewer_red_background.png", frame);
  EXPECT_EQ(frame.At(512, 400), 0xFFFF0000u);
  EXPECT_EQ(frame.At(1023, 0), 0xFFFF0000u);

  viewerState.sliderRed = 0;
  viewerState.sliderGreen = 0x12;
  viewerState.sliderBlue = 0x340;  // taken modulo 256
  frame = Frame();
  EXPECT_EQ(frame.At(512, 400), 0xFF001240u);
}

TEST_F(FrameTest, APaintMessageDrawsAndPresentsAFrame) {
  kvrtest::ResetCounters(g_pd3dDevice);
  viewerState.clickPending = true;
  Send(WM_PAINT);
  kvrtest::DeviceCounters counters = kvrtest::GetCounters(g_pd3dDevice);
  EXPECT_EQ(counters.presents, 1u);
  EXPECT_EQ(counters.clears, 1u);
  EXPECT_GT(counters.drawCalls, 0u);
  EXPECT_FALSE(viewerState.clickPending);  // a click on no row is dropped with the frame
}

TEST_F(FrameTest, TheNameOfTheDisplayedModelIsDrawnAboveIt) {
  AddModels("Bunker", 3, CategoryStructures);
  ListModelsOfCategory(viewerState.nameList, CategoryStructures);
  SelectListEntry(1);
  ASSERT_EQ(viewerState.displayedModel, 1);
  kvrtest::Image frame = Frame();
  kvrtest::Image expected = Reference([] { DrawTextYellow(400, 0, "Bunker1"); });
  EXPECT_GT(Lit(expected, 400, 0, 600, 24), 0);
  EXPECT_EQ(Differences(frame, expected, 380, 0, 660, 24), 0);

  // A name missing from the catalogue leaves nothing displayed and nothing named.
  viewerState.nameList.push_back("Ghost");
  SelectListEntry(3);
  EXPECT_EQ(viewerState.displayedModel, -1);
  frame = Frame();
  EXPECT_EQ(Lit(frame, 380, 0, 660, 24), 0);
}

TEST_F(FrameTest, AMissingStartUpManifestIsNamedInRedUnderTheModelName) {
  const kvrtest::Image without = Frame();
  EXPECT_EQ(Lit(without, 400, 20, 1024, 40), 0);

  viewerState.startUpManifestMissing = true;
  const kvrtest::Image with = Frame();
  Save("frame_missing_manifest.png", with);
  int red = 0;
  for (int y = 20; y < 40; ++y)
    for (int x = 400; x < 1024; ++x) {
      const uint32_t c = with.At(x, y);
      if (((c >> 16) & 0xFF) > 180 && ((c >> 8) & 0xFF) < 80 && (c & 0xFF) < 80) ++red;
    }
  EXPECT_GT(red, 200);
  // Nothing else of the frame moves: the line stays within its strip.
  EXPECT_EQ(Differences(without, with, 0, 0, 1024, 20), 0);
  EXPECT_EQ(Differences(without, with, 0, 40, 1024, 768), 0);
}

TEST_F(FrameTest, F1ListsTheControlsOverTheSceneAndASecondF1TakesThemAway) {
  AddModels("Pylon", 25, CategoryStructures);
  ListModelsOfCategory(viewerState.nameList, CategoryStructures);
  viewerState.showModelPanel = true;
  const kvrtest::Image before = Frame();

  Send(WM_KEYDOWN, VK_F1);
  const kvrtest::Image shown = Frame();
  Save("frame_help.png", shown);
  // One row for the heading and one for each control, right of the panel.
  const int bottom = 60 + 18 * static_cast<int>(kControlCount + 1);
  EXPECT_GT(Differences(before, shown, 160, 60, 1024, bottom), 3000);
  for (size_t i = 0; i <= kControlCount; ++i) {
    const int y = 60 + 18 * static_cast<int>(i);
    EXPECT_GT(Lit(shown, 170, y, 1024, y + 18), 20) << "row " << i;
  }
  // The panel, the frame count and the sliders stay as they were.
  EXPECT_EQ(Differences(before, shown, 0, 0, 160, 768), 0);
  EXPECT_EQ(Differences(before, shown, 0, 0, 1024, 20), 0);
  EXPECT_EQ(Differences(before, shown, 0, 740, 1024, 768), 0);

  Send(WM_KEYDOWN, VK_F1);
  const kvrtest::Image hidden = Frame();
  EXPECT_EQ(Differences(before, hidden, 0, 0, 1024, 768), 0);
}
