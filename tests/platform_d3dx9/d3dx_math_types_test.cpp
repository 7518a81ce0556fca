// D3DX quaternions, planes, colours and the matrix stack against values worked out by hand (and
// checked against Wine's d3dx9), and the old idiom of passing the address of a temporary.
#include <gtest/gtest.h>
#include <d3dx9.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

const float kHalfPi = D3DX_PI / 2.0f;
const float kS = std::sqrt(0.5f);

struct Case {
  const char* what;
  std::function<std::vector<float>()> compute;
  std::vector<float> expected;
};

std::vector<float> Of(const D3DXQUATERNION& q) { return {q.x, q.y, q.z, q.w}; }
std::vector<float> Of(const D3DXPLANE& p) { return {p.a, p.b, p.c, p.d}; }
std::vector<float> Of(const D3DXVECTOR3& v) { return {v.x, v.y, v.z}; }
std::vector<float> Of(const D3DXCOLOR& c) { return {c.r, c.g, c.b, c.a}; }
std::vector<float> Of(const D3DXMATRIX& m) { return std::vector<float>(&m._11, &m._11 + 16); }

D3DXVECTOR3 Transformed(const D3DXMATRIX& m, const D3DXVECTOR3& v) {
  D3DXVECTOR3 out;
  D3DXVec3TransformCoord(&out, &v, &m);
  return out;
}

