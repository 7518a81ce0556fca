// Textures from BMP, PNG, JPEG and TGA files on a real (headless) device: what arrives in the
// texture, what D3DX reports of the file, and files that must fail without leaving a texture.
// ImageMagick writes the PNG and JPEG files, so the decoder is checked against another one; the
// TGA files are written by hand (ImageMagick's own TGA files disagree with the format about which
// row comes first).
#include <d3dx9.h>

#include <cstring>

#include "d3dx9/image_reader.h"
#include "dds_test_support.h"

using kvrdds::ArgbImage;

namespace {

std::string TgaFile(bool topFirst, bool runLength);

// A 24-bit BMP file of the picture, rows bottom-up and padded to four bytes as the format has it.
std::string BmpFile(const ArgbImage& img) {
  const uint32_t rowBytes = (img.width * 3 + 3) & ~3u;
  std::string pixels;
  for (uint32_t y = img.height; y-- > 0;) {
    std::string row;
    for (uint32_t x = 0; x < img.width; ++x) {
      const uint32_t t = img.At(x, y);
      row += char(t);
      row += char(t >> 8);
      row += char(t >> 16);
    }
    row.resize(rowBytes, '\0');
    pixels += row;
  }
  auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  return "BM" + u32(54 + uint32_t(pixels.size())) + u32(0) + u32(54) + u32(40) + u32(img.width) + u32(img.height) +
         u16(1) + u16(24) + u32(0) + u32(uint32_t(pixels.size())) + u32(2835) + u32(2835) + u32(0) + u32(0) + pixels;
}

class ImageTextureOnDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    kvrtest::ResetDeviceSeams();
    device_ = testsupport::CreateTestDevice(64, 64);
    ASSERT_NE(device_, nullptr);
  }
  void TearDown() override {
    if (texture_) texture_->Release();
    texture_ = nullptr;
    device_.reset();
  }
  HRESULT Load(const char* path, D3DXIMAGE_INFO* info = nullptr, D3DCOLOR key = 0, UINT mips = D3DX_DEFAULT) {
    if (texture_) texture_->Release();
    texture_ = nullptr;
    return D3DXCreateTextureFromFileExA(device_->device, path, D3DX_DEFAULT, D3DX_DEFAULT, mips, 0, D3DFMT_UNKNOWN,
                                        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, key, info, nullptr, &texture_);
  }
  // Level 0 as ARGB texels.
  ArgbImage Texels() {
    ArgbImage out;
    D3DSURFACE_DESC desc = {};
    D3DLOCKED_RECT locked = {};
    if (FAILED(texture_->GetLevelDesc(0, &desc)) || FAILED(texture_->LockRect(0, &locked, nullptr, D3DLOCK_READONLY)))
      return out;
    out.width = desc.Width;
    out.height = desc.Height;
    for (UINT y = 0; y < desc.Height; ++y)
      for (UINT x = 0; x < desc.Width; ++x) {
        uint32_t t;
        std::memcpy(&t, static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch + 4 * x, 4);
        out.texels.push_back(t);
      }
    texture_->UnlockRect(0);
    return out;
  }
  // Opaque texels: X8R8G8B8 leaves the top byte undefined.
  static ArgbImage Opaque(ArgbImage img) {
    for (uint32_t& t : img.texels) t |= 0xFF000000u;
    return img;
  }

  testsupport::TempDir dir_;
  std::unique_ptr<testsupport::TestDevice> device_;
  IDirect3DTexture9* texture_ = nullptr;
};

TEST_F(ImageTextureOnDevice, ABmpFileArrivesTexelForTexelTopRowFirst) {
  const ArgbImage picture = ddstest::TestPicture(32, 16, false);
  testsupport::WriteFile("Textures/Stripes.bmp", BmpFile(picture));
  D3DXIMAGE_INFO info = {};
  // Named the Windows way, in another letter case.
  ASSERT_EQ(Load("textures\\STRIPES.BMP", &info), D3D_OK);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
  EXPECT_EQ(info.Format, D3DFMT_R8G8B8);
  EXPECT_EQ(info.Width, 32u);
  EXPECT_EQ(info.Height, 16u);
  EXPECT_EQ(info.MipLevels, 1u);
  D3DSURFACE_DESC desc = {};
  texture_->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(texture_->GetLevelCount(), 6u);  // 32x16 down to 1x1
  EXPECT_TRUE(ddstest::ImagesMatch(Opaque(Texels()), picture, 0));
}

