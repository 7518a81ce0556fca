// The device's bookkeeping: default states, state blocks, resources and their reference
// counts, creation rules, capabilities and the test seams.
#include "platform_d3d9/render_helpers.h"

namespace d3d9test {
namespace {

using DeviceState = DeviceTest;

DWORD RenderState(IDirect3DDevice9* dev, D3DRENDERSTATETYPE s) {
  DWORD v = 0xDEADBEEF;
  EXPECT_EQ(D3D_OK, dev->GetRenderState(s, &v));
  return v;
}
DWORD StageState(IDirect3DDevice9* dev, DWORD stage, D3DTEXTURESTAGESTATETYPE s) {
  DWORD v = 0xDEADBEEF;
  EXPECT_EQ(D3D_OK, dev->GetTextureStageState(stage, s, &v));
  return v;
}
DWORD SamplerState(IDirect3DDevice9* dev, DWORD sampler, D3DSAMPLERSTATETYPE s) {
  DWORD v = 0xDEADBEEF;
  EXPECT_EQ(D3D_OK, dev->GetSamplerState(sampler, s, &v));
  return v;
}

TEST_F(DeviceState, ANewDeviceHasDirect3DsDefaultStates) {
  EXPECT_EQ(static_cast<DWORD>(D3DZB_TRUE), RenderState(dev, D3DRS_ZENABLE));  // auto depth buffer
  EXPECT_EQ(static_cast<DWORD>(D3DCMP_LESSEQUAL), RenderState(dev, D3DRS_ZFUNC));
  EXPECT_EQ(1u, RenderState(dev, D3DRS_ZWRITEENABLE));
  EXPECT_EQ(static_cast<DWORD>(D3DCULL_CCW), RenderState(dev, D3DRS_CULLMODE));
  EXPECT_EQ(1u, RenderState(dev, D3DRS_LIGHTING));
  EXPECT_EQ(static_cast<DWORD>(D3DBLEND_ONE), RenderState(dev, D3DRS_SRCBLEND));
  EXPECT_EQ(static_cast<DWORD>(D3DBLEND_ZERO), RenderState(dev, D3DRS_DESTBLEND));
  EXPECT_EQ(0u, RenderState(dev, D3DRS_ALPHABLENDENABLE));
  EXPECT_EQ(0u, RenderState(dev, D3DRS_ALPHATESTENABLE));
  EXPECT_EQ(static_cast<DWORD>(D3DCMP_ALWAYS), RenderState(dev, D3DRS_ALPHAFUNC));
  EXPECT_EQ(0u, RenderState(dev, D3DRS_ALPHAREF));
  EXPECT_EQ(0xFu, RenderState(dev, D3DRS_COLORWRITEENABLE));
  EXPECT_EQ(static_cast<DWORD>(D3DFILL_SOLID), RenderState(dev, D3DRS_FILLMODE));
  EXPECT_EQ(static_cast<DWORD>(D3DTOP_MODULATE), StageState(dev, 0, D3DTSS_COLOROP));
  EXPECT_EQ(static_cast<DWORD>(D3DTA_TEXTURE), StageState(dev, 0, D3DTSS_COLORARG1));
  EXPECT_EQ(static_cast<DWORD>(D3DTA_CURRENT), StageState(dev, 0, D3DTSS_COLORARG2));
  EXPECT_EQ(static_cast<DWORD>(D3DTOP_SELECTARG1), StageState(dev, 0, D3DTSS_ALPHAOP));
  EXPECT_EQ(static_cast<DWORD>(D3DTA_TEXTURE), StageState(dev, 0, D3DTSS_ALPHAARG1));
  for (DWORD s = 1; s < 8; ++s) {
    EXPECT_EQ(static_cast<DWORD>(D3DTOP_DISABLE), StageState(dev, s, D3DTSS_COLOROP));
    EXPECT_EQ(static_cast<DWORD>(D3DTOP_DISABLE), StageState(dev, s, D3DTSS_ALPHAOP));
    EXPECT_EQ(s, StageState(dev, s, D3DTSS_TEXCOORDINDEX));
  }
  EXPECT_EQ(static_cast<DWORD>(D3DTEXF_POINT), SamplerState(dev, 0, D3DSAMP_MINFILTER));
  EXPECT_EQ(static_cast<DWORD>(D3DTEXF_POINT), SamplerState(dev, 0, D3DSAMP_MAGFILTER));
  EXPECT_EQ(static_cast<DWORD>(D3DTEXF_NONE), SamplerState(dev, 0, D3DSAMP_MIPFILTER));
  EXPECT_EQ(static_cast<DWORD>(D3DTADDRESS_WRAP), SamplerState(dev, 3, D3DSAMP_ADDRESSU));
  EXPECT_EQ(0u, SamplerState(dev, 0, D3DSAMP_MAXMIPLEVEL));
  D3DVIEWPORT9 vp;
  ASSERT_EQ(D3D_OK, dev->GetViewport(&vp));
  EXPECT_EQ(0u, vp.X);
  EXPECT_EQ(static_cast<DWORD>(kWidth), vp.Width);
  EXPECT_EQ(static_cast<DWORD>(kHeight), vp.Height);
  EXPECT_EQ(1.0f, vp.MaxZ);
  D3DMATRIX world;
  ASSERT_EQ(D3D_OK, dev->GetTransform(D3DTS_WORLD, &world));
  EXPECT_EQ(1.0f, world._11);
  EXPECT_EQ(0.0f, world._41);
}

TEST_F(DeviceState, StatesItDoesNotModelAreStoredAndReturned) {
  EXPECT_EQ(D3D_OK, dev->SetRenderState(D3DRS_FOGENABLE, TRUE));
  EXPECT_EQ(D3D_OK, dev->SetRenderState(D3DRS_STENCILREF, 77));
  EXPECT_EQ(D3D_OK, dev->SetRenderState(D3DRS_CLIPPLANEENABLE, 3));
  EXPECT_EQ(D3D_OK, dev->SetTextureStageState(5, D3DTSS_BUMPENVMAT00, 0x3F800000));
  EXPECT_EQ(D3D_OK, dev->SetSamplerState(9, D3DSAMP_MAXANISOTROPY, 16));
  EXPECT_EQ(1u, RenderState(dev, D3DRS_FOGENABLE));
  EXPECT_EQ(77u, RenderState(dev, D3DRS_STENCILREF));
  EXPECT_EQ(3u, RenderState(dev, D3DRS_CLIPPLANEENABLE));
  EXPECT_EQ(0x3F800000u, StageState(dev, 5, D3DTSS_BUMPENVMAT00));
  EXPECT_EQ(16u, SamplerState(dev, 9, D3DSAMP_MAXANISOTROPY));
  // Out of range numbers fail instead of writing anywhere.
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetRenderState(static_cast<D3DRENDERSTATETYPE>(4000), 1));
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetTextureStageState(8, D3DTSS_COLOROP, 1));
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetSamplerState(16, D3DSAMP_MINFILTER, 1));
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(5), nullptr));
}

