// Shared set-up of the model tests: empty tables, a scratch folder with the log, file writers and
// loaders of model text held in memory.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/camera.h"
#include "app/device.h"
#include "app/scene.h"
#include "base/error_log.h"
#include "data/animations.h"
#include "base/data_file.h"
#include "data/category_manifests.h"
#include "data/model_loader.h"
#include "model/model_catalogue.h"
#include "model/level_buffers.h"
#include "model/model_drawing.h"
#include "model/model_geometry.h"
#include "model/pie_parser.h"
#include "model/texture_pages.h"
#include "program_tables.h"
#include "test_support.h"

#include "dds_file.h"

// A scratch working directory with a fresh log, and no device: pages and buffers fail to be
// created, which the parser and the catalogue do not care about.
class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramTables();
    g_pd3dDevice = nullptr;
    ErrorLog::Start();
  }
  void TearDown() override {
    ResetProgramTables();
    g_pd3dDevice = nullptr;
  }

  // Log lines after the start line.
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines = testsupport::ReadLines("KVRerrors.log");
    if (!lines.empty()) lines.erase(lines.begin());
    return lines;
  }
  int LogCount(const std::string& line) const {
    std::vector<std::string> lines = LogLines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
  }

  testsupport::TempDir dir_;
};

// The same with a real headless device; everything it created is released before it goes.
class ModelDeviceTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    device_ = testsupport::CreateTestDevice(320, 240);
    ASSERT_TRUE(device_ && device_->device);
    g_pd3dDevice = device_->device;
  }
  void TearDown() override {
    ModelTest::TearDown();
    kvrtest::ResetDeviceSeams();
    device_.reset();
  }
  std::unique_ptr<testsupport::TestDevice> device_;
};

// The models folder of the tests; manifests and PIE files are named with backslashes, as on
// Windows, and written through forward slashes.
inline const char* kModelDir = "mydata\\models\\";

inline void WriteModelFile(const std::string& name, const std::string& text) {
  testsupport::WriteFile("mydata/models/" + name, text);
}

// A model's text in a buffer of exactly its size, as a file is read into memory: a read past its
// end is one past the allocation, which AddressSanitizer reports.
inline std::vector<char> Bytes(const std::string& text) { return std::vector<char>(text.begin(), text.end()); }

inline PieResult ParsePieText(const std::string& text, PieParse& out) {
  const std::vector<char> bytes = Bytes(text);
  return ParsePie(bytes.data(), bytes.data() + bytes.size(), out);
}

// Loads a model from its text as LoadModel loads the file of that name in the models folder (the
// log names the same path), without writing the file.
inline void LoadModelText(const std::string& fileName, const std::string& text,
                          ModelCategory category = CategoryStructures) {
  const std::vector<char> bytes = Bytes(text);
  const std::string path = kModelDir + fileName;
  LoadModelFromBytes(path.c_str(), fileName.c_str(), bytes.data(), bytes.data() + bytes.size(), category);
}

// A one-level PIE file: `points` and `polygons` are the words after the counts' keywords.
inline std::string OneLevelPie(const std::string& texture, int pointCount, const std::string& points,
                               int polygonCount, const std::string& polygons,
                               const std::string& tail = "") {
  return "PIE 2\nTYPE 200\nTEXTURE 0 " + texture + " 256 256\nLEVELS 1\nLEVEL 1\nPOINTS " +
         std::to_string(pointCount) + "\n" + points + "\nPOLYGONS " + std::to_string(polygonCount) +
         "\n" + polygons + "\n" + tail;
}

// A unit square in the z = 0 plane as one four-cornered polygon of the given flag word.
inline std::string SquarePie(const std::string& flag = "200", const std::string& texture = "page.pcx") {
  return OneLevelPie(texture, 4, "0 0 0  100 0 0  100 100 0  0 100 0", 1,
                     flag + " 4 0 1 2 3  0 0 16 0 16 16 0 16");
}

// Walks every model's blocks as their counts say; true when each model's blocks end exactly
// where the next model's begin and the last model's end at the ends of the stores.
inline bool StoresMatchTheirCounts() {
  size_t points = 0, polygons = 0;
  for (const PieModel& m : ModelCatalogue) {
    if (static_cast<size_t>(m.pointStart) != points || static_cast<size_t>(m.polygonStart) != polygons)
      return false;
    for (int32_t level = 0; level < m.levelCount; ++level) {
      TriangleList triangles;
      bool animated = false;
      size_t pointLength = 0, polygonLength = 0;
      if (!BuildLevelTriangles(m, points, polygons, triangles, animated, pointLength, polygonLength))
        return false;
      points += pointLength;
      polygons += polygonLength;
    }
  }
  return points == PointStore.size() && polygons == PolygonStore.size();
}

// A page of one colour in the page directory.
inline void WritePlainPage(const std::string& name, uint32_t argb, uint32_t size = 8) {
  testsupport::WriteFile("duskfen/texpages/" + name,
                         ddsfile::SolidArgb32(size, size, argb));
}
