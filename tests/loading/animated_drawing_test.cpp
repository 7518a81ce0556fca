// Models drawn through their keyframe animations: frame animations show one level, transform
// animations move every level.
#include <cstring>

#include "loading_fixture.h"

using testsupport::WriteFile;

namespace {

// A PIE model whose level L holds L + 1 triangles, so each level is told apart by its draw call.
std::string CountedLevels(int levels) {
  std::string s = "PIE 2\nTYPE 200\nTEXTURE 0 page.pcx 256 256\nLEVELS " + std::to_string(levels) + "\n";
  for (int l = 0; l < levels; ++l) {
    s += "LEVEL " + std::to_string(l + 1) + "\nPOINTS 3\n 0 0 0\n 10 0 0\n 0 10 0\nPOLYGONS " +
         std::to_string(l + 1) + "\n";
    for (int t = 0; t <= l; ++t) s += " 200 3 0 1 2 0 0 16 0 16 16\n";
    s += "CONNECTORS 0\n";
  }
  return s;
}

class AnimatedDrawing : public loadingtest::LoadingTest {
 protected:
  void SetUp() override {
    LoadingTest::SetUp();
    // Not pure green: that is the pages' colour key and would come out transparent.
    WriteFile("duskfen/texpages/page.dds", loadingtest::SolidDds(8, 8, 0xFF2040F0));
  }

  // Loads the listed animations, then the models (numbered in the order given).
  void Load(const std::vector<std::pair<std::string, std::string>>& animations,
            const std::vector<std::pair<std::string, std::string>>& models) {
    std::string manifest;
    for (const auto& a : animations) {
      WriteFile("m/" + a.first + ".ani", a.second);
      manifest += a.first + ".ani ";
    }
    WriteFile("m/Animations.gam", manifest);
    LoadAnimations("m/");
    for (const auto& m : models) {
      WriteFile("m/" + m.first + ".pie", m.second);
      LoadModel("m/", (m.first + ".pie").c_str(), CategoryStructures);
    }
  }

  std::vector<UINT> DrawCalls(int32_t model) {
    kvrtest::ResetCounters(g_pd3dDevice);
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    g_pd3dDevice->BeginScene();
    DrawModel(model, world);
    g_pd3dDevice->EndScene();
    return kvrtest::DrawCallPrimitiveCounts(g_pd3dDevice);
  }
};

TEST_F(AnimatedDrawing, AFrameAnimationShowsOnlyTheLevelOfItsCurrentFrame) {
  Load({{"spin", loadingtest::FramesAnimation("Spin", 3, 10)}}, {{"spin", CountedLevels(3)}, {"plain", CountedLevels(3)}});
  ASSERT_EQ(ModelCatalogue.size(), 2u);
  EXPECT_EQ(DrawCalls(0), (std::vector<UINT>{1}));
  kvrtest::SetTime(1000);
  TickAnimations();
  kvrtest::SetTime(1101);
  TickAnimations();
  EXPECT_EQ(DrawCalls(0), (std::vector<UINT>{2}));
  AnimationCounters[0] = 2;
  EXPECT_EQ(DrawCalls(0), (std::vector<UINT>{3}));
  // Without an animation only level 0 is drawn.
  EXPECT_EQ(DrawCalls(1), (std::vector<UINT>{1}));
}

TEST_F(AnimatedDrawing, AFrameBeyondTheModelsLevelsNeverDrawsAnotherModel) {
  Load({{"long", loadingtest::FramesAnimation("Long", 6, 10)}}, {{"long", CountedLevels(2)}, {"next", CountedLevels(6)}});
  ASSERT_EQ(ModelCatalogue.size(), 2u);
  for (int32_t frame = 2; frame < 6; ++frame) {
    AnimationCounters[0] = frame;
    for (UINT count : DrawCalls(0)) EXPECT_LE(count, 2u) << frame;
  }
}

TEST_F(AnimatedDrawing, ATransformAnimationDrawsEveryLevelAndFewerObjectsStayInside) {
  Load({{"arm", loadingtest::TransAnimation("Arm", 2, 10, 3, {0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"few", loadingtest::TransAnimation("Few", 2, 10, 1, {0, 0, 0, 0, 0, 0, 0, 0, 0})}},
       {{"arm", CountedLevels(3)}, {"few", CountedLevels(3)}, {"next", CountedLevels(9)}});
  ASSERT_EQ(ModelCatalogue.size(), 3u);
  EXPECT_EQ(DrawCalls(0), (std::vector<UINT>{1, 2, 3}));
  std::vector<UINT> few = DrawCalls(1);
  ASSERT_FALSE(few.empty());
  EXPECT_EQ(few[0], 1u);
  for (UINT count : few) EXPECT_LE(count, 3u);
}

TEST_F(AnimatedDrawing, ARotationZOf90000TurnsTheLevelByMinusAQuarterTurn) {
  // An arm 8 units long along +x, seen from 30 units down -z.
  const std::string arm =
      "PIE 2\nTYPE 200\nTEXTURE 0 page.pcx 256 256\nLEVELS 1\nLEVEL 1\nPOINTS 3\n 0 -10 0\n 80 0 0\n 0 10 0\n"
      "POLYGONS 1\n 200 3 0 1 2 0 0 16 0 16 16\nCONNECTORS 0\n";
  Load({{"turn", loadingtest::TransAnimation("Turned", 1, 10, 1, {0, 0, 0, 0, 90000, 0, 0, 0, 0})}},
       {{"turned", arm}, {"still", arm}});
  ASSERT_EQ(ModelCatalogue.size(), 2u);
  AnimationFrame f;
  ASSERT_TRUE(GetAnimationFrame(0, 0, f));
  EXPECT_EQ(f.rotation[2], 90000);

  D3DXMATRIX identity, view, projection;
  D3DXMatrixIdentity(&identity);
  D3DXVECTOR3 eye(0.0f, 0.0f, -30.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 1024.0f / 768.0f, 1.0f, 100.0f);
  g_pd3dDevice->SetTransform(D3DTS_VIEW, &view);
  g_pd3dDevice->SetTransform(D3DTS_PROJECTION, &projection);
  g_pd3dDevice->SetTransform(D3DTS_WORLD, &identity);
  g_pd3dDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
  g_pd3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  g_pd3dDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
  g_pd3dDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  g_pd3dDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  auto drawn = [&](int32_t model) {
    g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    g_pd3dDevice->BeginScene();
    DrawModel(model, identity);
    g_pd3dDevice->EndScene();
    return kvrtest::ReadBackBuffer(g_pd3dDevice);
  };
  auto blue = [](uint32_t p) { return (p & 0xFF) > 200 && ((p >> 16) & 0xFF) < 80; };

  kvrtest::Image still = drawn(1);
  EXPECT_TRUE(blue(still.At(635, 384)));  // halfway along the arm
  EXPECT_FALSE(blue(still.At(512, 508)));
  kvrtest::Image turned = drawn(0);
  kvrtest::WritePng(testsupport::OutputPath("transform_rotation_z.png"), turned);
  // The arm now points down the screen: +x went to -y.
  EXPECT_FALSE(blue(turned.At(635, 384)));
  EXPECT_TRUE(blue(turned.At(512, 508)));
  EXPECT_FALSE(blue(turned.At(512, 260)));
  // The world transform is left as it was.
  D3DXMATRIX after;
  g_pd3dDevice->GetTransform(D3DTS_WORLD, &after);
  EXPECT_EQ(std::memcmp(&after, &identity, sizeof(after)), 0);
}

}  // namespace
