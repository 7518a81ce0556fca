// The browser build's DXT decoder against libsquish, which the native build decodes with: the
// same bytes for every block of every DDS page of the sample, and for blocks that reach every
// mode of the three formats (DXT1's three-colour mode, DXT5's six-step alphas).
#include <gtest/gtest.h>
#include <squish.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "d3dx9/dxt_block.h"

namespace {

using kvrdds::DecodeDxtBlock;
using kvrdds::DxtBlockBytes;
using kvrdds::DxtKind;

int SquishFlags(DxtKind kind) {
  return kind == DxtKind::kDxt1 ? squish::kDxt1 : kind == DxtKind::kDxt3 ? squish::kDxt3 : squish::kDxt5;
}

// True when both decoders give the same 64 bytes; otherwise says where they part.
::testing::AssertionResult SameAsSquish(const uint8_t* block, DxtKind kind) {
  uint8_t ours[64], theirs[64];
  std::memset(ours, 0xCD, sizeof(ours));
  std::memset(theirs, 0xCD, sizeof(theirs));
  DecodeDxtBlock(block, kind, ours);
  squish::Decompress(theirs, block, SquishFlags(kind));
  for (int i = 0; i < 64; ++i) {
    if (ours[i] != theirs[i])
      return ::testing::AssertionFailure() << "texel " << i / 4 << " channel " << i % 4 << ": " << int(ours[i])
                                           << " where libsquish gives " << int(theirs[i]);
  }
  return ::testing::AssertionSuccess();
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) | (uint32_t(b[at + 3]) << 24);
}

struct PageCount {
  int pages = 0;
  long long blocks = 0;
};

// Compares every block of every stored level of one DXT page; pages of other formats are left out.
void CompareDdsFile(const std::filesystem::path& path, PageCount& count) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(file.size(), 128u) << path;
  ASSERT_EQ(0, std::memcmp(file.data(), "DDS ", 4)) << path;
  const uint32_t height = U32(file, 12), width = U32(file, 16);
  const uint32_t levels = U32(file, 28) ? U32(file, 28) : 1;
  const uint32_t fourCc = U32(file, 84);
  DxtKind kind;
  if (fourCc == U32({'D', 'X', 'T', '1'}, 0)) kind = DxtKind::kDxt1;
  else if (fourCc == U32({'D', 'X', 'T', '3'}, 0)) kind = DxtKind::kDxt3;
  else if (fourCc == U32({'D', 'X', 'T', '5'}, 0)) kind = DxtKind::kDxt5;
  else return;
  ++count.pages;
  size_t at = 128;
  uint32_t w = width, h = height;
  for (uint32_t level = 0; level < levels && at < file.size(); ++level) {
    const size_t blocks = size_t((w + 3) / 4) * ((h + 3) / 4);
    for (size_t i = 0; i < blocks && at + DxtBlockBytes(kind) <= file.size(); ++i, at += DxtBlockBytes(kind)) {
      ASSERT_TRUE(SameAsSquish(file.data() + at, kind)) << path << " level " << level << " block " << i;
      ++count.blocks;
    }
    w = w > 1 ? w / 2 : 1;
    h = h > 1 ? h / 2 : 1;
  }
}

TEST(DxtDecoder, EveryBlockOfTheSamplePagesDecodesAsLibsquishDoes) {
  PageCount count;
  const std::filesystem::path sample = std::filesystem::path(KVR_SOURCE_DIR) / "sample";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(sample)) {
    std::string extension = entry.path().extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (entry.is_regular_file() && extension == ".dds") CompareDdsFile(entry.path(), count);
    if (HasFatalFailure()) return;
  }
  // The sample's pages are compressed: a test that found none would prove nothing.
  EXPECT_GT(count.pages, 0);
  EXPECT_GT(count.blocks, 1000);
}

// Random blocks reach what a tidy encoder never writes: DXT1 endpoints in either order (three
// or four colours), equal endpoints, DXT5 alpha endpoints in either order (six or eight steps).
TEST(DxtDecoder, RandomBlocksOfEachFormatDecodeAsLibsquishDoes) {
  std::mt19937 random(20240611);
  for (DxtKind kind : {DxtKind::kDxt1, DxtKind::kDxt3, DxtKind::kDxt5}) {
    for (int n = 0; n < 20000; ++n) {
      uint8_t block[16];
      for (uint8_t& b : block) b = static_cast<uint8_t>(random());
      if (n % 7 == 0) {  // equal endpoints, colour and alpha
        const size_t colour = kind == DxtKind::kDxt1 ? 0 : 8;
        block[colour + 2] = block[colour];
        block[colour + 3] = block[colour + 1];
        block[1] = block[0];
      }
      ASSERT_TRUE(SameAsSquish(block, kind)) << "format " << int(kind) << " block " << n;
    }
  }
}

}  // namespace
