// The whole bundled data set through the program's own load sequence, as `make run` loads it.
#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "sample_fixture.h"

namespace sampletest {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

const PieModel* Model(const std::string& name) {
  int32_t n = FindModelByName(name.c_str());
  return n < 0 ? nullptr : &ModelCatalogue[static_cast<size_t>(n)];
}

TEST_F(SampleTest, LoadsEveryModelOfEveryCategoryInManifestOrder) {
  size_t expectedTotal = 0;
  for (const Expected& e : ExpectedModels()) {
    ModelNameList names;
    ListModelsOfCategory(names, e.category);
    EXPECT_EQ(names, e.names) << "category " << e.category;
    expectedTotal += e.names.size();
  }
  EXPECT_EQ(ModelCatalogue.size(), expectedTotal);
  EXPECT_GE(expectedTotal, 40u);
  // The first structure is on screen at start.
  ASSERT_NE(viewerState.displayedModel, -1);
  EXPECT_EQ(ModelCatalogue[static_cast<size_t>(viewerState.displayedModel)].name, "hq");
}

TEST_F(SampleTest, LogHasNoFailureAndEveryPageLoaded) {
  for (const std::string& line : Log()) {
    EXPECT_EQ(line.find("ailed"), std::string::npos) << line;
    EXPECT_EQ(line.find("early"), std::string::npos) << line;
  }
  ASSERT_EQ(TexturePageTable.size(), 5u);
  for (const TexturePage& page : TexturePageTable) EXPECT_NE(page.texture, nullptr) << page.PageName;
  // One page per model family; each model names exactly one.
  std::set<int32_t> used;
  for (const PieModel& m : ModelCatalogue) used.insert(m.texturePage);
  EXPECT_EQ(used.size(), 5u);
}

TEST_F(SampleTest, EveryAnimationBelongsToAModelThatFoundIt) {
  ASSERT_FALSE(Animations.empty());
  bool frames = false, trans = false;
  for (size_t a = 0; a < Animations.size(); ++a) {
    int32_t owner = -1;
    for (size_t m = 0; m < ModelCatalogue.size(); ++m)
      if (Lower(ModelCatalogue[m].name) == Lower(Animations[a].name)) owner = static_cast<int32_t>(m);
    ASSERT_NE(owner, -1) << Animations[a].name << " has no model";
    const PieModel& model = ModelCatalogue[static_cast<size_t>(owner)];
    EXPECT_EQ(model.animation, static_cast<int32_t>(a)) << model.name;
    EXPECT_EQ(Animations[a].storedFrames,
              int64_t(Animations[a].frameCount) * std::max(1, Animations[a].objectCount))
        << model.name;
    if (IsFramesAnimation(static_cast<int32_t>(a))) {
      frames = true;
      EXPECT_EQ(Animations[a].frameCount, model.levelCount) << model.name << ": one level per frame";
    } else {
      trans = true;
      EXPECT_EQ(Animations[a].objectCount, model.levelCount) << model.name << ": one object per level";
    }
    EXPECT_GT(model.levelCount, 1) << model.name;
  }
  EXPECT_TRUE(frames);
  EXPECT_TRUE(trans);
}

TEST_F(SampleTest, TeamColoursFollowTheManifestsAndTheStripsOfTheOthersPlay) {
  // Plain categories load while the flag is true; in the flag-aware ones only the models listed
  // after "SetTeamColorsFlag(true)" are team-coloured.
  for (const PieModel& m : ModelCatalogue) {
    bool plain = m.category == CategoryBodies || m.category == CategoryPropulsions ||
                 m.category == CategoryStructures || m.category == CategoryWeapons;
    bool listedTeam = m.name == "wreck" || m.name == "crate" || m.name == "rocket" || m.name == "tracer";
    EXPECT_EQ(m.teamColors != 0, plain || listedTeam) << m.name;
  }
  for (const char* playing : {"flagpole", "blast", "smoke", "beacon", "monitor", "fire"}) {
    const PieModel* m = Model(playing);
    ASSERT_NE(m, nullptr) << playing;
    EXPECT_TRUE(m->animated && !m->teamColors && m->frameCount > 1) << playing;
  }
  for (const char* fixed : {"viper", "tracks", "wreck", "tracer"}) {
    const PieModel* m = Model(fixed);
    ASSERT_NE(m, nullptr) << fixed;
    EXPECT_TRUE(m->animated && m->teamColors) << fixed;
  }
}

TEST_F(SampleTest, ModelsUseEveryPolygonKindAndAreRichlyBuilt) {
  std::set<int32_t> kinds;
  int rich = 0, withConnectors = 0;
  for (const PieModel& m : ModelCatalogue) {
    size_t at = static_cast<size_t>(m.polygonStart);
    int polygons = 0;
    for (int32_t level = 0; level < m.levelCount; ++level) {
      ASSERT_LT(at, PolygonStore.size()) << m.name;
      int32_t count = PolygonStore[at++];
      polygons += count;
      for (int32_t p = 0; p < count; ++p) {
        ASSERT_LT(at + 1, PolygonStore.size()) << m.name;
        int32_t kind = PolygonStore[at], corners = PolygonStore[at + 1];
        kinds.insert(kind);
        at += 2 + 3 * static_cast<size_t>(corners) + (IsAnimatedKind(kind) ? 4 : 0);
      }
    }
    if (polygons >= 50) ++rich;
    if (m.connectorStart != -1) ++withConnectors;
  }
  EXPECT_EQ(kinds, (std::set<int32_t>{2, 20, 22, 30, 42, 50, 62, 70, 102, 110, 142, 150, 170}));
  EXPECT_GE(rich * 10, static_cast<int>(ModelCatalogue.size()) * 8) << "most models have 50 polygons or more";
  EXPECT_GT(withConnectors, 10);
  EXPECT_FALSE(ConnectorStore.empty());
}

}  // namespace
}  // namespace sampletest
