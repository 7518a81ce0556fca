// PNG files in memory, through libpng: a page's texels written out, and an image read back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// RGBA texels, row by row from the top, as a PNG file's bytes; false when libpng fails.
bool EncodePng(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height, std::string& out);
