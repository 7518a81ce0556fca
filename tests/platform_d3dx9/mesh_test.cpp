// ID3DXMesh, the D3DX shapes and meshes loaded from .x files on a headless device. The figures
// marked "Wine" are what Wine's d3dx9 gives for the same calls.
#include <d3dx9.h>
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

class MeshOnDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    device_ = testsupport::CreateTestDevice(64, 64);
    ASSERT_NE(device_, nullptr);
  }
  IDirect3DDevice9* Device() { return device_->device; }
  static std::vector<float> Vertex(ID3DXMesh* mesh, DWORD v) {
    float* data = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&data));
    const DWORD floats = mesh->GetNumBytesPerVertex() / 4;
    std::vector<float> out(data + v * floats, data + (v + 1) * floats);
    mesh->UnlockVertexBuffer();
    return out;
  }
  static std::vector<DWORD> Indices(ID3DXMesh* mesh) {
    void* data = nullptr;
    mesh->LockIndexBuffer(0, &data);
    std::vector<DWORD> out;
    for (DWORD i = 0; i < mesh->GetNumFaces() * 3; ++i)
      out.push_back((mesh->GetOptions() & D3DXMESH_32BIT) ? static_cast<DWORD*>(data)[i] : static_cast<WORD*>(data)[i]);
    mesh->UnlockIndexBuffer();
    return out;
  }
  static std::vector<DWORD> Attributes(ID3DXMesh* mesh) {
    DWORD* data = nullptr;
    mesh->LockAttributeBuffer(0, &data);
    std::vector<DWORD> out(data, data + mesh->GetNumFaces());
    mesh->UnlockAttributeBuffer();
    return out;
  }
  std::unique_ptr<testsupport::TestDevice> device_;
};

TEST_F(MeshOnDevice, ShapesHaveWinesVerticesAndFaces) {
  using Make = std::function<HRESULT(IDirect3DDevice9*, ID3DXMesh**)>;
  const struct {
    const char* name;
    Make make;
    DWORD vertices, faces;
    DWORD probe;              // a vertex to compare
    float expected[6];        // its position and normal (Wine)
    DWORD firstFace[3];       // (Wine)
  } kShapes[] = {
      {"box 1 2 3", [](auto d, auto m) { return D3DXCreateBox(d, 1, 2, 3, m, nullptr); }, 24, 12, 8,
       {0.5f, 1, -1.5f, 1, 0, 0}, {0, 1, 2}},
      {"sphere 1.5 6 4", [](auto d, auto m) { return D3DXCreateSphere(d, 1.5f, 6, 4, m, nullptr); }, 20, 36, 2,
       {0.918558598f, 0.530330062f, 1.06066012f, 0.612372398f, 0.353553385f, 0.707106769f}, {0, 2, 1}},
      {"cylinder 1 0.5 2 5 2", [](auto d, auto m) { return D3DXCreateCylinder(d, 1, 0.5f, 2, 5, 2, m, nullptr); }, 27,
       30, 12, {0.71329242f, 0.231762752f, 0, 0.92266041f, 0.299790531f, 0.242535636f}, {0, 1, 2}},
      {"torus 0.25 1 5 4", [](auto d, auto m) { return D3DXCreateTorus(d, 0.25f, 1, 5, 4, m, nullptr); }, 20, 40, 7,
       {-3.4870574e-08f, -0.797745705f, 0.146946296f, 3.53632572e-08f, 0.809017062f, 0.587785184f}, {0, 1, 5}},
      {"polygon 1.5 5", [](auto d, auto m) { return D3DXCreatePolygon(d, 1.5f, 5, m, nullptr); }, 6, 5, 2,
       {0.394298285f, 1.21352553f, 0, 0, 0, 1}, {0, 1, 2}},
      {"teapot", [](auto d, auto m) { return D3DXCreateTeapot(d, m, nullptr); }, 14, 24, 2,
       {0.707106769f, 0, 0.707106769f, 0.707106769f, 0, 0.707106769f}, {0, 2, 1}},
  };
  for (const auto& s : kShapes) {
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(s.make(Device(), &mesh), D3D_OK) << s.name;
    EXPECT_EQ(mesh->GetNumVertices(), s.vertices) << s.name;
    EXPECT_EQ(mesh->GetNumFaces(), s.faces) << s.name;
    EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL)) << s.name;
    EXPECT_EQ(mesh->GetOptions(), DWORD(D3DXMESH_MANAGED)) << s.name;
    const std::vector<float> v = Vertex(mesh, s.probe);
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(v[k], s.expected[k], 2e-6) << s.name << " component " << k;
    const std::vector<DWORD> indices = Indices(mesh);
    EXPECT_EQ(std::vector<DWORD>(indices.begin(), indices.begin() + 3), std::vector<DWORD>(s.firstFace, s.firstFace + 3))
        << s.name;
    for (DWORD i : indices) EXPECT_LT(i, s.vertices) << s.name;
    mesh->Release();
  }
}

