// The texture D3DX makes from a decoded DDS file: its size, format and mip chain, the colour
// key, and the filters that build smaller levels.
#include "d3dx9/dds_resample.h"
#include "d3dx9/dds_texture.h"
#include "dds_test_support.h"

using kvrdds::ArgbImage;
using kvrdds::DdsHeaderInfo;
using kvrdds::TextureLevels;
using kvrdds::TextureRequest;

namespace {

constexpr DWORD kTriangleMirror = D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR;  // 0x70004

ArgbImage Solid(uint32_t w, uint32_t h, uint32_t argb) {
  ArgbImage img;
  img.width = w;
  img.height = h;
  img.texels.assign(size_t(w) * h, argb);
  return img;
}

DdsHeaderInfo FileInfo(uint32_t w, uint32_t h, D3DFORMAT format, bool alpha, uint32_t levels = 1) {
  DdsHeaderInfo info;
  info.width = w;
  info.height = h;
  info.format = format;
  info.hasAlpha = alpha;
  info.levelCount = levels;
  return info;
}

// The request the texture pages make: sizes and levels by default, format from the file.
TextureRequest PageRequest(D3DCOLOR key = 0xFF00FF00) {
  TextureRequest r;
  r.filter = kTriangleMirror;
  r.mipFilter = kTriangleMirror;
  r.colorKey = key;
  return r;
}

std::vector<std::pair<uint32_t, uint32_t>> Sizes(const TextureLevels& t) {
  std::vector<std::pair<uint32_t, uint32_t>> s;
  for (const ArgbImage& l : t.levels) s.emplace_back(l.width, l.height);
  return s;
}

TEST(DdsTextureSize, DefaultSizeIsTheFilesRoundedUpToPowersOfTwoWithAFullChain) {
  TextureLevels t;
  ASSERT_EQ(kvrdds::BuildTextureLevels(FileInfo(256, 256, D3DFMT_DXT1, true), {Solid(256, 256, 0xff808080)},
                                       PageRequest(), t),
            D3D_OK);
  ASSERT_EQ(t.levels.size(), 9u);
  EXPECT_EQ(Sizes(t).back(), std::make_pair(1u, 1u));

  ASSERT_EQ(kvrdds::BuildTextureLevels(FileInfo(100, 60, D3DFMT_R8G8B8, false), {Solid(100, 60, 0xff808080)},
                                       PageRequest(), t),
            D3D_OK);
  const std::vector<std::pair<uint32_t, uint32_t>> expected = {{128, 64}, {64, 32}, {32, 16}, {16, 8},
                                                               {8, 4},    {4, 2},   {2, 1},   {1, 1}};
  EXPECT_EQ(Sizes(t), expected);
  // A resized solid colour stays that colour everywhere, edges included.
  for (const ArgbImage& level : t.levels)
    for (uint32_t texel : level.texels) ASSERT_EQ(texel, 0xff808080u);
}

TEST(DdsTextureSize, NonPowerOfTwoRequestKeepsTheFileSizeAndExplicitSizesResize) {
  TextureRequest keep = PageRequest();
  keep.width = keep.height = D3DX_DEFAULT_NONPOW2;
  TextureLevels t;
  ASSERT_EQ(kvrdds::BuildTextureLevels(FileInfo(100, 60, D3DFMT_R8G8B8, false), {Solid(100, 60, 0xff102030)},
                                       keep, t),
            D3D_OK);
  ASSERT_EQ(t.levels.size(), 7u);  // 100, 50, 25, 12, 6, 3, 1
  EXPECT_EQ(Sizes(t)[0], std::make_pair(100u, 60u));
  EXPECT_EQ(Sizes(t)[2], std::make_pair(25u, 15u));
  EXPECT_EQ(Sizes(t)[6], std::make_pair(1u, 1u));

  TextureRequest fixed = PageRequest();
  fixed.width = 32;
  fixed.height = 8;
  fixed.mipLevels = 2;
  ASSERT_EQ(kvrdds::BuildTextureLevels(FileInfo(100, 60, D3DFMT_R8G8B8, false), {Solid(100, 60, 0xff102030)},
                                       fixed, t),
            D3D_OK);
  EXPECT_EQ(Sizes(t), (std::vector<std::pair<uint32_t, uint32_t>>{{32, 8}, {16, 4}}));

}

TEST(DdsTextureLevels, TheFilesOwnLevelsAreUsedAndOnlyTheMissingOnesAreFiltered) {
  // Stored level 1 is a colour level 0 could never filter down to.
  std::vector<ArgbImage> file = {Solid(8, 8, 0xffff0000), Solid(4, 4, 0xff0000ff)};
  TextureLevels t;
  ASSERT_EQ(kvrdds::BuildTextureLevels(FileInfo(8, 8, D3DFMT_A8R8G8B8, true, 2), file, PageRequest(), t), D3D_OK);
  ASSERT_EQ(t.levels.size(), 4u);
  EXPECT_EQ(t.levels[0].At(3, 3), 0xffff0000u);
  EXPECT_EQ(t.levels[1].At(1, 1), 0xff0000ffu);
  EXPECT_EQ(t.levels[3].At(0, 0), 0xff0000ffu);  // built from the stored level above it

  // D3DX_FROM_FILE takes exactly the stored levels.
  TextureRequest fromFile = PageRequest();
  fromFile.mipLevels = D3DX_FROM_FILE;
  ASSERT_EQ(kvrdds::BuildTextureLevels(FileInfo(8, 8, D3DFMT_A8R8G8B8, true, 2), file, fromFile, t), D3D_OK);
  EXPECT_EQ(t.levels.size(), 2u);
}

TEST(DdsTextureLevels, TriangleFilterHalvesWithOneThreeThreeOneWeightsAndMirroredEdges) {
  // Columns 0 0 255 255 (red), every row alike.
  ArgbImage src = Solid(4, 2, 0xff000000);
  for (uint32_t y = 0; y < 2; ++y) src.texels[y * 4 + 2] = src.texels[y * 4 + 3] = 0xffff0000;
  kvrdds::FilterSpec mirror;
  ASSERT_TRUE(kvrdds::ParseFilter(kTriangleMirror, kvrdds::FilterSpec::Box, mirror));
  const ArgbImage half = kvrdds::NextMipLevel(src, mirror);
  ASSERT_EQ(half.width, 2u);
  ASSERT_EQ(half.height, 1u);
  // Left: texels -1 (mirrored to 0), 0, 1, 2 weigh 1:3:3:1 -> 255 / 8 = 31.9.
  // Right: texels 1, 2, 3, 4 (mirrored to 3) -> (3 + 3 + 1) * 255 / 8 = 223.1.
  EXPECT_EQ(half.At(0, 0), 0xff200000u);
  EXPECT_EQ(half.At(1, 0), 0xffdf0000u);

  // Wrapped edges instead: texel -1 is texel 3 (red), texel 4 is texel 0 (black).
  kvrdds::FilterSpec wrap;
  ASSERT_TRUE(kvrdds::ParseFilter(D3DX_FILTER_TRIANGLE, kvrdds::FilterSpec::Box, wrap));
  const ArgbImage wrapped = kvrdds::NextMipLevel(src, wrap);
  EXPECT_EQ(wrapped.At(0, 0), 0xff400000u);  // (1 + 1) * 255 / 8 = 63.75
  EXPECT_EQ(wrapped.At(1, 0), 0xffbf0000u);  // (3 + 3) * 255 / 8 = 191.25

  kvrdds::FilterSpec bad;
  EXPECT_FALSE(kvrdds::ParseFilter(9, kvrdds::FilterSpec::Box, bad));
  TextureRequest badRequest = PageRequest();
  badRequest.mipFilter = 9;
  TextureLevels t;
  EXPECT_EQ(kvrdds::BuildTextureLevels(FileInfo(4, 2, D3DFMT_A8R8G8B8, true), {src}, badRequest, t),
            D3DERR_INVALIDCALL);
}

TEST(DdsColorKey, OnlyTexelsThatAreExactlyTheKeyBecomeTransparentBlackBeforeMipsAreBuilt) {
  ArgbImage src = Solid(4, 4, 0xff00ff00);  // pure green, except row 0
  src.texels[0] = 0xff01ff00;
  src.texels[1] = 0xff00fe00;
  src.texels[2] = 0xff00ff01;
  src.texels[3] = 0x0000ff00;  // a see-through green texel is compared as if opaque
  TextureLevels t;
  ASSERT_EQ(kvrdds::BuildTextureLevels(FileInfo(4, 4, D3DFMT_X8R8G8B8, false), {src}, PageRequest(), t), D3D_OK);
  // A file without alpha still gets a texture with alpha, or the key could not show.
  EXPECT_EQ(t.format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(t.levels[0].At(0, 0), 0xff01ff00u);
  EXPECT_EQ(t.levels[0].At(1, 0), 0xff00fe00u);
  EXPECT_EQ(t.levels[0].At(2, 0), 0xff00ff01u);
  EXPECT_EQ(t.levels[0].At(3, 0), 0u);
  for (uint32_t y = 1; y < 4; ++y)
    for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(t.levels[0].At(x, y), 0u) << x << "," << y;
  // The keyed texels were blended in as transparent black: the 1x1 level is mostly clear.
  EXPECT_LT(t.levels.back().At(0, 0) >> 24, 0x80u);

  // Key 0 keys nothing: black stays black.
  ASSERT_EQ(kvrdds::BuildTextureLevels(FileInfo(4, 4, D3DFMT_A8R8G8B8, true), {Solid(4, 4, 0xff000000)},
                                       PageRequest(0), t),
            D3D_OK);
  EXPECT_EQ(t.levels[0].At(0, 0), 0xff000000u);
}

TEST(DdsTextureFormat, TheFilesFormatPicksATextureFormatThatKeepsItsTexels) {
  struct Case {
    D3DFORMAT file;
    bool alpha;
    D3DFORMAT requested;
    D3DFORMAT expected;
  };
  const Case cases[] = {
      {D3DFMT_DXT1, true, D3DFMT_UNKNOWN, D3DFMT_A8R8G8B8},  // DXT1 may hold 1-bit alpha
      {D3DFMT_DXT5, true, D3DFMT_UNKNOWN, D3DFMT_A8R8G8B8},
      {D3DFMT_R8G8B8, false, D3DFMT_UNKNOWN, D3DFMT_X8R8G8B8},
      {D3DFMT_R5G6B5, false, D3DFMT_UNKNOWN, D3DFMT_X8R8G8B8},
      {D3DFMT_A1R5G5B5, true, D3DFMT_UNKNOWN, D3DFMT_A8R8G8B8},
      {D3DFMT_A4R4G4B4, true, D3DFMT_UNKNOWN, D3DFMT_A4R4G4B4},
      {D3DFMT_DXT1, true, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8},
      {D3DFMT_DXT5, true, D3DFMT_A4R4G4B4, D3DFMT_A4R4G4B4},
      {D3DFMT_R8G8B8, false, D3DFMT_DXT5, D3DFMT_A8R8G8B8},  // nearest the device has
  };
  for (const Case& c : cases) {
    TextureRequest r = PageRequest(0);
    r.format = c.requested;
    TextureLevels t;
    ASSERT_EQ(kvrdds::BuildTextureLevels(FileInfo(2, 2, c.file, c.alpha), {Solid(2, 2, 0xff000000)}, r, t), D3D_OK);
    EXPECT_EQ(t.format, c.expected) << "file " << c.file << " requested " << c.requested;
  }
}

TEST(DdsTextureFormat, PackingWritesRowsAtThePitchAndRoundsToFourBits) {
  ArgbImage img = Solid(2, 2, 0x80ff7f00);
  img.texels[3] = 0x11223344;
  std::vector<uint8_t> memory(2 * 16, 0xcd);  // pitch 16: bytes past each row stay untouched
  ASSERT_TRUE(kvrdds::PackLevel(img, D3DFMT_A4R4G4B4, memory.data(), 16));
  // 0x80 -> 8, 0xff -> f, 0x7f -> 7, 0x00 -> 0; 0x11 -> 1, 0x22 -> 2, 0x33 -> 3, 0x44 -> 4.
  EXPECT_EQ(memory[0] | memory[1] << 8, 0x8f70);
  EXPECT_EQ(memory[16 + 2] | memory[16 + 3] << 8, 0x1234);
  EXPECT_EQ(memory[4], 0xcd);
  EXPECT_EQ(memory[16 + 4], 0xcd);

  ASSERT_TRUE(kvrdds::PackLevel(img, D3DFMT_X8R8G8B8, memory.data(), 16));
  EXPECT_EQ(memory[16 + 4 + 3], 0xff);  // the spare byte of texel (1, 1)
  EXPECT_EQ(memory[16 + 4 + 0], 0x44);
  EXPECT_FALSE(kvrdds::PackLevel(img, D3DFMT_DXT1, memory.data(), 16));
}

}  // namespace
