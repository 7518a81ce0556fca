// Reading PIE files: the texture line, polygon records and kinds, levels and connector blocks.
#include "model_fixture.h"

class PieFileTest : public ModelTest {
 protected:
  // Loads one file from the models folder and returns its model number, -1 if none was added.
  int32_t Load(const std::string& name, const std::string& text) {
    WriteModelFile(name, text);
    size_t before = ModelCatalogue.size();
    LoadModel(kModelDir, name.c_str(), CategoryStructures);
    return ModelCatalogue.size() > before ? static_cast<int32_t>(ModelCatalogue.size() - 1) : -1;
  }
  std::vector<int32_t> PolygonBlock(int32_t model) const {
    return std::vector<int32_t>(PolygonStore.begin() + ModelCatalogue[model].polygonStart,
                                PolygonStore.end());
  }
};

TEST_F(PieFileTest, TextureLineNamesTheDdsPageWhateverTheExtensionAndWordCount) {
  // The words between "PIE" and "TEXTURE" are skipped whatever they are.
  int32_t a = Load("a.pie", "PIE 5 LEVELS 7 POINTS 3 TEXTURE 0 page-3.pcx 256 256 L 1 LEVEL 1 P 0 Q 0");
  int32_t b = Load("b.pie", SquarePie("200", "page-3.bmp"));
  int32_t c = Load("c.pie", "PIE 2 TEXTURE 0 old page.pcx 256 256 LEVELS 1 LEVEL 1 POINTS 0 POLYGONS 0");
  ASSERT_EQ(a, 0);
  ASSERT_EQ(b, 1);
  ASSERT_EQ(c, 2);
  ASSERT_EQ(TexturePageTable.size(), 2u);
  EXPECT_EQ(TexturePageTable[0].PageName, "page-3.dds");
  EXPECT_EQ(TexturePageTable[1].PageName, "old page.dds");
  EXPECT_EQ(ModelCatalogue[a].texturePage, 0);
  EXPECT_EQ(ModelCatalogue[b].texturePage, 0);
  EXPECT_EQ(ModelCatalogue[c].texturePage, 1);
  EXPECT_EQ(ModelCatalogue[a].levelCount, 1);
  EXPECT_EQ(ModelCatalogue[c].levelCount, 1);
  // The name loses its ".pie"; the page request is logged (no device here) once per new page.
  EXPECT_EQ(ModelCatalogue[c].name, "c");
  EXPECT_EQ(LogCount("duskfen\\texpages\\old page.dds"), 1);
  EXPECT_EQ(LogCount("duskfen\\texpages\\page-3.dds"), 1);
}

TEST_F(PieFileTest, PagesOfOtherWidthsStillLoadAndTheHeaderStopsAtTheWidth) {
  // A page 128 wide, and a two-word name before a width of 512: both headers end at the width
  // word, so the level count and the levels are read where they stand.
  int32_t a = Load("a.pie",
                   "PIE 2 TEXTURE 0 small.pcx 128 128 LEVELS 1 LEVEL 1 POINTS 3 0 0 0 10 0 0 10 10 0 "
                   "POLYGONS 1 200 3 0 1 2 0 0 1 0 1 1");
  int32_t b = Load("b.pie", "PIE 2 TEXTURE 0 big page.pcx 512 512 LEVELS 1 LEVEL 1 POINTS 1 5 6 7 POLYGONS 0");
  ASSERT_EQ(a, 0);
  ASSERT_EQ(b, 1);
  EXPECT_EQ(TexturePageTable[0].PageName, "small.dds");
  EXPECT_EQ(TexturePageTable[1].PageName, "big page.dds");
  EXPECT_EQ(PointStore[ModelCatalogue[a].pointStart], 3);
  EXPECT_EQ(ModelCatalogue[b].levelCount, 1);
  EXPECT_EQ(std::vector<int32_t>(PointStore.begin() + ModelCatalogue[b].pointStart, PointStore.end()),
            (std::vector<int32_t>{1, 5, 6, 7}));
}

TEST_F(PieFileTest, AnimatedPolygonRecordHoldsKindCornersStripAndTexels) {
  int32_t m = Load("anim.pie", OneLevelPie("p.pcx", 3, "0 0 0 1 0 0 1 1 0", 1,
                                           "4200 3 0 1 2 8 1 16 16 0 0 16 0 16 16"));
  ASSERT_EQ(m, 0);
  EXPECT_EQ(PolygonBlock(m), (std::vector<int32_t>{1, 42, 3, 0, 1, 2, 8, 1, 16, 16, 0, 0, 16, 0, 16, 16}));
  EXPECT_EQ(ModelCatalogue[m].animated, 1);
  EXPECT_EQ(ModelCatalogue[m].frameCount, 8);
  EXPECT_EQ(ModelCatalogue[m].frame, 0);
}

TEST_F(PieFileTest, FlagWordsMapToKindsAndUnknownWordsToZero) {
  const char* flags[] = {"200", "a00", "2200", "2a00", "10200", "10a00", "A00", "300", "4200x"};
  const int32_t kinds[] = {2, 20, 22, 30, 102, 110, 0, 0, 0};
  std::string polygons;
  for (const char* flag : flags) polygons += std::string(flag) + " 3 0 1 2 0 0 1 0 1 1\n";
  int32_t m = Load("k.pie", OneLevelPie("p.pcx", 3, "0 0 0 1 0 0 1 1 0", 9, polygons));
  ASSERT_EQ(m, 0);
  std::vector<int32_t> block = PolygonBlock(m);
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(block[1 + 11 * i], kinds[i]) << flags[i];
  EXPECT_EQ(ModelCatalogue[m].animated, 0);
  EXPECT_EQ(PolygonKindOf("16a00"), 170);
  EXPECT_EQ(PolygonKindOf("6a00"), 70);
  // "16a00" plays a strip but has one side.
  EXPECT_TRUE(IsAnimatedKind(170));
  EXPECT_FALSE(IsTwoSidedKind(170));
}

