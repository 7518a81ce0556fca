// A whole data set in which most files are damaged, each in its own way (cut short, counts that
// lie, out-of-range numbers, over-long names, broken texture pages, missing manifests), loaded the
// way the viewer loads it. Each damaged file must leave a line in the log, and every good model
// must still be drawn. Meant for the sanitizer build above all: nothing here may read or write
// out of bounds, allocate from a count in a file, or leak.
#include <d3dx9.h>

#include <algorithm>
#include <map>

#include "app/scene.h"
#include "data/load_sequence.h"
#include "loading/loading_fixture.h"

namespace {

using loadingtest::FrameLine;
using loadingtest::PieModelText;
using loadingtest::SolidDds;
using testsupport::WriteFile;

const std::string kWords40 = "abcdefghijklmnopqrstuvwxyz0123456789ABCD";
const std::string kWords60 = "ZYXWVUTSRQPONMLKJIHGFEDCBA9876543210zyxwvutsrqponmlkjihgfedc";

// One level of three points, its polygons written out by the caller, on the page given.
std::string OneLevelPie(const std::string& page, int polygonCount, const std::string& polygons) {
  return "PIE 2\nTYPE 200\nTEXTURE 0 " + page + " 256 256\nLEVELS 1\nLEVEL 1\nPOINTS 3\n"
         "0 0 0\n100 0 0\n0 100 0\nPOLYGONS " + std::to_string(polygonCount) + "\n" + polygons +
         "CONNECTORS 0\n";
}
const char kGoodTriangle[] = "200 3 0 1 2 0 0 16 0 16 16\n";

// A DDS header of 32-bit pixels that claims the given size, with `pixelBytes` bytes after it.
std::string DdsClaiming(uint32_t width, uint32_t height, size_t pixelBytes) {
  return ddsfile::AsString(ddsfile::Header::Argb32(width, height).Bytes()) + std::string(pixelBytes, '\x7f');
}

std::string Path(const std::string& folder, const std::string& file) {
  return "duskfen\\" + folder + "\\" + file;
}

class DamagedDataSetTest : public loadingtest::LoadingTest {
 protected:
  void SetUp() override {
    loadingtest::LoadingTest::SetUp();
    WriteFile("textures/kvrcursor.dds", SolidDds(32, 32, 0xFFFFFFFF));
    WriteFile("duskfen/texpages/page.dds", SolidDds(16, 16, 0xFF8080FF));
  }

  // Triangles drawn by DrawModel for the named model, or -1 when it is not in the catalogue.
  int64_t TrianglesDrawn(const std::string& name) {
    const int32_t model = FindModelByName(name.c_str());
    if (model < 0) return -1;
    kvrtest::ResetCounters(g_pd3dDevice);
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    g_pd3dDevice->BeginScene();
    DrawModel(model, world);
    g_pd3dDevice->EndScene();
    return static_cast<int64_t>(kvrtest::GetCounters(g_pd3dDevice).primitives);
  }

