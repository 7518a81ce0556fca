// The contact sheet's layout and its labels.
#include "app/sheet_layout.h"

#include <cmath>

SheetLayout PlanSheet(int64_t models, int32_t cell, int32_t columns, int32_t maxSide) {
  SheetLayout layout;
  const int64_t pitch = static_cast<int64_t>(cell) + kSheetLabelHeight;
  if (models <= 0 || cell <= 0 || maxSide < pitch) return layout;
  const int64_t mostColumns = maxSide / cell;
  const int64_t mostRows = maxSide / pitch;
  const auto rowsFor = [&](int64_t c) { return (models + c - 1) / c; };

  int64_t chosen = columns;
  if (chosen <= 0) {
    // Fewest columns first, so a tie keeps the taller sheet; the rows a sheet can hold bound it
    // from the other side.
    chosen = 1;
    double best = -1.0;
    for (int64_t c = 1; c <= models && c <= mostColumns; ++c) {
      const int64_t rows = rowsFor(c) < mostRows ? rowsFor(c) : mostRows;
      const double aspect = static_cast<double>(c * cell) / static_cast<double>(rows * pitch);
      const double miss = std::fabs(std::log(aspect / (16.0 / 9.0)));
      if (best < 0.0 || miss < best - 1e-9) {
        best = miss;
        chosen = c;
      }
    }
  }
  if (chosen > models) chosen = models;
  if (chosen > mostColumns) chosen = mostColumns;

  const int64_t rows = rowsFor(chosen) < mostRows ? rowsFor(chosen) : mostRows;
  layout.columns = static_cast<int32_t>(chosen);
  layout.rows = static_cast<int32_t>(rows);
  layout.shown = chosen * rows < models ? chosen * rows : models;
  layout.width = static_cast<int32_t>(chosen * cell);
  layout.height = static_cast<int32_t>(rows * pitch);
  return layout;
}

std::string FitLabel(const std::string& name, int32_t width, int32_t (*measure)(const char* text)) {
  std::string shown = name;
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) c = '?';
  if (measure(shown.c_str()) <= width) return shown;
  // Widths only grow with the text: the longest start that fits is found by halving.
  size_t low = 0, high = shown.size();
  while (low < high) {
    const size_t mid = (low + high + 1) / 2;
    if (measure((shown.substr(0, mid) + "..").c_str()) <= width) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  if (low == 0 && measure("..") > width) return std::string();
  return shown.substr(0, low) + "..";
}
