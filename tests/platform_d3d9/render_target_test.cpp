// Render targets, depth stencils, the stencil test and queries: drawing into a texture and
// sampling it the right way up, the viewport a new target brings, copies between targets, each
// stencil function and operation on both faces, pixel counts of occlusion queries, and the calls
// refused.
#include <algorithm>

#include "platform_d3d9/render_helpers.h"

namespace d3d9test {
namespace {

constexpr D3DCOLOR kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00, kBlack = 0xFF000000;

class RenderTargetTest : public DeviceTest {
 protected:
  // A 32x32 render-target texture whose top half is red and bottom half blue.
  IDirect3DTexture9* PaintedTarget(IDirect3DSurface9** level) {
    IDirect3DTexture9* tex = nullptr;
    EXPECT_EQ(D3D_OK, dev->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &tex,
                                         nullptr));
    if (!tex) return nullptr;
    EXPECT_EQ(D3D_OK, tex->GetSurfaceLevel(0, level));
    EXPECT_EQ(D3D_OK, dev->SetRenderTarget(0, *level));
    EXPECT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0));
    const D3DRECT top = {0, 0, 32, 16};
    EXPECT_EQ(D3D_OK, dev->Clear(1, &top, D3DCLEAR_TARGET, kRed, 1.0f, 0));
    return tex;
  }

  void BackToBackBuffer() {
    IDirect3DSurface9* bb = nullptr;
    ASSERT_EQ(D3D_OK, dev->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &bb));
    ASSERT_EQ(D3D_OK, dev->SetRenderTarget(0, bb));
    bb->Release();
  }

  // A D24S8 depth stencil of the back buffer's size, set on the device.
  void UseStencil() {
    IDirect3DSurface9* ds = nullptr;
    ASSERT_EQ(D3D_OK, dev->CreateDepthStencilSurface(kWidth, kHeight, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, TRUE, &ds,
                                                     nullptr));
    ASSERT_EQ(D3D_OK, dev->SetDepthStencilSurface(ds));
    ds->Release();  // the device holds it while it is set
  }
};

TEST_F(RenderTargetTest, TextureDrawnIntoIsSampledTheRightWayUp) {
  IDirect3DSurface9* level = nullptr;
  IDirect3DTexture9* tex = PaintedTarget(&level);
  ASSERT_TRUE(tex);
  D3DVIEWPORT9 vp;
  dev->GetViewport(&vp);
  EXPECT_EQ(32u, vp.Width) << "the viewport becomes the new target's";
  EXPECT_EQ(32u, vp.Height);
  IDirect3DSurface9* now = nullptr;
  ASSERT_EQ(D3D_OK, dev->GetRenderTarget(0, &now));
  EXPECT_EQ(level, now);
  now->Release();
  BackToBackBuffer();
  dev->GetViewport(&vp);
  EXPECT_EQ(static_cast<DWORD>(kWidth), vp.Width);
  ClearTo(kBlack);
  dev->SetTexture(0, tex);
  dev->SetRenderState(D3DRS_LIGHTING, FALSE);
  ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1,
                         TexQuad(0, 0, kWidth, kHeight, 0xFFFFFFFF), 2));
  dev->SetTexture(0, nullptr);
  kvrtest::Image expected = Filled(kBlue);
  Fill(expected, 0, 0, kWidth, kHeight / 2, kRed);
  EXPECT_TRUE(MatchesImage(dev, expected, "rt_sampled"));

  // The same pixels read back from the texture's level, top row first.
  IDirect3DSurface9* copy = nullptr;
  ASSERT_EQ(D3D_OK, dev->CreateOffscreenPlainSurface(32, 32, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr));
  ASSERT_EQ(D3D_OK, dev->GetRenderTargetData(level, copy));
  D3DLOCKED_RECT lr;
  ASSERT_EQ(D3D_OK, copy->LockRect(&lr, nullptr, D3DLOCK_READONLY));
  const uint32_t* rows = static_cast<const uint32_t*>(lr.pBits);
  EXPECT_EQ(kRed, rows[0]);
  EXPECT_EQ(kBlue, rows[31 * lr.Pitch / 4]);
  copy->UnlockRect();
  copy->Release();
  level->Release();
  tex->Release();
}

