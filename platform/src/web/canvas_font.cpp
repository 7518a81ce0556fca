// GDI fonts and text output on the browser's canvas text, with the one font the page carries:
// Liberation Sans Bold, packed into the page's data and loaded as a web font on first use.
// Implemented: CreateFontA (negative height = em height in pixels, positive = cell height
//   ascent + descent, 0 = a 16-pixel cell; every face name and weight gets the page's font, as
//   GDI's mapper substitutes one; NONANTIALIASED_QUALITY draws 1-bit glyphs, every other quality
//   8-bit grey coverage), GetTextExtentPoint32A (each glyph's advance rounded to whole pixels; the
//   height is the cell height from the font's OS/2 Windows ascent and descent, each rounded to
//   whole pixels, read from the font file itself: the same cells as the FreeType backend's),
//   ExtTextOutA into a selected 32 bpp DIB section (ETO_OPAQUE, ETO_CLIPPED, lpDx, horizontal
//   TA_LEFT/TA_CENTER/TA_RIGHT and vertical TA_TOP/TA_BASELINE/TA_BOTTOM alignment; the text cell
//   is filled with the background colour, the canvas's coverage blends the text colour over it).
//   Bytes are read as Windows-1252.
// Not implemented: other fonts (no system fonts reach a page's data), italic, width, escapement
//   and orientation, underline and strike-out, kerning, TA_UPDATECP, transparent background mode.
//   Glyph shapes are the browser's rasteriser's: close to FreeType's, not the same pixels.
#include <emscripten.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gdi/gdi_internal.h"
#include "gdi/windows_1252.h"
#include "gdi/text_painting.h"

namespace kvrgdi {

// A face at one pixel size, with the advance of every byte measured once.
struct FontFace {
  int pixelsPerEm = 0;
  int ascent = 0;   // pixels above the baseline in the cell
  int descent = 0;  // pixels below it
  bool antialiased = true;
  int advances[256] = {};
};

FontObject::FontObject() : GdiObject(ObjectKind::Font) {}
FontObject::~FontObject() = default;

namespace {

// Where the page's data puts the font, and the family name the page knows it by.
constexpr char kFontFile[] = "/fonts/LiberationSans-Bold.ttf";
constexpr char kFamily[] = "KvrViewSans";

constexpr UINT kAlignHorizontalMask = 6;  // TA_LEFT 0, TA_RIGHT 2, TA_CENTER 6
constexpr UINT kAlignRight = 2;
constexpr UINT kAlignCenter = 6;
constexpr UINT kAlignVerticalMask = 24;  // TA_TOP 0, TA_BOTTOM 8, TA_BASELINE 24
constexpr UINT kAlignBottom = 8;
constexpr UINT kAlignBaseline = 24;
constexpr int64_t kMaxPixelsPerEm = 4096;
constexpr int kDefaultCellHeight = 16;

int AnsiToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kWindows1252High[byte - 0x80] ? kWindows1252High[byte - 0x80] : 0xFFFD;
  return byte;
}

EM_ASYNC_JS(int, kvr_load_web_font, (const char* file, const char* family), {
  try {
    var bytes = FS.readFile(UTF8ToString(file));
    var face = new FontFace(UTF8ToString(family), bytes.buffer, {weight: 'bold'});
    await face.load();
    document.fonts.add(face);
    return 1;
  } catch (e) {
    err('kvrplatform: the page font cannot be loaded: ' + e);
    return 0;
  }
});

// The 2D context text is measured and drawn with, made once.
EM_JS(void, kvr_text_context_start, (), {
  if (Module.kvrTextCanvas) return;
  Module.kvrTextCanvas = typeof OffscreenCanvas !== 'undefined' ? new OffscreenCanvas(1, 1)
                                                                 : document.createElement('canvas');
  Module.kvrTextContext = Module.kvrTextCanvas.getContext('2d', {willReadFrequently: true});
});

// Advances, rounded to whole pixels, of `count` code points at `ppem` pixels to the em.
EM_JS(void, kvr_measure_glyphs, (const int* codes, int count, int ppem, const char* family, int* advances), {
  var c = Module.kvrTextContext;
  c.font = 'bold ' + ppem + 'px "' + UTF8ToString(family) + '"';
  for (var i = 0; i < count; ++i) {
    var text = String.fromCodePoint(HEAP32[(codes >> 2) + i]);
    HEAP32[(advances >> 2) + i] = Math.round(c.measureText(text).width);
  }
});

// Draws glyphs white on nothing, each at its pen (x) on one baseline, into a width x height box,
// and copies the box's coverage (its alpha) to `coverage`, a byte per pixel, rows top first.
EM_JS(void, kvr_draw_glyphs,
      (const int* codes, const int* pens, int count, int ppem, const char* family, int baseline, int width,
       int height, uint8_t* coverage), {
  var canvas = Module.kvrTextCanvas;
  if (canvas.width < width) canvas.width = width;
  if (canvas.height < height) canvas.height = height;
  var c = Module.kvrTextContext;
  c.clearRect(0, 0, width, height);
  c.font = 'bold ' + ppem + 'px "' + UTF8ToString(family) + '"';
  c.fillStyle = '#fff';
  c.textBaseline = 'alphabetic';
  for (var i = 0; i < count; ++i)
    c.fillText(String.fromCodePoint(HEAP32[(codes >> 2) + i]), HEAP32[(pens >> 2) + i], baseline);
  var pixels = c.getImageData(0, 0, width, height).data;
  for (var p = 0, n = width * height; p < n; ++p) HEAPU8[coverage + p] = pixels[4 * p + 3];
});

// The metrics GDI takes from the font file, in font units.
struct FileMetrics {
  int64_t unitsPerEm = 0;
  int64_t ascent = 0;
  int64_t descent = 0;
};

uint32_t Read32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}
uint16_t Read16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] << 8 | b[at + 1]); }

