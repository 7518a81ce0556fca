// D3DXLoadMeshFromXA/W and D3DXLoadMeshFromXInMemory: every mesh of a .x file in one ID3DXMesh.
// Each mesh's vertices keep their order; a vertex whose corners carry different normals is repeated
// after them for each other normal. The FVF is D3DFVF_XYZ, with D3DFVF_NORMAL and D3DFVF_TEX1 when a
// mesh has normals or texture coordinates. Faces are sorted by material and the attribute table made;
// materials come in file order, a mesh without a material list getting the default material (grey,
// half-transparent diffuse, grey specular). Indices are 32-bit with D3DXMESH_32BIT or past 65536
// vertices. No effect instances are made: *effect_instances is set to null.
// A refused file fails with E_FAIL and a line on the debugging output saying why.
#include <d3dx9.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "d3dx9/mesh_object.h"
#include "d3dx9/regular_file.h"
#include "d3dx9/x_file_reader.h"
#include "win32/wide_text.h"

namespace kvrmesh {
namespace {

D3DMATERIAL9 DefaultMaterial() {
  D3DMATERIAL9 m;
  std::memset(&m, 0, sizeof(m));
  m.Diffuse = {0.5f, 0.5f, 0.5f, 0.0f};
  m.Specular = {0.5f, 0.5f, 0.5f, 0.0f};
  return m;
}

HRESULT Refuse(const std::string& what, const std::string& why) {
  OutputDebugStringA(("D3DXLoadMeshFromX: " + what + ": " + why + "\n").c_str());
  return E_FAIL;
}

// The materials as D3DXMATERIALs followed by their texture names, which they point at.
ID3DXBuffer* MaterialBuffer(const std::vector<kvrxfile::Material>& materials) {
  size_t bytes = materials.size() * sizeof(D3DXMATERIAL);
  for (const auto& m : materials) bytes += m.texture.empty() ? 0 : m.texture.size() + 1;
  ID3DXBuffer* buffer = NewBuffer(nullptr, bytes);
  if (!buffer) return nullptr;
  char* base = static_cast<char*>(buffer->GetBufferPointer());
  char* names = base + materials.size() * sizeof(D3DXMATERIAL);
  for (size_t i = 0; i < materials.size(); ++i) {
    D3DXMATERIAL out;
    out.MatD3D = materials[i].material;
    out.pTextureFilename = nullptr;
    if (!materials[i].texture.empty()) {
      std::memcpy(names, materials[i].texture.c_str(), materials[i].texture.size() + 1);
      out.pTextureFilename = names;
      names += materials[i].texture.size() + 1;
    }
    std::memcpy(base + i * sizeof(D3DXMATERIAL), &out, sizeof(out));
  }
  return buffer;
}

HRESULT Load(const uint8_t* begin, const uint8_t* end, const std::string& what, DWORD flags, IDirect3DDevice9* device,
             ID3DXBuffer** adjacency, ID3DXBuffer** materials, ID3DXBuffer** effect_instances, DWORD* material_count,
             ID3DXMesh** mesh) {
  if (!device || !mesh) return D3DERR_INVALIDCALL;
  *mesh = nullptr;
  if (adjacency) *adjacency = nullptr;
  if (materials) *materials = nullptr;
  if (effect_instances) *effect_instances = nullptr;
  kvrxfile::File file;
  std::string error;
  if (!kvrxfile::ParseXFile(begin, end, file, error)) return Refuse(what, error);

  bool normals = false, uvs = false;
  for (const auto& m : file.meshes) {
    normals = normals || !m.normals.empty();
    uvs = uvs || !m.uvs.empty();
  }
  const DWORD fvf = D3DFVF_XYZ | (normals ? D3DFVF_NORMAL : 0) | (uvs ? D3DFVF_TEX1 : 0);
  const size_t floats = 3 + (normals ? 3 : 0) + (uvs ? 2 : 0);

  // Vertices as floats, triangles as indices into them, one attribute per triangle.
  std::vector<float> vertices;
  std::vector<uint32_t> indices, attributes;
  std::vector<kvrxfile::Material> allMaterials;
  for (const auto& m : file.meshes) {
    const uint32_t first = uint32_t(vertices.size() / floats), positions = uint32_t(m.positions.size() / 3);
    const uint32_t firstMaterial = uint32_t(allMaterials.size());
    for (uint32_t v = 0; v < positions; ++v) {
      vertices.insert(vertices.end(), &m.positions[size_t(v) * 3], &m.positions[size_t(v) * 3] + 3);
      if (normals) vertices.insert(vertices.end(), 3, 0.0f);
      if (uvs) {
        if (m.uvs.empty()) vertices.insert(vertices.end(), 2, 0.0f);
        else vertices.insert(vertices.end(), &m.uvs[size_t(v) * 2], &m.uvs[size_t(v) * 2] + 2);
      }
    }
    std::vector<uint32_t> normalOf(positions, 0xFFFFFFFF);  // the normal each position's vertex carries
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> repeated;
    for (size_t c = 0; c < m.triangles.size(); ++c) {
      const uint32_t p = m.triangles[c];
      uint32_t vertex = first + p;
      if (!m.normalIndex.empty()) {
        const uint32_t n = m.normalIndex[c];
        if (normalOf[p] == 0xFFFFFFFF) {
          normalOf[p] = n;
          std::memcpy(&vertices[size_t(vertex) * floats + 3], &m.normals[size_t(n) * 3], 3 * sizeof(float));
        } else if (normalOf[p] != n) {
          auto found = repeated.find({p, n});
          if (found == repeated.end()) {
            const uint32_t copy = uint32_t(vertices.size() / floats);
            vertices.insert(vertices.end(), vertices.begin() + ptrdiff_t(size_t(vertex) * floats),
                            vertices.begin() + ptrdiff_t(size_t(vertex) * floats + floats));
            std::memcpy(&vertices[size_t(copy) * floats + 3], &m.normals[size_t(n) * 3], 3 * sizeof(float));
            found = repeated.emplace(std::make_pair(p, n), copy).first;
          }
          vertex = found->second;
        }
      }
      indices.push_back(vertex);
    }
    for (uint32_t a : m.attributes) attributes.push_back(firstMaterial + a);
    if (m.materials.empty()) allMaterials.push_back({DefaultMaterial(), std::string()});
    allMaterials.insert(allMaterials.end(), m.materials.begin(), m.materials.end());
  }

  const DWORD vertexCount = DWORD(vertices.size() / floats), faceCount = DWORD(indices.size() / 3);
  if (vertexCount > kvrxfile::kMaxVertices * 2) return Refuse(what, "more vertices than the limit");
  if (vertexCount > 0x10000) flags |= D3DXMESH_32BIT;
  ID3DXMesh* made = nullptr;
  HRESULT hr = D3DXCreateMeshFVF(faceCount, vertexCount, flags, fvf, device, &made);
  if (FAILED(hr)) return faceCount == 0 ? Refuse(what, "no faces") : hr;
  void* data = nullptr;
  made->LockVertexBuffer(0, &data);
  std::memcpy(data, vertices.data(), vertices.size() * sizeof(float));
  made->UnlockVertexBuffer();
  made->LockIndexBuffer(0, &data);
  for (size_t i = 0; i < indices.size(); ++i) {
    if (flags & D3DXMESH_32BIT) {
      static_cast<uint32_t*>(data)[i] = indices[i];
    } else {
      static_cast<uint16_t*>(data)[i] = uint16_t(indices[i]);
    }
  }
  made->UnlockIndexBuffer();
  DWORD* attributeData = nullptr;
  made->LockAttributeBuffer(0, &attributeData);
  std::memcpy(attributeData, attributes.data(), attributes.size() * sizeof(DWORD));
  made->UnlockAttributeBuffer();
  made->OptimizeInplace(D3DXMESHOPT_ATTRSORT, nullptr, nullptr, nullptr, nullptr);

  ID3DXBuffer* materialBuffer = materials ? MaterialBuffer(allMaterials) : nullptr;
  ID3DXBuffer* adjacencyBuffer = adjacency ? AdjacencyBuffer(made) : nullptr;
  if ((materials && !materialBuffer) || (adjacency && !adjacencyBuffer)) {
    if (materialBuffer) materialBuffer->Release();
    if (adjacencyBuffer) adjacencyBuffer->Release();
    made->Release();
    return E_OUTOFMEMORY;
  }
  if (materials) *materials = materialBuffer;
  if (adjacency) *adjacency = adjacencyBuffer;
  if (material_count) *material_count = DWORD(allMaterials.size());
  *mesh = made;
  return D3D_OK;
}

}  // namespace
}  // namespace kvrmesh

