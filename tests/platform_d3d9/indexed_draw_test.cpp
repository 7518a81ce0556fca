// Index buffers and indexed drawing: each primitive type drawn through 16- or 32-bit indices
// gives the frame the same vertices give without them; what would read outside a buffer is
// refused and draws nothing; DrawIndexedPrimitiveUP leaves stream 0 and the indices unset.
#include "render_helpers.h"

namespace {

using d3d9test::RhwVertex;

constexpr DWORD kFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

class IndexedDraw : public d3d9test::DeviceTest {
 protected:
  // An index buffer of the given indices in the given format, released at tear-down.
  IDirect3DIndexBuffer9* Indices(const std::vector<uint32_t>& indices, D3DFORMAT format,
                                 D3DPOOL pool = D3DPOOL_MANAGED) {
    const UINT size = format == D3DFMT_INDEX32 ? 4 : 2;
    IDirect3DIndexBuffer9* ib = nullptr;
    EXPECT_EQ(D3D_OK, dev->CreateIndexBuffer(UINT(indices.size()) * size, D3DUSAGE_WRITEONLY, format, pool, &ib,
                                             nullptr));
    if (!ib) return nullptr;
    Write(ib, 0, indices, format);
    buffers_.push_back(ib);
    return ib;
  }
  static void Write(IDirect3DIndexBuffer9* ib, UINT first, const std::vector<uint32_t>& indices, D3DFORMAT format) {
    const UINT size = format == D3DFMT_INDEX32 ? 4 : 2;
    void* p = nullptr;
    ASSERT_EQ(D3D_OK, ib->Lock(first * size, UINT(indices.size()) * size, &p, 0));
    for (size_t i = 0; i < indices.size(); ++i) {
      if (size == 4) std::memcpy(static_cast<uint8_t*>(p) + 4 * i, &indices[i], 4);
      else {
        const uint16_t v = static_cast<uint16_t>(indices[i]);
        std::memcpy(static_cast<uint8_t*>(p) + 2 * i, &v, 2);
      }
    }
    ASSERT_EQ(D3D_OK, ib->Unlock());
  }
  void TearDown() override {
    if (dev) dev->SetIndices(nullptr);
    for (IDirect3DIndexBuffer9* ib : buffers_) ib->Release();
    buffers_.clear();
    DeviceTest::TearDown();
  }