TEST_F(RenderTargetTest, StretchRectCopiesBetweenTargets) {
  IDirect3DSurface9* level = nullptr;
  IDirect3DTexture9* tex = PaintedTarget(&level);
  ASSERT_TRUE(tex);
  BackToBackBuffer();
  ClearTo(kBlack);
  IDirect3DSurface9* bb = nullptr;
  dev->GetRenderTarget(0, &bb);
  const RECT to = {8, 8, 40, 40};
  ASSERT_EQ(D3D_OK, dev->StretchRect(level, nullptr, bb, &to, D3DTEXF_POINT));
  kvrtest::Image expected = Filled(kBlack);
  Fill(expected, 8, 8, 40, 24, kRed);
  Fill(expected, 8, 24, 40, 40, kBlue);
  EXPECT_TRUE(MatchesImage(dev, expected, "rt_stretch"));
  const RECT outside = {0, 0, kWidth + 1, 4};
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->StretchRect(level, nullptr, bb, &outside, D3DTEXF_POINT));
  bb->Release();
  level->Release();
  tex->Release();
}

// Each case: stencil cleared to 0, the left half drawn with its operation (ref 1), then the
// whole target with the test below in green: which columns end green.
TEST_F(RenderTargetTest, StencilFunctionsAndOperations) {
  struct Case {
    const char* name;
    DWORD firstPass;  // the left half's operation when it passes
    int firstDraws;   // how many times the left half is drawn
    DWORD func;
    DWORD ref;
    bool leftGreen, rightGreen;
  } cases[] = {
      {"equal", D3DSTENCILOP_REPLACE, 1, D3DCMP_EQUAL, 1, true, false},
      {"not equal", D3DSTENCILOP_REPLACE, 1, D3DCMP_NOTEQUAL, 1, false, true},
      {"always", D3DSTENCILOP_REPLACE, 1, D3DCMP_ALWAYS, 1, true, true},
      {"never", D3DSTENCILOP_REPLACE, 1, D3DCMP_NEVER, 1, false, false},
      // ref LESS stored: 0 < 1 on the left only (the reference is on the left of the test).
      {"less", D3DSTENCILOP_REPLACE, 1, D3DCMP_LESS, 0, true, false},
      {"greater", D3DSTENCILOP_REPLACE, 1, D3DCMP_GREATER, 1, false, true},
      {"incr twice", D3DSTENCILOP_INCRSAT, 2, D3DCMP_EQUAL, 2, true, false},
      {"decr wraps", D3DSTENCILOP_DECR, 1, D3DCMP_EQUAL, 255, true, false},
      {"decrsat stops", D3DSTENCILOP_DECRSAT, 1, D3DCMP_EQUAL, 0, true, true},
      {"invert", D3DSTENCILOP_INVERT, 1, D3DCMP_EQUAL, 255, true, false},
      {"zero", D3DSTENCILOP_ZERO, 1, D3DCMP_EQUAL, 0, true, true},
  };
  UseStencil();
  dev->SetRenderState(D3DRS_LIGHTING, FALSE);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, kBlack, 1.0f, 0));
    dev->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    dev->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    dev->SetRenderState(D3DRS_STENCILREF, 1);
    dev->SetRenderState(D3DRS_STENCILPASS, c.firstPass);
    for (int i = 0; i < c.firstDraws; ++i)
      ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, Quad(0, 0, kWidth / 2, kHeight, kRed), 2));
    dev->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    dev->SetRenderState(D3DRS_STENCILFUNC, c.func);
    dev->SetRenderState(D3DRS_STENCILREF, c.ref);
    ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, Quad(0, 0, kWidth, kHeight, kGreen), 2));
    dev->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    kvrtest::Image expected = Filled(kBlack);
    Fill(expected, 0, 0, kWidth / 2, kHeight, c.leftGreen ? kGreen : kRed);
    Fill(expected, kWidth / 2, 0, kWidth, kHeight, c.rightGreen ? kGreen : kBlack);
    EXPECT_TRUE(MatchesImage(dev, expected, std::string("stencil_") + c.name));
  }
}

