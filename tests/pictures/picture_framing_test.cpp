// The pictures' arithmetic: a model's points framed from any angle, the sheet's layout and labels,
// and the clock that puts animations at a named moment.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "app/picture_framing.h"
#include "app/sheet_layout.h"
#include "data/animation_clock.h"

namespace {

// The eight corners of a box from low to high.
std::vector<float> Box(float x0, float y0, float z0, float x1, float y1, float z1) {
  std::vector<float> points;
  for (int i = 0; i < 8; ++i) {
    points.insert(points.end(), {i & 1 ? x1 : x0, i & 2 ? y1 : y0, i & 4 ? z1 : z0});
  }
  return points;
}

struct Seen {
  float x, y;   // in the picture, -1 to 1 from edge to edge
  float depth;  // 0 at the near plane, 1 at the far one
  float eyeZ;   // distance in front of the eye
};

Seen Project(const PictureView& v, float x, float y, float z) {
  D3DXMATRIX both;
  D3DXMatrixMultiply(&both, &v.view, &v.projection);
  const float p[4] = {x, y, z, 1.0f};
  float out[4] = {0, 0, 0, 0};
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) out[c] += p[r] * both.m[r][c];
  const float eyeZ = x * v.view._13 + y * v.view._23 + z * v.view._33 + v.view._43;
  return {out[0] / out[3], out[1] / out[3], out[2] / out[3], eyeZ};
}

bool AllFinite(const D3DXMATRIX& m) {
  for (int i = 0; i < 16; ++i)
    if (!std::isfinite((&m._11)[i])) return false;
  return true;
}

TEST(PictureFraming, EveryPointLiesWithinTheFillAndTheWidestReachesIt) {
  const std::vector<float> box = Box(-25, 0, -12, 25, 30, 12);
  const float angles[][2] = {{35, 25}, {0, 0}, {90, 0}, {-120, 60}, {200, -30}, {10, 90}};
  for (const float aspect : {1.0f, 2.0f, 0.5f}) {
    for (const auto& a : angles) {
      const PictureView v = FramePoints(box, a[0], a[1], aspect);
      float widest = 0.0f;
      for (size_t i = 0; i < box.size(); i += 3) {
        const Seen s = Project(v, box[i], box[i + 1], box[i + 2]);
        EXPECT_LE(std::fabs(s.x), kPictureFill + 1e-3f) << a[0] << " " << a[1] << " " << aspect;
        EXPECT_LE(std::fabs(s.y), kPictureFill + 1e-3f) << a[0] << " " << a[1] << " " << aspect;
        EXPECT_GT(s.depth, 0.0f);
        EXPECT_LT(s.depth, 1.0f);
        widest = std::max({widest, std::fabs(s.x), std::fabs(s.y)});
      }
      EXPECT_NEAR(widest, kPictureFill, 0.01f) << a[0] << " " << a[1] << " " << aspect;
    }
  }
}

TEST(PictureFraming, TheEyeGoesRoundTowardsPlusXAndLooksDown) {
  const std::vector<float> box = Box(-1, -1, -1, 1, 1, 1);
  // Straight from the front the eye stands on -z, as the viewer's does.
  PictureView front = FramePoints(box, 0, 0, 1);
  EXPECT_LT(Project(front, 0, 0, -1).eyeZ, Project(front, 0, 0, 1).eyeZ);
  EXPECT_GT(Project(front, 1, 0, 0).x, 0.0f);  // +x is on the right
  EXPECT_GT(Project(front, 0, 1, 0).y, 0.0f);  // +y is up
  PictureView side = FramePoints(box, 90, 0, 1);
  EXPECT_LT(Project(side, 1, 0, 0).eyeZ, Project(side, -1, 0, 0).eyeZ);
  PictureView above = FramePoints(box, 0, 25, 1);
  EXPECT_LT(Project(above, 0, 1, 0).eyeZ, Project(above, 0, -1, 0).eyeZ);
  // Whole turns change nothing.
  PictureView turned = FramePoints(box, 35 + 3600, 25 - 720, 1);
  PictureView plain = FramePoints(box, 35, 25, 1);
  EXPECT_NEAR(Project(turned, 1, 1, -1).x, Project(plain, 1, 1, -1).x, 1e-4f);
  EXPECT_NEAR(Project(turned, 1, 1, -1).y, Project(plain, 1, 1, -1).y, 1e-4f);
}

