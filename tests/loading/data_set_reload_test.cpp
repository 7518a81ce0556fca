// F5: the whole data set read again, manifests included, with the view and the selection kept.
#include "app/model_panel.h"
#include "app/viewer_state.h"
#include "loading_fixture.h"

using testsupport::WriteFile;

namespace {

class DataSetReload : public loadingtest::LoadingTest {
 protected:
  void SetUp() override {
    LoadingTest::SetUp();
    WriteFile("textures/kvrcursor.dds", loadingtest::SolidDds(32, 32, 0xFFFFFFFF));
    WriteFile("duskfen/texpages/page.dds", loadingtest::SolidDds(8, 8, 0xFF808080));
    WriteFile("duskfen/KVRStartUp.gam", "Structures: duskfen\\structs\\\n");
    Structures({"alpha", "beta", "gamma"});
    viewerState = ViewerState{};
  }
  void TearDown() override {
    viewerState = ViewerState{};
    LoadingTest::TearDown();
  }

  static void Structures(const std::vector<std::string>& names, int levels = 1) {
    std::string list;
    for (const std::string& name : names) {
      list += name + "\n";
      WriteFile("duskfen/structs/" + name + ".pie", loadingtest::PieModelText(levels));
    }
    WriteFile("duskfen/structs/Structures.gam", list);
  }

  static std::string Shown() {
    const char* name = NameAt(viewerState.selectedIndex);
    return viewerState.displayedModel == -1 || !name ? "" : name;
  }
};

TEST_F(DataSetReload, F5ReadsManifestsAndModelsAgainKeepingTheShownModelAndTheView) {
  SetupScene();
  ASSERT_EQ(viewerState.nameList, ModelNameList({"alpha", "beta", "gamma"}));
  SelectListEntry(1);
  viewerState.showModelPanel = true;
  viewerState.sliderRed = 200;
  camera.eyeZ = -120.0f;
  const size_t logLines = Log().size();

  // Beta moves to the front of the list and gains two levels; a new model joins.
  Structures({"beta", "delta", "alpha"}, 3);
  ReloadDataSet();
  EXPECT_EQ(viewerState.nameList, ModelNameList({"beta", "delta", "alpha"}));
  EXPECT_EQ(Shown(), "beta");
  EXPECT_EQ(viewerState.selectedIndex, 0);
  ASSERT_NE(viewerState.displayedModel, -1);
  EXPECT_EQ(ModelCatalogue[viewerState.displayedModel].levelCount, 3);
  EXPECT_EQ(ModelCatalogue.size(), 3u);  // nothing of the first load is left over
  EXPECT_TRUE(viewerState.showModelPanel);
  EXPECT_EQ(viewerState.sliderRed, 200);
  EXPECT_EQ(camera.eyeZ, -120.0f);
  const std::vector<std::string> log = Log();
  ASSERT_GT(log.size(), logLines);
  EXPECT_EQ(log[logLines], "Reloading the data set");  // appended: the log is not started again

  // The shown model is gone: the category's first model is shown instead.
  Structures({"delta", "alpha"});
  ReloadDataSet();
  EXPECT_EQ(Shown(), "delta");

  // No manifest any more: nothing to show, and the screen says which file was looked for.
  std::remove("duskfen/KVRStartUp.gam");
  ReloadDataSet();
  EXPECT_TRUE(viewerState.startUpManifestMissing);
  EXPECT_EQ(viewerState.displayedModel, -1);
  EXPECT_TRUE(ModelCatalogue.empty());
  WriteFile("duskfen/KVRStartUp.gam", "Structures: duskfen\\structs\\\n");
  ReloadDataSet();
  EXPECT_FALSE(viewerState.startUpManifestMissing);
  EXPECT_EQ(Shown(), "delta");
}

}  // namespace
