// Reset: a new back buffer once the program has released the default pool, every state back to
// its default; a refused Reset leaves the device lost until one succeeds.
#include "render_helpers.h"

namespace {

using d3d9test::RhwVertex;

class DeviceReset : public d3d9test::DeviceTest {
 protected:
  D3DPRESENT_PARAMETERS Params(UINT w, UINT h) {
    D3DPRESENT_PARAMETERS pp;
    std::memset(&pp, 0, sizeof(pp));
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.BackBufferWidth = w;
    pp.BackBufferHeight = h;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    return pp;
  }
};

TEST_F(DeviceReset, ADefaultPoolResourceStillHeldLosesTheDeviceUntilReleased) {
  IDirect3DVertexBuffer9* vb = nullptr;
  ASSERT_EQ(D3D_OK, dev->CreateVertexBuffer(256, 0, 0, D3DPOOL_DEFAULT, &vb, nullptr));
  IDirect3DIndexBuffer9* bound = nullptr;
  ASSERT_EQ(D3D_OK, dev->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &bound, nullptr));
  dev->SetIndices(bound);
  bound->Release();  // only the device's binding holds it: that does not stop a Reset
  IDirect3DTexture9* managed = MakeTexture(2, 2, D3DFMT_A8R8G8B8, [](UINT, UINT) { return 0xFF00FF00u; });
  dev->SetTexture(0, managed);
  dev->SetRenderState(D3DRS_LIGHTING, FALSE);

  D3DPRESENT_PARAMETERS pp = Params(32, 16);
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->Reset(&pp));
  EXPECT_EQ(D3DERR_DEVICENOTRESET, dev->TestCooperativeLevel());
  EXPECT_EQ(D3DERR_DEVICELOST, dev->Present(nullptr, nullptr, nullptr, nullptr));
  vb->Release();
  ASSERT_EQ(D3D_OK, dev->Reset(&pp));
  EXPECT_EQ(D3D_OK, dev->TestCooperativeLevel());
  EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);  // what was left unknown is filled in
  EXPECT_EQ(pp.BackBufferCount, 1u);

  IDirect3DSurface9* bb = nullptr;
  ASSERT_EQ(D3D_OK, dev->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &bb));
  D3DSURFACE_DESC desc;
  bb->GetDesc(&desc);
  bb->Release();
  EXPECT_EQ(desc.Width, 32u);
  EXPECT_EQ(desc.Height, 16u);
  D3DVIEWPORT9 vp;
  dev->GetViewport(&vp);
  EXPECT_EQ(vp.Width, 32u);
  EXPECT_EQ(vp.Height, 16u);
  DWORD lighting = 0;
  dev->GetRenderState(D3DRS_LIGHTING, &lighting);
  EXPECT_EQ(lighting, DWORD(TRUE));
  IDirect3DBaseTexture9* texture = nullptr;
  dev->GetTexture(0, &texture);
  EXPECT_EQ(texture, nullptr);
  IDirect3DIndexBuffer9* indices = nullptr;
  dev->GetIndices(&indices);
  EXPECT_EQ(indices, nullptr);

  // The managed texture survived and draws into the new back buffer, whose depth was cleared.
  const std::vector<d3d9test::RhwTexVertex> quad = TexQuad(0, 0, 32, 16, D3DCOLOR_XRGB(255, 255, 255));
  dev->SetTexture(0, managed);
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, quad, 2));
  EXPECT_TRUE(d3d9test::MatchesImage(dev, d3d9test::Filled(0xFF00FF00u, 32, 16), "reset-draw"));
  EXPECT_EQ(D3D_OK, dev->Present(nullptr, nullptr, nullptr, nullptr));
}

TEST_F(DeviceReset, WhatTheLayerCannotMakeIsRefusedAndTheDeviceKept) {
  const struct {
    const char* name;
    void (*change)(D3DPRESENT_PARAMETERS*);
    HRESULT result;
  } cases[] = {
      {"full screen", [](D3DPRESENT_PARAMETERS* pp) { pp->Windowed = FALSE; }, D3DERR_NOTAVAILABLE},
      {"a 16-bit back buffer", [](D3DPRESENT_PARAMETERS* pp) { pp->BackBufferFormat = D3DFMT_R5G6B5; },
       D3DERR_NOTAVAILABLE},
      {"multisampling", [](D3DPRESENT_PARAMETERS* pp) { pp->MultiSampleType = static_cast<D3DMULTISAMPLE_TYPE>(4); },
       D3DERR_NOTAVAILABLE},
      {"a back buffer too wide", [](D3DPRESENT_PARAMETERS* pp) { pp->BackBufferWidth = 0x80000000u; },
       D3DERR_INVALIDCALL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    D3DPRESENT_PARAMETERS pp = Params(16, 16);
    c.change(&pp);
    EXPECT_EQ(c.result, dev->Reset(&pp));
    EXPECT_EQ(D3D_OK, dev->TestCooperativeLevel());
  }
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->Reset(nullptr));
  D3DVIEWPORT9 vp;
  dev->GetViewport(&vp);
  EXPECT_EQ(vp.Width, UINT(d3d9test::kWidth));
}

}  // namespace
