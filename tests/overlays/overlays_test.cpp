// The cursor, the colour bars and the axes: what their buffers hold, when they are written, and
// that a resource that could not be made is never used.
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>

#include <cstring>
#include <memory>

#include "app/camera.h"
#include "app/device.h"
#include "app/scene.h"
#include "base/error_log.h"
#include "overlay/overlays.h"
#include "test_support.h"

#include "dds_file.h"

namespace {

struct BarVertex {
  float x, y, z, rhw;
  uint32_t color;
};
struct CursorVertex {
  float x, y, z, rhw, u, v;
};
struct AxisVertex {
  float x, y, z;
  uint32_t color;
};

template <typename Vertex>
std::vector<Vertex> Contents(IDirect3DVertexBuffer9* vb, size_t count) {
  std::vector<Vertex> out(count);
  void* data = nullptr;
  if (vb && SUCCEEDED(vb->Lock(0, 0, &data, 0)) && data) {
    std::memcpy(out.data(), data, count * sizeof(Vertex));
    vb->Unlock();
  }
  return out;
}

class Overlays : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::make_unique<testsupport::TempDir>();
    kvrtest::ResetInput();
    kvrtest::ResetDeviceSeams();
    device_ = testsupport::CreateTestDevice(1024, 768);
    ASSERT_TRUE(device_);
    g_pd3dDevice = device_->device;
    ErrorLog::Start();
  }
  void TearDown() override {
    ReleaseDeviceResources();
    g_pd3dDevice = nullptr;
    device_.reset();
    kvrtest::ResetDeviceSeams();
    kvrtest::ResetInput();
    dir_.reset();
  }
  static std::vector<std::string> Log() { return testsupport::ReadLines("KVRerrors.log"); }

  std::vector<BarVertex> Bars() { return Contents<BarVertex>(m_pColorBarsVB, 42); }

  std::unique_ptr<testsupport::TempDir> dir_;
  std::unique_ptr<testsupport::TestDevice> device_;
};

TEST_F(Overlays, KnobsSitFifteenPixelsPastEachBarsStartPlusTheValue) {
  CreateAxes();
  ASSERT_TRUE(m_pColorBarsVB);
  const float expected[3][2] = {{15, 270}, {295, 550}, {575, 830}};
  for (int channel = 0; channel < 3; ++channel) {
    for (int i = 0; i < 2; ++i) {
      SetColorBar(i == 0 ? 0 : 255, channel);
      const std::vector<BarVertex> v = Bars();
      const BarVertex& top = v[14 * channel + 10];
      const BarVertex& bottom = v[14 * channel + 11];
      EXPECT_EQ(top.x, expected[channel][i]) << channel;
      EXPECT_EQ(bottom.x, expected[channel][i]) << channel;
      EXPECT_EQ(top.y, 754.0f);
      EXPECT_EQ(bottom.y, 763.0f);
    }
  }
}

TEST_F(Overlays, ABarsLinesFrameValueAndComplement) {
  CreateAxes();
  SetColorBar(100, 0);
  const std::vector<BarVertex> v = Bars();
  // frame top, bottom (one pixel longer), left, right, value, knob, complement
  const float lines[7][4] = {{10, 753, 276, 753}, {10, 764, 277, 764}, {10, 753, 10, 764}, {276, 753, 276, 764},
                             {15, 757, 271, 757}, {115, 754, 115, 763}, {15, 759, 271, 759}};
  const uint32_t colours[7] = {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000,
                               0xFF640000, 0xFFFF0000, 0xFF9BFFFF};
  for (int l = 0; l < 7; ++l) {
    for (int end = 0; end < 2; ++end) {
      const BarVertex& p = v[2 * l + end];
      EXPECT_EQ(p.x, lines[l][2 * end]) << l;
      EXPECT_EQ(p.y, lines[l][2 * end + 1]) << l;
      EXPECT_EQ(p.z, 1.0f);
      EXPECT_EQ(p.rhw, 1.0f);
      EXPECT_EQ(p.color, colours[l]) << l;
    }
  }
  SetColorBar(40, 2);
  EXPECT_EQ(Bars()[28 + 8].color, 0xFF000028u);
  EXPECT_EQ(Bars()[28 + 12].color, 0xFFFFFFD7u);
  EXPECT_EQ(Bars()[28].color, 0xFF0000FFu);
}

