// Fixed-function lighting: the colours of lit quads against values worked out by hand from
// Direct3D 9's lighting equations, and the bookkeeping of lights (SetLight, LightEnable, state
// blocks, what cannot be lit). Transforms are identity unless a test says otherwise, so camera
// space is the quad's own: the eye at the origin looking along +z, the quad at z = 0.5 filling
// the viewport and facing the eye (normal (0, 0, -1)). Every vertex of a quad gets the same
// light, so the colour at the centre is the per-vertex value.
#include <cmath>

#include "platform_d3d9/render_helpers.h"

namespace d3d9test {
namespace {

struct LitVertex {  // D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR
  float x, y, z, nx, ny, nz;
  D3DCOLOR diffuse, specular;
};
constexpr DWORD kLitFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR;

struct NormalVertex {  // D3DFVF_XYZ | D3DFVF_NORMAL
  float x, y, z, nx, ny, nz;
};
constexpr DWORD kNormalFvf = D3DFVF_XYZ | D3DFVF_NORMAL;

D3DXMATRIX Scaling(float x, float y, float z) {
  D3DXMATRIX m(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  m._11 = x;
  m._22 = y;
  m._33 = z;
  m._44 = 1;
  return m;
}

D3DCOLORVALUE Rgb(float r, float g, float b, float a = 1.0f) { return {r, g, b, a}; }

D3DLIGHT9 Directional(D3DVECTOR direction, D3DCOLORVALUE diffuse) {
  D3DLIGHT9 l = {};
  l.Type = D3DLIGHT_DIRECTIONAL;
  l.Diffuse = diffuse;
  l.Direction = direction;
  return l;
}

D3DLIGHT9 Positional(D3DLIGHTTYPE type, D3DVECTOR position, D3DCOLORVALUE diffuse, float range, float a0,
                     float a1, float a2) {
  D3DLIGHT9 l = {};
  l.Type = type;
  l.Diffuse = diffuse;
  l.Position = position;
  l.Direction = {0.0f, 0.0f, 1.0f};
  l.Range = range;
  l.Attenuation0 = a0;
  l.Attenuation1 = a1;
  l.Attenuation2 = a2;
  return l;
}

class Lighting : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ClearTo(0xFF000000);
    D3DMATERIAL9 m = {};
    m.Diffuse = Rgb(1, 1, 1);
    material = m;
  }

  // Sets the material, draws the quad (at half-size s around the centre, depth z) and returns
  // the pixel at the viewport's centre.
  template <class V>
  uint32_t LitQuad(DWORD fvf, V corner, float s = 1.0f, float z = 0.5f) {
    EXPECT_EQ(D3D_OK, dev->SetMaterial(&material));
    std::vector<V> quad(6, corner);
    const float xy[6][2] = {{-s, s}, {s, s}, {-s, -s}, {s, s}, {s, -s}, {-s, -s}};
    for (int i = 0; i < 6; ++i) {
      quad[i].x = xy[i][0];
      quad[i].y = xy[i][1];
      quad[i].z = z;
    }
    EXPECT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, fvf, quad, 2));
    return kvrtest::ReadBackBuffer(dev).At(kWidth / 2, kHeight / 2);
  }
  uint32_t Facing(float nx = 0, float ny = 0, float nz = -1) {
    return LitQuad(kNormalFvf, NormalVertex{0, 0, 0, nx, ny, nz});
  }
  void Light(DWORD index, const D3DLIGHT9& l) {
    ASSERT_EQ(D3D_OK, dev->SetLight(index, &l));
    ASSERT_EQ(D3D_OK, dev->LightEnable(index, TRUE));
  }

  D3DMATERIAL9 material;
};

// Each channel within 2 of the 0..1 value's 8 bits.
::testing::AssertionResult Near(uint32_t actual, float r, float g, float b) {
  auto bits = [](float v) { return static_cast<int>(std::lround((v < 0 ? 0 : v > 1 ? 1 : v) * 255.0f)); };
  const int want[3] = {bits(r), bits(g), bits(b)};
  const int got[3] = {Channel(actual, 16), Channel(actual, 8), Channel(actual, 0)};
  for (int i = 0; i < 3; ++i)
    if (std::abs(want[i] - got[i]) > 2) {
      char text[96];
      std::snprintf(text, sizeof(text), "got (%d, %d, %d), expected (%d, %d, %d)", got[0], got[1], got[2],
                    want[0], want[1], want[2]);
      return ::testing::AssertionFailure() << text;
    }
  return ::testing::AssertionSuccess();
}

