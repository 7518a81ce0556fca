// PIE files cut anywhere or holding counts that lie: nothing half-read stays, the next model loads.
// Each text is loaded from a buffer of exactly its size, so under AddressSanitizer (the asan preset)
// a read past the end of a file is reported.
#include "model_fixture.h"

namespace {

// Two levels with every kind of block: an animated and a two-sided polygon, a connector block
// after "BSP", and a second level that takes its keyword from the first one's connector step.
const char kRichModel[] =
    "PIE 2\nTYPE 200\nTEXTURE 0 rich page.pcx 256 256\nLEVELS 2\n"
    "LEVEL 1\nPOINTS 4\n0 0 0 100 0 0 100 100 0 0 100 0\n"
    "POLYGONS 2\n4200 4 0 1 2 3 4 1 64 32 0 0 64 0 64 32 0 32\n2200 3 0 1 2 0 0 16 0 16 16\n"
    "BSP 4 5 6\nCONNECTORS 2\n1 2 3 4 5 6\n"
    "LEVEL 2\nPOINTS 3\n0 0 0 50 0 0 50 50 0\nPOLYGONS 1\n200 3 0 1 2 0 0 8 0 8 8\n";

const char kEndedEarly[] = "Model file ends early, skipped: mydata\\models\\cut.pie";
const char kBadCount[] = "Model file holds a negative count, skipped: mydata\\models\\cut.pie";

}  // namespace

class MalformedPieTest : public ModelTest {
 protected:
  // Loads cut.pie and then next.pie, from empty tables and an empty log.
  void LoadCutThenNext(const std::string& text) {
    ResetProgramTables();
    ErrorLog::Start();
    LoadModelText("cut.pie", text, CategoryBodies);
    LoadModelText("next.pie", SquarePie(), CategoryBodies);
  }
  bool NextLoadedAlone() const {
    return ModelCatalogue.size() == 1 && ModelCatalogue[0].name == "next" &&
           ModelCatalogue[0].pointStart == 0 && ModelCatalogue[0].polygonStart == 0 &&
           ConnectorStore.empty() && LevelBufferTable.size() == 1;
  }
};

TEST_F(MalformedPieTest, FileCutAtAnyCharacterLeavesWholeModelsOnly) {
  const std::string full = kRichModel;
  LoadCutThenNext(full);
  ASSERT_EQ(ModelCatalogue.size(), 2u);
  ASSERT_TRUE(StoresMatchTheirCounts());
  ASSERT_EQ(LevelBufferTable.size(), 3u);

  for (size_t cut = 0; cut < full.size(); ++cut) {
    LoadCutThenNext(full.substr(0, cut));
    SCOPED_TRACE("cut after " + std::to_string(cut) + " characters: " + full.substr(0, cut));
    ASSERT_TRUE(StoresMatchTheirCounts());
    ASSERT_FALSE(ModelCatalogue.empty());
    EXPECT_EQ(ModelCatalogue.back().name, "next");
    // One entry per level of what is in the catalogue, nothing for a dropped model.
    size_t levels = 0;
    for (const PieModel& m : ModelCatalogue) levels += static_cast<size_t>(m.levelCount);
    EXPECT_EQ(LevelBufferTable.size(), levels);
    if (ModelCatalogue.size() == 1) {
      EXPECT_TRUE(NextLoadedAlone());
      // Only a file too short to hold its "PIE" mark is dropped without a word.
      EXPECT_EQ(LogCount(kEndedEarly), cut >= 3 ? 1 : 0);
    } else {
      EXPECT_EQ(LogCount(kEndedEarly), 0);
    }
  }
}

TEST_F(MalformedPieTest, CountsThatLieNeverAllocateHangOrReadPastTheFile) {
  struct Case {
    const char* what;
    std::string text;
    PieResult result;
  };
  const std::string header = "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS ";
  const Case cases[] = {
      {"huge level count", header + "2147483647 LEVEL 1 POINTS 0 POLYGONS 0", PieResult::EndedEarly},
      {"negative level count", header + "-1 LEVEL 1 POINTS 0 POLYGONS 0", PieResult::BadCount},
      {"huge point count", header + "1 LEVEL 1 POINTS 2147483647 1 2 3 POLYGONS 0", PieResult::EndedEarly},
      {"saturated point count", header + "1 LEVEL 1 POINTS 99999999999999999999 1 2 3", PieResult::EndedEarly},
      {"negative point count", header + "1 LEVEL 1 POINTS -5 1 2 3 POLYGONS 0", PieResult::BadCount},
      {"huge polygon count", header + "1 LEVEL 1 POINTS 0 POLYGONS 2000000000 200 0", PieResult::EndedEarly},
      {"negative polygon count", header + "1 LEVEL 1 POINTS 0 POLYGONS -2147483648", PieResult::BadCount},
      {"huge corner count", header + "1 LEVEL 1 POINTS 0 POLYGONS 1 200 2147483647 0 0", PieResult::EndedEarly},
      {"negative corner count", header + "1 LEVEL 1 POINTS 0 POLYGONS 1 200 -3 0 1 2", PieResult::BadCount},
      {"huge connector count", header + "1 LEVEL 1 POINTS 0 POLYGONS 0 CONNECTORS 715827883 1 2 3",
       PieResult::EndedEarly},
      {"negative connector count", header + "1 LEVEL 1 POINTS 0 POLYGONS 0 CONNECTORS -1 1 2 3",
       PieResult::BadCount},
      {"no TEXTURE word", "PIE 2 TYPE 200 LEVELS 1 LEVEL 1 POINTS 0 POLYGONS 0", PieResult::EndedEarly},
      {"no width after a two-word name", "PIE 2 TEXTURE 0 a b c d e", PieResult::EndedEarly},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PieParse parsed;
    EXPECT_EQ(ParsePieText(c.text, parsed), c.result);
    LoadCutThenNext(c.text);
    EXPECT_TRUE(NextLoadedAlone());
    EXPECT_TRUE(StoresMatchTheirCounts());
    EXPECT_EQ(LogCount(c.result == PieResult::BadCount ? kBadCount : kEndedEarly), 1);
  }
}

TEST_F(MalformedPieTest, OnlyAHeaderReadWholeAsksForItsPage) {
  // A header cut before its level count asks for no page.
  LoadCutThenNext("PIE 2 TEXTURE 0 early.pcx 256 256");
  for (const TexturePage& page : TexturePageTable) EXPECT_NE(page.PageName, "early.dds");
  // One read whole keeps its page even though the levels after it fail and the model is dropped.
  LoadCutThenNext("PIE 2 TEXTURE 0 late.pcx 256 256 LEVELS 1 LEVEL 1 POINTS 2 1 2 3");
  EXPECT_TRUE(NextLoadedAlone());
  ASSERT_FALSE(TexturePageTable.empty());
  EXPECT_EQ(TexturePageTable[0].PageName, "late.dds");
}
