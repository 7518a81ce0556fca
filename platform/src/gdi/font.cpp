// GDI fonts and text output on FreeType, with faces found through fontconfig.
// Implemented: CreateFontA (negative height = em height in pixels, positive = cell height
//   ascent + descent, 0 = a 16-pixel cell; weight and italic through fontconfig, synthesised by
//   FreeType when the matched file lacks them; NONANTIALIASED_QUALITY renders 1-bit glyphs, every
//   other quality 8-bit grey coverage), GetTextExtentPoint32A (hinted advances; the height is the
//   cell height from the OS/2 Windows ascent and descent, each rounded to whole pixels),
//   ExtTextOutA into a selected 32 bpp DIB section (ETO_OPAQUE, ETO_CLIPPED, lpDx, horizontal
//   TA_LEFT/TA_CENTER/TA_RIGHT and vertical TA_TOP/TA_BASELINE/TA_BOTTOM alignment; the text cell is
//   filled with the background colour, glyph coverage blends the text colour over it).
//   Bytes are read as Windows-1252. Unknown faces get fontconfig's best match, the way GDI's mapper
//   substitutes one; CreateFontA fails only when no usable font file exists at all.
// Not implemented: width, escapement and orientation (ignored), underline and strike-out (ignored),
//   character sets other than Windows-1252, kerning, ClearType (drawn as grey anti-aliasing),
//   TA_UPDATECP, transparent background mode, bitmap-only fonts.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "gdi/font_face.h"
#include "gdi/gdi_internal.h"
#include "gdi/windows_1252.h"
#include "gdi/text_painting.h"

namespace kvrgdi {

FontObject::FontObject() : GdiObject(ObjectKind::Font) {}
FontObject::~FontObject() = default;

namespace {

// Text alignment bits as GDI numbers them (the header offers only the zero-valued defaults).
constexpr UINT kAlignHorizontalMask = 6;  // TA_LEFT 0, TA_RIGHT 2, TA_CENTER 6
constexpr UINT kAlignRight = 2;
constexpr UINT kAlignCenter = 6;
constexpr UINT kAlignVerticalMask = 24;  // TA_TOP 0, TA_BOTTOM 8, TA_BASELINE 24
constexpr UINT kAlignBottom = 8;
constexpr UINT kAlignBaseline = 24;

// Largest em size we rasterise; GDI itself refuses far smaller heights than FreeType's limit.
constexpr int64_t kMaxPixelsPerEm = 4096;
// A height of 0 asks GDI for "a reasonable default"; this is the cell height we choose.
constexpr int kDefaultCellHeight = 16;

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) return static_cast<FT_Library>(nullptr);
    return lib;
  }();
  return library;
}

bool FontconfigReady() {
  // fontconfig keeps its configuration and caches until FcFini; a process that never calls it
  // ends with some of them unreachable, which a leak checker rightly reports as ours.
  static bool ready = [] {
    if (FcInit() != FcTrue) return false;
    std::atexit([] { FcFini(); });
    return true;
  }();
  return ready;
}

FT_ULong AnsiToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F && kWindows1252High[byte - 0x80] != 0) return kWindows1252High[byte - 0x80];
  return byte;
}

// Ascent and descent of the cell in font units, as GDI takes them: the OS/2 Windows metrics
// when the font has them, else the horizontal header.
void CellMetricsInUnits(FT_Face face, int64_t& ascent, int64_t& descent) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
  } else {
    ascent = face->ascender;
    descent = -int64_t{face->descender};
  }
  if (ascent + descent <= 0) {
    ascent = face->bbox.yMax;
    descent = -int64_t{face->bbox.yMin};
  }
}

// Font units to whole pixels at `ppem`, rounded to nearest.
int ScaleToPixels(int64_t units, int ppem, int64_t unitsPerEm) {
  const int64_t scaled = units * ppem;
  return static_cast<int>(scaled >= 0 ? (scaled + unitsPerEm / 2) / unitsPerEm
                                      : -((-scaled + unitsPerEm / 2) / unitsPerEm));
}

