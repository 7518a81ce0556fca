// The camera of the headless pictures.
#include "app/picture_framing.h"

#include <algorithm>
#include <cmath>

#include "app/scene.h"
#include "model/model_bounds.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Degrees to radians, after taking whole turns off so that large angles keep their precision.
float Radians(float degrees) {
  if (!std::isfinite(degrees)) return 0.0f;
  return static_cast<float>(std::fmod(static_cast<double>(degrees), 360.0) * kPi / 180.0);
}

}  // namespace

PictureView FramePoints(const std::vector<float>& xyz, float yawDegrees, float pitchDegrees, float aspect) {
  const BoundingSphere sphere = SphereAround(xyz);
  double centre[3] = {0.0, 0.0, 0.0};
  double radius = 1.0;
  if (!sphere.empty) {
    for (int i = 0; i < 3; ++i) centre[i] = sphere.centre[i];
    // A single point still gets a picture about its place.
    if (sphere.radius > 0.0f) radius = sphere.radius;
  }
  if (!(aspect > 0.0f) || !std::isfinite(aspect)) aspect = 1.0f;

  // Row vectors: the centre moved to the origin, turned by the yaw so that the eye's side faces
  // -z, tipped by the pitch so that the eye lies on -z, then pushed away from the eye.
  D3DXMATRIX turn, tip, turnAndTip;
  D3DXMatrixRotationY(&turn, Radians(yawDegrees));
  D3DXMatrixRotationX(&tip, -Radians(pitchDegrees));
  D3DXMatrixMultiply(&turnAndTip, &turn, &tip);
  const D3DXMATRIX& r = turnAndTip;

  // The points as the eye sees them, from the centre: across, up, and depth away from the eye.
  std::vector<double> seen;
  seen.reserve(xyz.size());
  double low[2] = {0.0, 0.0}, high[2] = {0.0, 0.0};
  for (size_t i = 0; i + 2 < xyz.size(); i += 3) {
    if (!std::isfinite(xyz[i]) || !std::isfinite(xyz[i + 1]) || !std::isfinite(xyz[i + 2])) continue;
    const double x = xyz[i] - centre[0], y = xyz[i + 1] - centre[1], z = xyz[i + 2] - centre[2];
    const double across = x * r._11 + y * r._21 + z * r._31;
    const double up = x * r._12 + y * r._22 + z * r._32;
    seen.insert(seen.end(), {across, up, x * r._13 + y * r._23 + z * r._33});
    low[0] = std::min(low[0], across), high[0] = std::max(high[0], across);
    low[1] = std::min(low[1], up), high[1] = std::max(high[1], up);
  }
  // The eye moves sideways and up to the middle of what it sees, so a model that reaches further
  // one way than the other is not pushed off the middle; it keeps looking the same way.
  const double shift[2] = {(low[0] + high[0]) / 2.0, (low[1] + high[1]) / 2.0};
  // A point at (across, up) lands at across / (distance + depth) of the way to the edge at tan of
  // the half-angle: the distance is the least that keeps every point within the fill's share.
  const double tanHeight = std::tan(kFieldOfView / 2.0);
  const double tanWidth = tanHeight * aspect;
  const double fillWidth = kPictureFill * tanWidth, fillHeight = kPictureFill * tanHeight;
  double distance = 0.0;
  for (size_t i = 0; i + 2 < seen.size(); i += 3) {
    distance = std::max({distance, std::fabs(seen[i] - shift[0]) / fillWidth - seen[i + 2],
                         std::fabs(seen[i + 1] - shift[1]) / fillHeight - seen[i + 2]});
  }
  // Without points to go by, the sphere fills the fill's share of the narrower way across.
  if (sphere.empty || sphere.radius <= 0.0f) distance = radius / std::min(fillWidth, fillHeight);
  // The eye stays outside the sphere, so the near plane lies in front of every point.
  distance = std::max(distance, radius * 1.05);

  PictureView v;
  v.distance = static_cast<float>(distance);
  v.nearPlane = static_cast<float>((distance - radius) * 0.9);
  v.farPlane = static_cast<float>((distance + radius) * 1.1);
  D3DXMATRIX toCentre, away, centred;
  D3DXMatrixTranslation(&toCentre, static_cast<float>(-centre[0]), static_cast<float>(-centre[1]),
                        static_cast<float>(-centre[2]));
  D3DXMatrixTranslation(&away, static_cast<float>(-shift[0]), static_cast<float>(-shift[1]), v.distance);
  D3DXMatrixMultiply(&centred, &toCentre, &turnAndTip);
  D3DXMatrixMultiply(&v.view, &centred, &away);
  D3DXMatrixPerspectiveFovLH(&v.projection, kFieldOfView, aspect, v.nearPlane, v.farPlane);
  return v;
}
