// The model panel: the rows of the current category's names and what a click on one selects.
#include "app/model_panel.h"

#include "app/panel_row.h"
#include "app/viewer_state.h"
#include "model/model_catalogue.h"

const char* NameAt(int32_t position) {
  const ModelNameList& names = viewerState.nameList;
  if (position < 0 || static_cast<size_t>(position) >= names.size()) return nullptr;
  return names[static_cast<size_t>(position)].c_str();
}

int32_t LastFirstRow() {
  const int64_t count = static_cast<int64_t>(viewerState.nameList.size());
  return count < kModelPanelRows ? 0 : static_cast<int32_t>(count - kModelPanelRows);
}

void DrawModelPanel() {
  ViewerState& s = viewerState;
  if (s.firstRow > LastFirstRow()) s.firstRow = LastFirstRow();
  if (s.firstRow < 0) s.firstRow = 0;
  const int32_t count = static_cast<int32_t>(s.nameList.size());
  const int32_t rows = count < kModelPanelRows ? count : kModelPanelRows;
  for (int32_t i = 0; i < rows; ++i) {
    const bool highlighted = i == s.selectedIndex - s.firstRow && s.displayedModel != -1;
    const int32_t row =
        DrawPanelRow(NameAt(s.firstRow + i), kPanelHitRight, kPanelRowHeight * i, highlighted);
    if (row != -1) SelectListEntry(row + s.firstRow);
  }
}

void SelectListEntry(int32_t position) {
  ViewerState& s = viewerState;
  s.selectedIndex = position;
  const char* name = NameAt(position);
  s.displayedModel = name ? FindModelByName(name) : -1;
}
