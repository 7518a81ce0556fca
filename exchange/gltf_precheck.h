// The structure of a glTF file checked before assimp reads it: assimp trusts the counts, types and
// lengths of accessors and buffer views, and a file that lies in them can make it take gigabytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The most elements one accessor may hold.
constexpr uint64_t kMaxGltfAccessorCount = uint64_t{1} << 24;

// False, with `why` naming the part and the limit, when the bytes (a .glb, or a .gltf's JSON) hold
// an accessor or buffer view that does not fit what it points into. Bytes that are neither are
// left to the reader.
bool GltfStructureFits(const uint8_t* data, size_t size, std::string& why);