TEST_F(Lighting, DirectionalDiffuseIsMaterialTimesLightTimesNDotL) {
  material.Diffuse = Rgb(0.5f, 0.25f, 1.0f);
  Light(0, Directional({0, 0, 1}, Rgb(1, 1, 1)));
  EXPECT_TRUE(Near(Facing(), 0.5f, 0.25f, 1.0f));
  // At 60 degrees N.L is a half; the light's own colour multiplies in.
  Light(0, Directional({0, -std::sqrt(3.0f), 1}, Rgb(1, 0.5f, 1)));
  EXPECT_TRUE(Near(Facing(), 0.25f, 0.0625f, 0.5f));
  // From behind the quad the light gives nothing.
  Light(0, Directional({0, 0, -1}, Rgb(1, 1, 1)));
  EXPECT_TRUE(Near(Facing(), 0, 0, 0));
}

TEST_F(Lighting, AmbientAndEmissiveAddUpWithTheDiffuse) {
  material.Diffuse = Rgb(0.25f, 0.25f, 0.25f);
  material.Ambient = Rgb(0.5f, 1.0f, 0.0f);
  material.Emissive = Rgb(0.125f, 0.0f, 0.25f);
  dev->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(64, 128, 255));
  // No light enabled: emissive + material ambient * D3DRS_AMBIENT.
  EXPECT_TRUE(Near(Facing(), 0.125f + 0.5f * 64 / 255, 128 / 255.0f, 0.25f));
  D3DLIGHT9 l = Directional({0, 0, 1}, Rgb(1, 1, 1));
  l.Ambient = Rgb(0.25f, 0.25f, 0.25f);
  Light(0, l);
  // A light's ambient counts even where its diffuse does not reach (here: a normal facing away).
  const float r = 0.125f + 0.5f * (64 / 255.0f + 0.25f), g = 128 / 255.0f + 0.25f;
  EXPECT_TRUE(Near(Facing(0, 0, 1), r, g, 0.25f));
  EXPECT_TRUE(Near(Facing(), r + 0.25f, g + 0.25f, 0.5f));
}

TEST_F(Lighting, PointLightAttenuatesWithDistanceAndStopsAtItsRange) {
  // The light on the quad's axis, 2 in front of it: every corner is sqrt(6) away, at N.L = 2/sqrt(6).
  const float d = std::sqrt(6.0f), nl = 2.0f / d;
  Light(0, Positional(D3DLIGHT_POINT, {0, 0, -1.5f}, Rgb(1, 1, 1), 10, 1, 0, 0));
  EXPECT_TRUE(Near(Facing(), nl, nl, nl));
  Light(0, Positional(D3DLIGHT_POINT, {0, 0, -1.5f}, Rgb(1, 1, 1), 10, 0, 0.5f, 0));
  EXPECT_TRUE(Near(Facing(), nl / (0.5f * d), nl / (0.5f * d), nl / (0.5f * d)));
  Light(0, Positional(D3DLIGHT_POINT, {0, 0, -1.5f}, Rgb(1, 1, 1), 10, 0.5f, 0, 0.25f));
  const float a = 1.0f / (0.5f + 0.25f * 6.0f);
  EXPECT_TRUE(Near(Facing(), nl * a, nl * a, nl * a));
  // The corners lie just inside a range of 2.45 and just outside one of 2.44.
  Light(0, Positional(D3DLIGHT_POINT, {0, 0, -1.5f}, Rgb(1, 1, 1), 2.45f, 1, 0, 0));
  EXPECT_TRUE(Near(Facing(), nl, nl, nl));
  D3DLIGHT9 out = Positional(D3DLIGHT_POINT, {0, 0, -1.5f}, Rgb(1, 1, 1), 2.44f, 1, 0, 0);
  out.Ambient = Rgb(1, 1, 1);  // out of range, its ambient goes too
  material.Ambient = Rgb(1, 1, 1);
  Light(0, out);
  EXPECT_TRUE(Near(Facing(), 0, 0, 0));
}

