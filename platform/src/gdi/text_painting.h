// Painting text into a DIB section's pixels, shared by the GDI text backends: the clip box,
// the filled background and the glyphs' coverage blended over it.
#pragma once
#include <algorithm>
#include <cstdint>

#include "gdi/gdi_internal.h"

namespace kvrgdi {

struct ClipBox {
  int left, top, right, bottom;  // right and bottom exclusive
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

inline ClipBox Intersect(const ClipBox& a, int64_t left, int64_t top, int64_t right, int64_t bottom) {
  ClipBox r;
  r.left = static_cast<int>(std::max<int64_t>(a.left, left));
  r.top = static_cast<int>(std::max<int64_t>(a.top, top));
  r.right = static_cast<int>(std::min<int64_t>(a.right, right));
  r.bottom = static_cast<int>(std::min<int64_t>(a.bottom, bottom));
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

inline void Fill(BitmapObject& bitmap, const ClipBox& box, uint32_t pixel) {
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x)
      if (uint32_t* p = bitmap.PixelAt(x, y)) *p = pixel;
}

// Blends `color` over the pixel with an 8-bit coverage; the top byte comes out 0, as GDI
// leaves it.
inline void Blend(uint32_t& pixel, uint32_t color, unsigned coverage) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const unsigned dst = (pixel >> shift) & 0xFF;
    const unsigned src = (color >> shift) & 0xFF;
    const unsigned mixed = (dst * (255 - coverage) + src * coverage + 127) / 255;
    out |= mixed << shift;
  }
  pixel = out;
}

}  // namespace kvrgdi
