// Headless renders of the bundled data set through the viewer's own frame: every model must put
// textured pixels on the screen, and the renders become docs/contact-sheet.png and
// docs/screenshot.png.
//
// The images go to the test output folder; to refresh the committed ones run
//   KVR_DOCS_DIR=$PWD/docs tools/make_docs_images.sh
#include <cstdio>
#include <cstdlib>
#include <string>

#include "overlay/bitmap_font.h"
#include "sample_fixture.h"

namespace sampletest {
namespace {

const char* kCategoryRows[8] = {"BODIES",      "FEATURES",   "MISCELANEOUS", "RESEARCHIMD",
                                "EFFECTS",     "PROPULSIONS", "STRUCTURES",   "WEAPONS"};

std::string ImagePath(const std::string& name) {
  const char* docs = std::getenv("KVR_DOCS_DIR");
  if (docs && *docs) return std::string(docs) + "/" + name;
  return testsupport::OutputPath(name);
}

// Background of the renders: the three sliders set the clear colour.
void SetBackground(int r, int g, int b) {
  viewerState.sliderRed = r;
  viewerState.sliderGreen = g;
  viewerState.sliderBlue = b;
  SetColorBar(r, 0);
  SetColorBar(g, 1);
  SetColorBar(b, 2);
}

kvrtest::Image Blank(int w, int h, uint32_t argb) {
  kvrtest::Image img;
  img.width = w;
  img.height = h;
  img.pixels.assign(static_cast<size_t>(w) * h, argb);
  return img;
}

// Copies src's rectangle (sx, sy, w, h), shrunk by `shrink` with a box filter, to (dx, dy).
void Paste(kvrtest::Image& dst, int dx, int dy, const kvrtest::Image& src, int sx, int sy, int w, int h,
           int shrink) {
  for (int y = 0; y < h / shrink; ++y)
    for (int x = 0; x < w / shrink; ++x) {
      uint32_t r = 0, g = 0, b = 0;
      for (int j = 0; j < shrink; ++j)
        for (int i = 0; i < shrink; ++i) {
          uint32_t p = src.At(sx + x * shrink + i, sy + y * shrink + j);
          r += (p >> 16) & 0xFF;
          g += (p >> 8) & 0xFF;
          b += p & 0xFF;
        }
      uint32_t n = static_cast<uint32_t>(shrink * shrink);
      int tx = dx + x, ty = dy + y;
      if (tx >= 0 && tx < dst.width && ty >= 0 && ty < dst.height)
        dst.pixels[static_cast<size_t>(ty) * dst.width + tx] = 0xFF000000u | (r / n) << 16 | (g / n) << 8 | (b / n);
    }
}

// A line of text in the viewer's font on black, read back from the device.
kvrtest::Image TextImage(const std::string& text, uint8_t r, uint8_t g, uint8_t b) {
  IDirect3DDevice9* d = g_pd3dDevice;
  d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(255, 0, 0, 0), 1.0f, 0);
  d->BeginScene();
  ResetTextureStages();
  DrawTextRgb(0, 0, text.c_str(), r, g, b);
  d->EndScene();
  kvrtest::Image image = kvrtest::ReadBackBuffer(d);
  d->Present(nullptr, nullptr, nullptr, nullptr);
  return image;
}

// Pixels of the rectangle that differ from the background colour.
int Covered(const kvrtest::Image& img, int x0, int y0, int x1, int y1, uint32_t background) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if ((img.At(x, y) & 0x00FFFFFF) != (background & 0x00FFFFFF)) ++n;
  return n;
}

TEST_F(SampleTest, EveryModelDrawsOnScreenAndMakesTheContactSheet) {
  const int kCell = 200, kShrink = 3, kLabel = 22, kHeading = 150, kColumns = 9;
  const uint32_t kSheet = 0xFF101418;
  SetBackground(34, 40, 52);
  const uint32_t background = 0xFF000000u | 34u << 16 | 40u << 8 | 52u;
  kvrtest::Image sheet = Blank(kHeading + kColumns * kCell, 8 * (kCell + kLabel), kSheet);
  int row = 0;
  for (int category : {CategoryStructures, CategoryBodies, CategoryPropulsions, CategoryWeapons,
                       CategoryFeatures, CategoryMiscelaneous, CategoryResearch, CategoryEffects}) {
    SelectCategory(category);
    viewerState.showModelPanel = false;
    kvrtest::Image heading = TextImage(kCategoryRows[category], 255, 255, 0);
    Paste(sheet, 8, row * (kCell + kLabel) + kCell / 2, heading, 0, 0, kHeading - 8, 20, 1);
    if (viewerState.nameList.empty())  // the log says why the category loaded nothing
      for (const std::string& line : Log()) std::printf("%s\n", line.c_str());
    ASSERT_FALSE(viewerState.nameList.empty()) << kCategoryRows[category];
    for (size_t i = 0; i < viewerState.nameList.size() && i < size_t(kColumns); ++i) {
      SelectListEntry(static_cast<int32_t>(i));
      ASSERT_NE(viewerState.displayedModel, -1) << viewerState.nameList[i];
      // Let the animations run a little so that keyframe models are caught mid-move.
      for (int step = 0; step < 3; ++step) {
        kvrtest::AdvanceTime(130);
        RenderFrame();
      }
      kvrtest::Image frame = kvrtest::ReadBackBuffer(g_pd3dDevice);
      kvrtest::WritePng(testsupport::OutputPath("sample-" + viewerState.nameList[i] + ".png"), frame);
      // The model sits about the middle of the screen; the name is drawn at the top.
      int covered = Covered(frame, 212, 84, 812, 684, background);
      EXPECT_GT(covered, 600 * 600 / 20) << viewerState.nameList[i] << " barely shows";
      int x = kHeading + static_cast<int>(i) * kCell, y = row * (kCell + kLabel);
      Paste(sheet, x, y, frame, 212, 84, 600, 600, kShrink);
      kvrtest::Image label = TextImage(viewerState.nameList[i], 230, 230, 230);
      Paste(sheet, x + 6, y + kCell, label, 0, 0, kCell - 6, kLabel - 2, 1);
    }
    ++row;
  }
  EXPECT_TRUE(kvrtest::WritePng(ImagePath("contact-sheet.png"), sheet));
}

TEST_F(SampleTest, ScreenshotShowsAModelItsNameTheCategoryPanelAndTheColourBars) {
  SetBackground(52, 74, 96);
  viewerState.rotate = true;
  viewerState.showCategoryPanel = true;
  // Hovering the structures row, which lights it green.
  kvrtest::SetCursorPos(70, 128);
  for (int step = 0; step < 12; ++step) {
    kvrtest::AdvanceTime(100);
    PollCursor();
    RenderFrame();
  }
  kvrtest::Image frame = kvrtest::ReadBackBuffer(g_pd3dDevice);
  EXPECT_GT(Covered(frame, 212, 84, 812, 684, 0xFF344A60), 600 * 600 / 20);
  EXPECT_TRUE(kvrtest::WritePng(ImagePath("screenshot.png"), frame));
}

}  // namespace
}  // namespace sampletest
