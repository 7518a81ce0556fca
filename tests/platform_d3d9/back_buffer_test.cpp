// The back buffer as a surface the program holds, and its copy into system memory.
#include "platform_d3d9/render_helpers.h"

namespace d3d9test {
namespace {

class BackBuffer : public DeviceTest {
 protected:
  // Clear to blue, a red band over the top eight rows, a drawn green 6x4 quad at (10, 20).
  kvrtest::Image DrawFrame() {
    ClearTo(0xFF0000FF);
    const D3DRECT top = {0, 0, kWidth, 8};
    EXPECT_EQ(D3D_OK, dev->Clear(1, &top, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0));
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    EXPECT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                           Quad(9.5f, 19.5f, 15.5f, 23.5f, 0xFF00FF00), 2));
    kvrtest::Image expected = Filled(0xFF0000FF);
    Fill(expected, 0, 0, kWidth, 8, 0xFFFF0000);
    Fill(expected, 10, 20, 16, 24, 0xFF00FF00);
    return expected;
  }
  // What GetRenderTargetData copies, read through LockRect.
  kvrtest::Image CopyOfRenderTarget() {
    kvrtest::Image copy = Filled(0);
    IDirect3DSurface9 *rt = nullptr, *sys = nullptr;
    EXPECT_EQ(D3D_OK, dev->GetRenderTarget(0, &rt));
    EXPECT_EQ(D3D_OK, dev->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &sys,
                                                       nullptr));
    if (!rt || !sys) return copy;
    EXPECT_EQ(D3D_OK, dev->GetRenderTargetData(rt, sys));
    D3DLOCKED_RECT lr = {};
    EXPECT_EQ(D3D_OK, sys->LockRect(&lr, nullptr, D3DLOCK_READONLY));
    for (int y = 0; y < kHeight; ++y)
      std::memcpy(&copy.pixels[size_t(y) * kWidth], static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch, kWidth * 4);
    sys->UnlockRect();
    sys->Release();
    rt->Release();
    return copy;
  }
  ULONG DeviceRefs() {
    dev->AddRef();
    return dev->Release();
  }
};

TEST_F(BackBuffer, GetBackBufferHandsOutTheRenderTargetHoldingTheDevice) {
  const ULONG before = DeviceRefs();
  IDirect3DSurface9 *back = nullptr, *rt = nullptr;
  ASSERT_EQ(D3D_OK, dev->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back));
  ASSERT_EQ(D3D_OK, dev->GetRenderTarget(0, &rt));
  EXPECT_EQ(back, rt);
  EXPECT_EQ(before + 2, DeviceRefs());
  D3DSURFACE_DESC d = {};
  ASSERT_EQ(D3D_OK, back->GetDesc(&d));
  EXPECT_EQ(UINT(kWidth), d.Width);
  EXPECT_EQ(UINT(kHeight), d.Height);
  EXPECT_EQ(D3DFMT_X8R8G8B8, d.Format);
  EXPECT_EQ(DWORD(D3DUSAGE_RENDERTARGET), d.Usage);
  rt->Release();
  back->Release();
  EXPECT_EQ(before, DeviceRefs());

  // One swap chain of one mono back buffer; the out pointer is cleared on every refusal.
  const struct { UINT chain, index; D3DBACKBUFFER_TYPE type; } refused[] = {
      {1, 0, D3DBACKBUFFER_TYPE_MONO}, {0, 1, D3DBACKBUFFER_TYPE_MONO}, {0, 0, D3DBACKBUFFER_TYPE_LEFT}};
  for (const auto& r : refused) {
    back = reinterpret_cast<IDirect3DSurface9*>(1);
    EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetBackBuffer(r.chain, r.index, r.type, &back));
    EXPECT_EQ(nullptr, back);
  }
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, nullptr));
  EXPECT_EQ(before, DeviceRefs());
}