TEST_F(Lighting, SpotLightIsFullInsideItsInnerConeAndFadesToItsOuterOne) {
  // Seen from the light, the corners are 35.26 degrees off its axis (cos 2/sqrt(6)).
  const float rho = 2.0f / std::sqrt(6.0f);
  D3DLIGHT9 spot = Positional(D3DLIGHT_SPOT, {0, 0, -1.5f}, Rgb(1, 1, 1), 10, 1, 0, 0);
  spot.Falloff = 1.0f;
  spot.Theta = 80.0f * 3.14159265f / 180;  // inner half-angle 40: inside
  spot.Phi = 100.0f * 3.14159265f / 180;
  Light(0, spot);
  EXPECT_TRUE(Near(Facing(), rho, rho, rho));
  spot.Theta = 60.0f * 3.14159265f / 180;  // half-angles 30 and 45: between the cones
  spot.Phi = 90.0f * 3.14159265f / 180;
  Light(0, spot);
  const float inner = std::cos(30.0f * 3.14159265f / 180), outer = std::cos(45.0f * 3.14159265f / 180);
  const float fade = (rho - outer) / (inner - outer);
  EXPECT_TRUE(Near(Facing(), rho * fade, rho * fade, rho * fade));
  spot.Falloff = 2.0f;
  Light(0, spot);
  EXPECT_TRUE(Near(Facing(), rho * fade * fade, rho * fade * fade, rho * fade * fade));
  spot.Theta = 40.0f * 3.14159265f / 180;  // outer half-angle 30: outside
  spot.Phi = 60.0f * 3.14159265f / 180;
  Light(0, spot);
  EXPECT_TRUE(Near(Facing(), 0, 0, 0));
  // An inner cone wider than the outer one: a hard edge at the outer cone, nothing undefined.
  spot.Theta = 120.0f * 3.14159265f / 180;
  spot.Phi = 90.0f * 3.14159265f / 180;
  Light(0, spot);
  EXPECT_TRUE(Near(Facing(), rho, rho, rho));
}

TEST_F(Lighting, SpecularNeedsSpecularEnableAndIsAddedAfterTheTextureStages) {
  material.Diffuse = Rgb(0, 0, 0);
  material.Specular = Rgb(1, 0.5f, 0.25f);
  material.Power = 4.0f;
  D3DLIGHT9 l = Directional({0, 0, 1}, Rgb(0, 0, 0));
  l.Specular = Rgb(1, 1, 1);
  Light(0, l);
  dev->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
  EXPECT_TRUE(Near(Facing(), 0, 0, 0));  // off by default
  dev->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  // The eye at infinity along -z: the half vector is the normal, N.H = 1.
  EXPECT_TRUE(Near(Facing(), 1, 0.5f, 0.25f));
  // With the eye at the origin each corner sees the light at N.H = 2/sqrt(6), to the power 4.
  dev->SetRenderState(D3DRS_LOCALVIEWER, TRUE);
  const float h = std::pow(2.0f / std::sqrt(6.0f), 4.0f);
  EXPECT_TRUE(Near(Facing(), h, 0.5f * h, 0.25f * h));
  // The stages make the texture factor; the specular colour still adds to it.
  dev->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
  dev->SetRenderState(D3DRS_TEXTUREFACTOR, D3DCOLOR_XRGB(0, 64, 128));
  EXPECT_TRUE(Near(Facing(), 1, 0.5f + 64 / 255.0f, 0.25f + 128 / 255.0f));
  // Unlit vertices with a specular colour get it added too.
  dev->SetRenderState(D3DRS_LIGHTING, FALSE);
  dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  EXPECT_TRUE(Near(LitQuad(kLitFvf, LitVertex{0, 0, 0, 0, 0, -1, D3DCOLOR_XRGB(16, 32, 64), D3DCOLOR_XRGB(64, 32, 16)}),
                   80 / 255.0f, 64 / 255.0f, 80 / 255.0f));
  dev->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
  EXPECT_TRUE(Near(LitQuad(kLitFvf, LitVertex{0, 0, 0, 0, 0, -1, D3DCOLOR_XRGB(16, 32, 64), D3DCOLOR_XRGB(64, 32, 16)}),
                   16 / 255.0f, 32 / 255.0f, 64 / 255.0f));
}

