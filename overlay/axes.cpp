// The axes: three coloured lines through the origin in one vertex buffer.
#include <d3d9.h>

#include "base/device.h"
#include "base/error_log.h"
#include "overlay/overlays.h"

IDirect3DVertexBuffer9* m_pAxisVB = nullptr;

namespace {

struct AxisVertex {
  float x, y, z;
  D3DCOLOR color;
};
static_assert(sizeof(AxisVertex) == 16, "the axes' stride is 16 bytes");

const DWORD kAxisFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;  // 0x42

// Each axis fades from almost black at its negative end to full red (x), green (y) or blue (z).
// Alpha is 0: the frame draws the axes with blending and alpha testing off.
const AxisVertex kAxes[6] = {
    {-100, 0, 0, 0x00010000}, {100, 0, 0, 0x00FF0000},
    {0, -100, 0, 0x00000100}, {0, 100, 0, 0x0000FF00},
    {0, 0, -100, 0x00000001}, {0, 0, 100, 0x000000FF},
};

}  // namespace

void CreateAxes() {
  if (m_pAxisVB) {
    m_pAxisVB->Release();
    m_pAxisVB = nullptr;
  }
  if (!g_pd3dDevice || FAILED(g_pd3dDevice->CreateVertexBuffer(sizeof(kAxes), 0, kAxisFVF, D3DPOOL_SYSTEMMEM,
                                                               &m_pAxisVB, nullptr))) {
    m_pAxisVB = nullptr;
    ErrorLog::Write("failed to create m_pAxisVB");
  } else {
    void* data = nullptr;
    if (SUCCEEDED(m_pAxisVB->Lock(0, 0, &data, 0)) && data) {
      AxisVertex* v = static_cast<AxisVertex*>(data);
      for (const AxisVertex& a : kAxes) *v++ = a;
      m_pAxisVB->Unlock();
    } else {
      // A buffer that could not be filled would draw whatever it held: drop it.
      m_pAxisVB->Release();
      m_pAxisVB = nullptr;
      ErrorLog::Write("failed to create m_pAxisVB");
    }
  }
  CreateColorBarsBuffer();
}

void DrawAxes() {
  if (!g_pd3dDevice || !m_pAxisVB) return;
  g_pd3dDevice->SetFVF(kAxisFVF);
  g_pd3dDevice->SetTexture(0, nullptr);
  g_pd3dDevice->SetStreamSource(0, m_pAxisVB, 0, sizeof(AxisVertex));
  g_pd3dDevice->DrawPrimitive(D3DPT_LINELIST, 0, 3);
}

void ReleaseLineBuffers() {
  if (m_pAxisVB) {
    m_pAxisVB->Release();
    m_pAxisVB = nullptr;
  }
  if (m_pColorBarsVB) {
    m_pColorBarsVB->Release();
    m_pColorBarsVB = nullptr;
  }
}
