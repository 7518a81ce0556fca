// Category manifests: plain and flag-aware readers, the catalogue, names and lists.
#include "model_fixture.h"

class ManifestTest : public ModelTest {
 protected:
  void WriteManifest(const std::string& name, const std::string& text) {
    testsupport::WriteFile("mydata/models/" + name, text);
  }
  void WriteModels(std::initializer_list<const char*> names) {
    for (const char* name : names) WriteModelFile(std::string(name) + ".pie", SquarePie());
  }
  std::vector<int> TeamColours() const {
    std::vector<int> flags;
    for (const PieModel& m : ModelCatalogue) flags.push_back(m.teamColors);
    return flags;
  }
};

TEST_F(ManifestTest, SwitchWordsOfAFlagAwareManifestMarkTheModelsThatFollow) {
  WriteModels({"a", "b", "c", "d"});
  WriteManifest("Features.gam",
                "SetTeamColorsFlag(true)\na\nb\nSetTeamColorsFlag(false) SetTeamColorsFlag(false)\nc\n"
                "SetTeamColorsFlag(true) SetTeamColorsFlag(true) d");
  TeamColorsFlag = false;
  LoadFeatures(kModelDir);
  ASSERT_EQ(ModelCatalogue.size(), 4u);
  EXPECT_EQ(TeamColours(), (std::vector<int>{1, 1, 0, 1}));
  for (const PieModel& m : ModelCatalogue) EXPECT_EQ(m.category, CategoryFeatures);
  // Names are logged as the manifest is read, before any model loads; switches are not.
  std::vector<std::string> log = LogLines();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 4),
            (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(LogCount("SetTeamColorsFlag(true)"), 0);
}