TEST_F(ImageTextureOnDevice, APngFileWithAlphaMatchesWhatImageMagickWrote) {
  if (!ddstest::HaveImageMagick()) GTEST_SKIP() << "no ImageMagick";
  const ArgbImage picture = ddstest::TestPicture(24, 20, true);
  ddstest::WritePam("picture.pam", picture, true);
  {
    const char* name = "picture.png";
    ASSERT_EQ(ddstest::Run(std::string(ddstest::kConvert) + " picture.pam " + name), 0);
    D3DXIMAGE_INFO info = {};
    // D3DX_FROM_FILE keeps the file's size (24 x 20 is no power of two).
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device_->device, name, D3DX_FROM_FILE, D3DX_FROM_FILE, 1, 0,
                                           D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info,
                                           nullptr, &texture_),
              D3D_OK);
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
    EXPECT_TRUE(ddstest::ImagesMatch(Texels(), picture, 0));
  }
}

// A 2x2 32-bit TGA file: its descriptor's bit 5 says whether the first stored row is the top one.
std::string TgaFile(bool topFirst, bool runLength) {
  std::string header(18, '\0');
  header[2] = runLength ? 10 : 2;
  header[12] = 2, header[14] = 2, header[16] = 32;
  header[17] = char(8 | (topFirst ? 0x20 : 0));
  // Stored rows: first (blue, green), then (red, white); texels are B, G, R, A.
  const std::string blue("\xFF\x00\x00\xFF", 4), green("\x00\xFF\x00\xFF", 4);
  const std::string red("\x00\x00\xFF\xFF", 4), white("\xFF\xFF\xFF\x80", 4);
  if (!runLength) return header + blue + green + red + white;
  // Two raw packets of two texels each (count byte 1 means two).
  return header + char(0x01) + blue + green + char(0x01) + red + white;
}

TEST_F(ImageTextureOnDevice, TgaRowsFollowTheFilesOriginPlainOrRunLengthEncoded) {
  for (bool runLength : {false, true}) {
    SCOPED_TRACE(runLength ? "run-length" : "plain");
    testsupport::WriteFile("top.tga", TgaFile(true, runLength));
    testsupport::WriteFile("bottom.tga", TgaFile(false, runLength));
    ASSERT_EQ(Load("top.tga", nullptr, 0, 1), D3D_OK);
    ArgbImage got = Texels();
    EXPECT_EQ(got.At(0, 0), 0xFF0000FFu);  // blue, stored first, on top
    EXPECT_EQ(got.At(1, 1), 0x80FFFFFFu);
    ASSERT_EQ(Load("bottom.tga", nullptr, 0, 1), D3D_OK);
    got = Texels();
    EXPECT_EQ(got.At(0, 0), 0xFFFF0000u);  // red, stored last, on top
    EXPECT_EQ(got.At(0, 1), 0xFF0000FFu);
  }
}

TEST_F(ImageTextureOnDevice, AJpegFileComesOutCloseToImageMagicksOwnDecoding) {
  if (!ddstest::HaveImageMagick()) GTEST_SKIP() << "no ImageMagick";
  ddstest::WritePam("picture.pam", ddstest::TestPicture(32, 32, false), false);
  ASSERT_EQ(ddstest::Run(std::string(ddstest::kConvert) + " picture.pam -quality 95 picture.jpg"), 0);
  ArgbImage expected;
  ASSERT_TRUE(ddstest::DecodeWithImageMagick("picture.jpg", 32, 32, expected));
  D3DXIMAGE_INFO info = {};
  ASSERT_EQ(Load("picture.jpg", &info), D3D_OK);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_JPG);
  // Two JPEG decoders may round their colour conversion differently.
  EXPECT_TRUE(ddstest::ImagesMatch(Opaque(Texels()), expected, 3));
}

TEST_F(ImageTextureOnDevice, TheColourKeyCutsHolesInAnImageWithoutAlpha) {
  ArgbImage picture = ddstest::TestPicture(8, 8, false);
  picture.texels[0] = picture.texels[9] = 0xFF00FF00u;  // pure green, as the key
  testsupport::WriteFile("keyed.bmp", BmpFile(picture));
  ASSERT_EQ(Load("keyed.bmp", nullptr, 0xFF00FF00u, 1), D3D_OK);
  D3DSURFACE_DESC desc = {};
  texture_->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
  const ArgbImage got = Texels();
  EXPECT_EQ(got.At(0, 0), 0u);
  EXPECT_EQ(got.At(1, 1), 0u);
  EXPECT_EQ(got.At(2, 0), picture.At(2, 0));
}

TEST_F(ImageTextureOnDevice, TheShortFormsLoadTheSameFileByANarrowOrAWideName) {
  const ArgbImage picture = ddstest::TestPicture(16, 16, false);
  testsupport::WriteFile("Bänder.bmp", BmpFile(picture));
  ASSERT_EQ(D3DXCreateTextureFromFileA(device_->device, "Bänder.bmp", &texture_), D3D_OK);
  EXPECT_TRUE(ddstest::ImagesMatch(Opaque(Texels()), picture, 0));
  texture_->Release();
  texture_ = nullptr;
  ASSERT_EQ(D3DXCreateTextureFromFileW(device_->device, L"B\u00e4nder.bmp", &texture_), D3D_OK);
  EXPECT_TRUE(ddstest::ImagesMatch(Opaque(Texels()), picture, 0));
  D3DXIMAGE_INFO info = {};
  EXPECT_EQ(D3DXGetImageInfoFromFileW(L"B\u00e4nder.bmp", &info), D3D_OK);
  EXPECT_EQ(info.Width, 16u);
}

