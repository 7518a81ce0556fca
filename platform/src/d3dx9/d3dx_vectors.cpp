// D3DX vector functions: normalising and transforming 3-vectors by D3DX matrices (row vectors:
// v * M). The inline ones (dot, cross, length, ...) are in d3dx9math.h, as in the SDK.
// Implemented: D3DXVec3Normalize, D3DXVec3TransformCoord, D3DXVec3TransformNormal, D3DXVec3Transform.
// Not implemented: the array forms, projection and unprojection, 2- and 4-vector functions.
#include <d3dx9.h>

#include <cmath>

extern "C" {

D3DXVECTOR3* WINAPI D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
  const float length = std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z);
  if (length == 0.0f) {
    *out = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    return out;
  }
  *out = D3DXVECTOR3(v->x / length, v->y / length, v->z / length);
  return out;
}

D3DXVECTOR4* WINAPI D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
  const D3DXVECTOR4 r(v->x * m->_11 + v->y * m->_21 + v->z * m->_31 + m->_41,
                      v->x * m->_12 + v->y * m->_22 + v->z * m->_32 + m->_42,
                      v->x * m->_13 + v->y * m->_23 + v->z * m->_33 + m->_43,
                      v->x * m->_14 + v->y * m->_24 + v->z * m->_34 + m->_44);
  *out = r;
  return out;
}

D3DXVECTOR3* WINAPI D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
  D3DXVECTOR4 r;
  D3DXVec3Transform(&r, v, m);
  // A point at infinity (w = 0) has no place in 3D: D3DX leaves it undivided.
  const float w = r.w != 0.0f ? r.w : 1.0f;
  *out = D3DXVECTOR3(r.x / w, r.y / w, r.z / w);
  return out;
}

D3DXVECTOR3* WINAPI D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
  const D3DXVECTOR3 r(v->x * m->_11 + v->y * m->_21 + v->z * m->_31, v->x * m->_12 + v->y * m->_22 + v->z * m->_32,
                      v->x * m->_13 + v->y * m->_23 + v->z * m->_33);
  *out = r;
  return out;
}

}  // extern "C"