TEST_F(DeviceState, StateBlockRecordsWithoutChangingTheDeviceAndCaptureApplyRestoreIt) {
  IDirect3DTexture9* tex = MakeTexture(4, 4, D3DFMT_A4R4G4B4, [](UINT, UINT) { return 0xFFFFu; });
  ASSERT_EQ(D3D_OK, dev->BeginStateBlock());
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->BeginStateBlock());
  dev->SetTexture(0, tex);
  dev->SetRenderState(D3DRS_ZENABLE, FALSE);
  dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  dev->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
  dev->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  IDirect3DStateBlock9* block = nullptr;
  ASSERT_EQ(D3D_OK, dev->EndStateBlock(&block));
  ASSERT_NE(nullptr, block);
  // Recording changed nothing on the device.
  EXPECT_EQ(static_cast<DWORD>(D3DZB_TRUE), RenderState(dev, D3DRS_ZENABLE));
  EXPECT_EQ(static_cast<DWORD>(D3DCMP_ALWAYS), RenderState(dev, D3DRS_ALPHAFUNC));
  IDirect3DBaseTexture9* bound = reinterpret_cast<IDirect3DBaseTexture9*>(1);
  ASSERT_EQ(D3D_OK, dev->GetTexture(0, &bound));
  EXPECT_EQ(nullptr, bound);

  // Capture takes the current values of exactly the recorded states...
  dev->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_LESS);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  dev->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  dev->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);  // not recorded
  ASSERT_EQ(D3D_OK, block->Capture());
  // ... and Apply puts them back after they changed.
  dev->SetTexture(0, tex);
  dev->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NEVER);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
  dev->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_ADD);
  dev->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_NONE);
  dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  ASSERT_EQ(D3D_OK, block->Apply());
  EXPECT_EQ(static_cast<DWORD>(D3DZB_TRUE), RenderState(dev, D3DRS_ZENABLE));
  EXPECT_EQ(static_cast<DWORD>(D3DCMP_LESS), RenderState(dev, D3DRS_ALPHAFUNC));
  EXPECT_EQ(static_cast<DWORD>(D3DTOP_SELECTARG1), StageState(dev, 0, D3DTSS_COLOROP));
  EXPECT_EQ(static_cast<DWORD>(D3DTOP_MODULATE), StageState(dev, 1, D3DTSS_ALPHAOP));
  EXPECT_EQ(static_cast<DWORD>(D3DTEXF_LINEAR), SamplerState(dev, 0, D3DSAMP_MINFILTER));
  EXPECT_EQ(static_cast<DWORD>(D3DCULL_CW), RenderState(dev, D3DRS_CULLMODE));  // untouched
  ASSERT_EQ(D3D_OK, dev->GetTexture(0, &bound));
  EXPECT_EQ(nullptr, bound);  // the texture captured was "none"

  // A block applied straight after recording sets the recorded values.
  ASSERT_EQ(D3D_OK, dev->BeginStateBlock());
  dev->SetTexture(0, tex);
  dev->SetRenderState(D3DRS_ALPHAREF, 8);
  IDirect3DStateBlock9* second = nullptr;
  ASSERT_EQ(D3D_OK, dev->EndStateBlock(&second));
  ASSERT_EQ(D3D_OK, second->Apply());
  EXPECT_EQ(8u, RenderState(dev, D3DRS_ALPHAREF));
  ASSERT_EQ(D3D_OK, dev->GetTexture(0, &bound));
  EXPECT_EQ(tex, bound);
  bound->Release();
  EXPECT_EQ(0u, block->Release());
  EXPECT_EQ(0u, second->Release());
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->EndStateBlock(&block));
}

