// One clickable panel row: its colours under the pointer and the click it takes.
#include "app/panel_row.h"

#include "app/viewer_state.h"
#include "overlay/bitmap_font.h"

int32_t DrawPanelRow(const char* text, int32_t hitRight, int32_t y, bool highlighted) {
  ViewerState& s = viewerState;
  int32_t result = -1;
  uint8_t red = 0, green = 0, blue = highlighted ? 255 : 0;
  const int32_t mx = s.mouseX, my = s.mouseY;
  if (mx < hitRight && my >= y && my < y + kPanelRowHeight) {
    green = 255;
    blue = 0;
    if (s.clickPending) {
      // Row i lies at y 20 * i, so the screen row under the pointer is the panel row.
      result = my / kPanelRowHeight;
      s.clickPending = false;
    }
  } else if (!highlighted) {
    red = 255;
  }
  DrawTextRgb(10, y, text, red, green, blue);
  return result;
}
