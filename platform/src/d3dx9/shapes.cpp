// The D3DX shapes: D3DXCreateBox, Sphere, Cylinder, Torus, Polygon and Teapot, as meshes of
// positions and normals (D3DFVF_XYZ | D3DFVF_NORMAL, managed), laid out vertex for
// vertex and face for face as Wine's d3dx9 lays them out, so that programs draw the same pictures.
// Round shapes start their slices at +y and turn clockwise seen from +z; spheres and cylinders run
// from +z to -z (spheres) or from -z to +z (cylinders).
// The teapot is what Wine's d3dx9 gives for it: a sphere of radius 1 in four slices and four stacks.
// Indices are 16-bit, or 32-bit past 65536 vertices (Wine keeps them 16-bit there, and they wrap).
// Refused: negative sizes, fewer slices, stacks, sides or rings than a closed shape needs
// (D3DERR_INVALIDCALL), shapes of more than 2^22 vertices (E_OUTOFMEMORY).
#include <cmath>
#include <cstring>
#include <vector>

#include "d3dx9/mesh_object.h"

namespace kvrmesh {
namespace {

constexpr float kPi = 3.14159265358979323846f;

struct Vertex {
  float position[3];
  float normal[3];
};

struct Shape {
  std::vector<Vertex> vertices;
  std::vector<DWORD> indices;

  void Add(float px, float py, float pz, float nx, float ny, float nz) { vertices.push_back({{px, py, pz}, {nx, ny, nz}}); }
  void Face(size_t a, size_t b, size_t c) {
    indices.push_back(DWORD(a));
    indices.push_back(DWORD(b));
    indices.push_back(DWORD(c));
  }
};

HRESULT Make(IDirect3DDevice9* device, const Shape& shape, ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
  const DWORD faces = DWORD(shape.indices.size() / 3);
  ID3DXMesh* made = nullptr;
  const DWORD wide = shape.vertices.size() > 0x10000 ? D3DXMESH_32BIT : 0;
  HRESULT hr = D3DXCreateMeshFVF(faces, DWORD(shape.vertices.size()), D3DXMESH_MANAGED | wide,
                                 D3DFVF_XYZ | D3DFVF_NORMAL, device, &made);
  if (FAILED(hr)) return hr;
  void* data = nullptr;
  made->LockVertexBuffer(0, &data);
  std::memcpy(data, shape.vertices.data(), shape.vertices.size() * sizeof(Vertex));
  made->UnlockVertexBuffer();
  made->LockIndexBuffer(0, &data);
  for (size_t i = 0; i < shape.indices.size(); ++i) {
    if (wide) {
      static_cast<DWORD*>(data)[i] = shape.indices[i];
    } else {
      static_cast<WORD*>(data)[i] = WORD(shape.indices[i]);
    }
  }
  made->UnlockIndexBuffer();
  if (adjacency) {
    *adjacency = AdjacencyBuffer(made);
    if (!*adjacency) {
      made->Release();
      return E_OUTOFMEMORY;
    }
  }
  *mesh = made;
  return D3D_OK;
}

// Sines and cosines of `count` angles from `start` in steps of `step`.
struct Circle {
  std::vector<float> sin, cos;
  Circle(float start, float step, UINT count) {
    for (UINT i = 0; i < count; ++i) {
      const float angle = start + float(i) * step;
      sin.push_back(std::sin(angle));
      cos.push_back(std::cos(angle));
    }
  }
};

// Refuses before a shape of more vertices than a program could mean is laid out.
bool TooMany(uint64_t vertices) { return vertices > (1u << 22); }

HRESULT Sphere(IDirect3DDevice9* device, float radius, UINT slices, UINT stacks, ID3DXMesh** mesh,
               ID3DXBuffer** adjacency) {
  if (!device || !mesh || radius < 0 || slices < 2 || stacks < 2) return D3DERR_INVALIDCALL;
  if (TooMany(uint64_t(slices) * (stacks - 1) + 2)) return E_OUTOFMEMORY;
  const Circle around(kPi / 2, -2 * kPi / slices, slices), down(0, kPi / stacks, stacks);
  Shape s;
  s.Add(0, 0, radius, 0, 0, 1);
  for (UINT i = 1; i < stacks; ++i)
    for (UINT j = 0; j < slices; ++j) {
      const float nx = down.sin[i] * around.cos[j], ny = down.sin[i] * around.sin[j], nz = down.cos[i];
      s.Add(radius * nx, radius * ny, radius * nz, nx, ny, nz);
    }
  s.Add(0, 0, -radius, 0, 0, -1);
  const size_t bottom = s.vertices.size() - 1;
  auto ring = [&](UINT i, UINT j) { return 1 + size_t(i) * slices + (j % slices); };
  for (UINT j = 0; j < slices; ++j) s.Face(0, ring(0, j + 1), ring(0, j));
  for (UINT i = 0; i + 2 < stacks; ++i)
    for (UINT j = 0; j < slices; ++j) {
      s.Face(ring(i, j), ring(i, j + 1), ring(i + 1, j));
      s.Face(ring(i, j + 1), ring(i + 1, j + 1), ring(i + 1, j));
    }
  for (UINT j = 0; j < slices; ++j) s.Face(ring(stacks - 2, j), ring(stacks - 2, j + 1), bottom);
  return Make(device, s, mesh, adjacency);
}

}  // namespace
}  // namespace kvrmesh