TEST_F(MeshOnDevice, ShapesRefuseWhatCannotBeMade) {
  ID3DXMesh* mesh = nullptr;
  const struct {
    const char* name;
    HRESULT hr;
  } kCases[] = {
      {"negative box", D3DXCreateBox(Device(), -1, 1, 1, &mesh, nullptr)},
      {"sphere of one slice", D3DXCreateSphere(Device(), 1, 1, 2, &mesh, nullptr)},
      {"sphere of one stack", D3DXCreateSphere(Device(), 1, 3, 1, &mesh, nullptr)},
      {"negative sphere", D3DXCreateSphere(Device(), -1, 3, 2, &mesh, nullptr)},
      {"cylinder of no stack", D3DXCreateCylinder(Device(), 1, 1, 1, 3, 0, &mesh, nullptr)},
      {"torus of two sides", D3DXCreateTorus(Device(), 1, 1, 2, 3, &mesh, nullptr)},
      {"polygon of two sides", D3DXCreatePolygon(Device(), 1, 2, &mesh, nullptr)},
      {"no device", D3DXCreateTeapot(nullptr, &mesh, nullptr)},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.hr, D3DERR_INVALIDCALL) << c.name;
  EXPECT_EQ(D3DXCreateSphere(Device(), 1, 0x10000, 0x10000, &mesh, nullptr), E_OUTOFMEMORY);
  EXPECT_EQ(mesh, nullptr);
}

TEST_F(MeshOnDevice, ShapesPastSixteenBitIndicesGetThirtyTwo) {
  ID3DXMesh* mesh = nullptr;
  ASSERT_EQ(D3DXCreateSphere(Device(), 1, 300, 300, &mesh, nullptr), D3D_OK);
  EXPECT_EQ(mesh->GetNumVertices(), 89702u);  // Wine's count, whose indices stay 16-bit and wrap
  EXPECT_EQ(mesh->GetOptions(), DWORD(D3DXMESH_MANAGED | D3DXMESH_32BIT));
  DWORD highest = 0;
  for (DWORD i : Indices(mesh)) highest = std::max(highest, i);
  EXPECT_EQ(highest, 89701u);
  mesh->Release();
}

TEST_F(MeshOnDevice, BoxAdjacencyIsWines) {
  ID3DXMesh* mesh = nullptr;
  ID3DXBuffer* adjacency = nullptr;
  ASSERT_EQ(D3DXCreateBox(Device(), 1, 1, 1, &mesh, &adjacency), D3D_OK);
  const DWORD kWine[36] = {6, 9, 1, 2, 10, 0, 1, 9, 3, 4, 10, 2, 3, 8, 5, 7, 11, 4,
                           0, 11, 7, 5, 8, 6, 7, 4, 9, 2, 0, 8, 1, 3, 11, 5, 6, 10};
  ASSERT_EQ(adjacency->GetBufferSize(), sizeof(kWine));
  EXPECT_EQ(std::memcmp(adjacency->GetBufferPointer(), kWine, sizeof(kWine)), 0);
  adjacency->Release();
  mesh->Release();
}