// Damaged and hostile files: each fails with D3DXERR_INVALIDDATA, leaves no texture and does not
// touch the description, and D3DXGetImageInfoFromFileA refuses what its header gives away.
TEST_F(ImageTextureOnDevice, DamagedOrHostileImageFilesFailCleanly) {
  const std::string bmp = BmpFile(ddstest::TestPicture(16, 16, false));
  testsupport::WriteFile("cut-short.bmp", bmp.substr(0, 80));
  std::string enormous = bmp;
  enormous[18] = '\x00', enormous[19] = '\x00', enormous[20] = '\x01', enormous[21] = '\x00';  // 65536 wide
  enormous[22] = '\x00', enormous[23] = '\x00', enormous[24] = '\x01', enormous[25] = '\x00';  // 65536 high
  testsupport::WriteFile("enormous.bmp", enormous);
  std::string zeroWide = bmp;
  std::memset(&zeroWide[18], 0, 4);
  testsupport::WriteFile("zero-wide.bmp", zeroWide);
  testsupport::WriteFile("png-signature-only.png", std::string("\x89PNG\r\n\x1a\n", 8));
  testsupport::WriteFile("jpeg-start-only.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10));
  std::string tga(18, '\0');
  tga[2] = 2, tga[12] = 64, tga[14] = 64, tga[16] = 32;  // a 64x64 true-colour header, no texels
  testsupport::WriteFile("header-only.tga", tga);
  const std::string runs = TgaFile(true, true);
  testsupport::WriteFile("runs-cut-short.tga", runs.substr(0, runs.size() - 3));
  testsupport::WriteFile("text.txt", "neither an image nor a DDS file\n");
  testsupport::WriteFile("gif.gif", "GIF89a\x01\x00\x01\x00\x00\x00\x00;");
  for (const char* path : {"cut-short.bmp", "enormous.bmp", "zero-wide.bmp", "png-signature-only.png",
                           "jpeg-start-only.jpg", "header-only.tga", "runs-cut-short.tga", "text.txt", "gif.gif"}) {
    SCOPED_TRACE(path);
    D3DXIMAGE_INFO info = {};
    info.Width = 77;
    EXPECT_EQ(Load(path, &info), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture_, nullptr);
    EXPECT_EQ(info.Width, 77u);
  }
  for (const char* path : {"enormous.bmp", "zero-wide.bmp", "png-signature-only.png", "text.txt", "gif.gif"}) {
    SCOPED_TRACE(path);
    D3DXIMAGE_INFO info = {};
    EXPECT_EQ(D3DXGetImageInfoFromFileA(path, &info), D3DXERR_INVALIDDATA);
  }
}

// The reader alone, on bytes: a TGA has no signature, so only a header that makes sense is one.
TEST(ImageFileKinds, OnlyASensibleTgaHeaderIsTakenForATga) {
  D3DXIMAGE_FILEFORMAT kind;
  std::vector<uint8_t> tga(18, 0);
  tga[2] = 10, tga[12] = 4, tga[14] = 4, tga[16] = 24;  // run-length true colour, 4x4, 24 bits
  EXPECT_TRUE(kvrdds::IdentifyImageFile(tga.data(), tga.data() + tga.size(), kind));
  EXPECT_EQ(kind, D3DXIFF_TGA);
  std::vector<uint8_t> odd = tga;
  odd[16] = 13;  // no such depth
  EXPECT_FALSE(kvrdds::IdentifyImageFile(odd.data(), odd.data() + odd.size(), kind));
  odd = tga;
  odd[1] = 1;  // a colour map on a true-colour image
  EXPECT_FALSE(kvrdds::IdentifyImageFile(odd.data(), odd.data() + odd.size(), kind));
  // A PPM file's first bytes look like a TGA of type 10; it is neither.
  const std::string ppm = "P6\n4 4\n255\n" + std::string(48, '\x7f');
  const auto* p = reinterpret_cast<const uint8_t*>(ppm.data());
  EXPECT_FALSE(kvrdds::IdentifyImageFile(p, p + ppm.size(), kind));
  const std::string dds = "DDS " + std::string(124, '\0');
  p = reinterpret_cast<const uint8_t*>(dds.data());
  EXPECT_FALSE(kvrdds::IdentifyImageFile(p, p + dds.size(), kind));
}

}  // namespace
