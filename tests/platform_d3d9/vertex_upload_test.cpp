// Vertex buffers written in part: what a lock may have changed reaches the next draw, whichever
// part of the buffer it was and however the locks were asked for.
#include "render_helpers.h"

namespace d3d9test {
namespace {

class VertexUpload : public DeviceTest {
 protected:
  // Three quads side by side, 16 pixels wide each, in one buffer of 18 vertices.
  void SetUp() override {
    DeviceTest::SetUp();
    std::vector<RhwVertex> all;
    for (int i = 0; i < 3; ++i) {
      const std::vector<RhwVertex> quad = Quad(16.0f * i, 0, 16.0f * (i + 1), 16, 0xFF800000);
      all.insert(all.end(), quad.begin(), quad.end());
    }
    vb_ = Buffer(all.data(), static_cast<UINT>(all.size() * sizeof(RhwVertex)));
    ASSERT_TRUE(vb_);
  }

  // Draws the buffer and gives each quad's colour, read at its middle.
  std::vector<uint32_t> DrawnColours() {
    ClearTo(0xFF000000);
    dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    dev->SetStreamSource(0, vb_, 0, sizeof(RhwVertex));
    dev->BeginScene();
    dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 6);
    dev->EndScene();
    const kvrtest::Image image = kvrtest::ReadBackBuffer(dev);
    return {image.At(8, 8), image.At(24, 8), image.At(40, 8)};
  }

  // Locks the vertices of quads first..last (as the lock's offset and size ask) and colours them.
  void Recolour(UINT offset, UINT size, DWORD flags, int first, int last, D3DCOLOR colour) {
    void* data = nullptr;
    ASSERT_EQ(D3D_OK, vb_->Lock(offset, size, &data, flags));
    RhwVertex* locked = static_cast<RhwVertex*>(data);
    const int lockedFirstVertex = static_cast<int>(offset / sizeof(RhwVertex));
    for (int v = 6 * first; v < 6 * (last + 1); ++v) locked[v - lockedFirstVertex].color = colour;
    vb_->Unlock();
  }

  static constexpr UINT kQuad = 6 * sizeof(RhwVertex);
  IDirect3DVertexBuffer9* vb_ = nullptr;
};

TEST_F(VertexUpload, EachLockedRangeReachesTheNextDrawAndNothingElseChanges) {
  EXPECT_EQ(DrawnColours(), std::vector<uint32_t>({0xFF800000, 0xFF800000, 0xFF800000}));

  // The middle quad alone, by offset and size.
  Recolour(kQuad, kQuad, 0, 1, 1, 0xFF00FF00);
  EXPECT_EQ(DrawnColours(), std::vector<uint32_t>({0xFF800000, 0xFF00FF00, 0xFF800000}));

  // Two locks apart before one draw: the first and the last quad, one without overwriting.
  Recolour(0, kQuad, D3DLOCK_NOOVERWRITE, 0, 0, 0xFF0000FF);
  Recolour(2 * kQuad, kQuad, 0, 2, 2, 0xFFFFFF00);
  EXPECT_EQ(DrawnColours(), std::vector<uint32_t>({0xFF0000FF, 0xFF00FF00, 0xFFFFFF00}));

  // The whole buffer discarded and written again.
  Recolour(0, 0, D3DLOCK_DISCARD, 0, 2, 0xFFFFFFFF);
  EXPECT_EQ(DrawnColours(), std::vector<uint32_t>({0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}));

  // A range beyond the buffer is refused and changes nothing.
  void* data = nullptr;
  EXPECT_EQ(D3DERR_INVALIDCALL, vb_->Lock(2 * kQuad, 2 * kQuad, &data, 0));
  EXPECT_EQ(DrawnColours(), std::vector<uint32_t>({0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}));
}

}  // namespace
}  // namespace d3d9test
