// PNG encoding through stb_image_write, for the browser build, which has no libpng: the same file
// (8-bit RGBA, deflated) from a header-only writer.
#include "exchange/png_bytes.h"

#include <climits>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace {

void AppendBytes(void* context, void* data, int length) {
  if (length > 0) static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(length));
}

}  // namespace

bool EncodePng(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height, std::string& out) {
  out.clear();
  if (width == 0 || height == 0 || rgba.size() != uint64_t{width} * height * 4) return false;
  // The writer counts in ints: a row's bytes and the whole image's must fit one.
  if (uint64_t{width} * height * 4 > static_cast<uint64_t>(INT_MAX)) return false;
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  if (!stbi_write_png_to_func(AppendBytes, &out, w, h, 4, rgba.data(), w * 4)) {
    out.clear();
    return false;
  }
  return true;
}
