// The polled camera keys and screen edges, their limits and wrapping, and the height easing.
#include "viewer_fixture.h"

class CameraTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    camera.eyeX = 0.0f;
    camera.eyeY = 47.0f;
    camera.eyeZ = -224.0f;
    camera.targetHeight = 47.0f;
    camera.angle1 = 6.3f;
    camera.angle2 = 5.69f;
  }
};

TEST_F(CameraTest, HoldingUpMovesTheEyeInUntilZMinus50) {
  kvrtest::SetKeyState(VK_UP, true);
  int ticks = 0;
  float previous = camera.eyeZ;
  while (camera.eyeZ < -50.0f && ticks < 10000) {
    CameraTick();
    ++ticks;
    ASSERT_TRUE(camera.viewChanged);
    ASSERT_LE(camera.eyeZ, -50.0f);
    if (camera.eyeZ < -50.0f) {
      ASSERT_NEAR(camera.eyeZ - previous, 0.3f, 1e-3f) << ticks;
    }
    previous = camera.eyeZ;
  }
  EXPECT_EQ(camera.eyeZ, -50.0f);
  EXPECT_NEAR(ticks, 580, 1);  // 174 units at 0.3
  CameraTick();
  EXPECT_EQ(camera.eyeZ, -50.0f);
  EXPECT_EQ(camera.eyeY, 47.0f);

  // The pointer on the top edge acts like Up, on the bottom edge like Down (with no limit).
  kvrtest::SetKeyState(VK_UP, false);
  camera.eyeZ = -100.0f;
  viewerState.mouseY = 0;
  CameraTick();
  EXPECT_NEAR(camera.eyeZ, -99.7f, 1e-4f);
  viewerState.mouseY = 767;
  for (int i = 0; i < 3000; ++i) CameraTick();
  EXPECT_NEAR(camera.eyeZ, -999.7f, 0.5f);
}

TEST_F(CameraTest, WhileTheHeightMovesAHeldKeyActsTwicePerTick) {
  kvrtest::SetKeyState(VK_UP, true);
  camera.targetHeight = 60.0f;
  CameraTick();
  EXPECT_NEAR(camera.eyeZ, -223.4f, 1e-4f);
  EXPECT_EQ(camera.eyeY, 47.5f);
  // The eye comes to rest within half a unit of the target, and single steps resume.
  for (int i = 0; i < 40; ++i) CameraTick();
  EXPECT_NEAR(camera.eyeY, 59.5f, 1e-4f);
  const float z = camera.eyeZ;
  CameraTick();
  EXPECT_NEAR(camera.eyeZ - z, 0.3f, 1e-4f);
  EXPECT_FALSE(EaseCameraHeight());
}

TEST_F(CameraTest, TheRightArrowAndTheSideEdgesTakeTheChainWithoutMoving) {
  kvrtest::SetKeyState(VK_RIGHT, true);
  kvrtest::SetKeyState(VK_DOWN, true);
  for (int i = 0; i < 10; ++i) CameraTick();
  EXPECT_EQ(camera.eyeZ, -224.0f);
  EXPECT_TRUE(camera.viewChanged);
  kvrtest::SetKeyState(VK_RIGHT, false);

  viewerState.mouseX = 0;
  CameraTick();
  EXPECT_EQ(camera.eyeZ, -224.0f);
  viewerState.mouseX = 1023;  // the viewport's last column
  CameraTick();
  EXPECT_EQ(camera.eyeZ, -224.0f);
  viewerState.mouseX = 1022;  // where the pointer poll stops: Down acts
  CameraTick();
  EXPECT_NEAR(camera.eyeZ, -224.3f, 1e-4f);
}

TEST_F(CameraTest, HomeAndEndMoveTheTargetWithinItsLimits) {
  kvrtest::SetKeyState(VK_HOME, true);
  PollCameraKeys();
  EXPECT_NEAR(camera.targetHeight, 47.05f, 1e-4f);
  camera.targetHeight = 1299.99f;
  PollCameraKeys();
  EXPECT_EQ(camera.targetHeight, 1300.0f);
  kvrtest::SetKeyState(VK_HOME, false);

  kvrtest::SetKeyState(VK_END, true);
  camera.targetHeight = 5.02f;
  PollCameraKeys();
  EXPECT_EQ(camera.targetHeight, 5.0f);
  kvrtest::SetKeyState(VK_END, false);

  // With no key taken the target is left alone, even out of range.
  camera.targetHeight = 2000.0f;
  PollCameraKeys();
  EXPECT_FALSE(camera.viewChanged);
  EXPECT_EQ(camera.targetHeight, 2000.0f);
}
