// D3DXSaveSurfaceToFileA: surfaces and the drawn back buffer written as PNG files and read back
// with libpng pixel for pixel; refusals that leave no file behind.
#include <d3dx9.h>
#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;

struct PngFile {
  UINT width = 0, height = 0;
  bool alpha = false;            // the file has an alpha channel
  std::vector<uint32_t> argb;    // 0xAARRGGBB, top row first
};

bool ReadPngFile(const std::string& path, PngFile& out) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  out.width = image.width;
  out.height = image.height;
  out.alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_BGRA;  // B, G, R, A bytes: 0xAARRGGBB words
  out.argb.resize(size_t(image.width) * image.height);
  if (png_image_finish_read(&image, nullptr, out.argb.data(), 0, nullptr)) return true;
  png_image_free(&image);
  return false;
}

// A surface of another device layer: says it holds a depth format the writer cannot read.
struct DepthSurface final : IDirect3DSurface9 {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9**) override { return D3DERR_INVALIDCALL; }
  D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return D3DRTYPE_SURFACE; }
  HRESULT STDMETHODCALLTYPE GetDesc(D3DSURFACE_DESC* d) override {
    *d = {D3DFMT_D16, D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, D3DMULTISAMPLE_NONE, 0, 4, 4};
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE LockRect(D3DLOCKED_RECT* l, const RECT*, DWORD) override {
    *l = {8, texels};
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE UnlockRect() override { return D3D_OK; }
  uint16_t texels[16] = {};
};

class SaveSurface : public ::testing::Test {
 protected:
  void SetUp() override {
    kvrtest::ResetDeviceSeams();
    device_ = testsupport::CreateTestDevice(64, 48);
    ASSERT_TRUE(device_ && device_->device);
    dev = device_->device;
  }
  void TearDown() override {
    for (IDirect3DSurface9* s : surfaces_) s->Release();
    device_.reset();
  }

  // A system-memory surface whose texel (x, y) is texel(x, y), in 16 or 32 bits by format.
  IDirect3DSurface9* Surface(UINT w, UINT h, D3DFORMAT format, const std::function<uint32_t(UINT, UINT)>& texel) {
    IDirect3DSurface9* s = nullptr;
    EXPECT_EQ(D3D_OK, dev->CreateOffscreenPlainSurface(w, h, format, D3DPOOL_SYSTEMMEM, &s, nullptr));
    if (!s) return nullptr;
    surfaces_.push_back(s);
    D3DLOCKED_RECT lr = {};
    EXPECT_EQ(D3D_OK, s->LockRect(&lr, nullptr, 0));
    const size_t bytes = (format == D3DFMT_R5G6B5 || format == D3DFMT_A4R4G4B4) ? 2 : 4;
    for (UINT y = 0; y < h; ++y)
      for (UINT x = 0; x < w; ++x) {
        const uint32_t v = texel(x, y);
        std::memcpy(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch + x * bytes, &v, bytes);
      }
    s->UnlockRect();
    return s;
  }
  ULONG DeviceRefs() {
    dev->AddRef();
    return dev->Release();
  }
  static bool NoFiles() { return fs::is_empty("."); }

  testsupport::TempDir dir_;
  std::unique_ptr<testsupport::TestDevice> device_;
  IDirect3DDevice9* dev = nullptr;
  std::vector<IDirect3DSurface9*> surfaces_;
};

uint32_t Pattern(UINT x, UINT y) { return x * 0x01030507u + y * 0x0B0D1100u + (x ^ y) * 0x2F000000u; }
uint8_t Widen(uint32_t v, int bits) { return uint8_t(bits == 4 ? v * 0x11 : (v << (8 - bits)) | (v >> (2 * bits - 8))); }

TEST_F(SaveSurface, EachFormatRoundTripsExactlyWithAlphaOnlyWhereTheFormatHasIt) {
  const struct {
    D3DFORMAT format;
    bool alpha;
    std::function<uint32_t(uint32_t)> expected;  // from the texel written
  } cases[] = {
      {D3DFMT_A8R8G8B8, true, [](uint32_t v) { return v; }},
      {D3DFMT_X8R8G8B8, false, [](uint32_t v) { return v | 0xFF000000u; }},
      {D3DFMT_R5G6B5, false, [](uint32_t v) {
         return 0xFF000000u | Widen((v >> 11) & 31, 5) << 16 | Widen((v >> 5) & 63, 6) << 8 | Widen(v & 31, 5);
       }},
      {D3DFMT_A4R4G4B4, true, [](uint32_t v) {
         return uint32_t(Widen((v >> 12) & 15, 4)) << 24 | Widen((v >> 8) & 15, 4) << 16 |
                Widen((v >> 4) & 15, 4) << 8 | Widen(v & 15, 4);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    const bool wide = c.format == D3DFMT_A8R8G8B8 || c.format == D3DFMT_X8R8G8B8;
    auto texel = [wide](UINT x, UINT y) { return wide ? Pattern(x, y) : Pattern(x, y) & 0xFFFF; };
    ASSERT_EQ(D3D_OK, D3DXSaveSurfaceToFileA("shot.png", D3DXIFF_PNG, Surface(37, 23, c.format, texel), nullptr,
                                             nullptr));
    PngFile png;
    ASSERT_TRUE(ReadPngFile("shot.png", png));
    ASSERT_EQ(37u, png.width);
    ASSERT_EQ(23u, png.height);
    EXPECT_EQ(c.alpha, png.alpha);
    for (UINT y = 0; y < 23; ++y)
      for (UINT x = 0; x < 37; ++x) ASSERT_EQ(c.expected(texel(x, y)), png.argb[y * 37 + x]) << x << ", " << y;
  }
}

TEST_F(SaveSurface, SourceRectangleCropsFromItsTopLeft) {
  IDirect3DSurface9* s = Surface(37, 23, D3DFMT_A8R8G8B8, Pattern);
  const RECT r = {5, 3, 25, 13};
  ASSERT_EQ(D3D_OK, D3DXSaveSurfaceToFileA("crop.png", D3DXIFF_PNG, s, nullptr, &r));
  PngFile png;
  ASSERT_TRUE(ReadPngFile("crop.png", png));
  ASSERT_EQ(20u, png.width);
  ASSERT_EQ(10u, png.height);
  for (UINT y = 0; y < 10; ++y)
    for (UINT x = 0; x < 20; ++x) ASSERT_EQ(Pattern(x + 5, y + 3), png.argb[y * 20 + x]) << x << ", " << y;
}

TEST_F(SaveSurface, BackBufferIsSavedTopRowFirstBeforeAndAfterPresent) {
  const ULONG refs = DeviceRefs();
  const D3DRECT top = {0, 0, 64, 8}, box = {10, 20, 16, 24};
  ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0));
  ASSERT_EQ(D3D_OK, dev->Clear(1, &top, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0));
  ASSERT_EQ(D3D_OK, dev->Clear(1, &box, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0));
  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(D3D_OK, dev->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back));
  ASSERT_EQ(D3D_OK, D3DXSaveSurfaceToFileA("before.png", D3DXIFF_PNG, back, nullptr, nullptr));
  ASSERT_EQ(D3D_OK, dev->Present(nullptr, nullptr, nullptr, nullptr));
  ASSERT_EQ(D3D_OK, D3DXSaveSurfaceToFileA("after.png", D3DXIFF_PNG, back, nullptr, nullptr));
  back->Release();
  EXPECT_EQ(refs, DeviceRefs());  // the copy D3DX made and its device reference are gone

  PngFile png;
  ASSERT_TRUE(ReadPngFile("before.png", png));
  ASSERT_EQ(64u, png.width);
  ASSERT_EQ(48u, png.height);
  EXPECT_FALSE(png.alpha);
  for (UINT y = 0; y < 48; ++y)
    for (UINT x = 0; x < 64; ++x) {
      const uint32_t expected = y < 8 ? 0xFFFF0000 : (x >= 10 && x < 16 && y >= 20 && y < 24) ? 0xFF00FF00 : 0xFF0000FF;
      ASSERT_EQ(expected, png.argb[y * 64 + x]) << x << ", " << y;
    }
  EXPECT_EQ(kvrtest::ReadBackBuffer(dev).pixels, png.argb);
  EXPECT_EQ(testsupport::ReadFile("before.png"), testsupport::ReadFile("after.png"));
}

