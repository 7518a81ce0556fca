// One clickable row of a list panel, shared by the category and the model panels.
#pragma once
#include <cstdint>

// Panel geometry: row i at y 20 * i, text at x 10, clickable left of x 150.
constexpr int32_t kPanelRowHeight = 20;
constexpr int32_t kPanelHitRight = 150;

// Draws one panel row at (10, y); returns the screen row taken by a pending click, or -1.
int32_t DrawPanelRow(const char* text, int32_t hitRight, int32_t y, bool highlighted);
