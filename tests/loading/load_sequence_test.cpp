// The load sequence over data sets the tests write: the log line for line, the order of the
// categories, team colours and the place of "Animations:".
#include <algorithm>
#include <filesystem>

#include "app/scene.h"
#include "data/load_sequence.h"
#include "loading_fixture.h"

using testsupport::WriteFile;

namespace {

struct Category {
  const char* label;
  const char* folder;    // on disk, under duskfen/
  const char* manifest;
  const char* model;     // the one model its manifest lists
};

const Category kUsual[] = {
    {"Bodies:", "bodies", "Bodies.gam", "Body1"},
    {"Features:", "features", "Features.gam", "Feat1"},
    {"Miscelaneous:", "misc", "Miscelaneous.gam", "Misc1"},
    {"MiscelaneousIMD:", "research", "MiscelaneousIMD.gam", "Res1"},
    {"Effects:", "effects", "Effects.gam", "Fx1"},
    {"Propulsions:", "propulsions", "Propulsions.gam", "Prop1"},
    {"Structures:", "structures", "Structures.gam", "Strc1"},
    {"Weapons:", "weapons", "Weapons.gam", "Weap1"},
};

class LoadSequence : public loadingtest::LoadingTest {
 protected:
  void SetUp() override {
    LoadingTest::SetUp();
    WriteFile("textures/kvrcursor.dds", loadingtest::SolidDds(32, 32, 0xFFFFFFFF));
    WriteFile("duskfen/texpages/page.dds", loadingtest::SolidDds(8, 8, 0xFF808080));
    for (const Category& c : kUsual) WriteCategory(c.folder, c.manifest, {c.model});
    WriteFile("duskfen/anims/Animations.gam", "strc.ani");
    WriteFile("duskfen/anims/strc.ani", loadingtest::FramesAnimation("STRC1", 2, 10));
  }

  // A category manifest and a PIE file for each of its names (switch tokens excepted).
  static void WriteCategory(const std::string& folder, const std::string& manifest,
                            const std::vector<std::string>& tokens) {
    std::string text;
    for (const std::string& t : tokens) {
      text += t + "\n";
      if (t.rfind("SetTeamColorsFlag", 0) != 0)
        WriteFile("duskfen/" + folder + "/" + t + ".pie", loadingtest::PieModelText(1));
    }
    WriteFile("duskfen/" + folder + "/" + manifest, text);
  }

  // Writes the start-up manifest; a folder is given as the Windows prefix "duskfen\<folder>\".
  static void WriteStartUp(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::string text;
    for (const auto& p : pairs) text += p.first + " " + Prefix(p.second) + "\n";
    WriteFile("duskfen/KVRStartUp.gam", text);
  }
  static std::string Prefix(const std::string& folder) { return "duskfen\\" + folder + "\\"; }

  static std::vector<std::pair<std::string, std::string>> UsualPairs() {
    std::vector<std::pair<std::string, std::string>> pairs = {{"Animations:", "anims"}};
    for (const Category& c : kUsual) pairs.push_back({c.label, c.folder});
    return pairs;
  }

  // The log lines a recognised pair adds: label, prefix, then what its loader logs.
  static std::vector<std::string> PairLines(const std::string& label, const std::string& folder) {
    std::vector<std::string> lines = {label, Prefix(folder)};
    if (label == "Animations:") {
      const std::string path = Prefix(folder) + "strc.ani";
      lines.insert(lines.end(), {path, path, "STRC1", "size  " + std::to_string(Animations.size())});
    }
    for (const Category& c : kUsual)
      if (label == c.label) lines.push_back(c.model);
    return lines;
  }

