// The glyphs of one font, drawn once through GDI and kept in textures ("pages"), white texels
// whose alpha is the glyph's coverage, for ID3DXFont to draw with a sprite.
#pragma once
#include <d3d9.h>

#include <cstdint>
#include <array>
#include <vector>

namespace kvrd3dx {

struct Glyph {
  IDirect3DTexture9* page = nullptr;  // null: the glyph draws nothing (a space, or no room for it)
  RECT source = {0, 0, 0, 0};         // where it lies on its page
  int offsetX = 0;                    // its top left from the pen position and the top of the cell
  int offsetY = 0;
  int advance = 0;                    // pen advance, in pixels
};

class GlyphPages {
 public:
  // `dc` has `font` selected; both stay the caller's.
  GlyphPages(IDirect3DDevice9* device, HDC dc, HFONT font);
  ~GlyphPages();
  GlyphPages(const GlyphPages&) = delete;
  GlyphPages& operator=(const GlyphPages&) = delete;

  // The glyph of a character, drawn on first use. Never null.
  const Glyph& Get(char32_t c);
  int Advance(char32_t c) { return Get(c).advance; }
  int CellHeight() const { return cellHeight_; }
  // Every page and glyph is dropped (and drawn again when next asked for).
  void Clear();

 private:
  bool Rasterise(unsigned char ansi, Glyph& glyph);
  bool Place(int width, int height, Glyph& glyph);
  bool EnsureScratch(int width, int height);

  IDirect3DDevice9* device_;
  HDC dc_;
  int cellHeight_ = 0;
  std::array<Glyph, 256> glyphs_{};  // by Windows-1252 byte
  std::array<bool, 256> made_{};
  std::vector<IDirect3DTexture9*> pages_;
  int pageSide_ = 0;                 // side of the current page
  int shelfX_ = 0, shelfY_ = 0, shelfHeight_ = 0;
  // A DIB section the glyphs are drawn into, white on black.
  HDC scratchDc_ = nullptr;
  HBITMAP scratch_ = nullptr;
  HGDIOBJ scratchPrevious_ = nullptr;
  HGDIOBJ scratchFontPrevious_ = nullptr;
  uint32_t* scratchBits_ = nullptr;
  int scratchWidth_ = 0, scratchHeight_ = 0;
};

}  // namespace kvrd3dx
