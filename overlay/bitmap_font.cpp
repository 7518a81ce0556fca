// The bitmap font: a GDI-rasterised glyph atlas drawn as screen-space quads, and the screen font.
#include "overlay/bitmap_font.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "base/device.h"

namespace {

// One corner of a glyph quad: pre-transformed position, colour, atlas coordinates.
struct GlyphVertex {
  float x, y, z, rhw;
  DWORD colour;
  float u, v;
};
static_assert(sizeof(GlyphVertex) == 28, "the quad buffer is filled with 28-byte vertices");

constexpr DWORD kGlyphVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;  // 0x144
// The buffer is sized for 300 vertices of 32 bytes but filled with 28-byte ones, 300 at most:
// 50 characters per fill.
constexpr UINT kQuadBufferBytes = 300 * 32;
// A fill is drawn once it holds more than 294 vertices, i.e. at 100 triangles.
constexpr DWORD kMaxVerticesPerFill = 294;

constexpr int kFirstChar = 32;  // space
constexpr int kLastChar = 126;  // tilde

// Beyond any real font: doubling stops here, shrinking gives up after this many attempts.
constexpr DWORD kLargestAtlas = 1u << 16;
constexpr int kMaxShrinkPasses = 64;

BitmapFont* screenFont = nullptr;

}  // namespace

DWORD GlyphMarginForHeight(LONG xHeight) {
  const float fraction = 0.3f;
  return static_cast<DWORD>(std::ceil(static_cast<double>(xHeight) * static_cast<double>(fraction)));
}

WORD AtlasTexelFromPixel(DWORD pixel) {
  const DWORD coverage = (pixel & 0xFF) >> 4;
  return coverage > 0 ? static_cast<WORD>((coverage << 12) | 0x0FFF) : 0x0000;
}

BitmapFont::BitmapFont(const char* name, DWORD height, DWORD flags)
    : pointHeight(height), styleFlags(flags) {
  std::memset(faceName, 0, sizeof(faceName));
  if (name) std::strncpy(faceName, name, sizeof(faceName) - 1);
  faceName[sizeof(faceName) - 1] = '\0';
}

BitmapFont::~BitmapFont() {
  ReleaseDrawResources();
  DetachDevice();
}

HRESULT BitmapFont::MakeGdiFont(HDC context, HFONT& font) {
  const int dpi = static_cast<int>(GetDeviceCaps(context, LOGPIXELSY) * shrinkFactor);
  // Negative: the em height in pixels, as opposed to the cell height.
  const int height = -MulDiv(static_cast<int>(pointHeight), dpi, 72);
  font = CreateFontA(height, 0, 0, 0, (styleFlags & FontBold) ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                     VARIABLE_PITCH, faceName);
  return font ? S_OK : E_FAIL;
}

HRESULT BitmapFont::LayOutGlyphs(HDC context, bool painting) {
  SIZE size;
  if (!GetTextExtentPoint32A(context, "x", 1, &size)) return E_FAIL;
  glyphMargin = GlyphMarginForHeight(size.cy);

  // 64-bit pens: a hostile font cannot wrap them round.
  int64_t x = glyphMargin;
  int64_t y = 0;
  for (int c = kFirstChar; c <= kLastChar; ++c) {
    const char text[2] = {static_cast<char>(c), '\0'};
    if (!GetTextExtentPoint32A(context, text, 1, &size)) return E_FAIL;
    const int64_t w = size.cx;
    const int64_t h = size.cy;
    if (x + w + glyphMargin > texWidth) {
      x = glyphMargin;
      y += h + 1;  // one blank row between rows of glyphs
    }
    if (y + h > texHeight) return D3DERR_MOREDATA;
    if (painting) {
      if (!ExtTextOutA(context, static_cast<int>(x), static_cast<int>(y), ETO_OPAQUE, nullptr, text, 1,
                       nullptr))
        return E_FAIL;
      float* rect = glyphRects[c - kFirstChar];
      rect[0] = static_cast<float>(x - glyphMargin) / texWidth;
      rect[1] = static_cast<float>(y) / texHeight;
      rect[2] = static_cast<float>(x + w + glyphMargin) / texWidth;
      rect[3] = static_cast<float>(y + h) / texHeight;
    }
    x += w + 2 * glyphMargin;
  }
  return S_OK;
}