  static std::vector<std::string> CatalogueNames() {
    std::vector<std::string> names;
    for (const PieModel& m : ModelCatalogue) names.push_back(m.name);
    return names;
  }
  static const PieModel& Model(const std::string& name) {
    int32_t m = FindModelByName(name.c_str());
    EXPECT_GE(m, 0) << name;
    static PieModel none;
    return m >= 0 ? ModelCatalogue[m] : none;
  }
};

TEST_F(LoadSequence, TheUsualOrderLogsEveryPairAndItsLoaderLineForLine) {
  WriteStartUp(UsualPairs());
  LoadDataSet();
  std::vector<std::string> expected = {"KVRerrors.log started "};
  for (const auto& p : UsualPairs()) {
    std::vector<std::string> lines = PairLines(p.first, p.second);
    expected.insert(expected.end(), lines.begin(), lines.end());
  }
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(CatalogueNames(),
            (std::vector<std::string>{"Body1", "Feat1", "Misc1", "Res1", "Fx1", "Prop1", "Strc1", "Weap1"}));
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(ModelCatalogue[i].category, static_cast<int32_t>(i));
  EXPECT_EQ(kvrtest::GetCounters(g_pd3dDevice).presents, 10u);  // one loading screen a line
  EXPECT_EQ(Model("Strc1").animation, 0);
}

TEST_F(LoadSequence, AnotherOrderLoadsTheCategoriesInThatOrder) {
  std::vector<std::pair<std::string, std::string>> pairs = UsualPairs();
  std::reverse(pairs.begin(), pairs.end());
  WriteStartUp(pairs);
  LoadDataSet();
  std::vector<std::string> expected = {"KVRerrors.log started "};
  for (const auto& p : pairs) {
    std::vector<std::string> lines = PairLines(p.first, p.second);
    expected.insert(expected.end(), lines.begin(), lines.end());
  }
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(CatalogueNames(),
            (std::vector<std::string>{"Weap1", "Strc1", "Prop1", "Fx1", "Res1", "Misc1", "Feat1", "Body1"}));
  // "Animations:" came last, after every model had looked for its animation.
  EXPECT_EQ(Model("Strc1").animation, -1);
}

TEST_F(LoadSequence, LabelsMatchOnlyExactlyAndAnyOtherPairLoadsNothing) {
  WriteStartUp({{"bodies:", "bodies"},
                {"Bodies", "bodies"},
                {"Vehicles:", "weapons"},
                {"Structures:", "structures"},
                {"Structures:", "structures"},
                {"WEAPONS:", "weapons"},
                {"Effects:", "effects"},
                {"Propulsions:x", "propulsions"},
                {"Features:", "features"}});
  LoadDataSet();
  std::vector<std::string> expected = {"KVRerrors.log started ", "bodies:", Prefix("bodies"), "Bodies",
                                       Prefix("bodies"), "Vehicles:", Prefix("weapons"), "Structures:",
                                       Prefix("structures"), "Strc1", "Structures:", Prefix("structures"),
                                       "Strc1", "WEAPONS:", Prefix("weapons"), "Effects:", Prefix("effects"),
                                       "Fx1", "Propulsions:x", Prefix("propulsions"), "Features:",
                                       Prefix("features"), "Feat1"};
  EXPECT_EQ(Log(), expected);
  // A label listed twice loads its category twice.
  EXPECT_EQ(CatalogueNames(), (std::vector<std::string>{"Strc1", "Strc1", "Fx1", "Feat1"}));
  EXPECT_EQ(kvrtest::GetCounters(g_pd3dDevice).presents, 5u);  // one loading screen a line
}

TEST_F(LoadSequence, AMissingManifestIsLoggedAndLeavesAnEmptyCatalogue) {
  LoadDataSet();
  EXPECT_EQ(Log(), (std::vector<std::string>{"KVRerrors.log started ",
                                             "Failed to open start-up manifest duskfen\\KVRStartUp.gam"}));
  EXPECT_TRUE(ModelCatalogue.empty());
  EXPECT_EQ(kvrtest::GetCounters(g_pd3dDevice).presents, 1u);  // one loading screen a line
}

TEST_F(LoadSequence, AShortManifestLoadsThePairsItHolds) {
  WriteFile("duskfen/KVRStartUp.gam", "Weapons: " + Prefix("weapons") + "\nBodies:");
  LoadDataSet();
  EXPECT_EQ(Log(), (std::vector<std::string>{"KVRerrors.log started ", "Weapons:", Prefix("weapons"), "Weap1",
                                             "Bodies:",
                                             "Start-up manifest duskfen\\KVRStartUp.gam ends after 1 of 9 pairs"}));
  EXPECT_EQ(CatalogueNames(), (std::vector<std::string>{"Weap1"}));
}

TEST_F(LoadSequence, PairsPastTheNinthAreIgnored) {
  std::vector<std::pair<std::string, std::string>> pairs(9, {"Effects:", "effects"});
  pairs.push_back({"Bodies:", "bodies"});
  WriteStartUp(pairs);
  LoadDataSet();
  EXPECT_EQ(CatalogueNames(), std::vector<std::string>(9, "Fx1"));
  EXPECT_EQ(Log().size(), 1u + 9u * 3u);
}

TEST_F(LoadSequence, TheLogRecordsCreationFailuresRightAfterItsStartLine) {
  std::filesystem::remove("textures/kvrcursor.dds");
  WriteStartUp({{"Weapons:", "weapons"}});
  ErrorLog::Write("written before the load: discarded");
  LoadDataSet();
  EXPECT_EQ(Log(), (std::vector<std::string>{"KVRerrors.log started ", "Failed to load texture kvrcursor.dds ",
                                             "Weapons:", Prefix("weapons"), "Weap1",
                                             "Start-up manifest duskfen\\KVRStartUp.gam ends after 1 of 9 pairs"}));
}

class TeamColours : public LoadSequence {
 protected:
  bool TeamColoured(const std::string& name) { return Model(name).teamColors != 0; }
};

TEST_F(TeamColours, PropulsionsBeforeStructuresAndWeaponsMakesThemTeamColoured) {
  SetTeamColorsFlag(false);  // whatever came before, Propulsions sets it
  WriteStartUp({{"Features:", "features"}, {"Propulsions:", "propulsions"}, {"Structures:", "structures"},
                {"Weapons:", "weapons"}});
  LoadDataSet();
  EXPECT_FALSE(TeamColoured("Feat1"));
  EXPECT_TRUE(TeamColoured("Prop1"));
  EXPECT_TRUE(TeamColoured("Strc1"));
  EXPECT_TRUE(TeamColoured("Weap1"));
}

TEST_F(TeamColours, FeaturesBetweenLeaveThemAsTheFeaturesManifestEnds) {
  WriteStartUp({{"Propulsions:", "propulsions"}, {"Features:", "features"}, {"Structures:", "structures"},
                {"Weapons:", "weapons"}});
  LoadDataSet();
  EXPECT_TRUE(TeamColoured("Prop1"));
  EXPECT_FALSE(TeamColoured("Feat1"));
  EXPECT_FALSE(TeamColoured("Strc1"));
  EXPECT_FALSE(TeamColoured("Weap1"));
}

TEST_F(TeamColours, FeaturesEndingTeamColouredCarryItOn) {
  WriteCategory("features", "Features.gam", {"Feat1", "SetTeamColorsFlag(true)", "Feat2"});
  WriteStartUp({{"Propulsions:", "propulsions"}, {"Features:", "features"}, {"Structures:", "structures"},
                {"Weapons:", "weapons"}});
  LoadDataSet();
  EXPECT_FALSE(TeamColoured("Feat1"));
  EXPECT_TRUE(TeamColoured("Feat2"));
  EXPECT_TRUE(TeamColoured("Strc1"));
  EXPECT_TRUE(TeamColoured("Weap1"));
}

TEST_F(TeamColours, BodiesSetItAndTheUnchangedCategoriesFollowTheOrder) {
  SetTeamColorsFlag(false);
  WriteStartUp({{"Effects:", "effects"}, {"Bodies:", "bodies"}, {"Miscelaneous:", "misc"},
                {"MiscelaneousIMD:", "research"}, {"Features:", "features"}, {"Effects:", "effects"}});
  LoadDataSet();
  EXPECT_FALSE(ModelCatalogue[0].teamColors);  // the first Fx1
  EXPECT_TRUE(TeamColoured("Body1"));
  EXPECT_TRUE(TeamColoured("Misc1"));
  EXPECT_TRUE(TeamColoured("Res1"));
  EXPECT_FALSE(TeamColoured("Feat1"));
  EXPECT_FALSE(ModelCatalogue.back().teamColors);
}

// The start-up manifest held in memory: its pairs before any loader runs.
StartUpManifest ParseStartUp(const std::string& text) {
  const std::vector<char> bytes(text.begin(), text.end());
  return ParseStartUpManifest(bytes.data(), bytes.data() + bytes.size());
}

std::vector<std::string> Flattened(const StartUpManifest& manifest) {
  std::vector<std::string> words;
  for (const StartUpPair& pair : manifest.pairs) words.insert(words.end(), {pair.label, pair.directory});
  return words;
}

TEST(StartUpManifestText, PairsAreKeptInTheirOrderAsWritten) {
  const StartUpManifest m = ParseStartUp("Weapons: duskfen\\weapons\\\r\nAnimations: duskfen\\anims\\\n"
                                         "bodies: x\n");
  EXPECT_EQ(Flattened(m), (std::vector<std::string>{"Weapons:", "duskfen\\weapons\\", "Animations:",
                                                    "duskfen\\anims\\", "bodies:", "x"}));
  EXPECT_TRUE(m.lastLabel.empty());
  EXPECT_TRUE(ParseStartUp("").pairs.empty());
}

TEST(StartUpManifestText, ReadingStopsAtTheNinthPair) {
  std::string text;
  for (int i = 1; i <= 9; ++i) text += "L" + std::to_string(i) + ": d" + std::to_string(i) + " ";
  const StartUpManifest m = ParseStartUp(text + "Tenth: d10 Lone:");
  ASSERT_EQ(m.pairs.size(), 9u);
  EXPECT_EQ(m.pairs[8].label, "L9:");
  EXPECT_EQ(m.pairs[8].directory, "d9");
  // Nothing after the ninth pair is read, not even a label left alone at the end.
  EXPECT_TRUE(m.lastLabel.empty());
}

TEST(StartUpManifestText, ALastLabelWithoutDirectoryIsKeptApart) {
  const StartUpManifest m = ParseStartUp("Weapons: duskfen\\weapons\\\nBodies:");
  EXPECT_EQ(Flattened(m), (std::vector<std::string>{"Weapons:", "duskfen\\weapons\\"}));
  EXPECT_EQ(m.lastLabel, "Bodies:");
}

}  // namespace
