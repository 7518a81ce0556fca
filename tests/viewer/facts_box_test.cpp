// The facts box (key I): the facts of a model whose counts are known, what the frame really
// draws, hostile records, and the box on the screen over any background.
#include <cctype>
#include <climits>
#include <filesystem>

#include "app/controls.h"
#include "app/facts_box.h"
#include "base/disk_path.h"
#include "data/data_set.h"
#include "dds_file.h"
#include "model/animation_table.h"
#include "model/level_buffers.h"
#include "model/texture_pages.h"
#include "viewer_fixture.h"

namespace {

// Level 0: four points; a triangle (1 triangle), a quad (2), a two-sided triangle (2). Level 1:
// three points; a triangle with a four-frame texture strip (1), two corners that make none.
const char kFactsPie[] =
    "PIE 2\nTYPE 200\nTEXTURE 0 facts.pcx 256 256\nLEVELS 2\n"
    "LEVEL 1\nPOINTS 4\n 0 0 0\n 100 0 0\n 100 100 0\n 0 100 0\nPOLYGONS 3\n"
    " 200 3 0 1 2  0 0 16 0 16 16\n 200 4 0 1 2 3  0 0 16 0 16 16 0 16\n 2200 3 0 2 3  0 0 16 16 0 16\n"
    "LEVEL 2\nPOINTS 3\n 0 0 0\n 50 0 0\n 0 50 0\nPOLYGONS 2\n"
    " 4200 3 0 1 2  4 1 16 16  0 0 16 0 0 16\n 200 2 0 1  0 0 16 0\n";

constexpr uint32_t kRim = 0xFF7A808C;

class FactsBoxTest : public ViewerTest {
 protected:
  void SetUp() override {
    ReleaseDataSet();
    ViewerTest::SetUp();
    // 64 x 32, so that width and height are told apart; not the pages' colour key.
    testsupport::WriteFile("duskfen/texpages/facts.dds", ddsfile::SolidArgb32(64, 32, 0xFF2040F0));
  }
  void TearDown() override {
    ReleaseDataSet();
    ViewerTest::TearDown();
  }

  static void AddAnimation(const char* name, int32_t objects, int32_t frames, int32_t rate) {
    Animation a;
    a.name = name;
    a.frameCount = frames;
    a.frameRate = rate;
    a.objectCount = objects;
    AppendAnimation(a, std::vector<AnimationFrame>(static_cast<size_t>(frames) * 2));
  }
  // Writes Mydata/Models/<File>.PIE and loads it the way a manifest in lower case names it.
  static int32_t LoadFacts(const std::string& file) {
    testsupport::WriteFile("Mydata/Models/" + file + ".PIE", std::string(kFactsPie));
    std::string name = file;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    LoadModel("mydata\\models\\", (name + ".pie").c_str(), CategoryStructures);
    return static_cast<int32_t>(ModelCatalogue.size()) - 1;
  }
  static std::string Line(int32_t model, const std::string& label) {
    for (const FactLine& line : FactLines(GatherModelFacts(model), LevelsDrawnNow(model)))
      if (line.label == label) return line.value;
    return "<no line " + label + ">";
  }
  // Triangles one DrawModel call sends to the device.
  int64_t DeviceTriangles(int32_t model) {
    kvrtest::ResetCounters(g_pd3dDevice);
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    g_pd3dDevice->BeginScene();
    DrawModel(model, world);
    g_pd3dDevice->EndScene();
    int64_t sum = 0;
    for (UINT count : kvrtest::DrawCallPrimitiveCounts(g_pd3dDevice)) sum += count;
    return sum;
  }
  kvrtest::Image FrameOn(uint32_t rgb) {
    viewerState.sliderRed = static_cast<int32_t>(rgb >> 16);
    viewerState.sliderGreen = static_cast<int32_t>(rgb >> 8 & 0xFF);
    viewerState.sliderBlue = static_cast<int32_t>(rgb & 0xFF);
    return Frame();
  }
};

// The box's rectangle, found from its rim: right-aligned, its top along y 40. left -1: no box.
struct Box {
  int left = -1, top = 40, right = 1014, bottom = -1;
};
Box FindBox(const kvrtest::Image& image) {
  Box box;
  if (image.At(box.right - 1, box.top) != kRim) return box;
  for (box.left = box.right - 1; box.left > 0 && image.At(box.left - 1, box.top) == kRim;) --box.left;
  for (box.bottom = box.top + 1; image.At(box.right - 1, box.bottom) == kRim;) ++box.bottom;
  return box;
}

}  // namespace

