// Keyboard and mouse: the window procedure, the pointer poll and the colour sliders.
#include "app/input.h"

#include <windows.h>

#include "app/camera.h"
#include "app/frame.h"
#include "app/model_drag.h"
#include "app/model_panel.h"
#include "app/scene.h"
#include "app/screenshot.h"
#include "app/viewer_state.h"
#include "overlay/overlays.h"

namespace {

// The slider strip lies strictly between these rows.
constexpr int32_t kStripAbove = 752;
constexpr int32_t kStripBelow = 765;

struct SliderZone {
  int32_t left, right;  // inclusive pointer x range
  int32_t zeroX;        // pointer x of value 0
  int32_t ViewerState::*value;
};
const SliderZone kSliders[3] = {
    {10, 276, 15, &ViewerState::sliderRed},
    {290, 556, 295, &ViewerState::sliderGreen},
    {570, 836, 575, &ViewerState::sliderBlue},
};

void ScrollModelPanel(int32_t rows) {
  ViewerState& s = viewerState;
  int64_t next = static_cast<int64_t>(s.firstRow) + rows;
  if (next > LastFirstRow()) next = LastFirstRow();
  if (next < 0) next = 0;
  s.firstRow = static_cast<int32_t>(next);
}

// Selects the next (step 1) or previous (step -1) model of the current category, wrapping round at
// the ends; with no model shown (a category just chosen) it starts at the first or the last. A
// model panel that is switched on scrolls so that the selected row stays in it.
void StepSelection(int32_t step) {
  ViewerState& s = viewerState;
  const int64_t count = static_cast<int64_t>(s.nameList.size());
  if (count == 0) return;
  int64_t next;
  if (s.displayedModel == -1 || s.selectedIndex < 0 || s.selectedIndex >= count) {
    next = step > 0 ? 0 : count - 1;
  } else {
    next = ((s.selectedIndex + step) % count + count) % count;
  }
  SelectListEntry(static_cast<int32_t>(next));
  if (!s.showModelPanel) return;
  int64_t first = s.firstRow;
  if (next < first) first = next;
  if (next >= first + kModelPanelRows) first = next - kModelPanelRows + 1;
  if (first > LastFirstRow()) first = LastFirstRow();
  if (first < 0) first = 0;
  s.firstRow = static_cast<int32_t>(first);
}

void KeyDown(WPARAM key) {
  ViewerState& s = viewerState;
  // Letters act on the virtual-key code, so Shift makes no difference.
  switch (key) {
    case VK_ESCAPE: PostQuitMessage(0); break;
    case 'A': s.showAxes = !s.showAxes; break;
    case 'I': s.showFacts = !s.showFacts; break;
    case 'M': s.showModelPanel = !s.showModelPanel; break;
    case 'R': s.rotate = !s.rotate; break;
    case 'T': s.showCategoryPanel = !s.showCategoryPanel; break;
    case VK_F1: s.showHelp = !s.showHelp; break;
    case VK_F5: ReloadDataSet(); break;
    case VK_F12: RequestScreenshot(); break;
    case VK_ADD: ScrollModelPanel(1); break;
    case VK_SUBTRACT: ScrollModelPanel(-1); break;
    case VK_NEXT: StepSelection(1); break;
    case VK_PRIOR: StepSelection(-1); break;
    default: break;
  }
}

}  // namespace

void SliderTest() {
  ViewerState& s = viewerState;
  const int32_t x = s.mouseX, y = s.mouseY;
  if (y <= kStripAbove || y >= kStripBelow) return;
  for (int32_t channel = 0; channel < 3; ++channel) {
    const SliderZone& zone = kSliders[channel];
    if (x < zone.left || x > zone.right) continue;
    int32_t value = x - zone.zeroX;
    if (value < 0) value = 0;
    if (value > 255) value = 255;
    s.*zone.value = value;
    SetColorBar(value, channel);
    return;
  }
}

bool SliderUnderPointer() {
  const int32_t x = viewerState.mouseX, y = viewerState.mouseY;
  if (y <= kStripAbove || y >= kStripBelow) return false;
  for (const SliderZone& zone : kSliders)
    if (x >= zone.left && x <= zone.right) return true;
  return false;
}

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewerState& s = viewerState;
  // The pointer position comes from the last PollCursor, never from lParam.
  switch (message) {
    case WM_LBUTTONDOWN:
      s.leftHeld = true;
      s.clickPending = true;
      SliderTest();
      BeginModelDrag(SliderUnderPointer());
      break;
    case WM_LBUTTONUP:
      s.leftHeld = false;
      EndModelDrag(SliderUnderPointer());
      break;
    case WM_RBUTTONDOWN: s.rightHeld = true; break;
    case WM_RBUTTONUP: s.rightHeld = false; break;
    case WM_MOUSEMOVE:
      // Dragging keeps setting a slider, also when the press began outside the strip.
      if (s.leftHeld) SliderTest();
      FollowModelDrag(SliderUnderPointer());
      break;
    case WM_MOUSEWHEEL: WheelZoom(GET_WHEEL_DELTA_WPARAM(wParam)); break;
    case WM_KEYDOWN: KeyDown(wParam); break;
    case WM_PAINT:
      RenderFrame();
      ValidateRect(hWnd, nullptr);
      break;
    case WM_DESTROY: PostQuitMessage(0); break;
    default: break;
  }
  return DefWindowProcA(hWnd, message, wParam, lParam);
}

void PollCursor() {
  POINT p = {0, 0};
  GetCursorPos(&p);
  // x is held at 1022, which keeps the right-edge camera rule (x = width - 1) out of reach on
  // screens 1024 or wider. Both are limited before they are narrowed to 16 bits, so a pointer
  // far off a very large desktop cannot wrap round to a negative position.
  if (p.x > 1022) p.x = 1022;
  if (p.x < -32768) p.x = -32768;
  if (p.y > 32767) p.y = 32767;
  if (p.y < -32768) p.y = -32768;
  viewerState.mouseX = static_cast<int16_t>(p.x);
  viewerState.mouseY = static_cast<int16_t>(p.y);
}
