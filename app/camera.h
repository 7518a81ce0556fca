// The camera: the eye that looks at the origin, its reset, its keys and its per-tick step.
#pragma once

// The eye always looks at the world origin with +Y up.
struct Camera {
  float eyeX, eyeY, eyeZ;
  float targetHeight;  // eye y eases towards this height
  // Two stored angles in radians, turned by the Left arrow and by Insert and Delete. Nothing draws
  // with them, but the record and the key chain keep them as they always were.
  float angle1;
  float angle2;
  bool viewChanged;    // the camera key chain took a key in this tick
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