HRESULT BitmapFont::BuildAtlas(HDC context, HFONT& font, HGDIOBJ& previousFont, HBITMAP& dib,
                               HGDIOBJ& previousBitmap, bool& locked) {
  SetMapMode(context, MM_TEXT);
  HRESULT hr = MakeGdiFont(context, font);
  if (FAILED(hr)) return hr;
  previousFont = SelectObject(context, font);

  // The smallest power-of-two square from 128 up that holds all 95 characters.
  texWidth = texHeight = 128;
  while ((hr = LayOutGlyphs(context, false)) == D3DERR_MOREDATA && texWidth < kLargestAtlas) {
    texWidth *= 2;
    texHeight *= 2;
  }
  if (FAILED(hr)) return hr == D3DERR_MOREDATA ? E_FAIL : hr;

  // Too wide for the device: take its largest texture and rasterise smaller until the glyphs fit.
  D3DCAPS9 caps;
  hr = device->GetDeviceCaps(&caps);
  if (FAILED(hr)) return hr;
  if (texWidth > caps.MaxTextureWidth) {
    shrinkFactor = static_cast<float>(caps.MaxTextureWidth) / static_cast<float>(texWidth);
    texWidth = texHeight = caps.MaxTextureWidth;
    int pass = 0;
    do {
      if (pass > 0) shrinkFactor *= 0.9f;
      if (++pass > kMaxShrinkPasses) return E_FAIL;
      SelectObject(context, previousFont);
      DeleteObject(font);
      font = nullptr;
      hr = MakeGdiFont(context, font);
      if (FAILED(hr)) return hr;
      SelectObject(context, font);
      hr = LayOutGlyphs(context, false);
    } while (hr == D3DERR_MOREDATA);
    if (FAILED(hr)) return hr;
  }

  hr = device->CreateTexture(texWidth, texHeight, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &glyphTexture,
                             nullptr);
  if (FAILED(hr)) {
    glyphTexture = nullptr;
    return hr;
  }

  BITMAPINFO info;
  std::memset(&info, 0, sizeof(info));
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = static_cast<LONG>(texWidth);
  info.bmiHeader.biHeight = -static_cast<LONG>(texHeight);  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dib = CreateDIBSection(context, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib || !bits) return E_FAIL;
  previousBitmap = SelectObject(context, dib);
  SetTextColor(context, 0x00FFFFFF);
  SetBkColor(context, 0x00000000);
  SetTextAlign(context, TA_TOP | TA_LEFT);

  hr = LayOutGlyphs(context, true);
  if (FAILED(hr)) return hr;

  D3DLOCKED_RECT lockedRect;
  hr = glyphTexture->LockRect(0, &lockedRect, nullptr, 0);
  if (FAILED(hr)) return hr;
  locked = true;
  const DWORD* source = static_cast<const DWORD*>(bits);
  BYTE* destinationRow = static_cast<BYTE*>(lockedRect.pBits);
  for (DWORD y = 0; y < texHeight; ++y) {
    WORD* destination = reinterpret_cast<WORD*>(destinationRow);
    for (DWORD x = 0; x < texWidth; ++x) destination[x] = AtlasTexelFromPixel(source[x]);
    source += texWidth;
    destinationRow += lockedRect.Pitch;
  }
  return S_OK;
}

HRESULT BitmapFont::AttachDevice(IDirect3DDevice9* d3dDevice) {
  DetachDevice();  // a second attach must not leak the first atlas
  device = d3dDevice;
  shrinkFactor = 1.0f;
  if (!device) return E_FAIL;

  HDC context = CreateCompatibleDC(nullptr);
  if (!context) return E_FAIL;
  HFONT font = nullptr;
  HGDIOBJ previousFont = nullptr;
  HBITMAP dib = nullptr;
  HGDIOBJ previousBitmap = nullptr;
  bool locked = false;
  const HRESULT hr = BuildAtlas(context, font, previousFont, dib, previousBitmap, locked);

  if (locked) glyphTexture->UnlockRect(0);
  if (previousBitmap) SelectObject(context, previousBitmap);
  if (previousFont) SelectObject(context, previousFont);
  if (dib) DeleteObject(dib);
  if (font) DeleteObject(font);
  DeleteDC(context);
  // An atlas that was not filled would draw garbage: without it, text draws nothing.
  if (FAILED(hr) && glyphTexture) {
    glyphTexture->Release();
    glyphTexture = nullptr;
  }
  return hr;
}