TEST_F(ManifestTest, NamesBeforeTheFirstSwitchKeepTheFlagAsTheLastCategoryLeftIt) {
  WriteModels({"a", "b", "c"});
  WriteManifest("Effects.gam", "a b");
  WriteManifest("Miscelaneous.gam", "c");
  TeamColorsFlag = true;
  LoadEffects(kModelDir);
  TeamColorsFlag = false;
  LoadMiscelaneous(kModelDir);
  EXPECT_EQ(TeamColours(), (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(ModelCatalogue[0].category, CategoryEffects);
  EXPECT_EQ(ModelCatalogue[2].category, CategoryMiscelaneous);
}

TEST_F(ManifestTest, PlainManifestTakesSwitchWordsForModelNames) {
  WriteModels({"a"});
  WriteManifest("Bodies.gam", "SetTeamColorsFlag(false) a");
  TeamColorsFlag = true;
  LoadBodies(kModelDir);
  EXPECT_TRUE(TeamColorsFlag);
  ASSERT_EQ(ModelCatalogue.size(), 1u);
  EXPECT_EQ(ModelCatalogue[0].teamColors, 1);
  EXPECT_EQ(ModelCatalogue[0].category, CategoryBodies);
  EXPECT_EQ(LogCount("SetTeamColorsFlag(false)"), 1);
  EXPECT_EQ(LogCount("Failed to open mydata\\models\\SetTeamColorsFlag(false).pie"), 1);
}

TEST_F(ManifestTest, LongWordsAreReadWholeAndShiftNothingAfterThem) {
  // Cut at 30 characters, this name would become two models and push "gun" one place on.
  const std::string name = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJ";
  WriteModelFile(name + ".pie", SquarePie());
  WriteModelFile("abcdefghijklmnopqrstuvwxyz0123.pie", SquarePie());
  WriteModels({"gun"});
  WriteManifest("Weapons.gam", name + " gun");
  LoadWeapons(kModelDir);
  ModelNameList list;
  ListModelsOfCategory(list, CategoryWeapons);
  EXPECT_EQ(list, (ModelNameList{name, "gun"}));
  EXPECT_EQ(LogCount(name), 1);
}

TEST_F(ManifestTest, ModelListedTwiceGivesTwoEntriesAndFindByNameTheFirst) {
  WriteModels({"tank", "gun"});
  WriteManifest("Structures.gam", "tank gun tank");
  WriteManifest("Propulsions.gam", "gun");
  LoadStructures(kModelDir);
  LoadPropulsions(kModelDir);
  ASSERT_EQ(ModelCatalogue.size(), 4u);
  EXPECT_EQ(FindModelByName("tank"), 0);
  EXPECT_EQ(FindModelByName("gun"), 1);
  EXPECT_EQ(FindModelByName("TANK"), -1);
  EXPECT_EQ(FindModelByName("tan"), -1);
  ModelNameList list = {"stale"};
  ListModelsOfCategory(list, CategoryStructures);
  EXPECT_EQ(list, (ModelNameList{"tank", "gun", "tank"}));
  ListModelsOfCategory(list, CategoryPropulsions);
  EXPECT_EQ(list, (ModelNameList{"gun"}));
  ListModelsOfCategory(list, CategoryResearch);
  EXPECT_TRUE(list.empty());
}

TEST_F(ManifestTest, MissingFilesAreLoggedAndSkipped) {
  WriteModels({"b"});
  WriteModelFile("notpie.pie", "PIF 2");
  WriteManifest("MiscelaneousIMD.gam", "a notpie b");
  LoadMiscelaneousIMD(kModelDir);
  LoadStructures(kModelDir);  // no manifest at all
  ASSERT_EQ(ModelCatalogue.size(), 1u);
  EXPECT_EQ(ModelCatalogue[0].name, "b");
  EXPECT_EQ(ModelCatalogue[0].category, CategoryResearch);
  EXPECT_EQ(LogCount("Failed to open mydata\\models\\a.pie"), 1);
  EXPECT_EQ(LogCount("Failed to open mydata\\models\\Structures.gam"), 1);
  // A file that is not a model is skipped without a word.
  for (const std::string& line : LogLines()) EXPECT_EQ(line.find("notpie.pie"), std::string::npos);
}

TEST_F(ManifestTest, EmptyManifestsLoadNothing) {
  WriteManifest("Bodies.gam", "");
  WriteManifest("Features.gam", " \n SetTeamColorsFlag(true) SetTeamColorsFlag(false)\n");
  LoadBodies(kModelDir);
  TeamColorsFlag = false;
  LoadFeatures(kModelDir);
  EXPECT_TRUE(ModelCatalogue.empty());
  EXPECT_TRUE(LogLines().empty());
  EXPECT_FALSE(TeamColorsFlag);
}

// The words of a category manifest held in memory, before any model is loaded.
class CategoryManifestText : public ::testing::Test {
 protected:
  static std::vector<ManifestEntry> Parse(const std::string& text, bool flagAware) {
    const std::vector<char> bytes = Bytes(text);
    return ParseCategoryManifest(bytes.data(), bytes.data() + bytes.size(), flagAware);
  }
  static std::vector<std::string> Words(const std::vector<ManifestEntry>& entries) {
    std::vector<std::string> words;
    for (const ManifestEntry& e : entries) words.push_back(e.word);
    return words;
  }
  static std::vector<bool> TeamColours(const std::vector<ManifestEntry>& entries) {
    std::vector<bool> flags;
    for (const ManifestEntry& e : entries) flags.push_back(e.teamColors);
    return flags;
  }
};

TEST_F(CategoryManifestText, SwitchWordsMarkTheNamesAfterThemAndAreNoNames) {
  const std::vector<ManifestEntry> entries =
      Parse("a SetTeamColorsFlag(true)\nb c\r\nSetTeamColorsFlag(false) SetTeamColorsFlag(true) d\n"
            "SetTeamColorsFlag(false) e",
            true);
  EXPECT_EQ(Words(entries), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
  // Names before the first switch are marked false; the loader leaves the flag alone for them.
  EXPECT_EQ(TeamColours(entries), (std::vector<bool>{false, true, true, true, false}));
  EXPECT_TRUE(Parse(" \n SetTeamColorsFlag(true) SetTeamColorsFlag(false)\n", true).empty());
}

TEST_F(CategoryManifestText, APlainManifestKeepsSwitchWordsAsNames) {
  const std::vector<ManifestEntry> entries = Parse("SetTeamColorsFlag(true) a SetTeamColorsFlag(false) b", false);
  EXPECT_EQ(Words(entries), (std::vector<std::string>{"SetTeamColorsFlag(true)", "a",
                                                      "SetTeamColorsFlag(false)", "b"}));
  EXPECT_EQ(TeamColours(entries), std::vector<bool>(4, false));
}
