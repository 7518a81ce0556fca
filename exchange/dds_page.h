// A texture page written as a DDS file: DXT1 or DXT5 with every mip level, through libsquish, or
// uncompressed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// RGBA texels (power-of-two sides) as a DDS file's bytes: DXT1 when every texel is opaque, DXT5
// when some are not (or when DXT1 would turn a texel into pure green, which the viewer would take
// for transparent); 32-bit texels with alpha when `uncompressed` is asked for. Every level of the
// mip chain is in the file.
std::string MakeDdsPage(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height, bool uncompressed);
