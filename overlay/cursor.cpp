// The viewer's own cursor: a textured quad that follows the pointer.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>

#include "base/device.h"
#include "base/error_log.h"
#include "model/texture_pages.h"
#include "overlay/overlays.h"

IDirect3DVertexBuffer9* m_pCursorVB = nullptr;
IDirect3DTexture9* cursorTexture = nullptr;
int32_t lastCursorX = INT32_MIN;
int32_t lastCursorY = INT32_MIN;

namespace {

struct CursorVertex {
  float x, y, z, rhw;
  float u, v;
};
static_assert(sizeof(CursorVertex) == 24, "the cursor's stride is 24 bytes");

const DWORD kCursorFVF = D3DFVF_XYZRHW | D3DFVF_TEX1;  // 0x104
const float kCursorSize = 32.0f;  // pixels
// The image's top-left 70 % in each direction is the pointer; the rest of the texture is margin.
const float kCursorTexExtent = 0.7f;

}  // namespace

HRESULT CreateCursor() {
  ReleaseCursor();
  // A new buffer holds nothing yet: the next DrawCursor must write it whatever the pointer does.
  lastCursorX = INT32_MIN;
  lastCursorY = INT32_MIN;
  if (!g_pd3dDevice ||
      FAILED(g_pd3dDevice->CreateVertexBuffer(4 * sizeof(CursorVertex), 0, kCursorFVF, D3DPOOL_SYSTEMMEM,
                                              &m_pCursorVB, nullptr))) {
    m_pCursorVB = nullptr;
    ErrorLog::Write("Failed to CreateVertexBuffer m_pCursorVB");
    return E_FAIL;
  }
  // The cursor is read as a page is, and counts under the pages' ceiling.
  cursorTexture = LoadLoosePage("textures\\kvrcursor.dds");
  if (!cursorTexture) {
    ErrorLog::Write("Failed to load texture kvrcursor.dds ");
    return E_FAIL;
  }
  return 0;
}

void DrawCursor() {
  if (!g_pd3dDevice || !m_pCursorVB) return;
  POINT p = {};
  GetCursorPos(&p);
  // The window covers the screen from (0, 0): pointer positions are back-buffer pixels.
  if (p.x != lastCursorX || p.y != lastCursorY) {
    void* data = nullptr;
    if (FAILED(m_pCursorVB->Lock(0, 0, &data, 0)) || !data) return;  // an unwritten quad is never drawn
    const float x = static_cast<float>(p.x), y = static_cast<float>(p.y);
    const float s = kCursorSize, t = kCursorTexExtent;
    // The hot spot is the top-left corner; no half-pixel offset.
    const CursorVertex quad[4] = {
        {x, y, 0.0f, 1.0f, 0.0f, 0.0f},
        {x + s, y, 0.0f, 1.0f, t, 0.0f},
        {x + s, y + s, 0.0f, 1.0f, t, t},
        {x, y + s, 0.0f, 1.0f, 0.0f, t},
    };
    CursorVertex* v = static_cast<CursorVertex*>(data);
    for (int i = 0; i < 4; ++i) v[i] = quad[i];
    m_pCursorVB->Unlock();
    lastCursorX = p.x;
    lastCursorY = p.y;
  }
  // Without its image there is no cursor to show; the quad is still kept up to date.
  if (!cursorTexture) return;

  g_pd3dDevice->SetFVF(kCursorFVF);
  g_pd3dDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  g_pd3dDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  g_pd3dDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  g_pd3dDevice->SetTexture(0, cursorTexture);
  g_pd3dDevice->SetStreamSource(0, m_pCursorVB, 0, sizeof(CursorVertex));
  g_pd3dDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
  // The blend factors stay as set; only blending itself is switched off again.
  g_pd3dDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

void ReleaseCursor() {
  if (m_pCursorVB) {
    m_pCursorVB->Release();
    m_pCursorVB = nullptr;
  }
  ReleaseLoosePage(cursorTexture);
}
