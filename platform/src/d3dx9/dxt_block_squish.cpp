// DXT block decoding through libsquish (the native builds).
#include <squish.h>

#include "d3dx9/dxt_block.h"

namespace kvrdds {

void DecodeDxtBlock(const uint8_t* block, DxtKind kind, uint8_t rgba[64]) {
  const int flags = kind == DxtKind::kDxt1 ? squish::kDxt1 : kind == DxtKind::kDxt3 ? squish::kDxt3 : squish::kDxt5;
  squish::Decompress(rgba, block, flags);
}

}  // namespace kvrdds