TEST(PictureFraming, NoPointsOnePointAndWildNumbersStillGiveFiniteMatrices) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<std::vector<float>> sets = {
      {},
      {1e6f, 5.0f, -3.0f},
      {nan, 0, 0, 1, 2, 3, inf, -inf, 0},
      Box(-2.1e8f, -2.1e8f, -2.1e8f, 2.1e8f, 2.1e8f, 2.1e8f),
      {1, 2},  // not a whole point
  };
  for (const auto& points : sets) {
    for (const float aspect : {1.0f, 0.0f, nan}) {
      const PictureView v = FramePoints(points, 35, 90, aspect);
      EXPECT_TRUE(AllFinite(v.view) && AllFinite(v.projection)) << points.size();
      EXPECT_GT(v.nearPlane, 0.0f);
      EXPECT_GT(v.farPlane, v.nearPlane);
    }
  }
  // A lone point (or the one finite point among bad ones) lands in the middle.
  const Seen lone = Project(FramePoints({100.0f, 5.0f, -3.0f}, 35, 25, 1), 100.0f, 5.0f, -3.0f);
  EXPECT_NEAR(lone.x, 0.0f, 1e-3f);
  EXPECT_NEAR(lone.y, 0.0f, 1e-3f);
  const Seen kept = Project(FramePoints(sets[2], 0, 0, 1), 1, 2, 3);
  EXPECT_NEAR(kept.x, 0.0f, 1e-3f);
}

TEST(SheetLayout, ChoosesTheColumnsNearest16To9) {
  const SheetLayout sample = PlanSheet(55, 192, 0, 8192);
  EXPECT_EQ(sample.columns * sample.rows >= 55, true);
  EXPECT_EQ(sample.shown, 55);
  EXPECT_EQ(sample.width, sample.columns * 192);
  EXPECT_EQ(sample.height, sample.rows * (192 + kSheetLabelHeight));
  // No neighbouring count of columns comes nearer.
  const auto miss = [](int64_t columns) {
    const int64_t rows = (55 + columns - 1) / columns;
    return std::fabs(std::log(columns * 192.0 / (rows * (192.0 + kSheetLabelHeight)) / (16.0 / 9.0)));
  };
  EXPECT_LE(miss(sample.columns), miss(sample.columns - 1));
  EXPECT_LE(miss(sample.columns), miss(sample.columns + 1));
  // Columns given are kept, but never more than there are models.
  EXPECT_EQ(PlanSheet(55, 192, 4, 8192).columns, 4);
  EXPECT_EQ(PlanSheet(55, 192, 4, 8192).rows, 14);
  EXPECT_EQ(PlanSheet(3, 192, 10, 8192).columns, 3);
  EXPECT_EQ(PlanSheet(1, 192, 0, 8192).width, 192);
  EXPECT_EQ(PlanSheet(0, 192, 0, 8192).shown, 0);
}

TEST(SheetLayout, AHugeDataSetIsCutToTheLargestSheet) {
  const SheetLayout big = PlanSheet(100000, 192, 0, 8192);
  EXPECT_LE(big.width, 8192);
  EXPECT_LE(big.height, 8192);
  EXPECT_EQ(big.shown, int64_t{big.columns} * big.rows);
  EXPECT_LT(big.shown, 100000);
  const SheetLayout wide = PlanSheet(1000, 1024, 256, 8192);
  EXPECT_EQ(wide.columns, 8);
  EXPECT_EQ(wide.width, 8192);
  // A cell and its label taller than the sheet may be: nothing.
  EXPECT_EQ(PlanSheet(10, 1024, 0, 1000).shown, 0);
}

int32_t SevenPixelsAChar(const char* text) { return 7 * static_cast<int32_t>(std::strlen(text)); }

TEST(SheetLabels, LongNamesAreCutAndOddBytesShown) {
  EXPECT_EQ(FitLabel("windmill", 100, SevenPixelsAChar), "windmill");
  EXPECT_EQ(FitLabel("averyveryverylongname", 50, SevenPixelsAChar), "avery..");
  EXPECT_EQ(FitLabel(std::string("a\x01\xff\0b", 5), 100, SevenPixelsAChar), "a???b");
  EXPECT_EQ(FitLabel("abc", 15, SevenPixelsAChar), "..");
  EXPECT_EQ(FitLabel("abc", 10, SevenPixelsAChar), "");
}

TEST(AnimationClock, KeyframesFollowTheAnimationsOwnRate) {
  Animation a;
  a.frameCount = 8;
  a.frameRate = 10;
  EXPECT_EQ(KeyframeAtTime(a, 0), 0);
  EXPECT_EQ(KeyframeAtTime(a, 99), 0);
  EXPECT_EQ(KeyframeAtTime(a, 250), 2);
  EXPECT_EQ(KeyframeAtTime(a, 1000), 2);  // ten frames: round the eight once
  a.frameRate = 0;  // never steps
  EXPECT_EQ(KeyframeAtTime(a, 5000), 0);
  a.frameRate = -3;  // every beat
  EXPECT_EQ(KeyframeAtTime(a, 300), 3);
  a.frameRate = 2147483647;  // no overflow at the longest time
  const int32_t frame = KeyframeAtTime(a, 86400000);
  EXPECT_GE(frame, 0);
  EXPECT_LT(frame, 8);
  for (const int32_t frames : {1, 0, -4}) {
    a.frameCount = frames;
    EXPECT_EQ(KeyframeAtTime(a, 12345), 0);
  }
}

}  // namespace
