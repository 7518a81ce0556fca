// ID3DXMesh and ID3DXBuffer in the program's memory: D3DXCreateMeshFVF, D3DXCreateBuffer,
// D3DXGetFVFVertexSize.
// Implemented: vertices of any FVF the device draws, 16- or 32-bit indices (D3DXMESH_32BIT), one
//   attribute per face, locks (pointers into the mesh's own memory), attribute tables set by the
//   program or made by OptimizeInplace (faces sorted by attribute), CloneMeshFVF between FVFs
//   (components both FVFs have are copied, the others are zero), DrawSubset.
// Not implemented: GetVertexBuffer, GetIndexBuffer, GetDeclaration (not declared); OptimizeInplace
//   reorders faces only (vertex caches and strips are not optimised, vertices never move).
#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>
#include <vector>

#include "d3d9/d3d9_internal.h"
#include "d3dx9/mesh_object.h"

namespace kvrmesh {
namespace {

const GUID kIidBuffer = {0x8BA5FB08, 0x5195, 0x40E2, {0xAC, 0x58, 0x0D, 0x98, 0x9C, 0x3A, 0x01, 0x02}};
const GUID kIidBaseMesh = {0x7ED943DD, 0x52E8, 0x40B5, {0xA8, 0xD8, 0x76, 0x68, 0x5C, 0x40, 0x63, 0x30}};
const GUID kIidMesh = {0x4020E5C2, 0x1403, 0x4929, {0x88, 0x3F, 0xE2, 0xE8, 0x49, 0xFA, 0xC1, 0x95}};

// Faces drawn by one DrawPrimitiveUP: keeps each copy of expanded vertices well below the device's
// ceiling for program-side vertices.
constexpr DWORD kFacesPerDraw = 65536;

class Buffer final : public ID3DXBuffer {
 public:
  explicit Buffer(size_t size) : bytes_(size) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return kvrd3d::QueryFor(this, riid, ppv, {&kIidBuffer});
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  void* STDMETHODCALLTYPE GetBufferPointer() override { return bytes_.empty() ? nullptr : bytes_.data(); }
  DWORD STDMETHODCALLTYPE GetBufferSize() override { return DWORD(bytes_.size()); }
  std::vector<unsigned char> bytes_;