// Opens one candidate file at the requested height; null when FreeType cannot use it.
std::unique_ptr<FontFace> OpenFace(const char* file, int index, int height) {
  FT_Library library = Library();
  if (!library) return nullptr;
  auto f = std::make_unique<FontFace>();
  if (FT_New_Face(library, file, index, &f->face) != 0) {
    f->face = nullptr;
    return nullptr;
  }
  FT_Face face = f->face;
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return nullptr;
  const int64_t upem = face->units_per_EM;
  int64_t ascentUnits = 0, descentUnits = 0;
  CellMetricsInUnits(face, ascentUnits, descentUnits);
  if (ascentUnits + descentUnits <= 0) return nullptr;

  int64_t ppem;
  if (height < 0) {
    ppem = -int64_t{height};  // the em height, "character height" in GDI's words
  } else {
    const int64_t cell = height > 0 ? height : kDefaultCellHeight;
    // The largest em whose rounded cell still fits the asked cell height.
    ppem = (upem * cell + (ascentUnits + descentUnits) / 2) / (ascentUnits + descentUnits);
    ppem = std::clamp<int64_t>(ppem, 1, kMaxPixelsPerEm);
    while (ppem > 1 && ScaleToPixels(ascentUnits, static_cast<int>(ppem), upem) +
                               ScaleToPixels(descentUnits, static_cast<int>(ppem), upem) >
                           cell)
      --ppem;
  }
  ppem = std::clamp<int64_t>(ppem, 1, kMaxPixelsPerEm);
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0) return nullptr;
  f->pixelsPerEm = static_cast<int>(ppem);
  f->ascent = ScaleToPixels(ascentUnits, f->pixelsPerEm, upem);
  f->descent = ScaleToPixels(descentUnits, f->pixelsPerEm, upem);
  f->file = file;
  return f;
}

// Asks fontconfig for the faces that best fit the request, best first, and opens the first one
// FreeType can use.
std::unique_ptr<FontFace> FindFace(const char* faceName, int height, int weight, bool italic) {
  if (!FontconfigReady()) return nullptr;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return nullptr;
  // GDI keeps at most LF_FACESIZE - 1 characters of the name.
  std::string family = faceName ? std::string(faceName, strnlen(faceName, LF_FACESIZE - 1)) : "";
  if (family.empty()) family = "sans-serif";
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight > 0 ? weight : FW_NORMAL));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);

  FcResult result = FcResultNoMatch;
  FcFontSet* candidates = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
  std::unique_ptr<FontFace> found;
  if (candidates) {
    for (int i = 0; i < candidates->nfont && !found; ++i) {
      FcPattern* candidate = candidates->fonts[i];
      FcChar8* file = nullptr;
      int index = 0;
      if (FcPatternGetString(candidate, FC_FILE, 0, &file) != FcResultMatch || !file) continue;
      FcPatternGetInteger(candidate, FC_INDEX, 0, &index);
      found = OpenFace(reinterpret_cast<const char*>(file), index, height);
    }
    FcFontSetDestroy(candidates);
  }
  FcPatternDestroy(pattern);
  if (!found) return nullptr;

  const FT_Face face = found->face;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const bool fileIsBold =
      (face->style_flags & FT_STYLE_FLAG_BOLD) || (os2 && os2->version != 0xFFFF && os2->usWeightClass >= 600);
  found->syntheticBold = weight >= 600 && !fileIsBold;
  found->syntheticItalic = italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
  return found;
}

// Loads the glyph of one byte into the face's slot (rendered when asked) and gives its advance in
// whole pixels. A glyph FreeType cannot load counts as an empty glyph with no advance.
bool LoadGlyph(FontFace& f, unsigned char byte, bool render, int& advance) {
  advance = 0;
  const FT_UInt index = FT_Get_Char_Index(f.face, AnsiToUnicode(byte));
  const FT_Int32 flags = FT_LOAD_NO_BITMAP | (f.antialiased ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
  if (FT_Load_Glyph(f.face, index, flags) != 0) return false;
  FT_GlyphSlot slot = f.face->glyph;
  if (f.syntheticItalic) FT_GlyphSlot_Oblique(slot);
  if (f.syntheticBold) FT_GlyphSlot_Embolden(slot);
  advance = static_cast<int>((slot->advance.x + 32) >> 6);
  if (!render) return true;
  return FT_Render_Glyph(slot, f.antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) == 0;
}

// Advance width of a string in pixels, saturated to the LONG range.
LONG MeasureString(FontFace& f, const char* text, size_t count, const INT* dx) {
  int64_t total = 0;
  for (size_t i = 0; i < count; ++i) {
    int advance = 0;
    if (dx)
      advance = dx[i];
    else
      LoadGlyph(f, static_cast<unsigned char>(text[i]), false, advance);
    total = std::clamp<int64_t>(total + advance, INT32_MIN, INT32_MAX);
  }
  return static_cast<LONG>(total);
}

// Coverage of the rendered glyph in the slot's bitmap at (column, row), 0..255.
unsigned Coverage(const FT_Bitmap& bitmap, unsigned column, unsigned row) {
  const unsigned char* line = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
  if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) return (line[column >> 3] & (0x80 >> (column & 7))) ? 255 : 0;
  if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
    const unsigned levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
    return levels == 255 ? line[column] : line[column] * 255 / levels;
  }
  return 0;
}

}  // namespace

