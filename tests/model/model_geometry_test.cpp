// Building triangles from the stores: fans, mirrored two-sided triangles, strip offsets, and the
// polygons the builder has to leave out.
#include "model_fixture.h"

class GeometryTest : public ModelTest {
 protected:
  int32_t Load(const std::string& text) {
    LoadModelText("m.pie", text);
    return static_cast<int32_t>(ModelCatalogue.size()) - 1;
  }
  TriangleList Level0(int32_t model) {
    TriangleList triangles;
    bool animated = false;
    size_t points = 0, polygons = 0;
    const PieModel& m = ModelCatalogue[model];
    EXPECT_TRUE(BuildLevelTriangles(m, m.pointStart, m.polygonStart, triangles, animated, points,
                                    polygons));
    return triangles;
  }
  // Each triangle's corners named after the square's points: a (0, 0), b (100, 0), c (100, 100),
  // d (0, 100).
  static std::vector<std::string> CornerNames(const TriangleList& triangles) {
    std::vector<std::string> names;
    for (const Triangle& t : triangles) {
      std::string name;
      for (int c = 0; c < 3; ++c) {
        const float x = t.position[c][0], y = t.position[c][1];
        name += x == 0 && y == 0 ? 'a' : x == 100 && y == 0 ? 'b' : x == 100 && y == 100 ? 'c' : 'd';
      }
      names.push_back(name);
    }
    return names;
  }
};

TEST_F(GeometryTest, PolygonsAreFannedAroundTheFirstCornerAndTwoSidedOnesMirrored) {
  int32_t one = Load(SquarePie("200"));
  EXPECT_EQ(CornerNames(Level0(one)), (std::vector<std::string>{"abc", "acd"}));
  int32_t two = Load(SquarePie("2200"));
  EXPECT_EQ(CornerNames(Level0(two)), (std::vector<std::string>{"abc", "acb", "acd", "adc"}));
  // Texels follow their corners through the fan and the mirror.
  TriangleList t = Level0(two);
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[1].texel[1][0], 16);  // corner c of the mirror: texel (16, 16)
  EXPECT_EQ(t[1].texel[1][1], 16);
  EXPECT_EQ(t[1].texel[2][0], 16);  // corner b: texel (16, 0)
  EXPECT_EQ(t[1].texel[2][1], 0);
}

TEST_F(GeometryTest, StripFrameSetsTheTexelOffsetAcrossThenDown) {
  int32_t m = Load(OneLevelPie("p.pcx", 3, "0 0 0 1 0 0 1 1 0", 1,
                               "4200 3 0 1 2 8 1 64 32 0 0 64 0 64 32"));
  ModelCatalogue[m].teamColors = 0;
  ModelCatalogue[m].frame = 5;  // four frames of 64 fit a row: column 1 of row 1
  TriangleList t = Level0(m);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].texel[0][0], 64);
  EXPECT_EQ(t[0].texel[0][1], 32);
  EXPECT_EQ(t[0].texel[2][0], 128);
  EXPECT_EQ(t[0].texel[2][1], 64);
  // A team-coloured model shows frame TeamNumber whatever its own frame.
  ModelCatalogue[m].teamColors = 1;
  t = Level0(m);
  EXPECT_EQ(t[0].texel[0][0], 0);
  EXPECT_EQ(t[0].texel[0][1], 0);
}

TEST_F(GeometryTest, UnusablePolygonsAreLeftOutAndBadStripsDrawnWithoutOffset) {
  int32_t m = Load(OneLevelPie("p.pcx", 3, "0 0 0 1 0 0 1 1 0", 7,
                               "200 2 0 1 0 0 1 0\n"               // two corners
                               "200 0\n"                           // none
                               "200 3 0 1 3 0 0 1 0 1 1\n"         // point 3 of a level of 3
                               "200 3 0 -1 2 0 0 1 0 1 1\n"        // negative point number
                               "4200 3 0 1 2 8 1 0 32 5 5 5 5 5 5\n"    // frame width 0
                               "4200 3 0 1 2 8 1 300 32 7 7 7 7 7 7\n"  // frame width 300
                               "200 3 2 1 0 9 9 9 9 9 9"));
  ModelCatalogue[m].teamColors = 0;
  ModelCatalogue[m].frame = 3;
  TriangleList t = Level0(m);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].texel[0][0], 5);
  EXPECT_EQ(t[1].texel[0][0], 7);
  EXPECT_EQ(t[2].texel[0][0], 9);
  EXPECT_TRUE(StoresMatchTheirCounts());
}

TEST_F(GeometryTest, EveryLevelKeepsItsTableEntryEvenWithoutTriangles) {
  std::string text =
      "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 3 "
      "LEVEL 1 POINTS 0 POLYGONS 0 "
      "LEVEL 2 POINTS 3 0 0 0 1 0 0 1 1 0 POLYGONS 1 200 2 0 1 0 0 0 0 "
      "LEVEL 3 POINTS 3 0 0 0 1 0 0 1 1 0 POLYGONS 1 200 3 0 1 2 0 0 0 0 0 0";
  Load(text);
  Load(SquarePie());
  ASSERT_EQ(LevelBufferTable.size(), 4u);
  EXPECT_EQ(LevelBufferTable[2].model, 0);
  EXPECT_EQ(LevelBufferTable[2].level, 2);
  EXPECT_EQ(LevelBufferTable[3].model, 1);
  EXPECT_EQ(FirstLevelBufferOf(1), 3);
  EXPECT_EQ(FirstLevelBufferOf(2), -1);
  // Empty levels ask for no buffer and so log nothing; without a device the others fail.
  EXPECT_EQ(LogCount("Failed to create vertex buffer m_pPieVB"), 2);
}
