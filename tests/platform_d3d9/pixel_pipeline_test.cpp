// What colour a covered pixel gets: texture stages, the alpha test, blending and texel formats.
// Expected colours are worked out from Direct3D 9's rules; tolerance 1 per channel where a
// product of two 8-bit values is rounded, 0 elsewhere.
#include "platform_d3d9/render_helpers.h"

namespace d3d9test {
namespace {

constexpr uint32_t kBlack = 0xFF000000;

class PixelPipeline : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    ClearTo(kBlack);
  }
  // A 4x4 pixel quad at (x, y) with texture coordinates 0..1, so that with point sampling
  // pixel (x + i, y + j) shows texel (i, j) of a 4x4 texture.
  HRESULT DrawTexQuad(int x, int y, D3DCOLOR diffuse, int size = 4) {
    return Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1,
                TexQuad(x - 0.5f, y - 0.5f, x + size - 0.5f, y + size - 0.5f, diffuse), 2);
  }
  HRESULT DrawQuad(int x, int y, int w, int h, D3DCOLOR c) {
    return Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                Quad(x - 0.5f, y - 0.5f, x + w - 0.5f, y + h - 0.5f, c), 2);
  }
};

TEST_F(PixelPipeline, AlphaTestComparesTheEightBitAlpha) {
  dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  dev->SetRenderState(D3DRS_ALPHAREF, 8);
  dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  ASSERT_EQ(D3D_OK, DrawQuad(0, 0, 10, 10, 0x08FF0000));   // alpha 8: discarded
  ASSERT_EQ(D3D_OK, DrawQuad(10, 0, 10, 10, 0x09FF0000));  // alpha 9: kept
  ASSERT_EQ(D3D_OK, DrawQuad(20, 0, 10, 10, 0x00FF0000));  // alpha 0: discarded
  dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  ASSERT_EQ(D3D_OK, DrawQuad(30, 0, 10, 10, 0x0800FF00));  // alpha 8 >= 8: kept
  ASSERT_EQ(D3D_OK, DrawQuad(40, 0, 10, 10, 0x0700FF00));  // alpha 7: discarded
  // With the test off alpha does not matter.
  dev->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  ASSERT_EQ(D3D_OK, DrawQuad(50, 0, 10, 10, 0x000000FF));
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 10, 0, 20, 10, 0xFFFF0000);
  Fill(expected, 30, 0, 40, 10, 0xFF00FF00);
  Fill(expected, 50, 0, 60, 10, 0xFF0000FF);
  EXPECT_TRUE(MatchesImage(dev, expected, "alpha-test"));
}

TEST_F(PixelPipeline, BlendingMixesWithTheBackBuffer) {
  ClearTo(0xFF0000C8);  // blue 200
  dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  ASSERT_EQ(D3D_OK, DrawQuad(0, 0, 10, 10, 0x80FF6400));
  // ONE / ZERO: blending on, but the source replaces the destination.
  dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
  ASSERT_EQ(D3D_OK, DrawQuad(10, 0, 10, 10, 0x2000FF00));
  // ONE / ONE adds.
  dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  ASSERT_EQ(D3D_OK, DrawQuad(20, 0, 10, 10, 0xFF300010));
  kvrtest::Image expected = Filled(0xFF0000C8);
  // 255 * 128/255 = 128; 100 * 128/255 = 50.2; 200 * 127/255 = 99.6.
  Fill(expected, 0, 0, 10, 10, 0xFF803264);
  Fill(expected, 10, 0, 20, 10, 0xFF00FF00);
  Fill(expected, 20, 0, 30, 10, 0xFF3000D8);
  EXPECT_TRUE(MatchesImage(dev, expected, "blending", 1));
}

TEST_F(PixelPipeline, ModulateMultipliesTextureAndVertexColour) {
  IDirect3DTexture9* tex = MakeTexture(4, 4, D3DFMT_A8R8G8B8, [](UINT, UINT) { return 0xFFC86432u; });
  dev->SetTexture(0, tex);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  ASSERT_EQ(D3D_OK, DrawTexQuad(2, 2, 0xFF80FF40));
  kvrtest::Image expected = Filled(kBlack);
  // 200 * 128/255 = 100.4; 100 * 255/255 = 100; 50 * 64/255 = 12.5.
  Fill(expected, 2, 2, 6, 6, 0xFF64640C);
  EXPECT_TRUE(MatchesImage(dev, expected, "modulate", 1));
}

TEST_F(PixelPipeline, SelectArg1ShowsEachTexelOfTheTexture) {
  auto texel = [](UINT x, UINT y) { return 0xFF000000u | (x * 60u) << 16 | (y * 70u) << 8 | 0x11u; };
  IDirect3DTexture9* tex = MakeTexture(4, 4, D3DFMT_X8R8G8B8, texel);
  dev->SetTexture(0, tex);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  ASSERT_EQ(D3D_OK, DrawTexQuad(5, 7, 0xFF0000FF));
  kvrtest::Image expected = Filled(kBlack);
  for (UINT y = 0; y < 4; ++y)
    for (UINT x = 0; x < 4; ++x) Fill(expected, 5 + x, 7 + y, 6 + x, 8 + y, texel(x, y));
  EXPECT_TRUE(MatchesImage(dev, expected, "selectarg1"));
}

