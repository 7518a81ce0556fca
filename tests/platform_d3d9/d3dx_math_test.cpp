// D3DX matrices against values computed by hand from the published left-handed, row-vector
// formulas (tolerance 1e-5 relative).
#include <d3dx9.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectMatrix(const D3DXMATRIX& m, const float (&e)[16]) {
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(m.m[i / 4][i % 4], e[i], 1e-5f * std::max(1.0f, std::fabs(e[i])))
        << "element _" << (i / 4 + 1) << (i % 4 + 1);
}

// The row vector (x, y, z, 1) times m.
void Transform(const D3DXMATRIX& m, float x, float y, float z, float out[4]) {
  for (int c = 0; c < 4; ++c) out[c] = x * m.m[0][c] + y * m.m[1][c] + z * m.m[2][c] + m.m[3][c];
}

TEST(D3DXMath, PerspectiveFovLHForTheViewersScreens) {
  // Field of view pi/8, near 10, far 2000: y scale = cot(pi/16) = 5.0273393,
  // x scale = y scale / aspect, z maps 10..2000 to 0..1.
  D3DXMATRIX m;
  EXPECT_EQ(&m, D3DXMatrixPerspectiveFovLH(&m, 0.3926991f, 1.25f, 10.0f, 2000.0f));
  ExpectMatrix(m, {4.0218714f, 0, 0, 0, 0, 5.0273393f, 0, 0, 0, 0, 1.0050251f, 1, 0, 0, -10.050251f, 0});
  D3DXMatrixPerspectiveFovLH(&m, 0.3926991f, 1.3333334f, 10.0f, 2000.0f);
  EXPECT_NEAR(3.7705042f, m._11, 1e-5f);
  // The near plane lands on depth 0 and the far plane on depth 1.
  float p[4];
  Transform(m, 0, 0, 10.0f, p);
  EXPECT_NEAR(0.0f, p[2] / p[3], 1e-6f);
  Transform(m, 0, 0, 2000.0f, p);
  EXPECT_NEAR(1.0f, p[2] / p[3], 1e-6f);
}

TEST(D3DXMath, LookAtLHFromTheStartingEye) {
  // Eye (0, 47, -224) looking at the origin with +y up: z axis = (0, -47, 224) / 228.87770,
  // x axis = (1, 0, 0), y axis = z x x; the origin ends up 228.87770 in front of the eye.
  D3DXVECTOR3 eye(0, 47, -224), at(0, 0, 0), up(0, 1, 0);
  D3DXMATRIX m;
  EXPECT_EQ(&m, D3DXMatrixLookAtLH(&m, &eye, &at, &up));
  ExpectMatrix(m, {1, 0, 0, 0, 0, 0.97868863f, -0.20534985f, 0, 0, 0.20534985f, 0.97868863f, 0, 0, 0,
                   228.87770f, 1});
  float p[4];
  Transform(m, 0, 47, -224, p);  // the eye goes to the origin
  EXPECT_NEAR(0.0f, p[0], 1e-4f);
  EXPECT_NEAR(0.0f, p[1], 1e-4f);
  EXPECT_NEAR(0.0f, p[2], 1e-4f);
}

TEST(D3DXMath, RotationsAndTranslationFollowTheLeftHandedRowConvention) {
  const float half = 1.5707964f;
  D3DXMATRIX m;
  float p[4];
  D3DXMatrixRotationX(&m, half);  // y goes to +z
  Transform(m, 0, 1, 0, p);
  EXPECT_NEAR(0, p[1], 1e-6f);
  EXPECT_NEAR(1, p[2], 1e-6f);
  D3DXMatrixRotationY(&m, half);  // x goes to -z, z goes to +x
  Transform(m, 1, 0, 0, p);
  EXPECT_NEAR(0, p[0], 1e-6f);
  EXPECT_NEAR(-1, p[2], 1e-6f);
  D3DXMatrixRotationZ(&m, half);  // x goes to +y
  Transform(m, 1, 0, 0, p);
  EXPECT_NEAR(0, p[0], 1e-6f);
  EXPECT_NEAR(1, p[1], 1e-6f);
  D3DXMatrixRotationY(&m, 0.3f);
  ExpectMatrix(m, {std::cos(0.3f), 0, -std::sin(0.3f), 0, 0, 1, 0, 0, std::sin(0.3f), 0, std::cos(0.3f), 0,
                   0, 0, 0, 1});
  D3DXMatrixTranslation(&m, 2, 3, 4);
  ExpectMatrix(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 2, 3, 4, 1});
}

TEST(D3DXMath, MultiplyAppliesTheLeftMatrixFirst) {
  D3DXMATRIX t, r, out, identity;
  D3DXMatrixTranslation(&t, 1, 0, 0);
  D3DXMatrixRotationZ(&r, 1.5707964f);
  D3DXMatrixMultiply(&out, &t, &r);  // move to (1, 0, 0), then turn it onto +y
  float p[4];
  Transform(out, 0, 0, 0, p);
  EXPECT_NEAR(0, p[0], 1e-6f);
  EXPECT_NEAR(1, p[1], 1e-6f);
  D3DXMATRIX product = t * r;
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out.m[i / 4][i % 4], product.m[i / 4][i % 4]);
  // The output may be one of the inputs.
  D3DXMatrixMultiply(&t, &t, &r);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out.m[i / 4][i % 4], t.m[i / 4][i % 4]);
  D3DXMatrixIdentity(&identity);
  D3DXMATRIX same = out;
  same *= identity;
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out.m[i / 4][i % 4], same.m[i / 4][i % 4]);
}

}  // namespace
