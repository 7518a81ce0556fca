// D3DX 9 fonts and sprites: ID3DXSprite draws textured rectangles in batches, ID3DXFont draws
// text through GDI's fonts, one glyph texture page at a time. The A and W forms of text methods
// are both there; under UNICODE the unsuffixed helpers and DrawText name the W forms.
#pragma once
#include "d3d9.h"
#include "d3dx9math.h"
#include "wingdi.h"
#include "winuser.h"

// ID3DXSprite::Begin flags
#define D3DXSPRITE_DONOTSAVESTATE (1 << 0)
#define D3DXSPRITE_DONOTMODIFY_RENDERSTATE (1 << 1)
#define D3DXSPRITE_OBJECTSPACE (1 << 2)
#define D3DXSPRITE_BILLBOARD (1 << 3)
#define D3DXSPRITE_ALPHABLEND (1 << 4)
#define D3DXSPRITE_SORT_TEXTURE (1 << 5)
#define D3DXSPRITE_SORT_DEPTH_FRONTTOBACK (1 << 6)
#define D3DXSPRITE_SORT_DEPTH_BACKTOFRONT (1 << 7)
#define D3DXSPRITE_DO_NOT_ADDREF_TEXTURE (1 << 8)

typedef struct _D3DXFONT_DESCA {
  INT Height;
  UINT Width;
  UINT Weight;
  UINT MipLevels;
  BOOL Italic;
  BYTE CharSet;
  BYTE OutputPrecision;
  BYTE Quality;
  BYTE PitchAndFamily;
  CHAR FaceName[LF_FACESIZE];
} D3DXFONT_DESCA, *LPD3DXFONT_DESCA;

typedef struct _D3DXFONT_DESCW {
  INT Height;
  UINT Width;
  UINT Weight;
  UINT MipLevels;
  BOOL Italic;
  BYTE CharSet;
  BYTE OutputPrecision;
  BYTE Quality;
  BYTE PitchAndFamily;
  WCHAR FaceName[LF_FACESIZE];
} D3DXFONT_DESCW, *LPD3DXFONT_DESCW;

#ifdef UNICODE
typedef D3DXFONT_DESCW D3DXFONT_DESC;
typedef LPD3DXFONT_DESCW LPD3DXFONT_DESC;
#else
typedef D3DXFONT_DESCA D3DXFONT_DESC;
typedef LPD3DXFONT_DESCA LPD3DXFONT_DESC;
#endif

#ifdef __cplusplus

// Textured rectangles. Between Begin and End, Draw queues a rectangle of a texture (all of it,
// or the source rectangle) with its centre at `position`, modulated by `color`, through the
// current transform; Flush and End draw the queue, in batches of one texture each.
struct ID3DXSprite : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetDevice(LPDIRECT3DDEVICE9* ppDevice) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTransform(D3DXMATRIX* pTransform) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetTransform(const D3DXMATRIX* pTransform) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetWorldViewRH(const D3DXMATRIX* pWorld, const D3DXMATRIX* pView) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetWorldViewLH(const D3DXMATRIX* pWorld, const D3DXMATRIX* pView) = 0;
  virtual HRESULT STDMETHODCALLTYPE Begin(DWORD Flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Draw(LPDIRECT3DTEXTURE9 pTexture, const RECT* pSrcRect,
                                         const D3DXVECTOR3* pCenter, const D3DXVECTOR3* pPosition,
                                         D3DCOLOR Color) = 0;
  virtual HRESULT STDMETHODCALLTYPE Flush() = 0;
  virtual HRESULT STDMETHODCALLTYPE End() = 0;
  virtual HRESULT STDMETHODCALLTYPE OnLostDevice() = 0;
  virtual HRESULT STDMETHODCALLTYPE OnResetDevice() = 0;
};
typedef ID3DXSprite* LPD3DXSPRITE;

// Text in one GDI font. DrawText returns the height of the text drawn (0 on failure).
struct ID3DXFont : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetDevice(LPDIRECT3DDEVICE9* ppDevice) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescA(D3DXFONT_DESCA* pDesc) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescW(D3DXFONT_DESCW* pDesc) = 0;
  virtual HDC STDMETHODCALLTYPE GetDC() = 0;
  virtual HRESULT STDMETHODCALLTYPE PreloadCharacters(UINT First, UINT Last) = 0;
  virtual HRESULT STDMETHODCALLTYPE PreloadTextA(LPCSTR pString, INT Count) = 0;
  virtual HRESULT STDMETHODCALLTYPE PreloadTextW(LPCWSTR pString, INT Count) = 0;
  virtual INT STDMETHODCALLTYPE DrawTextA(LPD3DXSPRITE pSprite, LPCSTR pString, INT Count, LPRECT pRect,
                                          DWORD Format, D3DCOLOR Color) = 0;
  virtual INT STDMETHODCALLTYPE DrawTextW(LPD3DXSPRITE pSprite, LPCWSTR pString, INT Count, LPRECT pRect,
                                          DWORD Format, D3DCOLOR Color) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnLostDevice() = 0;
  virtual HRESULT STDMETHODCALLTYPE OnResetDevice() = 0;

#ifdef UNICODE
  HRESULT GetDesc(D3DXFONT_DESCW* pDesc) { return GetDescW(pDesc); }
  HRESULT PreloadText(LPCWSTR pString, INT Count) { return PreloadTextW(pString, Count); }
#else
  HRESULT GetDesc(D3DXFONT_DESCA* pDesc) { return GetDescA(pDesc); }
  HRESULT PreloadText(LPCSTR pString, INT Count) { return PreloadTextA(pString, Count); }
#endif
};
typedef ID3DXFont* LPD3DXFONT;

extern "C" {
HRESULT WINAPI D3DXCreateSprite(LPDIRECT3DDEVICE9 pDevice, LPD3DXSPRITE* ppSprite);
HRESULT WINAPI D3DXCreateFontA(LPDIRECT3DDEVICE9 pDevice, INT Height, UINT Width, UINT Weight, UINT MipLevels,
                               BOOL Italic, DWORD CharSet, DWORD OutputPrecision, DWORD Quality,
                               DWORD PitchAndFamily, LPCSTR pFaceName, LPD3DXFONT* ppFont);
HRESULT WINAPI D3DXCreateFontW(LPDIRECT3DDEVICE9 pDevice, INT Height, UINT Width, UINT Weight, UINT MipLevels,
                               BOOL Italic, DWORD CharSet, DWORD OutputPrecision, DWORD Quality,
                               DWORD PitchAndFamily, LPCWSTR pFaceName, LPD3DXFONT* ppFont);
HRESULT WINAPI D3DXCreateFontIndirectA(LPDIRECT3DDEVICE9 pDevice, const D3DXFONT_DESCA* pDesc, LPD3DXFONT* ppFont);
HRESULT WINAPI D3DXCreateFontIndirectW(LPDIRECT3DDEVICE9 pDevice, const D3DXFONT_DESCW* pDesc, LPD3DXFONT* ppFont);
}

#ifdef UNICODE
#define D3DXCreateFont D3DXCreateFontW
#define D3DXCreateFontIndirect D3DXCreateFontIndirectW
#else
#define D3DXCreateFont D3DXCreateFontA
#define D3DXCreateFontIndirect D3DXCreateFontIndirectA
#endif

#endif  // __cplusplus
