// Decoding DDS files: files written by independent encoders decode to what those encoders
// decode them to, narrow channels widen as a Direct3D sampler reads them, and malformed files
// fail without reading past their data.
#include <squish.h>

#include "dds_test_support.h"

using ddsfile::Header;
using kvrdds::ArgbImage;
using kvrdds::DdsHeaderInfo;

namespace {

bool Decode(const std::vector<uint8_t>& bytes, DdsHeaderInfo& info, std::vector<ArgbImage>& levels,
            std::string* error = nullptr) {
  return kvrdds::DecodeDds(bytes.data(), bytes.data() + bytes.size(), info, levels, error);
}

class DdsFromImageMagick : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ddstest::HaveImageMagick()) GTEST_SKIP() << "needs ImageMagick at /usr/bin/convert";
  }

  // Encodes the picture with ImageMagick, decodes the file both ways and compares level 0.
  // ImageMagick stores a whole mip chain only for power-of-two sizes.
  void ExpectSameAsImageMagick(const ArgbImage& picture, bool alpha, const std::string& compression,
                               D3DFORMAT expectFormat, uint32_t expectLevels, int tolerance) {
    ddstest::WritePam("in.pam", picture, alpha);
    const std::string file = "out_" + compression + ".dds";
    ASSERT_EQ(ddstest::Run(std::string(ddstest::kConvert) + " in.pam -define dds:compression=" + compression +
                           " " + file),
              0);
    const std::vector<uint8_t> bytes = ddstest::ReadBytesOf(file);
    DdsHeaderInfo info;
    std::vector<ArgbImage>& levels = levels_;
    std::string error;
    ASSERT_TRUE(Decode(bytes, info, levels, &error)) << error;
    EXPECT_EQ(info.format, expectFormat);
    EXPECT_EQ(info.width, picture.width);
    EXPECT_EQ(info.height, picture.height);
    ASSERT_EQ(levels.size(), expectLevels);
    EXPECT_EQ(levels.back().width, std::max(1u, picture.width >> (expectLevels - 1)));
    EXPECT_EQ(levels.back().height, std::max(1u, picture.height >> (expectLevels - 1)));

    ArgbImage reference;
    ASSERT_TRUE(ddstest::DecodeWithImageMagick(file, picture.width, picture.height, reference));
    EXPECT_TRUE(ddstest::ImagesMatch(levels[0], reference, tolerance));
  }

  testsupport::TempDir dir_;
  std::vector<ArgbImage> levels_;  // what the last comparison decoded
};

// Block colours are interpolated between 5- and 6-bit end points, and a decoder may round the
// thirds one way or the other: compressed formats may differ by 1 per channel (ImageMagick 6.9
// and libsquish agree exactly). Uncompressed texels must be exact.
TEST_F(DdsFromImageMagick, Dxt1DecodesAsImageMagickDecodesIt) {
  ExpectSameAsImageMagick(ddstest::TestPicture(64, 48, false), false, "dxt1", D3DFMT_DXT1, 1, 1);
}

TEST_F(DdsFromImageMagick, Dxt5DecodesColourAndInterpolatedAlpha) {
  ExpectSameAsImageMagick(ddstest::TestPicture(64, 32, true), true, "dxt5", D3DFMT_DXT5, 7, 1);
}

TEST_F(DdsFromImageMagick, UncompressedOpaqueIsExact) {
  // Not a multiple of 4 wide or high: rows are packed, no padding.
  ExpectSameAsImageMagick(ddstest::TestPicture(30, 18, false), false, "none", D3DFMT_R8G8B8, 1, 0);
}

TEST_F(DdsFromImageMagick, UncompressedWithAlphaIsExact) {
  ExpectSameAsImageMagick(ddstest::TestPicture(32, 16, true), true, "none", D3DFMT_A8R8G8B8, 6, 0);
}

