// The texel formats the device holds in textures and surfaces: their sizes and their conversion
// to 8-bit RGBA. Shared by the device (uploads to GL) and by D3DX (saving surfaces to files).
#pragma once
#include <d3d9types.h>

#include <cstdint>

namespace kvrd3d {

// Bytes per texel of a format textures and surfaces can be created in; 0 for formats they cannot.
UINT TextureFormatBytes(D3DFORMAT format);
// True for the formats above whose texels carry alpha (the rest read as opaque).
bool TextureFormatHasAlpha(D3DFORMAT format);
// Converts one row of width texels to RGBA8 bytes (R, G, B, A in memory). Channels of fewer than
// eight bits widen by repeating their bits; formats without alpha read as opaque.
void ConvertRowToRgba8(D3DFORMAT format, const uint8_t* src, uint8_t* dst, UINT width);

}  // namespace kvrd3d
