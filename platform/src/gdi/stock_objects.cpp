// GDI stock objects.
// Implemented: GetStockObject for every index up to STOCK_LAST but 9 (which Windows leaves empty):
//   the fonts are the stock font a new context starts with; brushes, pens and the palette are
//   handles that name the object and do nothing else (a window class's hbrBackground is one; the
//   window is never painted with it, as a Direct3D program paints all of it). DeleteObject on any
//   of them succeeds and leaves it alive, as on Windows.
// Not implemented: drawing with brushes or pens, GetObject on stock objects.
#include <windows.h>

#include <memory>

#include "gdi/gdi_internal.h"

using namespace kvrgdi;

extern "C" HGDIOBJ WINAPI GetStockObject(int i) {
  if (i < WHITE_BRUSH || i > STOCK_LAST || i == 9) return nullptr;
  switch (i) {
    case OEM_FIXED_FONT: case ANSI_FIXED_FONT: case ANSI_VAR_FONT: case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT: case SYSTEM_FIXED_FONT: case DEFAULT_GUI_FONT:
      if (FontObject* font = DefaultFont()) return font;
      break;  // no font file at all: a plain handle still names the object
    default:
      break;
  }
  // Made once each, at first use, and never released: stock objects live as long as the process.
  static HGDIOBJ handles[STOCK_LAST + 1] = {};
  if (!handles[i]) {
    auto object = std::make_unique<GdiObject>(ObjectKind::HandleOnly);
    object->stock = true;
    handles[i] = RegisterObject(std::move(object));
  }
  return handles[i];
}