TEST_F(DeviceState, VertexBuffersFollowDirect3DsCreationAndLockRules) {
  IDirect3DVertexBuffer9* vb = nullptr;
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->CreateVertexBuffer(0, 0, 0x102, D3DPOOL_SYSTEMMEM, &vb, nullptr));
  EXPECT_EQ(nullptr, vb);
  ASSERT_EQ(D3D_OK, dev->CreateVertexBuffer(9600, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0,
                                            D3DPOOL_DEFAULT, &vb, nullptr));
  D3DVERTEXBUFFER_DESC desc;
  ASSERT_EQ(D3D_OK, vb->GetDesc(&desc));
  EXPECT_EQ(9600u, desc.Size);
  EXPECT_EQ(static_cast<DWORD>(D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC), desc.Usage);
  EXPECT_EQ(D3DPOOL_DEFAULT, desc.Pool);
  void* whole = nullptr;
  void* part = nullptr;
  ASSERT_EQ(D3D_OK, vb->Lock(0, 0, &whole, D3DLOCK_DISCARD));
  ASSERT_EQ(D3D_OK, vb->Unlock());
  ASSERT_EQ(D3D_OK, vb->Lock(100, 28, &part, 0));
  EXPECT_EQ(static_cast<char*>(whole) + 100, part);
  ASSERT_EQ(D3D_OK, vb->Unlock());
  EXPECT_EQ(D3DERR_INVALIDCALL, vb->Lock(9590, 20, &part, 0));
  EXPECT_EQ(D3DERR_INVALIDCALL, vb->Unlock());
  EXPECT_EQ(2u, kvrtest::LockCount(vb));
  EXPECT_EQ(0u, vb->Release());
}