  std::vector<IDirect3DIndexBuffer9*> buffers_;
};

// Eight vertices on a ring around the back buffer's centre, each of its own colour.
std::vector<RhwVertex> Ring() {
  std::vector<RhwVertex> v;
  const float cx = 32, cy = 24;
  const float dx[8] = {0, 20, 28, 20, 0, -20, -28, -20}, dy[8] = {-20, -14, 0, 14, 20, 14, 0, -14};
  for (int i = 0; i < 8; ++i)
    v.push_back({cx + dx[i], cy + dy[i], 0.5f, 1.0f, D3DCOLOR_XRGB(40 * i, 255 - 30 * i, 128)});
  return v;
}

TEST_F(IndexedDraw, EveryPrimitiveTypeDrawsWhatItsVerticesDrawUnindexed) {
  struct Case {
    const char* name;
    D3DPRIMITIVETYPE type;
    UINT primitives;
    std::vector<uint32_t> indices;  // into the ring
  };
  const Case cases[] = {
      {"triangle list", D3DPT_TRIANGLELIST, 2, {0, 1, 3, 0, 3, 6}},
      {"triangle strip", D3DPT_TRIANGLESTRIP, 4, {7, 1, 6, 2, 5, 3}},
      {"triangle fan", D3DPT_TRIANGLEFAN, 5, {0, 1, 2, 3, 4, 5, 6}},
      {"line list", D3DPT_LINELIST, 3, {0, 4, 2, 6, 1, 5}},
      {"line strip", D3DPT_LINESTRIP, 4, {0, 2, 4, 6, 0}},
      {"point list", D3DPT_POINTLIST, 5, {7, 5, 3, 1, 0}},
  };
  const std::vector<RhwVertex> ring = Ring();
  // Three vertices that are never drawn come first: the base vertex steps over them.
  std::vector<RhwVertex> padded(3, RhwVertex{0, 0, 0.5f, 1, D3DCOLOR_XRGB(255, 255, 255)});
  padded.insert(padded.end(), ring.begin(), ring.end());
  IDirect3DVertexBuffer9* vb = Buffer(padded.data(), UINT(padded.size() * sizeof(RhwVertex)));
  dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  for (const Case& c : cases) {
    for (D3DFORMAT format : {D3DFMT_INDEX16, D3DFMT_INDEX32}) {
      SCOPED_TRACE(std::string(c.name) + (format == D3DFMT_INDEX32 ? ", 32-bit" : ", 16-bit"));
      std::vector<RhwVertex> expanded;
      for (uint32_t i : c.indices) expanded.push_back(ring[i]);
      ClearTo(D3DCOLOR_XRGB(0, 0, 0));
      ASSERT_EQ(D3D_OK, Draw(c.type, kFvf, expanded, c.primitives));
      const kvrtest::Image expected = kvrtest::ReadBackBuffer(dev);

      // Two indices of padding before the drawn ones: the start index steps over them.
      std::vector<uint32_t> indices = {5, 5};
      indices.insert(indices.end(), c.indices.begin(), c.indices.end());
      ClearTo(D3DCOLOR_XRGB(0, 0, 0));
      dev->SetFVF(kFvf);
      dev->SetStreamSource(0, vb, 0, sizeof(RhwVertex));
      ASSERT_EQ(D3D_OK, dev->SetIndices(Indices(indices, format)));
      dev->BeginScene();
      EXPECT_EQ(D3D_OK, dev->DrawIndexedPrimitive(c.type, 3, 0, 8, 2, c.primitives));
      dev->EndScene();
      EXPECT_TRUE(d3d9test::MatchesImage(dev, expected, std::string("indexed-") + c.name));

      // The same from the program's memory.
      ClearTo(D3DCOLOR_XRGB(0, 0, 0));
      dev->BeginScene();
      EXPECT_EQ(D3D_OK, dev->DrawIndexedPrimitiveUP(c.type, 0, 8, c.primitives, indices.data() + 2,
                                                    D3DFMT_INDEX32, ring.data(), sizeof(RhwVertex)));
      dev->EndScene();
      EXPECT_TRUE(d3d9test::MatchesImage(dev, expected, std::string("indexed-up-") + c.name));
    }
  }
}

TEST_F(IndexedDraw, WhatWouldReadOutsideABufferIsRefusedAndDrawsNothing) {
  const std::vector<RhwVertex> quad = Quad(0, 0, 64, 48, D3DCOLOR_XRGB(255, 0, 0));  // six vertices
  IDirect3DVertexBuffer9* vb = Buffer(quad.data(), UINT(quad.size() * sizeof(RhwVertex)));
  // 600 indices: whole blocks of them and ragged ends. All name vertex 0..5 except index 590.
  std::vector<uint32_t> many(600);
  for (size_t i = 0; i < many.size(); ++i) many[i] = i % 6;
  many[590] = 6;
  IDirect3DIndexBuffer9* ib16 = Indices(many, D3DFMT_INDEX16);
  IDirect3DIndexBuffer9* ib32 = Indices({0, 1, 2, 3, 4, 5, 0xFFFFFFFFu}, D3DFMT_INDEX32);
  struct Case {
    const char* name;
    IDirect3DIndexBuffer9* ib;
    D3DPRIMITIVETYPE type;
    INT base;
    UINT offset, start, primitives;
    bool inScene;
    HRESULT result;
  };
  const Case cases[] = {
      {"a good draw", ib16, D3DPT_TRIANGLELIST, 0, 0, 0, 2, true, D3D_OK},
      {"whole blocks before the bad index", ib16, D3DPT_TRIANGLELIST, 0, 0, 0, 196, true, D3D_OK},
      {"a block holding the bad index", ib16, D3DPT_TRIANGLELIST, 0, 0, 0, 197, true, D3DERR_INVALIDCALL},
      {"the bad index at a ragged end", ib16, D3DPT_TRIANGLELIST, 0, 0, 588, 1, true, D3DERR_INVALIDCALL},
      {"after the bad index", ib16, D3DPT_TRIANGLELIST, 0, 0, 591, 3, true, D3D_OK},
      {"no indices", nullptr, D3DPT_TRIANGLELIST, 0, 0, 0, 2, true, D3DERR_INVALIDCALL},
      {"outside a scene", ib16, D3DPT_TRIANGLELIST, 0, 0, 0, 2, false, D3DERR_INVALIDCALL},
      {"an unknown primitive type", ib16, static_cast<D3DPRIMITIVETYPE>(0), 0, 0, 0, 2, true, D3DERR_INVALIDCALL},
      {"past the last index", ib16, D3DPT_TRIANGLELIST, 0, 0, 598, 1, true, D3DERR_INVALIDCALL},
      {"a start index that wraps", ib16, D3DPT_TRIANGLELIST, 0, 0, 0xFFFFFFFFu, 1, true, D3DERR_INVALIDCALL},
      {"a base vertex past the buffer", ib16, D3DPT_TRIANGLELIST, 1, 0, 0, 2, true, D3DERR_INVALIDCALL},
      {"a base vertex before the buffer", ib16, D3DPT_TRIANGLELIST, -1, 0, 6, 1, true, D3DERR_INVALIDCALL},
      {"a base vertex taking the offset back to the start", ib16, D3DPT_TRIANGLELIST, -1, sizeof(RhwVertex), 0, 2,
       true, D3D_OK},
      {"a 32-bit index of 2^32 - 1", ib32, D3DPT_TRIANGLELIST, 0, 0, 4, 1, true, D3DERR_INVALIDCALL},
      {"a huge base vertex", ib32, D3DPT_TRIANGLELIST, 0x7FFFFFFF, 0, 0, 1, true, D3DERR_INVALIDCALL},
      {"no primitives of a list", ib16, D3DPT_TRIANGLELIST, 0, 0, 0, 0, true, D3D_OK},
  };
  dev->SetFVF(kFvf);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearTo(D3DCOLOR_XRGB(0, 0, 255));
    dev->SetStreamSource(0, vb, c.offset, sizeof(RhwVertex));
    dev->SetIndices(c.ib);
    if (c.inScene) dev->BeginScene();
    EXPECT_EQ(c.result, dev->DrawIndexedPrimitive(c.type, c.base, 0, 6, c.start, c.primitives));
    if (c.inScene) dev->EndScene();
    const uint32_t centre = kvrtest::ReadBackBuffer(dev).At(32, 24) & 0xFFFFFF;
    EXPECT_EQ(centre, c.result == D3D_OK && c.primitives ? 0xFF0000u : 0x0000FFu);
  }
}

