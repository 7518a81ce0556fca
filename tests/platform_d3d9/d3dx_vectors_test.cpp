// The D3DX math small samples use beyond the viewer's: rotations made of others must equal their
// product, an inverse must undo its matrix, and vectors transform as row vectors.
#include <d3dx9.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectSameMatrix(const D3DXMATRIX& a, const D3DXMATRIX& b, float tolerance = 1e-5f) {
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(a.m[i / 4][i % 4], b.m[i / 4][i % 4], tolerance) << "element _" << (i / 4 + 1) << (i % 4 + 1);
}

TEST(D3DXRotations, YawPitchRollIsRollThenPitchThenYaw) {
  D3DXMATRIX combined, roll, pitch, yaw;
  D3DXMatrixRotationYawPitchRoll(&combined, 0.7f, -0.3f, 1.9f);
  D3DXMatrixRotationZ(&roll, 1.9f);
  D3DXMatrixRotationX(&pitch, -0.3f);
  D3DXMatrixRotationY(&yaw, 0.7f);
  ExpectSameMatrix(combined, roll * pitch * yaw);
}

TEST(D3DXRotations, AnAxisRotationAboutACoordinateAxisIsThatAxissRotation) {
  D3DXMATRIX about, expected;
  const D3DXVECTOR3 y(0.0f, 3.0f, 0.0f);  // any length
  D3DXMatrixRotationAxis(&about, &y, 0.8f);
  ExpectSameMatrix(about, *D3DXMatrixRotationY(&expected, 0.8f));
  const D3DXVECTOR3 x(-1.0f, 0.0f, 0.0f);  // the other way round x
  D3DXMatrixRotationAxis(&about, &x, 0.8f);
  ExpectSameMatrix(about, *D3DXMatrixRotationX(&expected, -0.8f));
  // A point on the axis stays put.
  const D3DXVECTOR3 axis(1.0f, 2.0f, 2.0f);
  D3DXMatrixRotationAxis(&about, &axis, 2.1f);
  D3DXVECTOR3 moved;
  D3DXVec3TransformCoord(&moved, &axis, &about);
  EXPECT_NEAR(moved.x, 1.0f, 1e-5f);
  EXPECT_NEAR(moved.y, 2.0f, 1e-5f);
  EXPECT_NEAR(moved.z, 2.0f, 1e-5f);
}

TEST(D3DXInverse, AnInverseUndoesItsMatrixAndASingularMatrixHasNone) {
  D3DXMATRIX rotate, scale, move, inverse, identity;
  D3DXMatrixRotationYawPitchRoll(&rotate, 0.4f, 1.1f, -0.6f);
  D3DXMatrixScaling(&scale, 2.0f, 0.5f, 3.0f);
  D3DXMatrixTranslation(&move, 4.0f, -5.0f, 6.0f);
  const D3DXMATRIX m = scale * rotate * move;
  FLOAT determinant = 0.0f;
  ASSERT_EQ(D3DXMatrixInverse(&inverse, &determinant, &m), &inverse);
  EXPECT_NEAR(determinant, 3.0f, 1e-4f);  // rotations and moves keep volumes; the scaling triples them
  ExpectSameMatrix(m * inverse, *D3DXMatrixIdentity(&identity), 1e-5f);
  D3DXMATRIX flat;
  D3DXMatrixScaling(&flat, 1.0f, 0.0f, 1.0f);
  inverse = m;
  EXPECT_EQ(D3DXMatrixInverse(&inverse, &determinant, &flat), nullptr);
  EXPECT_EQ(determinant, 0.0f);
  ExpectSameMatrix(inverse, m);  // left alone
  D3DXMATRIX transposed;
  D3DXMatrixTranspose(&transposed, &m);
  EXPECT_EQ(transposed._12, m._21);
  EXPECT_EQ(transposed._43, m._34);
}

