// The category panel: its rows and what a click on one of them selects.
#include "app/category_panel.h"

#include "app/panel_row.h"
#include "app/viewer_state.h"
#include "model/model_catalogue.h"

namespace {

// Category panel rows; the row number is the ModelCategory it selects.
const char* const kCategoryRows[kCategoryPanelRows] = {
    "BODIES", "FEATURES", "MISCELANEOUS", "RESEARCHIMD", "EFFECTS", "PROPULSIONS", "STRUCTURES", "WEAPONS"};

}  // namespace

void DrawCategoryPanel() {
  for (int32_t i = 0; i < kCategoryPanelRows; ++i) {
    const int32_t row = DrawPanelRow(kCategoryRows[i], kPanelHitRight, kPanelRowHeight * i,
                                     viewerState.currentCategory == i);
    if (row != -1) SelectCategory(row);
  }
}

void SelectCategory(int32_t category) {
  ViewerState& s = viewerState;
  s.currentCategory = category;
  ListModelsOfCategory(s.nameList, category);
  s.showCategoryPanel = false;
  s.displayedModel = -1;
  s.showModelPanel = true;
}
