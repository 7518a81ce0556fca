// The browser build's PNG encoders read back with libpng: the layer's (stored deflate blocks, no
// zlib), the same pixels whatever the size, across the 64 KiB limit of one stored block; and the
// glTF writer's (stb_image_write), the same texels with their alpha.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <vector>

#include "d3dx9/png_encoder.h"
#include "exchange/png_bytes.h"

namespace {

std::vector<uint8_t> Pattern(uint32_t width, uint32_t height, bool alpha) {
  std::vector<uint8_t> rows(size_t(width) * height * (alpha ? 4 : 3));
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<uint8_t>(i * 7 + (i >> 9));
  return rows;
}

// Decodes with libpng; empty when libpng refuses the file (a bad CRC, Adler-32 or length).
std::vector<uint8_t> ReadBack(const std::vector<uint8_t>& file, bool alpha, uint32_t* width, uint32_t* height) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return {};
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
  *width = image.width;
  *height = image.height;
  return pixels;
}

TEST(StoredPngEncoder, LibpngReadsBackTheSamePixels) {
  struct Case {
    uint32_t width, height;
    bool alpha;
  };
  // 1 x 1; a screen (several stored blocks, one row split across two); a row of exactly the
  // block size.
  for (const Case& c : {Case{1, 1, false}, Case{1, 1, true}, Case{1024, 768, false}, Case{300, 200, true},
                        Case{21845, 3, false}}) {
    const std::vector<uint8_t> rows = Pattern(c.width, c.height, c.alpha);
    std::vector<uint8_t> file;
    ASSERT_TRUE(kvrd3dx::EncodePng(c.width, c.height, c.alpha, rows, file)) << c.width << "x" << c.height;
    uint32_t width = 0, height = 0;
    const std::vector<uint8_t> back = ReadBack(file, c.alpha, &width, &height);
    ASSERT_FALSE(back.empty()) << "libpng refuses the " << c.width << "x" << c.height << " file";
    EXPECT_EQ(c.width, width);
    EXPECT_EQ(c.height, height);
    EXPECT_TRUE(back == rows) << c.width << "x" << c.height;
  }
}

TEST(StoredPngEncoder, RowsThatDoNotMatchTheSizeAreRefused) {
  std::vector<uint8_t> file;
  EXPECT_FALSE(kvrd3dx::EncodePng(4, 4, false, std::vector<uint8_t>(4 * 4 * 3 - 1), file));
  EXPECT_FALSE(kvrd3dx::EncodePng(0, 4, false, {}, file));
}

TEST(StbPngBytes, LibpngReadsBackTheSameTexels) {
  // 1 x 1, a page, and sizes whose rows no filter lines up with.
  for (const auto& size : {std::pair<uint32_t, uint32_t>{1, 1}, {256, 256}, {17, 5}, {3, 1000}}) {
    const std::vector<uint8_t> rgba = Pattern(size.first, size.second, true);
    std::string bytes;
    ASSERT_TRUE(EncodePng(rgba, size.first, size.second, bytes)) << size.first << "x" << size.second;
    uint32_t width = 0, height = 0;
    const std::vector<uint8_t> back = ReadBack(std::vector<uint8_t>(bytes.begin(), bytes.end()), true, &width, &height);
    EXPECT_EQ(size.first, width);
    EXPECT_EQ(size.second, height);
    EXPECT_TRUE(back == rgba) << size.first << "x" << size.second;
  }
  // Texels that do not match the size, no texels, and a size past what the writer counts.
  std::string bytes = "old";
  EXPECT_FALSE(EncodePng(std::vector<uint8_t>(4 * 4 * 4 - 1), 4, 4, bytes));
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(EncodePng({}, 0, 0, bytes));
  EXPECT_FALSE(EncodePng({}, 65536, 65536, bytes));
}

}  // namespace
