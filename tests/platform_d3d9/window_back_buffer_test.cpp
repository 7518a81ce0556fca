// A device whose back buffer matches its window draws straight into the window; one that does
// not (another size, a deeper depth buffer) draws offscreen and copies at Present. Both must
// give the same pixels, edges that pass through pixel centres included.
#include "platform_d3d9/render_helpers.h"

namespace d3d9test {
namespace {

constexpr int kW = 64, kH = 48;

std::unique_ptr<testsupport::TestDevice> DeviceOn(int windowW, int windowH, D3DFORMAT depth) {
  std::unique_ptr<testsupport::TestDevice> t =
      testsupport::CreateTestDevice(windowW, windowH, testsupport::PassThroughWindowProc, kW, kH);
  if (!t || !t->device || depth == D3DFMT_D16) return t;
  // Made again with the other depth format on the same window.
  t->device->Release();
  t->device = nullptr;
  D3DPRESENT_PARAMETERS pp = {};
  pp.Windowed = TRUE;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.BackBufferWidth = kW;
  pp.BackBufferHeight = kH;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = depth;
  pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  if (FAILED(t->d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, t->hwnd, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                  &pp, &t->device)))
    t->device = nullptr;
  return t;
}

template <class V>
void DrawUp(IDirect3DDevice9* d, DWORD fvf, D3DPRIMITIVETYPE type, const std::vector<V>& v, UINT count) {
  const UINT bytes = static_cast<UINT>(v.size() * sizeof(V));
  IDirect3DVertexBuffer9* vb = nullptr;
  if (FAILED(d->CreateVertexBuffer(bytes, 0, 0, D3DPOOL_SYSTEMMEM, &vb, nullptr))) return;
  void* p = nullptr;
  if (SUCCEEDED(vb->Lock(0, 0, &p, 0))) {
    std::memcpy(p, v.data(), bytes);
    vb->Unlock();
    d->SetFVF(fvf);
    d->SetStreamSource(0, vb, 0, sizeof(V));
    d->DrawPrimitive(type, 0, count);
    d->SetStreamSource(0, nullptr, 0, 0);
  }
  vb->Release();
}

// Clears, a rectangle cleared inside a viewport, a pretransformed quad whose edges run through
// pixel centres, two overlapping depth-tested quads, and a transformed triangle of each winding
// with counter-clockwise ones culled; then a Present, and the frame read back.
kvrtest::Image DrawScene(IDirect3DDevice9* d) {
  d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF101010, 1.0f, 0);
  const D3DRECT band = {0, 40, 64, 44};
  d->Clear(1, &band, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  d->SetRenderState(D3DRS_LIGHTING, FALSE);
  d->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  d->BeginScene();
  const D3DCOLOR red = 0xFFFF0000, green = 0xFF00FF00, white = 0xFFFFFFFF;
  auto quad = [](float x0, float y0, float x1, float y1, float z, D3DCOLOR c) {
    return std::vector<RhwVertex>{{x0, y0, z, 1, c}, {x1, y0, z, 1, c}, {x0, y1, z, 1, c},
                                  {x1, y0, z, 1, c}, {x1, y1, z, 1, c}, {x0, y1, z, 1, c}};
  };
  DrawUp(d, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, D3DPT_TRIANGLELIST, quad(2, 3, 10, 9, 0.5f, red), 2);
  DrawUp(d, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, D3DPT_TRIANGLELIST, quad(12, 2, 30, 20, 0.6f, green), 2);
  DrawUp(d, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, D3DPT_TRIANGLELIST, quad(20, 10, 40, 30, 0.4f, white), 2);

  D3DXMATRIX identity, view, projection;
  D3DXMatrixIdentity(&identity);
  D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 3, float(kW) / kH, 1.0f, 100.0f);
  d->SetTransform(D3DTS_WORLD, &identity);
  d->SetTransform(D3DTS_VIEW, &view);
  d->SetTransform(D3DTS_PROJECTION, &projection);
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  const D3DVIEWPORT9 viewport = {32, 0, 32, 40, 0.0f, 1.0f};
  d->SetViewport(&viewport);
  struct Xyzc { float x, y, z; D3DCOLOR c; };
  const std::vector<Xyzc> clockwise = {{-4, 4, 0, red}, {4, 0, 0, green}, {-4, -4, 0, 0xFF0000FF}};
  const std::vector<Xyzc> counter = {{-4, 5, 1, white}, {-4, -5, 1, white}, {5, 0, 1, white}};
  DrawUp(d, D3DFVF_XYZ | D3DFVF_DIFFUSE, D3DPT_TRIANGLELIST, clockwise, 1);
  DrawUp(d, D3DFVF_XYZ | D3DFVF_DIFFUSE, D3DPT_TRIANGLELIST, counter, 1);
  d->EndScene();
  d->Present(nullptr, nullptr, nullptr, nullptr);
  return kvrtest::ReadBackBuffer(d);
}

TEST(WindowBackBuffer, DrawsTheSamePixelsAsAnOffscreenOne) {
  std::unique_ptr<testsupport::TestDevice> inWindow = DeviceOn(kW, kH, D3DFMT_D16);
  ASSERT_TRUE(inWindow && inWindow->device) << "no headless device";
  const kvrtest::Image direct = DrawScene(inWindow->device);
  inWindow.reset();
  ASSERT_EQ(kW, direct.width);

  // Direct3D's top-left rule: the quad from (2, 3) to (10, 9) covers columns 2..9, rows 3..8.
  EXPECT_EQ(0xFFFF0000u, direct.At(2, 3));
  EXPECT_EQ(0xFFFF0000u, direct.At(9, 8));
  EXPECT_EQ(0xFF101010u, direct.At(10, 8));
  EXPECT_EQ(0xFF101010u, direct.At(9, 9));
  EXPECT_EQ(0xFF101010u, direct.At(1, 3));
  EXPECT_EQ(0xFF101010u, direct.At(2, 2));
  // The nearer white quad wins where the two overlap; the band is cleared across the bottom.
  EXPECT_EQ(0xFFFFFFFFu, direct.At(25, 15));
  EXPECT_EQ(0xFF00FF00u, direct.At(15, 5));
  EXPECT_EQ(0xFF0000FFu, direct.At(5, 42));
  // The clockwise triangle is drawn in the viewport on the right, the other culled.
  int drawn = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 32; x < 64; ++x) drawn += direct.At(x, y) != 0xFF101010u;
  EXPECT_GT(drawn, 50);
  EXPECT_EQ(0xFF101010u, direct.At(33, 1));

  std::unique_ptr<testsupport::TestDevice> larger = DeviceOn(kW * 2, kH * 2, D3DFMT_D16);
  ASSERT_TRUE(larger && larger->device);
  EXPECT_EQ(direct.pixels, DrawScene(larger->device).pixels) << "a back buffer smaller than its window";
  larger.reset();

  std::unique_ptr<testsupport::TestDevice> deeper = DeviceOn(kW, kH, D3DFMT_D24S8);
  ASSERT_TRUE(deeper && deeper->device);
  EXPECT_EQ(direct.pixels, DrawScene(deeper->device).pixels) << "a 24-bit depth buffer";
}

}  // namespace
}  // namespace d3d9test