bool BitmapFont::SupportsAlphaBlending() {
  bool blending = true;
  IDirect3D9* d3d = nullptr;
  if (FAILED(device->GetDirect3D(&d3d)) || !d3d) return blending;
  D3DCAPS9 caps;
  D3DDISPLAYMODE mode;
  IDirect3DSurface9* target = nullptr;
  if (SUCCEEDED(device->GetDeviceCaps(&caps)) && SUCCEEDED(device->GetDisplayMode(0, &mode)) &&
      SUCCEEDED(device->GetRenderTarget(0, &target)) && target) {
    D3DSURFACE_DESC desc;
    if (FAILED(target->GetDesc(&desc)) ||
        FAILED(d3d->CheckDeviceFormat(caps.AdapterOrdinal, caps.DeviceType, mode.Format,
                                      D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING | D3DUSAGE_RENDERTARGET,
                                      D3DRTYPE_SURFACE, desc.Format)))
      blending = false;
  }
  if (target) target->Release();
  d3d->Release();
  return blending;
}

void BitmapFont::RecordTextStates(bool blending) {
  device->SetTexture(0, glyphTexture);
  device->SetRenderState(D3DRS_ZENABLE, FALSE);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, blending ? TRUE : FALSE);
  if (blending) {
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  }
  // Coverage 0 has alpha 0: the test keeps it off the screen even where blending is missing.
  device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device->SetRenderState(D3DRS_ALPHAREF, 0x08);
  device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
  device->SetRenderState(D3DRS_CLIPPING, TRUE);
  device->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
  device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
  device->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE);
  device->SetRenderState(D3DRS_FOGENABLE, FALSE);
  device->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_GREEN |
                                                     D3DCOLORWRITEENABLE_BLUE | D3DCOLORWRITEENABLE_ALPHA);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
  device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
}

HRESULT BitmapFont::CreateDrawResources() {
  if (!device) return E_FAIL;
  ReleaseDrawResources();  // a second call must not leak the first set
  HRESULT hr = device->CreateVertexBuffer(kQuadBufferBytes, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0,
                                          D3DPOOL_DEFAULT, &quadBuffer, nullptr);
  if (FAILED(hr)) {
    quadBuffer = nullptr;
    return hr;
  }
  const bool blending = SupportsAlphaBlending();
  // The same settings twice: one block to capture the caller's values, one to apply ours.
  for (IDirect3DStateBlock9** block : {&savedStates, &textStates}) {
    hr = device->BeginStateBlock();
    if (FAILED(hr)) return hr;
    RecordTextStates(blending);
    hr = device->EndStateBlock(block);
    if (FAILED(hr)) {
      *block = nullptr;
      return hr;
    }
  }
  return S_OK;
}

HRESULT BitmapFont::DrawScreenText(float x, float y, DWORD colour, const char* text, DWORD flags) {
  if (!device) return E_FAIL;
  // A font whose start-up failed draws nothing and leaves the device alone.
  if (!glyphTexture || !quadBuffer || !savedStates || !textStates || !text) return E_FAIL;

  savedStates->Capture();
  textStates->Apply();
  device->SetFVF(kGlyphVertexFormat);
  device->SetPixelShader(nullptr);
  device->SetStreamSource(0, quadBuffer, 0, sizeof(GlyphVertex));
  if (flags & TextFiltered) {
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  }

  // Cells carry a blank margin on each side; start one margin early so the ink lands at x.
  x -= glyphMargin;
  const float lineStart = x;
  const float* space = glyphRects[0];
  const float lineHeight = (space[3] - space[1]) * texHeight;

  GlyphVertex* v = nullptr;
  HRESULT hr = quadBuffer->Lock(0, 0, reinterpret_cast<void**>(&v), D3DLOCK_DISCARD);
  if (FAILED(hr) || !v) {
    savedStates->Apply();
    return FAILED(hr) ? hr : E_FAIL;
  }
  UINT triangles = 0;
  for (const char* p = text; *p; ++p) {
    const signed char c = static_cast<signed char>(*p);
    if (c == '\n') {
      x = lineStart;
      y += lineHeight;  // not scaled by shrinkFactor, unlike the quads
      continue;
    }
    if (c < kFirstChar || c > kLastChar) continue;
    const float* r = glyphRects[c - kFirstChar];
    const float w = (r[2] - r[0]) * texWidth / shrinkFactor;
    const float h = (r[3] - r[1]) * texHeight / shrinkFactor;
    if (c != ' ') {
      // Half a pixel up and left puts texel centres on pixel centres.
      const float left = x - 0.5f, top = y - 0.5f, right = x + w - 0.5f, bottom = y + h - 0.5f;
      v[0] = {left, bottom, 0.9f, 1.0f, colour, r[0], r[3]};
      v[1] = {left, top, 0.9f, 1.0f, colour, r[0], r[1]};
      v[2] = {right, bottom, 0.9f, 1.0f, colour, r[2], r[3]};
      v[3] = {right, top, 0.9f, 1.0f, colour, r[2], r[1]};
      v[4] = {right, bottom, 0.9f, 1.0f, colour, r[2], r[3]};
      v[5] = {left, top, 0.9f, 1.0f, colour, r[0], r[1]};
      v += 6;
      triangles += 2;
      if (triangles * 3 > kMaxVerticesPerFill) {
        quadBuffer->Unlock();
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles);
        triangles = 0;
        v = nullptr;
        hr = quadBuffer->Lock(0, 0, reinterpret_cast<void**>(&v), D3DLOCK_DISCARD);
        if (FAILED(hr) || !v) {
          savedStates->Apply();
          return FAILED(hr) ? hr : E_FAIL;
        }
      }
    }
    // Neighbouring quads overlap by their margins: the pen moves by the measured width.
    x += w - 2 * glyphMargin;
  }
  quadBuffer->Unlock();
  if (triangles > 0) device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles);
  savedStates->Apply();
  return S_OK;
}

