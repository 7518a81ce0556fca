// The contact sheet's layout: how many cells a row, how many rows, and the labels under the cells.
#pragma once
#include <cstdint>
#include <string>

// The band under each cell that holds the model's name, in pixels.
constexpr int32_t kSheetLabelHeight = 22;
// Room left and right of a name in its band.
constexpr int32_t kSheetLabelMargin = 3;

struct SheetLayout {
  int32_t columns = 0, rows = 0;
  int64_t shown = 0;            // the first `shown` models get a cell; the rest do not fit
  int32_t width = 0, height = 0;  // in pixels: columns x cell by rows x (cell + label band)
};

// Lays out `models` cells of cell x cell pixels, each with its label band, on a sheet no side of
// which passes maxSide. columns 0 picks the count that makes the sheet nearest 16:9; a count given
// is held to the models and to what fits. Models past the largest sheet are left out (shown says
// how many fit). No models, or a cell that does not fit at all, gives an empty layout.
SheetLayout PlanSheet(int64_t models, int32_t cell, int32_t columns, int32_t maxSide);

// The name as it fits in `width` pixels by measure (the screen font's width of a text): bytes the
// font has no glyph for become '?', and a name too wide is cut, with ".." at the end, to the
// longest start that fits. Empty when not even ".." fits.
std::string FitLabel(const std::string& name, int32_t width, int32_t (*measure)(const char* text));