extern "C" {

HRESULT WINAPI D3DXCreateBox(IDirect3DDevice9* device, float width, float height, float depth, ID3DXMesh** mesh,
                             ID3DXBuffer** adjacency) {
  if (!device || !mesh || width < 0 || height < 0 || depth < 0) return D3DERR_INVALIDCALL;
  const float x = width / 2, y = height / 2, z = depth / 2;
  // Each side: its normal and its four corners in drawing order, as signs of x, y and z.
  static const struct {
    float n[3];
    signed char corner[4][3];
  } kSides[6] = {
      {{-1, 0, 0}, {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}}},
      {{0, 1, 0}, {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}},
      {{1, 0, 0}, {{1, 1, -1}, {1, 1, 1}, {1, -1, 1}, {1, -1, -1}}},
      {{0, -1, 0}, {{-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}}},
      {{0, 0, 1}, {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}}},
      {{0, 0, -1}, {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}}},
  };
  kvrmesh::Shape s;
  for (const auto& side : kSides) {
    const size_t first = s.vertices.size();
    for (const auto& c : side.corner) s.Add(c[0] * x, c[1] * y, c[2] * z, side.n[0], side.n[1], side.n[2]);
    s.Face(first, first + 1, first + 2);
    s.Face(first + 2, first + 3, first);
  }
  return kvrmesh::Make(device, s, mesh, adjacency);
}

HRESULT WINAPI D3DXCreateSphere(IDirect3DDevice9* device, float radius, UINT slices, UINT stacks, ID3DXMesh** mesh,
                                ID3DXBuffer** adjacency) {
  return kvrmesh::Sphere(device, radius, slices, stacks, mesh, adjacency);
}

HRESULT WINAPI D3DXCreateTeapot(IDirect3DDevice9* device, ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
  return kvrmesh::Sphere(device, 1.0f, 4, 4, mesh, adjacency);
}

