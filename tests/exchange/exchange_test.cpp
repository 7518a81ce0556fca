// The exchange room's pieces below the commands: the DDS pages the importer writes, as the
// viewer's loader reads them, the queue that writes --export-all's files, and the names the
// glTF writer gives a data set's words.
#include <d3dx9.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "exchange/dds_page.h"
#include "exchange/file_queue.h"
#include "exchange/gltf_export.h"
#include "model/model_catalogue.h"
#include "test_support.h"

namespace {

using Texels = std::vector<uint8_t>;

// A 16 x 16 page, each texel from its position.
template <typename Colour>
Texels Page(Colour colour) {
  Texels rgba;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const std::array<uint8_t, 4> texel = colour(x, y);
      rgba.insert(rgba.end(), texel.begin(), texel.end());
    }
  return rgba;
}

TEST(DdsPage, FormatFollowsTransparencyOrRequest) {
  const auto smooth = [](int x, int y) { return std::array<uint8_t, 4>{uint8_t(x * 16), uint8_t(y * 16), 64, 255}; };
  const auto holed = [](int x, int y) {
    return std::array<uint8_t, 4>{uint8_t(x * 16), uint8_t(y * 16), 64, uint8_t(x < 4 && y < 4 ? 0 : 255)};
  };
  // Dark and light green stripes crossed by a one-texel tan line, which DXT cannot keep.
  const auto veined = [](int x, int y) {
    if (x == y) return std::array<uint8_t, 4>{200, 150, 90, 255};
    return (x + 2 * y) % 3 == 0 ? std::array<uint8_t, 4>{20, 60, 30, 255} : std::array<uint8_t, 4>{90, 200, 50, 255};
  };
  const struct {
    const char* name;
    Texels rgba;
    bool uncompressed;
    D3DFORMAT format;
  } cases[] = {
      {"opaque", Page(smooth), false, D3DFMT_DXT1},
      {"with a hole", Page(holed), false, D3DFMT_DXT5},
      {"uncompressed, opaque", Page(veined), true, D3DFMT_A8R8G8B8},
      {"uncompressed, with a hole", Page(holed), true, D3DFMT_A8R8G8B8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dds = MakeDdsPage(c.rgba, 16, 16, c.uncompressed);
    D3DXIMAGE_INFO info = {};
    ASSERT_EQ(D3DXGetImageInfoFromFileInMemory(dds.data(), UINT(dds.size()), &info), D3D_OK);
    EXPECT_EQ(info.Format, c.format);
    EXPECT_EQ(info.Width, 16u);
    EXPECT_EQ(info.MipLevels, 5u);
    if (c.format != D3DFMT_A8R8G8B8) continue;
    // Every level in the file, the top one texel for texel (blue, green, red, alpha).
    ASSERT_EQ(dds.size(), 128u + 4 * (256 + 64 + 16 + 4 + 1));
    for (size_t i = 0; i < 256; ++i)
      for (int k = 0; k < 4; ++k) ASSERT_EQ(uint8_t(dds[128 + 4 * i + k]), c.rgba[4 * i + (k == 3 ? 3 : 2 - k)]);
  }
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(FileQueue, WritesInOrderAndCountsWhatFailed) {
  testsupport::TempDir dir;
  const auto bytes = [](std::string text) {
    return [text](std::string& out, std::string&) {
      out = text;
      return true;
    };
  };
  const auto fails = [](std::string&, std::string& why) {
    why = "no bytes";
    return false;
  };
  for (const size_t depth : {1, 8}) {
    SCOPED_TRACE(depth);
    std::filesystem::remove_all("out");
    std::filesystem::create_directory("out");
    FileQueue queue(depth);
    queue.Say("before any file");
    for (int i = 0; i < 50; ++i) queue.Write("out/" + std::to_string(i), bytes("file " + std::to_string(i)));
    queue.Write("out/same", bytes("first"));
    queue.Write("out/same", bytes("second"));  // the later one is the one kept
    queue.Write("missing/folder/file", bytes("x"));
    queue.Write("out/unmade", fails);
    size_t failed = 0;
    EXPECT_EQ(queue.Finish(failed), 52u);
    EXPECT_EQ(failed, 2u);
    EXPECT_EQ(Contents("out/49"), "file 49");
    EXPECT_EQ(Contents("out/same"), "second");
    EXPECT_FALSE(std::filesystem::exists("out/unmade"));
    // Only the files: no temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("out"), std::filesystem::directory_iterator()), 51);
    // A queue can be used again once finished.
    queue.Write("out/again", bytes("again"));
    EXPECT_EQ(queue.Finish(failed), 1u);
    EXPECT_EQ(failed, 0u);
  }
}

// Data sets name their models in any 8-bit code page; the file's JSON must be UTF-8, so a byte
// that starts no UTF-8 character is written as \xNN, and well-formed characters are kept.
TEST(GltfExport, NamesBecomeUtf8) {
  const struct {
    const char* name;
    const char* written;
  } cases[] = {
      {"tank", "tank"},
      {"caf\xE9", "caf\\xE9"},                        // Latin-1
      {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},  // UTF-8 already
      {"\xFF\xFE", "\\xFF\\xFE"},
      {"cut\xC3", "cut\\xC3"},                        // a character cut short
      {"\xED\xA0\x80", "\\xED\\xA0\\x80"},            // a surrogate
      {"\xC0\xAF", "\\xC0\\xAF"},                      // an overlong '/'
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    ClearModelCatalogue();
    PieModel model;
    model.name = c.name;
    ModelCatalogue.push_back(model);
    std::string bytes, why;
    ASSERT_TRUE(ExportModelGltf(0, GltfExportOptions(), bytes, why)) << why;
    ASSERT_GE(bytes.size(), 20u);
    uint32_t jsonLength = 0;
    std::memcpy(&jsonLength, bytes.data() + 12, 4);
    ASSERT_LE(uint64_t{jsonLength} + 20, bytes.size());
    const nlohmann::json json = nlohmann::json::parse(bytes.substr(20, jsonLength));
    EXPECT_EQ(json["nodes"][0]["name"], c.written);
    EXPECT_EQ(json["scenes"][0]["name"], c.written);
  }
  ClearModelCatalogue();
}

}  // namespace