// Two-sided stencil: clockwise triangles take the usual states, counter-clockwise ones the CCW_
// states; without the mode both take the usual ones. The masks limit what is read and written.
TEST_F(RenderTargetTest, TwoSidedStencilAndMasks) {
  UseStencil();
  dev->SetRenderState(D3DRS_LIGHTING, FALSE);
  dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  auto reversed = [](std::vector<RhwVertex> v) {
    for (size_t i = 0; i < v.size(); i += 3) std::swap(v[i + 1], v[i + 2]);
    return v;
  };
  for (bool twoSided : {true, false}) {
    SCOPED_TRACE(twoSided ? "two-sided" : "one-sided");
    ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, kBlack, 1.0f, 0));
    dev->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    dev->SetRenderState(D3DRS_TWOSIDEDSTENCILMODE, twoSided);
    dev->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    dev->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    dev->SetRenderState(D3DRS_CCW_STENCILFUNC, D3DCMP_ALWAYS);
    dev->SetRenderState(D3DRS_CCW_STENCILPASS, D3DSTENCILOP_KEEP);
    // Only bit 0 of the reference 3 is written.
    dev->SetRenderState(D3DRS_STENCILREF, 3);
    dev->SetRenderState(D3DRS_STENCILWRITEMASK, 1);
    Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, Quad(0, 0, kWidth / 2, kHeight, kRed), 2);
    Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, reversed(Quad(kWidth / 2, 0, kWidth, kHeight, kRed)), 2);
    dev->SetRenderState(D3DRS_STENCILWRITEMASK, 0xFF);
    dev->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    dev->SetRenderState(D3DRS_TWOSIDEDSTENCILMODE, FALSE);
    // Read through mask 3: 1 where written.
    dev->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    dev->SetRenderState(D3DRS_STENCILREF, 1);
    dev->SetRenderState(D3DRS_STENCILMASK, 3);
    Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, Quad(0, 0, kWidth, kHeight, kGreen), 2);
    dev->SetRenderState(D3DRS_STENCILMASK, 0xFF);
    dev->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    kvrtest::Image expected = Filled(kGreen);
    if (twoSided) Fill(expected, kWidth / 2, 0, kWidth, kHeight, kRed);
    EXPECT_TRUE(MatchesImage(dev, expected, twoSided ? "stencil_two_sided" : "stencil_one_sided"));
  }
}

TEST_F(RenderTargetTest, OcclusionQueriesCountPixels) {
  IDirect3DQuery9* query = nullptr;
  ASSERT_EQ(D3D_OK, dev->CreateQuery(D3DQUERYTYPE_OCCLUSION, &query));
  EXPECT_EQ(D3DQUERYTYPE_OCCLUSION, query->GetType());
  EXPECT_EQ(sizeof(DWORD), query->GetDataSize());
  DWORD pixels = 77;
  EXPECT_EQ(D3DERR_INVALIDCALL, query->GetData(&pixels, sizeof(pixels), 0)) << "never issued";
  dev->SetRenderState(D3DRS_LIGHTING, FALSE);
  struct Case {
    float z;  // the depth buffer is cleared to 0.5: farther quads count nothing
    DWORD expected;
  } cases[] = {{0.25f, 10 * 6}, {0.75f, 0}};
  for (const Case& c : cases) {
    ClearTo(kBlack, 0.5f);
    ASSERT_EQ(D3D_OK, query->Issue(D3DISSUE_BEGIN));
    EXPECT_EQ(D3DERR_INVALIDCALL, query->GetData(&pixels, sizeof(pixels), 0)) << "still counting";
    Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, Quad(4, 4, 14, 10, kRed, c.z), 2);
    ASSERT_EQ(D3D_OK, query->Issue(D3DISSUE_END));
    HRESULT hr;
    int polls = 0;
    while ((hr = query->GetData(&pixels, sizeof(pixels), D3DGETDATA_FLUSH)) == S_FALSE && polls < 100000) ++polls;
    EXPECT_EQ(D3D_OK, hr);
    EXPECT_EQ(c.expected, pixels);
    EXPECT_EQ(D3DERR_INVALIDCALL, query->GetData(&pixels, 2, 0)) << "too small for the answer";
  }
  query->Release();

  IDirect3DQuery9* event = nullptr;
  ASSERT_EQ(D3D_OK, dev->CreateQuery(D3DQUERYTYPE_EVENT, &event));
  EXPECT_EQ(D3DERR_INVALIDCALL, event->Issue(D3DISSUE_BEGIN));
  ASSERT_EQ(D3D_OK, event->Issue(D3DISSUE_END));
  BOOL done = FALSE;
  HRESULT hr;
  int polls = 0;
  while ((hr = event->GetData(&done, sizeof(done), D3DGETDATA_FLUSH)) == S_FALSE && polls < 100000) ++polls;
  EXPECT_EQ(D3D_OK, hr);
  EXPECT_TRUE(done);
  event->Release();

  // A null result asks only whether the type is supported.
  const struct {
    D3DQUERYTYPE type;
    HRESULT hr;
  } support[] = {{D3DQUERYTYPE_OCCLUSION, D3D_OK}, {D3DQUERYTYPE_EVENT, D3D_OK},
                 {D3DQUERYTYPE_TIMESTAMP, D3DERR_NOTAVAILABLE}, {D3DQUERYTYPE_VCACHE, D3DERR_NOTAVAILABLE}};
  for (const auto& s : support) EXPECT_EQ(s.hr, dev->CreateQuery(s.type, nullptr)) << s.type;
}

