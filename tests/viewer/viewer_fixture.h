// A headless viewer: the program's window procedure on a 1024 x 768 device, the screen font and
// the line buffers created, an injectable clock and a catalogue filled by hand.
#pragma once
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>

#include <functional>
#include <memory>
#include <string>

#include "app/camera.h"
#include "app/device.h"
#include "app/scene.h"
#include "app/input.h"
#include "app/category_panel.h"
#include "app/frame.h"
#include "app/model_panel.h"
#include "app/panel_row.h"
#include "app/viewer_state.h"
#include "data/category_manifests.h"
#include "data/model_loader.h"
#include "model/model_catalogue.h"
#include "overlay/bitmap_font.h"
#include "overlay/overlays.h"
#include "test_support.h"

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::make_unique<testsupport::TempDir>();
    kvrtest::ResetInput();
    kvrtest::ResetDeviceSeams();
    kvrtest::SetTime(50000);
    device_ = testsupport::CreateTestDevice(1024, 768, WindowProc);
    ASSERT_TRUE(device_);
    g_pd3dDevice = device_->device;
    ModelCatalogue.clear();
    CreateScreenFont();
    CreateAxes();  // also the colour-bar buffer
    for (int channel = 0; channel < 3; ++channel) SetColorBar(0, channel);
    Pump();  // the new window's first paint, so that it cannot drop a test's click later
    viewerState = ViewerState{};
    camera = Camera{};
    // Away from the panels and every screen edge, so neither hovers nor edge zoom interfere.
    kvrtest::SetCursorPos(900, 500);
    viewerState.mouseX = 900;
    viewerState.mouseY = 500;
  }

  void TearDown() override {
    ReleaseDeviceResources();
    g_pd3dDevice = nullptr;
    device_.reset();
    kvrtest::ResetInput();
    kvrtest::UseRealClock();
    ModelCatalogue.clear();
    viewerState = ViewerState{};
    dir_.reset();
  }

  // Catalogue entries without geometry: enough for listing and finding by name.
  static void AddModels(const std::string& prefix, int count, ModelCategory category) {
    for (int i = 0; i < count; ++i) {
      PieModel m;
      m.name = prefix + std::to_string(i);
      m.category = category;
      ModelCatalogue.push_back(m);
    }
  }

  // Names of varied length, so that two rows never draw alike.
  static ModelNameList Names(int count) {
    ModelNameList names;
    for (int i = 0; i < count; ++i)
      names.push_back("N" + std::string(static_cast<size_t>(i % 7), 'W') + std::to_string(i));
    return names;
  }

  HWND hwnd() const { return device_->hwnd; }

  void Send(UINT message, WPARAM wParam = 0) {
    kvrtest::PostScriptedMessage(hwnd(), message, wParam, 0);
    Pump();
  }
  // Dispatches every waiting message; true when WM_QUIT came out, with its exit code.
  bool Pump(WPARAM* quitCode = nullptr) {
    MSG msg = {};
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        if (quitCode) *quitCode = msg.wParam;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    return quit;
  }
  // A left press with the pointer at (x, y), as the idle tick would have read it.
  void PressAt(int x, int y) {
    viewerState.mouseX = static_cast<int16_t>(x);
    viewerState.mouseY = static_cast<int16_t>(y);
    Send(WM_LBUTTONDOWN);
    Send(WM_LBUTTONUP);
  }

  kvrtest::Image Frame() {
    RenderFrame();
    return kvrtest::ReadBackBuffer(g_pd3dDevice);
  }
  // What `draw` alone puts on a black screen, under the frame's texture-stage state.
  kvrtest::Image Reference(const std::function<void()>& draw) {
    IDirect3DDevice9* d = g_pd3dDevice;
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(255, 0, 0, 0), 1.0f, 0);
    d->BeginScene();
    ResetTextureStages();
    draw();
    d->EndScene();
    kvrtest::Image image = kvrtest::ReadBackBuffer(d);
    d->Present(nullptr, nullptr, nullptr, nullptr);
    return image;
  }

  // Pixels of the rectangle [x0, x1) x [y0, y1) that differ between two images.
  static int Differences(const kvrtest::Image& a, const kvrtest::Image& b, int x0, int y0, int x1,
                         int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (a.At(x, y) != b.At(x, y)) ++n;
    return n;
  }
  // Pixels of the rectangle that are not black.
  static int Lit(const kvrtest::Image& a, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if ((a.At(x, y) & 0x00FFFFFF) != 0) ++n;
    return n;
  }
  static void Save(const std::string& name, const kvrtest::Image& image) {
    kvrtest::WritePng(testsupport::OutputPath(name), image);
  }

  std::unique_ptr<testsupport::TestDevice> device_;
  std::unique_ptr<testsupport::TempDir> dir_;
};
