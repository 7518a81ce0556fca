// The FreeType face behind a GDI font, shared by font.cpp and the test seams that describe it.
// Only font.cpp and those seams include this header; the context code knows FontFace by name only.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace kvrgdi {

struct FontFace {
  FT_Face face = nullptr;
  int pixelsPerEm = 0;
  int ascent = 0;   // pixels above the baseline in the cell
  int descent = 0;  // pixels below it
  bool syntheticBold = false;
  bool syntheticItalic = false;
  bool antialiased = true;
  std::string file;
  ~FontFace() {
    if (face) FT_Done_Face(face);
  }
};

}  // namespace kvrgdi
