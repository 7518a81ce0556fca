// The mesh and buffer objects behind ID3DXMesh and ID3DXBuffer, for the D3DX functions that make them.
#pragma once
#include <d3dx9.h>

#include <cstddef>

namespace kvrmesh {

// The most bytes one mesh may hold in vertices, indices and attributes together; larger meshes
// are refused with E_OUTOFMEMORY before anything is allocated.
constexpr unsigned long long kMaxMeshBytes = 256ull << 20;

// A buffer holding a copy of `size` bytes (zeroes when bytes is null); null when it cannot be made.
ID3DXBuffer* NewBuffer(const void* bytes, size_t size);

// Three neighbours per face of the mesh, in the order of its edges (a-b, b-c, c-a): the face that
// has the same edge the other way round, corners compared by position. 0xFFFFFFFF where there is
// none. Null when the buffer cannot be made.
ID3DXBuffer* AdjacencyBuffer(ID3DXMesh* mesh);

}  // namespace kvrmesh