TEST_F(RenderTargetTest, RefusedCalls) {
  IDirect3DTexture9* tex = nullptr;
  const struct {
    const char* name;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    HRESULT hr;
  } textures[] = {
      {"render target", D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, D3D_OK},
      {"depth texture", D3DUSAGE_DEPTHSTENCIL, D3DFMT_D24S8, D3DPOOL_DEFAULT, D3D_OK},
      {"managed render target", D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
      {"luminance render target", D3DUSAGE_RENDERTARGET, D3DFMT_L8, D3DPOOL_DEFAULT, D3DERR_INVALIDCALL},
      {"colour depth texture", D3DUSAGE_DEPTHSTENCIL, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, D3DERR_INVALIDCALL},
      {"both", D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL, D3DFMT_D24S8, D3DPOOL_DEFAULT, D3DERR_INVALIDCALL},
  };
  for (const auto& t : textures) {
    EXPECT_EQ(t.hr, dev->CreateTexture(16, 16, 1, t.usage, t.format, t.pool, &tex, nullptr)) << t.name;
    if (tex) tex->Release();
    tex = nullptr;
  }
  ASSERT_EQ(D3D_OK, dev->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &tex,
                                       nullptr));
  IDirect3DSurface9* level = nullptr;
  tex->GetSurfaceLevel(0, &level);
  D3DLOCKED_RECT lr;
  EXPECT_EQ(D3DERR_INVALIDCALL, tex->LockRect(0, &lr, nullptr, 0)) << "render targets are not lockable";
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetRenderTarget(1, level)) << "one render target only";
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetRenderTarget(0, nullptr));
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetDepthStencilSurface(level)) << "a colour surface";
  IDirect3DSurface9* bb = nullptr;
  dev->GetRenderTarget(0, &bb);
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->StretchRect(bb, nullptr, level, nullptr, D3DTEXF_ANISOTROPIC));
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0)) << "D16 has no stencil";
  ASSERT_EQ(D3D_OK, dev->SetDepthStencilSurface(nullptr));
  IDirect3DSurface9* none = bb;
  EXPECT_EQ(D3DERR_NOTFOUND, dev->GetDepthStencilSurface(&none));
  EXPECT_EQ(nullptr, none);
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0)) << "no depth buffer set";
  // A viewport must fit the target set now.
  ASSERT_EQ(D3D_OK, dev->SetRenderTarget(0, level));
  D3DVIEWPORT9 vp = {0, 0, 32, 32, 0.0f, 1.0f};
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->SetViewport(&vp));
  dev->SetRenderTarget(0, bb);
  EXPECT_EQ(D3D_OK, dev->SetViewport(&vp));
  bb->Release();
  level->Release();
  tex->Release();  // still set nowhere: released for good
}

TEST_F(RenderTargetTest, D3dxTextureRequirements) {
  const struct {
    UINT w, h, levels;
    DWORD usage;
    D3DFORMAT format;
    UINT wantW, wantH, wantLevels;
    D3DFORMAT wantFormat;
  } cases[] = {
      {0, 0, 0, 0, D3DFMT_UNKNOWN, 256, 256, 9, D3DFMT_A8R8G8B8},
      {D3DX_DEFAULT, 64, D3DX_DEFAULT, 0, D3DFMT_X8R8G8B8, 64, 64, 7, D3DFMT_X8R8G8B8},
      {32, 8, 9, 0, D3DFMT_R5G6B5, 32, 8, 6, D3DFMT_R5G6B5},
      {16, 16, 0, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8R8G8B8, 16, 16, 1, D3DFMT_A8R8G8B8},
      // Formats the device lacks: the nearest with the same alpha.
      {16, 16, 1, 0, D3DFMT_DXT5, 16, 16, 1, D3DFMT_A8R8G8B8},
      {16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, 16, 16, 1, D3DFMT_X8R8G8B8},
      {16, 16, 1, D3DUSAGE_DEPTHSTENCIL, D3DFMT_D15S1, 16, 16, 1, D3DFMT_D24S8},
      {100000, 16, 1, 0, D3DFMT_A8R8G8B8, 8192, 16, 1, D3DFMT_A8R8G8B8},
  };
  for (const auto& c : cases) {
    UINT w = c.w, h = c.h, levels = c.levels;
    D3DFORMAT format = c.format;
    ASSERT_EQ(D3D_OK, D3DXCheckTextureRequirements(dev, &w, &h, &levels, c.usage, &format, D3DPOOL_DEFAULT));
    EXPECT_EQ(c.wantW, std::min(w, 8192u)) << c.w << "x" << c.h;
    EXPECT_EQ(c.wantH, h);
    EXPECT_EQ(c.wantLevels, levels) << c.w << "x" << c.h;
    EXPECT_EQ(c.wantFormat, format) << c.format;
  }
  IDirect3DTexture9* tex = nullptr;
  ASSERT_EQ(D3D_OK, D3DXCreateTexture(dev, 20, 10, 0, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT, &tex));
  D3DSURFACE_DESC desc;
  tex->GetLevelDesc(0, &desc);
  EXPECT_EQ(D3DFMT_X8R8G8B8, desc.Format);
  EXPECT_EQ(5u, tex->GetLevelCount());
  tex->Release();
}

