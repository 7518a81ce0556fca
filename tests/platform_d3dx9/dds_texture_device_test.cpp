// D3DXCreateTextureFromFileExA on a real (headless) device: files found by Windows paths,
// textures read back through LockRect, and failures that leave nothing behind.
#include <d3dx9.h>
#include <squish.h>

#include "dds_test_support.h"

using ddsfile::Header;
using kvrdds::ArgbImage;

namespace {

constexpr DWORD kTriangleMirror = D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR;

class DdsTextureOnDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    kvrtest::ResetDeviceSeams();
    device_ = testsupport::CreateTestDevice(320, 240);
    ASSERT_NE(device_, nullptr);
  }
  void TearDown() override {
    if (texture_) texture_->Release();
    texture_ = nullptr;
    device_.reset();
    kvrtest::ResetDeviceSeams();
  }

  // Loads a file as the texture pages do (default sizes and levels, format from the file,
  // pure green keyed out).
  HRESULT LoadPage(const char* path, D3DXIMAGE_INFO* info = nullptr, D3DCOLOR key = 0xFF00FF00) {
    return D3DXCreateTextureFromFileExA(device_->device, path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, kTriangleMirror, kTriangleMirror, key,
                                        info, nullptr, &texture_);
  }

  // Level `level` of the texture as ARGB, read through LockRect at the locked pitch.
  ArgbImage ReadLevel(UINT level) {
    ArgbImage out;
    D3DSURFACE_DESC desc = {};
    if (FAILED(texture_->GetLevelDesc(level, &desc))) return out;
    D3DLOCKED_RECT locked = {};
    if (FAILED(texture_->LockRect(level, &locked, nullptr, D3DLOCK_READONLY))) return out;
    out.width = desc.Width;
    out.height = desc.Height;
    for (UINT y = 0; y < desc.Height; ++y) {
      const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + ptrdiff_t(y) * locked.Pitch;
      for (UINT x = 0; x < desc.Width; ++x) {
        uint32_t t;
        if (desc.Format == D3DFMT_A4R4G4B4) {
          const uint32_t v = row[2 * x] | row[2 * x + 1] << 8;
          t = ((v >> 12) & 0xf) * 0x11000000u | ((v >> 8) & 0xf) * 0x110000u | ((v >> 4) & 0xf) * 0x1100u |
              (v & 0xf) * 0x11u;
        } else {
          t = row[4 * x] | row[4 * x + 1] << 8 | row[4 * x + 2] << 16 | uint32_t(row[4 * x + 3]) << 24;
        }
        out.texels.push_back(t);
      }
    }
    texture_->UnlockRect(level);
    return out;
  }

  testsupport::TempDir dir_;
  std::unique_ptr<testsupport::TestDevice> device_;
  IDirect3DTexture9* texture_ = nullptr;
};

// A 100x60 DXT1 page with pure green squares, written into a folder of mixed letter case.
std::vector<uint8_t> GreenSquaresPage() {
  std::vector<squish::u8> rgba;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) {
      const bool green = (x / 4 + y / 4) % 2 == 0;  // whole 4x4 blocks, so DXT1 keeps it exact
      rgba.insert(rgba.end(), {squish::u8(green ? 0 : 200), squish::u8(green ? 255 : 40), 0, 255});
    }
  std::vector<uint8_t> blocks(size_t(squish::GetStorageRequirements(100, 60, squish::kDxt1)));
  squish::CompressImage(rgba.data(), 100, 60, blocks.data(), squish::kDxt1);
  return ddstest::Concat(Header::Compressed("DXT1", 100, 60).Bytes(), blocks);
}

