// GDI text on FreeType: face mapping, metrics and painting into DIB sections.
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>
#include <windows.h>

#include <cstdint>
#include <string>

namespace {

HFONT MakeFont(int height, int weight, const char* face) {
  return CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH, face);
}

// A memory context with a top-down (or bottom-up) 32 bpp DIB section selected.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  uint32_t* bits = nullptr;
  int width = 0, height = 0;
  bool topDown = true;

  Canvas(int w, int h, bool top = true) : width(w), height(h), topDown(top) {
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = top ? -h : h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint32_t*>(p);
    oldBitmap = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  // Pixel at screen position (x, y), whatever the row order in memory.
  uint32_t At(int x, int y) const { return bits[(topDown ? y : height - 1 - y) * width + x]; }
};

TEST(GdiFontMapping, ArialBoldResolvesToTheBoldFileOfLiberationSans) {
  HFONT font = MakeFont(-16, FW_BOLD, "Arial");
  ASSERT_NE(font, nullptr);
  kvrtest::FontDescription d = kvrtest::DescribeFont(font);
  EXPECT_EQ(d.family, "Liberation Sans");
  EXPECT_EQ(d.style, "Bold");
  EXPECT_FALSE(d.syntheticBold);
  EXPECT_EQ(d.pixelsPerEm, 16);
  EXPECT_TRUE(DeleteObject(font));

  HFONT regular = MakeFont(-16, FW_NORMAL, "arial");  // face names ignore letter case
  ASSERT_NE(regular, nullptr);
  EXPECT_EQ(kvrtest::DescribeFont(regular).style, "Regular");
  DeleteObject(regular);
}

TEST(GdiFontMapping, AnUnknownFaceGetsTheBestMatchInsteadOfNothing) {
  HFONT font = MakeFont(-16, FW_NORMAL, "No Such Face Anywhere 7");
  ASSERT_NE(font, nullptr);
  EXPECT_FALSE(kvrtest::DescribeFont(font).file.empty());
  DeleteObject(font);
  HFONT unnamed = MakeFont(-16, FW_NORMAL, nullptr);
  EXPECT_NE(unnamed, nullptr);
  DeleteObject(unnamed);
}

TEST(GdiTextMetrics, TwelvePointBoldArialAtNinetySixDpiMeasuresLikeGdi) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(SetMapMode(dc, MM_TEXT), MM_TEXT);
  ASSERT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
  const int height = -MulDiv(12, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ASSERT_EQ(height, -16);
  HFONT font = MakeFont(height, FW_BOLD, "Arial");
  ASSERT_NE(font, nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  EXPECT_NE(old, nullptr);  // the context's stock font

  // Cell = rounded Windows ascent (1854/2048 em) + rounded descent (434/2048 em) at 16 px.
  SIZE x = {};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "x", 1, &x));
  EXPECT_EQ(x.cy, 17);
  EXPECT_GE(x.cx, 8);  // bold x is 0.556 em
  EXPECT_LE(x.cx, 10);
  SIZE w = {}, text = {}, none = {};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "W", 1, &w));
  EXPECT_GE(w.cx, 14);  // bold W is 0.944 em
  EXPECT_LE(w.cx, 16);
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "Structures", 10, &text));
  EXPECT_GT(text.cx, 70);
  EXPECT_LT(text.cx, 100);
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "", 0, &none));
  EXPECT_EQ(none.cx, 0);
  EXPECT_EQ(none.cy, 17);

  // The same text in the regular weight is narrower.
  HFONT regular = MakeFont(height, FW_NORMAL, "Arial");
  SelectObject(dc, regular);
  SIZE thin = {};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "Structures", 10, &thin));
  EXPECT_LT(thin.cx, text.cx);

  // A positive height asks for the cell, not the em.
  HFONT byCell = MakeFont(17, FW_BOLD, "Arial");
  EXPECT_EQ(SelectObject(dc, byCell), regular);
  SIZE cell = {};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "x", 1, &cell));
  EXPECT_LE(cell.cy, 17);
  EXPECT_EQ(kvrtest::DescribeFont(byCell).pixelsPerEm, 15);

  // Selected objects cannot be deleted; deselected ones can.
  EXPECT_FALSE(DeleteObject(byCell));
  SelectObject(dc, old);
  EXPECT_TRUE(DeleteObject(byCell));
  EXPECT_TRUE(DeleteObject(regular));
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiTextMetrics, StaleAndInventedHandlesAreRefused) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = MakeFont(-16, FW_BOLD, "Arial");
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_FALSE(DeleteObject(font));
  EXPECT_EQ(SelectObject(dc, font), nullptr);
  EXPECT_TRUE(DeleteDC(dc));
  SIZE s = {};
  EXPECT_FALSE(GetTextExtentPoint32A(dc, "x", 1, &s));
  EXPECT_FALSE(ExtTextOutA(dc, 0, 0, ETO_OPAQUE, nullptr, "x", 1, nullptr));
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 0);
  int bogus = 0;
  EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(&bogus), nullptr), nullptr);
  EXPECT_FALSE(DeleteObject(&bogus));
}

