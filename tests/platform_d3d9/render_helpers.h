// Helpers of the Direct3D 9 tests: a small headless device, vertex uploads, and comparing the
// back buffer with an image worked out by hand (writing actual, expected and difference PNGs
// when they differ).
#pragma once
#include <d3d9.h>
#include <d3dx9.h>
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

namespace d3d9test {

struct RhwVertex {  // 0x44
  float x, y, z, rhw;
  D3DCOLOR color;
};
struct RhwTexVertex {  // 0x144
  float x, y, z, rhw;
  D3DCOLOR color;
  float u, v;
};
struct XyzVertex {  // 0x42
  float x, y, z;
  D3DCOLOR color;
};

constexpr int kWidth = 64;
constexpr int kHeight = 48;

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kvrtest::ResetDeviceSeams();
    t_ = testsupport::CreateTestDevice(kWidth, kHeight);
    ASSERT_TRUE(t_ && t_->device) << "no headless device";
    dev = t_->device;
  }
  void TearDown() override {
    for (IUnknown* r : resources_) r->Release();
    resources_.clear();
    t_.reset();
    kvrtest::ResetDeviceSeams();
  }

  // A vertex buffer holding the given bytes, released at tear-down.
  IDirect3DVertexBuffer9* Buffer(const void* data, UINT bytes) {
    IDirect3DVertexBuffer9* vb = nullptr;
    EXPECT_EQ(D3D_OK, dev->CreateVertexBuffer(bytes, 0, 0, D3DPOOL_SYSTEMMEM, &vb, nullptr));
    if (!vb) return nullptr;
    void* p = nullptr;
    EXPECT_EQ(D3D_OK, vb->Lock(0, 0, &p, 0));
    std::memcpy(p, data, bytes);
    vb->Unlock();
    resources_.push_back(vb);
    return vb;
  }

  // Draws the vertices in a scene of their own (the back buffer is not cleared).
  template <class V>
  HRESULT Draw(D3DPRIMITIVETYPE type, DWORD fvf, const std::vector<V>& vertices, UINT primitives) {
    IDirect3DVertexBuffer9* vb = Buffer(vertices.data(), static_cast<UINT>(vertices.size() * sizeof(V)));
    dev->SetFVF(fvf);
    dev->SetStreamSource(0, vb, 0, sizeof(V));
    dev->BeginScene();
    HRESULT hr = dev->DrawPrimitive(type, 0, primitives);
    dev->EndScene();
    return hr;
  }

  // Two triangles covering (x0, y0)..(x1, y1) in back-buffer coordinates, clockwise on screen.
  static std::vector<RhwVertex> Quad(float x0, float y0, float x1, float y1, D3DCOLOR c, float z = 0.5f) {
    return {{x0, y0, z, 1, c}, {x1, y0, z, 1, c}, {x0, y1, z, 1, c},
            {x1, y0, z, 1, c}, {x1, y1, z, 1, c}, {x0, y1, z, 1, c}};
  }
  static std::vector<RhwTexVertex> TexQuad(float x0, float y0, float x1, float y1, D3DCOLOR c) {
    return {{x0, y0, 0.5f, 1, c, 0, 0}, {x1, y0, 0.5f, 1, c, 1, 0}, {x0, y1, 0.5f, 1, c, 0, 1},
            {x1, y0, 0.5f, 1, c, 1, 0}, {x1, y1, 0.5f, 1, c, 1, 1}, {x0, y1, 0.5f, 1, c, 0, 1}};
  }

  void ClearTo(D3DCOLOR c, float z = 1.0f) {
    ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, c, z, 0));
  }

  // A texture of one level filled by fill(x, y) in its own format's 16- or 32-bit texels.
  IDirect3DTexture9* MakeTexture(UINT w, UINT h, D3DFORMAT format,
                                 const std::function<uint32_t(UINT, UINT)>& fill) {
    IDirect3DTexture9* tex = nullptr;
    EXPECT_EQ(D3D_OK, dev->CreateTexture(w, h, 1, 0, format, D3DPOOL_MANAGED, &tex, nullptr));
    if (!tex) return nullptr;
    D3DLOCKED_RECT lr;
    EXPECT_EQ(D3D_OK, tex->LockRect(0, &lr, nullptr, 0));
    for (UINT y = 0; y < h; ++y) {
      uint8_t* row = static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch;
      for (UINT x = 0; x < w; ++x) {
        if (format == D3DFMT_A4R4G4B4) {
          uint16_t v = static_cast<uint16_t>(fill(x, y));
          std::memcpy(row + 2 * x, &v, 2);
        } else {
          uint32_t v = fill(x, y);
          std::memcpy(row + 4 * x, &v, 4);
        }
      }
    }
    tex->UnlockRect(0);
    resources_.push_back(tex);
    return tex;
  }

  IDirect3DDevice9* dev = nullptr;

 private:
  std::unique_ptr<testsupport::TestDevice> t_;
  std::vector<IUnknown*> resources_;
};

// An image of the back buffer's size filled with one colour.
inline kvrtest::Image Filled(uint32_t color, int w = kWidth, int h = kHeight) {
  kvrtest::Image im;
  im.width = w;
  im.height = h;
  im.pixels.assign(static_cast<size_t>(w) * h, color);
  return im;
}

inline void Fill(kvrtest::Image& im, int x0, int y0, int x1, int y1, uint32_t color) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) im.pixels[static_cast<size_t>(y) * im.width + x] = color;
}

inline int Channel(uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

// Compares every channel of every pixel with a tolerance; on a difference writes
// <name>-actual.png, <name>-expected.png and <name>-difference.png (differing pixels white).
inline ::testing::AssertionResult MatchesImage(IDirect3DDevice9* dev, const kvrtest::Image& expected,
                                               const std::string& name, int tolerance = 0) {
  kvrtest::Image actual = kvrtest::ReadBackBuffer(dev);
  if (actual.width != expected.width || actual.height != expected.height)
    return ::testing::AssertionFailure() << "back buffer is " << actual.width << "x" << actual.height;
  kvrtest::Image diff = Filled(0xFF000000, actual.width, actual.height);
  int bad = 0;
  std::string first;
  for (int y = 0; y < actual.height; ++y)
    for (int x = 0; x < actual.width; ++x) {
      const uint32_t a = actual.At(x, y), e = expected.At(x, y);
      bool differs = false;
      for (int s = 0; s < 32; s += 8) differs |= std::abs(Channel(a, s) - Channel(e, s)) > tolerance;
      if (differs) {
        if (bad++ == 0) {
          char text[128];
          std::snprintf(text, sizeof(text), "first at (%d, %d): 0x%08X, expected 0x%08X", x, y, a, e);
          first = text;
        }
        diff.pixels[static_cast<size_t>(y) * diff.width + x] = 0xFFFFFFFF;
      }
    }
  if (bad == 0) return ::testing::AssertionSuccess();
  kvrtest::WritePng(testsupport::OutputPath(name + "-actual.png"), actual);
  kvrtest::WritePng(testsupport::OutputPath(name + "-expected.png"), expected);
  kvrtest::WritePng(testsupport::OutputPath(name + "-difference.png"), diff);
  return ::testing::AssertionFailure() << bad << " pixels differ by more than " << tolerance << "; "
                                       << first << " (images in " << testsupport::OutputPath("")
                                       << ")";
}

}  // namespace d3d9test
