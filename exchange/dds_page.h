// A texture page written as a DDS file: DXT1 or DXT5 with every mip level, through libsquish.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// RGBA texels (power-of-two sides) as a DDS file's bytes. Without partial transparency the page
// is DXT1 and its transparent texels are pure green, the viewer's transparent colour; with it, or
// when DXT1 cannot keep the green exact, DXT5.
std::string MakeDdsPage(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height);
