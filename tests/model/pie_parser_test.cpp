// PIE files: how their words become a record and level blocks (the texture line, polygon records
// and kinds, levels and connector blocks), and what loading one commits to the tables.
#include "model_fixture.h"

// The parser alone, fed the text of one file.
class PieParseTest : public ::testing::Test {
 protected:
  // The parse of a file that must read whole.
  static PieParse Parsed(const std::string& text) {
    PieParse out;
    EXPECT_EQ(ParsePieText(text, out), PieResult::Ok) << text;
    return out;
  }
};

TEST_F(PieParseTest, TextureLineNamesTheDdsPageWhateverTheExtensionAndWordCount) {
  // The words between "PIE" and "TEXTURE" are skipped whatever they are.
  const PieParse a = Parsed("PIE 5 LEVELS 7 POINTS 3 TEXTURE 0 page-3.pcx 256 256 L 1 LEVEL 1 P 0 Q 0");
  const PieParse b = Parsed(SquarePie("200", "page-3.bmp"));
  const PieParse c = Parsed("PIE 2 TEXTURE 0 old page.pcx 256 256 LEVELS 1 LEVEL 1 POINTS 0 POLYGONS 0");
  EXPECT_TRUE(a.headerWhole);
  EXPECT_EQ(a.pageName, "page-3.dds");
  EXPECT_EQ(b.pageName, "page-3.dds");
  EXPECT_EQ(c.pageName, "old page.dds");
  EXPECT_EQ(a.model.levelCount, 1);
  EXPECT_EQ(c.model.levelCount, 1);
}

TEST_F(PieParseTest, PagesOfOtherWidthsStillLoadAndTheHeaderStopsAtTheWidth) {
  // A page 128 wide, and a two-word name before a width of 512: both headers end at the width
  // word, so the level count and the levels are read where they stand.
  const PieParse a = Parsed(
      "PIE 2 TEXTURE 0 small.pcx 128 128 LEVELS 1 LEVEL 1 POINTS 3 0 0 0 10 0 0 10 10 0 "
      "POLYGONS 1 200 3 0 1 2 0 0 1 0 1 1");
  const PieParse b = Parsed("PIE 2 TEXTURE 0 big page.pcx 512 512 LEVELS 1 LEVEL 1 POINTS 1 5 6 7 POLYGONS 0");
  EXPECT_EQ(a.pageName, "small.dds");
  EXPECT_EQ(b.pageName, "big page.dds");
  ASSERT_FALSE(a.points.empty());
  EXPECT_EQ(a.points[0], 3);
  EXPECT_EQ(b.model.levelCount, 1);
  EXPECT_EQ(b.points, (std::vector<int32_t>{1, 5, 6, 7}));
}

TEST_F(PieParseTest, AnimatedPolygonRecordHoldsKindCornersStripAndTexels) {
  const PieParse p = Parsed(OneLevelPie("p.pcx", 3, "0 0 0 1 0 0 1 1 0", 1,
                                        "4200 3 0 1 2 8 1 16 16 0 0 16 0 16 16"));
  EXPECT_EQ(p.polygons, (std::vector<int32_t>{1, 42, 3, 0, 1, 2, 8, 1, 16, 16, 0, 0, 16, 0, 16, 16}));
  EXPECT_EQ(p.model.animated, 1);
  EXPECT_EQ(p.model.frameCount, 8);
  EXPECT_EQ(p.model.frame, 0);
}

TEST_F(PieParseTest, FlagWordsMapToKindsAndUnknownWordsToZero) {
  const char* flags[] = {"200", "a00", "2200", "2a00", "10200", "10a00", "A00", "300", "4200x"};
  const int32_t kinds[] = {2, 20, 22, 30, 102, 110, 0, 0, 0};
  std::string polygons;
  for (const char* flag : flags) polygons += std::string(flag) + " 3 0 1 2 0 0 1 0 1 1\n";
  const PieParse p = Parsed(OneLevelPie("p.pcx", 3, "0 0 0 1 0 0 1 1 0", 9, polygons));
  ASSERT_EQ(p.polygons.size(), 1u + 11u * 9u);
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(p.polygons[1 + 11 * i], kinds[i]) << flags[i];
  EXPECT_EQ(p.model.animated, 0);
  EXPECT_EQ(PolygonKindOf("16a00"), 170);
  EXPECT_EQ(PolygonKindOf("6a00"), 70);
  // "16a00" plays a strip but has one side.
  EXPECT_TRUE(IsAnimatedKind(170));
  EXPECT_FALSE(IsTwoSidedKind(170));
}