TEST_F(FactsBoxTest, AModelsFactsAreItsFilesCountsItsPageItsAnimationAndItsPathOnDisk) {
  AddAnimation("facts", -1, 2, 10);
  const int32_t model = LoadFacts("Facts");
  const ModelFacts facts = GatherModelFacts(model);
  EXPECT_EQ(facts.levels, 2);
  EXPECT_EQ(facts.points, 7);
  EXPECT_EQ(facts.polygons, 5);  // the two-cornered one too: it is in the file
  EXPECT_EQ(facts.trianglesBefore, (std::vector<int64_t>{0, 5, 6}));
  EXPECT_EQ(Line(model, "texture page"), "facts.dds, 64 x 32");
  EXPECT_EQ(Line(model, "strip frames"), "4");
  EXPECT_EQ(Line(model, "keyframes"), "frames, 2 frames at 10 frames/s");
  EXPECT_EQ(Line(model, "team colours"), "yes");
  EXPECT_EQ(Line(model, "file on disk"), "Mydata/Models/Facts.PIE");  // not as the loader spelt it

  SetTeamColorsFlag(false);
  const int32_t plain = LoadFacts("Plain");
  std::filesystem::remove("Mydata/Models/Plain.PIE");
  EXPECT_EQ(Line(plain, "keyframes"), "none");
  EXPECT_EQ(Line(plain, "team colours"), "no");
  EXPECT_EQ(Line(plain, "file on disk"), "mydata\\models\\plain.pie (not on disk now)");
}

TEST_F(FactsBoxTest, TrianglesDrawnAreTheOnesTheDeviceIsSentForEachKindOfAnimation) {
  AddAnimation("stepper", -1, 3, 10);  // animation 0
  AddAnimation("mover", 2, 4, 8);
  const int32_t stepper = LoadFacts("Stepper"), mover = LoadFacts("Mover"), still = LoadFacts("Still");
  const char* expected[3] = {"5 (level 0 of 2, this frame)", "1 (level 1 of 2, this frame)", "0 (no level this frame)"};
  for (int32_t frame = 0; frame < 3; ++frame) {
    AnimationCounters[0] = frame;
    EXPECT_EQ(TrianglesDrawn(GatherModelFacts(stepper), LevelsDrawnNow(stepper)), DeviceTriangles(stepper));
    EXPECT_EQ(Line(stepper, "triangles drawn"), expected[frame]);
  }
  EXPECT_EQ(TrianglesDrawn(GatherModelFacts(mover), LevelsDrawnNow(mover)), DeviceTriangles(mover));
  EXPECT_EQ(Line(mover, "triangles drawn"), "6 (all 2 levels)");
  EXPECT_EQ(TrianglesDrawn(GatherModelFacts(still), LevelsDrawnNow(still)), DeviceTriangles(still));
  EXPECT_EQ(Line(still, "triangles drawn"), "5 (level 0 of 2)");
}

TEST_F(FactsBoxTest, HostileRecordsGiveFactsWithoutReadingPastATable) {
  LoadTexturePage("missing.dds");  // an entry without a texture
  PieModel liar;
  liar.levelCount = INT32_MAX;
  liar.pointStart = INT32_MAX;
  liar.polygonStart = -7;
  liar.texturePage = 0;
  liar.animation = 1234;
  ModelCatalogue.push_back(liar);
  PieModel empty;
  empty.levelCount = 0;
  empty.texturePage = 99;
  ModelCatalogue.push_back(empty);

  EXPECT_EQ(Line(0, "points"), "0 (blocks cut short)");
  EXPECT_EQ(Line(0, "triangles drawn"), "0 (all 2147483647 levels)");
  EXPECT_EQ(Line(0, "texture page"), "missing.dds, not loaded");
  EXPECT_EQ(Line(0, "keyframes"), "number 1234, not loaded");
  EXPECT_EQ(Line(0, "file on disk"), "unknown");
  EXPECT_EQ(TrianglesDrawn(GatherModelFacts(0), LevelRange{INT32_MIN, INT32_MAX}), 0);
  EXPECT_EQ(Line(1, "texture page"), "none");
  EXPECT_EQ(Line(1, "triangles drawn"), "0 (no levels)");
  for (int32_t none : {-1, 2, INT32_MAX}) {
    const std::vector<FactLine> lines = FactLines(GatherModelFacts(none), LevelRange{});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].value, "No model is shown");
  }
  for (int32_t model : {0, 1, 2, -1}) {
    viewerState.displayedModel = model;
    viewerState.showFacts = true;
    EXPECT_NE(FindBox(Frame()).left, -1) << "model " << model;
  }
}