// libsquish as the encoder, for what ImageMagick does not write: DXT1 with transparent texels
// (its encoder keeps DXT1 opaque) and DXT3. ImageMagick's reading is the reference.
class DdsFromSquish : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ddstest::HaveImageMagick()) GTEST_SKIP() << "needs ImageMagick at /usr/bin/convert";
  }

  // Compresses the picture into a one-level file and decodes it both ways.
  void EncodeAndDecode(const ArgbImage& picture, const char* fourCC, int squishFlags) {
    std::vector<squish::u8> rgba;
    for (uint32_t t : picture.texels) {
      rgba.push_back(squish::u8(t >> 16));
      rgba.push_back(squish::u8(t >> 8));
      rgba.push_back(squish::u8(t));
      rgba.push_back(squish::u8(t >> 24));
    }
    const int w = int(picture.width), h = int(picture.height);
    std::vector<uint8_t> blocks(size_t(squish::GetStorageRequirements(w, h, squishFlags)));
    squish::CompressImage(rgba.data(), w, h, blocks.data(), squishFlags);
    const std::vector<uint8_t> bytes = ddstest::Concat(Header::Compressed(fourCC, w, h).Bytes(), blocks);
    testsupport::WriteFile("squish.dds", bytes);

    DdsHeaderInfo info;
    std::string error;
    ASSERT_TRUE(Decode(bytes, info, levels_, &error)) << error;
    EXPECT_TRUE(info.hasAlpha);
    ASSERT_EQ(levels_.size(), 1u);
    ArgbImage reference;
    ASSERT_TRUE(ddstest::DecodeWithImageMagick("squish.dds", picture.width, picture.height, reference));
    EXPECT_TRUE(ddstest::ImagesMatch(levels_[0], reference, 1));
  }

  testsupport::TempDir dir_;
  std::vector<ArgbImage> levels_;
};

TEST_F(DdsFromSquish, Dxt1CutOutTexelsReadAsTransparentBlack) {
  const ArgbImage picture = ddstest::TestPicture(32, 32, true, true);
  EncodeAndDecode(picture, "DXT1", squish::kDxt1);
  ASSERT_FALSE(levels_.empty());
  for (size_t i = 0; i < picture.texels.size(); ++i) {
    if (picture.texels[i] >> 24 == 0)
      ASSERT_EQ(levels_[0].texels[i], 0u) << "texel " << i;
    else
      ASSERT_EQ(levels_[0].texels[i] >> 24, 0xffu) << "texel " << i;
  }
}

TEST_F(DdsFromSquish, Dxt3KeepsFourBitAlphaAcrossPartialBlocks) {
  const ArgbImage picture = ddstest::TestPicture(20, 12, true);  // partial blocks on both sides
  EncodeAndDecode(picture, "DXT3", squish::kDxt3);
  ASSERT_FALSE(levels_.empty());
  // DXT3 keeps alpha as 4 bits per texel, read back widened: v becomes v * 17.
  for (size_t i = 0; i < picture.texels.size(); ++i) {
    const uint32_t alpha4 = ((picture.texels[i] >> 24) * 15 + 127) / 255;
    ASSERT_EQ(levels_[0].texels[i] >> 24, alpha4 * 17) << "texel " << i;
  }
}

// One texel of a hand-written uncompressed file and the ARGB value it must read as.
struct MaskedCase {
  const char* name;
  uint32_t bits, r, g, b, a;
  uint32_t stored;
  D3DFORMAT format;
  uint32_t expected;
  bool luminance = false;
};