TEST_F(SaveSurface, BackBufferOfItsOwnSizeIsSavedWholeWhateverTheWindowAndViewport) {
  device_.reset();
  device_ = testsupport::CreateTestDevice(64, 48, testsupport::PassThroughWindowProc, 80, 30);
  ASSERT_TRUE(device_ && device_->device);
  dev = device_->device;
  ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0));
  const D3DVIEWPORT9 corner = {70, 25, 10, 5, 0.0f, 1.0f};
  ASSERT_EQ(D3D_OK, dev->SetViewport(&corner));
  ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0));
  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(D3D_OK, dev->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back));
  EXPECT_EQ(D3D_OK, D3DXSaveSurfaceToFileA("wide.png", D3DXIFF_PNG, back, nullptr, nullptr));
  back->Release();
  PngFile png;
  ASSERT_TRUE(ReadPngFile("wide.png", png));
  ASSERT_EQ(80u, png.width);
  ASSERT_EQ(30u, png.height);
  for (UINT y = 0; y < 30; ++y)
    for (UINT x = 0; x < 80; ++x)
      ASSERT_EQ(x >= 70 && y >= 25 ? 0xFFFFFFFFu : 0xFF000000u, png.argb[y * 80 + x]) << x << ", " << y;
}

TEST_F(SaveSurface, RefusalsReturnD3DXsCodesAndWriteNothing) {
  IDirect3DSurface9* s = Surface(8, 6, D3DFMT_A8R8G8B8, Pattern);
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXSaveSurfaceToFileA(nullptr, D3DXIFF_PNG, s, nullptr, nullptr));
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXSaveSurfaceToFileA("a.png", D3DXIFF_PNG, nullptr, nullptr, nullptr));
  for (D3DXIMAGE_FILEFORMAT f : {D3DXIFF_BMP, D3DXIFF_JPG, D3DXIFF_DDS, D3DXIFF_FORCE_DWORD})
    EXPECT_EQ(D3DERR_INVALIDCALL, D3DXSaveSurfaceToFileA("a.png", f, s, nullptr, nullptr)) << f;
  for (RECT r : {RECT{0, 0, 0, 6}, RECT{4, 0, 2, 6}, RECT{-1, 0, 8, 6}, RECT{0, 0, 9, 6}, RECT{0, 2, 8, 7}})
    EXPECT_EQ(D3DERR_INVALIDCALL, D3DXSaveSurfaceToFileA("a.png", D3DXIFF_PNG, s, nullptr, &r));
  DepthSurface depth;
  EXPECT_EQ(D3DXERR_INVALIDDATA, D3DXSaveSurfaceToFileA("a.png", D3DXIFF_PNG, &depth, nullptr, nullptr));
  D3DLOCKED_RECT lr;
  ASSERT_EQ(D3D_OK, s->LockRect(&lr, nullptr, 0));
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXSaveSurfaceToFileA("a.png", D3DXIFF_PNG, s, nullptr, nullptr));
  s->UnlockRect();
  EXPECT_TRUE(NoFiles());
}

