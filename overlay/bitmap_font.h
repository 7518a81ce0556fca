// The bitmap font that draws all screen text, and the one screen font the program uses.
//
// The face is rasterised once with GDI into a square A4R4G4B4 atlas of white glyphs whose alpha
// holds the coverage; text is then drawn as pre-transformed quads coloured by their vertices.
#pragma once
#include <d3d9.h>

#include <cstdint>

// Style flag of a BitmapFont: the bold weight.
const DWORD FontBold = 1;
// Draw flag of BitmapFont::DrawScreenText: sample the atlas bilinearly instead of point-sampled.
const DWORD TextFiltered = 8;

// Blank pixels kept left and right of each glyph in the atlas for a font whose "x" measures
// xHeight pixels high: 0.3 of it, rounded up. The factor is the 32-bit float nearest 0.3, a hair
// above it, so heights that are multiples of 10 get one pixel more than 0.3 exactly would give.
DWORD GlyphMarginForHeight(LONG xHeight);

// Atlas texel (A4R4G4B4) for a pixel GDI painted white on black: the blue byte's top four bits are
// the alpha; any coverage makes the texel white, none makes it fully transparent.
WORD AtlasTexelFromPixel(DWORD pixel);

class BitmapFont {
 public:
  BitmapFont(const char* faceName, DWORD pointHeight, DWORD styleFlags);
  ~BitmapFont();
  BitmapFont(const BitmapFont&) = delete;
  BitmapFont& operator=(const BitmapFont&) = delete;

  // Remembers the device (without taking a reference) and builds the glyph atlas.
  HRESULT AttachDevice(IDirect3DDevice9* d3dDevice);
  // Creates the quad buffer and records the two state blocks.
  HRESULT CreateDrawResources();
  // Draws text with its first cell's top-left at (x, y) in back-buffer pixels. '\n' starts a
  // new line; other bytes outside 32..126 are skipped. Call between BeginScene and EndScene.
  HRESULT DrawScreenText(float x, float y, DWORD colour, const char* text, DWORD flags);
  HRESULT ReleaseDrawResources();
  HRESULT DetachDevice();
  // How far DrawScreenText moves the pen for the text's longest line, in pixels; 0 without an
  // atlas.
  float TextWidth(const char* text) const;
  // How far DrawScreenText moves down at a '\n', in pixels; 0 without an atlas.
  float LineHeight() const;

  // What the atlas build settled on, for tests and diagnostics.
  DWORD TextureWidth() const { return texWidth; }
  DWORD TextureHeight() const { return texHeight; }
  float ShrinkFactor() const { return shrinkFactor; }
  DWORD GlyphMargin() const { return glyphMargin; }
  // The atlas itself (A4R4G4B4, one level); null before AttachDevice or after a failed one.
  IDirect3DTexture9* Atlas() const { return glyphTexture; }
  // Cell of a character 32..126 in the atlas: left, top, right, bottom in texture coordinates.
  const float* GlyphRect(int c) const { return glyphRects[c - 32]; }

 private:
  HRESULT MakeGdiFont(HDC context, HFONT& font);
  // Places the 95 characters row by row in a texWidth x texHeight atlas; in painting mode also
  // draws them into the context's bitmap and records glyphRects. D3DERR_MOREDATA: too small.
  HRESULT LayOutGlyphs(HDC context, bool painting);
  HRESULT BuildAtlas(HDC context, HFONT& font, HGDIOBJ& previousFont, HBITMAP& dib,
                     HGDIOBJ& previousBitmap, bool& locked);
  bool SupportsAlphaBlending();
  void RecordTextStates(bool blending);

  char faceName[80];
  DWORD pointHeight;
  DWORD styleFlags;
  IDirect3DDevice9* device = nullptr;
  IDirect3DTexture9* glyphTexture = nullptr;
  IDirect3DVertexBuffer9* quadBuffer = nullptr;
  DWORD texWidth = 0, texHeight = 0;
  float shrinkFactor = 1.0f;
  float glyphRects[95][4] = {};
  DWORD glyphMargin = 0;
  IDirect3DStateBlock9* savedStates = nullptr;
  IDirect3DStateBlock9* textStates = nullptr;
};

// Free functions on the one screen font (12-point bold "Arial").
void CreateScreenFont();
void DrawTextYellow(int32_t x, int32_t y, const char* text);
void DrawTextRgb(int32_t x, int32_t y, const char* text, uint8_t red, uint8_t green, uint8_t blue);
void DrawNumberYellow(int32_t x, int32_t y, int32_t value);
// Pixels the screen font's text takes across (its longest line), rounded up; 0 without the font.
int32_t ScreenTextWidth(const char* text);
// Pixels between the lines of one screen-font text ('\n'), rounded up; 0 without the font.
int32_t ScreenLineHeight();
void DestroyScreenFont();