TEST_F(PieParseTest, FrameCountIsThatOfTheLastAnimatedPolygonOfTheLastAnimatedLevel) {
  const PieParse p = Parsed(
      "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 3 "
      "LEVEL 1 POINTS 3 0 0 0 1 0 0 1 1 0 POLYGONS 2 "
      "4200 3 0 1 2 8 1 16 16 0 0 1 0 1 1  4a00 3 0 1 2 4 1 16 16 0 0 1 0 1 1 "
      "LEVEL 2 POINTS 3 0 0 0 1 0 0 1 1 0 POLYGONS 2 "
      "6200 3 0 1 2 6 1 16 16 0 0 1 0 1 1  200 3 0 1 2 0 0 1 0 1 1 "
      "LEVEL 3 POINTS 3 0 0 0 1 0 0 1 1 0 POLYGONS 1 200 3 0 1 2 0 0 1 0 1 1");
  EXPECT_EQ(p.model.animated, 1);
  // Level 1 leaves 4, level 2 sets 6, level 3 has no strip and leaves it.
  EXPECT_EQ(p.model.frameCount, 6);
}

TEST_F(PieParseTest, ConnectorStepTakesTheNextLevelKeywordWhenThereIsNoBlock) {
  // Without connector blocks, the word after level 1's polygons is level 2's keyword: level 2
  // then reads only its number and its points keyword.
  const PieParse p = Parsed(
      "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 2 "
      "LEVEL 1 POINTS 1 1 2 3 POLYGONS 0 "
      "LEVEL 2 POINTS 2 4 5 6 7 8 9 POLYGONS 0");
  EXPECT_EQ(p.points, (std::vector<int32_t>{1, 1, 2, 3, 2, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(p.polygons, (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(p.model.connectorStart, -1);
  EXPECT_TRUE(p.connectors.empty());
}

TEST_F(PieParseTest, LevelsEndingInConnectorBlocksKeepTheConnectorStart) {
  // The second level's block follows "BSP" and the words up to "CONNECTORS".
  const PieParse p = Parsed(
      "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 2 "
      "LEVEL 1 POINTS 1 1 2 3 POLYGONS 0 CONNECTORS 1 10 20 30 "
      "LEVEL 2 POINTS 1 4 5 6 POLYGONS 0 BSP 7 8 CONNECTORS 1 0 0 0");
  EXPECT_EQ(p.model.connectorStart, 0);
  EXPECT_EQ(p.connectors, (std::vector<int32_t>{1, 10, 20, 30, 1, 0, 0, 0}));
  EXPECT_EQ(p.points, (std::vector<int32_t>{1, 1, 2, 3, 1, 4, 5, 6}));
}

TEST_F(PieParseTest, BspWithoutConnectorsRunsToTheEndAndLeavesNoBlock) {
  const PieParse p = Parsed(SquarePie() + " BSP 1 2 3 4");
  EXPECT_EQ(p.model.connectorStart, -1);
  EXPECT_TRUE(p.connectors.empty());
  // The words after "BSP" reach no block: the level is the square it would be without them.
  const PieParse plain = Parsed(SquarePie());
  EXPECT_EQ(p.points, plain.points);
  EXPECT_EQ(p.polygons, plain.polygons);
}

TEST_F(PieParseTest, OnlyAFileWhoseFirstWordIsPieIsAModel) {
  PieParse p;
  EXPECT_EQ(ParsePieText("pie 2 TEXTURE 0 p.pcx 256 256 LEVELS 1 LEVEL 1 POINTS 0 POLYGONS 0", p),
            PieResult::NotPie);
  EXPECT_EQ(ParsePieText("", p), PieResult::NotPie);
  // The mark alone is a model cut short, not a file of another kind.
  EXPECT_EQ(ParsePieText("PIE", p), PieResult::EndedEarly);
  EXPECT_FALSE(p.headerWhole);
}

// Loading from bytes: what reaches the catalogue, the stores, the page table and the log.
class PieLoadTest : public ModelTest {
 protected:
  // Loads one model text and returns its model number, -1 if none was added.
  int32_t Load(const std::string& name, const std::string& text) {
    const size_t before = ModelCatalogue.size();
    LoadModelText(name, text);
    return ModelCatalogue.size() > before ? static_cast<int32_t>(ModelCatalogue.size() - 1) : -1;
  }
};

TEST_F(PieLoadTest, ModelsNamingOnePageShareItsEntryAndItIsRequestedOnce) {
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
  // The name loses its ".pie"; the page request is logged (no device here) once per new page.
  EXPECT_EQ(ModelCatalogue[c].name, "c");
  EXPECT_EQ(LogCount("duskfen\\texpages\\old page.dds"), 1);
  EXPECT_EQ(LogCount("duskfen\\texpages\\page-3.dds"), 1);
}

TEST_F(PieLoadTest, EachModelsBlocksStartWhereThoseBeforeItEnd) {
  Load("first.pie", SquarePie() + " CONNECTORS 1 9 9 9");
  int32_t m = Load("two.pie",
                   "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 2 "
                   "LEVEL 1 POINTS 1 1 2 3 POLYGONS 0 CONNECTORS 1 10 20 30 "
                   "LEVEL 2 POINTS 1 4 5 6 POLYGONS 0 BSP 7 8 CONNECTORS 1 0 0 0");
  int32_t none = Load("none.pie", SquarePie());
  ASSERT_EQ(m, 1);
  ASSERT_EQ(none, 2);
  // The square holds 1 + 4 * 3 point words and 1 + 2 + 4 + 4 * 2 polygon words.
  EXPECT_EQ(ModelCatalogue[m].pointStart, 13);
  EXPECT_EQ(ModelCatalogue[m].polygonStart, 15);
  EXPECT_EQ(ModelCatalogue[m].connectorStart, 4);
  EXPECT_EQ(ConnectorStore, (std::vector<int32_t>{1, 9, 9, 9, 1, 10, 20, 30, 1, 0, 0, 0}));
  EXPECT_EQ(std::vector<int32_t>(PointStore.begin() + ModelCatalogue[m].pointStart,
                                 PointStore.begin() + ModelCatalogue[none].pointStart),
            (std::vector<int32_t>{1, 1, 2, 3, 1, 4, 5, 6}));
  // A model without connectors keeps none, whatever the store already holds.
  EXPECT_EQ(ModelCatalogue[none].connectorStart, -1);
  EXPECT_TRUE(StoresMatchTheirCounts());
}

TEST_F(PieLoadTest, FileWithoutPieMarkAddsNothingAndLaterModelsKeepConsecutiveNumbers) {
  EXPECT_EQ(Load("a.pie", SquarePie()), 0);
  EXPECT_EQ(Load("b.pie", "pie 2 TEXTURE 0 p.pcx 256 256 LEVELS 1 LEVEL 1 POINTS 0 POLYGONS 0"), -1);
  EXPECT_EQ(Load("c.pie", ""), -1);
  EXPECT_EQ(Load("d.pie", SquarePie()), 1);
  EXPECT_EQ(ModelCatalogue[1].name, "d");
  EXPECT_TRUE(StoresMatchTheirCounts());
  // Not a model is not a fault: nothing names the skipped files.
  for (const std::string& line : LogLines()) {
    EXPECT_EQ(line.find("b.pie"), std::string::npos) << line;
    EXPECT_EQ(line.find("c.pie"), std::string::npos) << line;
  }
}

TEST_F(PieLoadTest, ModelsTakeTheFirstAnimationOfTheirNameInAnyCase) {
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

TEST_F(PieLoadTest, ParsingAloneLeavesTheTablesAndTheLogAsTheyWere) {
  Animation tank;
  tank.name = "tank";
  Animations.push_back(tank);
  AnimationCounters.assign(1, 0);
  ASSERT_EQ(Load("tank.pie", SquarePie() + " CONNECTORS 1 9 9 9"), 0);
  const size_t models = ModelCatalogue.size();
  const std::vector<int32_t> points(PointStore.begin(), PointStore.end());
  const std::vector<int32_t> polygons(PolygonStore.begin(), PolygonStore.end());
  const std::vector<int32_t> connectors(ConnectorStore.begin(), ConnectorStore.end());
  const size_t levelBuffers = LevelBufferTable.size();
  const size_t pages = TexturePageTable.size();
  const std::vector<std::string> log = LogLines();

  // A whole model on a page the table lacks, and one cut inside its levels after a whole header.
  PieParse whole, broken;
  EXPECT_EQ(ParsePieText(SquarePie("200", "other.pcx") + " CONNECTORS 1 7 7 7", whole), PieResult::Ok);
  EXPECT_EQ(ParsePieText("PIE 2 TEXTURE 0 cut.pcx 256 256 LEVELS 1 LEVEL 1 POINTS 9 1 2", broken),
            PieResult::EndedEarly);

  EXPECT_EQ(ModelCatalogue.size(), models);
  EXPECT_EQ(PointStore, points);
  EXPECT_EQ(PolygonStore, polygons);
  EXPECT_EQ(ConnectorStore, connectors);
  EXPECT_EQ(LevelBufferTable.size(), levelBuffers);
  EXPECT_EQ(TexturePageTable.size(), pages);
  EXPECT_EQ(LogLines(), log);
  // The pages are handed back by name, unresolved, and the blocks start at 0 whatever the stores
  // hold; no name reaches the parser, so no animation is looked up.
  EXPECT_EQ(whole.pageName, "other.dds");
  EXPECT_EQ(broken.pageName, "cut.dds");
  EXPECT_EQ(whole.model.texturePage, -1);
  EXPECT_EQ(whole.model.animation, -1);
  EXPECT_EQ(whole.model.pointStart, 0);
  EXPECT_EQ(whole.model.polygonStart, 0);
  EXPECT_EQ(whole.model.connectorStart, 0);
}
