// ID3DXFont: text drawn with a sprite, one textured rectangle per glyph, the glyphs made by the
// layer's GDI (the same faces CreateFontA finds) and kept in glyph pages.
// Implemented: D3DXCreateFont(Indirect)A/W (the face name, height, weight, italic and quality go
//   to CreateFontA; width, character set, precision, pitch and mip levels are kept for GetDesc
//   only), DrawTextA (UTF-8, as the layer's A functions) and DrawTextW with DT_LEFT, DT_CENTER,
//   DT_RIGHT, DT_TOP, DT_VCENTER, DT_BOTTOM (for several lines too), DT_SINGLELINE,
//   DT_WORDBREAK, DT_EXPANDTABS, DT_NOCLIP, DT_CALCRECT; a count of -1 for terminated text; a
//   null rectangle draws from (0, 0) unclipped. Glyphs are clipped to the rectangle unless
//   DT_NOCLIP. With a sprite the glyphs join its batch (and its transform); without one the font
//   draws through a sprite of its own, states saved and restored. GetDC (the context the font
//   is selected into), GetDesc(A/W), PreloadCharacters, PreloadText(A/W), OnLostDevice (drops
//   the glyph pages) and OnResetDevice.
// Not implemented: DT_NOPREFIX and DT_RTLREADING are accepted and change nothing (there is no
//   prefix processing), glyph-index methods, text metrics, kerning.
#include <d3dx9.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "d3d9/d3d9_internal.h"
#include "d3dx9/glyph_pages.h"
#include "d3dx9/text_layout.h"
#include "win32/wide_text.h"

namespace {

const GUID kIidFont = {0xD79DBB70, 0x5F21, 0x4D36, {0xBB, 0xC2, 0xFF, 0x52, 0x5C, 0x21, 0x3C, 0xDC}};

// Longest text laid out in one call; the rest is left out (hostile lengths stay bounded).
constexpr size_t kMaxCharacters = 1 << 20;

std::vector<char32_t> FromWide(const wchar_t* text, INT count) {
  std::vector<char32_t> out;
  if (!text) return out;
  size_t n = count < 0 ? std::wcslen(text) : static_cast<size_t>(count);
  n = std::min(n, kMaxCharacters);
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    // A UTF-16 pair, where wchar_t is 16 bits.
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
    out.push_back(c);
  }
  return out;
}

std::vector<char32_t> FromUtf8(const char* text, INT count) {
  if (!text) return {};
  // The count is in bytes, as the A form's always is.
  const size_t n = std::min(count < 0 ? std::strlen(text) : static_cast<size_t>(count), kMaxCharacters * 4);
  const std::wstring wide = KvrWideFromUtf8(std::string(text, n));
  return FromWide(wide.c_str(), static_cast<INT>(wide.size()));
}

std::string FaceNameFromWide(const WCHAR* name) {
  WCHAR terminated[LF_FACESIZE];
  std::memcpy(terminated, name, sizeof(terminated));
  terminated[LF_FACESIZE - 1] = 0;
  return KvrUtf8FromWide(terminated);
}

class Font final : public ID3DXFont {
 public:
  Font(IDirect3DDevice9* device, const D3DXFONT_DESCA& desc, const std::wstring& wideFace)
      : device_(device), desc_(desc), wideFace_(wideFace) {
    device_->AddRef();
  }
  ~Font() {
    pages_.reset();
    if (sprite_) sprite_->Release();
    if (dc_) {
      if (previousFont_) SelectObject(dc_, previousFont_);
      DeleteDC(dc_);
    }
    if (font_) DeleteObject(font_);
    device_->Release();
  }