TEST(DdsUncompressed, EachLayoutReadsItsChannelsAndWidensNarrowOnesByRepeatingBits) {
  const MaskedCase cases[] = {
      {"A8R8G8B8", 32, 0xff0000, 0xff00, 0xff, 0xff000000, 0x80123456, D3DFMT_A8R8G8B8, 0x80123456},
      {"X8R8G8B8 ignores its spare byte", 32, 0xff0000, 0xff00, 0xff, 0, 0x00123456, D3DFMT_X8R8G8B8, 0xff123456},
      {"A8B8G8R8", 32, 0xff, 0xff00, 0xff0000, 0xff000000, 0x40563412, D3DFMT_A8B8G8R8, 0x40123456},
      {"R8G8B8", 24, 0xff0000, 0xff00, 0xff, 0, 0x00abcdef, D3DFMT_R8G8B8, 0xffabcdef},
      {"R5G6B5 full", 16, 0xf800, 0x07e0, 0x001f, 0, 0xffff, D3DFMT_R5G6B5, 0xffffffff},
      {"R5G6B5 mixed", 16, 0xf800, 0x07e0, 0x001f, 0, (0x10u << 11) | (0x21u << 5) | 0x01, D3DFMT_R5G6B5,
       0xff848608},
      {"A1R5G5B5 opaque", 16, 0x7c00, 0x03e0, 0x001f, 0x8000, 0x8000 | (0x1fu << 10) | 0x3, D3DFMT_A1R5G5B5,
       0xffff0018},
      {"A1R5G5B5 clear", 16, 0x7c00, 0x03e0, 0x001f, 0x8000, 0x7fff, D3DFMT_A1R5G5B5, 0x00ffffff},
      {"X1R5G5B5 reads opaque", 16, 0x7c00, 0x03e0, 0x001f, 0, 0x0000 | (0x1u << 5), D3DFMT_X1R5G5B5, 0xff000800},
      {"A4R4G4B4", 16, 0x0f00, 0x00f0, 0x000f, 0xf000, 0xf05a, D3DFMT_A4R4G4B4, 0xff0055aa},
      {"A4R4G4B4 half alpha", 16, 0x0f00, 0x00f0, 0x000f, 0xf000, 0x8f00, D3DFMT_A4R4G4B4, 0x88ff0000},
      {"L8 fills all three colours", 8, 0xff, 0, 0, 0, 0x7f, D3DFMT_L8, 0xff7f7f7f, true},
  };
  for (const MaskedCase& c : cases) {
    SCOPED_TRACE(c.name);
    Header header = Header::Masked(1, 1, c.bits, c.r, c.g, c.b, c.a);
    if (c.luminance) header.pfFlags = 0x20000;
    std::vector<uint8_t> bytes = header.Bytes();
    for (uint32_t i = 0; i < c.bits / 8; ++i) bytes.push_back(uint8_t(c.stored >> (8 * i)));
    DdsHeaderInfo info;
    std::vector<ArgbImage> levels;
    std::string error;
    ASSERT_TRUE(Decode(bytes, info, levels, &error)) << error;
    EXPECT_EQ(info.format, c.format);
    EXPECT_EQ(levels[0].texels[0], c.expected) << std::hex << levels[0].texels[0];
  }
}

TEST(DdsUncompressed, StoredMipLevelsFollowOneAnotherAtHalvedSizes) {
  Header h = Header::Masked(4, 2, 32, 0xff0000, 0xff00, 0xff, 0);
  h.mipCount = 3;  // 4x2, 2x1, 1x1
  std::vector<uint8_t> bytes = h.Bytes();
  const uint32_t colours[3] = {0x00ff0000, 0x0000ff00, 0x000000ff};
  const uint32_t counts[3] = {8, 2, 1};
  for (int level = 0; level < 3; ++level)
    for (uint32_t i = 0; i < counts[level]; ++i)
      for (int k = 0; k < 4; ++k) bytes.push_back(uint8_t(colours[level] >> (8 * k)));
  DdsHeaderInfo info;
  std::vector<ArgbImage> levels;
  ASSERT_TRUE(Decode(bytes, info, levels));
  ASSERT_EQ(levels.size(), 3u);
  EXPECT_EQ(levels[1].width, 2u);
  EXPECT_EQ(levels[1].height, 1u);
  EXPECT_EQ(levels[1].texels, (std::vector<uint32_t>{0xff00ff00, 0xff00ff00}));
  EXPECT_EQ(levels[2].texels, (std::vector<uint32_t>{0xff0000ff}));
}