TEST_F(FactsBoxTest, TheBoxReadsTheSameOverEveryBackgroundAndLeavesTheRestOfTheFrameAlone) {
  AddAnimation("facts", 2, 4, 8);
  viewerState.displayedModel = LoadFacts("Facts");
  const kvrtest::Image without = FrameOn(0xFFFFFF);
  Send(WM_KEYDOWN, 'I');
  const kvrtest::Image white = FrameOn(0xFFFFFF);
  Save("facts_box_white.png", white);
  const Box box = FindBox(white);
  ASSERT_NE(box.left, -1);
  ASSERT_GT(box.bottom, box.top + 100);

  // Opaque: inside, nothing of the background shows, so it reads alike on each colour (yellow is
  // the labels' own, near white the values').
  for (const uint32_t rgb : {0x000000u, 0xFFFF00u, 0x808080u, 0xF0F0F0u, 0x141820u})
    EXPECT_EQ(Differences(white, FrameOn(rgb), box.left, box.top, box.right, box.bottom), 0) << std::hex << rgb;
  // Dark behind light text.
  int dark = 0, bright = 0;
  for (int y = box.top + 1; y < box.bottom - 1; ++y) {
    for (int x = box.left + 1; x < box.right - 1; ++x) {
      const uint32_t p = white.At(x, y);
      const int luminance = ((p >> 16 & 0xFF) * 3 + (p >> 8 & 0xFF) * 6 + (p & 0xFF)) / 10;
      dark += luminance < 40;
      bright += luminance > 200;
    }
  }
  EXPECT_GT(dark, (box.right - box.left) * (box.bottom - box.top) / 2);
  EXPECT_GT(bright, 1500);

  // The frame counter, the model name and the manifest note above it, the panels' side and the
  // sliders below stay as they were; I again takes the box away.
  EXPECT_EQ(Differences(without, white, 0, 0, 1024, box.top), 0);
  EXPECT_EQ(Differences(without, white, 0, 0, box.left, 768), 0);
  EXPECT_EQ(Differences(without, white, 0, box.bottom, 1024, 768), 0);
  Send(WM_KEYDOWN, 'I');
  EXPECT_EQ(Differences(without, FrameOn(0xFFFFFF), 0, 0, 1024, 768), 0);

  // Below F1's list when both are shown.
  Send(WM_KEYDOWN, 'I');
  viewerState.showHelp = true;
  const kvrtest::Image both = Frame();
  EXPECT_EQ(FindBox(both).left, -1);
  EXPECT_EQ(both.At(1013, HelpListBottom() + 12), kRim);
}

TEST_F(FactsBoxTest, TheBoxIsGatheredAgainForTheSameNumberInACatalogueLoadedAgain) {
  viewerState.displayedModel = LoadFacts("Facts");
  viewerState.showFacts = true;
  const kvrtest::Image first = Frame();
  const Box box = FindBox(first);
  ASSERT_NE(box.left, -1);
  EXPECT_EQ(Differences(first, Frame(), box.left, box.top, box.right, box.bottom), 0);
  ReleaseDataSet();
  testsupport::WriteFile("Mydata/Models/Other.pie", "PIE 2\nTYPE 200\nTEXTURE 0 other.pcx 256 256\nLEVELS 1\n"
                                                    "LEVEL 1\nPOINTS 3\n 0 0 0\n 10 0 0\n 0 10 0\nPOLYGONS 0\n");
  LoadModel("mydata\\models\\", "other.pie", CategoryStructures);
  ASSERT_EQ(ModelCatalogue.size(), 1u);
  EXPECT_GT(Differences(first, Frame(), box.left, box.top, box.right, box.bottom), 200);
}

TEST(DiskPath, FinalPathsLoseTheirLongPathPrefixAndTheWorkingFolder) {
  EXPECT_EQ(PathRelativeToFolder("\\\\?\\C:\\Games\\Set\\duskfen\\Tower.pie", "c:/games/SET/"), "duskfen\\Tower.pie");
  EXPECT_EQ(PathRelativeToFolder("\\\\?\\C:\\a.pie", "C:\\"), "a.pie");
  EXPECT_EQ(PathRelativeToFolder("/work/set/duskfen/a.pie", "/work/set"), "duskfen/a.pie");
  EXPECT_EQ(PathRelativeToFolder("\\\\?\\UNC\\host\\share\\a.pie", "C:\\Games"), "\\\\host\\share\\a.pie");
  // Outside the folder, or in one whose name only begins the same: the whole path.
  EXPECT_EQ(PathRelativeToFolder("\\\\?\\C:\\Games\\Settings\\a.pie", "C:\\Games\\Set"), "C:\\Games\\Settings\\a.pie");
  EXPECT_EQ(PathRelativeToFolder("/work/set", "/work/set"), "/work/set");
  EXPECT_EQ(PathRelativeToFolder("/work/set/a.pie", ""), "/work/set/a.pie");
}
