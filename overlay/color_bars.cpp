// The colour bars: the three slider bars at the bottom of the screen, one strip per channel.
#include <d3d9.h>

#include <cstdint>

#include "base/device.h"
#include "base/error_log.h"
#include "overlay/overlays.h"

IDirect3DVertexBuffer9* m_pColorBarsVB = nullptr;

namespace {

struct BarVertex {
  float x, y, z, rhw;
  D3DCOLOR color;
};
static_assert(sizeof(BarVertex) == 20, "the colour bars' stride is 20 bytes");

const DWORD kBarsFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;  // 0x44
const int32_t kVerticesPerBar = 14;                     // seven lines
const int32_t kBarCount = 3;
const int32_t kBarSpacing = 280;  // pixels between the left ends of two bars

}  // namespace

void CreateColorBarsBuffer() {
  if (m_pColorBarsVB) {
    m_pColorBarsVB->Release();
    m_pColorBarsVB = nullptr;
  }
  // Filled by the first SetColorBar of each channel, before the first frame.
  if (!g_pd3dDevice ||
      FAILED(g_pd3dDevice->CreateVertexBuffer(kBarCount * kVerticesPerBar * sizeof(BarVertex), 0, kBarsFVF,
                                              D3DPOOL_SYSTEMMEM, &m_pColorBarsVB, nullptr))) {
    m_pColorBarsVB = nullptr;
    ErrorLog::Write("failed to create m_pColorBarsVB");
  }
}

void SetColorBar(int32_t value, int32_t channel) {
  if (!m_pColorBarsVB || channel < 0 || channel >= kBarCount) return;
  if (value < 0) value = 0;
  if (value > 255) value = 255;

  const int32_t shift = 16 - 8 * channel;  // red, green, blue within 0xAARRGGBB
  const D3DCOLOR frame = 0xFF000000u | (0xFFu << shift);
  const D3DCOLOR valueColor = 0xFF000000u | (static_cast<D3DCOLOR>(value) << shift);
  const D3DCOLOR complement = 0xFF000000u | (~valueColor & 0x00FFFFFFu);

  const float X = static_cast<float>(kBarSpacing * channel);
  const float knob = X + 15.0f + static_cast<float>(value);
  struct Line {
    float x0, y0, x1, y1;
    D3DCOLOR color;
  };
  // The bottom edge runs one pixel further right than the top edge.
  const Line lines[7] = {
      {X + 10, 753, X + 276, 753, frame},            // frame top
      {X + 10, 764, X + 277, 764, frame},            // frame bottom
      {X + 10, 753, X + 10, 764, frame},             // frame left
      {X + 276, 753, X + 276, 764, frame},           // frame right
      {X + 15, 757, X + 271, 757, valueColor},       // value line
      {knob, 754, knob, 763, frame},                 // knob
      {X + 15, 759, X + 271, 759, complement},       // complement line
  };

  void* data = nullptr;
  if (FAILED(m_pColorBarsVB->Lock(0, 0, &data, 0)) || !data) return;
  BarVertex* v = static_cast<BarVertex*>(data) + kVerticesPerBar * channel;
  for (const Line& l : lines) {
    *v++ = {l.x0, l.y0, 1.0f, 1.0f, l.color};
    *v++ = {l.x1, l.y1, 1.0f, 1.0f, l.color};
  }
  m_pColorBarsVB->Unlock();
}

void DrawColorBars() {
  if (!g_pd3dDevice || !m_pColorBarsVB) return;
  g_pd3dDevice->SetFVF(kBarsFVF);
  g_pd3dDevice->SetTexture(0, nullptr);
  g_pd3dDevice->SetStreamSource(0, m_pColorBarsVB, 0, sizeof(BarVertex));
  g_pd3dDevice->DrawPrimitive(D3DPT_LINELIST, 0, kBarCount * kVerticesPerBar / 2);
}
