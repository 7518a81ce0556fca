// Shared set-up of the bitmap font tests: a headless device, image helpers, GDI reference text.
#pragma once
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include "app/camera.h"
#include "app/device.h"
#include "app/scene.h"
#include "overlay/bitmap_font.h"
#include "test_support.h"

namespace fonttest {

// Smallest rectangle holding every pixel that passes a test; empty when none does.
struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
  bool Empty() const { return right < left; }
  void Add(int x, int y) {
    left = std::min(left, x);
    top = std::min(top, y);
    right = std::max(right, x);
    bottom = std::max(bottom, y);
  }
};

template <typename Pred>
Box InkBox(const kvrtest::Image& image, int x0, int y0, int x1, int y1, Pred ink) {
  Box box;
  for (int y = std::max(0, y0); y < std::min(image.height, y1); ++y)
    for (int x = std::max(0, x0); x < std::min(image.width, x1); ++x)
      if (ink(image.At(x, y))) box.Add(x, y);
  return box;
}

inline bool NotBlack(uint32_t p) { return (p & 0x00FFFFFF) != 0; }

// Where GDI puts the ink of `text` drawn with its cell's top-left at (0, 0), counting only pixels
// whose coverage survives the atlas's four bits (blue byte 16 and up).
struct GdiReference {
  Box ink;
  SIZE extent = {};
};

inline GdiReference MeasureWithGdi(const char* text, int emPixels = 16, bool bold = true) {
  GdiReference ref;
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(-emPixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH, "Arial");
  HGDIOBJ oldFont = SelectObject(dc, font);
  GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &ref.extent);
  const int w = ref.extent.cx + 8, h = ref.extent.cy + 8;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ oldBitmap = SelectObject(dc, dib);
  SetTextColor(dc, 0x00FFFFFF);
  SetBkColor(dc, 0);
  ExtTextOutA(dc, 4, 4, ETO_OPAQUE, nullptr, text, static_cast<UINT>(strlen(text)), nullptr);
  const uint32_t* p = static_cast<const uint32_t*>(bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if ((p[y * w + x] & 0xFF) >= 16) ref.ink.Add(x - 4, y - 4);
  SelectObject(dc, oldBitmap);
  SelectObject(dc, oldFont);
  DeleteObject(dib);
  DeleteObject(font);
  DeleteDC(dc);
  return ref;
}

class FontDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kvrtest::ResetDeviceSeams();
    dev = testsupport::CreateTestDevice(1024, 768);
    ASSERT_NE(dev, nullptr);
    device = dev->device;
    g_pd3dDevice = nullptr;
  }
  void TearDown() override {
    DestroyScreenFont();
    g_pd3dDevice = nullptr;
    kvrtest::ResetDeviceSeams();
    dev.reset();
  }

  // Clears to black, runs `draw` inside a scene and returns the back buffer.
  template <typename Draw>
  kvrtest::Image Frame(Draw draw, D3DCOLOR clear = 0xFF000000) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
    device->BeginScene();
    draw();
    device->EndScene();
    return kvrtest::ReadBackBuffer(device);
  }

  std::unique_ptr<testsupport::TestDevice> dev;
  IDirect3DDevice9* device = nullptr;
};

}  // namespace fonttest
