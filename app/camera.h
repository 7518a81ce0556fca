// The camera: the eye that looks at the origin, its reset, its keys and its per-tick step.
#pragma once
#include <cstdint>

// The eye always looks at the world origin with +Y up.
struct Camera {
  float eyeX, eyeY, eyeZ;
  float targetHeight;  // eye y eases towards this height
  // Two stored angles in radians, turned by the Left arrow and by Insert and Delete. Nothing draws
  // with them, but the record and the key chain keep them as they always were.
  float angle1;
  float angle2;
  bool viewChanged;    // the camera key chain took a key in this tick
  int32_t wheelRemainder;  // wheel distance short of a whole notch (WHEEL_DELTA), same direction
};
extern Camera camera;

// The start position, one key poll (which applies the limits), then the view.
void ResetCamera();
// Sets the view transform from the eye.
void ApplyView();
// The polled camera keys and screen edges: the first that applies moves the camera.
void PollCameraKeys();
// Moves eye y half a unit towards targetHeight; true when it moved.
bool EaseCameraHeight();
// One idle tick of the camera: the key chain, then the height easing.
void CameraTick();

// The wheel's limits: eye z never nearer than the Up key's limit, and the eye never further than
// 1900 from the origin, so a model reaching 100 units out from it still lies inside the far plane
// (2000, app/scene.cpp). The Down key has no far limit and keeps none.
constexpr float kClosestEyeZ = -50.0f;
constexpr float kFarthestWheelEye = 1900.0f;
// Each wheel notch moves the eye this fraction of its distance nearer (or away: divides by it).
constexpr float kWheelNotchFactor = 0.9f;
// A WM_MOUSEWHEEL distance (positive: away from the user, towards the model). Fine-stepping
// wheels send less than WHEEL_DELTA at a time: the distance adds up to whole notches.
void WheelZoom(int32_t wheelDelta);
