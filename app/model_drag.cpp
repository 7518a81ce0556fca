// Turning the model by a left drag: where a press may start one, and the turn it makes.
#include "app/model_drag.h"

#include <cmath>
#include <cstdint>

#include "app/category_panel.h"
#include "app/model_panel.h"
#include "app/panel_row.h"
#include "app/viewer_state.h"
#include "base/device.h"

namespace {

// The rows the frame draws for the shown panel (the category panel wins when both are on), as
// the hit test of their rows sees them: left of kPanelHitRight, 20 pixels each from y 0.
bool ShownPanelUnderPointer() {
  const ViewerState& s = viewerState;
  int64_t rows = 0;
  if (s.showCategoryPanel) {
    rows = kCategoryPanelRows;
  } else if (s.showModelPanel) {
    rows = static_cast<int64_t>(s.nameList.size());
    if (rows > kModelPanelRows) rows = kModelPanelRows;
  }
  return s.mouseX < kPanelHitRight && s.mouseY >= 0 && s.mouseY < rows * kPanelRowHeight;
}

int32_t ScreenWidth() {
  D3DVIEWPORT9 viewport = {};
  if (g_pd3dDevice && SUCCEEDED(g_pd3dDevice->GetViewport(&viewport)) && viewport.Width > 0)
    return static_cast<int32_t>(viewport.Width);
  return 1024;
}

}  // namespace

void BeginModelDrag(bool onSlider) {
  ViewerState& s = viewerState;
  s.dragTurning = !ShownPanelUnderPointer() && !onSlider;
  s.dragLastX = s.mouseX;
}

void FollowModelDrag(bool onSlider) {
  ViewerState& s = viewerState;
  if (!s.dragTurning) return;
  const int32_t moved = s.mouseX - s.dragLastX;
  s.dragLastX = s.mouseX;
  if (moved == 0 || onSlider) return;
  // A positive phase turns the front towards screen left, so a move to the right takes some off.
  double phase = s.rotationPhase - static_cast<double>(moved) / ScreenWidth();
  phase -= std::floor(phase);
  // A tiny negative phase comes back as 1 - epsilon, which may round to 1 as a float.
  float turned = static_cast<float>(phase);
  if (!(turned >= 0.0f && turned < 1.0f)) turned = 0.0f;
  s.rotationPhase = turned;
}

void EndModelDrag(bool onSlider) {
  FollowModelDrag(onSlider);
  viewerState.dragTurning = false;
}
