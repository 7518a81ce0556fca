// The mouse wheel's zoom and the left drag that turns the model.
#include <cmath>

#include "app/main_loop.h"
#include "viewer_fixture.h"

namespace {

class MouseTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    ResetCamera();  // eye z -224, height 47
  }
  void Wheel(int delta) {
    kvrtest::PostScriptedMessage(hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
    Pump();
  }
  // The pointer where the idle tick would have read it, then a message.
  void PointerAt(int x, int y, UINT message) {
    viewerState.mouseX = static_cast<int16_t>(x);
    viewerState.mouseY = static_cast<int16_t>(y);
    Send(message);
  }
};

// The farthest the wheel takes the eye at height 47: 1900 from the origin.
const float kFarthestZ = -std::sqrt(1900.0f * 1900.0f - 47.0f * 47.0f);

}  // namespace

TEST_F(MouseTest, WheelNotchesMoveTheEyeATenthWithinTheNearAndFarLimits) {
  Wheel(WHEEL_DELTA);  // away from the user: towards the model
  EXPECT_FLOAT_EQ(camera.eyeZ, -224.0f * 0.9f);
  D3DMATRIX view = {};
  g_pd3dDevice->GetTransform(D3DTS_VIEW, &view);
  EXPECT_NEAR(view._43, std::hypot(47.0f, camera.eyeZ), 0.01f);  // the view follows
  Wheel(-WHEEL_DELTA);
  EXPECT_NEAR(camera.eyeZ, -224.0f, 0.001f);

  Wheel(40 * WHEEL_DELTA);  // a fast spin: many notches in one message
  EXPECT_EQ(camera.eyeZ, -50.0f);
  Wheel(-32768);
  EXPECT_FLOAT_EQ(camera.eyeZ, kFarthestZ);
  Wheel(-WHEEL_DELTA);
  EXPECT_FLOAT_EQ(camera.eyeZ, kFarthestZ);

  // An eye the Down key took further is never pulled in by the wheel turned away.
  camera.eyeZ = -2500.0f;
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(camera.eyeZ, -2500.0f);
  Wheel(WHEEL_DELTA);
  EXPECT_FLOAT_EQ(camera.eyeZ, -2250.0f);

  // Fine steps add up to notches; a turn the other way drops what was gathered.
  camera.eyeZ = -200.0f;
  for (int i = 0; i < 3; ++i) Wheel(40);
  EXPECT_FLOAT_EQ(camera.eyeZ, -180.0f);
  Wheel(60);
  Wheel(-60);
  Wheel(-59);
  EXPECT_FLOAT_EQ(camera.eyeZ, -180.0f);
  Wheel(-1);
  EXPECT_FLOAT_EQ(camera.eyeZ, -200.0f);
}

TEST_F(MouseTest, ADragOffThePanelsTurnsTheModelAScreenWidthAFullTurn) {
  PointerAt(600, 400, WM_LBUTTONDOWN);
  PointerAt(856, 410, WM_MOUSEMOVE);  // a quarter of the screen to the right: the front follows
  EXPECT_FLOAT_EQ(viewerState.rotationPhase, 0.75f);
  PointerAt(344, 420, WM_MOUSEMOVE);
  EXPECT_FLOAT_EQ(viewerState.rotationPhase, 0.25f);
  PointerAt(472, 420, WM_LBUTTONUP);  // the release's own movement counts
  EXPECT_FLOAT_EQ(viewerState.rotationPhase, 0.125f);
  PointerAt(0, 420, WM_MOUSEMOVE);  // no button, no turn
  EXPECT_FLOAT_EQ(viewerState.rotationPhase, 0.125f);

  // The idle tick reads the pointer and turns before it draws, always within [0, 1).
  PointerAt(100, 600, WM_LBUTTONDOWN);
  for (int x = 100; x <= 1000; x += 100) {
    kvrtest::SetCursorPos(x, 600);
    IdleTick();
    EXPECT_GE(viewerState.rotationPhase, 0.0f);
    EXPECT_LT(viewerState.rotationPhase, 1.0f);
  }
  EXPECT_NEAR(viewerState.rotationPhase, 0.125f - 900.0f / 1024.0f + 1.0f, 1e-5f);
  Send(WM_LBUTTONUP);

  // R turns on from the dragged angle, a tenth of a turn a second.
  const float dragged = viewerState.rotationPhase;
  Send(WM_KEYDOWN, 'R');
  kvrtest::AdvanceTime(500);
  Frame();
  EXPECT_NEAR(viewerState.rotationPhase, std::fmod(dragged + 0.05f, 1.0f), 1e-5f);
}

TEST_F(MouseTest, PressesOnTheSlidersAndOnAShownPanelsRowsKeepTheirOldMeaning) {
  PointerAt(300, 758, WM_LBUTTONDOWN);  // on the green slider
  PointerAt(420, 758, WM_MOUSEMOVE);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(viewerState.sliderGreen, 125);
  EXPECT_EQ(viewerState.rotationPhase, 0.0f);

  // A drag begun above the strip turns until it reaches a slider, which takes the movement.
  PointerAt(400, 700, WM_LBUTTONDOWN);
  PointerAt(656, 700, WM_MOUSEMOVE);
  PointerAt(656, 758, WM_MOUSEMOVE);
  PointerAt(600, 758, WM_MOUSEMOVE);
  EXPECT_EQ(viewerState.sliderBlue, 25);
  EXPECT_FLOAT_EQ(viewerState.rotationPhase, 0.75f);
  PointerAt(600, 700, WM_MOUSEMOVE);
  PointerAt(344, 700, WM_LBUTTONUP);
  EXPECT_FLOAT_EQ(viewerState.rotationPhase, 0.0f);

  // A row of the model panel is clicked, and the model does not turn.
  AddModels("Pylon", 5, CategoryStructures);
  ListModelsOfCategory(viewerState.nameList, CategoryStructures);
  viewerState.showModelPanel = true;
  PointerAt(50, 45, WM_LBUTTONDOWN);
  Frame();
  EXPECT_EQ(viewerState.selectedIndex, 2);
  PointerAt(140, 45, WM_MOUSEMOVE);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(viewerState.rotationPhase, 0.0f);
  // Below its five rows, or right of their hit area, a press turns.
  PointerAt(50, 100, WM_LBUTTONDOWN);
  PointerAt(306, 100, WM_LBUTTONUP);
  EXPECT_FLOAT_EQ(viewerState.rotationPhase, 0.75f);
  PointerAt(150, 10, WM_LBUTTONDOWN);
  PointerAt(406, 10, WM_LBUTTONUP);
  EXPECT_FLOAT_EQ(viewerState.rotationPhase, 0.5f);
  // The category panel's eight rows, when it is shown instead.
  viewerState.showCategoryPanel = true;
  PointerAt(50, 150, WM_LBUTTONDOWN);
  Frame();
  EXPECT_EQ(viewerState.currentCategory, 7);
  PointerAt(306, 150, WM_LBUTTONUP);
  EXPECT_FLOAT_EQ(viewerState.rotationPhase, 0.5f);
}
