// The model panel: up to twenty names of the current category, scrolled and clicked.
#pragma once
#include <cstdint>

constexpr int32_t kModelPanelRows = 20;

void DrawModelPanel();
// Selects the name at this position of the name list and shows its model.
void SelectListEntry(int32_t position);
// Largest firstRow that still fills the model panel: count - 20, or 0 for shorter lists.
int32_t LastFirstRow();
// The name at this position of the name list, null outside it.
const char* NameAt(int32_t position);
