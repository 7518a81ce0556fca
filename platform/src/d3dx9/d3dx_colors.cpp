// D3DX colour adjustments (the other colour helpers are inline in d3dx9math.h).
// Implemented: D3DXColorAdjustSaturation (between the colour's grey, by the luminance weights
//   0.2125, 0.7154, 0.0721, and the colour), D3DXColorAdjustContrast (about middle grey); alpha
//   is kept.
#include <d3dx9.h>

extern "C" {

D3DXCOLOR* WINAPI D3DXColorAdjustSaturation(D3DXCOLOR* out, const D3DXCOLOR* c, FLOAT s) {
  const float grey = c->r * 0.2125f + c->g * 0.7154f + c->b * 0.0721f;
  *out = D3DXCOLOR(grey + s * (c->r - grey), grey + s * (c->g - grey), grey + s * (c->b - grey), c->a);
  return out;
}

D3DXCOLOR* WINAPI D3DXColorAdjustContrast(D3DXCOLOR* out, const D3DXCOLOR* c, FLOAT contrast) {
  *out = D3DXCOLOR(0.5f + contrast * (c->r - 0.5f), 0.5f + contrast * (c->g - 0.5f), 0.5f + contrast * (c->b - 0.5f),
                   c->a);
  return out;
}

}  // extern "C"
