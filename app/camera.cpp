// The camera: reset, view transform, the polled key chain and the easing of the eye's height.
#include "app/camera.h"

#include <d3dx9.h>
#include <windows.h>

#include <cmath>
#include <cstdint>

#include "app/viewer_state.h"
#include "base/device.h"

Camera camera = {};

namespace {

// Everything the camera keys change is this step times a factor; movement is per idle tick.
constexpr float kStep = 0.00001f;
constexpr float kZoomStep = kStep * 30000.0f;          // 0.3 world units of eye z
constexpr float kHeightStep = kStep * 1.0f * 5000.0f;  // 0.05 world units of target height
constexpr float kAngle1Step = kStep * 0.25f * 1000.0f; // 0.0025 rad
constexpr float kAngle2Step = kStep * 0.1f * 10000.0f; // 0.01 rad
constexpr float kLowestTarget = 5.0f, kHighestTarget = 1300.0f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kEaseStep = 0.5f;

bool KeyHeld(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

float WrapAngle(float a) {
  if (a > kTwoPi) return a - kTwoPi;
  if (a <= 0.0f) return a + kTwoPi;
  return a;
}

}  // namespace

void ResetCamera() {
  camera.eyeX = 0.0f;
  camera.eyeY = 47.0f;
  camera.eyeZ = -224.0f;
  camera.targetHeight = 47.0f;
  camera.angle2 = 5.69f;
  camera.angle1 = 6.3f;
  camera.wheelRemainder = 0;
  PollCameraKeys();  // also applies the limits and the angle wrapping
  ApplyView();
}

void ApplyView() {
  if (!g_pd3dDevice) return;
  D3DXVECTOR3 eye(camera.eyeX, camera.eyeY, camera.eyeZ);
  D3DXVECTOR3 at(0.0f, 0.0f, 0.0f);
  D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
  D3DXMATRIX view;
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  g_pd3dDevice->SetTransform(D3DTS_VIEW, &view);
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

void WheelZoom(int32_t wheelDelta) {
  Camera& c = camera;
  // Turning the wheel the other way starts afresh rather than first paying back what the other
  // direction had gathered.
  if ((wheelDelta > 0 && c.wheelRemainder < 0) || (wheelDelta < 0 && c.wheelRemainder > 0))
    c.wheelRemainder = 0;
  // A WM_MOUSEWHEEL distance fits 16 bits; anything larger is held to that, so the sum cannot
  // overflow.
  if (wheelDelta > 0x10000) wheelDelta = 0x10000;
  if (wheelDelta < -0x10000) wheelDelta = -0x10000;
  c.wheelRemainder += wheelDelta;
  const int32_t notches = c.wheelRemainder / WHEEL_DELTA;
  c.wheelRemainder -= notches * WHEEL_DELTA;
  if (notches == 0) return;

  // Eye z is negative: multiplying it by the factor brings the eye nearer the origin.
  float z = c.eyeZ;
  if (notches > 0) {
    if (z >= kClosestEyeZ) return;
    for (int32_t i = 0; i < notches && z < kClosestEyeZ; ++i) z *= kWheelNotchFactor;
    if (z > kClosestEyeZ) z = kClosestEyeZ;
  } else {
    // The farthest z that keeps the whole eye distance within the limit at the eye's height.
    const float sideSquared = c.eyeX * c.eyeX + c.eyeY * c.eyeY;
    const float zSquared = kFarthestWheelEye * kFarthestWheelEye - sideSquared;
    float farthestZ = zSquared > 0.0f ? -std::sqrt(zSquared) : kClosestEyeZ;
    if (farthestZ > kClosestEyeZ) farthestZ = kClosestEyeZ;
    // The Down key may have taken the eye past the wheel's limit: the wheel never pulls it back.
    if (z <= farthestZ) return;
    if (z > kClosestEyeZ) z = kClosestEyeZ;  // an eye nearer than the Up key allows
    for (int32_t i = 0; i < -notches && z > farthestZ; ++i) z /= kWheelNotchFactor;
    if (z < farthestZ) z = farthestZ;
  }
  c.eyeZ = z;
  ApplyView();
}
