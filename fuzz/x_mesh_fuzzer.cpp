// A .x file through D3DXLoadMeshFromXInMemory on a headless device, as small programs load their
// meshes: what it makes must agree with itself (counts, materials, every index inside the mesh)
// and draw, subset by subset, and clone to another FVF.
#include <d3dx9.h>

#include "fuzz_support.h"

namespace {
IDirect3DDevice9* device = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzzsupport::MakeScratchDir(argc, argv);
  device = fuzzsupport::CreateHeadlessDevice();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ID3DXMesh* mesh = nullptr;
  ID3DXBuffer* materials = nullptr;
  ID3DXBuffer* adjacency = nullptr;
  DWORD count = 0;
  const HRESULT hr = D3DXLoadMeshFromXInMemory(data, DWORD(size), D3DXMESH_MANAGED, device, &adjacency, &materials,
                                               nullptr, &count, &mesh);
  if (SUCCEEDED(hr) != (mesh != nullptr)) fuzzsupport::Broken("result and mesh disagree");
  if (!mesh) return 0;
  if (!materials || materials->GetBufferSize() < count * sizeof(D3DXMATERIAL)) fuzzsupport::Broken("materials short");
  if (!adjacency || adjacency->GetBufferSize() != mesh->GetNumFaces() * 3 * sizeof(DWORD))
    fuzzsupport::Broken("adjacency of another size");
  const D3DXMATERIAL* m = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
  for (DWORD i = 0; i < count; ++i) {
    const char* name = m[i].pTextureFilename;
    const char* base = static_cast<const char*>(materials->GetBufferPointer());
    if (name && (name < base || name >= base + materials->GetBufferSize())) fuzzsupport::Broken("name outside buffer");
  }
  void* indices = nullptr;
  mesh->LockIndexBuffer(0, &indices);
  const bool wide = mesh->GetOptions() & D3DXMESH_32BIT;
  for (DWORD i = 0; i < mesh->GetNumFaces() * 3; ++i) {
    const DWORD index = wide ? static_cast<DWORD*>(indices)[i] : static_cast<WORD*>(indices)[i];
    if (index >= mesh->GetNumVertices()) fuzzsupport::Broken("an index past the vertices");
  }
  mesh->UnlockIndexBuffer();
  device->BeginScene();
  for (DWORD i = 0; i < count && i < 8; ++i) mesh->DrawSubset(i);
  device->EndScene();
  ID3DXMesh* clone = nullptr;
  if (SUCCEEDED(mesh->CloneMeshFVF(D3DXMESH_32BIT, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE, device, &clone)))
    clone->Release();
  adjacency->Release();
  materials->Release();
  mesh->Release();
  return 0;
}