TEST_F(Overlays, SettingGreenLeavesTheRedAndBlueVerticesAlone) {
  CreateAxes();
  SetColorBar(10, 0);
  SetColorBar(20, 1);
  SetColorBar(30, 2);
  const std::vector<BarVertex> before = Bars();
  SetColorBar(200, 1);
  const std::vector<BarVertex> after = Bars();
  EXPECT_EQ(std::memcmp(before.data(), after.data(), 14 * sizeof(BarVertex)), 0);
  EXPECT_EQ(std::memcmp(before.data() + 28, after.data() + 28, 14 * sizeof(BarVertex)), 0);
  EXPECT_EQ(after[14 + 10].x, 280.0f + 15.0f + 200.0f);
}

TEST_F(Overlays, TheBarsAndAxesDrawAsLineLists) {
  CreateAxes();
  for (int channel = 0; channel < 3; ++channel) SetColorBar(0, channel);
  const std::vector<AxisVertex> axes = Contents<AxisVertex>(m_pAxisVB, 6);
  EXPECT_EQ(axes[0].x, -100.0f);
  EXPECT_EQ(axes[1].color, 0x00FF0000u);
  EXPECT_EQ(axes[4].z, -100.0f);
  EXPECT_EQ(axes[5].color, 0x000000FFu);
  kvrtest::ResetCounters(g_pd3dDevice);
  g_pd3dDevice->BeginScene();
  DrawColorBars();
  DrawAxes();
  g_pd3dDevice->EndScene();
  EXPECT_EQ(kvrtest::DrawCallPrimitiveCounts(g_pd3dDevice), (std::vector<UINT>{21, 3}));
}

TEST_F(Overlays, TheCursorQuadFollowsThePointerAndIsWrittenOnlyWhenItMoves) {
  testsupport::WriteFile("textures/kvrcursor.dds", ddsfile::SolidArgb32(32, 32, 0xFFFF00FF));
  ASSERT_EQ(CreateCursor(), 0);
  ASSERT_TRUE(cursorTexture);
  kvrtest::SetCursorPos(1000, 750);
  g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
  g_pd3dDevice->BeginScene();
  DrawCursor();
  g_pd3dDevice->EndScene();
  kvrtest::Image image = kvrtest::ReadBackBuffer(g_pd3dDevice);
  kvrtest::WritePng(testsupport::OutputPath("cursor_1000_750.png"), image);
  const uint64_t locks = kvrtest::LockCount(m_pCursorVB);
  EXPECT_EQ(locks, 1u);

  const std::vector<CursorVertex> q = Contents<CursorVertex>(m_pCursorVB, 4);
  EXPECT_EQ(q[0].x, 1000.0f);
  EXPECT_EQ(q[0].y, 750.0f);
  EXPECT_EQ(q[2].x, 1032.0f);
  EXPECT_EQ(q[2].y, 782.0f);
  EXPECT_EQ(q[1].u, 0.7f);
  EXPECT_EQ(q[2].v, 0.7f);
  EXPECT_EQ(q[3].u, 0.0f);
  EXPECT_EQ(q[0].z, 0.0f);
  EXPECT_EQ(q[0].rhw, 1.0f);
  EXPECT_EQ(image.At(1010, 760), 0xFFFF00FFu);
  EXPECT_EQ(image.At(1000, 750), 0xFFFF00FFu);
  EXPECT_EQ(image.At(999, 760), 0xFF000000u);
  EXPECT_EQ(image.At(1010, 749), 0xFF000000u);
  EXPECT_EQ(image.At(1023, 767), 0xFFFF00FFu);  // the quad runs off the screen's corner

  // An unmoved pointer writes nothing; a moved one writes once.
  const uint64_t afterReading = kvrtest::LockCount(m_pCursorVB);
  g_pd3dDevice->BeginScene();
  DrawCursor();
  DrawCursor();
  g_pd3dDevice->EndScene();
  EXPECT_EQ(kvrtest::LockCount(m_pCursorVB), afterReading);
  kvrtest::SetCursorPos(1001, 750);
  g_pd3dDevice->BeginScene();
  DrawCursor();
  g_pd3dDevice->EndScene();
  EXPECT_EQ(kvrtest::LockCount(m_pCursorVB), afterReading + 1);
}