TEST(GdiDibSection, OnlyThirtyTwoBitRgbSectionsOfSaneSizeAreMade) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = -4;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = &info;
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biWidth = 0x7FFFFFFF;
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = INT32_MIN;
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(GdiTextOutput, WhiteOnBlackPaintsAntiAliasedCoverageInsideTheCell) {
  Canvas canvas(64, 32);
  ASSERT_NE(canvas.bits, nullptr);
  HFONT font = MakeFont(-16, FW_BOLD, "Arial");
  HGDIOBJ oldFont = SelectObject(canvas.dc, font);
  SetTextColor(canvas.dc, 0x00FFFFFF);
  SetBkColor(canvas.dc, 0);
  SetTextAlign(canvas.dc, TA_TOP | TA_LEFT);
  SIZE cell = {};
  GetTextExtentPoint32A(canvas.dc, "O", 1, &cell);
  ASSERT_TRUE(ExtTextOutA(canvas.dc, 5, 3, ETO_OPAQUE, nullptr, "O", 1, nullptr));

  int full = 0, partial = 0, outside = 0;
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const uint32_t p = canvas.At(x, y);
      const uint32_t blue = p & 0xFF;
      EXPECT_EQ(p, blue * 0x010101u) << "grey expected at " << x << "," << y;
      const bool inCell = x >= 5 && x < 5 + cell.cx && y >= 3 && y < 3 + cell.cy;
      if (!inCell && blue) ++outside;
      if (inCell && blue == 255) ++full;
      if (inCell && blue > 0 && blue < 255) ++partial;
    }
  }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(full, 20);    // the ring's solid strokes
  EXPECT_GT(partial, 8);  // its anti-aliased curves
  // The ring's hole stays background.
  EXPECT_EQ(canvas.At(5 + cell.cx / 2, 3 + 14 - 6) & 0xFF, 0u);
  SelectObject(canvas.dc, oldFont);
  DeleteObject(font);
}

TEST(GdiTextOutput, OpaqueBackgroundFillsTheWholeCellInTheBackgroundColour) {
  Canvas canvas(40, 24, /*top=*/false);  // bottom-up: rows are mirrored in memory
  HFONT font = MakeFont(-16, FW_BOLD, "Arial");
  HGDIOBJ oldFont = SelectObject(canvas.dc, font);
  SetTextColor(canvas.dc, RGB(0, 255, 0));
  SetBkColor(canvas.dc, RGB(0, 0, 255));
  SIZE cell = {};
  GetTextExtentPoint32A(canvas.dc, "i", 1, &cell);
  ASSERT_TRUE(ExtTextOutA(canvas.dc, 2, 1, ETO_OPAQUE, nullptr, "i", 1, nullptr));
  EXPECT_EQ(canvas.At(2, 1), 0x000000FFu);  // blue in the DIB's lowest byte
  EXPECT_EQ(canvas.At(2 + cell.cx - 1, 1 + cell.cy - 1), 0x000000FFu);
  EXPECT_EQ(canvas.At(2 + cell.cx, 1), 0u);
  EXPECT_EQ(canvas.At(2, 1 + cell.cy), 0u);
  EXPECT_EQ(canvas.bits[(canvas.height - 1 - 1) * canvas.width + 2], 0x000000FFu);
  bool green = false;
  for (int y = 1; y < 1 + cell.cy; ++y)
    for (int x = 2; x < 2 + cell.cx; ++x) green |= canvas.At(x, y) == 0x0000FF00u;
  EXPECT_TRUE(green);

  SelectObject(canvas.dc, oldFont);
  DeleteObject(font);
}

}  // namespace