// Finds a table of the font file; false when the directory does not list it whole.
bool FindTable(const std::vector<uint8_t>& font, const char* tag, size_t minimum, size_t* offset) {
  if (font.size() < 12) return false;
  const size_t tables = Read16(font, 4);
  for (size_t i = 0; i < tables && 12 + 16 * (i + 1) <= font.size(); ++i) {
    const size_t entry = 12 + 16 * i;
    if (std::equal(tag, tag + 4, font.begin() + entry)) {
      const uint64_t at = Read32(font, entry + 8), length = Read32(font, entry + 12);
      if (length < minimum || at + length > font.size()) return false;
      *offset = static_cast<size_t>(at);
      return true;
    }
  }
  return false;
}

// Reads the cell metrics out of the TrueType file: the OS/2 table's Windows ascent and descent
// when it has them, else the horizontal header's, as the FreeType backend takes them.
bool ReadFileMetrics(FileMetrics& m) {
  std::vector<uint8_t> font;
  if (FILE* f = std::fopen(kFontFile, "rb")) {
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0 && font.size() < (64u << 20))
      font.insert(font.end(), buffer, buffer + got);
    std::fclose(f);
  }
  size_t head = 0, hhea = 0, os2 = 0;
  if (!FindTable(font, "head", 54, &head) || !FindTable(font, "hhea", 36, &hhea)) return false;
  m.unitsPerEm = Read16(font, head + 18);
  if (m.unitsPerEm == 0) return false;
  if (FindTable(font, "OS/2", 78, &os2) && Read16(font, os2 + 74) + Read16(font, os2 + 76) > 0) {
    m.ascent = Read16(font, os2 + 74);
    m.descent = Read16(font, os2 + 76);
  } else {
    m.ascent = static_cast<int16_t>(Read16(font, hhea + 4));
    m.descent = -static_cast<int16_t>(Read16(font, hhea + 6));
  }
  return m.ascent + m.descent > 0;
}

// The font file's metrics, and the web font loaded; null when either failed (then no font exists).
const FileMetrics* PageFont() {
  static const FileMetrics* metrics = []() -> const FileMetrics* {
    static FileMetrics m;
    if (!ReadFileMetrics(m)) {
      std::fprintf(stderr, "kvrplatform: no usable font at %s\n", kFontFile);
      return nullptr;
    }
    if (!kvr_load_web_font(kFontFile, kFamily)) return nullptr;
    kvr_text_context_start();
    return &m;
  }();
  return metrics;
}

int ScaleToPixels(int64_t units, int ppem, int64_t unitsPerEm) {
  const int64_t scaled = units * ppem;
  return static_cast<int>(scaled >= 0 ? (scaled + unitsPerEm / 2) / unitsPerEm
                                      : -((-scaled + unitsPerEm / 2) / unitsPerEm));
}

