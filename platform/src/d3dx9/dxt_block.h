// One 4x4 block of a DXT-compressed texture, decoded. The layer's native build decodes with
// libsquish (dxt_block_squish.cpp); the browser build, which has no libsquish, with its own
// decoder (dxt_block_decoder.cpp), which gives the same bytes.
#pragma once
#include <cstdint>

namespace kvrdds {

enum class DxtKind { kDxt1, kDxt3, kDxt5 };

// Bytes of one block: 8 for DXT1, 16 for DXT3 and DXT5.
constexpr unsigned DxtBlockBytes(DxtKind kind) { return kind == DxtKind::kDxt1 ? 8 : 16; }

// Decodes the block at `block` (DxtBlockBytes(kind) bytes) into 16 texels of R, G, B, A bytes,
// row by row. DXT1 always decodes with its 1-bit alpha (the three-colour mode's fourth code is
// transparent black).
void DecodeDxtBlock(const uint8_t* block, DxtKind kind, uint8_t rgba[64]);

}  // namespace kvrdds
