// D3DX planes (a x + b y + c z + d = 0) and the matrices made from them.
// Implemented: from a point and a normal, from three points, normalize (a plane with no normal
//   becomes all zero), the meeting of a line and a plane (NULL when parallel), transform (by the
//   inverse transpose, as in the SDK), reflection and shadow matrices. The dot products are
//   inline in d3dx9math.h.
// Not implemented: D3DXPlaneTransformArray.
#include <d3dx9.h>

#include <cmath>

extern "C" {

D3DXPLANE* WINAPI D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal) {
  *out = D3DXPLANE(normal->x, normal->y, normal->z, -D3DXVec3Dot(point, normal));
  return out;
}

D3DXPLANE* WINAPI D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2,
                                      const D3DXVECTOR3* v3) {
  const D3DXVECTOR3 edge1 = *v2 - *v1, edge2 = *v3 - *v1;
  D3DXVECTOR3 normal;
  D3DXVec3Cross(&normal, &edge1, &edge2);
  D3DXVec3Normalize(&normal, &normal);
  return D3DXPlaneFromPointNormal(out, v1, &normal);
}

D3DXPLANE* WINAPI D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p) {
  const float length = std::sqrt(p->a * p->a + p->b * p->b + p->c * p->c);
  *out = length > 0.0f ? *p / length : D3DXPLANE(0.0f, 0.0f, 0.0f, 0.0f);
  return out;
}

D3DXVECTOR3* WINAPI D3DXPlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* p, const D3DXVECTOR3* v1,
                                           const D3DXVECTOR3* v2) {
  const D3DXVECTOR3 direction = *v2 - *v1;
  const float along = D3DXPlaneDotNormal(p, &direction);
  if (along == 0.0f) return nullptr;
  const float t = D3DXPlaneDotCoord(p, v1) / along;
  *out = *v1 - direction * t;
  return out;
}

D3DXPLANE* WINAPI D3DXPlaneTransform(D3DXPLANE* out, const D3DXPLANE* p, const D3DXMATRIX* m) {
  const D3DXPLANE q = *p;
  *out = D3DXPLANE(q.a * m->_11 + q.b * m->_21 + q.c * m->_31 + q.d * m->_41,
                   q.a * m->_12 + q.b * m->_22 + q.c * m->_32 + q.d * m->_42,
                   q.a * m->_13 + q.b * m->_23 + q.c * m->_33 + q.d * m->_43,
                   q.a * m->_14 + q.b * m->_24 + q.c * m->_34 + q.d * m->_44);
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane) {
  D3DXPLANE n;
  D3DXPlaneNormalize(&n, plane);
  const float v[4] = {n.a, n.b, n.c, n.d};
  D3DXMatrixIdentity(out);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) out->m[r][c] -= 2.0f * v[r] * v[c];
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixShadow(D3DXMATRIX* out, const D3DXVECTOR4* light, const D3DXPLANE* plane) {
  D3DXPLANE n;
  D3DXPlaneNormalize(&n, plane);
  const float dot = D3DXPlaneDot(&n, light);
  const float p[4] = {n.a, n.b, n.c, n.d};
  const float l[4] = {light->x, light->y, light->z, light->w};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out->m[r][c] = (r == c ? dot : 0.0f) - p[r] * l[c];
  return out;
}

}  // extern "C"
