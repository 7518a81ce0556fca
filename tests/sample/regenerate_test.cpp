// The committed sample/ is exactly what the generator writes: run it again into a scratch folder
// and compare every file, both ways.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "sample_fixture.h"

namespace sampletest {
namespace {

namespace fs = std::filesystem;

std::string GeneratorPath() {
#ifdef KVR_MAKE_SAMPLE
  return ToolPath("KVR_MAKE_SAMPLE", KVR_MAKE_SAMPLE, "make_sample");
#else
  return ToolPath("KVR_MAKE_SAMPLE", nullptr, "make_sample");
#endif
}

// Relative path -> contents of every file under root. The viewer's own log is left out: `make run`
// starts the viewer in sample/, where it writes KVRerrors.log (which git ignores).
std::map<std::string, std::string> Files(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file() && entry.path().filename() != "KVRerrors.log")
      files[fs::relative(entry.path(), root).generic_string()] = testsupport::ReadFile(entry.path().string());
  return files;
}

TEST(SampleData, GeneratorReproducesTheCommittedSampleByteForByte) {
  testsupport::TempDir dir;
  const std::string generator = GeneratorPath();
  ASSERT_TRUE(fs::exists(generator)) << generator;
  const std::string command = "'" + generator + "' '" + dir.path() + "/out' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  std::map<std::string, std::string> fresh = Files(fs::path(dir.path()) / "out");
  std::map<std::string, std::string> committed = Files(SampleDir());
  ASSERT_GT(fresh.size(), 60u);
  for (const auto& [path, bytes] : fresh) {
    auto it = committed.find(path);
    if (it == committed.end()) {
      ADD_FAILURE() << "sample/" << path << " is generated but not committed";
      continue;
    }
    EXPECT_TRUE(it->second == bytes) << "sample/" << path << " differs from the generator's output";
  }
  for (const auto& entry : committed)
    EXPECT_TRUE(fresh.count(entry.first)) << "sample/" << entry.first << " is not made by the generator";
}

TEST(SampleData, StaysSmallAndUsesEveryPageFormat) {
  uintmax_t total = 0;
  for (const auto& entry : fs::recursive_directory_iterator(SampleDir()))
    if (entry.is_regular_file()) total += entry.file_size();
  EXPECT_LT(total, 3u * 1024 * 1024);

  // The four-character code (or 0 for uncompressed 32-bit) of each page, at byte 84.
  std::map<std::string, int> formats;
  for (const auto& entry : fs::directory_iterator(SampleDir() + "/duskfen/texpages")) {
    std::string bytes = testsupport::ReadFile(entry.path().string());
    ASSERT_GT(bytes.size(), 128u);
    EXPECT_EQ(bytes.substr(0, 4), "DDS ");
    std::string fourcc = bytes.substr(84, 4);
    ++formats[fourcc == std::string(4, '\0') ? "A8R8G8B8" : fourcc];
    if (fourcc == std::string(4, '\0')) {
      // Exact opaque pure green texels are the holes the viewer keys out.
      int holes = 0;
      for (size_t i = 128; i + 4 <= bytes.size(); i += 4)
        if (bytes.compare(i, 4, std::string("\x00\xFF\x00\xFF", 4)) == 0) ++holes;
      EXPECT_GT(holes, 1000) << entry.path();
    }
  }
  EXPECT_GE(formats["DXT1"], 1);
  EXPECT_GE(formats["DXT5"], 1);
  EXPECT_GE(formats["A8R8G8B8"], 1);
}

TEST(SampleData, CursorHasASoftEdgeInsideTheShownPartOfItsImage) {
  std::string bytes = testsupport::ReadFile(SampleDir() + "/textures/kvrcursor.dds");
  ASSERT_GT(bytes.size(), 128u);
  auto word = [&](size_t at) {
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
           uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
  };
  const uint32_t height = word(12), width = word(16);
  EXPECT_EQ(word(84), 0u) << "uncompressed";
  EXPECT_EQ(word(88), 32u) << "32 bits a texel";
  EXPECT_EQ(word(104), 0xFF000000u) << "with alpha";
  ASSERT_EQ(bytes.size(), 128u + size_t(width) * height * 4);
  EXPECT_EQ(width & (width - 1), 0u);
  EXPECT_EQ(height & (height - 1), 0u);
  // The viewer shows the top-left 70 % of the image; everything beyond is clear.
  int opaque = 0, soft = 0, outside = 0;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t alpha = uint8_t(bytes[128 + (size_t(y) * width + x) * 4 + 3]);
      if (alpha == 255) ++opaque;
      if (alpha > 0 && alpha < 255) ++soft;
      if (alpha > 0 && (x >= width * 7 / 10 || y >= height * 7 / 10)) ++outside;
    }
  EXPECT_GT(opaque, 100);
  EXPECT_GT(soft, 50);
  EXPECT_EQ(outside, 0);
}

}  // namespace
}  // namespace sampletest
