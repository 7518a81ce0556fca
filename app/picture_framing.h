// The camera of the headless pictures: a model framed to its vertices from a yaw and a pitch.
#pragma once
#include <d3dx9.h>

#include <vector>

// How much of the picture the model takes across, the way it fills more.
constexpr float kPictureFill = 0.8f;

struct PictureView {
  D3DXMATRIX view;
  D3DXMATRIX projection;
  float distance;  // how far in front of the eye the centre of the points' bounding sphere lies
  float nearPlane, farPlane;
};

// The eye looks at the points from the front (-z, where the viewer's eye stands) gone round them
// by yawDegrees towards +x and raised by pitchDegrees, looking down; any angle works, straight down
// included. The field of view is the viewer's vertically; the picture's middle is the middle of
// what the eye sees of the points, and the eye stands just far enough away for every point to lie
// within kPictureFill of the picture's half-width and half-height from it, and outside the points'
// bounding sphere, which the near and far planes hold. No points, or a single one, are framed as a sphere of radius 1 about
// them; points that are not finite are left out. aspect is width / height.
PictureView FramePoints(const std::vector<float>& xyz, float yawDegrees, float pitchDegrees, float aspect);