  // How many lines of the log are exactly `line`.
  static int Count(const std::vector<std::string>& log, const std::string& line) {
    return static_cast<int>(std::count(log.begin(), log.end(), line));
  }
  // True when some line of the log holds `text`.
  static bool Mentions(const std::vector<std::string>& log, const std::string& text) {
    return std::any_of(log.begin(), log.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
  }
};

TEST_F(DamagedDataSetTest, EveryDamagedFileIsLoggedAndEveryGoodModelIsStillDrawn) {
  WriteFile("duskfen/KVRStartUp.gam",
            "Animations: duskfen\\anims\\\nBodies: duskfen\\bodies\\\n"
            "Features: duskfen\\features\\\nMiscelaneous: duskfen\\misc\\\n"
            "MiscelaneousIMD: duskfen\\research\\\nEffects: duskfen\\effects\\\n"
            "Propulsions: duskfen\\propuls\\\nStructures: duskfen\\structs\\\n"
            "Weapons: duskfen\\weapons\\\n");

  // Animations: one good, the rest damaged.
  WriteFile("duskfen/anims/Animations.gam",
            "good.ani cut.ani negative.ani transneg.ani huge.ani none.ani " + kWords40 + "\n");
  std::string good = "ANIM3DFRAMES \"hall.pie\" 2 10 0 {\n" + FrameLine(0, {0, 0, 0, 0, 0, 0, 0, 0, 0}) +
                     FrameLine(1, {0, 0, 0, 0, 0, 0, 0, 0, 0}) + "}\n";
  WriteFile("duskfen/anims/good.ani", good);
  std::string trans = loadingtest::TransAnimation("strays", 3, 10, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  WriteFile("duskfen/anims/cut.ani", trans.substr(0, trans.size() * 2 / 3));
  WriteFile("duskfen/anims/negative.ani",
            "ANIM3DFRAMES \"tower.pie\" -5 10 0 {\n" + FrameLine(0, {1, 1, 1, 1, 1, 1, 1, 1, 1}) + "}\n");
  WriteFile("duskfen/anims/transneg.ani",
            "ANIM3DTRANS \"gun.pie\" -5 10 1 {\nANIMOBJECT 0 \"o\" {\n" +
                FrameLine(0, {1, 1, 1, 1, 1, 1, 1, 1, 1}) + "}\n}\n");
  WriteFile("duskfen/anims/huge.ani", "ANIM3DFRAMES \"twocorner.pie\" 2147483647 10 0 {\n" +
                                          FrameLine(0, {0, 0, 0, 0, 0, 0, 0, 0, 0}) + "}\n");
  WriteFile("duskfen/anims/none.ani", "ANIM3DFRAME \"tower.pie\" 1 10 0 {\n0 0 0 0 0 0 0 0 0 0\n}\n");

  // Bodies: the manifest is missing. Features: over-long names next to a good model.
  WriteFile("duskfen/features/Features.gam", "tree\n" + kWords40 + "\n" + kWords60 + "\nghost\n");
  WriteFile("duskfen/features/tree.pie", PieModelText(1));

  // Structures: the PIE files.
  std::string twoLevels = PieModelText(2);
  WriteFile("duskfen/structs/Structures.gam",
            "tower hall cut huge negative strays twocorner width0 width300 cutpage hugepage longpage");
  WriteFile("duskfen/structs/tower.pie", PieModelText(1));
  WriteFile("duskfen/structs/hall.pie", twoLevels);
  WriteFile("duskfen/structs/cut.pie", twoLevels.substr(0, twoLevels.size() / 2));
  WriteFile("duskfen/structs/huge.pie",
            "PIE 2 TYPE 200 TEXTURE 0 page.pcx 256 256 LEVELS 1 LEVEL 1 POINTS 2147483647 0 0 0 "
            "POLYGONS 1 " + std::string(kGoodTriangle));
  WriteFile("duskfen/structs/negative.pie", OneLevelPie("page.pcx", -1, kGoodTriangle));
  WriteFile("duskfen/structs/strays.pie",
            OneLevelPie("page.pcx", 3,
                        std::string("200 3 0 1 7 0 0 16 0 16 16\n200 3 0 -3 2 0 0 16 0 16 16\n") +
                            kGoodTriangle));
  WriteFile("duskfen/structs/twocorner.pie",
            OneLevelPie("page.pcx", 2, std::string("200 2 0 1 0 0 16 0\n") + kGoodTriangle));
  WriteFile("duskfen/structs/width0.pie",
            OneLevelPie("page.pcx", 1, "4200 3 0 1 2 8 1 0 16 0 0 16 0 16 16\n"));
  WriteFile("duskfen/structs/width300.pie",
            OneLevelPie("page.pcx", 1, "4200 3 0 1 2 8 1 300 16 0 0 16 0 16 16\n"));
  WriteFile("duskfen/structs/cutpage.pie", OneLevelPie("cutpage.pcx", 1, kGoodTriangle));
  WriteFile("duskfen/structs/hugepage.pie", OneLevelPie("hugepage.pcx", 1, kGoodTriangle));
  WriteFile("duskfen/structs/longpage.pie", OneLevelPie(kWords40 + ".pcx", 1, kGoodTriangle));
  WriteFile("duskfen/texpages/cutpage.dds", SolidDds(64, 64, 0xFF00FF00).substr(0, 128));
  WriteFile("duskfen/texpages/hugepage.dds", DdsClaiming(65535, 65535, 4096));

  // Weapons: the good model that the negative transform animation names.
  WriteFile("duskfen/weapons/Weapons.gam", "gun");
  WriteFile("duskfen/weapons/gun.pie", PieModelText(1));

  LoadDataSet();
  const std::vector<std::string> log = Log();
  std::string all;
  for (const std::string& l : log) all += l + "\n";
  SCOPED_TRACE("the log:\n" + all);

  // One line or more for each damaged file, naming it or its problem.
  EXPECT_EQ(Count(log, "Failed to open " + Path("bodies", "Bodies.gam")), 1);
  EXPECT_EQ(Count(log, "Failed to open " + Path("features", "ghost.pie")), 1);
  // Long names are read whole, never cut into pieces that shift the words after them.
  for (const std::string& name : {kWords40, kWords60})
    EXPECT_EQ(Count(log, "Failed to open " + Path("features", name + ".pie")), 1) << name;
  EXPECT_EQ(Count(log, "Model file ends early, skipped: " + Path("structs", "cut.pie")), 1);
  EXPECT_EQ(Count(log, "Model file ends early, skipped: " + Path("structs", "huge.pie")), 1);
  EXPECT_EQ(Count(log, "Model file holds a negative count, skipped: " + Path("structs", "negative.pie")), 1);
  EXPECT_EQ(Count(log, "Polygons naming points their level lacks, left out of model strays"), 1);
  EXPECT_EQ(Count(log, "Polygons of fewer than three corners, left out of model twocorner"), 1);
  for (const char* name : {"width0", "width300"})
    EXPECT_EQ(Count(log, std::string("Animated polygons with a frame width outside 1 to 256, drawn "
                                     "unanimated in model ") + name), 1) << name;
  for (const std::string& page : {std::string("cutpage.dds"), std::string("hugepage.dds")})
    EXPECT_EQ(Count(log, Path("texpages", page)), 1) << page;
  EXPECT_EQ(Count(log, Path("texpages", kWords40 + ".dds")), 1) << "the 40-character page name";
  EXPECT_EQ(Count(log, "Failed to create texture NewTexture"), 3);
  EXPECT_TRUE(Mentions(log, "Animation file ends early " + Path("anims", "cut.ani")));
  EXPECT_TRUE(Mentions(log, "Animation file ends early " + Path("anims", "huge.ani")));
  EXPECT_TRUE(Mentions(log, "No ANIM3DFRAMES or ANIM3DTRANS in " + Path("anims", "none.ani")));
  for (const char* file : {"negative.ani", "transneg.ani"})
    EXPECT_EQ(Count(log, "Animation file holds a negative frame count " + Path("anims", file)), 1) << file;
  EXPECT_EQ(Count(log, "Failed to open animation file " + Path("anims", kWords40)), 1);

  // The damaged PIE files are not in the catalogue; everything else is, and draws.
  for (const char* dropped : {"cut", "huge", "negative"}) EXPECT_EQ(FindModelByName(dropped), -1) << dropped;
  const std::map<std::string, int64_t> drawn = {
      {"tree", 1},     {"tower", 1},    {"hall", 1},     {"strays", 1},   {"twocorner", 1},
      {"width0", 1},   {"width300", 1}, {"cutpage", 1},  {"hugepage", 1}, {"longpage", 1},
      {"gun", 1}};
  for (const auto& [name, triangles] : drawn) EXPECT_EQ(TrianglesDrawn(name), triangles) << name;
  EXPECT_EQ(ModelCatalogue.size(), drawn.size());

  // Minutes of animation beats over the damaged animations: counters stay within their frames
  // and every model is still drawn on every beat.
  for (int beat = 0; beat < 600; ++beat) {
    kvrtest::AdvanceTime(101);
    TickAnimations();
    for (size_t a = 0; a < Animations.size(); ++a) {
      EXPECT_GE(AnimationCounters[a], 0);
      EXPECT_LE(AnimationCounters[a], std::max(Animations[a].frameCount - 1, 0));
    }
    if (beat % 50 == 0) {
      for (const auto& [name, triangles] : drawn) ASSERT_EQ(TrianglesDrawn(name), triangles) << name;
    }
  }
}

TEST_F(DamagedDataSetTest, AStartUpManifestOfFivePairsLoadsThoseAndSaysSo) {
  WriteFile("duskfen/KVRStartUp.gam",
            "Structures: duskfen\\structs\\\nBodies: duskfen\\bodies\\\nWeapons: duskfen\\weapons\\\n"
            "Effects: duskfen\\effects\\\nFeatures: duskfen\\features\\\n");
  // Propulsions has its files but no pair: it must not load.
  const std::pair<std::string, std::string> folders[] = {
      {"structs", "Structures.gam"}, {"bodies", "Bodies.gam"},     {"weapons", "Weapons.gam"},
      {"effects", "Effects.gam"},    {"features", "Features.gam"}, {"propuls", "Propulsions.gam"}};
  for (const auto& [folder, manifest] : folders) {
    WriteFile("duskfen/" + folder + "/" + manifest, "m" + folder);
    WriteFile("duskfen/" + folder + "/m" + folder + ".pie", PieModelText(1));
  }
  LoadDataSet();
  std::vector<std::string> names;
  for (const PieModel& m : ModelCatalogue) names.push_back(m.name);
  EXPECT_EQ(names, (std::vector<std::string>{"mstructs", "mbodies", "mweapons", "meffects", "mfeatures"}));
  for (const std::string& name : names) EXPECT_EQ(TrianglesDrawn(name), 1) << name;
  const std::vector<std::string> log = Log();
  EXPECT_EQ(Count(log, "Start-up manifest duskfen\\KVRStartUp.gam ends after 5 of 9 pairs"), 1);
}

}  // namespace