TEST_F(IndexedDraw, IndicesRewrittenAfterADrawAreCheckedAgain) {
  const std::vector<RhwVertex> quad = Quad(0, 0, 64, 48, D3DCOLOR_XRGB(0, 255, 0));
  IDirect3DVertexBuffer9* vb = Buffer(quad.data(), UINT(quad.size() * sizeof(RhwVertex)));
  std::vector<uint32_t> indices(1024);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = i % 6;
  IDirect3DIndexBuffer9* ib = Indices(indices, D3DFMT_INDEX16, D3DPOOL_DEFAULT);
  dev->SetFVF(kFvf);
  dev->SetStreamSource(0, vb, 0, sizeof(RhwVertex));
  dev->SetIndices(ib);
  dev->BeginScene();
  EXPECT_EQ(D3D_OK, dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6, 0, 340));
  Write(ib, 700, {60000}, D3DFMT_INDEX16);
  EXPECT_EQ(D3DERR_INVALIDCALL, dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6, 0, 340));
  EXPECT_EQ(D3D_OK, dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6, 702, 2));
  Write(ib, 700, {4}, D3DFMT_INDEX16);
  EXPECT_EQ(D3D_OK, dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6, 0, 340));
  dev->EndScene();
}

TEST_F(IndexedDraw, UserIndicesLeaveStreamZeroAndIndicesUnsetAndStayInsideTheirVertices) {
  const std::vector<RhwVertex> quad = Quad(0, 0, 64, 48, D3DCOLOR_XRGB(255, 255, 0));
  const uint16_t six[6] = {0, 1, 2, 3, 4, 5};
  const uint16_t past[3] = {0, 1, 6};
  dev->SetFVF(kFvf);
  IDirect3DIndexBuffer9* ib = Indices({0, 1, 2}, D3DFMT_INDEX16);
  dev->SetIndices(ib);
  ClearTo(D3DCOLOR_XRGB(0, 0, 0));
  ASSERT_EQ(D3D_OK, dev->BeginScene());
  EXPECT_EQ(D3D_OK, dev->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 6, 2, six, D3DFMT_INDEX16, quad.data(),
                                                sizeof(RhwVertex)));
  IDirect3DIndexBuffer9* got = ib;
  EXPECT_EQ(D3D_OK, dev->GetIndices(&got));
  EXPECT_EQ(got, nullptr);
  IDirect3DVertexBuffer9* stream = reinterpret_cast<IDirect3DVertexBuffer9*>(1);
  UINT offset = 7, stride = 7;
  ASSERT_EQ(D3D_OK, dev->GetStreamSource(0, &stream, &offset, &stride));
  EXPECT_EQ(stream, nullptr);
  const struct {
    const char* name;
    UINT minVertex, numVertices;
    const void* indices;
    D3DFORMAT format;
    const void* vertices;
    UINT stride;
  } refused[] = {
      {"an index past MinVertexIndex + NumVertices", 0, 6, past, D3DFMT_INDEX16, quad.data(), sizeof(RhwVertex)},
      {"no vertices", 0, 0, six, D3DFMT_INDEX16, quad.data(), sizeof(RhwVertex)},
      {"a format that is not an index format", 0, 6, six, D3DFMT_A8R8G8B8, quad.data(), sizeof(RhwVertex)},
      {"no index data", 0, 6, nullptr, D3DFMT_INDEX16, quad.data(), sizeof(RhwVertex)},
      {"no vertex data", 0, 6, six, D3DFMT_INDEX16, nullptr, sizeof(RhwVertex)},
      {"no stride", 0, 6, six, D3DFMT_INDEX16, quad.data(), 0},
      {"vertices of gigabytes", 0xF0000000u, 6, six, D3DFMT_INDEX16, quad.data(), sizeof(RhwVertex)},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(D3DERR_INVALIDCALL,
              dev->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, r.minVertex, r.numVertices, 1, r.indices, r.format,
                                          r.vertices, r.stride));
  }
  dev->EndScene();
  EXPECT_EQ(kvrtest::ReadBackBuffer(dev).At(32, 24) & 0xFFFFFF, 0xFFFF00u);
}