TEST(D3DXMathTypes, QuaternionsPlanesAndColoursMatchTheirHandWorkedValues) {
  const std::vector<Case> cases = {
      {"quaternion about an axis of any length",
       [] { D3DXQUATERNION q; return Of(*D3DXQuaternionRotationAxis(&q, &D3DXVECTOR3(0, 0, 2), kHalfPi)); },
       {0, 0, kS, kS}},
      {"quaternion of yaw", [] { D3DXQUATERNION q; return Of(*D3DXQuaternionRotationYawPitchRoll(&q, kHalfPi, 0, 0)); },
       {0, kS, 0, kS}},
      {"quaternion of a half turn's matrix",
       [] {
         D3DXMATRIX m;
         D3DXQUATERNION q;
         return Of(*D3DXQuaternionRotationMatrix(&q, D3DXMatrixRotationY(&m, D3DX_PI)));
       },
       {0, 1, 0, 0}},
      {"x then y",
       [] {
         D3DXQUATERNION x, y, q;
         D3DXQuaternionRotationAxis(&x, &D3DXVECTOR3(1, 0, 0), kHalfPi);
         D3DXQuaternionRotationAxis(&y, &D3DXVECTOR3(0, 1, 0), kHalfPi);
         return Of(*D3DXQuaternionMultiply(&q, &x, &y));
       },
       {0.5f, 0.5f, -0.5f, 0.5f}},
      {"slerp halfway", [] {
         D3DXQUATERNION a(0, 0, 0, 1), b(0, 0, kS, kS), q;
         return Of(*D3DXQuaternionSlerp(&q, &a, &b, 0.5f));
       },
       {0, 0, std::sin(D3DX_PI / 8), std::cos(D3DX_PI / 8)}},
      {"slerp takes the shorter arc", [] {
         D3DXQUATERNION a(0, 0, 0, 1), b(0, 0, -kS, -kS), q;
         return Of(*D3DXQuaternionSlerp(&q, &a, &b, 0.5f));
       },
       {0, 0, std::sin(D3DX_PI / 8), std::cos(D3DX_PI / 8)}},
      {"inverse", [] { D3DXQUATERNION q; return Of(*D3DXQuaternionInverse(&q, &D3DXQUATERNION(1, 2, 3, 4))); },
       {-1 / 30.0f, -2 / 30.0f, -3 / 30.0f, 4 / 30.0f}},
      {"normalize", [] { D3DXQUATERNION q; return Of(*D3DXQuaternionNormalize(&q, &D3DXQUATERNION(0, 3, 0, 4))); },
       {0, 0.6f, 0, 0.8f}},
      {"plane from points",
       [] {
         D3DXPLANE p;
         return Of(*D3DXPlaneFromPoints(&p, &D3DXVECTOR3(0, 0, 0), &D3DXVECTOR3(1, 0, 0), &D3DXVECTOR3(0, 0, 1)));
       },
       {0, -1, 0, 0}},
      {"plane from a point and a normal",
       [] { D3DXPLANE p; return Of(*D3DXPlaneFromPointNormal(&p, &D3DXVECTOR3(1, 2, 3), &D3DXVECTOR3(0, 0, 2))); },
       {0, 0, 2, -6}},
      {"plane normalized", [] { D3DXPLANE p; return Of(*D3DXPlaneNormalize(&p, &D3DXPLANE(0, 0, 2, -6))); },
       {0, 0, 1, -3}},
      {"line meeting a plane",
       [] {
         D3DXVECTOR3 v;
         return Of(*D3DXPlaneIntersectLine(&v, &D3DXPLANE(0, 1, 0, -1), &D3DXVECTOR3(0, 0, 0), &D3DXVECTOR3(2, 4, 0)));
       },
       {0.5f, 1, 0}},
      {"plane moved up by 2 (inverse transpose)",
       [] {
         D3DXMATRIX t, m;
         D3DXMatrixInverse(&m, nullptr, D3DXMatrixTranslation(&t, 0, 2, 0));
         D3DXMatrixTranspose(&m, &m);
         D3DXPLANE p;
         return Of(*D3DXPlaneTransform(&p, &D3DXPLANE(0, 1, 0, -1), &m));
       },
       {0, 1, 0, -3}},
      {"mirrored in y = 1",
       [] {
         D3DXMATRIX m;
         return Of(Transformed(*D3DXMatrixReflect(&m, &D3DXPLANE(0, 2, 0, -2)), D3DXVECTOR3(4, 3, 5)));
       },
       {4, -1, 5}},
      {"shadow of a light overhead on y = 0",
       [] {
         D3DXMATRIX m;
         return Of(*D3DXMatrixShadow(&m, &D3DXVECTOR4(0, 1, 0, 0), &D3DXPLANE(0, 1, 0, 0)));
       },
       {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
      {"colour of a D3DCOLOR", [] { return Of(D3DXCOLOR(0x80FF0000)); }, {1, 0, 0, 128 / 255.0f}},
      {"colour to D3DCOLOR, clamped and rounded",
       [] { return std::vector<float>{float(DWORD(D3DXCOLOR(1.5f, -0.2f, 0.5f, 1)))}; }, {float(0xFFFF0080u)}},
      {"no saturation is grey",
       [] { D3DXCOLOR c; return Of(*D3DXColorAdjustSaturation(&c, &D3DXCOLOR(1, 0, 0, 0.5f), 0)); },
       {0.2125f, 0.2125f, 0.2125f, 0.5f}},
      {"contrast doubled", [] { D3DXCOLOR c; return Of(*D3DXColorAdjustContrast(&c, &D3DXCOLOR(1, 0, 0.5f, 1), 2)); },
       {1.5f, -0.5f, 0.5f, 1}},
      {"colour lerp", [] {
         D3DXCOLOR c;
         return Of(*D3DXColorLerp(&c, &D3DXCOLOR(0, 0, 0, 0), &D3DXCOLOR(1, 0.5f, 0.25f, 1), 0.5f));
       },
       {0.5f, 0.25f, 0.125f, 0.5f}},
  };
  for (const Case& c : cases) {
    const std::vector<float> got = c.compute();
    ASSERT_EQ(got.size(), c.expected.size()) << c.what;
    for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.expected[i], 1e-5f) << c.what << " [" << i << "]";
  }
}

TEST(D3DXMathTypes, QuaternionMatricesAgreeWithTheMatrixFunctions) {
  D3DXQUATERNION x, y, q;
  D3DXQuaternionRotationAxis(&x, &D3DXVECTOR3(1, 0, 0), 0.7f);
  D3DXQuaternionRotationAxis(&y, &D3DXVECTOR3(0, 1, 0), -1.9f);
  q = x * y;  // x first, then y, as the matrices multiply
  D3DXMATRIX fromQuaternion, rx, ry;
  D3DXMatrixRotationQuaternion(&fromQuaternion, &q);
  const D3DXMATRIX expected = *D3DXMatrixRotationX(&rx, 0.7f) * *D3DXMatrixRotationY(&ry, -1.9f);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR((&fromQuaternion._11)[i], (&expected._11)[i], 1e-5f) << i;
  D3DXQUATERNION back;
  D3DXQuaternionRotationMatrix(&back, &fromQuaternion);
  EXPECT_NEAR(std::fabs(D3DXQuaternionDot(&back, &q)), 1.0f, 1e-5f);  // the same rotation (or its negative)
  D3DXMATRIX ypr;
  D3DXQuaternionRotationYawPitchRoll(&q, 0.3f, -0.4f, 1.1f);
  D3DXMatrixRotationQuaternion(&fromQuaternion, &q);
  D3DXMatrixRotationYawPitchRoll(&ypr, 0.3f, -0.4f, 1.1f);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR((&fromQuaternion._11)[i], (&ypr._11)[i], 1e-5f) << i;
}

TEST(D3DXMathTypes, MatrixStackMultipliesOnTheSideItsMethodsName) {
  ID3DXMatrixStack* stack = nullptr;
  ASSERT_EQ(D3DXCreateMatrixStack(0, &stack), D3D_OK);
  ASSERT_EQ(stack->Scale(2, 2, 2), D3D_OK);
  ASSERT_EQ(stack->Translate(1, 0, 0), D3D_OK);  // after the scale
  EXPECT_EQ(Of(Transformed(*stack->GetTop(), D3DXVECTOR3(1, 0, 0))), (std::vector<float>{3, 0, 0}));
  ASSERT_EQ(stack->Push(), D3D_OK);
  ASSERT_EQ(stack->TranslateLocal(0, 1, 0), D3D_OK);  // before everything
  EXPECT_EQ(Of(Transformed(*stack->GetTop(), D3DXVECTOR3(0, 0, 0))), (std::vector<float>{1, 2, 0}));
  ASSERT_EQ(stack->Pop(), D3D_OK);
  EXPECT_EQ(Of(Transformed(*stack->GetTop(), D3DXVECTOR3(0, 0, 0))), (std::vector<float>{1, 0, 0}));
  EXPECT_EQ(stack->Pop(), D3D_OK);  // the last matrix stays
  EXPECT_EQ(Of(Transformed(*stack->GetTop(), D3DXVECTOR3(0, 0, 0))), (std::vector<float>{1, 0, 0}));
  EXPECT_EQ(stack->RotateAxis(nullptr, 1.0f), D3DERR_INVALIDCALL);
  EXPECT_EQ(stack->LoadMatrix(nullptr), D3DERR_INVALIDCALL);
  ASSERT_EQ(stack->LoadIdentity(), D3D_OK);
  EXPECT_TRUE(*stack->GetTop() == *D3DXMatrixIdentity(&D3DXMATRIX()));
  EXPECT_EQ(stack->Release(), 0u);
  EXPECT_EQ(D3DXCreateMatrixStack(0, nullptr), D3DERR_INVALIDCALL);
}

TEST(D3DXMathTypes, TheAddressOfATemporaryIsTheTemporary) {
  // Programs written for old compilers pass &(a - b) and &D3DXVECTOR3(...) to D3DX calls.
  const D3DXVECTOR3 a(4, 6, 0), b(1, 2, 0);
  EXPECT_FLOAT_EQ(D3DXVec3Length(&(a - b)), 5.0f);
  D3DXMATRIX view;
  D3DXMatrixLookAtLH(&view, &D3DXVECTOR3(0, 0, -5), &D3DXVECTOR3(0, 0, 0), &D3DXVECTOR3(0, 1, 0));
  EXPECT_FLOAT_EQ(view._43, 5.0f);
  D3DXVECTOR3 lvalue(1, 2, 3);
  EXPECT_EQ(&lvalue.x, &(&lvalue)->x);  // a named vector's address is still its own
}

}  // namespace