  bool Open() {
    font_ = CreateFontA(desc_.Height, static_cast<int>(desc_.Width), 0, 0, static_cast<int>(desc_.Weight),
                        desc_.Italic, FALSE, FALSE, desc_.CharSet, desc_.OutputPrecision, CLIP_DEFAULT_PRECIS,
                        desc_.Quality, desc_.PitchAndFamily, desc_.FaceName);
    if (!font_) return false;
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return false;
    previousFont_ = SelectObject(dc_, font_);
    pages_ = std::make_unique<kvrd3dx::GlyphPages>(device_, dc_, font_);
    SIZE x = {0, 0};
    GetTextExtentPoint32A(dc_, "x", 1, &x);
    tabWidth_ = 8 * std::max<int>(static_cast<int>(x.cx), 1);
    return true;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return kvrd3d::QueryFor(this, riid, ppv, {&kIidFont});
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetDevice(LPDIRECT3DDEVICE9* device) override {
    if (!device) return D3DERR_INVALIDCALL;
    *device = device_;
    device_->AddRef();
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDescA(D3DXFONT_DESCA* desc) override {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = desc_;
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDescW(D3DXFONT_DESCW* desc) override {
    if (!desc) return D3DERR_INVALIDCALL;
    std::memcpy(desc, &desc_, offsetof(D3DXFONT_DESCW, FaceName));
    std::memset(desc->FaceName, 0, sizeof(desc->FaceName));
    for (size_t i = 0; i < wideFace_.size() && i + 1 < LF_FACESIZE; ++i) desc->FaceName[i] = wideFace_[i];
    return D3D_OK;
  }
  HDC STDMETHODCALLTYPE GetDC() override { return dc_; }

  HRESULT STDMETHODCALLTYPE PreloadCharacters(UINT first, UINT last) override {
    if (last < first) return D3D_OK;
    // At most the whole of Unicode's planes, however wide the range asked for.
    last = std::min<UINT>(last, 0x10FFFF);
    for (UINT c = first; c <= last && c >= first; ++c) pages_->Get(static_cast<char32_t>(c));
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE PreloadTextA(LPCSTR text, INT count) override {
    if (!text) return D3DERR_INVALIDCALL;
    for (char32_t c : FromUtf8(text, count)) pages_->Get(c);
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE PreloadTextW(LPCWSTR text, INT count) override {
    if (!text) return D3DERR_INVALIDCALL;
    for (char32_t c : FromWide(text, count)) pages_->Get(c);
    return D3D_OK;
  }

  INT STDMETHODCALLTYPE DrawTextA(LPD3DXSPRITE sprite, LPCSTR text, INT count, LPRECT rect, DWORD format,
                                  D3DCOLOR color) override {
    if (!text || count == 0) return 0;
    return Draw(sprite, FromUtf8(text, count), rect, format, color);
  }
  INT STDMETHODCALLTYPE DrawTextW(LPD3DXSPRITE sprite, LPCWSTR text, INT count, LPRECT rect, DWORD format,
                                  D3DCOLOR color) override {
    if (!text || count == 0) return 0;
    return Draw(sprite, FromWide(text, count), rect, format, color);
  }

  HRESULT STDMETHODCALLTYPE OnLostDevice() override {
    pages_->Clear();
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE OnResetDevice() override { return D3D_OK; }

 private:
  INT Draw(LPD3DXSPRITE sprite, const std::vector<char32_t>& text, LPRECT rect, DWORD format, D3DCOLOR color) {
    if (text.empty()) return 0;
    RECT area = {0, 0, 0, 0};
    if (rect)
      area = *rect;
    else
      format |= DT_NOCLIP;
    kvrd3dx::GlyphPages& pages = *pages_;
    kvrd3dx::TextMetrics metrics;
    metrics.lineHeight = pages.CellHeight();
    metrics.tabWidth = tabWidth_;
    metrics.advance = [&pages](char32_t c) { return pages.Advance(c); };
    const kvrd3dx::TextLayout layout = kvrd3dx::LayOutText(text, area, format, metrics);
    const INT height = static_cast<INT>(std::min<int64_t>(layout.height, INT32_MAX));
    if (format & DT_CALCRECT) {
      if (rect) *rect = layout.bounds;
      return height;
    }

    ID3DXSprite* target = sprite;
    if (!target) {
      if (!sprite_ && FAILED(D3DXCreateSprite(device_, &sprite_))) return 0;
      target = sprite_;
      if (FAILED(target->Begin(D3DXSPRITE_ALPHABLEND | D3DXSPRITE_SORT_TEXTURE))) return 0;
    }
    const bool clip = !(format & DT_NOCLIP);
    for (const kvrd3dx::TextLine& line : layout.lines) {
      if (clip && line.y >= area.bottom) break;
      const std::vector<int64_t> advances = kvrd3dx::PenAdvances(text, line, format, metrics);
      int64_t pen = line.x;
      for (size_t i = line.begin; i < line.end; ++i) {
        const char32_t c = text[i];
        const int64_t advance = advances[i - line.begin];
        if (!(c == U'\t' && (format & DT_EXPANDTABS))) DrawGlyph(target, pages.Get(c), pen, line.y, clip, area, color);
        pen += advance;
      }
    }
    if (target == sprite_) target->End();
    return height;
  }

  void DrawGlyph(ID3DXSprite* target, const kvrd3dx::Glyph& glyph, int64_t penX, int64_t top, bool clip,
                 const RECT& area, D3DCOLOR color) {
    if (!glyph.page) return;
    RECT source = glyph.source;
    int64_t x = penX + glyph.offsetX - 1, y = top + glyph.offsetY - 1;
    if (clip) {
      const int64_t w = source.right - source.left, h = source.bottom - source.top;
      const int64_t cutLeft = std::max<int64_t>(0, area.left - x), cutTop = std::max<int64_t>(0, area.top - y);
      const int64_t cutRight = std::max<int64_t>(0, x + w - area.right);
      const int64_t cutBottom = std::max<int64_t>(0, y + h - area.bottom);
      if (cutLeft + cutRight >= w || cutTop + cutBottom >= h) return;
      source.left += static_cast<LONG>(cutLeft);
      source.top += static_cast<LONG>(cutTop);
      source.right -= static_cast<LONG>(cutRight);
      source.bottom -= static_cast<LONG>(cutBottom);
      x += cutLeft;
      y += cutTop;
    }
    const D3DXVECTOR3 position(static_cast<float>(x), static_cast<float>(y), 0.0f);
    target->Draw(glyph.page, &source, nullptr, &position, color);
  }

  std::atomic<ULONG> refs_{1};
  IDirect3DDevice9* device_;
  D3DXFONT_DESCA desc_;
  std::wstring wideFace_;
  HFONT font_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ previousFont_ = nullptr;
  std::unique_ptr<kvrd3dx::GlyphPages> pages_;
  ID3DXSprite* sprite_ = nullptr;
  int tabWidth_ = 8;
};

HRESULT MakeFont(LPDIRECT3DDEVICE9 device, const D3DXFONT_DESCA& desc, const std::wstring& wideFace,
                   LPD3DXFONT* font) {
  if (!device || !font) return D3DERR_INVALIDCALL;
  *font = nullptr;
  auto* made = new (std::nothrow) Font(device, desc, wideFace);
  if (!made) return E_OUTOFMEMORY;
  if (!made->Open()) {
    made->Release();
    return D3DXERR_INVALIDDATA;
  }
  *font = made;
  return D3D_OK;
}

D3DXFONT_DESCA DescA(INT height, UINT width, UINT weight, UINT mipLevels, BOOL italic, DWORD charSet,
                     DWORD precision, DWORD quality, DWORD pitchAndFamily, const std::string& face) {
  D3DXFONT_DESCA d;
  std::memset(&d, 0, sizeof(d));
  d.Height = height;
  d.Width = width;
  d.Weight = weight;
  d.MipLevels = mipLevels;
  d.Italic = italic;
  d.CharSet = static_cast<BYTE>(charSet);
  d.OutputPrecision = static_cast<BYTE>(precision);
  d.Quality = static_cast<BYTE>(quality);
  d.PitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  std::strncpy(d.FaceName, face.c_str(), LF_FACESIZE - 1);
  return d;
}

}  // namespace

extern "C" {

HRESULT WINAPI D3DXCreateFontA(LPDIRECT3DDEVICE9 device, INT height, UINT width, UINT weight, UINT mipLevels,
                               BOOL italic, DWORD charSet, DWORD precision, DWORD quality, DWORD pitchAndFamily,
                               LPCSTR faceName, LPD3DXFONT* font) {
  const std::string face = faceName ? std::string(faceName, strnlen(faceName, LF_FACESIZE - 1)) : "";
  return MakeFont(device, DescA(height, width, weight, mipLevels, italic, charSet, precision, quality,
                                  pitchAndFamily, face),
                    KvrWideFromUtf8(face), font);
}

HRESULT WINAPI D3DXCreateFontW(LPDIRECT3DDEVICE9 device, INT height, UINT width, UINT weight, UINT mipLevels,
                               BOOL italic, DWORD charSet, DWORD precision, DWORD quality, DWORD pitchAndFamily,
                               LPCWSTR faceName, LPD3DXFONT* font) {
  std::wstring wide = faceName ? std::wstring(faceName, std::min<size_t>(std::wcslen(faceName), LF_FACESIZE - 1))
                               : std::wstring();
  return MakeFont(device, DescA(height, width, weight, mipLevels, italic, charSet, precision, quality,
                                  pitchAndFamily, KvrUtf8FromWide(wide.c_str())),
                    wide, font);
}

HRESULT WINAPI D3DXCreateFontIndirectA(LPDIRECT3DDEVICE9 device, const D3DXFONT_DESCA* desc, LPD3DXFONT* font) {
  if (!desc) return D3DERR_INVALIDCALL;
  D3DXFONT_DESCA d = *desc;
  d.FaceName[LF_FACESIZE - 1] = 0;
  return MakeFont(device, d, KvrWideFromUtf8(d.FaceName), font);
}

HRESULT WINAPI D3DXCreateFontIndirectW(LPDIRECT3DDEVICE9 device, const D3DXFONT_DESCW* desc, LPD3DXFONT* font) {
  if (!desc) return D3DERR_INVALIDCALL;
  const std::string face = FaceNameFromWide(desc->FaceName);
  return MakeFont(device, DescA(desc->Height, desc->Width, desc->Weight, desc->MipLevels, desc->Italic,
                                  desc->CharSet, desc->OutputPrecision, desc->Quality, desc->PitchAndFamily, face),
                    KvrWideFromUtf8(face), font);
}

}  // extern "C"
