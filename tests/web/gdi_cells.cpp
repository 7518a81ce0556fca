// Prints GDI's text cells, text extents and where the ink of a drawn string lies, for a few
// heights and strings of the viewer's font. Built twice: natively (FreeType) and for the browser
// (canvas text); the browser test compares the two outputs, which must agree within a pixel.
// Lines: height <tab> text <tab> cx <tab> cy <tab> ink left, top, right, bottom (-1 when none).
#include <windows.h>

#include <cstdio>
#include <cstring>

int main() {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 320;
  info.bmiHeader.biHeight = -64;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dc || !bitmap || !bits) {
    std::printf("no device context\nEND\n");
    return 1;
  }
  SelectObject(dc, bitmap);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  const int heights[] = {-16, -12, -24, 16, 0};
  const char* texts[] = {"x", "hq", "FPS  60", "Structures", "MiscelaneousIMD", "WWW", "il1|", "bodya"};
  for (int height : heights) {
    HFONT font = CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH, "Arial");
    if (!font) {
      std::printf("%d\tno font\n", height);
      continue;
    }
    HGDIOBJ old = SelectObject(dc, font);
    for (const char* text : texts) {
      SIZE size = {};
      GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
      std::memset(bits, 0, 320 * 64 * 4);
      const RECT all = {0, 0, 320, 64};
      ExtTextOutA(dc, 8, 8, ETO_OPAQUE, &all, text, static_cast<UINT>(std::strlen(text)), nullptr);
      int left = -1, top = -1, right = -1, bottom = -1;
      const uint32_t* pixels = static_cast<const uint32_t*>(bits);
      for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 320; ++x) {
          if ((pixels[y * 320 + x] & 0xFF) < 128) continue;  // half covered or more counts as ink
          if (left < 0 || x < left) left = x;
          if (x > right) right = x;
          if (top < 0) top = y;
          bottom = y;
        }
      }
      std::printf("%d\t%s\t%ld\t%ld\t%d\t%d\t%d\t%d\n", height, text, static_cast<long>(size.cx),
                  static_cast<long>(size.cy), left, top, right, bottom);
    }
    SelectObject(dc, old);
    DeleteObject(font);
  }
  std::printf("END\n");
  DeleteObject(bitmap);
  DeleteDC(dc);
  return 0;
}
