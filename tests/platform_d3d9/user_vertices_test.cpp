// DrawPrimitiveUP: vertices straight from the program's memory, drawn as a vertex buffer would
// draw them, with stream 0 left unset afterwards as Direct3D leaves it.
#include "render_helpers.h"

namespace {

using d3d9test::RhwVertex;

class UserVertices : public d3d9test::DeviceTest {};

TEST_F(UserVertices, DrawAsABufferWouldAndLeaveStreamZeroUnset) {
  ClearTo(D3DCOLOR_XRGB(0, 0, 0));
  const std::vector<RhwVertex> left = Quad(0, 0, 32, 48, D3DCOLOR_XRGB(255, 0, 0));
  dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
  ASSERT_EQ(dev->BeginScene(), D3D_OK);
  ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, left.data(), sizeof(RhwVertex)), D3D_OK);
  IDirect3DVertexBuffer9* stream = reinterpret_cast<IDirect3DVertexBuffer9*>(1);
  UINT offset = 7, stride = 7;
  ASSERT_EQ(dev->GetStreamSource(0, &stream, &offset, &stride), D3D_OK);
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(stride, 0u);
  // Without a stream, a plain DrawPrimitive has nothing to draw from.
  EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL);
  // A larger draw than the first grows the copy; a strip's vertices are counted as a strip's.
  std::vector<RhwVertex> strip;
  for (int i = 0; i <= 200; ++i) {
    const float x = 32.0f + 32.0f * float(i) / 200.0f;
    // Bottom, then top: clockwise on screen, so the default culling keeps it.
    strip.push_back({x, 48.0f, 0.5f, 1.0f, D3DCOLOR_XRGB(0, 255, 0)});
    strip.push_back({x, 0.0f, 0.5f, 1.0f, D3DCOLOR_XRGB(0, 255, 0)});
  }
  ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, UINT(strip.size() - 2), strip.data(), sizeof(RhwVertex)),
            D3D_OK);
  dev->EndScene();
  const kvrtest::Image frame = kvrtest::ReadBackBuffer(dev);
  EXPECT_EQ(frame.At(10, 20) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(frame.At(50, 20) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(UserVertices, NoDataNoStrideOrNoSceneIsRefused) {
  const std::vector<RhwVertex> quad = Quad(0, 0, 8, 8, D3DCOLOR_XRGB(1, 2, 3));
  dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
  EXPECT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, quad.data(), sizeof(RhwVertex)), D3DERR_INVALIDCALL);
  ASSERT_EQ(dev->BeginScene(), D3D_OK);
  EXPECT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, nullptr, sizeof(RhwVertex)), D3DERR_INVALIDCALL);
  EXPECT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, quad.data(), 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(dev->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(99), 2, quad.data(), sizeof(RhwVertex)),
            D3DERR_INVALIDCALL);
  // A stride shorter than the vertex format is refused as DrawPrimitive refuses it.
  EXPECT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, quad.data(), 8), D3DERR_INVALIDCALL);
  // A count whose vertices would be gigabytes is refused before anything is copied.
  EXPECT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 0x40000000, quad.data(), sizeof(RhwVertex)),
            D3DERR_INVALIDCALL);
  dev->EndScene();
}

}  // namespace