 private:
  ULONG refs_ = 1;
};

class Mesh final : public ID3DXMesh {
 public:
  Mesh(IDirect3DDevice9* device, DWORD options, DWORD fvf, UINT stride, DWORD faces, DWORD vertices)
      : device_(device), options_(options), fvf_(fvf), stride_(stride),
        vertices_(size_t(vertices) * stride), indices_(size_t(faces) * 3 * IndexSize()), attributes_(faces) {
    device_->AddRef();
  }
  ~Mesh() { device_->Release(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return kvrd3d::QueryFor(this, riid, ppv, {&kIidBaseMesh, &kIidMesh});
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE DrawSubset(DWORD attrib_id) override;
  DWORD STDMETHODCALLTYPE GetNumFaces() override { return DWORD(attributes_.size()); }
  DWORD STDMETHODCALLTYPE GetNumVertices() override { return DWORD(vertices_.size() / stride_); }
  DWORD STDMETHODCALLTYPE GetFVF() override { return fvf_; }
  DWORD STDMETHODCALLTYPE GetNumBytesPerVertex() override { return stride_; }
  DWORD STDMETHODCALLTYPE GetOptions() override { return options_; }
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** device) override {
    if (!device) return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device,
                                         ID3DXMesh** clone_mesh) override;
  HRESULT STDMETHODCALLTYPE LockVertexBuffer(DWORD, void** data) override { return Lock(vertices_, data); }
  HRESULT STDMETHODCALLTYPE UnlockVertexBuffer() override { return D3D_OK; }
  HRESULT STDMETHODCALLTYPE LockIndexBuffer(DWORD, void** data) override { return Lock(indices_, data); }
  HRESULT STDMETHODCALLTYPE UnlockIndexBuffer() override { return D3D_OK; }
  HRESULT STDMETHODCALLTYPE GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override {
    if (!size) return D3DERR_INVALIDCALL;
    // The caller's array is as long as the count it was told: the table is written whole.
    if (table && !table_.empty()) std::memcpy(table, table_.data(), table_.size() * sizeof(*table));
    *size = DWORD(table_.size());
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE LockAttributeBuffer(DWORD, DWORD** data) override {
    if (!data) return D3DERR_INVALIDCALL;
    *data = attributes_.data();
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE UnlockAttributeBuffer() override { return D3D_OK; }
  HRESULT STDMETHODCALLTYPE OptimizeInplace(DWORD flags, const DWORD* adjacency_in, DWORD* adjacency_out,
                                            DWORD* face_remap, ID3DXBuffer** vertex_remap) override;
  HRESULT STDMETHODCALLTYPE SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) override {
    if (!table && size) return D3DERR_INVALIDCALL;
    table_.assign(table, table + size);
    return D3D_OK;
  }

  bool Wide() const { return options_ & D3DXMESH_32BIT; }
  size_t IndexSize() const { return Wide() ? 4 : 2; }
  DWORD Index(size_t i) const {
    if (Wide()) {
      DWORD v;
      std::memcpy(&v, &indices_[i * 4], 4);
      return v;
    }
    WORD v;
    std::memcpy(&v, &indices_[i * 2], 2);
    return v;
  }
  void SetIndex(size_t i, DWORD value) {
    if (Wide()) {
      std::memcpy(&indices_[i * 4], &value, 4);
    } else {
      const WORD v = WORD(value);
      std::memcpy(&indices_[i * 2], &v, 2);
    }
  }

  IDirect3DDevice9* device_;
  DWORD options_, fvf_;
  UINT stride_;
  std::vector<unsigned char> vertices_, indices_;
  std::vector<DWORD> attributes_;
  std::vector<D3DXATTRIBUTERANGE> table_;

 private:
  template <typename T>
  static HRESULT Lock(std::vector<T>& bytes, void** data) {
    if (!data) return D3DERR_INVALIDCALL;
    *data = bytes.data();
    return D3D_OK;
  }

  // Draws the listed faces as a triangle list of their corners copied out of the mesh. Faces naming
  // a vertex the mesh does not have are left out.
  HRESULT DrawFaces(const std::vector<DWORD>& faces);

  ULONG refs_ = 1;
};

HRESULT Mesh::DrawFaces(const std::vector<DWORD>& faces) {
  const DWORD vertexCount = GetNumVertices();
  std::vector<unsigned char> corners;
  corners.reserve(size_t(std::min<size_t>(faces.size(), kFacesPerDraw)) * 3 * stride_);
  HRESULT hr = device_->SetFVF(fvf_);
  if (FAILED(hr)) return hr;
  size_t drawn = 0;
  auto flush = [&]() -> HRESULT {
    const UINT triangles = UINT(corners.size() / (size_t(3) * stride_));
    if (triangles == 0) return D3D_OK;
    const HRESULT r = device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, triangles, corners.data(), stride_);
    corners.clear();
    return r;
  };
  for (DWORD face : faces) {
    const DWORD a = Index(size_t(face) * 3), b = Index(size_t(face) * 3 + 1), c = Index(size_t(face) * 3 + 2);
    if (a >= vertexCount || b >= vertexCount || c >= vertexCount) continue;
    for (DWORD v : {a, b, c}) {
      const unsigned char* src = &vertices_[size_t(v) * stride_];
      corners.insert(corners.end(), src, src + stride_);
    }
    if (++drawn % kFacesPerDraw == 0 && FAILED(hr = flush())) return hr;
  }
  return flush();
}

HRESULT Mesh::DrawSubset(DWORD attrib_id) {
  std::vector<DWORD> faces;
  if (!table_.empty()) {
    for (const D3DXATTRIBUTERANGE& range : table_) {
      if (range.AttribId != attrib_id) continue;
      const uint64_t end = std::min<uint64_t>(uint64_t(range.FaceStart) + range.FaceCount, attributes_.size());
      for (uint64_t f = range.FaceStart; f < end; ++f) faces.push_back(DWORD(f));
    }
  } else {
    for (DWORD f = 0; f < attributes_.size(); ++f)
      if (attributes_[f] == attrib_id) faces.push_back(f);
  }
  return DrawFaces(faces);
}

HRESULT Mesh::CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device, ID3DXMesh** clone_mesh) {
  if (!clone_mesh) return D3DERR_INVALIDCALL;
  *clone_mesh = nullptr;
  ID3DXMesh* made = nullptr;
  HRESULT hr = D3DXCreateMeshFVF(GetNumFaces(), GetNumVertices(), options, fvf, device ? device : device_, &made);
  if (FAILED(hr)) return hr;
  Mesh* clone = static_cast<Mesh*>(made);
  const kvrd3d::FvfLayout from = kvrd3d::ParseFvf(fvf_), to = kvrd3d::ParseFvf(fvf);
  for (size_t v = 0; v < GetNumVertices(); ++v) {
    const unsigned char* src = &vertices_[v * stride_];
    unsigned char* dst = &clone->vertices_[v * clone->stride_];
    std::memcpy(dst, src, std::min(from.positionFloats, to.positionFloats) * sizeof(float));
    auto copy = [&](int a, int b, size_t bytes) {
      if (a >= 0 && b >= 0) std::memcpy(dst + b, src + a, bytes);
    };
    copy(from.normal, to.normal, 3 * sizeof(float));
    copy(from.diffuse, to.diffuse, 4);
    copy(from.specular, to.specular, 4);
    for (UINT t = 0; t < std::min(from.texSets, to.texSets); ++t)
      copy(from.texOffset[t], to.texOffset[t], std::min(from.texFloats[t], to.texFloats[t]) * sizeof(float));
  }
  const size_t indexCount = attributes_.size() * 3;
  for (size_t i = 0; i < indexCount; ++i) {
    const DWORD index = Index(i);
    if (!clone->Wide() && index > 0xFFFF) {
      clone->Release();
      return D3DERR_INVALIDCALL;
    }
    clone->SetIndex(i, index);
  }
  clone->attributes_ = attributes_;
  clone->table_ = table_;
  *clone_mesh = clone;
  return D3D_OK;
}

HRESULT Mesh::OptimizeInplace(DWORD flags, const DWORD* adjacency_in, DWORD* adjacency_out, DWORD* face_remap,
                              ID3DXBuffer** vertex_remap) {
  const DWORD kSorts = D3DXMESHOPT_COMPACT | D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_STRIPREORDER;
  if (!(flags & kSorts)) return D3DERR_INVALIDCALL;
  if (adjacency_out && !adjacency_in) return D3DERR_INVALIDCALL;
  const DWORD faceCount = GetNumFaces();
  std::vector<DWORD> order(faceCount);
  for (DWORD f = 0; f < faceCount; ++f) order[f] = f;
  std::stable_sort(order.begin(), order.end(), [&](DWORD a, DWORD b) { return attributes_[a] < attributes_[b]; });

  const size_t indexSize = IndexSize();
  std::vector<unsigned char> indices(indices_.size());
  std::vector<DWORD> attributes(faceCount), newPlace(faceCount);
  for (DWORD f = 0; f < faceCount; ++f) {
    std::memcpy(&indices[size_t(f) * 3 * indexSize], &indices_[size_t(order[f]) * 3 * indexSize], 3 * indexSize);
    attributes[f] = attributes_[order[f]];
    newPlace[order[f]] = f;
  }
  if (adjacency_out) {
    std::vector<DWORD> adjacency(size_t(faceCount) * 3);
    for (DWORD f = 0; f < faceCount; ++f)
      for (int k = 0; k < 3; ++k) {
        const DWORD n = adjacency_in[size_t(order[f]) * 3 + k];
        adjacency[size_t(f) * 3 + k] = n < faceCount ? newPlace[n] : 0xFFFFFFFF;
      }
    std::copy(adjacency.begin(), adjacency.end(), adjacency_out);
  }
  if (face_remap) std::copy(order.begin(), order.end(), face_remap);
  if (vertex_remap) {
    *vertex_remap = NewBuffer(nullptr, size_t(GetNumVertices()) * sizeof(DWORD));
    if (!*vertex_remap) return E_OUTOFMEMORY;
    DWORD* identity = static_cast<DWORD*>((*vertex_remap)->GetBufferPointer());
    for (DWORD v = 0; v < GetNumVertices(); ++v) identity[v] = v;
  }
  indices_.swap(indices);
  attributes_.swap(attributes);

  // One range per run of faces of one attribute, with the span of vertices those faces use.
  table_.clear();
  for (DWORD f = 0; f < faceCount; ++f) {
    if (table_.empty() || table_.back().AttribId != attributes_[f]) {
      table_.push_back({attributes_[f], f, 0, 0xFFFFFFFF, 0});
    }
    D3DXATTRIBUTERANGE& range = table_.back();
    ++range.FaceCount;
    DWORD last = range.VertexCount ? range.VertexStart + range.VertexCount - 1 : 0;
    for (int k = 0; k < 3; ++k) {
      const DWORD index = Index(size_t(f) * 3 + k);
      range.VertexStart = std::min(range.VertexStart, index);
      last = std::max(last, index);
    }
    range.VertexCount = last - range.VertexStart + 1;
  }
  return D3D_OK;
}

}  // namespace

ID3DXBuffer* NewBuffer(const void* bytes, size_t size) {
  if (size > kMaxMeshBytes) return nullptr;
  Buffer* buffer = new Buffer(size);
  if (bytes && size) std::memcpy(buffer->bytes_.data(), bytes, size);
  return buffer;
}

ID3DXBuffer* AdjacencyBuffer(ID3DXMesh* base) {
  Mesh* mesh = static_cast<Mesh*>(base);
  using Point = std::tuple<float, float, float>;
  auto at = [&](size_t corner) {
    float p[3] = {};
    const DWORD v = mesh->Index(corner);
    if (size_t(v) * mesh->stride_ + sizeof(p) <= mesh->vertices_.size())
      std::memcpy(p, &mesh->vertices_[size_t(v) * mesh->stride_], sizeof(p));
    return Point(p[0], p[1], p[2]);
  };
  const size_t faces = mesh->GetNumFaces();
  std::map<std::pair<Point, Point>, DWORD> edges;
  for (size_t f = 0; f < faces; ++f)
    for (size_t k = 0; k < 3; ++k) edges.emplace(std::make_pair(at(f * 3 + k), at(f * 3 + (k + 1) % 3)), DWORD(f));
  ID3DXBuffer* buffer = NewBuffer(nullptr, faces * 3 * sizeof(DWORD));
  if (!buffer) return nullptr;
  DWORD* adjacency = static_cast<DWORD*>(buffer->GetBufferPointer());
  for (size_t f = 0; f < faces; ++f)
    for (size_t k = 0; k < 3; ++k) {
      auto it = edges.find(std::make_pair(at(f * 3 + (k + 1) % 3), at(f * 3 + k)));
      adjacency[f * 3 + k] = (it != edges.end() && it->second != f) ? it->second : 0xFFFFFFFF;
    }
  return buffer;
}

}  // namespace kvrmesh

