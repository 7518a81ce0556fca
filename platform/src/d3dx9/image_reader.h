// Image files other than DDS (BMP, PNG, JPEG, TGA), decoded to 32-bit ARGB with stb_image.
// Works on a byte range only (no device, no files), so untrusted bytes can be fed to it directly.
#pragma once
#include <d3dx9tex.h>

#include <cstdint>
#include <string>

#include "d3dx9/dds_reader.h"

namespace kvrdds {

// What an image file holds, as D3DX reports it: the size, the texel format that keeps every
// value of the file, and the kind of file.
struct ImageFileInfo {
  uint32_t width = 0;
  uint32_t height = 0;
  D3DFORMAT format = D3DFMT_UNKNOWN;  // A8R8G8B8, R8G8B8, A8L8 or L8
  bool hasAlpha = false;
  D3DXIMAGE_FILEFORMAT fileFormat = D3DXIFF_BMP;
};

// The kind of file by its first bytes; false for DDS (which dds_reader.h reads) and for anything
// that is none of the kinds above.
bool IdentifyImageFile(const uint8_t* data, const uint8_t* end, D3DXIMAGE_FILEFORMAT& kind);

// Reads the header alone. Fails for unknown kinds and for sides of 0 or above kMaxDimension.
bool ReadImageFileInfo(const uint8_t* data, const uint8_t* end, ImageFileInfo& info, std::string* error);

// Decodes the whole image (top row first). Fails as ReadImageFileInfo does, and for any damage in
// the pixel data; never allocates for a size the header has not passed.
bool DecodeImageFile(const uint8_t* data, const uint8_t* end, ImageFileInfo& info, ArgbImage& image,
                     std::string* error);

}  // namespace kvrdds
