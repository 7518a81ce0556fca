// The two list panels: which rows they show, their colours, and what a click on them chooses.
#include <vector>

#include "viewer_fixture.h"

namespace {

struct Row {
  std::string text;
  uint8_t r, g, b;
};
const Row Red(const std::string& t) { return {t, 255, 0, 0}; }
const Row Blue(const std::string& t) { return {t, 0, 0, 255}; }
const Row Green(const std::string& t) { return {t, 0, 255, 0}; }

const char* const kCategories[8] = {"BODIES",  "FEATURES",    "MISCELANEOUS", "RESEARCHIMD",
                                    "EFFECTS", "PROPULSIONS", "STRUCTURES",   "WEAPONS"};

}  // namespace

class PanelTest : public ViewerTest {
 protected:
  // The panel area of the frame must look exactly like these rows drawn alone.
  void ExpectPanel(const kvrtest::Image& frame, const std::vector<Row>& rows, const char* name) {
    kvrtest::Image expected = Reference([&] {
      for (size_t i = 0; i < rows.size(); ++i)
        DrawTextRgb(10, 20 * static_cast<int>(i), rows[i].text.c_str(), rows[i].r, rows[i].g,
                    rows[i].b);
    });
    EXPECT_EQ(Differences(frame, expected, 0, 0, 200, 440), 0) << name;
    if (HasFailure()) {
      Save(std::string("viewer_panel_") + name + "_actual.png", frame);
      Save(std::string("viewer_panel_") + name + "_expected.png", expected);
    }
  }
  static std::vector<Row> RedRows(const ModelNameList& names, int first, int count) {
    std::vector<Row> rows;
    for (int i = 0; i < count; ++i) rows.push_back(Red(names[static_cast<size_t>(first + i)]));
    return rows;
  }
};

TEST_F(PanelTest, TwentyFiveNamesShowTwentyRowsFromFirstRowWhichIsLoweredToFit) {
  viewerState.nameList = Names(25);
  viewerState.showModelPanel = true;
  ExpectPanel(Frame(), RedRows(viewerState.nameList, 0, 20), "first0");
  EXPECT_GT(Lit(Frame(), 10, 380, 150, 400), 0);  // the twentieth row is drawn

  viewerState.firstRow = 5;
  ExpectPanel(Frame(), RedRows(viewerState.nameList, 5, 20), "first5");

  viewerState.firstRow = 9;
  kvrtest::Image frame = Frame();
  EXPECT_EQ(viewerState.firstRow, 5);
  ExpectPanel(frame, RedRows(viewerState.nameList, 5, 20), "first9");
}

TEST_F(PanelTest, SevenNamesShowSevenRowsAndNeverScroll) {
  viewerState.nameList = Names(7);
  viewerState.showModelPanel = true;
  viewerState.firstRow = 3;
  kvrtest::Image frame = Frame();
  EXPECT_EQ(viewerState.firstRow, 0);
  ExpectPanel(frame, RedRows(viewerState.nameList, 0, 7), "seven");

  viewerState.nameList.clear();  // an empty list: an empty panel
  frame = Frame();
  EXPECT_EQ(viewerState.firstRow, 0);
  EXPECT_EQ(Lit(frame, 0, 0, 200, 440), 0);
}

TEST_F(PanelTest, TheSelectedNameIsHighlightedOnlyWhileItIsVisible) {
  AddModels("Pylon", 25, CategoryStructures);
  ListModelsOfCategory(viewerState.nameList, CategoryStructures);
  const ModelNameList& names = viewerState.nameList;
  ASSERT_EQ(names.size(), 25u);
  viewerState.showModelPanel = true;
  SelectListEntry(2);
  ASSERT_EQ(viewerState.displayedModel, 2);

  std::vector<Row> rows = RedRows(names, 0, 20);
  rows[2] = Blue(names[2]);
  ExpectPanel(Frame(), rows, "highlight_row2");

  viewerState.firstRow = 3;  // the selection scrolled off the top
  ExpectPanel(Frame(), RedRows(names, 3, 20), "highlight_scrolled_off");

  SelectListEntry(24);
  viewerState.firstRow = 5;
  rows = RedRows(names, 5, 20);
  rows[19] = Blue(names[24]);
  ExpectPanel(Frame(), rows, "highlight_last");

  // Under the pointer a row is green, highlighted or not.
  viewerState.mouseX = 149;
  viewerState.mouseY = 399;
  rows[19] = Green(names[24]);
  ExpectPanel(Frame(), rows, "hover_highlighted");
}