// Malformed input: every case must fail with a reason and decode nothing. Each buffer is
// allocated to its exact size, so AddressSanitizer reports any read past it.
TEST(DdsMalformed, FilesThatLieAboutThemselvesFailCleanly) {
  const std::vector<uint8_t> dxt1Data(8, 0x55);
  auto dxt1 = [&](uint32_t w, uint32_t h) { return Header::Compressed("DXT1", w, h); };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  Header badSize = dxt1(4, 4);
  badSize.size = 123;
  Header badPf = dxt1(4, 4);
  badPf.pfSize = 24;
  Header tooManyLevels = dxt1(8192, 8192);
  tooManyLevels.mipCount = 15;
  Header moreLevelsThanChain = dxt1(4, 4);
  moreLevelsThanChain.mipCount = 4;
  Header levelsShort = dxt1(8, 8);
  levelsShort.mipCount = 4;
  Header volume = dxt1(4, 4);
  volume.caps2 = 0x200000;
  volume.depth = 4;
  Header unknownMasks = Header::Masked(1, 1, 32, 0x3ff00000, 0xffc00, 0x3ff, 0xc0000000);
  Header noPixelFormat = dxt1(4, 4);
  noPixelFormat.pfFlags = 0;
  std::vector<uint8_t> notDds = dxt1(4, 4).Bytes();
  const std::vector<uint8_t> fullHeader = dxt1(4, 4).Bytes();
  notDds[3] = 'X';

  const Case cases[] = {
      {"empty", {}},
      {"shorter than a header", std::vector<uint8_t>(fullHeader.begin(), fullHeader.begin() + 100)},
      {"wrong magic", ddstest::Concat(notDds, dxt1Data)},
      {"truncated after the header", dxt1(4, 4).Bytes()},
      {"truncated inside level 0", ddstest::Concat(dxt1(8, 4).Bytes(), dxt1Data)},
      {"65535 x 65535", ddstest::Concat(dxt1(65535, 65535).Bytes(), dxt1Data)},
      {"9000 wide", ddstest::Concat(dxt1(9000, 4).Bytes(), dxt1Data)},
      {"zero width", ddstest::Concat(dxt1(0, 4).Bytes(), dxt1Data)},
      {"zero height", ddstest::Concat(dxt1(4, 0).Bytes(), dxt1Data)},
      {"header size 123", ddstest::Concat(badSize.Bytes(), dxt1Data)},
      {"pixel format size 24", ddstest::Concat(badPf.Bytes(), dxt1Data)},
      {"15 mip levels", ddstest::Concat(tooManyLevels.Bytes(), dxt1Data)},
      {"more levels than 4x4 has", ddstest::Concat(moreLevelsThanChain.Bytes(), std::vector<uint8_t>(32, 0))},
      // 8x8 with 4 levels needs 32 + 8 + 8 + 8 = 56 bytes; one fewer is there.
      {"data one byte short of its levels", ddstest::Concat(levelsShort.Bytes(), std::vector<uint8_t>(55, 0))},
      {"volume texture", ddstest::Concat(volume.Bytes(), std::vector<uint8_t>(32, 0))},
      {"unknown compression", ddstest::Concat(Header::Compressed("ATI2", 4, 4).Bytes(), std::vector<uint8_t>(16, 0))},
      {"unknown mask layout", ddstest::Concat(unknownMasks.Bytes(), std::vector<uint8_t>(4, 0))},
      {"no pixel format flags", ddstest::Concat(noPixelFormat.Bytes(), dxt1Data)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> exact(c.bytes);
    exact.shrink_to_fit();
    DdsHeaderInfo info;
    std::vector<ArgbImage> levels;
    std::string error;
    EXPECT_FALSE(Decode(exact, info, levels, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(levels.empty());
  }
  // The data-length check is exact: the same 8x8 file with all 56 bytes decodes.
  DdsHeaderInfo info;
  std::vector<ArgbImage> levels;
  EXPECT_TRUE(Decode(ddstest::Concat(levelsShort.Bytes(), std::vector<uint8_t>(56, 0)), info, levels));
}

}  // namespace
