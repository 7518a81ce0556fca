// A scratch data set, a headless device, the injectable clock, and every table the load touches
// emptied before and after each test.
#pragma once
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/camera.h"
#include "app/device.h"
#include "app/scene.h"
#include "base/error_log.h"
#include "data/animations.h"
#include "data/category_manifests.h"
#include "data/model_loader.h"
#include "model/model_catalogue.h"
#include "model/level_buffers.h"
#include "model/model_drawing.h"
#include "model/model_geometry.h"
#include "model/pie_parser.h"
#include "model/texture_pages.h"
#include "overlay/loading_screen.h"
#include "overlay/overlays.h"
#include "program_tables.h"
#include "test_support.h"

#include "dds_file.h"

namespace loadingtest {

// An uncompressed 32-bit DDS of one colour (0xAARRGGBB), no mip levels.
inline std::string SolidDds(uint32_t width, uint32_t height, uint32_t argb) {
  return ddsfile::AsString(ddsfile::SolidArgb32(width, height, argb));
}

// A PIE model of `levels` levels, level L a triangle whose x reaches 10 * (L + 1) PIE units, so the
// levels differ on screen; all on the page "page.dds".
inline std::string PieModelText(int levels, int size = 100) {
  std::string s = "PIE 2\nTYPE 200\nTEXTURE 0 page.pcx 256 256\nLEVELS " + std::to_string(levels) + "\n";
  for (int l = 0; l < levels; ++l) {
    const int x = size * (l + 1);
    s += "LEVEL " + std::to_string(l + 1) + "\nPOINTS 3\n 0 0 0\n " + std::to_string(x) + " 0 0\n 0 " +
         std::to_string(size) + " 0\nPOLYGONS 1\n 200 3 0 1 2 0 0 16 0 16 16\nCONNECTORS 0\n";
  }
  return s;
}

// A model of one level holding `triangles` copies of one triangle, on the given page.
inline std::string Triangles(int triangles, const char* page = "page.pcx") {
  std::string s = std::string("PIE 2\nTYPE 200\nTEXTURE 0 ") + page +
                  " 256 256\nLEVELS 1\nLEVEL 1\nPOINTS 3\n 0 0 0\n 10 0 0\n 0 10 0\nPOLYGONS " +
                  std::to_string(triangles) + "\n";
  for (int t = 0; t < triangles; ++t) s += " 200 3 0 1 2 0 0 16 0 16 16\n";
  return s + "CONNECTORS 0\n";
}

// One frame line: its number, then p1 p2 p3 r1 r2 r3 t1 t2 t3 as written in the file.
inline std::string FrameLine(int number, const std::vector<int>& nine) {
  std::string s = std::to_string(number);
  for (int v : nine) s += " " + std::to_string(v);
  return s + "\n";
}

inline std::string FramesAnimation(const std::string& model, int frameCount, int rate) {
  std::string s = "ANIM3DFRAMES \"" + model + ".pie\" " + std::to_string(frameCount) + " " +
                  std::to_string(rate) + " 0 {\n";
  for (int f = 0; f < frameCount; ++f) s += FrameLine(f, {f, 0, 0, 0, 0, 0, 0, 0, 0});
  return s + "}\n";
}

// Every object and frame carries the same position and rotation, as written in the file.
inline std::string TransAnimation(const std::string& model, int frameCount, int rate, int objects,
                                  const std::vector<int>& nine) {
  std::string s = "ANIM3DTRANS \"" + model + ".pie\" " + std::to_string(frameCount) + " " +
                  std::to_string(rate) + " " + std::to_string(objects) + " {\n";
  for (int o = 0; o < objects; ++o) {
    s += "ANIMOBJECT " + std::to_string(o) + " \"obj\" {\n";
    for (int f = 0; f < frameCount; ++f) s += FrameLine(f, nine);
    s += "}\n";
  }
  return s + "}\n";
}


class LoadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::make_unique<testsupport::TempDir>();
    kvrtest::ResetInput();
    kvrtest::ResetDeviceSeams();
    kvrtest::SetTime(50000);
    ResetProgramTables();
    if (NeedsDevice()) {
      device_ = testsupport::CreateTestDevice(1024, 768);
      ASSERT_TRUE(device_);
      g_pd3dDevice = device_->device;
    }
  }

  void TearDown() override {
    if (device_) ReleaseDeviceResources();
    ResetProgramTables();
    g_pd3dDevice = nullptr;
    device_.reset();
    kvrtest::UseRealClock();
    kvrtest::ResetInput();
    dir_.reset();
  }

  virtual bool NeedsDevice() const { return true; }

  static std::vector<std::string> Log() { return testsupport::ReadLines("KVRerrors.log"); }

  std::unique_ptr<testsupport::TestDevice> device_;
  std::unique_ptr<testsupport::TempDir> dir_;
};

}  // namespace loadingtest