TEST_F(DeviceState, TexturesHaveTheirLevelsSizesAndPitch) {
  IDirect3DTexture9* tex = nullptr;
  ASSERT_EQ(D3D_OK, dev->CreateTexture(64, 16, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr));
  ASSERT_EQ(7u, tex->GetLevelCount());  // 64x16 down to 1x1
  D3DSURFACE_DESC d;
  ASSERT_EQ(D3D_OK, tex->GetLevelDesc(5, &d));
  EXPECT_EQ(2u, d.Width);
  EXPECT_EQ(1u, d.Height);
  EXPECT_EQ(D3DFMT_A8R8G8B8, d.Format);
  EXPECT_EQ(D3DERR_INVALIDCALL, tex->GetLevelDesc(7, &d));
  D3DLOCKED_RECT lr;
  ASSERT_EQ(D3D_OK, tex->LockRect(0, &lr, nullptr, 0));
  EXPECT_GE(lr.Pitch, 64 * 4);
  EXPECT_EQ(D3DERR_INVALIDCALL, tex->LockRect(0, &lr, nullptr, 0));  // already locked
  ASSERT_EQ(D3D_OK, tex->UnlockRect(0));
  IDirect3DSurface9* level = nullptr;
  ASSERT_EQ(D3D_OK, tex->GetSurfaceLevel(1, &level));
  ASSERT_EQ(D3D_OK, level->GetDesc(&d));
  EXPECT_EQ(32u, d.Width);
  level->Release();
  EXPECT_EQ(0u, tex->Release());

  ASSERT_EQ(D3D_OK, dev->CreateTexture(128, 128, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &tex, nullptr));
  EXPECT_EQ(1u, tex->GetLevelCount());
  ASSERT_EQ(D3D_OK, tex->LockRect(0, &lr, nullptr, 0));
  EXPECT_GE(lr.Pitch, 256);
  tex->UnlockRect(0);
  tex->Release();
  EXPECT_EQ(D3DERR_INVALIDCALL,
            dev->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr));
  EXPECT_EQ(D3DERR_INVALIDCALL,
            dev->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &tex, nullptr));
}