HRESULT WINAPI D3DXCreateCylinder(IDirect3DDevice9* device, float radius1, float radius2, float length, UINT slices,
                                  UINT stacks, ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
  using kvrmesh::kPi;
  if (!device || !mesh || radius1 < 0 || radius2 < 0 || length < 0 || slices < 2 || stacks < 1)
    return D3DERR_INVALIDCALL;
  if (kvrmesh::TooMany(uint64_t(slices) * (stacks + 3) + 2)) return E_OUTOFMEMORY;
  const kvrmesh::Circle around(kPi / 2, -2 * kPi / slices, slices);
  // The side's normal leans towards the narrower end by the slope between the two radii.
  const float slope = std::sqrt(length * length + (radius1 - radius2) * (radius1 - radius2));
  const float sideXY = slope > 0 ? length / slope : 1, sideZ = slope > 0 ? (radius1 - radius2) / slope : 0;
  kvrmesh::Shape s;
  const float z0 = -length / 2;
  s.Add(0, 0, z0, 0, 0, -1);
  for (UINT j = 0; j < slices; ++j) s.Add(radius1 * around.cos[j], radius1 * around.sin[j], z0, 0, 0, -1);
  const size_t side = s.vertices.size();
  for (UINT i = 0; i <= stacks; ++i) {
    const float r = radius1 + float(i) * (radius2 - radius1) / float(stacks);
    const float z = z0 + float(i) * length / float(stacks);
    for (UINT j = 0; j < slices; ++j)
      s.Add(r * around.cos[j], r * around.sin[j], z, sideXY * around.cos[j], sideXY * around.sin[j], sideZ);
  }
  const size_t top = s.vertices.size();
  for (UINT j = 0; j < slices; ++j) s.Add(radius2 * around.cos[j], radius2 * around.sin[j], -z0, 0, 0, 1);
  s.Add(0, 0, -z0, 0, 0, 1);
  for (UINT j = 0; j < slices; ++j) s.Face(0, 1 + j, 1 + (j + 1) % slices);
  for (UINT i = 0; i < stacks; ++i) {
    const size_t a = side + size_t(i) * slices, b = a + slices;
    for (UINT j = 0; j < slices; ++j) {
      const UINT k = (j + 1) % slices;
      s.Face(a + j, b + j, a + k);
      s.Face(a + k, b + j, b + k);
    }
  }
  for (UINT j = 0; j < slices; ++j) s.Face(top + j, top + slices, top + (j + 1) % slices);
  return kvrmesh::Make(device, s, mesh, adjacency);
}

HRESULT WINAPI D3DXCreateTorus(IDirect3DDevice9* device, float innerradius, float outerradius, UINT sides,
                               UINT rings, ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
  using kvrmesh::kPi;
  if (!device || !mesh || innerradius < 0 || outerradius < 0 || sides < 3 || rings < 3) return D3DERR_INVALIDCALL;
  if (kvrmesh::TooMany(uint64_t(sides) * rings)) return E_OUTOFMEMORY;
  // Rings go round the z axis clockwise from +x; each ring's sides go round its tube from the outside.
  const kvrmesh::Circle ring(0, -2 * kPi / rings, rings), tube(0, 2 * kPi / sides, sides);
  kvrmesh::Shape s;
  for (UINT i = 0; i < rings; ++i)
    for (UINT j = 0; j < sides; ++j) {
      const float r = outerradius + innerradius * tube.cos[j];
      s.Add(r * ring.cos[i], r * ring.sin[i], innerradius * tube.sin[j], tube.cos[j] * ring.cos[i],
            tube.cos[j] * ring.sin[i], tube.sin[j]);
    }
  for (UINT i = 0; i < rings; ++i) {
    const size_t a = size_t(i) * sides, b = size_t((i + 1) % rings) * sides;
    for (UINT j = 0; j < sides; ++j) {
      const UINT k = (j + 1) % sides;
      s.Face(a + j, a + k, b + j);
      s.Face(b + j, a + k, b + k);
    }
  }
  return kvrmesh::Make(device, s, mesh, adjacency);
}

HRESULT WINAPI D3DXCreatePolygon(IDirect3DDevice9* device, float length, UINT sides, ID3DXMesh** mesh,
                                 ID3DXBuffer** adjacency) {
  using kvrmesh::kPi;
  if (!device || !mesh || length < 0 || sides < 3) return D3DERR_INVALIDCALL;
  if (kvrmesh::TooMany(uint64_t(sides) + 1)) return E_OUTOFMEMORY;
  // `length` is the length of each side: the corners lie on the circle it makes.
  const float radius = length / (2 * std::sin(kPi / sides));
  const kvrmesh::Circle around(0, 2 * kPi / sides, sides);
  kvrmesh::Shape s;
  s.Add(0, 0, 0, 0, 0, 1);
  for (UINT i = 0; i < sides; ++i) s.Add(radius * around.cos[i], radius * around.sin[i], 0, 0, 0, 1);
  for (UINT i = 0; i < sides; ++i) s.Face(0, 1 + i, 1 + (i + 1) % sides);
  return kvrmesh::Make(device, s, mesh, adjacency);
}

}  // extern "C"
