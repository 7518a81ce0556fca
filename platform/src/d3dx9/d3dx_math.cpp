// D3DX matrix functions: the left-handed, row-vector matrices of Direct3D (a point p is
// transformed as p * M, so M1 * M2 applies M1 first).
// Implemented: identity, multiply, translation, rotations about x, y and z, perspective (field of
//   view, left-handed), look-at (left-handed), D3DXMATRIX's * and *=.
// Not implemented: everything else of D3DX math.
#include <d3dx9.h>

#include <cmath>

extern "C" {

D3DXMATRIX* WINAPI D3DXMatrixIdentity(D3DXMATRIX* out) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out->m[r][c] = r == c ? 1.0f : 0.0f;
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
  // out may be a or b: compute into a temporary first.
  D3DMATRIX t;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      t.m[r][c] = a->m[r][0] * b->m[0][c] + a->m[r][1] * b->m[1][c] + a->m[r][2] * b->m[2][c] +
                  a->m[r][3] * b->m[3][c];
  *static_cast<D3DMATRIX*>(out) = t;
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixTranslation(D3DXMATRIX* out, FLOAT x, FLOAT y, FLOAT z) {
  D3DXMatrixIdentity(out);
  out->_41 = x;
  out->_42 = y;
  out->_43 = z;
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationX(D3DXMATRIX* out, FLOAT angle) {
  const float s = std::sin(angle), c = std::cos(angle);
  D3DXMatrixIdentity(out);
  out->_22 = c;
  out->_23 = s;
  out->_32 = -s;
  out->_33 = c;
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationY(D3DXMATRIX* out, FLOAT angle) {
  const float s = std::sin(angle), c = std::cos(angle);
  D3DXMatrixIdentity(out);
  out->_11 = c;
  out->_13 = -s;
  out->_31 = s;
  out->_33 = c;
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationZ(D3DXMATRIX* out, FLOAT angle) {
  const float s = std::sin(angle), c = std::cos(angle);
  D3DXMatrixIdentity(out);
  out->_11 = c;
  out->_12 = s;
  out->_21 = -s;
  out->_22 = c;
  return out;
}

// Maps view-space z from zn..zf to depth 0..1; x and y by cot(fovy/2), x divided by the aspect.
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, FLOAT fovy, FLOAT aspect, FLOAT zn,
                                              FLOAT zf) {
  const float yScale = 1.0f / std::tan(fovy / 2.0f);
  const float xScale = yScale / aspect;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out->m[r][c] = 0.0f;
  out->_11 = xScale;
  out->_22 = yScale;
  out->_33 = zf / (zf - zn);
  out->_34 = 1.0f;
  out->_43 = -zn * zf / (zf - zn);
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                      const D3DXVECTOR3* up) {
  auto normalize = [](float& x, float& y, float& z) {
    const float len = std::sqrt(x * x + y * y + z * z);
    if (len > 0.0f) {
      x /= len;
      y /= len;
      z /= len;
    }
  };
  // zaxis looks from the eye to the target; xaxis = up x zaxis; yaxis = zaxis x xaxis.
  float zx = at->x - eye->x, zy = at->y - eye->y, zz = at->z - eye->z;
  normalize(zx, zy, zz);
  float xx = up->y * zz - up->z * zy, xy = up->z * zx - up->x * zz, xz = up->x * zy - up->y * zx;
  normalize(xx, xy, xz);
  const float yx = zy * xz - zz * xy, yy = zz * xx - zx * xz, yz = zx * xy - zy * xx;
  out->_11 = xx; out->_12 = yx; out->_13 = zx; out->_14 = 0.0f;
  out->_21 = xy; out->_22 = yy; out->_23 = zy; out->_24 = 0.0f;
  out->_31 = xz; out->_32 = yz; out->_33 = zz; out->_34 = 0.0f;
  out->_41 = -(xx * eye->x + xy * eye->y + xz * eye->z);
  out->_42 = -(yx * eye->x + yy * eye->y + yz * eye->z);
  out->_43 = -(zx * eye->x + zy * eye->y + zz * eye->z);
  out->_44 = 1.0f;
  return out;
}

}  // extern "C"

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& other) const {
  D3DXMATRIX result;
  D3DXMatrixMultiply(&result, this, &other);
  return result;
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& other) {
  D3DXMatrixMultiply(this, this, &other);
  return *this;
}