extern "C" {

HRESULT WINAPI D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = kvrmesh::NewBuffer(nullptr, size);
  return *buffer ? D3D_OK : E_OUTOFMEMORY;
}

UINT WINAPI D3DXGetFVFVertexSize(DWORD fvf) {
  const kvrd3d::FvfLayout layout = kvrd3d::ParseFvf(fvf);
  return layout.valid ? layout.size : 0;
}

HRESULT WINAPI D3DXCreateMeshFVF(DWORD face_count, DWORD vertex_count, DWORD flags, DWORD fvf,
                                 IDirect3DDevice9* device, ID3DXMesh** mesh) {
  if (!mesh) return D3DERR_INVALIDCALL;
  *mesh = nullptr;
  if (!device || face_count == 0 || vertex_count == 0) return D3DERR_INVALIDCALL;
  const kvrd3d::FvfLayout layout = kvrd3d::ParseFvf(fvf);
  if (!layout.valid || layout.pretransformed) return D3DERR_INVALIDCALL;
  if (!(flags & D3DXMESH_32BIT) && vertex_count > 0x10000) return D3DERR_INVALIDCALL;
  const uint64_t bytes = uint64_t(vertex_count) * layout.size +
                         uint64_t(face_count) * (3 * ((flags & D3DXMESH_32BIT) ? 4 : 2) + sizeof(DWORD));
  if (bytes > kvrmesh::kMaxMeshBytes) return E_OUTOFMEMORY;
  *mesh = new kvrmesh::Mesh(device, flags, fvf, layout.size, face_count, vertex_count);
  return D3D_OK;
}

}  // extern "C"