TEST(D3DXProjections, RightHandedViewsLookDownMinusZ) {
  // The right-handed projection puts the near and far planes at z = -zn and -zf.
  D3DXMATRIX proj;
  D3DXMatrixPerspectiveFovRH(&proj, D3DX_PI / 4, 1.0f, 1.0f, 100.0f);
  D3DXVECTOR3 nearPoint(0.0f, 0.0f, -1.0f), farPoint(0.0f, 0.0f, -100.0f), out;
  EXPECT_NEAR(D3DXVec3TransformCoord(&out, &nearPoint, &proj)->z, 0.0f, 1e-5f);
  EXPECT_NEAR(D3DXVec3TransformCoord(&out, &farPoint, &proj)->z, 1.0f, 1e-5f);
  // The right-handed eye sees what lies ahead of it at negative view-space z.
  D3DXMATRIX view;
  const D3DXVECTOR3 eye(0.0f, 0.0f, -5.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtRH(&view, &eye, &at, &up);
  D3DXVec3TransformCoord(&out, &at, &view);
  EXPECT_NEAR(out.z, -5.0f, 1e-5f);
  // The orthographic one maps zn..zf to 0..1 and the width to -1..1.
  D3DXMatrixOrthoLH(&proj, 20.0f, 10.0f, 2.0f, 12.0f);
  D3DXVECTOR3 corner(10.0f, -5.0f, 12.0f);
  D3DXVec3TransformCoord(&out, &corner, &proj);
  EXPECT_NEAR(out.x, 1.0f, 1e-6f);
  EXPECT_NEAR(out.y, -1.0f, 1e-6f);
  EXPECT_NEAR(out.z, 1.0f, 1e-6f);
  D3DXMatrixPerspectiveLH(&proj, 2.0f, 2.0f, 1.0f, 10.0f);
  D3DXVECTOR3 edge(1.0f, 0.0f, 1.0f);
  EXPECT_NEAR(D3DXVec3TransformCoord(&out, &edge, &proj)->x, 1.0f, 1e-6f);
}

TEST(D3DXVectors, PointsAndDirectionsTransformAsRowVectors) {
  D3DXMATRIX move, proj;
  D3DXMatrixTranslation(&move, 1.0f, 2.0f, 3.0f);
  const D3DXVECTOR3 v(1.0f, 1.0f, 1.0f);
  D3DXVECTOR3 out;
  D3DXVec3TransformCoord(&out, &v, &move);
  EXPECT_EQ(out, D3DXVECTOR3(2.0f, 3.0f, 4.0f));
  D3DXVec3TransformNormal(&out, &v, &move);  // directions do not move
  EXPECT_EQ(out, v);
  D3DXVECTOR4 h;
  D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 2, 1.0f, 1.0f, 10.0f);
  const D3DXVECTOR3 ahead(2.0f, 0.0f, 4.0f);
  D3DXVec3Transform(&h, &ahead, &proj);
  EXPECT_NEAR(h.w, 4.0f, 1e-6f);
  EXPECT_NEAR(D3DXVec3TransformCoord(&out, &ahead, &proj)->x, 0.5f, 1e-6f);  // divided by w

  D3DXVECTOR3 n;
  const D3DXVECTOR3 longer(3.0f, 0.0f, 4.0f), zero(0.0f, 0.0f, 0.0f);
  D3DXVec3Normalize(&n, &longer);
  EXPECT_NEAR(D3DXVec3Length(&n), 1.0f, 1e-6f);
  EXPECT_EQ(*D3DXVec3Normalize(&n, &zero), zero);
  const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
  EXPECT_EQ(*D3DXVec3Cross(&n, &x, &y), D3DXVECTOR3(0, 0, 1));
  EXPECT_EQ(D3DXVec3Dot(&x, &y), 0.0f);
  EXPECT_EQ(2.0f * x - y / 2.0f + -x, D3DXVECTOR3(1.0f, -0.5f, 0.0f));
}

TEST(D3DXHelpers, AlignedMatricesDegreesAndFloatColours) {
  D3DXMATRIXA16 aligned;
  EXPECT_EQ(reinterpret_cast<uintptr_t>(&aligned) % 16, 0u);
  D3DXMATRIXA16* onHeap = new D3DXMATRIXA16;
  EXPECT_EQ(reinterpret_cast<uintptr_t>(onHeap) % 16, 0u);
  D3DXMatrixRotationY(onHeap, D3DXToRadian(90.0f));
  EXPECT_NEAR(onHeap->_13, -1.0f, 1e-6f);
  delete onHeap;
  EXPECT_NEAR(D3DXToDegree(D3DX_PI), 180.0f, 1e-4f);
  EXPECT_EQ(D3DCOLOR_COLORVALUE(1.0f, 0.5f, 0.0f, 1.0f), 0xFFFF7F00u);
}

}  // namespace