TEST_F(MeshOnDevice, AttributeSortReordersFacesAndMakesTheTable) {
  ID3DXMesh* mesh = nullptr;
  ASSERT_EQ(D3DXCreateMeshFVF(4, 6, D3DXMESH_MANAGED, D3DFVF_XYZ, Device(), &mesh), D3D_OK);
  DWORD* attributes = nullptr;
  mesh->LockAttributeBuffer(0, &attributes);
  const DWORD kAttributes[4] = {2, 0, 2, 1};
  std::memcpy(attributes, kAttributes, sizeof(kAttributes));
  mesh->UnlockAttributeBuffer();
  WORD* indices = nullptr;
  mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&indices));
  for (int i = 0; i < 12; ++i) indices[i] = WORD(i % 6);
  mesh->UnlockIndexBuffer();
  DWORD size = 99;
  ASSERT_EQ(mesh->GetAttributeTable(nullptr, &size), D3D_OK);
  EXPECT_EQ(size, 0u);

  DWORD remap[4] = {};
  ASSERT_EQ(mesh->OptimizeInplace(D3DXMESHOPT_ATTRSORT, nullptr, nullptr, remap, nullptr), D3D_OK);
  // Wine: the faces' new order, indices and attributes, and the table.
  EXPECT_EQ(std::vector<DWORD>(remap, remap + 4), (std::vector<DWORD>{1, 3, 0, 2}));
  EXPECT_EQ(Indices(mesh), (std::vector<DWORD>{3, 4, 5, 3, 4, 5, 0, 1, 2, 0, 1, 2}));
  EXPECT_EQ(Attributes(mesh), (std::vector<DWORD>{0, 1, 2, 2}));
  ASSERT_EQ(mesh->GetAttributeTable(nullptr, &size), D3D_OK);
  ASSERT_EQ(size, 3u);
  D3DXATTRIBUTERANGE table[3];
  mesh->GetAttributeTable(table, &size);
  const DWORD kWine[3][5] = {{0, 0, 1, 3, 3}, {1, 1, 1, 3, 3}, {2, 2, 2, 0, 3}};
  for (int r = 0; r < 3; ++r)
    EXPECT_EQ(std::memcmp(&table[r], kWine[r], sizeof(kWine[r])), 0) << "range " << r;
  EXPECT_EQ(mesh->OptimizeInplace(0, nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
  mesh->Release();
}

TEST_F(MeshOnDevice, CloneKeepsWhatBothFormatsHoldAndWidensIndices) {
  ID3DXMesh* box = nullptr;
  ASSERT_EQ(D3DXCreateBox(Device(), 2, 2, 2, &box, nullptr), D3D_OK);
  ID3DXMesh* clone = nullptr;
  ASSERT_EQ(box->CloneMeshFVF(D3DXMESH_32BIT | D3DXMESH_SYSTEMMEM, D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_NORMAL, Device(),
                              &clone), D3D_OK);
  EXPECT_EQ(clone->GetNumBytesPerVertex(), 28u);
  EXPECT_EQ(clone->GetOptions(), DWORD(D3DXMESH_32BIT | D3DXMESH_SYSTEMMEM));
  EXPECT_EQ(Indices(clone), Indices(box));
  const std::vector<float> a = Vertex(box, 5), b = Vertex(clone, 5);
  EXPECT_EQ(std::vector<float>(b.begin(), b.begin() + 6), a);
  EXPECT_EQ(b[6], 0.0f);  // the diffuse colour the box did not have
  ID3DXMesh* narrow = nullptr;
  ASSERT_EQ(clone->CloneMeshFVF(0, D3DFVF_XYZ, Device(), &narrow), D3D_OK);
  EXPECT_EQ(Indices(narrow), Indices(box));
  narrow->Release();
  clone->Release();
  box->Release();
}

TEST_F(MeshOnDevice, DrawSubsetDrawsTheFacesOfOneAttribute) {
  ID3DXMesh* mesh = nullptr;
  ASSERT_EQ(D3DXCreateBox(Device(), 1, 1, 1, &mesh, nullptr), D3D_OK);
  DWORD* attributes = nullptr;
  mesh->LockAttributeBuffer(0, &attributes);
  for (DWORD f = 0; f < 12; ++f) attributes[f] = f < 4 ? 1 : 0;
  mesh->UnlockAttributeBuffer();
  ASSERT_EQ(Device()->BeginScene(), D3D_OK);
  const struct {
    DWORD subset;
    uint64_t primitives;
  } kSubsets[] = {{0, 8}, {1, 4}, {7, 0}};
  for (const auto& s : kSubsets) {
    kvrtest::ResetCounters(Device());
    EXPECT_EQ(mesh->DrawSubset(s.subset), D3D_OK);
    EXPECT_EQ(kvrtest::GetCounters(Device()).primitives, s.primitives) << "subset " << s.subset;
  }
  // A table set by the program decides which faces a subset has.
  const D3DXATTRIBUTERANGE range = {7, 2, 3, 0, 24};
  ASSERT_EQ(mesh->SetAttributeTable(&range, 1), D3D_OK);
  kvrtest::ResetCounters(Device());
  mesh->DrawSubset(7);
  EXPECT_EQ(kvrtest::GetCounters(Device()).primitives, 3u);
  Device()->EndScene();
  mesh->Release();
}

TEST_F(MeshOnDevice, XFileBecomesOneMeshWithItsMaterials) {
  const std::string text =
      "xof 0303txt 0032\n"
      "Mesh { 5; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;, 0.5;0.5;1.0;;\n"
      " 3; 3;0,1,2;, 3;0,2,3;, 3;1,4,2;;\n"
      " MeshNormals { 2; 0.0;0.0;1.0;, 1.0;0.0;0.0;; 3; 3;0,0,0;, 3;0,0,0;, 3;1,1,1;; }\n"
      " MeshTextureCoords { 5; 0.0;1.0;, 1.0;1.0;, 1.0;0.0;, 0.0;0.0;, 0.5;0.5;; }\n"
      " MeshMaterialList { 2; 3; 1, 0, 1;;\n"
      "  Material { 1.0;0.0;0.0;1.0;; 12.0; 0.5;0.5;0.5;; 0.1;0.0;0.0;; }\n"
      "  Material { 0.0;0.0;1.0;0.5;; 5.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; TextureFilename { \"stripes.bmp\"; } } } }\n"
      "Mesh { 3; 0;0;2;, 1;0;2;, 0;1;2;; 1; 3;0,1,2;; }\n";
  ID3DXMesh* mesh = nullptr;
  ID3DXBuffer* materials = nullptr;
  DWORD count = 0;
  ASSERT_EQ(D3DXLoadMeshFromXInMemory(text.data(), DWORD(text.size()), D3DXMESH_MANAGED, Device(), nullptr, &materials,
                                      nullptr, &count, &mesh), D3D_OK);
  EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
  // Wine, for the first mesh: two vertices repeated for their second normal, faces sorted by material.
  EXPECT_EQ(mesh->GetNumVertices(), 7u + 3u);
  const std::vector<DWORD> indices = Indices(mesh);
  EXPECT_EQ(std::vector<DWORD>(indices.begin(), indices.begin() + 9), (std::vector<DWORD>{0, 2, 3, 0, 1, 2, 5, 4, 6}));
  EXPECT_EQ(Attributes(mesh), (std::vector<DWORD>{0, 1, 1, 2}));
  EXPECT_EQ(Vertex(mesh, 5), (std::vector<float>{1, 0, 0, 1, 0, 0, 1, 1}));
  ASSERT_EQ(count, 3u);
  const D3DXMATERIAL* m = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
  EXPECT_EQ(m[0].MatD3D.Power, 12.0f);
  EXPECT_EQ(m[0].pTextureFilename, nullptr);
  ASSERT_NE(m[1].pTextureFilename, nullptr);
  EXPECT_STREQ(m[1].pTextureFilename, "stripes.bmp");
  // Wine's material for a mesh without a list.
  EXPECT_EQ(m[2].MatD3D.Diffuse.r, 0.5f);
  EXPECT_EQ(m[2].MatD3D.Diffuse.a, 0.0f);
  EXPECT_EQ(m[2].MatD3D.Specular.g, 0.5f);
  materials->Release();
  mesh->Release();

  const char kCompressed[] = "xof 0303tzip0032\0\0\0\0";
  EXPECT_EQ(D3DXLoadMeshFromXInMemory(kCompressed, sizeof(kCompressed), 0, Device(), nullptr, nullptr, nullptr,
                                      nullptr, &mesh), E_FAIL);
  EXPECT_EQ(mesh, nullptr);
  EXPECT_EQ(D3DXLoadMeshFromXA("no such file.x", 0, Device(), nullptr, nullptr, nullptr, nullptr, &mesh),
            D3DXERR_INVALIDDATA);
}

}  // namespace
