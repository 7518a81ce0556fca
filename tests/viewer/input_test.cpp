// Window messages: the key table, the mouse buttons, the slider strip and the pointer poll.
#include <cstring>

#include "viewer_fixture.h"

namespace {

// The knob of a channel: vertex 14 * channel + 10 of the colour-bar buffer (x of a line pair).
float KnobX(int channel) {
  struct BarVertex {
    float x, y, z, rhw;
    DWORD colour;
  };
  void* data = nullptr;
  if (FAILED(m_pColorBarsVB->Lock(0, 0, &data, 0))) return -1.0f;
  BarVertex v;
  std::memcpy(&v, static_cast<const char*>(data) + sizeof(BarVertex) * (14 * channel + 10), sizeof v);
  m_pColorBarsVB->Unlock();
  return v.x;
}

}  // namespace

using InputTest = ViewerTest;

TEST_F(InputTest, LetterKeysToggleAndEscapeOrDestroyEndTheLoop) {
  Send(WM_KEYDOWN, 'A');
  Send(WM_KEYDOWN, 'M');
  Send(WM_KEYDOWN, 'R');
  Send(WM_KEYDOWN, 'T');
  EXPECT_TRUE(viewerState.showAxes);
  EXPECT_TRUE(viewerState.showModelPanel);
  EXPECT_TRUE(viewerState.rotate);
  EXPECT_TRUE(viewerState.showCategoryPanel);
  // Auto-repeat sends the key again, and each repeat toggles again.
  Send(WM_KEYDOWN, 'T');
  Send(WM_KEYDOWN, 'A');
  EXPECT_FALSE(viewerState.showCategoryPanel);
  EXPECT_FALSE(viewerState.showAxes);
  // Lower-case codes, key releases and characters do nothing.
  Send(WM_KEYDOWN, 'r');
  Send(WM_KEYUP, 'R');
  Send(WM_CHAR, 'R');
  EXPECT_TRUE(viewerState.rotate);

  WPARAM code = 99;
  kvrtest::PostScriptedMessage(hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(Pump(&code));
  EXPECT_EQ(code, 0u);

  code = 99;
  kvrtest::PostScriptedMessage(hwnd(), WM_DESTROY, 0, 0);
  EXPECT_TRUE(Pump(&code));
  EXPECT_EQ(code, 0u);
}

TEST_F(InputTest, NumpadKeysScrollTheModelPanelWithinTheList) {
  viewerState.nameList = Names(30);
  for (int i = 0; i < 12; ++i) Send(WM_KEYDOWN, VK_ADD);
  EXPECT_EQ(viewerState.firstRow, 10);
  Send(WM_KEYDOWN, VK_SUBTRACT);
  EXPECT_EQ(viewerState.firstRow, 9);
  for (int i = 0; i < 12; ++i) Send(WM_KEYDOWN, VK_SUBTRACT);
  EXPECT_EQ(viewerState.firstRow, 0);

  viewerState.nameList = Names(12);
  Send(WM_KEYDOWN, VK_ADD);
  EXPECT_EQ(viewerState.firstRow, 0);
}

TEST_F(InputTest, PressesOnTheStripSetTheSliderUnderThePointer) {
  viewerState.sliderRed = 77;
  PressAt(12, 758);  // left of the value-0 position: clamped
  EXPECT_EQ(viewerState.sliderRed, 0);
  EXPECT_EQ(KnobX(0), 15.0f);

  PressAt(300, 760);
  EXPECT_EQ(viewerState.sliderGreen, 5);
  EXPECT_EQ(KnobX(1), 300.0f);

  PressAt(283, 758);  // between the red and green zones
  PressAt(100, 752);  // just above the strip
  PressAt(100, 765);  // just below it
  PressAt(850, 758);  // right of the blue zone
  EXPECT_EQ(viewerState.sliderRed, 0);
  EXPECT_EQ(viewerState.sliderGreen, 5);
  EXPECT_EQ(viewerState.sliderBlue, 0);
  EXPECT_EQ(KnobX(0), 15.0f);

  PressAt(276, 753);  // the red zone's last pixel is past the value-255 position
  PressAt(836, 764);
  EXPECT_EQ(viewerState.sliderRed, 255);
  EXPECT_EQ(viewerState.sliderBlue, 255);
  EXPECT_EQ(KnobX(0), 270.0f);
  EXPECT_EQ(KnobX(2), 830.0f);
  EXPECT_EQ(KnobX(1), 300.0f);  // untouched

  viewerState.sliderBlue = 0;
  viewerState.sliderGreen = 0;
  kvrtest::Image frame = Frame();
  Save("viewer_slider_red.png", frame);
  EXPECT_EQ(frame.At(512, 300), 0xFFFF0000u);
}

TEST_F(InputTest, DraggingWithTheLeftButtonKeepsSettingTheSlider) {
  viewerState.mouseX = 400;
  viewerState.mouseY = 700;
  Send(WM_LBUTTONDOWN);  // pressed above the strip
  EXPECT_EQ(viewerState.sliderGreen, 0);
  viewerState.mouseY = 758;
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(viewerState.sliderGreen, 105);
  viewerState.mouseX = 420;
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(viewerState.sliderGreen, 125);
  EXPECT_EQ(KnobX(1), 420.0f);
  Send(WM_LBUTTONUP);
  viewerState.mouseX = 440;
  Send(WM_MOUSEMOVE);  // no button: no change
  EXPECT_EQ(viewerState.sliderGreen, 125);
}

TEST_F(InputTest, PollCursorReadsThePointerWithXHeldAt1022) {
  kvrtest::SetCursorPos(1023, 767);
  PollCursor();
  EXPECT_EQ(viewerState.mouseX, 1022);
  EXPECT_EQ(viewerState.mouseY, 767);
  kvrtest::SetCursorPos(0, 0);
  PollCursor();
  EXPECT_EQ(viewerState.mouseX, 0);
  EXPECT_EQ(viewerState.mouseY, 0);
  // Far off a huge desktop the position is limited, never wrapped to a negative number.
  kvrtest::SetCursorPos(70000, 70000);
  PollCursor();
  EXPECT_EQ(viewerState.mouseX, 1022);
  EXPECT_EQ(viewerState.mouseY, 32767);
}

// PageDown / PageUp: the next and previous model of the category.

TEST_F(InputTest, PageKeysStepThroughTheCategoryAndWrapRoundAtTheEnds) {
  AddModels("Body", 2, CategoryBodies);
  AddModels("Tower", 3, CategoryStructures);
  ListModelsOfCategory(viewerState.nameList, CategoryStructures);
  SelectListEntry(0);
  ASSERT_NE(viewerState.displayedModel, -1);

  Send(WM_KEYDOWN, VK_NEXT);
  EXPECT_EQ(viewerState.selectedIndex, 1);
  EXPECT_EQ(ModelCatalogue[viewerState.displayedModel].name, "Tower1");
  Send(WM_KEYDOWN, VK_NEXT);
  Send(WM_KEYDOWN, VK_NEXT);
  EXPECT_EQ(viewerState.selectedIndex, 0);
  EXPECT_EQ(ModelCatalogue[viewerState.displayedModel].name, "Tower0");
  Send(WM_KEYDOWN, VK_PRIOR);
  EXPECT_EQ(viewerState.selectedIndex, 2);
  EXPECT_EQ(ModelCatalogue[viewerState.displayedModel].name, "Tower2");
  Send(WM_KEYDOWN, VK_PRIOR);
  EXPECT_EQ(ModelCatalogue[viewerState.displayedModel].name, "Tower1");
}

TEST_F(InputTest, PageKeysAfterAChosenCategoryStartAtItsFirstOrLastModel) {
  AddModels("Body", 4, CategoryBodies);
  AddModels("Tower", 3, CategoryStructures);
  ListModelsOfCategory(viewerState.nameList, CategoryStructures);
  SelectListEntry(2);
  SelectCategory(CategoryBodies);  // nothing shown, the old position left behind
  ASSERT_EQ(viewerState.displayedModel, -1);
  Send(WM_KEYDOWN, VK_NEXT);
  EXPECT_EQ(ModelCatalogue[viewerState.displayedModel].name, "Body0");

  SelectCategory(CategoryBodies);
  Send(WM_KEYDOWN, VK_PRIOR);
  EXPECT_EQ(ModelCatalogue[viewerState.displayedModel].name, "Body3");

  // An empty category has nothing to step to.
  SelectCategory(CategoryWeapons);
  Send(WM_KEYDOWN, VK_NEXT);
  Send(WM_KEYDOWN, VK_PRIOR);
  EXPECT_EQ(viewerState.displayedModel, -1);
}

TEST_F(InputTest, PageKeysScrollAShownModelPanelToKeepTheSelectedRowInIt) {
  AddModels("Pylon", 30, CategoryStructures);
  ListModelsOfCategory(viewerState.nameList, CategoryStructures);
  viewerState.showModelPanel = true;
  SelectListEntry(18);
  Send(WM_KEYDOWN, VK_NEXT);  // row 19: the panel's last
  EXPECT_EQ(viewerState.firstRow, 0);
  Send(WM_KEYDOWN, VK_NEXT);  // row 20 comes in at the bottom
  EXPECT_EQ(viewerState.selectedIndex, 20);
  EXPECT_EQ(viewerState.firstRow, 1);

  for (int i = 0; i < 9; ++i) Send(WM_KEYDOWN, VK_NEXT);
  EXPECT_EQ(viewerState.selectedIndex, 29);
  EXPECT_EQ(viewerState.firstRow, 10);
  Send(WM_KEYDOWN, VK_NEXT);  // round to the first: the panel goes back to the top
  EXPECT_EQ(viewerState.selectedIndex, 0);
  EXPECT_EQ(viewerState.firstRow, 0);
  Send(WM_KEYDOWN, VK_PRIOR);  // and back to the last: to the bottom
  EXPECT_EQ(viewerState.selectedIndex, 29);
  EXPECT_EQ(viewerState.firstRow, 10);

  // The selected row is drawn highlighted where the panel now shows it.
  const kvrtest::Image frame = Frame();
  const kvrtest::Image expected = Reference([] {
    for (int i = 0; i < kModelPanelRows; ++i)
      DrawPanelRow(NameAt(10 + i), kPanelHitRight, kPanelRowHeight * i, i == 19);
  });
  EXPECT_EQ(Differences(frame, expected, 0, 0, 200, 400), 0);

  // A hidden panel is left where it was.
  viewerState.showModelPanel = false;
  Send(WM_KEYDOWN, VK_NEXT);
  EXPECT_EQ(viewerState.selectedIndex, 0);
  EXPECT_EQ(viewerState.firstRow, 10);
}
