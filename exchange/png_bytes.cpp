// PNG encoding through libpng's write callbacks into a string.
#include "exchange/png_bytes.h"

#include <png.h>

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void NoFlush(png_structp) {}

}  // namespace

bool EncodePng(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height, std::string& out) {
  out.clear();
  if (width == 0 || height == 0 || rgba.size() != uint64_t{width} * height * 4) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    out.clear();
    return false;
  }
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  // zlib's fastest level: a page is encoded once per export and this cost most of a small one;
  // the files grow by about a tenth.
  png_set_compression_level(png, 1);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (uint32_t y = 0; y < height; ++y)
    png_write_row(png, const_cast<png_bytep>(rgba.data() + uint64_t{y} * width * 4));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}
