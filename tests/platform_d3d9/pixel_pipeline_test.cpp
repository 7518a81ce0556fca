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

TEST_F(PixelPipeline, MaxMipLevelPicksTheMostDetailedLevelUsed) {
  // Levels 4x4 red, 2x2 green, 1x1 blue, drawn 1:1 so level 0 would be chosen.
  IDirect3DTexture9* tex = nullptr;
  ASSERT_EQ(D3D_OK, dev->CreateTexture(4, 4, 3, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr));
  const uint32_t colours[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
  for (UINT level = 0; level < 3; ++level) {
    D3DLOCKED_RECT lr;
    ASSERT_EQ(D3D_OK, tex->LockRect(level, &lr, nullptr, 0));
    const UINT size = 4 >> level;
    for (UINT y = 0; y < size; ++y)
      for (UINT x = 0; x < size; ++x)
        std::memcpy(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch + 4 * x, &colours[level], 4);
    tex->UnlockRect(level);
  }
  dev->SetTexture(0, tex);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  ASSERT_EQ(D3D_OK, DrawTexQuad(0, 0, 0xFFFFFFFF));                     // MAXMIPLEVEL 0
  dev->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 1);
  ASSERT_EQ(D3D_OK, DrawTexQuad(5, 0, 0xFFFFFFFF));                     // no mip filter
  dev->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
  ASSERT_EQ(D3D_OK, DrawTexQuad(10, 0, 0xFFFFFFFF));                    // mip filter
  dev->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 9);                      // past the last level
  ASSERT_EQ(D3D_OK, DrawTexQuad(15, 0, 0xFFFFFFFF));
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 0, 0, 4, 4, colours[0]);
  Fill(expected, 5, 0, 9, 4, colours[1]);
  Fill(expected, 10, 0, 14, 4, colours[1]);
  Fill(expected, 15, 0, 19, 4, colours[2]);
  EXPECT_TRUE(MatchesImage(dev, expected, "max-mip-level"));
  tex->Release();
}

TEST_F(PixelPipeline, LinearFilteringAndFiltersThatFallBackToIt) {
  // A black and a white texel stretched over four pixels, clamped: texel positions of the
  // pixel centres are -0.25, 0.25, 0.75, 1.25, so linear gives 0, 1/4, 3/4, 1.
  IDirect3DTexture9* tex =
      MakeTexture(2, 1, D3DFMT_X8R8G8B8, [](UINT x, UINT) { return x ? 0xFFFFFFFFu : 0xFF000000u; });
  dev->SetTexture(0, tex);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  dev->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
  dev->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
  auto strip = [&](int y, DWORD filter) {
    dev->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
    dev->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
    return Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1,
                TexQuad(-0.5f, y - 0.5f, 3.5f, y + 0.5f, 0xFFFFFFFF), 2);
  };
  ASSERT_EQ(D3D_OK, strip(0, D3DTEXF_POINT));
  ASSERT_EQ(D3D_OK, strip(1, D3DTEXF_LINEAR));
  ASSERT_EQ(D3D_OK, strip(2, D3DTEXF_GAUSSIANQUAD));
  ASSERT_EQ(D3D_OK, strip(3, D3DTEXF_ANISOTROPIC));
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 2, 0, 4, 1, 0xFFFFFFFF);
  for (int y = 1; y < 4; ++y) {
    Fill(expected, 1, y, 2, y + 1, 0xFF404040);
    Fill(expected, 2, y, 3, y + 1, 0xFFBFBFBF);
    Fill(expected, 3, y, 4, y + 1, 0xFFFFFFFF);
  }
  EXPECT_TRUE(MatchesImage(dev, expected, "filters", 2));
}

TEST_F(PixelPipeline, PretransformedVerticesInterpolateWithOneOverRhwAsW) {
  // Black on the left with rhw 1, white on the right with rhw 0.25 (w = 4): at the fraction t of
  // the width the colour is t/4 / ((1 - t) + t/4), not t.
  std::vector<RhwVertex> quad = {{-0.5f, -0.5f, 0.5f, 1.0f, 0xFF000000}, {63.5f, -0.5f, 0.5f, 0.25f, 0xFFFFFFFF},
                                 {-0.5f, 3.5f, 0.5f, 1.0f, 0xFF000000},  {63.5f, -0.5f, 0.5f, 0.25f, 0xFFFFFFFF},
                                 {63.5f, 3.5f, 0.5f, 0.25f, 0xFFFFFFFF}, {-0.5f, 3.5f, 0.5f, 1.0f, 0xFF000000}};
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, quad, 2));
  kvrtest::Image expected = Filled(kBlack);
  for (int x = 0; x < 64; ++x) {
    const double t = (x + 0.5) / 64.0;
    const int v = static_cast<int>(t * 0.25 / ((1 - t) + t * 0.25) * 255.0 + 0.5);
    Fill(expected, x, 0, x + 1, 4, 0xFF000000u | v * 0x010101u);
  }
  EXPECT_TRUE(MatchesImage(dev, expected, "perspective", 2));
}

}  // namespace
}  // namespace d3d9test