std::unique_ptr<FontFace> MakeFace(int height) {
  const FileMetrics* m = PageFont();
  if (!m) return nullptr;
  const int64_t upem = m->unitsPerEm, cellUnits = m->ascent + m->descent;
  int64_t ppem;
  if (height < 0) {
    ppem = -int64_t{height};
  } else {
    const int64_t cell = height > 0 ? height : kDefaultCellHeight;
    // The largest em whose rounded cell still fits the asked cell height.
    ppem = std::clamp<int64_t>((upem * cell + cellUnits / 2) / cellUnits, 1, kMaxPixelsPerEm);
    while (ppem > 1 && ScaleToPixels(m->ascent, static_cast<int>(ppem), upem) +
                               ScaleToPixels(m->descent, static_cast<int>(ppem), upem) >
                           cell)
      --ppem;
  }
  auto f = std::make_unique<FontFace>();
  f->pixelsPerEm = static_cast<int>(std::clamp<int64_t>(ppem, 1, kMaxPixelsPerEm));
  f->ascent = ScaleToPixels(m->ascent, f->pixelsPerEm, upem);
  f->descent = ScaleToPixels(m->descent, f->pixelsPerEm, upem);
  int codes[256];
  for (int i = 0; i < 256; ++i) codes[i] = AnsiToUnicode(static_cast<unsigned char>(i));
  kvr_measure_glyphs(codes, 256, f->pixelsPerEm, kFamily, f->advances);
  return f;
}

LONG MeasureString(const FontFace& f, const char* text, size_t count, const INT* dx) {
  int64_t total = 0;
  for (size_t i = 0; i < count; ++i)
    total = std::clamp<int64_t>(total + (dx ? dx[i] : f.advances[static_cast<unsigned char>(text[i])]),
                                INT32_MIN, INT32_MAX);
  return static_cast<LONG>(total);
}

}  // namespace

FontObject* DefaultFont() {
  // The stock font of a new context: the page's font in GDI's 16-pixel system cell.
  static FontObject* font = [] {
    std::unique_ptr<FontFace> face = MakeFace(kDefaultCellHeight);
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
  std::unique_ptr<FontFace> face = MakeFace(cHeight);
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
  const FontFace& f = *dc->font->face;
  psizl->cx = MeasureString(f, lpString, static_cast<size_t>(c), nullptr);
  psizl->cy = f.ascent + f.descent;
  return TRUE;
}

BOOL WINAPI ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString,
                        UINT c, const INT* lpDx) {
  DeviceContext* dc = ContextFromHandle(hdc);
  if (!dc || (c > 0 && !lpString)) return FALSE;
  if (!dc->font || !dc->font->face) return FALSE;
  const FontFace& f = *dc->font->face;
  BitmapObject* bitmap = dc->bitmap;
  if (!bitmap || bitmap->pixels.empty()) return TRUE;

  ClipBox clip = {0, 0, bitmap->width, bitmap->height};
  if ((options & ETO_CLIPPED) && lprect) clip = Intersect(clip, lprect->left, lprect->top, lprect->right, lprect->bottom);
  const uint32_t background = ColorRefToPixel(dc->bkColor);
  const uint32_t foreground = ColorRefToPixel(dc->textColor);
  if ((options & ETO_OPAQUE) && lprect)
    Fill(*bitmap, Intersect({0, 0, bitmap->width, bitmap->height}, lprect->left, lprect->top, lprect->right,
                            lprect->bottom),
         background);
  if (c == 0) return TRUE;

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
  Fill(*bitmap, Intersect(clip, left, top, left + width, top + cellHeight), background);

  // Glyphs may reach past their cell (an italic's slant, a wide letter's side bearing): the box
  // drawn on the canvas is the cell with an em's margin all round, cut to the clip.
  const int64_t margin = f.pixelsPerEm;
  const ClipBox box = Intersect(clip, left - margin, top - margin, left + width + margin, top + cellHeight + margin);
  if (box.right <= box.left || box.bottom <= box.top) return TRUE;
  std::vector<int> codes, pens;
  int64_t pen = left;
  for (UINT i = 0; i < c; ++i) {
    const unsigned char byte = static_cast<unsigned char>(lpString[i]);
    const int64_t advance = lpDx ? lpDx[i] : f.advances[byte];
    // Only glyphs that can reach the box are drawn.
    if (pen + margin >= box.left && pen - margin < box.right) {
      codes.push_back(AnsiToUnicode(byte));
      pens.push_back(static_cast<int>(pen - box.left));
    }
    pen += advance;
  }
  if (codes.empty()) return TRUE;
  const int boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
  std::vector<uint8_t> coverage(static_cast<size_t>(boxWidth) * boxHeight);
  kvr_draw_glyphs(codes.data(), pens.data(), static_cast<int>(codes.size()), f.pixelsPerEm, kFamily,
                  static_cast<int>(top + f.ascent - box.top), boxWidth, boxHeight, coverage.data());
  for (int row = 0; row < boxHeight; ++row) {
    for (int column = 0; column < boxWidth; ++column) {
      unsigned cover = coverage[static_cast<size_t>(row) * boxWidth + column];
      if (!f.antialiased) cover = cover >= 128 ? 255 : 0;
      if (cover == 0) continue;
      if (uint32_t* p = bitmap->PixelAt(box.left + column, box.top + row)) Blend(*p, foreground, cover);
    }
  }
  return TRUE;
}

}  // extern "C"
