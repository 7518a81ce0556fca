// D3DX quaternions, in the convention of its matrices: a unit quaternion (axis * sin(angle / 2),
// cos(angle / 2)) rotates as D3DXMatrixRotationAxis does, and multiplying q1 by q2 gives the
// rotation of q1 followed by that of q2, as the matrices multiply.
// Implemented: rotation from an axis, a matrix and yaw/pitch/roll; multiply (and the * operators),
//   normalize and inverse (a zero quaternion stays zero), spherical interpolation along the
//   shorter arc, axis and angle, and the matrix of a quaternion.
// Not implemented: Exp, Ln, BaryCentric, Squad.
#include <d3dx9.h>

#include <cmath>

extern "C" {

D3DXQUATERNION* WINAPI D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2) {
  const D3DXQUATERNION a = *q2, b = *q1;  // the Hamilton product q2 q1
  *out = D3DXQUATERNION(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                        a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
  return out;
}

D3DXQUATERNION* WINAPI D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* v, FLOAT angle) {
  D3DXVECTOR3 axis;
  D3DXVec3Normalize(&axis, v);
  const float s = std::sin(angle / 2.0f);
  *out = D3DXQUATERNION(axis.x * s, axis.y * s, axis.z * s, std::cos(angle / 2.0f));
  return out;
}

D3DXQUATERNION* WINAPI D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* out, FLOAT yaw, FLOAT pitch, FLOAT roll) {
  // As the matrix: roll about z first, then pitch about x, then yaw about y.
  const D3DXQUATERNION z(0.0f, 0.0f, std::sin(roll / 2.0f), std::cos(roll / 2.0f));
  const D3DXQUATERNION x(std::sin(pitch / 2.0f), 0.0f, 0.0f, std::cos(pitch / 2.0f));
  const D3DXQUATERNION y(0.0f, std::sin(yaw / 2.0f), 0.0f, std::cos(yaw / 2.0f));
  D3DXQUATERNION zx;
  D3DXQuaternionMultiply(&zx, &z, &x);
  return D3DXQuaternionMultiply(out, &zx, &y);
}

D3DXQUATERNION* WINAPI D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m) {
  const float trace = m->_11 + m->_22 + m->_33;
  if (trace > 0.0f) {
    const float s = 2.0f * std::sqrt(trace + 1.0f);
    *out = D3DXQUATERNION((m->_23 - m->_32) / s, (m->_31 - m->_13) / s, (m->_12 - m->_21) / s, 0.25f * s);
  } else if (m->_11 >= m->_22 && m->_11 >= m->_33) {
    const float s = 2.0f * std::sqrt(1.0f + m->_11 - m->_22 - m->_33);
    *out = D3DXQUATERNION(0.25f * s, (m->_12 + m->_21) / s, (m->_13 + m->_31) / s, (m->_23 - m->_32) / s);
  } else if (m->_22 >= m->_33) {
    const float s = 2.0f * std::sqrt(1.0f + m->_22 - m->_11 - m->_33);
    *out = D3DXQUATERNION((m->_12 + m->_21) / s, 0.25f * s, (m->_23 + m->_32) / s, (m->_31 - m->_13) / s);
  } else {
    const float s = 2.0f * std::sqrt(1.0f + m->_33 - m->_11 - m->_22);
    *out = D3DXQUATERNION((m->_13 + m->_31) / s, (m->_23 + m->_32) / s, 0.25f * s, (m->_12 - m->_21) / s);
  }
  return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q) {
  const float x = q->x, y = q->y, z = q->z, w = q->w;
  D3DXMatrixIdentity(out);
  out->_11 = 1.0f - 2.0f * (y * y + z * z);
  out->_12 = 2.0f * (x * y + z * w);
  out->_13 = 2.0f * (x * z - y * w);
  out->_21 = 2.0f * (x * y - z * w);
  out->_22 = 1.0f - 2.0f * (x * x + z * z);
  out->_23 = 2.0f * (y * z + x * w);
  out->_31 = 2.0f * (x * z + y * w);
  out->_32 = 2.0f * (y * z - x * w);
  out->_33 = 1.0f - 2.0f * (x * x + y * y);
  return out;
}

D3DXQUATERNION* WINAPI D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
  const float length = D3DXQuaternionLength(q);
  *out = length > 0.0f ? *q / length : D3DXQUATERNION(0.0f, 0.0f, 0.0f, 0.0f);
  return out;
}

D3DXQUATERNION* WINAPI D3DXQuaternionInverse(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
  const float lengthSq = D3DXQuaternionLengthSq(q);
  D3DXQUATERNION conjugate;
  D3DXQuaternionConjugate(&conjugate, q);
  *out = lengthSq > 0.0f ? conjugate / lengthSq : D3DXQUATERNION(0.0f, 0.0f, 0.0f, 0.0f);
  return out;
}

D3DXQUATERNION* WINAPI D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2,
                                           FLOAT t) {
  float dot = D3DXQuaternionDot(q1, q2);
  D3DXQUATERNION to = *q2;
  if (dot < 0.0f) {  // q and -q are the same rotation: take the one nearer q1
    dot = -dot;
    to = -to;
  }
  float w1 = 1.0f - t, w2 = t;
  if (1.0f - dot > 0.001f) {  // else nearly equal: straight interpolation is as good and stable
    const float theta = std::acos(dot);
    const float sine = std::sin(theta);
    w1 = std::sin((1.0f - t) * theta) / sine;
    w2 = std::sin(t * theta) / sine;
  }
  *out = *q1 * w1 + to * w2;
  return out;
}

void WINAPI D3DXQuaternionToAxisAngle(const D3DXQUATERNION* q, D3DXVECTOR3* axis, FLOAT* angle) {
  if (axis) *axis = D3DXVECTOR3(q->x, q->y, q->z);
  if (angle) *angle = 2.0f * std::acos(q->w);
}

}  // extern "C"

D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION& q) const {
  D3DXQUATERNION out;
  D3DXQuaternionMultiply(&out, this, &q);
  return out;
}

D3DXQUATERNION& D3DXQUATERNION::operator*=(const D3DXQUATERNION& q) {
  D3DXQuaternionMultiply(this, this, &q);
  return *this;
}
