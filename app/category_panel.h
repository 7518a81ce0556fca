// The category panel: eight clickable rows, one per model category.
#pragma once
#include <cstdint>

constexpr int32_t kCategoryPanelRows = 8;  // one per ModelCategory

void DrawCategoryPanel();
// Makes the category current, lists its models and shows the model panel with nothing selected.
void SelectCategory(int32_t category);