TEST_F(IndexedDraw, BuffersAreMadeAndDescribedAsDirect3DDoes) {
  const struct {
    UINT length;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    HRESULT result;
  } cases[] = {
      {12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, D3D_OK},
      {6, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, D3DFMT_INDEX32, D3DPOOL_DEFAULT, D3D_OK},
      {1, 0, D3DFMT_INDEX16, D3DPOOL_SYSTEMMEM, D3D_OK},
      {0, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
      {12, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
      {12, 0, D3DFMT_INDEX16, D3DPOOL_SCRATCH, D3DERR_INVALIDCALL},
      {12, D3DUSAGE_RENDERTARGET, D3DFMT_INDEX16, D3DPOOL_DEFAULT, D3DERR_INVALIDCALL},
  };
  for (const auto& c : cases) {
    IDirect3DIndexBuffer9* ib = reinterpret_cast<IDirect3DIndexBuffer9*>(1);
    ASSERT_EQ(c.result, dev->CreateIndexBuffer(c.length, c.usage, c.format, c.pool, &ib, nullptr));
    if (FAILED(c.result)) {
      EXPECT_EQ(ib, nullptr);
      continue;
    }
    D3DINDEXBUFFER_DESC desc;
    ASSERT_EQ(D3D_OK, ib->GetDesc(&desc));
    EXPECT_EQ(desc.Format, c.format);
    EXPECT_EQ(desc.Type, D3DRTYPE_INDEXBUFFER);
    EXPECT_EQ(desc.Usage, c.usage);
    EXPECT_EQ(desc.Pool, c.pool);
    EXPECT_EQ(desc.Size, c.length);
    void* p = nullptr;
    EXPECT_EQ(D3DERR_INVALIDCALL, ib->Lock(c.length, 1, &p, 0));
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(D3DERR_INVALIDCALL, ib->Unlock());
    EXPECT_EQ(ib->Release(), 0u);
  }
}

TEST_F(IndexedDraw, StateBlocksRecordAndApplyTheIndices) {
  IDirect3DIndexBuffer9* a = Indices({0, 1, 2}, D3DFMT_INDEX16);
  IDirect3DIndexBuffer9* b = Indices({2, 1, 0}, D3DFMT_INDEX32);
  ASSERT_EQ(D3D_OK, dev->BeginStateBlock());
  dev->SetIndices(a);
  IDirect3DStateBlock9* block = nullptr;
  ASSERT_EQ(D3D_OK, dev->EndStateBlock(&block));
  IDirect3DIndexBuffer9* got = nullptr;
  dev->GetIndices(&got);
  EXPECT_EQ(got, nullptr);  // recording sets nothing on the device
  dev->SetIndices(b);
  block->Apply();
  dev->GetIndices(&got);
  EXPECT_EQ(got, a);
  if (got) got->Release();
  dev->SetIndices(b);
  block->Capture();
  dev->SetIndices(nullptr);
  block->Apply();
  dev->GetIndices(&got);
  EXPECT_EQ(got, b);
  if (got) got->Release();
  block->Release();
}

}  // namespace