TEST_F(Lighting, ColourSourcesTakeVertexColoursWhenTheFormatHasThem) {
  material.Diffuse = Rgb(0.25f, 0.25f, 0.25f);
  material.Ambient = Rgb(0, 0, 0);
  dev->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(255, 255, 255));
  Light(0, Directional({0, 0, 1}, Rgb(1, 1, 1)));
  const LitVertex v = {0, 0, 0, 0, 0, -1, D3DCOLOR_XRGB(255, 128, 0), D3DCOLOR_XRGB(0, 64, 0)};
  // The default: the diffuse material is the vertex's diffuse colour.
  EXPECT_TRUE(Near(LitQuad(kLitFvf, v), 1, 128 / 255.0f, 0));
  // Without D3DRS_COLORVERTEX, the material.
  dev->SetRenderState(D3DRS_COLORVERTEX, FALSE);
  EXPECT_TRUE(Near(LitQuad(kLitFvf, v), 0.25f, 0.25f, 0.25f));
  dev->SetRenderState(D3DRS_COLORVERTEX, TRUE);
  // The ambient material from the vertex specular colour, times D3DRS_AMBIENT.
  dev->SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_COLOR2);
  EXPECT_TRUE(Near(LitQuad(kLitFvf, v), 1, (128 + 64) / 255.0f, 0));
  // A format without the colour named falls back on the material.
  dev->SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
  dev->SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_COLOR1);
  EXPECT_TRUE(Near(Facing(), 0.25f, 0.25f, 0.25f));
  EXPECT_TRUE(Near(LitQuad(kLitFvf, v), 1, 1, 0));  // emissive and diffuse both the vertex colour
}

TEST_F(Lighting, NormalsFollowTheWorldAndAreRescaledOnlyWhenAsked) {
  material.Diffuse = Rgb(0.25f, 0.25f, 0.25f);
  Light(0, Directional({0, 0, 1}, Rgb(1, 1, 1)));
  // The world doubles everything: normals, by its inverse transpose, halve.
  D3DXMATRIX twice = Scaling(2, 2, 2);
  dev->SetTransform(D3DTS_WORLD, &twice);
  auto draw = [&] { return LitQuad(kNormalFvf, NormalVertex{0, 0, 0, 0, 0, -1}, 0.5f, 0.25f); };
  EXPECT_TRUE(Near(draw(), 0.125f, 0.125f, 0.125f));
  dev->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  EXPECT_TRUE(Near(draw(), 0.25f, 0.25f, 0.25f));
  // Halving everything doubles the normals, but N.L stops at 1.
  D3DXMATRIX half = Scaling(0.5f, 0.5f, 0.5f);
  dev->SetTransform(D3DTS_WORLD, &half);
  dev->SetRenderState(D3DRS_NORMALIZENORMALS, FALSE);
  EXPECT_TRUE(Near(LitQuad(kNormalFvf, NormalVertex{0, 0, 0, 0, 0, -1}, 2.0f, 1.0f), 0.25f, 0.25f, 0.25f));
  dev->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  // A world turned half round about y turns the normals with it: the quad now faces away.
  D3DXMATRIX turn = Scaling(-1, 1, -1);  // half a turn about y
  dev->SetTransform(D3DTS_WORLD, &turn);
  EXPECT_TRUE(Near(LitQuad(kNormalFvf, NormalVertex{0, 0, 0, 0, 0, -1}, 1.0f, -0.5f), 0, 0, 0));
  // The view moves lights with the scene: a view turned the same way puts the light behind
  // the eye again.
  dev->SetTransform(D3DTS_VIEW, &turn);
  D3DXMATRIX identity = Scaling(1, 1, 1);
  dev->SetTransform(D3DTS_WORLD, &identity);
  // World normal (0, 0, 1) faces the eye after the view's turn; the light shining along world
  // -z shines along +z in camera space.
  Light(0, Directional({0, 0, -1}, Rgb(1, 1, 1)));
  EXPECT_TRUE(Near(LitQuad(kNormalFvf, NormalVertex{0, 0, 0, 0, 0, 1}, 1.0f, -0.5f), 0.25f, 0.25f, 0.25f));
}

