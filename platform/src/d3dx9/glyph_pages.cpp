// Glyph pages: each character is drawn alone with ExtTextOutA, white on black, into a scratch
// DIB section wide enough for overhangs on both sides; the box of its lit pixels is copied to a
// 256 x 256 A8R8G8B8 page (alpha = coverage, colour white), rows of glyphs side by side, a new
// page when one is full. A glyph larger than a page gets a page of its own; a font whose cell is
// taller than 512 pixels draws no glyphs (their advances stay). Characters outside Windows-1252
// are drawn as the font's missing-glyph box, so a font has at most 256 glyphs.
#include "d3dx9/glyph_pages.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi/windows_1252.h"

namespace kvrd3dx {
namespace {

constexpr int kPageSide = 256;
constexpr int kMaxGlyphSide = 2048;
// Fonts with taller cells draw no glyphs: a bound on the work of drawing one.
constexpr int kMaxCellHeight = 512;
constexpr int kGap = 1;  // empty texels between glyphs, so linear filtering never reads a neighbour

// The Windows-1252 byte of a character, or 0x81 (a byte the code page leaves unassigned, which
// GDI draws as the missing glyph) when it has none.
unsigned char AnsiByte(char32_t c) { return kvrgdi::Windows1252Byte(c, 0x81); }

int PowerOfTwoAtLeast(int v) {
  int p = 1;
  while (p < v) p <<= 1;
  return p;
}

}  // namespace

GlyphPages::GlyphPages(IDirect3DDevice9* device, HDC dc, HFONT font) : device_(device), dc_(dc) {
  SIZE size = {0, 0};
  if (GetTextExtentPoint32A(dc_, "X", 1, &size)) cellHeight_ = static_cast<int>(size.cy);
  scratchDc_ = CreateCompatibleDC(dc_);
  if (scratchDc_) {
    scratchFontPrevious_ = SelectObject(scratchDc_, font);
    SetTextColor(scratchDc_, RGB(255, 255, 255));
    SetBkColor(scratchDc_, RGB(0, 0, 0));
    SetTextAlign(scratchDc_, TA_LEFT | TA_TOP);
  }
}

GlyphPages::~GlyphPages() {
  Clear();
  if (scratchDc_) {
    if (scratchPrevious_) SelectObject(scratchDc_, scratchPrevious_);
    if (scratchFontPrevious_) SelectObject(scratchDc_, scratchFontPrevious_);
    DeleteDC(scratchDc_);
  }
  if (scratch_) DeleteObject(scratch_);
}

void GlyphPages::Clear() {
  for (IDirect3DTexture9* page : pages_) page->Release();
  pages_.clear();
  made_.fill(false);
  glyphs_.fill(Glyph());
  pageSide_ = shelfX_ = shelfY_ = shelfHeight_ = 0;
}

const Glyph& GlyphPages::Get(char32_t c) {
  // Every character GDI cannot draw shares the missing glyph, so there are at most 256 glyphs.
  const unsigned char byte = AnsiByte(c);
  if (!made_[byte]) {
    made_[byte] = true;
    if (!Rasterise(byte, glyphs_[byte])) glyphs_[byte].page = nullptr;
  }
  return glyphs_[byte];
}

bool GlyphPages::EnsureScratch(int width, int height) {
  if (!scratchDc_) return false;
  if (scratch_ && width <= scratchWidth_ && height <= scratchHeight_) return true;
  width = std::max(width, scratchWidth_);
  height = std::max(height, scratchHeight_);
  BITMAPINFO info;
  std::memset(&info, 0, sizeof(info));
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(scratchDc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return false;
  HGDIOBJ previous = SelectObject(scratchDc_, bitmap);
  if (!scratchPrevious_) scratchPrevious_ = previous;
  if (scratch_) DeleteObject(scratch_);
  scratch_ = bitmap;
  scratchBits_ = static_cast<uint32_t*>(bits);
  scratchWidth_ = width;
  scratchHeight_ = height;
  return true;
}

bool GlyphPages::Rasterise(unsigned char ansi, Glyph& glyph) {
  const char byte = static_cast<char>(ansi);
  SIZE size = {0, 0};
  if (!GetTextExtentPoint32A(dc_, &byte, 1, &size)) return false;
  glyph.advance = static_cast<int>(size.cx);
  if (cellHeight_ <= 0 || cellHeight_ > kMaxCellHeight) return false;
  // Room for italic overhangs and accents above and below the cell.
  const int padX = cellHeight_ / 2 + 2;
  const int padY = cellHeight_ / 4 + 2;
  const int64_t width = int64_t{std::max(glyph.advance, 0)} + 2 * padX;
  const int64_t height = int64_t{cellHeight_} + 2 * padY;
  if (width > kMaxGlyphSide * 2 || height > kMaxGlyphSide * 2) return false;
  if (!EnsureScratch(static_cast<int>(width), static_cast<int>(height))) return false;

  const int usedWidth = static_cast<int>(width), usedHeight = static_cast<int>(height);
  RECT used = {0, 0, usedWidth, usedHeight};
  ExtTextOutA(scratchDc_, padX, padY, ETO_OPAQUE | ETO_CLIPPED, &used, &byte, 1, nullptr);

  // The box of lit pixels; the green byte is the coverage.
  int left = usedWidth, top = usedHeight, right = -1, bottom = -1;
  for (int y = 0; y < usedHeight; ++y)
    for (int x = 0; x < usedWidth; ++x)
      if ((scratchBits_[static_cast<size_t>(y) * scratchWidth_ + x] >> 8) & 0xFF) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  if (right < 0) return true;  // nothing to draw: a space
  const int w = right - left + 1, h = bottom - top + 1;
  if (w > kMaxGlyphSide || h > kMaxGlyphSide) return false;
  if (!Place(w, h, glyph)) return false;
  glyph.offsetX = left - padX;
  glyph.offsetY = top - padY;

  D3DLOCKED_RECT locked;
  if (FAILED(glyph.page->LockRect(0, &locked, &glyph.source, 0))) {
    glyph.page = nullptr;
    return false;
  }
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + ptrdiff_t{y} * locked.Pitch);
    const uint32_t* from = scratchBits_ + static_cast<size_t>(top + y) * scratchWidth_ + left;
    for (int x = 0; x < w; ++x) row[x] = ((from[x] >> 8) & 0xFF) << 24 | 0x00FFFFFF;
  }
  glyph.page->UnlockRect(0);
  return true;
}

