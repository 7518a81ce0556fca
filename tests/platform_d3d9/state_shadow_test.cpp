// The renderer applies only the state a Set* call dirtied and changes only the GL state that
// differs from what it last set. Whatever that saves must never change a pixel: random sequences
// of state changes (stencil included), clears and draws give the same back buffer with the shadow and dirty tracking
// on as with every draw applying all of its state (kvrtest::DisableStateShadow).
#include <random>

#include "render_helpers.h"

namespace {

using d3d9test::kHeight;
using d3d9test::kWidth;

struct ScreenVertex {  // XYZRHW | DIFFUSE | SPECULAR | TEX2
  float x, y, z, rhw;
  D3DCOLOR diffuse, specular;
  float u0, v0, u1, v1;
};
struct SceneVertex {  // XYZ | NORMAL | DIFFUSE | TEX1
  float x, y, z, nx, ny, nz;
  D3DCOLOR diffuse;
  float u, v;
};

// One value a random step may set, and what it sets.
struct RenderChoice {
  D3DRENDERSTATETYPE state;
  std::vector<DWORD> values;
};

DWORD Bits(float f) {
  DWORD d;
  std::memcpy(&d, &f, 4);
  return d;
}

const std::vector<RenderChoice>& RenderChoices() {
  static const std::vector<RenderChoice> choices = {
      {D3DRS_ALPHABLENDENABLE, {FALSE, TRUE}},
      {D3DRS_SRCBLEND, {D3DBLEND_ONE, D3DBLEND_SRCALPHA, D3DBLEND_DESTCOLOR, D3DBLEND_INVSRCALPHA}},
      {D3DRS_DESTBLEND, {D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLEND_INVSRCALPHA, D3DBLEND_SRCCOLOR}},
      {D3DRS_BLENDOP, {D3DBLENDOP_ADD, D3DBLENDOP_SUBTRACT, D3DBLENDOP_REVSUBTRACT, D3DBLENDOP_MAX}},
      {D3DRS_ALPHATESTENABLE, {FALSE, TRUE}},
      {D3DRS_ALPHAFUNC, {D3DCMP_GREATER, D3DCMP_LESS, D3DCMP_ALWAYS}},
      {D3DRS_ALPHAREF, {0x40, 0x80, 0xC0}},
      {D3DRS_TEXTUREFACTOR, {0xFFFFFFFF, 0x80402010, 0x20C08040}},
      {D3DRS_CULLMODE, {D3DCULL_NONE, D3DCULL_CW, D3DCULL_CCW}},
      {D3DRS_ZENABLE, {D3DZB_FALSE, D3DZB_TRUE}},
      {D3DRS_ZFUNC, {D3DCMP_LESSEQUAL, D3DCMP_GREATER, D3DCMP_ALWAYS}},
      {D3DRS_ZWRITEENABLE, {FALSE, TRUE}},
      {D3DRS_COLORWRITEENABLE, {0xF, 0x5, 0x2}},
      {D3DRS_FOGENABLE, {FALSE, TRUE}},
      {D3DRS_FOGTABLEMODE, {D3DFOG_NONE, D3DFOG_LINEAR, D3DFOG_EXP}},
      {D3DRS_FOGVERTEXMODE, {D3DFOG_NONE, D3DFOG_LINEAR, D3DFOG_EXP2}},
      {D3DRS_FOGCOLOR, {0x00FF8000, 0x000080FF}},
      {D3DRS_FOGSTART, {Bits(0.5f), Bits(2.0f)}},
      {D3DRS_FOGEND, {Bits(3.0f), Bits(6.0f)}},
      {D3DRS_SPECULARENABLE, {FALSE, TRUE}},
      {D3DRS_LIGHTING, {FALSE, TRUE}},
      {D3DRS_AMBIENT, {0x00404040, 0x00A08060}},
      {D3DRS_STENCILENABLE, {FALSE, TRUE}},
      {D3DRS_STENCILFUNC, {D3DCMP_ALWAYS, D3DCMP_EQUAL, D3DCMP_NOTEQUAL, D3DCMP_LESS}},
      {D3DRS_STENCILREF, {0, 1, 2}},
      {D3DRS_STENCILPASS, {D3DSTENCILOP_KEEP, D3DSTENCILOP_INCR, D3DSTENCILOP_REPLACE, D3DSTENCILOP_INVERT}},
      {D3DRS_STENCILWRITEMASK, {0xFF, 0x1}},
      {D3DRS_TWOSIDEDSTENCILMODE, {FALSE, TRUE}},
      {D3DRS_CCW_STENCILPASS, {D3DSTENCILOP_KEEP, D3DSTENCILOP_DECR}},
  };
  return choices;
}

class StateShadow : public d3d9test::DeviceTest {
 protected:
  // Runs the sequence of the seed on a fresh device: one change of state, then a draw, a step;
  // returns the back buffer after each step.
  std::vector<std::vector<uint32_t>> Run(unsigned seed, bool shadow) {
    TearDown();
    SetUp();
    kvrtest::DisableStateShadow(!shadow);
    // A depth buffer with stencil, so that the stencil states draw too.
    IDirect3DSurface9* depthStencil = nullptr;
    EXPECT_EQ(D3D_OK, dev->CreateDepthStencilSurface(kWidth, kHeight, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, TRUE,
                                                     &depthStencil, nullptr));
    dev->SetDepthStencilSurface(depthStencil);
    depthStencil->Release();
    dev->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0);
    IDirect3DTexture9* textures[2] = {Texture(0x40), Texture(0xC0)};
    std::vector<SceneVertex> scene = {{-1, -1, 2, 0, 0, -1, 0xFF80C040, 0, 1}, {0, 1.2f, 3, 0, 0.6f, -0.8f, 0xC04080FF, 0.5f, 0},
                                      {1, -1, 2.5f, 0.6f, 0, -0.8f, 0x80FFFFFF, 1, 1}};
    IDirect3DVertexBuffer9* vb = Buffer(scene.data(), static_cast<UINT>(scene.size() * sizeof(SceneVertex)));
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 0.8f, 0.6f, 1};
    light.Direction = {0.3f, -0.2f, 1};
    dev->SetLight(0, &light);
    D3DMATERIAL9 material = {};
    material.Diffuse = material.Ambient = {0.8f, 0.7f, 0.9f, 1};
    dev->SetMaterial(&material);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 1.2f, 4.0f / 3.0f, 0.5f, 10.0f);
    dev->SetTransform(D3DTS_PROJECTION, &projection);

    std::mt19937 rng(seed);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    const DWORD ops[] = {D3DTOP_DISABLE, D3DTOP_SELECTARG1, D3DTOP_SELECTARG2, D3DTOP_MODULATE, D3DTOP_ADDSIGNED,
                         D3DTOP_SUBTRACT, D3DTOP_BLENDTEXTUREALPHA, D3DTOP_LERP};
    const DWORD args[] = {D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_TFACTOR,
                          D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_SPECULAR};
    const DWORD addresses[] = {D3DTADDRESS_WRAP, D3DTADDRESS_MIRROR, D3DTADDRESS_CLAMP};
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f, 0);
    dev->BeginScene();
    std::vector<std::vector<uint32_t>> frames;
    bool sceneDraw = false;  // the kind of draw changes now and then, so most draws keep their program
    for (int step = 0; step < 120; ++step) {
      const DWORD stage = static_cast<DWORD>(pick(3));
      switch (pick(7)) {
        case 0: case 1: {
          const RenderChoice& c = RenderChoices()[pick(RenderChoices().size())];
          dev->SetRenderState(c.state, c.values[pick(c.values.size())]);
          break;
        }
        case 2: {
          const D3DTEXTURESTAGESTATETYPE types[] = {D3DTSS_COLOROP, D3DTSS_ALPHAOP};
          const D3DTEXTURESTAGESTATETYPE argTypes[] = {D3DTSS_COLORARG1, D3DTSS_COLORARG2, D3DTSS_ALPHAARG1,
                                                       D3DTSS_ALPHAARG2, D3DTSS_COLORARG0};
          if (pick(2))
            dev->SetTextureStageState(stage, types[pick(2)], ops[pick(8)]);
          else
            dev->SetTextureStageState(stage, argTypes[pick(5)], args[pick(6)]);
          break;
        }
        case 3:
          dev->SetTexture(stage, pick(3) ? textures[pick(2)] : nullptr);
          dev->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, static_cast<DWORD>(pick(2)));
          break;
        case 4:
          dev->SetSamplerState(stage, pick(2) ? D3DSAMP_ADDRESSU : D3DSAMP_ADDRESSV, addresses[pick(3)]);
          dev->SetSamplerState(stage, D3DSAMP_MAGFILTER, pick(2) ? D3DTEXF_POINT : D3DTEXF_LINEAR);
          break;
        case 5: {
          D3DVIEWPORT9 vp = {0, 0, kWidth, kHeight, 0, 1};
          if (pick(2)) vp = {static_cast<DWORD>(pick(16)), static_cast<DWORD>(pick(12)), 40, 30, 0, 1};
          dev->SetViewport(&vp);
          if (!pick(4))
            dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | (pick(2) ? D3DCLEAR_STENCIL : 0),
                       0xFF000000 | rng(), 1.0f, static_cast<DWORD>(pick(3)));
          break;
        }
        case 6: {
          D3DXMATRIX world;
          D3DXMatrixRotationYawPitchRoll(&world, (rng() % 100) / 50.0f, (rng() % 100) / 100.0f, 0);
          world._43 = 1.0f + (rng() % 100) / 50.0f;
          dev->SetTransform(D3DTS_WORLD, &world);
          dev->LightEnable(0, pick(2) ? TRUE : FALSE);
          break;
        }
      }
      if (pick(8) == 0) sceneDraw = !sceneDraw;
      if (sceneDraw) {
        dev->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        dev->SetStreamSource(0, vb, 0, sizeof(SceneVertex));
        dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
      } else {
        const float x = static_cast<float>(pick(48)), y = static_cast<float>(pick(36)), z = (rng() % 100) / 100.0f;
        const D3DCOLOR c = rng(), s = rng() & 0x00FFFFFF;
        const ScreenVertex q[4] = {{x, y, z, 1, c, s, 0, 0, 1, 1}, {x + 20, y, z, 1, c ^ 0x00FF00, s, 2, 0, 0, 1},
                                   {x, y + 14, z, 1, c, s, 0, 1.5f, 1, 0}, {x + 20, y + 14, z, 1, c, s, 2, 1.5f, 0, 0}};
        dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(ScreenVertex));
      }
      frames.push_back(kvrtest::ReadBackBuffer(dev).pixels);
    }
    dev->EndScene();
    kvrtest::DisableStateShadow(false);
    return frames;
  }

  IDirect3DTexture9* Texture(DWORD alpha) {
    return MakeTexture(4, 4, D3DFMT_A8R8G8B8,
                       [alpha](UINT x, UINT y) { return (alpha << 24) | ((0x1F3A5Cu * (y * 4 + x + 1)) & 0xFFFFFF); });
  }
};

TEST_F(StateShadow, RandomStateChangesDrawTheSameWithAndWithoutIt) {
  for (unsigned seed = 1; seed <= 24; ++seed) {
    const std::vector<std::vector<uint32_t>> tracked = Run(seed, true);
    const std::vector<std::vector<uint32_t>> full = Run(seed, false);
    ASSERT_EQ(tracked.size(), full.size());
    for (size_t step = 0; step < full.size(); ++step) {
      if (tracked[step] == full[step]) continue;
      ADD_FAILURE() << "sequence " << seed << " draws differently with the state shadow at step " << step;
      break;
    }
  }
}

}  // namespace
