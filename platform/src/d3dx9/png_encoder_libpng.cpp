// PNG encoding with libpng's simplified API.
#include <png.h>

#include <cstring>

#include "d3dx9/png_encoder.h"

namespace kvrd3dx {

bool EncodePng(uint32_t width, uint32_t height, bool alpha, const std::vector<uint8_t>& rows,
               std::vector<uint8_t>& file) {
  auto describe = [&](png_image& image) {
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  };
  png_image image;
  describe(image);
  // Room for no compression at all, so one pass fits; a second pass only if a zlib other than
  // the one the bound assumes writes more.
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
  for (int pass = 0; pass < 2; ++pass) {
    file.resize(size);
    describe(image);
    const bool written = png_image_write_to_memory(&image, file.data(), &size, 0, rows.data(), 0, nullptr);
    png_image_free(&image);
    if (written) {
      file.resize(size);
      return true;
    }
    if (size <= file.size()) return false;  // an error, not a lack of room
  }
  return false;
}

}  // namespace kvrd3dx