FontObject* DefaultFont() {
  // The stock font of a new context: a proportional sans face with GDI's 16-pixel system cell.
  static FontObject* font = [] {
    std::unique_ptr<FontFace> face = FindFace("sans-serif", kDefaultCellHeight, FW_BOLD, false);
    if (!face) return static_cast<FontObject*>(nullptr);
    auto object = std::make_unique<FontObject>();
    object->face = std::move(face);
    object->stock = true;
    FontObject* raw = object.get();
    RegisterObject(std::move(object));
    return raw;
  }();
  return font;
}

}  // namespace kvrgdi

using namespace kvrgdi;

extern "C" {

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                         DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                         DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality,
                         DWORD iPitchAndFamily, LPCSTR pszFaceName) {
  std::unique_ptr<FontFace> face = FindFace(pszFaceName, cHeight, cWeight, bItalic != 0);
  if (!face) return nullptr;
  face->antialiased = iQuality != NONANTIALIASED_QUALITY;
  auto object = std::make_unique<FontObject>();
  object->face = std::move(face);
  return static_cast<HFONT>(RegisterObject(std::move(object)));
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  DeviceContext* dc = ContextFromHandle(hdc);
  if (!dc || !psizl || c < 0 || (c > 0 && !lpString)) return FALSE;
  if (!dc->font || !dc->font->face) return FALSE;
  FontFace& f = *dc->font->face;
  psizl->cx = MeasureString(f, lpString, static_cast<size_t>(c), nullptr);
  psizl->cy = f.ascent + f.descent;
  return TRUE;
}

BOOL WINAPI ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString,
                        UINT c, const INT* lpDx) {
  DeviceContext* dc = ContextFromHandle(hdc);
  if (!dc || (c > 0 && !lpString)) return FALSE;
  if (!dc->font || !dc->font->face) return FALSE;
  FontFace& f = *dc->font->face;
  BitmapObject* bitmap = dc->bitmap;
  if (!bitmap || bitmap->pixels.empty()) return TRUE;  // the stock bitmap: nothing to draw on

  ClipBox clip = {0, 0, bitmap->width, bitmap->height};
  if ((options & ETO_CLIPPED) && lprect) clip = Intersect(clip, lprect->left, lprect->top, lprect->right, lprect->bottom);
  const uint32_t background = ColorRefToPixel(dc->bkColor);
  const uint32_t foreground = ColorRefToPixel(dc->textColor);
  if ((options & ETO_OPAQUE) && lprect) {
    ClipBox box = Intersect({0, 0, bitmap->width, bitmap->height}, lprect->left, lprect->top,
                            lprect->right, lprect->bottom);
    Fill(*bitmap, box, background);
  }
  if (c == 0) return TRUE;

  // The alignment names which point of the text cell (x, y) is.
  const int64_t width = MeasureString(f, lpString, c, lpDx);
  const int cellHeight = f.ascent + f.descent;
  int64_t left = x, top = y;
  switch (dc->textAlign & kAlignHorizontalMask) {
    case kAlignRight: left -= width; break;
    case kAlignCenter: left -= width / 2; break;
    default: break;
  }
  switch (dc->textAlign & kAlignVerticalMask) {
    case kAlignBottom: top -= cellHeight; break;
    case kAlignBaseline: top -= f.ascent; break;
    default: break;
  }

  // The background mode is always opaque: the cell behind the text takes the background colour.
  Fill(*bitmap, Intersect(clip, left, top, left + width, top + cellHeight), background);

  const int64_t baseline = top + f.ascent;
  int64_t pen = left;
  for (UINT i = 0; i < c; ++i) {
    int advance = 0;
    if (LoadGlyph(f, static_cast<unsigned char>(lpString[i]), true, advance)) {
      const FT_GlyphSlot slot = f.face->glyph;
      const FT_Bitmap& glyph = slot->bitmap;
      const int64_t originX = pen + slot->bitmap_left;
      const int64_t originY = baseline - slot->bitmap_top;
      for (unsigned row = 0; row < glyph.rows; ++row) {
        const int64_t py = originY + row;
        if (py < clip.top || py >= clip.bottom) continue;
        for (unsigned column = 0; column < glyph.width; ++column) {
          const int64_t px = originX + column;
          if (px < clip.left || px >= clip.right) continue;
          const unsigned coverage = Coverage(glyph, column, row);
          if (coverage == 0) continue;
          if (uint32_t* p = bitmap->PixelAt(static_cast<int>(px), static_cast<int>(py)))
            Blend(*p, foreground, coverage);
        }
      }
    }
    pen += lpDx ? lpDx[i] : advance;
  }
  return TRUE;
}

}  // extern "C"
