// The mouse wheel's zoom.
#include <cmath>

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