// Copies with D3DXLoadSurfaceFromSurface: CPU to CPU scaled, render target to CPU, and a scene
// drawn into a texture through ID3DXRenderToSurface, which gives the back buffer back after.
TEST_F(RenderTargetTest, D3dxSurfaceCopiesAndRenderToSurface) {
  // A 2x2 checker of red and blue, doubled with the point filter.
  IDirect3DTexture9* small = MakeTexture(2, 2, D3DFMT_A8R8G8B8, [](UINT x, UINT y) { return (x + y) % 2 ? kBlue : kRed; });
  IDirect3DTexture9* big = MakeTexture(4, 4, D3DFMT_X8R8G8B8, [](UINT, UINT) { return 0u; });
  IDirect3DSurface9 *from = nullptr, *to = nullptr;
  small->GetSurfaceLevel(0, &from);
  big->GetSurfaceLevel(0, &to);
  ASSERT_EQ(D3D_OK, D3DXLoadSurfaceFromSurface(to, nullptr, nullptr, from, nullptr, nullptr, D3DX_FILTER_POINT, 0));
  D3DLOCKED_RECT lr;
  ASSERT_EQ(D3D_OK, big->LockRect(0, &lr, nullptr, D3DLOCK_READONLY));
  const uint32_t* texels = static_cast<const uint32_t*>(lr.pBits);
  const uint32_t want[4] = {kRed, kRed, kBlue, kBlue};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(want[x], texels[lr.Pitch / 4 + x]) << x;  // second row
  big->UnlockRect(0);
  const RECT outside = {0, 0, 3, 1};
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXLoadSurfaceFromSurface(to, nullptr, nullptr, from, nullptr, &outside,
                                                           D3DX_FILTER_POINT, 0));

  IDirect3DTexture9* target = nullptr;
  ASSERT_EQ(D3D_OK, D3DXCreateTexture(dev, 4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target));
  IDirect3DSurface9* level = nullptr;
  target->GetSurfaceLevel(0, &level);
  ID3DXRenderToSurface* rts = nullptr;
  ASSERT_EQ(D3D_OK, D3DXCreateRenderToSurface(dev, 4, 4, D3DFMT_X8R8G8B8, TRUE, D3DFMT_D24S8, &rts));
  ASSERT_EQ(D3D_OK, rts->BeginScene(level, nullptr));
  EXPECT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, kGreen, 1.0f, 0));
  ASSERT_EQ(D3D_OK, rts->EndScene(D3DX_FILTER_NONE));
  IDirect3DSurface9* now = nullptr;
  dev->GetRenderTarget(0, &now);
  D3DSURFACE_DESC desc;
  now->GetDesc(&desc);
  EXPECT_EQ(static_cast<UINT>(kWidth), desc.Width) << "the back buffer is set again";
  now->Release();
  D3DVIEWPORT9 vp;
  dev->GetViewport(&vp);
  EXPECT_EQ(static_cast<DWORD>(kWidth), vp.Width);
  ASSERT_EQ(D3D_OK, D3DXLoadSurfaceFromSurface(to, nullptr, nullptr, level, nullptr, nullptr, D3DX_FILTER_NONE, 0));
  ASSERT_EQ(D3D_OK, big->LockRect(0, &lr, nullptr, D3DLOCK_READONLY));
  EXPECT_EQ(kGreen, static_cast<const uint32_t*>(lr.pBits)[5]);
  big->UnlockRect(0);
  rts->Release();
  level->Release();
  target->Release();
  from->Release();
  to->Release();
}

}  // namespace
}  // namespace d3d9test
