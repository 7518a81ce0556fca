// A headless frame of screen text checked against where GDI puts the same glyphs.
//
// Tolerance: each string's ink box (pixels with any colour) matches the ink box of GDI's own
// rendering of the string (pixels of coverage 16/255 and up, the least the 4-bit atlas keeps),
// moved to the drawing position, within 1 pixel on every side.
#include <string>
#include <vector>

#include "bitmap_font/font_fixture.h"

namespace {

using fonttest::Box;
using fonttest::FontDeviceTest;

struct Placed {
  const char* text;
  int x, y;
  uint32_t colour;  // 0xRRGGBB
};

TEST_F(FontDeviceTest, AFrameOfYellowRedAndGreenTextShowsEachStringInPlaceAndInItsColour) {
  g_pd3dDevice = device;
  CreateScreenFont();
  // The frame's rate figure as the viewer draws it, and two list rows.
  const std::vector<Placed> placed = {
      {"FPS", 700, -2, 0xFFFF00},
      {"123", 740, -2, 0xFFFF00},
      {"Structures", 10, 100, 0xFF0000},
      {"Weapons", 10, 130, 0x00FF00},
  };
  kvrtest::Image image = Frame([] {
    DrawTextYellow(700, -2, "FPS");
    DrawNumberYellow(740, -2, 123);
    DrawTextRgb(10, 100, "Structures", 255, 0, 0);
    DrawTextRgb(10, 130, "Weapons", 0, 255, 0);
  });
  ASSERT_EQ(image.width, 1024);
  ASSERT_TRUE(kvrtest::WritePng(testsupport::OutputPath("bitmap_font_frame.png"), image));

  std::vector<Box> regions;
  for (const Placed& p : placed) {
    SCOPED_TRACE(p.text);
    const fonttest::GdiReference ref = fonttest::MeasureWithGdi(p.text);
    ASSERT_FALSE(ref.ink.Empty());
    Box region;
    region.Add(p.x - 3, p.y - 3);
    region.Add(p.x + ref.extent.cx + 3, p.y + ref.extent.cy + 3);
    regions.push_back(region);

    const uint32_t want = p.colour;
    uint32_t brightest = 0;
    const Box ink = fonttest::InkBox(image, region.left, region.top, region.right + 1, region.bottom + 1,
                                     [&](uint32_t px) {
                                       const uint32_t rgb = px & 0x00FFFFFF;
                                       if (!rgb) return false;
                                       // Only the text's own channels light up, in the same ratio.
                                       EXPECT_EQ(rgb & ~want, 0u) << std::hex << rgb;
                                       if (want == 0xFFFF00) {
                                         EXPECT_NEAR(int(rgb >> 16), int((rgb >> 8) & 0xFF), 1);
                                       }
                                       brightest = std::max(brightest, rgb);
                                       return true;
                                     });
    EXPECT_EQ(brightest, want);  // solid strokes come out in the exact colour
    EXPECT_NEAR(ink.left, p.x + ref.ink.left, 1);
    EXPECT_NEAR(ink.right, p.x + ref.ink.right, 1);
    EXPECT_NEAR(ink.top, std::max(0, p.y + ref.ink.top), 1);
    EXPECT_NEAR(ink.bottom, p.y + ref.ink.bottom, 1);
  }

  // Nothing else on the screen.
  int stray = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      if (!(image.At(x, y) & 0x00FFFFFF)) continue;
      bool inside = false;
      for (const Box& r : regions) inside |= x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
      stray += !inside;
    }
  EXPECT_EQ(stray, 0);
}

}  // namespace