TEST_F(Lighting, WhatCannotBeLitGivesDefinedColours) {
  material.Diffuse = Rgb(0.5f, 0.5f, 0.5f);
  material.Ambient = Rgb(1, 1, 1);
  material.Specular = Rgb(1, 1, 1);
  dev->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(32, 32, 32));
  dev->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  dev->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  D3DLIGHT9 l = Directional({0, 0, 1}, Rgb(1, 1, 1));
  l.Specular = Rgb(1, 1, 1);
  Light(0, l);
  const float ambient = 32 / 255.0f;
  // A zero normal, normalised or not: ambient only.
  EXPECT_TRUE(Near(Facing(0, 0, 0), ambient, ambient, ambient));
  dev->SetRenderState(D3DRS_NORMALIZENORMALS, FALSE);
  EXPECT_TRUE(Near(Facing(0, 0, 0), ambient, ambient, ambient));
  // A format without normals: ambient and emissive only.
  EXPECT_TRUE(Near(LitQuad(D3DFVF_XYZ, D3DVECTOR{0, 0, 0}), ambient, ambient, ambient));
  // A directional light without a direction lights nothing.
  Light(0, Directional({0, 0, 0}, Rgb(1, 1, 1)));
  EXPECT_TRUE(Near(Facing(), ambient, ambient, ambient));
  // A point light of range 0, or a negative one, reaches nothing here.
  Light(0, Positional(D3DLIGHT_POINT, {0, 0, -1.5f}, Rgb(1, 1, 1), 0, 1, 0, 0));
  EXPECT_TRUE(Near(Facing(), ambient, ambient, ambient));
  Light(0, Positional(D3DLIGHT_POINT, {0, 0, -1.5f}, Rgb(1, 1, 1), -5, 1, 0, 0));
  EXPECT_TRUE(Near(Facing(), ambient, ambient, ambient));
  // Attenuation that adds up to zero: the light gives nothing, its ambient part included, and
  // the rest of the vertex's light stays.
  D3DLIGHT9 unattenuated = Positional(D3DLIGHT_POINT, {0, 0, -1.5f}, Rgb(1, 0, 1), 10, 0, 0, 0);
  unattenuated.Ambient = Rgb(1, 1, 1);
  Light(0, unattenuated);
  EXPECT_TRUE(Near(Facing(), ambient, ambient, ambient));
  // A world that flattens everything (onto z = 0.5) has no inverse: normals go through its
  // cofactors.
  D3DXMATRIX flat = Scaling(1, 1, 0);
  flat._43 = 0.5f;
  dev->SetTransform(D3DTS_WORLD, &flat);
  Light(0, Directional({0, 0, 1}, Rgb(1, 1, 1)));
  dev->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
  dev->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  EXPECT_TRUE(Near(LitQuad(kNormalFvf, NormalVertex{0, 0, 0, 0, 0, -1}, 1.0f, 7.0f), 0.5f + ambient,
                   0.5f + ambient, 0.5f + ambient));
}

TEST_F(Lighting, PretransformedAndUnlitVerticesKeepTheirColours) {
  material.Diffuse = Rgb(0, 0, 0);
  Light(0, Directional({0, 0, 1}, Rgb(1, 1, 1)));
  // Lighting on, XYZRHW: the vertex colour as it is.
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                         Quad(-0.5f, -0.5f, kWidth - 0.5f, kHeight - 0.5f, 0xFF336699), 2));
  EXPECT_TRUE(Near(kvrtest::ReadBackBuffer(dev).At(kWidth / 2, kHeight / 2), 0x33 / 255.0f, 0x66 / 255.0f,
                   0x99 / 255.0f));
  // Lighting off: normals are ignored, the vertex colour drawn.
  dev->SetRenderState(D3DRS_LIGHTING, FALSE);
  EXPECT_TRUE(Near(LitQuad(kLitFvf, LitVertex{0, 0, 0, 0, 0, -1, 0xFF336699, 0}), 0x33 / 255.0f,
                   0x66 / 255.0f, 0x99 / 255.0f));
}

