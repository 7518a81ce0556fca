// The .x file reader: meshes, their normals, texture coordinates and materials, out of the bytes of
// a text or binary .x file held in memory. Touches no file and no device.
#pragma once
#include <d3d9types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kvrxfile {

// Ceilings on what one file may hold; a file past any of them is refused.
constexpr uint32_t kMaxVertices = 1u << 20;     // positions of one mesh, and of all meshes together
constexpr uint32_t kMaxTriangles = 1u << 21;    // triangles after polygons are split, all meshes together
constexpr uint32_t kMaxFaceCorners = 1u << 10;  // corners of one polygon
constexpr uint32_t kMaxMaterials = 1u << 12;    // materials, all meshes together
constexpr int kMaxDepth = 32;                   // objects inside objects
constexpr size_t kMaxText = 1024;               // letters of one name or string

struct Material {
  D3DMATERIAL9 material;
  std::string texture;  // empty: none
};

// One Mesh object, its positions moved by the frames around it.
struct Mesh {
  std::vector<float> positions;       // x, y, z per vertex
  std::vector<float> normals;         // x, y, z per normal
  std::vector<float> uvs;             // u, v per vertex; empty when the mesh has none
  std::vector<uint32_t> triangles;    // position indices, three per triangle
  std::vector<uint32_t> normalIndex;  // per triangle corner; empty when the mesh has no normals
  std::vector<uint32_t> attributes;   // material per triangle
  std::vector<Material> materials;    // empty when the mesh has no material list
};

struct File {
  std::vector<Mesh> meshes;
};

// Parses a whole .x file; on refusal returns false and says why in `error` (one line, no name).
bool ParseXFile(const uint8_t* begin, const uint8_t* end, File& out, std::string& error);

}  // namespace kvrxfile