TEST_F(DeviceState, CapsDisplayModeAndRenderTargetAnswerTheBlendingQuestion) {
  D3DCAPS9 caps;
  ASSERT_EQ(D3D_OK, dev->GetDeviceCaps(&caps));
  EXPECT_EQ(0u, caps.AdapterOrdinal);
  EXPECT_EQ(D3DDEVTYPE_HAL, caps.DeviceType);
  EXPECT_GE(caps.MaxTextureWidth, 2048u);
  kvrtest::SetMaxTextureSize(256);
  ASSERT_EQ(D3D_OK, dev->GetDeviceCaps(&caps));
  EXPECT_EQ(256u, caps.MaxTextureWidth);
  EXPECT_EQ(256u, caps.MaxTextureHeight);
  kvrtest::SetMaxTextureSize(0);

  IDirect3D9* d3d = nullptr;
  ASSERT_EQ(D3D_OK, dev->GetDirect3D(&d3d));
  D3DDISPLAYMODE mode;
  ASSERT_EQ(D3D_OK, dev->GetDisplayMode(0, &mode));
  EXPECT_EQ(static_cast<UINT>(kWidth), mode.Width);
  IDirect3DSurface9* target = nullptr;
  ASSERT_EQ(D3D_OK, dev->GetRenderTarget(0, &target));
  D3DSURFACE_DESC desc;
  ASSERT_EQ(D3D_OK, target->GetDesc(&desc));
  EXPECT_EQ(static_cast<UINT>(kWidth), desc.Width);
  EXPECT_EQ(static_cast<UINT>(kHeight), desc.Height);
  EXPECT_EQ(D3D_OK, d3d->CheckDeviceFormat(caps.AdapterOrdinal, caps.DeviceType, mode.Format,
                                           D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING | D3DUSAGE_RENDERTARGET,
                                           D3DRTYPE_SURFACE, desc.Format));
  EXPECT_EQ(D3DERR_NOTAVAILABLE, d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, mode.Format, 0,
                                                        D3DRTYPE_TEXTURE, D3DFMT_DXT5));
  target->Release();
  d3d->Release();
}

TEST_F(DeviceState, ScenesBracketDrawingAndCountersSeeEveryDraw) {
  auto quad = Quad(0, 0, 4, 4, 0xFFFFFFFF);
  IDirect3DVertexBuffer9* vb = Buffer(quad.data(), static_cast<UINT>(quad.size() * sizeof(quad[0])));
  dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
  dev->SetStreamSource(0, vb, 0, sizeof(RhwVertex));
  kvrtest::ResetCounters(dev);
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2));  // no scene
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->EndScene());
  ASSERT_EQ(D3D_OK, dev->BeginScene());
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->BeginScene());
  EXPECT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2));
  EXPECT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_LINELIST, 0, 3));
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 3));  // past the end
  dev->SetStreamSource(0, vb, 0, 8);                                             // narrower than 0x44
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1));
  ASSERT_EQ(D3D_OK, dev->EndScene());
  kvrtest::DeviceCounters c = kvrtest::GetCounters(dev);
  EXPECT_EQ(2u, c.drawCalls);
  EXPECT_EQ(5u, c.primitives);
  EXPECT_EQ((std::vector<UINT>{2, 3}), kvrtest::DrawCallPrimitiveCounts(dev));

  // A program that draws for hours without a reset: the counters go on, the record of each
  // call's primitives stops at its first 4096 instead of growing with every frame.
  dev->SetStreamSource(0, vb, 0, sizeof(RhwVertex));
  ASSERT_EQ(D3D_OK, dev->BeginScene());
  for (int i = 0; i < 5000; ++i) dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
  ASSERT_EQ(D3D_OK, dev->EndScene());
  EXPECT_EQ(5002u, kvrtest::GetCounters(dev).drawCalls);
  EXPECT_EQ(4096u, kvrtest::DrawCallPrimitiveCounts(dev).size());
}

TEST_F(DeviceState, SeamsFailVertexBufferCreationsAndLocks) {
  IDirect3DVertexBuffer9* a = nullptr;
  IDirect3DVertexBuffer9* b = nullptr;
  kvrtest::FailVertexBufferCreationAfter(1);
  EXPECT_EQ(D3D_OK, dev->CreateVertexBuffer(60, 0, 0x102, D3DPOOL_SYSTEMMEM, &a, nullptr));
  EXPECT_TRUE(FAILED(dev->CreateVertexBuffer(60, 0, 0x102, D3DPOOL_SYSTEMMEM, &b, nullptr)));
  EXPECT_EQ(nullptr, b);
  kvrtest::FailVertexBufferLocks(true);
  void* p = nullptr;
  EXPECT_TRUE(FAILED(a->Lock(0, 0, &p, 0)));
  kvrtest::ResetDeviceSeams();
  EXPECT_EQ(D3D_OK, a->Lock(0, 0, &p, 0));
  a->Unlock();
  a->Release();
}

