// The glyph atlas: margins, texel conversion, its size and the shrink path.
#include <cmath>

#include "bitmap_font/font_fixture.h"

namespace {

using fonttest::FontDeviceTest;

TEST(GlyphMargin, IsThreeTenthsOfTheXHeightRoundedUpThroughTheFloatConstant) {
  EXPECT_EQ(GlyphMarginForHeight(10), 4u);  // 3.0000001, not 3
  EXPECT_EQ(GlyphMarginForHeight(16), 5u);
  EXPECT_EQ(GlyphMarginForHeight(17), 6u);  // the screen font's cell
  EXPECT_EQ(GlyphMarginForHeight(20), 7u);  // 6.0000002, not 6
  EXPECT_EQ(GlyphMarginForHeight(0), 0u);
}

TEST(AtlasTexel, KeepsTheTopFourBitsOfCoverageAsAlphaOverWhite) {
  EXPECT_EQ(AtlasTexelFromPixel(0x00FFFFFF), 0xFFFF);
  EXPECT_EQ(AtlasTexelFromPixel(0x00101010), 0x1FFF);
  EXPECT_EQ(AtlasTexelFromPixel(0x0000000F), 0x0000);  // under a sixteenth: transparent
  EXPECT_EQ(AtlasTexelFromPixel(0xFF0000FF), 0xFFFF);  // only the blue byte counts
  EXPECT_EQ(AtlasTexelFromPixel(0x00FFFF00), 0x0000);
}

// Every cell lies in the atlas, holds the character's measured width plus both margins, and no two
// cells of a row overlap.
void ExpectCellsLaidOut(const BitmapFont& font, int emPixels, bool bold = true) {
  const float tw = static_cast<float>(font.TextureWidth());
  const float th = static_cast<float>(font.TextureHeight());
  for (int c = 32; c <= 126; ++c) {
    const float* r = font.GlyphRect(c);
    SCOPED_TRACE(c);
    EXPECT_GE(r[0], 0.0f);
    EXPECT_GE(r[1], 0.0f);
    EXPECT_LE(r[2], 1.0f);
    EXPECT_LE(r[3], 1.0f);
    if (emPixels > 0) {
      const char text[2] = {static_cast<char>(c), 0};
      const fonttest::GdiReference ref = fonttest::MeasureWithGdi(text, emPixels, bold);
      EXPECT_NEAR((r[2] - r[0]) * tw, ref.extent.cx + 2.0f * font.GlyphMargin(), 1e-3);
      EXPECT_NEAR((r[3] - r[1]) * th, static_cast<float>(ref.extent.cy), 1e-3);
    }
    if (c > 32) {
      const float* prev = font.GlyphRect(c - 1);
      if (prev[1] == r[1]) EXPECT_LE(prev[2], r[0] + 1e-6f);  // same row: left to right
      else EXPECT_GT(r[1], prev[1]);                          // or a new row below
    }
  }
}

// Whether the 95 cells, measured by GDI at emPixels, fill rows of a size x size atlas without
// running off its bottom: the oracle for "the first size that fits".
bool RowsFit(DWORD size, int emPixels, DWORD margin) {
  int64_t x = margin, y = 0;
  for (int c = 32; c <= 126; ++c) {
    const char text[2] = {static_cast<char>(c), 0};
    const SIZE e = fonttest::MeasureWithGdi(text, emPixels).extent;
    if (x + e.cx + margin > size) {
      x = margin;
      y += e.cy + 1;
    }
    if (y + e.cy > size) return false;
    x += e.cx + 2 * margin;
  }
  return true;
}

TEST_F(FontDeviceTest, TheScreenFontNeedsTwoFiftySixSquareAtNinetySixDpi) {
  BitmapFont font("Arial", 12, FontBold);
  ASSERT_EQ(font.AttachDevice(device), S_OK);
  // 95 cells of about 9 + 2 x 6 pixels in rows 18 apart do not fit 128 rows of 128.
  EXPECT_EQ(font.TextureWidth(), 256u);
  EXPECT_EQ(font.TextureHeight(), 256u);
  EXPECT_EQ(font.ShrinkFactor(), 1.0f);
  EXPECT_EQ(font.GlyphMargin(), 6u);  // "x" measures 17 high
  ExpectCellsLaidOut(font, 16);
  EXPECT_FALSE(RowsFit(128, 16, 6));
}

TEST_F(FontDeviceTest, TheAtlasStartsAtOneTwentyEightAndDoublesUntilTheCharactersFit) {
  BitmapFont small("Arial", 6, 0);
  ASSERT_EQ(small.AttachDevice(device), S_OK);
  EXPECT_EQ(small.TextureWidth(), 128u);
  ExpectCellsLaidOut(small, 8, /*bold=*/false);

  BitmapFont large("Arial", 36, FontBold);
  ASSERT_EQ(large.AttachDevice(device), S_OK);
  const DWORD size = large.TextureWidth();
  EXPECT_EQ(large.TextureHeight(), size);
  EXPECT_GE(size, 512u);
  EXPECT_EQ(size & (size - 1), 0u);
  ExpectCellsLaidOut(large, 48);
  EXPECT_TRUE(RowsFit(size, 48, large.GlyphMargin()));
  EXPECT_FALSE(RowsFit(size / 2, 48, large.GlyphMargin()));
}

TEST_F(FontDeviceTest, ADeviceWithSmallTexturesGetsAnAtlasAsWideAsItsLimitAndSmallerGlyphs) {
  kvrtest::SetMaxTextureSize(128);
  BitmapFont font("Arial", 12, FontBold);
  ASSERT_EQ(font.AttachDevice(device), S_OK);
  EXPECT_EQ(font.TextureWidth(), 128u);
  EXPECT_EQ(font.TextureHeight(), 128u);
  EXPECT_EQ(font.ShrinkFactor(), 0.5f);  // 128 / 256, and 8-pixel glyphs fit at once
  ExpectCellsLaidOut(font, 8);

  // Far too small: each further attempt is 0.9 times smaller until the glyphs fit.
  kvrtest::SetMaxTextureSize(48);
  BitmapFont tiny("Arial", 12, FontBold);
  ASSERT_EQ(tiny.AttachDevice(device), S_OK);
  EXPECT_EQ(tiny.TextureWidth(), 48u);
  float expected = 48.0f / 256.0f;
  int passes = 0;
  while (expected > tiny.ShrinkFactor() && passes < 40) {
    expected *= 0.9f;
    ++passes;
  }
  EXPECT_EQ(tiny.ShrinkFactor(), expected);
  EXPECT_EQ(passes, 2);  // 0.1875 gives 5-pixel glyphs, 0.16875 still 5, 0.151875 gives 4
  ExpectCellsLaidOut(tiny, 0);

  // Nothing fits 16 x 16: the glyphs shrink to nothing, and a zero height means GDI's default
  // size again. The attempt gives up, and the font then draws nothing.
  kvrtest::SetMaxTextureSize(16);
  BitmapFont impossible("Arial", 12, FontBold);
  EXPECT_EQ(impossible.AttachDevice(device), E_FAIL);
  EXPECT_EQ(impossible.CreateDrawResources(), S_OK);
  kvrtest::ResetCounters(device);
  device->BeginScene();
  EXPECT_EQ(impossible.DrawScreenText(0, 0, 0xFFFFFFFF, "abc", 0), E_FAIL);
  device->EndScene();
  EXPECT_EQ(kvrtest::GetCounters(device).vertexBufferLocks, 0u);
  EXPECT_EQ(kvrtest::GetCounters(device).drawCalls, 0u);
}

TEST_F(FontDeviceTest, QuadsOfAShrunkAtlasAreDrawnAtTheAskedSize) {
  BitmapFont normal("Arial", 12, FontBold);
  ASSERT_EQ(normal.AttachDevice(device), S_OK);
  ASSERT_EQ(normal.CreateDrawResources(), S_OK);
  kvrtest::SetMaxTextureSize(128);
  BitmapFont shrunk("Arial", 12, FontBold);
  ASSERT_EQ(shrunk.AttachDevice(device), S_OK);
  ASSERT_EQ(shrunk.CreateDrawResources(), S_OK);
  ASSERT_EQ(shrunk.ShrinkFactor(), 0.5f);

  auto a = Frame([&] { normal.DrawScreenText(100, 100, 0xFFFFFFFF, "H", 0); });
  auto b = Frame([&] { shrunk.DrawScreenText(100, 100, 0xFFFFFFFF, "H", 0); });
  const fonttest::Box boxA = fonttest::InkBox(a, 0, 0, 400, 300, fonttest::NotBlack);
  const fonttest::Box boxB = fonttest::InkBox(b, 0, 0, 400, 300, fonttest::NotBlack);
  ASSERT_FALSE(boxA.Empty());
  ASSERT_FALSE(boxB.Empty());
  // An 8-pixel glyph drawn twice as large: roughly the 16-pixel one, give or take its rounding.
  // (The pen still steps back by unscaled margins, so only a single glyph compares.)
  EXPECT_NEAR(boxB.right - boxB.left, boxA.right - boxA.left, 3);
  EXPECT_NEAR(boxB.bottom - boxB.top, boxA.bottom - boxA.top, 3);
}

TEST_F(FontDeviceTest, WithoutADeviceNothingIsBuiltAndNothingDrawn) {
  BitmapFont font("Arial", 12, FontBold);
  EXPECT_EQ(font.AttachDevice(nullptr), E_FAIL);
  EXPECT_EQ(font.CreateDrawResources(), E_FAIL);
  EXPECT_EQ(font.DrawScreenText(0, 0, 0xFFFFFFFF, "abc", TextFiltered), E_FAIL);
  EXPECT_EQ(font.ReleaseDrawResources(), S_OK);
  EXPECT_EQ(font.DetachDevice(), S_OK);
  EXPECT_EQ(font.DetachDevice(), S_OK);
}

}  // namespace