extern "C" {

HRESULT WINAPI D3DXLoadMeshFromXInMemory(const void* data, DWORD data_size, DWORD flags, IDirect3DDevice9* device,
                                         ID3DXBuffer** adjacency, ID3DXBuffer** materials,
                                         ID3DXBuffer** effect_instances, DWORD* material_count, ID3DXMesh** mesh) {
  if (!data) return D3DERR_INVALIDCALL;
  const uint8_t* begin = static_cast<const uint8_t*>(data);
  return kvrmesh::Load(begin, begin + data_size, "the file in memory", flags, device, adjacency, materials,
                       effect_instances, material_count, mesh);
}

HRESULT WINAPI D3DXLoadMeshFromXA(const char* filename, DWORD flags, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                                  ID3DXBuffer** materials, ID3DXBuffer** effect_instances, DWORD* material_count,
                                  ID3DXMesh** mesh) {
  if (!filename || !device || !mesh) return D3DERR_INVALIDCALL;
  std::vector<uint8_t> bytes;
  if (!kvrdds::ReadWholeFile(filename, bytes)) {
    OutputDebugStringA((std::string("D3DXLoadMeshFromX: ") + filename + ": cannot be read\n").c_str());
    return D3DXERR_INVALIDDATA;
  }
  return kvrmesh::Load(bytes.data(), bytes.data() + bytes.size(), filename, flags, device, adjacency, materials,
                       effect_instances, material_count, mesh);
}

HRESULT WINAPI D3DXLoadMeshFromXW(const WCHAR* filename, DWORD flags, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                                  ID3DXBuffer** materials, ID3DXBuffer** effect_instances, DWORD* material_count,
                                  ID3DXMesh** mesh) {
  if (!filename) return D3DERR_INVALIDCALL;
  return D3DXLoadMeshFromXA(KvrUtf8FromWide(filename).c_str(), flags, device, adjacency, materials, effect_instances,
                            material_count, mesh);
}

}  // extern "C"
