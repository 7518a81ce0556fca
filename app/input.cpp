// Keyboard and mouse: the window procedure, the pointer poll and the polled camera keys.
#include "app/input.h"

#include <d3d9.h>
#include <windows.h>

#include "app/device.h"
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

// Everything the camera keys change is this step times a factor; movement is per idle tick.
constexpr float kStep = 0.00001f;
constexpr float kZoomStep = kStep * 30000.0f;          // 0.3 world units of eye z
constexpr float kHeightStep = kStep * 1.0f * 5000.0f;  // 0.05 world units of target height
constexpr float kAngle1Step = kStep * 0.25f * 1000.0f; // 0.0025 rad
constexpr float kAngle2Step = kStep * 0.1f * 10000.0f; // 0.01 rad
constexpr float kClosestEyeZ = -50.0f;
constexpr float kLowestTarget = 5.0f, kHighestTarget = 1300.0f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kEaseStep = 0.5f;

bool KeyHeld(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

float WrapAngle(float a) {
  if (a > kTwoPi) return a - kTwoPi;
  if (a <= 0.0f) return a + kTwoPi;
  return a;
}

void ScrollModelPanel(int32_t rows) {
  ViewerState& s = viewerState;
  int64_t next = static_cast<int64_t>(s.firstRow) + rows;
  if (next > LastFirstRow()) next = LastFirstRow();
  if (next < 0) next = 0;
  s.firstRow = static_cast<int32_t>(next);
}

void KeyDown(WPARAM key) {
  ViewerState& s = viewerState;
  // Letters act on the virtual-key code, so Shift makes no difference.
  switch (key) {
    case VK_ESCAPE: PostQuitMessage(0); break;
    case 'A': s.showAxes = !s.showAxes; break;
    case 'M': s.showModelPanel = !s.showModelPanel; break;
    case 'R': s.rotate = !s.rotate; break;
    case 'T': s.showCategoryPanel = !s.showCategoryPanel; break;
    case VK_ADD: ScrollModelPanel(1); break;
    case VK_SUBTRACT: ScrollModelPanel(-1); break;
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

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewerState& s = viewerState;
  // The pointer position comes from the last PollCursor, never from lParam.
  switch (message) {
    case WM_LBUTTONDOWN:
      s.leftHeld = true;
      s.clickPending = true;
      SliderTest();
      break;
    case WM_LBUTTONUP: s.leftHeld = false; break;
    case WM_RBUTTONDOWN: s.rightHeld = true; break;
    case WM_RBUTTONUP: s.rightHeld = false; break;
    case WM_MOUSEMOVE:
      // Dragging keeps setting a slider, also when the press began outside the strip.
      if (s.leftHeld) SliderTest();
      break;
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

void PollCameraKeys() {
  Camera& c = camera;
  const ViewerState& s = viewerState;
  c.viewChanged = true;
  bool taken = true;
  bool wrapAngle1 = false;

  D3DVIEWPORT9 viewport = {};
  if (g_pd3dDevice) g_pd3dDevice->GetViewport(&viewport);
  const int32_t width = static_cast<int32_t>(viewport.Width);
  const int32_t height = static_cast<int32_t>(viewport.Height);
  const int32_t mx = s.mouseX, my = s.mouseY;

  // The first entry that applies takes the tick; the ones below it are not looked at. The Right
  // arrow and the left and right screen edges take it without moving anything.
  if (KeyHeld(VK_LEFT)) {
    c.angle1 += kAngle1Step;
    wrapAngle1 = true;
  } else if (KeyHeld(VK_RIGHT)) {
    // takes the tick, changes nothing
  } else if (KeyHeld(VK_UP) || my == 0) {
    c.eyeZ += kZoomStep;
    if (c.eyeZ > kClosestEyeZ) c.eyeZ = kClosestEyeZ;
  } else if (mx == 0) {
    // left edge: likewise
  } else if (mx == width - 1) {
    // right edge: likewise
  } else if (KeyHeld(VK_DOWN) || my == height - 1) {
    c.eyeZ -= kZoomStep;
  } else if (KeyHeld(VK_END)) {
    c.targetHeight -= kHeightStep;
  } else if (KeyHeld(VK_HOME)) {
    c.targetHeight += kHeightStep;
  } else if (KeyHeld(VK_INSERT)) {
    c.angle2 += kAngle2Step;
    if (c.angle2 > 7.0f) c.angle2 = 7.0f;
  } else if (KeyHeld(VK_DELETE)) {
    c.angle2 -= kAngle2Step;
    if (c.angle2 < 0.0f) c.angle2 = 0.0f;
  } else {
    taken = false;
    c.viewChanged = false;
  }

  if (taken) {
    if (c.targetHeight > kHighestTarget) {
      c.targetHeight = kHighestTarget;
    } else if (c.targetHeight < kLowestTarget) {
      c.targetHeight = kLowestTarget;
    }
  }
  c.angle2 = WrapAngle(c.angle2);
  if (wrapAngle1) c.angle1 = WrapAngle(c.angle1);
  if (c.viewChanged) ApplyView();
}

bool EaseCameraHeight() {
  Camera& c = camera;
  bool moved = false;
  // The eye comes to rest within half a unit of the target. A tick that moves it runs the key
  // chain a second time, so a held key acts twice in that tick.
  if (c.targetHeight < c.eyeY && c.targetHeight - c.eyeY < -kEaseStep) {
    c.eyeY -= kEaseStep;
    PollCameraKeys();
    moved = true;
  } else if (c.targetHeight > c.eyeY && c.targetHeight - c.eyeY > kEaseStep) {
    c.eyeY += kEaseStep;
    PollCameraKeys();
    moved = true;
  }
  ApplyView();
  return moved;
}

void CameraTick() {
  PollCameraKeys();
  EaseCameraHeight();
}