TEST_F(SaveSurface, NamesResolveTheWindowsWayAndOnlyRegularFilesAreWritten) {
  IDirect3DSurface9* s = Surface(8, 6, D3DFMT_X8R8G8B8, Pattern);
  fs::create_directory("Shots");
  ASSERT_EQ(D3D_OK, D3DXSaveSurfaceToFileA("shots\\Frame.png", D3DXIFF_PNG, s, nullptr, nullptr));
  ASSERT_EQ(D3D_OK, D3DXSaveSurfaceToFileA("SHOTS\\frame.PNG", D3DXIFF_PNG, s, nullptr, nullptr));
  EXPECT_EQ(std::vector<fs::path>{"Shots/Frame.png"},
            std::vector<fs::path>(fs::directory_iterator("Shots"), fs::directory_iterator()));
  const std::string saved = testsupport::ReadFile("Shots/Frame.png");

  // A link as the last name, a FIFO (never waited on), a device, a folder, a missing folder.
  fs::create_symlink("Shots/Frame.png", "link.png");
  fs::create_symlink("absent.png", "dangling.png");
  ASSERT_EQ(0, mkfifo("pipe.png", 0644));
  for (const char* name : {"link.png", "dangling.png", "pipe.png", "/dev/null", "Shots", "none\\a.png",
                           "Shots\\Frame.png\\a.png", ""})
    EXPECT_EQ(E_FAIL, D3DXSaveSurfaceToFileA(name, D3DXIFF_PNG, s, nullptr, nullptr)) << name;
  EXPECT_EQ(saved, testsupport::ReadFile("Shots/Frame.png"));
  EXPECT_FALSE(fs::exists("absent.png"));
  EXPECT_TRUE(fs::is_fifo("pipe.png"));

  // A file cut short (here by the file size limit) is removed, not left half written.
  struct rlimit old;
  ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &old));
  struct rlimit small = {64, old.rlim_max};
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
  const HRESULT cut = D3DXSaveSurfaceToFileA("Shots\\Frame.png", D3DXIFF_PNG, s, nullptr, nullptr);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(E_FAIL, cut);
  EXPECT_TRUE(fs::is_empty("Shots"));
}

}  // namespace
