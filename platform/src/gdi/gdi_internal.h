// Objects behind the GDI handles, shared by the device-context and the font files of the backend.
//
// Handles are pointers to these objects. Every live object and context is kept in a table so that a
// stale or invented handle is refused instead of followed. Like the rest of the layer, GDI is used
// from the main thread only; there is no locking.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kvrgdi {

// Brushes, pens and palettes exist only as the stock objects' handles (a window class's
// background brush, say): nothing draws with them.
enum class ObjectKind { Font, Bitmap, HandleOnly };

struct GdiObject {
  explicit GdiObject(ObjectKind k) : kind(k) {}
  virtual ~GdiObject() = default;
  ObjectKind kind;
  bool stock = false;  // owned by the layer: DeleteObject leaves it alone
  int selections = 0;  // number of contexts it is selected into
};

// A FreeType face at one pixel size. Defined in gdi/font_face.h; the context code only passes it
// around.
struct FontFace;

struct FontObject : GdiObject {
  FontObject();  // both out of line: FontFace is complete only where font_face.h is included
  ~FontObject() override;
  std::unique_ptr<FontFace> face;
};

// A 32 bits-per-pixel DIB section. Pixels are 0x00RRGGBB words (blue in the lowest byte, as the
// bytes B, G, R, X lie in memory). Rows are `width` words apart; row 0 in memory is the top row
// when topDown, else the bottom row.
struct BitmapObject : GdiObject {
  BitmapObject() : GdiObject(ObjectKind::Bitmap) {}
  int width = 0;
  int height = 0;
  bool topDown = true;
  std::vector<uint32_t> pixels;

  // Address of the pixel at device coordinates (x, y), or null outside the bitmap.
  uint32_t* PixelAt(int x, int y) {
    if (x < 0 || y < 0 || x >= width || y >= height || pixels.empty()) return nullptr;
    const int row = topDown ? y : height - 1 - y;
    return &pixels[static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

struct DeviceContext {
  FontObject* font = nullptr;      // never null once created if a default face exists
  BitmapObject* bitmap = nullptr;  // the stock 1x1 bitmap until a DIB section is selected
  COLORREF textColor = 0x00000000;
  COLORREF bkColor = 0x00FFFFFF;
  UINT textAlign = 0;
  int mapMode = MM_TEXT;
  bool windowContext = false;  // made by GetDC, for `window` (null: the screen)
  HWND window = nullptr;
};

// Handle validation: the object behind a handle when it is live and of that kind, else null.
FontObject* FontFromHandle(HGDIOBJ handle);
BitmapObject* BitmapFromHandle(HGDIOBJ handle);
DeviceContext* ContextFromHandle(HDC handle);

// Entered into the object table; the table owns it from then on.
HGDIOBJ RegisterObject(std::unique_ptr<GdiObject> object);

// The font a fresh context starts with (a stock object; null when no font file exists at all).
FontObject* DefaultFont();

// 0x00BBGGRR (COLORREF) to the DIB word 0x00RRGGBB.
inline uint32_t ColorRefToPixel(COLORREF c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

}  // namespace kvrgdi