TEST_F(PanelTest, ChoosingACategoryShowsItsNamesWithNothingSelected) {
  AddModels("Body", 3, CategoryBodies);
  AddModels("Tower", 4, CategoryStructures);
  ListModelsOfCategory(viewerState.nameList, CategoryStructures);
  SelectListEntry(1);
  ASSERT_EQ(viewerState.displayedModel, 4);

  Send(WM_KEYDOWN, 'T');
  ASSERT_TRUE(viewerState.showCategoryPanel);
  std::vector<Row> rows;
  for (int i = 0; i < 8; ++i) rows.push_back(i == 6 ? Blue(kCategories[i]) : Red(kCategories[i]));
  ExpectPanel(Frame(), rows, "categories");

  PressAt(20, 5);  // BODIES
  kvrtest::Image frame = Frame();
  // The rows after the clicked one already compare against the new category.
  rows[0] = Green(kCategories[0]);
  rows[6] = Red(kCategories[6]);
  ExpectPanel(frame, rows, "category_clicked");
  EXPECT_EQ(viewerState.currentCategory, CategoryBodies);
  EXPECT_FALSE(viewerState.showCategoryPanel);
  EXPECT_TRUE(viewerState.showModelPanel);
  EXPECT_EQ(viewerState.displayedModel, -1);
  EXPECT_EQ(viewerState.nameList, (ModelNameList{"Body0", "Body1", "Body2"}));
  EXPECT_EQ(viewerState.selectedIndex, 1);  // kept, but shows nothing

  viewerState.mouseX = 900;
  viewerState.mouseY = 500;
  frame = Frame();
  ExpectPanel(frame, {Red("Body0"), Red("Body1"), Red("Body2")}, "after_category");
  EXPECT_EQ(Lit(frame, 380, 0, 660, 24), 0);  // no model name, no model

  // While both flags are set only the category panel is drawn.
  Send(WM_KEYDOWN, 'T');
  rows[0] = Blue(kCategories[0]);
  ExpectPanel(Frame(), rows, "categories_over_models");
}

TEST_F(PanelTest, AClickSelectsTheRowUnderThePointerOnly) {
  AddModels("Wall", 7, CategoryStructures);
  ListModelsOfCategory(viewerState.nameList, CategoryStructures);
  viewerState.showModelPanel = true;

  PressAt(150, 45);  // right of the rows
  Frame();
  EXPECT_EQ(viewerState.selectedIndex, 0);
  EXPECT_EQ(viewerState.displayedModel, -1);
  EXPECT_FALSE(viewerState.clickPending);

  PressAt(20, 150);  // below the seventh row
  Frame();
  EXPECT_EQ(viewerState.selectedIndex, 0);
  EXPECT_EQ(viewerState.displayedModel, -1);
  EXPECT_FALSE(viewerState.clickPending);

  PressAt(149, 45);
  Frame();
  EXPECT_EQ(viewerState.selectedIndex, 2);
  EXPECT_EQ(viewerState.displayedModel, 2);

  // A click is taken once: the next frame with the pointer still there selects nothing new.
  viewerState.selectedIndex = 5;
  Frame();
  EXPECT_EQ(viewerState.selectedIndex, 5);

  // With the list scrolled the row counts from firstRow.
  ModelCatalogue.clear();
  AddModels("Gate", 25, CategoryStructures);
  ListModelsOfCategory(viewerState.nameList, CategoryStructures);
  viewerState.firstRow = 5;
  PressAt(30, 61);
  Frame();
  EXPECT_EQ(viewerState.selectedIndex, 8);
  EXPECT_EQ(viewerState.displayedModel, 8);
}
