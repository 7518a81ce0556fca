// Which pixels Direct3D 9 covers: pre-transformed quads and lines, transformed geometry,
// culling and the depth test. Expected images follow Direct3D 9's rules (pixel centres on
// integer coordinates, top-left fill rule, lines without their last pixel); tolerance 0.
#include "platform_d3d9/render_helpers.h"

namespace d3d9test {
namespace {

constexpr uint32_t kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

class Rasterization : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    ClearTo(kBlack);
  }
};

TEST_F(Rasterization, PretransformedQuadCoversExactlyItsPixels) {
  // (x - 0.5, y - 0.5) to (x + w - 0.5, y + h - 0.5) covers w x h pixels from (x, y).
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                         Quad(10 - 0.5f, 5 - 0.5f, 30 - 0.5f, 17 - 0.5f, kRed), 2));
  // A quad on whole coordinates has pixel centres on its edges: the top-left rule takes the
  // left and top ones, not the right and bottom ones.
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                         Quad(40, 20, 44, 23, kGreen), 2));
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 10, 5, 30, 17, kRed);
  Fill(expected, 40, 20, 44, 23, kGreen);
  EXPECT_TRUE(MatchesImage(dev, expected, "pretransformed-quad"));
}

TEST_F(Rasterization, TriangleFanDrawsTheSameQuad) {
  std::vector<RhwVertex> fan = {{3.5f, 2.5f, 0, 1, kBlue}, {9.5f, 2.5f, 0, 1, kBlue},
                                {9.5f, 6.5f, 0, 1, kBlue}, {3.5f, 6.5f, 0, 1, kBlue}};
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLEFAN, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, fan, 2));
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 4, 3, 10, 7, kBlue);
  EXPECT_TRUE(MatchesImage(dev, expected, "triangle-fan"));
}

TEST_F(Rasterization, LineListDrawsFromItsFirstPointUpToItsLast) {
  // Lines run from pixel centre to pixel centre; the end point's pixel is not drawn, so a
  // frame drawn as four lines needs one extra pixel on the edge that closes it.
  std::vector<RhwVertex> lines = {{10, 20, 0, 1, kRed},   {30, 20, 0, 1, kRed},
                                  {40, 5, 0, 1, kGreen},  {40, 15, 0, 1, kGreen},
                                  {50, 30, 0, 1, kBlue},  {50, 30, 0, 1, kBlue}};
  ASSERT_EQ(D3D_OK, Draw(D3DPT_LINELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, lines, 3));
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 10, 20, 30, 21, kRed);
  Fill(expected, 40, 5, 41, 15, kGreen);
  EXPECT_TRUE(MatchesImage(dev, expected, "line-list"));
}

TEST_F(Rasterization, CullingRemovesTheWindingItNames) {
  auto clockwise = Quad(1.5f, 1.5f, 11.5f, 11.5f, kRed);           // clockwise on screen
  auto counter = Quad(21.5f, 1.5f, 31.5f, 11.5f, kGreen);          // reversed below
  for (size_t i = 0; i < counter.size(); i += 3) std::swap(counter[i + 1], counter[i + 2]);
  auto draw = [&](DWORD cull, float dy) {
    auto a = clockwise, b = counter;
    for (auto& v : a) v.y += dy;
    for (auto& v : b) v.y += dy;
    dev->SetRenderState(D3DRS_CULLMODE, cull);
    ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, a, 2));
    ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, b, 2));
  };
  draw(D3DCULL_CCW, 0);   // the default: keeps clockwise triangles
  draw(D3DCULL_CW, 15);
  draw(D3DCULL_NONE, 30);
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 2, 2, 12, 12, kRed);
  Fill(expected, 22, 17, 32, 27, kGreen);
  Fill(expected, 2, 32, 12, 42, kRed);
  Fill(expected, 22, 32, 32, 42, kGreen);
  EXPECT_TRUE(MatchesImage(dev, expected, "culling"));
}

TEST_F(Rasterization, DepthTestKeepsTheNearerAndWritesOnlyWhenAsked) {
  // Default: z test on with LESSEQUAL, so depth 1.0 still draws over a buffer cleared to 1.0.
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                         Quad(-0.5f, -0.5f, 63.5f, 47.5f, kBlue, 1.0f), 2));
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                         Quad(9.5f, 9.5f, 29.5f, 29.5f, kRed, 0.5f), 2));
  // Farther: hidden where the red quad is.
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                         Quad(19.5f, 19.5f, 39.5f, 39.5f, kGreen, 0.7f), 2));
  // Nearer but without depth writes: drawn, and leaves the depth as it was.
  dev->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                         Quad(44.5f, 4.5f, 54.5f, 14.5f, 0xFFFFFFFF, 0.1f), 2));
  dev->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                         Quad(49.5f, 9.5f, 59.5f, 19.5f, kRed, 0.2f), 2));
  kvrtest::Image expected = Filled(kBlue);
  Fill(expected, 20, 20, 40, 40, kGreen);
  Fill(expected, 10, 10, 30, 30, kRed);
  Fill(expected, 45, 5, 55, 15, 0xFFFFFFFF);
  Fill(expected, 50, 10, 60, 20, kRed);
  EXPECT_TRUE(MatchesImage(dev, expected, "depth-test"));

  // With the test off everything draws in order.
  dev->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                         Quad(9.5f, 9.5f, 19.5f, 19.5f, kGreen, 0.9f), 2));
  Fill(expected, 10, 10, 20, 20, kGreen);
  EXPECT_TRUE(MatchesImage(dev, expected, "depth-off"));
}