TEST_F(DdsTextureOnDevice, APageLoadsThroughAWindowsPathWithAFullChainAndGreenKeyedOut) {
  testsupport::WriteFile("Duskfen/TexPages/Page-1.dds", GreenSquaresPage());
  D3DXIMAGE_INFO info = {};
  ASSERT_EQ(LoadPage("duskfen\\texpages\\PAGE-1.DDS", &info), D3D_OK);
  ASSERT_NE(texture_, nullptr);

  EXPECT_EQ(info.Width, 100u);
  EXPECT_EQ(info.Height, 60u);
  EXPECT_EQ(info.Depth, 1u);
  EXPECT_EQ(info.MipLevels, 1u);
  EXPECT_EQ(info.Format, D3DFMT_DXT1);
  EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);

  // 100x60 rounds up to 128x64: 8 levels down to 1x1.
  ASSERT_EQ(texture_->GetLevelCount(), 8u);
  D3DSURFACE_DESC desc = {};
  ASSERT_EQ(texture_->GetLevelDesc(0, &desc), D3D_OK);
  EXPECT_EQ(desc.Width, 128u);
  EXPECT_EQ(desc.Height, 64u);
  EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
  ASSERT_EQ(texture_->GetLevelDesc(7, &desc), D3D_OK);
  EXPECT_EQ(desc.Width, 1u);
  EXPECT_EQ(desc.Height, 1u);

  // Resized, the squares' insides stay as they were: green keyed to 0, the rest opaque red.
  const ArgbImage level0 = ReadLevel(0);
  ASSERT_EQ(level0.texels.size(), 128u * 64u);
  EXPECT_EQ(level0.At(2, 2), 0u);  // inside the first green square
  EXPECT_EQ(level0.At(7, 2) >> 24, 0xffu);  // inside the first red square
  EXPECT_NEAR(int((level0.At(7, 2) >> 16) & 0xff), 200, 4);
  // No texel anywhere is still opaque pure green.
  for (UINT level = 0; level < 8; ++level)
    for (uint32_t t : ReadLevel(level).texels) ASSERT_NE(t, 0xff00ff00u) << "level " << level;
}

TEST_F(DdsTextureOnDevice, AnA4R4G4B4FileStaysA4R4G4B4TexelForTexel) {
  D3DSURFACE_DESC desc = {};
  std::vector<uint8_t> a4 = Header::Masked(2, 2, 16, 0x0f00, 0x00f0, 0x000f, 0xf000).Bytes();
  a4.insert(a4.end(), {0x34, 0x12, 0x78, 0x56, 0xbc, 0x9a, 0xf0, 0xde});
  testsupport::WriteFile("a4.dds", a4);
  ASSERT_EQ(LoadPage("a4.dds", nullptr, 0), D3D_OK);
  texture_->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
  EXPECT_EQ(ReadLevel(0).texels, (std::vector<uint32_t>{0x11223344, 0x55667788, 0x99aabbcc, 0xddeeff00}));
}

TEST_F(DdsTextureOnDevice, TheDevicesLargestTextureCapsTheSize) {
  kvrtest::SetMaxTextureSize(64);
  std::vector<uint8_t> page = Header::Compressed("DXT1", 256, 256).Bytes();
  page.resize(page.size() + 64 * 64 * 8, 0);
  testsupport::WriteFile("big.dds", page);
  ASSERT_EQ(LoadPage("big.dds"), D3D_OK);
  D3DSURFACE_DESC desc = {};
  texture_->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Width, 64u);
  EXPECT_EQ(texture_->GetLevelCount(), 7u);
}

TEST_F(DdsTextureOnDevice, FilesThatCannotBeLoadedFailAndLeaveNoTexture) {
  testsupport::WriteFile("not-a-dds.dds", std::string("P6\n4 4\n255\n") + std::string(48, '\x7f'));
  testsupport::WriteFile("truncated.dds", Header::Compressed("DXT1", 64, 64).Bytes());
  Header huge = Header::Compressed("DXT1", 65535, 65535);
  testsupport::WriteFile("huge.dds", ddstest::Concat(huge.Bytes(), std::vector<uint8_t>(64, 0)));
  std::filesystem::create_directories("folder.dds");
  const char* paths[] = {"missing.dds", "not-a-dds.dds", "truncated.dds", "huge.dds", "folder.dds"};
  const auto before = kvrtest::GetCounters(device_->device).textureLocks;
  for (const char* path : paths) {
    SCOPED_TRACE(path);
    texture_ = reinterpret_cast<IDirect3DTexture9*>(0x1);  // must be overwritten with null
    EXPECT_TRUE(FAILED(LoadPage(path)));
    EXPECT_EQ(texture_, nullptr);
  }
  EXPECT_EQ(kvrtest::GetCounters(device_->device).textureLocks, before);

  EXPECT_EQ(D3DXCreateTextureFromFileExA(nullptr, "missing.dds", D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                         D3DFMT_UNKNOWN, D3DPOOL_MANAGED, kTriangleMirror, kTriangleMirror, 0,
                                         nullptr, nullptr, &texture_),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(texture_, nullptr);
}

}  // namespace
