// Image files as D3DX finds them on disk: only regular files are read, and
// D3DXGetImageInfoFromFileA reports from the header alone what loading the texture reports.
#include <d3dx9.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <future>

#include "dds_test_support.h"

using ddsfile::Header;

namespace {

constexpr DWORD kTriangleMirror = D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR;

// Bytes this process has read through read() and its kind so far.
uint64_t BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string field;
  uint64_t value = 0;
  while (io >> field >> value)
    if (field == "rchar:") return value;
  return 0;
}

// Runs `call` on another thread. Should it still be waiting after a long while, `release` lets it
// go and the test fails.
template <typename Call, typename Release>
auto WithoutWaiting(Call call, Release release) -> decltype(call()) {
  auto done = std::async(std::launch::async, call);
  if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    ADD_FAILURE() << "waited on a FIFO";
    release();
  }
  return done.get();
}

// A FIFO with nobody at either end is let go by opening both ends once.
void ReleaseFifo(const char* path) {
  const int peer = open(path, O_RDWR | O_NONBLOCK);
  if (peer >= 0) close(peer);
}

class DdsImageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    device_ = testsupport::CreateTestDevice(320, 240);
    ASSERT_NE(device_, nullptr);
  }
  void TearDown() override {
    if (texture_) texture_->Release();
    texture_ = nullptr;
    device_.reset();
  }

  HRESULT Load(const char* path, D3DXIMAGE_INFO* info = nullptr) {
    if (texture_) texture_->Release();
    texture_ = nullptr;
    return D3DXCreateTextureFromFileExA(device_->device, path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, kTriangleMirror, kTriangleMirror,
                                        0xFF00FF00, info, nullptr, &texture_);
  }

  testsupport::TempDir dir_;
  std::unique_ptr<testsupport::TestDevice> device_;
  IDirect3DTexture9* texture_ = nullptr;
};

TEST_F(DdsImageFiles, AFifoPageIsRefusedWithoutWaitingOrTakingItsBytes) {
  const std::vector<uint8_t> page = ddsfile::SolidArgb32(4, 4, 0xFF102030);
  std::filesystem::create_directories("Pages");
  ASSERT_EQ(mkfifo("Pages/held.dds", 0644), 0);
  ASSERT_EQ(mkfifo("Pages/empty.dds", 0644), 0);
  // A writer holds a whole page in the first: reading it would take the bytes, then wait for more.
  int writer = open("Pages/held.dds", O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(write(writer, page.data(), page.size()), ssize_t(page.size()));
  auto closeWriter = [&] {
    if (writer < 0) return ReleaseFifo("Pages/held.dds");
    close(writer);
    writer = -1;
  };
  D3DXIMAGE_INFO info = {};
  EXPECT_TRUE(FAILED(WithoutWaiting([&] { return Load("pages\\HELD.DDS"); }, closeWriter)));
  EXPECT_EQ(texture_, nullptr);
  EXPECT_EQ(WithoutWaiting([&] { return D3DXGetImageInfoFromFileA("pages\\HELD.DDS", &info); }, closeWriter),
            D3DXERR_INVALIDDATA);
  ASSERT_GE(writer, 0);
  std::vector<uint8_t> left(page.size() + 1);
  EXPECT_EQ(read(writer, left.data(), left.size()), ssize_t(page.size()));
  left.pop_back();
  EXPECT_EQ(left, page);
  close(writer);

  // Nobody at either end of the second: opening it to read would wait for a writer.
  auto release = [] { ReleaseFifo("Pages/empty.dds"); };
  EXPECT_TRUE(FAILED(WithoutWaiting([&] { return Load("Pages\\empty.dds"); }, release)));
  EXPECT_EQ(WithoutWaiting([&] { return D3DXGetImageInfoFromFileA("Pages\\empty.dds", &info); }, release),
            D3DXERR_INVALIDDATA);
}

TEST_F(DdsImageFiles, APageThatIsADeviceOrLinksToOneIsRefusedUnread) {
  std::filesystem::create_directories("Pages");
  ASSERT_EQ(symlink("/dev/zero", "Pages/zero.dds"), 0);
  // A good page behind a link still loads: links are followed, devices are not read.
  testsupport::WriteFile("Pages/real.dds", ddsfile::SolidArgb32(4, 4, 0xFF102030));
  ASSERT_EQ(symlink("real.dds", "Pages/linked.dds"), 0);
  D3DXIMAGE_INFO info = {};
  const uint64_t before = BytesReadSoFar();
  for (const char* path : {"PAGES\\ZERO.DDS", "/dev/zero"}) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(FAILED(Load(path)));
    EXPECT_EQ(texture_, nullptr);
    EXPECT_EQ(D3DXGetImageInfoFromFileA(path, &info), D3DXERR_INVALIDDATA);
  }
  EXPECT_LT(BytesReadSoFar() - before, 1u << 20);  // reading /dev/zero would only stop at 512 MB
  EXPECT_EQ(Load("pages\\linked.dds"), D3D_OK);
  EXPECT_EQ(D3DXGetImageInfoFromFileA("pages\\linked.dds", &info), D3D_OK);
}

