// The category panel: eight clickable rows, one per model category.
#pragma once
#include <cstdint>

void DrawCategoryPanel();
// Makes the category current, lists its models and shows the model panel with nothing selected.
void SelectCategory(int32_t category);