TEST_F(Lighting, EightLightsAreDrawnInTheOrderTheyWereEnabled) {
  material.Diffuse = Rgb(0, 0, 0);
  material.Ambient = Rgb(1, 1, 1);
  D3DLIGHT9 l = Directional({0, 0, 1}, Rgb(0, 0, 0));
  for (DWORD i = 0; i < 9; ++i) {
    l.Ambient = Rgb(i == 8 ? 0.5f : 0.0625f, 0.0625f, 0);
    Light(100 + i, l);
  }
  // The ninth light, enabled last, is not drawn.
  EXPECT_TRUE(Near(Facing(), 0.5f, 0.5f, 0));
  // Switching one of the first eight off lets it in.
  ASSERT_EQ(D3D_OK, dev->LightEnable(100, FALSE));
  EXPECT_TRUE(Near(Facing(), 0.4375f + 0.5f, 0.5f, 0));
}

// ---- Bookkeeping ----------------------------------------------------------------------------

using LightState = DeviceTest;

TEST_F(LightState, SetLightRefusesWhatDirect3DRefuses) {
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetLight(0, nullptr));
  D3DLIGHT9 l = Positional(D3DLIGHT_POINT, {0, 0, 0}, Rgb(1, 1, 1), 1, 1, 0, 0);
  l.Type = static_cast<D3DLIGHTTYPE>(4);
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetLight(0, &l));
  l.Type = static_cast<D3DLIGHTTYPE>(0);
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetLight(0, &l));
  for (D3DLIGHTTYPE type : {D3DLIGHT_POINT, D3DLIGHT_SPOT}) {
    l = Positional(type, {0, 0, 0}, Rgb(1, 1, 1), 1, 1, 0, -1);
    EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetLight(0, &l));
    l.Attenuation2 = 0;
    l.Attenuation1 = std::nanf("");
    EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetLight(0, &l));
  }
  // None of the refusals left a light behind.
  D3DLIGHT9 got;
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetLight(0, &got));
  // A directional light uses neither range nor attenuation; any range is taken.
  l = Directional({0, 0, 1}, Rgb(1, 1, 1));
  l.Range = -1;
  l.Attenuation0 = -1;
  EXPECT_EQ(D3D_OK, dev->SetLight(0, &l));
  l = Positional(D3DLIGHT_POINT, {0, 0, 0}, Rgb(1, 1, 1), -1, 1, 0, 0);
  EXPECT_EQ(D3D_OK, dev->SetLight(0, &l));
  l.Range = 2e19f;  // past sqrt(FLT_MAX)
  EXPECT_EQ(D3D_OK, dev->SetLight(0, &l));
}