TEST_F(Overlays, APointerRestingAtTheOriginIsDrawnOnTheFirstFrame) {
  testsupport::WriteFile("textures/kvrcursor.dds", ddsfile::SolidArgb32(32, 32, 0xFFFF00FF));
  ASSERT_EQ(CreateCursor(), 0);
  kvrtest::SetCursorPos(0, 0);
  g_pd3dDevice->BeginScene();
  DrawCursor();
  g_pd3dDevice->EndScene();
  EXPECT_EQ(kvrtest::LockCount(m_pCursorVB), 1u);
  EXPECT_EQ(Contents<CursorVertex>(m_pCursorVB, 4)[2].x, 32.0f);
}

TEST_F(Overlays, AMissingCursorImageIsLoggedAndTheViewerRunsOn) {
  EXPECT_EQ(CreateCursor(), E_FAIL);
  EXPECT_EQ(Log(), (std::vector<std::string>{"KVRerrors.log started ", "Failed to load texture kvrcursor.dds "}));
  EXPECT_FALSE(cursorTexture);
  CreateAxes();
  SetColorBar(0, 0);
  kvrtest::SetCursorPos(500, 500);
  kvrtest::ResetCounters(g_pd3dDevice);
  g_pd3dDevice->BeginScene();
  DrawColorBars();
  DrawCursor();
  g_pd3dDevice->EndScene();
  EXPECT_EQ(kvrtest::DrawCallPrimitiveCounts(g_pd3dDevice), (std::vector<UINT>{21}));
  EXPECT_EQ(g_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(Overlays, BuffersThatCouldNotBeCreatedAreNeverWrittenOrDrawn) {
  kvrtest::FailVertexBufferCreationAfter(0);
  EXPECT_EQ(CreateCursor(), E_FAIL);
  CreateAxes();
  EXPECT_EQ(Log(), (std::vector<std::string>{"KVRerrors.log started ", "Failed to CreateVertexBuffer m_pCursorVB",
                                             "failed to create m_pAxisVB", "failed to create m_pColorBarsVB"}));
  EXPECT_FALSE(m_pCursorVB);
  EXPECT_FALSE(m_pAxisVB);
  EXPECT_FALSE(m_pColorBarsVB);
  SetColorBar(100, 1);
  kvrtest::ResetCounters(g_pd3dDevice);
  g_pd3dDevice->BeginScene();
  DrawAxes();
  DrawColorBars();
  DrawCursor();
  g_pd3dDevice->EndScene();
  EXPECT_TRUE(kvrtest::DrawCallPrimitiveCounts(g_pd3dDevice).empty());
}

TEST_F(Overlays, AnAxisBufferThatCannotBeFilledIsDropped) {
  kvrtest::FailVertexBufferLocks(true);
  CreateAxes();
  kvrtest::FailVertexBufferLocks(false);
  EXPECT_FALSE(m_pAxisVB);
  EXPECT_TRUE(m_pColorBarsVB);
  EXPECT_EQ(Log(), (std::vector<std::string>{"KVRerrors.log started ", "failed to create m_pAxisVB"}));
}

TEST_F(Overlays, ReleasingTwiceLeavesNothingBehind) {
  testsupport::WriteFile("textures/kvrcursor.dds", ddsfile::SolidArgb32(32, 32, 0xFFFF00FF));
  CreateCursor();
  CreateAxes();
  ReleaseDeviceResources();
  EXPECT_FALSE(m_pCursorVB);
  EXPECT_FALSE(cursorTexture);
  EXPECT_FALSE(m_pAxisVB);
  EXPECT_FALSE(m_pColorBarsVB);
  ReleaseDeviceResources();
}

}  // namespace
