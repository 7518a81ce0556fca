// The backdrop: a dark, opaque rectangle with a grey rim for text that must stay legible over any
// background colour and over the model.
#include <d3d9.h>

#include <cstdint>

#include "base/device.h"
#include "overlay/overlays.h"

namespace {

struct BackdropVertex {
  float x, y, z, rhw;
  D3DCOLOR color;
};
static_assert(sizeof(BackdropVertex) == 20, "the backdrop's stride is 20 bytes");

const DWORD kBackdropFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;  // 0x44
const D3DCOLOR kFill = 0xFF141820;                           // near black, a little blue
const D3DCOLOR kRim = 0xFF7A808C;                            // mid grey: shows on black too
// Two triangles of fill, then four rim lines.
constexpr UINT kFillVertices = 6;
constexpr UINT kRimVertices = 8;

// Made on the first draw, so a run that never shows a backdrop creates no buffer. It holds its
// own reference to the device it was made on, so that device outlives it.
IDirect3DVertexBuffer9* backdropBuffer = nullptr;
IDirect3DDevice9* backdropDevice = nullptr;
// The rectangle the buffer holds; the buffer is only written when it changes.
int32_t heldLeft = 0, heldTop = 0, heldRight = 0, heldBottom = 0;
bool held = false;

bool FillBuffer(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  void* data = nullptr;
  if (FAILED(backdropBuffer->Lock(0, 0, &data, 0)) || !data) return false;
  // Pixel centres lie on integers: the fill's edges sit half a pixel outside them, so it covers
  // exactly the pixels left..right-1, top..bottom-1; the rim runs through the outermost of them.
  const float l = left - 0.5f, t = top - 0.5f, r = right - 0.5f, b = bottom - 0.5f;
  const float rl = static_cast<float>(left), rt = static_cast<float>(top);
  const float rr = static_cast<float>(right - 1), rb = static_cast<float>(bottom - 1);
  const BackdropVertex vertices[kFillVertices + kRimVertices] = {
      {l, t, 0.0f, 1.0f, kFill},   {r, t, 0.0f, 1.0f, kFill},   {r, b, 0.0f, 1.0f, kFill},
      {l, t, 0.0f, 1.0f, kFill},   {r, b, 0.0f, 1.0f, kFill},   {l, b, 0.0f, 1.0f, kFill},
      {rl, rt, 0.0f, 1.0f, kRim},  {rr + 1, rt, 0.0f, 1.0f, kRim},  // lines leave out their last pixel
      {rl, rb, 0.0f, 1.0f, kRim},  {rr + 1, rb, 0.0f, 1.0f, kRim},
      {rl, rt, 0.0f, 1.0f, kRim},  {rl, rb + 1, 0.0f, 1.0f, kRim},
      {rr, rt, 0.0f, 1.0f, kRim},  {rr, rb + 1, 0.0f, 1.0f, kRim},
  };
  BackdropVertex* v = static_cast<BackdropVertex*>(data);
  for (const BackdropVertex& vertex : vertices) *v++ = vertex;
  backdropBuffer->Unlock();
  return true;
}

}  // namespace

void DrawBackdrop(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  IDirect3DDevice9* d = g_pd3dDevice;
  if (!d || right - left < 2 || bottom - top < 2) return;
  if (backdropDevice != d) ReleaseBackdrop();
  if (!backdropBuffer) {
    if (FAILED(d->CreateVertexBuffer((kFillVertices + kRimVertices) * sizeof(BackdropVertex), 0,
                                     kBackdropFVF, D3DPOOL_SYSTEMMEM, &backdropBuffer, nullptr))) {
      backdropBuffer = nullptr;
      return;
    }
    backdropDevice = d;
  }
  if (!held || left != heldLeft || top != heldTop || right != heldRight || bottom != heldBottom) {
    held = FillBuffer(left, top, right, bottom);
    if (!held) return;  // a buffer that could not be written would draw whatever it held
    heldLeft = left, heldTop = top, heldRight = right, heldBottom = bottom;
  }

  // Over everything drawn so far whatever its depth, with the vertex colour alone; the states
  // the frame relies on afterwards go back as they were.
  DWORD zEnable = 0, cull = 0, blending = 0, alphaTest = 0, colorOp = 0, colorArg = 0;
  d->GetRenderState(D3DRS_ZENABLE, &zEnable);
  d->GetRenderState(D3DRS_CULLMODE, &cull);
  d->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
  d->GetRenderState(D3DRS_ALPHATESTENABLE, &alphaTest);
  d->GetTextureStageState(0, D3DTSS_COLOROP, &colorOp);
  d->GetTextureStageState(0, D3DTSS_COLORARG1, &colorArg);
  d->SetRenderState(D3DRS_ZENABLE, FALSE);
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  d->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  d->SetFVF(kBackdropFVF);
  d->SetTexture(0, nullptr);
  d->SetStreamSource(0, backdropBuffer, 0, sizeof(BackdropVertex));
  d->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
  d->DrawPrimitive(D3DPT_LINELIST, kFillVertices, kRimVertices / 2);
  d->SetRenderState(D3DRS_ZENABLE, zEnable);
  d->SetRenderState(D3DRS_CULLMODE, cull);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, blending);
  d->SetRenderState(D3DRS_ALPHATESTENABLE, alphaTest);
  d->SetTextureStageState(0, D3DTSS_COLOROP, colorOp);
  d->SetTextureStageState(0, D3DTSS_COLORARG1, colorArg);
}

void ReleaseBackdrop() {
  if (backdropBuffer) backdropBuffer->Release();
  backdropBuffer = nullptr;
  backdropDevice = nullptr;
  held = false;
}
