// D3DX matrix functions: the left-handed, row-vector matrices of Direct3D (a point p is
// transformed as p * M, so M1 * M2 applies M1 first).
// Implemented: identity, multiply, translation, scaling, rotations about x, y, z, any axis and by
//   yaw, pitch and roll, transpose, inverse, perspective (field of view left- and right-handed,
//   width and height left-handed), orthographic (left-handed), look-at (left- and right-handed),
//   D3DXMATRIX's * and *=. The vector functions are in d3dx_vectors.cpp; quaternions, planes,
//   colours and the matrix stack have files of their own.
// Not implemented: the rest of D3DX math (decomposition, transformations, splines).
#include <d3dx9.h>

#include <cmath>
#include <utility>

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

D3DXMATRIX* WINAPI D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                      const D3DXVECTOR3* up) {
  // The right-handed eye looks down its -z: the left-handed one aimed the other way, mirrored in x.
  const D3DXVECTOR3 behind(2.0f * eye->x - at->x, 2.0f * eye->y - at->y, 2.0f * eye->z - at->z);
  D3DXMatrixLookAtLH(out, eye, &behind, up);
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovRH(D3DXMATRIX* out, FLOAT fovy, FLOAT aspect, FLOAT zn,
                                              FLOAT zf) {
  D3DXMatrixPerspectiveFovLH(out, fovy, aspect, zn, zf);
  // View-space z runs the other way: -zn..-zf maps to 0..1.
  out->_33 = zf / (zn - zf);
  out->_34 = -1.0f;
  out->_43 = zn * zf / (zn - zf);
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveLH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out->m[r][c] = 0.0f;
  // w and h are the view volume's sides at the near plane.
  out->_11 = 2.0f * zn / w;
  out->_22 = 2.0f * zn / h;
  out->_33 = zf / (zf - zn);
  out->_34 = 1.0f;
  out->_43 = zn * zf / (zn - zf);
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoLH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
  D3DXMatrixIdentity(out);
  out->_11 = 2.0f / w;
  out->_22 = 2.0f / h;
  out->_33 = 1.0f / (zf - zn);
  out->_43 = zn / (zn - zf);
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixScaling(D3DXMATRIX* out, FLOAT sx, FLOAT sy, FLOAT sz) {
  D3DXMatrixIdentity(out);
  out->_11 = sx;
  out->_22 = sy;
  out->_33 = sz;
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, FLOAT yaw, FLOAT pitch, FLOAT roll) {
  D3DXMATRIX z, x, y;
  D3DXMatrixRotationZ(&z, roll);
  D3DXMatrixRotationX(&x, pitch);
  D3DXMatrixRotationY(&y, yaw);
  D3DXMatrixMultiply(out, &z, &x);
  D3DXMatrixMultiply(out, out, &y);
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, FLOAT angle) {
  float x = axis->x, y = axis->y, z = axis->z;
  const float len = std::sqrt(x * x + y * y + z * z);
  if (len > 0.0f) {
    x /= len;
    y /= len;
    z /= len;
  }
  const float s = std::sin(angle), c = std::cos(angle), t = 1.0f - c;
  D3DXMatrixIdentity(out);
  // Row-vector form of the rotation by `angle` about (x, y, z), clockwise looking down the axis
  // towards the origin, as RotationX/Y/Z are.
  out->_11 = t * x * x + c;
  out->_12 = t * x * y + s * z;
  out->_13 = t * x * z - s * y;
  out->_21 = t * x * y - s * z;
  out->_22 = t * y * y + c;
  out->_23 = t * y * z + s * x;
  out->_31 = t * x * z + s * y;
  out->_32 = t * y * z - s * x;
  out->_33 = t * z * z + c;
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m) {
  D3DMATRIX t;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) t.m[r][c] = m->m[c][r];
  *static_cast<D3DMATRIX*>(out) = t;
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixInverse(D3DXMATRIX* out, FLOAT* determinant, const D3DXMATRIX* m) {
  // Gauss-Jordan elimination with partial pivoting, in double precision.
  double a[4][8];
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      a[r][c] = m->m[r][c];
      a[r][c + 4] = r == c ? 1.0 : 0.0;
    }
  double det = 1.0;
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 4; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    if (a[pivot][col] == 0.0) {
      if (determinant) *determinant = 0.0f;
      return nullptr;
    }
    if (pivot != col) {
      for (int c = 0; c < 8; ++c) std::swap(a[pivot][c], a[col][c]);
      det = -det;
    }
    det *= a[col][col];
    const double inv = 1.0 / a[col][col];
    for (int c = 0; c < 8; ++c) a[col][c] *= inv;
    for (int r = 0; r < 4; ++r) {
      if (r == col) continue;
      const double f = a[r][col];
      for (int c = 0; c < 8; ++c) a[r][c] -= f * a[col][c];
    }
  }
  if (determinant) *determinant = static_cast<float>(det);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out->m[r][c] = static_cast<float>(a[r][c + 4]);
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