TEST_F(PixelPipeline, A4R4G4B4TexelsWidenByRepeatingTheirBits) {
  // Texels written row by row at the locked pitch; alpha 0 and 1 tell the widening of alpha
  // apart through the alpha test (1 becomes 17).
  const uint16_t texels[4][4] = {{0xFF00, 0xF0F0, 0xF00F, 0xF842},
                                 {0x0FFF, 0x1FFF, 0x1FFF, 0x2FFF},
                                 {0xFFFF, 0xF123, 0xFABC, 0xF000},
                                 {0xF0F0, 0xF0F0, 0xF0F0, 0xF0F0}};
  IDirect3DTexture9* tex =
      MakeTexture(4, 4, D3DFMT_A4R4G4B4, [&](UINT x, UINT y) { return texels[y][x]; });
  dev->SetTexture(0, tex);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  dev->SetRenderState(D3DRS_ALPHAREF, 16);
  ASSERT_EQ(D3D_OK, DrawTexQuad(0, 0, 0xFFFFFFFF));
  dev->SetRenderState(D3DRS_ALPHAREF, 17);
  ASSERT_EQ(D3D_OK, DrawTexQuad(10, 0, 0xFFFFFFFF));
  kvrtest::Image expected = Filled(kBlack);
  auto widen = [](uint16_t t) {
    return 0xFF000000u | ((t >> 8) & 0xF) * 0x110000u | ((t >> 4) & 0xF) * 0x1100u | (t & 0xF) * 0x11u;
  };
  for (int x0 : {0, 10})
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        const int alpha = (texels[y][x] >> 12) * 17;
        if (alpha > (x0 == 0 ? 16 : 17)) Fill(expected, x0 + x, y, x0 + x + 1, y + 1, widen(texels[y][x]));
      }
  EXPECT_TRUE(MatchesImage(dev, expected, "a4r4g4b4"));
}

TEST_F(PixelPipeline, AStageWithoutItsTextureShowsTheVertexColour) {
  // The frame's stage set-up selects the texture; lines and bars drawn with no texture set
  // come out in their vertex colour, and a vertex without a colour is opaque white.
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
  dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  dev->SetTexture(0, nullptr);
  ASSERT_EQ(D3D_OK, DrawQuad(0, 0, 8, 8, 0xFF336699));
  struct Plain { float x, y, z, rhw; };
  std::vector<Plain> white = {{9.5f, -0.5f, 0, 1}, {17.5f, -0.5f, 0, 1}, {9.5f, 7.5f, 0, 1},
                              {17.5f, -0.5f, 0, 1}, {17.5f, 7.5f, 0, 1}, {9.5f, 7.5f, 0, 1}};
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW, white, 2));
  // The default stage set-up (MODULATE of texture and current) does the same.
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  ASSERT_EQ(D3D_OK, DrawQuad(20, 0, 8, 8, 0xFF996633));
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 0, 0, 8, 8, 0xFF336699);
  Fill(expected, 10, 0, 18, 8, 0xFFFFFFFF);
  Fill(expected, 20, 0, 28, 8, 0xFF996633);
  EXPECT_TRUE(MatchesImage(dev, expected, "no-texture"));
}

TEST_F(PixelPipeline, TexturesWithoutAlphaReadOpaque) {
  // X8R8G8B8 texels with a zero "X" byte pass an alpha test that needs alpha above 8.
  IDirect3DTexture9* tex = MakeTexture(4, 4, D3DFMT_X8R8G8B8, [](UINT, UINT) { return 0x0000FF00u; });
  dev->SetTexture(0, tex);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  dev->SetRenderState(D3DRS_ALPHAREF, 8);
  ASSERT_EQ(D3D_OK, DrawTexQuad(1, 1, 0xFFFFFFFF));
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 1, 1, 5, 5, 0xFF00FF00);
  EXPECT_TRUE(MatchesImage(dev, expected, "x8-opaque"));
}

TEST_F(PixelPipeline, GlyphTextureModulatedByTextColourBlendsOver) {
  // The text set-up: A4R4G4B4 white texels with coverage in alpha, MODULATE with the vertex
  // colour, SRCALPHA/INVSRCALPHA blending, alpha test GREATEREQUAL 8.
  IDirect3DTexture9* tex = MakeTexture(4, 4, D3DFMT_A4R4G4B4, [](UINT x, UINT) {
    return x == 0 ? 0x0000u : x == 1 ? 0x4FFFu : 0xFFFFu;
  });
  dev->SetTexture(0, tex);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  dev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  dev->SetRenderState(D3DRS_ALPHAREF, 8);
  dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  ClearTo(0xFF0000FF);
  ASSERT_EQ(D3D_OK, DrawTexQuad(0, 0, 0xFFFFFF00));
  kvrtest::Image expected = Filled(0xFF0000FF);
  // Coverage 4 -> alpha 68: yellow * 68/255 + blue * 187/255.
  Fill(expected, 1, 0, 2, 4, 0xFF4444BB);
  Fill(expected, 2, 0, 4, 4, 0xFFFFFF00);
  EXPECT_TRUE(MatchesImage(dev, expected, "glyph", 1));
}

}  // namespace
}  // namespace d3d9test