TEST_F(DdsImageFiles, ImageInfoReadsTheHeaderAloneAndReportsWhatLoadingReports) {
  // 64x32 DXT5 with three levels of 16-byte blocks: 16x8, 8x4 and 4x2 of them.
  Header dxt5 = Header::Compressed("DXT5", 64, 32);
  dxt5.mipCount = 3;
  testsupport::WriteFile("Pages/Page-5.dds", ddstest::Concat(dxt5.Bytes(), std::vector<uint8_t>(16 * (128 + 32 + 8))));
  D3DXIMAGE_INFO info = {}, loaded = {};
  ASSERT_EQ(D3DXGetImageInfoFromFileA("PAGES\\page-5.DDS", &info), D3D_OK);
  EXPECT_EQ(info.Width, 64u);
  EXPECT_EQ(info.Height, 32u);
  EXPECT_EQ(info.Depth, 1u);
  EXPECT_EQ(info.MipLevels, 3u);
  EXPECT_EQ(info.Format, D3DFMT_DXT5);
  EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);
  ASSERT_EQ(Load("PAGES\\page-5.DDS", &loaded), D3D_OK);
  EXPECT_EQ(std::memcmp(&info, &loaded, sizeof info), 0);

  // A 2048x2048 A8R8G8B8 page is 16 MB; its header is all that is read.
  testsupport::WriteFile("Pages/big.dds", ddsfile::SolidArgb32(2048, 2048, 0xFF000000));
  const uint64_t before = BytesReadSoFar();
  ASSERT_EQ(D3DXGetImageInfoFromFileA("Pages\\big.dds", &info), D3D_OK);
  EXPECT_LT(BytesReadSoFar() - before, 64u << 10);
  EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(info.Width, 2048u);
}

TEST_F(DdsImageFiles, ImageInfoFailsWhereLoadingFailsWithoutTouchingTheDescription) {
  const std::vector<uint8_t> header = Header::Compressed("DXT1", 8, 8).Bytes();
  testsupport::WriteFile("short.dds", std::vector<uint8_t>(header.begin(), header.end() - 1));
  testsupport::WriteFile("empty.dds", "");
  testsupport::WriteFile("no-levels.dds", header);  // a whole header, but its 32 bytes of blocks missing
  testsupport::WriteFile("not-a-dds.dds", std::string("P6\n4 4\n255\n") + std::string(128, '\x7f'));
  std::filesystem::create_directories("folder.dds");
  for (const char* path : {"short.dds", "empty.dds", "no-levels.dds", "not-a-dds.dds", "folder.dds", "missing.dds"}) {
    SCOPED_TRACE(path);
    D3DXIMAGE_INFO info = {};
    info.Width = 77;
    EXPECT_EQ(D3DXGetImageInfoFromFileA(path, &info), D3DXERR_INVALIDDATA);
    EXPECT_EQ(info.Width, 77u);
    EXPECT_TRUE(FAILED(Load(path)));
  }
  EXPECT_EQ(D3DXGetImageInfoFromFileA(nullptr, nullptr), D3DERR_INVALIDCALL);
}

}  // namespace