TEST_F(PieFileTest, FrameCountIsThatOfTheLastAnimatedPolygonOfTheLastAnimatedLevel) {
  std::string text =
      "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 3 "
      "LEVEL 1 POINTS 3 0 0 0 1 0 0 1 1 0 POLYGONS 2 "
      "4200 3 0 1 2 8 1 16 16 0 0 1 0 1 1  4a00 3 0 1 2 4 1 16 16 0 0 1 0 1 1 "
      "LEVEL 2 POINTS 3 0 0 0 1 0 0 1 1 0 POLYGONS 2 "
      "6200 3 0 1 2 6 1 16 16 0 0 1 0 1 1  200 3 0 1 2 0 0 1 0 1 1 "
      "LEVEL 3 POINTS 3 0 0 0 1 0 0 1 1 0 POLYGONS 1 200 3 0 1 2 0 0 1 0 1 1";
  int32_t m = Load("f.pie", text);
  ASSERT_EQ(m, 0);
  EXPECT_EQ(ModelCatalogue[m].animated, 1);
  // Level 1 leaves 4, level 2 sets 6, level 3 has no strip and leaves it.
  EXPECT_EQ(ModelCatalogue[m].frameCount, 6);
}

TEST_F(PieFileTest, ConnectorStepTakesTheNextLevelKeywordWhenThereIsNoBlock) {
  // Without connector blocks, the word after level 1's polygons is level 2's keyword: level 2
  // then reads only its number and its points keyword.
  std::string text =
      "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 2 "
      "LEVEL 1 POINTS 1 1 2 3 POLYGONS 0 "
      "LEVEL 2 POINTS 2 4 5 6 7 8 9 POLYGONS 0";
  int32_t m = Load("two.pie", text);
  ASSERT_EQ(m, 0);
  EXPECT_EQ(PointStore, (std::vector<int32_t>{1, 1, 2, 3, 2, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(PolygonStore, (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(ModelCatalogue[m].connectorStart, -1);
  EXPECT_TRUE(ConnectorStore.empty());
}

TEST_F(PieFileTest, LevelsEndingInConnectorBlocksKeepTheConnectorStart) {
  Load("first.pie", SquarePie() + " CONNECTORS 1 9 9 9");
  std::string text =
      "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 2 "
      "LEVEL 1 POINTS 1 1 2 3 POLYGONS 0 CONNECTORS 1 10 20 30 "
      "LEVEL 2 POINTS 1 4 5 6 POLYGONS 0 BSP 7 8 CONNECTORS 1 0 0 0";
  int32_t m = Load("two.pie", text);
  ASSERT_EQ(m, 1);
  EXPECT_EQ(ModelCatalogue[m].connectorStart, 4);
  EXPECT_EQ(ConnectorStore, (std::vector<int32_t>{1, 9, 9, 9, 1, 10, 20, 30, 1, 0, 0, 0}));
  EXPECT_EQ(std::vector<int32_t>(PointStore.begin() + ModelCatalogue[m].pointStart, PointStore.end()),
            (std::vector<int32_t>{1, 1, 2, 3, 1, 4, 5, 6}));
}

TEST_F(PieFileTest, BspWithoutConnectorsRunsToTheEndAndLeavesNoBlock) {
  int32_t m = Load("bsp.pie", SquarePie() + " BSP 1 2 3 4");
  ASSERT_EQ(m, 0);
  EXPECT_EQ(ModelCatalogue[m].connectorStart, -1);
  EXPECT_TRUE(ConnectorStore.empty());
  EXPECT_TRUE(StoresMatchTheirCounts());
}

TEST_F(PieFileTest, FileWithoutPieMarkAddsNothingAndLaterModelsKeepConsecutiveNumbers) {
  EXPECT_EQ(Load("a.pie", SquarePie()), 0);
  EXPECT_EQ(Load("b.pie", "pie 2 TEXTURE 0 p.pcx 256 256 LEVELS 1 LEVEL 1 POINTS 0 POLYGONS 0"), -1);
  EXPECT_EQ(Load("c.pie", ""), -1);
  EXPECT_EQ(Load("d.pie", SquarePie()), 1);
  EXPECT_EQ(ModelCatalogue[1].name, "d");
  EXPECT_TRUE(StoresMatchTheirCounts());
}

TEST_F(PieFileTest, ModelsTakeTheFirstAnimationOfTheirNameInAnyCase) {
  Animation walk;
  walk.name = "TANK";
  Animations.push_back(walk);
  Animations.push_back(walk);
  AnimationCounters.assign(2, 0);
  EXPECT_EQ(Load("tank.pie", SquarePie()), 0);
  EXPECT_EQ(Load("tank.pie", SquarePie()), 1);
  EXPECT_EQ(Load("other.pie", SquarePie()), 2);
  EXPECT_EQ(ModelCatalogue[0].animation, 0);
  EXPECT_EQ(ModelCatalogue[1].animation, 0);
  EXPECT_EQ(ModelCatalogue[2].animation, -1);
}
