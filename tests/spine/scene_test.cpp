// The scene set-up's projection and the camera's view, against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "app/camera.h"
#include "app/device.h"
#include "app/scene.h"
#include "app/category_panel.h"
#include "app/frame.h"
#include "app/model_panel.h"
#include "app/panel_row.h"
#include "app/viewer_state.h"
#include "test_support.h"

namespace {

class Scene : public ::testing::TestWithParam<std::pair<int, int>> {
 protected:
  void TearDown() override { kvrtest::ResetDeviceSeams(); }
};

}  // namespace

TEST_P(Scene, ProjectionUsesTheDesktopAspectAndTheFixedFrustum) {
  testsupport::TempDir dir;  // an empty data set
  auto [width, height] = GetParam();
  auto t = testsupport::CreateTestDevice(width, height);
  ASSERT_TRUE(t);
  g_pd3dDevice = t->device;
  g_pd3dDevice->AddRef();
  SetupScene();

  D3DMATRIX projection;
  ASSERT_EQ(g_pd3dDevice->GetTransform(D3DTS_PROJECTION, &projection), D3D_OK);
  const float aspect = 1.0f / (static_cast<float>(height) / static_cast<float>(width));
  const float yScale = 1.0f / std::tan(0.3926991f / 2.0f);  // 5.0273395
  EXPECT_NEAR(projection._22, yScale, 1e-5);
  EXPECT_NEAR(projection._11, yScale / aspect, 1e-5);
  EXPECT_NEAR(projection._33, 2000.0f / (2000.0f - 10.0f), 1e-6);
  EXPECT_NEAR(projection._43, -10.0f * 2000.0f / (2000.0f - 10.0f), 1e-4);
  EXPECT_EQ(projection._34, 1.0f);
  EXPECT_EQ(projection._44, 0.0f);

  // The camera looks from (0, 47, -224) at the origin, +Y up; the key poll inside the reset sees
  // the pointer still at its start value y 0, the top screen edge, and zooms in by one step.
  EXPECT_FLOAT_EQ(camera.eyeZ, -224.0f + 0.3f);
  D3DMATRIX view;
  ASSERT_EQ(g_pd3dDevice->GetTransform(D3DTS_VIEW, &view), D3D_OK);
  const float length = std::sqrt(47.0f * 47.0f + camera.eyeZ * camera.eyeZ);
  const float zy = -47.0f / length, zz = -camera.eyeZ / length;  // the view direction
  EXPECT_NEAR(view._11, 1.0f, 1e-6);
  EXPECT_NEAR(view._23, zy, 1e-6);
  EXPECT_NEAR(view._33, zz, 1e-6);
  EXPECT_NEAR(view._22, zz, 1e-6);  // up = z x x, (0, zz, -zy)
  EXPECT_NEAR(view._32, -zy, 1e-6);
  EXPECT_NEAR(view._43, length, 1e-3);  // the origin lies straight ahead at the eye's distance
  EXPECT_NEAR(view._42, 0.0f, 1e-4);

  D3DMATRIX world;
  ASSERT_EQ(g_pd3dDevice->GetTransform(D3DTS_WORLD, &world), D3D_OK);
  EXPECT_EQ(world._11, 1.0f);
  EXPECT_EQ(world._41, 0.0f);
  ShutdownGraphics();  // drops the reference handed over above, before the window goes
}

INSTANTIATE_TEST_SUITE_P(Desktops, Scene, ::testing::Values(std::make_pair(1280, 1024), std::make_pair(1024, 768)));


// The on-screen note about a missing start-up manifest is set by the scene only when the folder
// holds none; an empty manifest, found in other letter case, is still one.
TEST(SceneManifestNote, IsSetOnlyWhenTheFolderHoldsNoStartUpManifest) {
  for (const bool present : {false, true}) {
    testsupport::TempDir dir;
    if (present) testsupport::WriteFile("Duskfen/kvrstartup.GAM", "");
    auto t = testsupport::CreateTestDevice(1024, 768);
    ASSERT_TRUE(t);
    g_pd3dDevice = t->device;
    g_pd3dDevice->AddRef();
    viewerState = ViewerState{};
    SetupScene();
    EXPECT_EQ(viewerState.startUpManifestMissing, !present);
    ShutdownGraphics();
    kvrtest::ResetDeviceSeams();
  }
  viewerState = ViewerState{};
}