float BitmapFont::TextWidth(const char* text) const {
  if (!glyphTexture || !text) return 0.0f;
  float widest = 0.0f, x = 0.0f;
  for (const char* p = text; *p; ++p) {
    const signed char c = static_cast<signed char>(*p);
    if (c == '\n') {
      x = 0.0f;
      continue;
    }
    if (c < kFirstChar || c > kLastChar) continue;
    const float* r = glyphRects[c - kFirstChar];
    x += (r[2] - r[0]) * texWidth / shrinkFactor - 2 * glyphMargin;  // as DrawScreenText's pen
    if (x > widest) widest = x;
  }
  return widest;
}

float BitmapFont::LineHeight() const {
  if (!glyphTexture) return 0.0f;
  const float* space = glyphRects[0];
  return (space[3] - space[1]) * texHeight;  // as DrawScreenText's, not scaled by shrinkFactor
}

HRESULT BitmapFont::ReleaseDrawResources() {
  if (quadBuffer) {
    quadBuffer->Release();
    quadBuffer = nullptr;
  }
  if (savedStates) {
    savedStates->Release();
    savedStates = nullptr;
  }
  if (textStates) {
    textStates->Release();
    textStates = nullptr;
  }
  return S_OK;
}

HRESULT BitmapFont::DetachDevice() {
  if (glyphTexture) {
    glyphTexture->Release();
    glyphTexture = nullptr;
  }
  device = nullptr;
  return S_OK;
}

void CreateScreenFont() {
  DestroyScreenFont();
  screenFont = new BitmapFont("Arial", 12, FontBold);
  screenFont->AttachDevice(g_pd3dDevice);
  screenFont->CreateDrawResources();
}

void DrawTextYellow(int32_t x, int32_t y, const char* text) {
  if (screenFont)
    screenFont->DrawScreenText(static_cast<float>(x), static_cast<float>(y), 0xFFFFFF00, text, TextFiltered);
}

void DrawTextRgb(int32_t x, int32_t y, const char* text, uint8_t red, uint8_t green, uint8_t blue) {
  const DWORD colour = 0xFF000000u + red * 65536u + green * 256u + blue;
  if (screenFont)
    screenFont->DrawScreenText(static_cast<float>(x), static_cast<float>(y), colour, text, TextFiltered);
}

void DrawNumberYellow(int32_t x, int32_t y, int32_t value) {
  char text[96];
  std::snprintf(text, sizeof(text), "%d", static_cast<int>(value));
  DrawTextYellow(x, y, text);
}

int32_t ScreenTextWidth(const char* text) {
  if (!screenFont) return 0;
  return static_cast<int32_t>(std::ceil(screenFont->TextWidth(text)));
}

int32_t ScreenLineHeight() {
  if (!screenFont) return 0;
  return static_cast<int32_t>(std::ceil(screenFont->LineHeight()));
}

void DestroyScreenFont() {
  if (!screenFont) return;
  screenFont->DetachDevice();
  delete screenFont;
  screenFont = nullptr;
}
