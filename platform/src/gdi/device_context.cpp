// GDI memory device contexts, object selection and DIB sections.
// Implemented: CreateCompatibleDC (a memory context, with or without a reference context), DeleteDC,
//   SetMapMode (MM_TEXT), GetDeviceCaps (LOGPIXELSX/LOGPIXELSY = 96), SelectObject for fonts and
//   DIB sections (returns the previous object), DeleteObject, CreateDIBSection (32 bpp BI_RGB,
//   top-down or bottom-up, zero-filled memory owned until DeleteObject), SetTextColor, SetBkColor,
//   SetTextAlign. (MulDiv, which font sizing uses, lives with kernel32 in win32/.)
//   GetDC/ReleaseDC: a window's (or the screen's) context is such a context too, tied to the window:
//   text can be measured on it and GetDeviceCaps answers, but nothing drawn into it reaches the
//   screen (Direct3D owns the client area); DeleteDC refuses it, ReleaseDC with its window frees it.
// Not implemented: drawing onto windows or the screen, other mapping modes
//   (SetMapMode returns 0), GetDeviceCaps indices other than the two above (0), palettes, pens,
//   brushes, regions, bitmaps other than 32 bpp BI_RGB DIB sections, file-mapping sections.
//   Deleting an object that is still selected into a context fails rather than leaving it dangling.
#include <windows.h>

#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "gdi/gdi_internal.h"
#include "win32/win32_state.h"

namespace kvrgdi {
namespace {

// Live objects and contexts, keyed by their handle value.
std::unordered_map<GdiObject*, std::unique_ptr<GdiObject>>& Objects() {
  static std::unordered_map<GdiObject*, std::unique_ptr<GdiObject>> table;
  return table;
}

std::unordered_map<DeviceContext*, std::unique_ptr<DeviceContext>>& Contexts() {
  static std::unordered_map<DeviceContext*, std::unique_ptr<DeviceContext>> table;
  return table;
}

GdiObject* ObjectFromHandle(HGDIOBJ handle) {
  auto* object = static_cast<GdiObject*>(handle);
  return Objects().count(object) ? object : nullptr;
}

// What a fresh memory context has selected: GDI gives it a 1x1 monochrome bitmap; text drawn
// into it goes nowhere, which is what this empty bitmap does too.
BitmapObject* StockBitmap() {
  static BitmapObject* bitmap = [] {
    auto owned = std::make_unique<BitmapObject>();
    owned->stock = true;
    BitmapObject* raw = owned.get();
    RegisterObject(std::move(owned));
    return raw;
  }();
  return bitmap;
}

// Largest DIB section accepted, in bytes: far beyond any glyph atlas, well below what would
// exhaust memory on a bogus header.
constexpr uint64_t kMaxDibBytes = uint64_t{1} << 30;
constexpr int64_t kMaxDibSide = 1 << 16;

}  // namespace

HGDIOBJ RegisterObject(std::unique_ptr<GdiObject> object) {
  GdiObject* raw = object.get();
  Objects()[raw] = std::move(object);
  return raw;
}

FontObject* FontFromHandle(HGDIOBJ handle) {
  GdiObject* object = ObjectFromHandle(handle);
  return object && object->kind == ObjectKind::Font ? static_cast<FontObject*>(object) : nullptr;
}

BitmapObject* BitmapFromHandle(HGDIOBJ handle) {
  GdiObject* object = ObjectFromHandle(handle);
  return object && object->kind == ObjectKind::Bitmap ? static_cast<BitmapObject*>(object) : nullptr;
}

DeviceContext* ContextFromHandle(HDC handle) {
  auto* dc = reinterpret_cast<DeviceContext*>(handle);
  return Contexts().count(dc) ? dc : nullptr;
}

}  // namespace kvrgdi

using namespace kvrgdi;

