// PNG encoding for D3DXSaveSurfaceToFileA: libpng in the native builds (png_encoder_libpng.cpp),
// a small encoder of uncompressed deflate blocks in the browser build (png_encoder_stored.cpp),
// which has no libpng or zlib.
#pragma once
#include <cstdint>
#include <vector>

namespace kvrd3dx {

// The whole PNG file of an image of 8-bit RGB (or RGBA when alpha) rows, packed, top row first,
// in `file`; false when it cannot be encoded.
bool EncodePng(uint32_t width, uint32_t height, bool alpha, const std::vector<uint8_t>& rows,
               std::vector<uint8_t>& file);

}  // namespace kvrd3dx