TEST_F(BackBuffer, RenderTargetDataIsTheDrawnFrameTopRowFirstBeforeAndAfterPresent) {
  const kvrtest::Image expected = DrawFrame();
  ASSERT_TRUE(MatchesImage(dev, expected, "render-target-data-frame"));
  const kvrtest::Image beforePresent = CopyOfRenderTarget();
  EXPECT_EQ(expected.pixels, beforePresent.pixels);
  // Present keeps the frame: a copy taken after it is the picture just shown.
  ASSERT_EQ(D3D_OK, dev->Present(nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(expected.pixels, CopyOfRenderTarget().pixels);
}

TEST_F(BackBuffer, RenderTargetDataRefusesSurfacesThatDoNotMatch) {
  DrawFrame();
  IDirect3DSurface9* rt = nullptr;
  ASSERT_EQ(D3D_OK, dev->GetRenderTarget(0, &rt));
  auto make = [&](UINT w, UINT h, D3DFORMAT f, D3DPOOL pool) {
    IDirect3DSurface9* s = nullptr;
    EXPECT_EQ(D3D_OK, dev->CreateOffscreenPlainSurface(w, h, f, pool, &s, nullptr));
    return s;
  };
  IDirect3DSurface9* wrong[] = {make(kWidth - 1, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM),
                                make(kWidth, kHeight, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM),
                                make(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT),
                                make(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_SCRATCH), rt};
  for (IDirect3DSurface9* s : wrong) EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetRenderTargetData(rt, s));
  IDirect3DSurface9* good = make(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM);
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetRenderTargetData(good, good));  // not a render target
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetRenderTargetData(nullptr, good));
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetRenderTargetData(rt, nullptr));
  // A surface the program holds locked is not written behind its back.
  D3DLOCKED_RECT lr = {};
  ASSERT_EQ(D3D_OK, good->LockRect(&lr, nullptr, 0));
  std::memset(lr.pBits, 0x5A, size_t(lr.Pitch) * kHeight);
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->GetRenderTargetData(rt, good));
  EXPECT_EQ(0x5A, static_cast<uint8_t*>(lr.pBits)[0]);
  good->UnlockRect();
  EXPECT_EQ(D3D_OK, dev->GetRenderTargetData(rt, good));
  for (int i = 0; i < 4; ++i) wrong[i]->Release();
  good->Release();
  rt->Release();
}

TEST_F(BackBuffer, OffscreenPlainSurfacesFollowDirect3DsCreationRulesAndHoldTheDevice) {
  const ULONG before = DeviceRefs();
  IDirect3DSurface9* s = reinterpret_cast<IDirect3DSurface9*>(1);
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &s, nullptr));
  EXPECT_EQ(nullptr, s);
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->CreateOffscreenPlainSurface(8, 8, D3DFMT_DXT1, D3DPOOL_SYSTEMMEM, &s, nullptr));
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->CreateOffscreenPlainSurface(0, 8, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &s, nullptr));
  EXPECT_EQ(D3DERR_INVALIDCALL,
            dev->CreateOffscreenPlainSurface(8, 0x40000000, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &s, nullptr));
  HANDLE shared = nullptr;
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &s, &shared));
  EXPECT_EQ(before, DeviceRefs());

  ASSERT_EQ(D3D_OK, dev->CreateOffscreenPlainSurface(5, 3, D3DFMT_R5G6B5, D3DPOOL_SCRATCH, &s, nullptr));
  D3DSURFACE_DESC d = {};
  ASSERT_EQ(D3D_OK, s->GetDesc(&d));
  EXPECT_EQ(D3DRTYPE_SURFACE, d.Type);
  EXPECT_EQ(D3DPOOL_SCRATCH, d.Pool);
  EXPECT_EQ(D3DFMT_R5G6B5, d.Format);
  EXPECT_EQ(5u, d.Width);
  EXPECT_EQ(3u, d.Height);
  EXPECT_EQ(0u, d.Usage);
  // A locked rectangle starts at its own first texel; rows are four-byte aligned.
  D3DLOCKED_RECT whole = {}, part = {};
  ASSERT_EQ(D3D_OK, s->LockRect(&whole, nullptr, 0));
  s->UnlockRect();
  const RECT r = {2, 1, 4, 3};
  ASSERT_EQ(D3D_OK, s->LockRect(&part, &r, 0));
  EXPECT_EQ(12, whole.Pitch);
  EXPECT_EQ(static_cast<uint8_t*>(whole.pBits) + 12 + 4, part.pBits);
  s->UnlockRect();
  // The surface holds one device reference until it is released.
  EXPECT_EQ(before + 1, DeviceRefs());
  EXPECT_EQ(0u, s->Release());
  EXPECT_EQ(before, DeviceRefs());
}

}  // namespace
}  // namespace d3d9test