bool GlyphPages::Place(int width, int height, Glyph& glyph) {
  IDirect3DTexture9* page = nullptr;
  int x = 0, y = 0;
  if (width + kGap > kPageSide || height + kGap > kPageSide) {
    // A page of its own.
    const int side = PowerOfTwoAtLeast(std::max(width, height) + kGap);
    if (FAILED(device_->CreateTexture(side, side, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &page, nullptr)))
      return false;
    pages_.insert(pages_.begin(), page);  // the shared page stays last
  } else {
    if (!pages_.empty() && pageSide_ == kPageSide) {
      if (shelfX_ + width + kGap > kPageSide) {
        shelfX_ = 0;
        shelfY_ += shelfHeight_;
        shelfHeight_ = 0;
      }
      if (shelfY_ + height + kGap <= kPageSide) page = pages_.back();
    }
    if (!page) {
      if (FAILED(device_->CreateTexture(kPageSide, kPageSide, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &page,
                                        nullptr)))
        return false;
      // Clear the page: texels no glyph covers are transparent.
      D3DLOCKED_RECT locked;
      if (SUCCEEDED(page->LockRect(0, &locked, nullptr, 0))) {
        for (int row = 0; row < kPageSide; ++row)
          std::memset(static_cast<uint8_t*>(locked.pBits) + ptrdiff_t{row} * locked.Pitch, 0, kPageSide * 4);
        page->UnlockRect(0);
      }
      pages_.push_back(page);
      pageSide_ = kPageSide;
      shelfX_ = shelfY_ = shelfHeight_ = 0;
    }
    x = shelfX_ + kGap;
    y = shelfY_ + kGap;
    shelfX_ += width + kGap;
    shelfHeight_ = std::max(shelfHeight_, height + kGap);
  }
  glyph.page = page;
  glyph.source = {x, y, x + width, y + height};
  return true;
}

}  // namespace kvrd3dx