TEST_F(LightState, LightsLiveAtAnyIndexAndEnablingOneNeverSetGivesTheDefaultLight) {
  D3DLIGHT9 got;
  BOOL on = 7;
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetLight(5, &got));
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetLightEnable(5, &on));
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetLight(5, nullptr));
  D3DLIGHT9 spot = Positional(D3DLIGHT_SPOT, {1, 2, 3}, Rgb(0.5f, 0.25f, 1), 9, 1, 2, 3);
  spot.Theta = 0.5f;
  spot.Phi = 1.0f;
  for (DWORD index : {0u, 9u, 1000000u, 0xFFFFFFFFu}) {
    ASSERT_EQ(D3D_OK, dev->SetLight(index, &spot));
    ASSERT_EQ(D3D_OK, dev->GetLight(index, &got));
    EXPECT_EQ(0, std::memcmp(&spot, &got, sizeof(got)));
    ASSERT_EQ(D3D_OK, dev->GetLightEnable(index, &on));
    EXPECT_EQ(FALSE, on);  // set, not enabled
  }
  ASSERT_EQ(D3D_OK, dev->LightEnable(5, TRUE));
  ASSERT_EQ(D3D_OK, dev->GetLight(5, &got));
  EXPECT_EQ(D3DLIGHT_DIRECTIONAL, got.Type);
  EXPECT_EQ(1.0f, got.Diffuse.r);
  EXPECT_EQ(0.0f, got.Diffuse.a);
  EXPECT_EQ(0.0f, got.Specular.r);
  EXPECT_EQ(1.0f, got.Direction.z);
  ASSERT_EQ(D3D_OK, dev->GetLightEnable(5, &on));
  EXPECT_EQ(128, on);  // Direct3D's "enabled"
  ASSERT_EQ(D3D_OK, dev->LightEnable(5, FALSE));
  ASSERT_EQ(D3D_OK, dev->GetLightEnable(5, &on));
  EXPECT_EQ(FALSE, on);
  // Enabling past the lights that are drawn still succeeds and is reported.
  for (DWORD i = 0; i < 12; ++i) ASSERT_EQ(D3D_OK, dev->LightEnable(20 + i, TRUE));
  ASSERT_EQ(D3D_OK, dev->GetLightEnable(31, &on));
  EXPECT_NE(FALSE, on);

  D3DCAPS9 caps;
  ASSERT_EQ(D3D_OK, dev->GetDeviceCaps(&caps));
  EXPECT_EQ(8u, caps.MaxActiveLights);
  const DWORD lightCaps = D3DVTXPCAPS_DIRECTIONALLIGHTS | D3DVTXPCAPS_POSITIONALLIGHTS |
                          D3DVTXPCAPS_LOCALVIEWER | D3DVTXPCAPS_MATERIALSOURCE7;
  EXPECT_EQ(lightCaps, caps.VertexProcessingCaps & lightCaps);
}

TEST_F(LightState, StateBlocksRecordCaptureAndApplyLightsAndTheMaterial) {
  D3DLIGHT9 a = Directional({0, 0, 1}, Rgb(1, 0, 0)), b = Directional({0, 1, 0}, Rgb(0, 1, 0)), got;
  D3DMATERIAL9 m = {};
  m.Diffuse = Rgb(0.5f, 0.5f, 0.5f);
  m.Power = 3;
  ASSERT_EQ(D3D_OK, dev->BeginStateBlock());
  dev->SetLight(3, &a);
  dev->LightEnable(3, TRUE);
  dev->LightEnable(4, TRUE);  // never set: recorded with the default light
  dev->SetMaterial(&m);
  IDirect3DStateBlock9* block = nullptr;
  ASSERT_EQ(D3D_OK, dev->EndStateBlock(&block));
  // Recording left the device alone.
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetLight(3, &got));
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetLight(4, &got));

  ASSERT_EQ(D3D_OK, block->Apply());
  ASSERT_EQ(D3D_OK, dev->GetLight(3, &got));
  EXPECT_EQ(0, std::memcmp(&a, &got, sizeof(got)));
  BOOL on = FALSE;
  ASSERT_EQ(D3D_OK, dev->GetLightEnable(4, &on));
  EXPECT_NE(FALSE, on);
  D3DMATERIAL9 gotMaterial;
  ASSERT_EQ(D3D_OK, dev->GetMaterial(&gotMaterial));
  EXPECT_EQ(0, std::memcmp(&m, &gotMaterial, sizeof(m)));

  // Capture takes the device's lights of the recorded indices; Apply puts them back.
  dev->SetLight(3, &b);
  dev->LightEnable(3, FALSE);
  ASSERT_EQ(D3D_OK, block->Capture());
  dev->SetLight(3, &a);
  dev->LightEnable(3, TRUE);
  ASSERT_EQ(D3D_OK, block->Apply());
  ASSERT_EQ(D3D_OK, dev->GetLight(3, &got));
  EXPECT_EQ(0, std::memcmp(&b, &got, sizeof(got)));
  ASSERT_EQ(D3D_OK, dev->GetLightEnable(3, &on));
  EXPECT_EQ(FALSE, on);
  block->Release();
}

}  // namespace
}  // namespace d3d9test