extern "C" {

HDC WINAPI CreateCompatibleDC(HDC hdc) {
  if (hdc && !ContextFromHandle(hdc)) return nullptr;
  auto dc = std::make_unique<DeviceContext>();
  dc->bitmap = StockBitmap();
  dc->bitmap->selections++;
  dc->font = DefaultFont();
  if (dc->font) dc->font->selections++;
  DeviceContext* raw = dc.get();
  Contexts()[raw] = std::move(dc);
  return reinterpret_cast<HDC>(raw);
}

BOOL WINAPI DeleteDC(HDC hdc) {
  DeviceContext* dc = ContextFromHandle(hdc);
  if (!dc || dc->windowContext) return FALSE;  // GetDC's contexts go back through ReleaseDC
  if (dc->font) dc->font->selections--;
  if (dc->bitmap) dc->bitmap->selections--;
  Contexts().erase(dc);
  return TRUE;
}

HDC WINAPI GetDC(HWND hWnd) {
  if (hWnd && hWnd != GetDesktopWindow() && !kvrwin32::IsLiveWindow(hWnd)) return nullptr;
  HDC hdc = CreateCompatibleDC(nullptr);
  if (DeviceContext* dc = ContextFromHandle(hdc)) {
    dc->windowContext = true;
    dc->window = hWnd;
  }
  return hdc;
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
  DeviceContext* dc = ContextFromHandle(hDC);
  if (!dc || !dc->windowContext || dc->window != hWnd) return 0;
  dc->windowContext = false;
  return DeleteDC(hDC) ? 1 : 0;
}

int WINAPI SetMapMode(HDC hdc, int iMode) {
  DeviceContext* dc = ContextFromHandle(hdc);
  if (!dc || iMode != MM_TEXT) return 0;
  const int previous = dc->mapMode;
  dc->mapMode = iMode;
  return previous;
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
  if (!ContextFromHandle(hdc)) return 0;
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
      return 96;  // the "100 %" desktop setting: 12 points are 16 pixels
    default:
      return 0;
  }
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  DeviceContext* dc = ContextFromHandle(hdc);
  if (!dc) return nullptr;
  if (FontObject* font = FontFromHandle(h)) {
    FontObject* previous = dc->font;
    if (previous) previous->selections--;
    font->selections++;
    dc->font = font;
    return previous;
  }
  if (BitmapObject* bitmap = BitmapFromHandle(h)) {
    if (bitmap == dc->bitmap) return bitmap;
    // A bitmap lives in at most one context at a time, as in GDI.
    if (!bitmap->stock && bitmap->selections > 0) return nullptr;
    BitmapObject* previous = dc->bitmap;
    if (previous) previous->selections--;
    bitmap->selections++;
    dc->bitmap = bitmap;
    return previous;
  }
  return nullptr;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  GdiObject* object = ObjectFromHandle(ho);
  if (!object) return FALSE;
  if (object->stock) return TRUE;
  if (object->selections > 0) return FALSE;
  Objects().erase(object);
  return TRUE;
}

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits,
                                HANDLE hSection, DWORD offset) {
  if (ppvBits) *ppvBits = nullptr;
  if (!pbmi || hSection) return nullptr;
  const BITMAPINFOHEADER& h = pbmi->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biBitCount != 32 ||
      h.biCompression != BI_RGB)
    return nullptr;
  const int64_t width = h.biWidth;
  const int64_t height = h.biHeight < 0 ? -int64_t{h.biHeight} : int64_t{h.biHeight};
  if (width <= 0 || height <= 0 || width > kMaxDibSide || height > kMaxDibSide) return nullptr;
  const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
  if (bytes > kMaxDibBytes) return nullptr;

  auto bitmap = std::make_unique<BitmapObject>();
  bitmap->width = static_cast<int>(width);
  bitmap->height = static_cast<int>(height);
  bitmap->topDown = h.biHeight < 0;
  bitmap->pixels.assign(static_cast<size_t>(width * height), 0u);
  if (ppvBits) *ppvBits = bitmap->pixels.data();
  return static_cast<HBITMAP>(RegisterObject(std::move(bitmap)));
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = ContextFromHandle(hdc);
  if (!dc) return CLR_INVALID;
  const COLORREF previous = dc->textColor;
  dc->textColor = color & 0x00FFFFFF;
  return previous;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = ContextFromHandle(hdc);
  if (!dc) return CLR_INVALID;
  const COLORREF previous = dc->bkColor;
  dc->bkColor = color & 0x00FFFFFF;
  return previous;
}

UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
  DeviceContext* dc = ContextFromHandle(hdc);
  if (!dc) return GDI_ERROR;
  const UINT previous = dc->textAlign;
  dc->textAlign = align;
  return previous;
}

}  // extern "C"