TEST(DeviceLifetime, ReleasingTheDeviceBeforeItsResourcesIsSafe) {
  auto t = testsupport::CreateTestDevice(kWidth, kHeight);
  ASSERT_TRUE(t && t->device);
  IDirect3DDevice9* dev = t->device;
  IDirect3DVertexBuffer9* vb = nullptr;
  IDirect3DTexture9* tex = nullptr;
  IDirect3DStateBlock9* block = nullptr;
  ASSERT_EQ(D3D_OK, dev->CreateVertexBuffer(96, 0, 0x104, D3DPOOL_SYSTEMMEM, &vb, nullptr));
  ASSERT_EQ(D3D_OK, dev->CreateTexture(8, 8, 0, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &tex, nullptr));
  dev->BeginStateBlock();
  dev->SetTexture(0, tex);
  ASSERT_EQ(D3D_OK, dev->EndStateBlock(&block));
  // Bound and drawn, so GL objects exist that must be freed with the context alive.
  dev->SetTexture(0, tex);
  dev->SetStreamSource(0, vb, 0, 24);
  dev->SetFVF(0x104);
  dev->BeginScene();
  EXPECT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2));
  dev->EndScene();
  // Each resource holds the device: 1 + 3.
  EXPECT_EQ(5u, dev->AddRef());
  EXPECT_EQ(4u, dev->Release());
  IDirect3D9* d3d = t->d3d;
  t->device = nullptr;
  t->d3d = nullptr;
  EXPECT_EQ(3u, dev->Release());
  EXPECT_EQ(1u, d3d->Release());  // the device still holds the Direct3D object
  EXPECT_EQ(0u, tex->Release());      // still bound, but the program's last reference
  EXPECT_EQ(0u, block->Release());
  EXPECT_EQ(0u, vb->Release());       // the last one: the device goes with it
}

TEST(DeviceCreation, SeamsFailChosenBehaviourFlagsAndTheDirect3DObject) {
  kvrtest::ResetDeviceSeams();
  kvrtest::FailDirect3DCreate(true);
  EXPECT_EQ(nullptr, Direct3DCreate9(31));
  kvrtest::FailDirect3DCreate(false);
  EXPECT_EQ(nullptr, Direct3DCreate9(12));
  kvrtest::FailDeviceCreation(D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING);
  auto t = testsupport::CreateTestDevice(kWidth, kHeight);  // asks for hardware processing
  EXPECT_EQ(nullptr, t);
  t.reset();
  IDirect3D9* d3d = Direct3DCreate9(31);
  ASSERT_NE(nullptr, d3d);
  auto window = testsupport::CreateTestDevice(kWidth, kHeight);
  EXPECT_EQ(nullptr, window);
  kvrtest::ResetDeviceSeams();
  auto ok = testsupport::CreateTestDevice(kWidth, kHeight);
  ASSERT_TRUE(ok && ok->device);
  D3DPRESENT_PARAMETERS pp = {};
  pp.Windowed = TRUE;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D16;
  IDirect3DDevice9* sw = nullptr;
  kvrtest::FailDeviceCreation(D3DCREATE_HARDWARE_VERTEXPROCESSING);
  EXPECT_TRUE(FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, ok->hwnd, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                       &pp, &sw)));
  ASSERT_EQ(D3D_OK, d3d->CreateDevice(0, D3DDEVTYPE_HAL, ok->hwnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &pp, &sw));
  // Zero sizes take the window's client size, and the record says so.
  EXPECT_EQ(static_cast<UINT>(kWidth), pp.BackBufferWidth);
  EXPECT_EQ(static_cast<UINT>(kHeight), pp.BackBufferHeight);
  EXPECT_EQ(0u, sw->Release());
  EXPECT_EQ(0u, d3d->Release());
  kvrtest::ResetDeviceSeams();
}

}  // namespace
}  // namespace d3d9test