TEST_F(Rasterization, TransformedVerticesUseRowVectorsAndDirect3DsViewport) {
  // World * view * projection with row vectors: a translation in the world matrix moves the
  // quad right by a quarter of the screen; projection identity maps x, y -1..1 to the screen
  // with y up, depth 0..1.
  D3DXMATRIX world, identity;
  D3DXMatrixIdentity(&identity);
  D3DXMatrixTranslation(&world, 0.5f, 0.0f, 0.0f);
  dev->SetTransform(D3DTS_WORLD, &world);
  dev->SetTransform(D3DTS_VIEW, &identity);
  dev->SetTransform(D3DTS_PROJECTION, &identity);
  dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  std::vector<XyzVertex> quad = {{-1.0f, 0.5f, 0.5f, kRed},  {0.0f, 0.5f, 0.5f, kRed},
                                 {-1.0f, 0.0f, 0.5f, kRed},  {0.0f, 0.5f, 0.5f, kRed},
                                 {0.0f, 0.0f, 0.5f, kRed},   {-1.0f, 0.0f, 0.5f, kRed},
                                 // beyond the far plane and before the near plane: clipped
                                 {0.0f, -0.5f, 1.5f, kGreen}, {0.5f, -0.5f, 1.5f, kGreen},
                                 {0.0f, -1.0f, 1.5f, kGreen}, {0.0f, -0.5f, -0.2f, kBlue},
                                 {0.5f, -0.5f, -0.2f, kBlue}, {0.0f, -1.0f, -0.2f, kBlue}};
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZ | D3DFVF_DIFFUSE, quad, 4));
  // x -0.5..0.5 -> pixels 16..47; y 0.5..0 -> rows 12..23.
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 16, 12, 48, 24, kRed);
  EXPECT_TRUE(MatchesImage(dev, expected, "transformed"));
}

TEST_F(Rasterization, ClearCoversTheViewportOrItsRectangles) {
  D3DRECT rects[2] = {{2, 3, 6, 8}, {60, 40, 80, 60}};  // the second runs off the back buffer
  ASSERT_EQ(D3D_OK, dev->Clear(2, rects, D3DCLEAR_TARGET, kRed, 1.0f, 0));
  D3DVIEWPORT9 vp = {20, 10, 8, 4, 0.0f, 1.0f};
  ASSERT_EQ(D3D_OK, dev->SetViewport(&vp));
  ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0));
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 2, 3, 6, 8, kRed);
  Fill(expected, 60, 40, 64, 48, kRed);
  Fill(expected, 20, 10, 28, 14, kGreen);
  EXPECT_TRUE(MatchesImage(dev, expected, "clear-rects"));
}

TEST_F(Rasterization, ReadBackShowsTheFrameBeforeAndAfterPresent) {
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                         Quad(-0.5f, -0.5f, 31.5f, 47.5f, kRed), 2));
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 0, 0, 32, 48, kRed);
  EXPECT_TRUE(MatchesImage(dev, expected, "before-present"));
  ASSERT_EQ(D3D_OK, dev->Present(nullptr, nullptr, nullptr, nullptr));
  EXPECT_TRUE(MatchesImage(dev, expected, "after-present"));
  EXPECT_EQ(1u, kvrtest::GetCounters(dev).presents);
}

}  // namespace
}  // namespace d3d9test

namespace d3d9test {
namespace {

TEST_F(Rasterization, PerspectiveTexturedTriangleFromALookAtCamera) {
  struct PieVertex { float x, y, z, u, v; };
  D3DXMATRIX identity, view, projection;
  D3DXMatrixIdentity(&identity);
  D3DXVECTOR3 eye(0.0f, 0.0f, -30.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 64.0f / 48.0f, 1.0f, 100.0f);
  dev->SetTransform(D3DTS_VIEW, &view);
  dev->SetTransform(D3DTS_PROJECTION, &projection);
  dev->SetTransform(D3DTS_WORLD, &identity);
  dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  IDirect3DTexture9* tex = MakeTexture(8, 8, D3DFMT_A8R8G8B8, [](UINT, UINT) { return 0xFF00FF00u; });
  dev->SetTexture(0, tex);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  std::vector<PieVertex> tri = {{0, -1, 0, 0, 0}, {8, 0, 0, 0.0625f, 0}, {0, 1, 0, 0.0625f, 0.0625f}};
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZ | D3DFVF_TEX1, tri, 1));
  // The tip, x = 8 at distance 30, lands 8/30 * cot(pi/8) / aspect = 0.483 of the half width
  // right of the centre: x = 32 + 15.45 = 47.45. y = 0 is row 24 (Direct3D's y = (1 - 0) * 24).
  kvrtest::Image im = kvrtest::ReadBackBuffer(dev);
  EXPECT_EQ(0xFF00FF00u, im.At(32, 24));
  EXPECT_EQ(0xFF00FF00u, im.At(40, 24));
  EXPECT_EQ(0xFF00FF00u, im.At(47, 24));
  EXPECT_EQ(kBlack, im.At(48, 24));
  EXPECT_EQ(kBlack, im.At(31, 24));
  EXPECT_EQ(kBlack, im.At(40, 23));
}

}  // namespace
}  // namespace d3d9test
