// Research props (on the research page) and effects (on the effects page).
#include <cmath>

#include "sample_kit.h"

namespace kit {

namespace {

constexpr double kPi = 3.14159265358979323846;

using namespace tech;

// ---------------------------------------------------------------- research props

Model Atom() {
  // A nucleus and three electron rings, each ring spinning in its own tilted plane.
  Model m = StartModel("atom", "dftech.pcx", 0);
  m.levels.resize(4);
  const V3 c{0, 260, 0};
  Level& N = m.levels[0];
  for (int i = 0; i < 7; ++i) {
    double a = i * 2 * kPi / 7, b = i * 1.3;
    V3 p{34 * std::cos(a) * std::sin(b + 1), 34 * std::cos(b + 1), 34 * std::sin(a) * std::sin(b + 1)};
    Sphere(N, Move(c.x + p.x, c.y + p.y, c.z + p.z), 30, 8, 5, i % 2 ? liquid : glow);
  }
  Frustum(N, Xf(), 90, 70, 30, 12, floor, &floor, &chrome);
  Frustum(N, Move(0, 30, 0), 12, 12, 130, 8, chrome, nullptr, nullptr);
  for (int r = 1; r <= 3; ++r) {
    Level& R = m.levels[r];
    R.pivot = c;
    Torus(R, Move(c.x, c.y, c.z) * TurnZ(90), 200, 5, 20, 3, glow);
    Sphere(R, Move(c.x, c.y + 200, c.z), 20, 8, 5, glow);
  }
  m.anim = Turning("atom.ani", "atom", 24, 10, [](int level, int f) {
    Key k;
    const double spin[4] = {0, 15, -15, 30}, tilt[4] = {0, 0, 60, -60};
    k.rot.x = spin[level] * f;
    k.rot.z = tilt[level];
    return k;
  });
  return m;
}

Model Globe() {
  Model m = StartModel("globe", "dftech.pcx", 0);
  m.levels.resize(2);
  Level& S = m.levels[0];
  Frustum(S, Xf(), 110, 90, 24, 12, chrome, &chrome, &plastic);
  Frustum(S, Move(0, 24, 0), 20, 14, 60, 8, copper, nullptr, nullptr);
  // A half meridian ring holding the globe at its poles.
  const V3 c{0, 250, 0};
  const double R = 190;
  for (int i = 0; i < 12; ++i) {
    double a0 = -kPi / 2 + i * kPi / 12 + 0.4, a1 = a0 + kPi / 12;
    Xf tilt = Move(c.x, c.y, c.z) * TurnZ(23);
    V3 p0 = tilt(V3{R * std::cos(a0) * 0 - R * std::cos(a0), R * std::sin(a0), 0});
    V3 p1 = tilt(V3{-R * std::cos(a1), R * std::sin(a1), 0});
    Beam(S, Xf(), p0, p1, 12, copper);
  }
  Beam(S, Xf(), {0, 84, 0}, Move(c.x, c.y, c.z)(TurnZ(23)(V3{-R * std::cos(-kPi / 2 + 0.4), R * std::sin(-kPi / 2 + 0.4), 0})), 12, copper);
  Level& G = m.levels[1];
  G.pivot = c;
  Sphere(G, Move(c.x, c.y, c.z) * TurnZ(-90), 170, 20, 12, tech::globe);
  m.anim = Turning("globe.ani", "globe", 36, 10, [](int level, int f) {
    Key k;
    if (level == 1) {
      k.rot.x = f * 10.0;  // about its own axis, laid along x
      k.rot.z = 67;        // then stood up, 23 degrees off the vertical
    }
    return k;
  });
  return m;
}

Model Monitor() {
  // A console whose screen scrolls through four frames.
  Model m = StartModel("monitor", "dftech.pcx", -25);
  Level& L = m.levels[0];
  Box(L, Xf(), {-200, 0, -90}, {200, 130, 90}, plastic);
  Hull(L, Move(0, 130, 0), {{-90, 0, 200}, {-60, 30, 200}, {90, 30, 200}, {90, 0, 200}}, plastic, plastic);
  Face(L, Move(0, 130, 0), {{-180, 8, -80}, {-180, 26, -56}, {0, 26, -56}, {0, 8, -80}}, keys, {0, 0, 0});
  Face(L, Move(0, 130, 0), {{40, 8, -80}, {40, 26, -56}, {180, 26, -56}, {180, 8, -80}}, gauges, {0, 0, 0});
  // The screen housing, tilted back, with the animated screen on its face.
  Xf head = Move(0, 160, 40) * TurnX(-12);
  Box(L, head, {-150, 0, -20}, {150, 200, 60}, plastic);
  Face(L, head, {{-130, 20, -21}, {-130, 180, -21}, {130, 180, -21}, {130, 20, -21}}, screen, {0, 100, 20});
  for (int i = 0; i < 4; ++i) Box(L, head * Move(-120 + i * 20, 200, 20), {-6, 0, -6}, {6, 16, 6}, hazard);
  Tube(L, Move(160, 160, 80), 10, 90, 6, copper, chrome);
  Cylinder(L, Move(0, 0, -200), 50, 90, 10, chrome, floor);  // a stool
  return m;
}

Model Flask() {
  Model m = StartModel("flask", "dftech.pcx", -20);
  Level& L = m.levels[0];
  Box(L, Xf(), {-230, 150, -110}, {230, 170, 110}, floor);
  for (int sx : {-1, 1})
    for (int sz : {-1, 1}) Box(L, Xf(), {sx * 210.0 - 10, 0, sz * 90.0 - 10}, {sx * 210.0 + 10, 150, sz * 90.0 + 10}, chrome);
  // A round-bottomed flask of coloured liquid with a glass neck.
  Sphere(L, Move(-110, 250, 0), 80, 12, 8, liquid);
  Cylinder(L, Move(-110, 320, 0), 20, 90, 8, glass, glass);
  // A conical flask.
  Frustum(L, Move(40, 170, -10), 70, 24, 120, 12, liquid, &glass, nullptr);
  Cylinder(L, Move(40, 290, -10), 22, 40, 8, glass, glass);
  // A rack of test tubes.
  Box(L, Xf(), {120, 170, 20}, {220, 190, 80}, chrome);
  for (int i = 0; i < 4; ++i) Cylinder(L, Move(135 + i * 25, 180, 50), 9, 90, 6, i % 2 ? liquid : glass, glass);
  Cylinder(L, Move(-110, 170, 0), 24, 20, 8, chrome, copper);  // burner
  return m;
}

Model Gears() {
  // Two cogwheels that mesh: twelve teeth turning 7.5 degrees a frame, eight turning 11.25 back.
  Model m = StartModel("gears", "dftech.pcx", -20);
  m.levels.resize(3);
  Level& S = m.levels[0];
  Box(S, Xf(), {-260, 0, -60}, {260, 30, 60}, floor);
  Beam(S, Xf(), {-80, 30, 30}, {-80, 260, 30}, 30, chrome);
  Beam(S, Xf(), {130, 30, 30}, {130, 260, 30}, 30, chrome);
  Box(S, Xf(), {-260, 30, -60}, {-200, 60, 60}, hazard);
  const V3 ca{-80, 260, 0}, cb{130, 260, 0};
  auto gear = [&](Level& G, V3 c, double r, int teeth, double phase, const Mat& body) {
    G.pivot = c;
    Xf at = Move(c.x, c.y, c.z) * TurnX(90) * Move(0, -15, 0);
    Cylinder(G, at, r, 30, teeth * 2, body, body);
    Cylinder(G, at * Move(0, -10, 0), r * 0.3, 50, 8, chrome, chrome);
    for (int t = 0; t < teeth; ++t) {
      double a = phase + t * 360.0 / teeth;
      Box(G, Move(c.x, c.y, c.z) * TurnZ(a), {-12, r - 6, -15}, {12, r + 24, 15}, body);
    }
  };
  gear(m.levels[1], ca, 112, 12, 0, copper);
  gear(m.levels[2], cb, 70, 8, 22.5, chrome);
  m.anim = Turning("gears.ani", "gears", 48, 10, [](int level, int f) {
    Key k;
    if (level == 1) k.rot.z = f * 7.5;
    if (level == 2) k.rot.z = -f * 11.25;
    return k;
  });
  return m;
}

Model Chip() {
  Model m = StartModel("chip", "dftech.pcx", -25);
  Level& L = m.levels[0];
  Box(L, Xf(), {-260, 0, -200}, {260, 20, 200}, circuit);
  BoxSides(L, Xf(), {-120, 20, -120}, {120, 60, 120}, tech::floor, chip, tech::floor);
  for (int side = 0; side < 4; ++side)
    for (int i = 0; i < 7; ++i) {
      Xf at = TurnY(side * 90.0) * Move(-90 + i * 30, 20, -120);
      Box(L, at, {-6, 0, -30}, {6, 30, 0}, copper);
    }
  for (int i = 0; i < 4; ++i) Cylinder(L, Move(-210 + i * 40, 20, 160), 14, 50, 8, i % 2 ? copper : plastic, chrome);
  Box(L, Xf(), {170, 20, -170}, {240, 50, -100}, plastic);
  return m;
}

Model Rocketry() {
  // A research rocket on its pad; listed team-coloured, so its fins show one team frame.
  Model m = StartModel("rocket", "dftech.pcx", -20);
  Level& L = m.levels[0];
  Frustum(L, Xf(), 170, 160, 30, 8, floor, &floor, &hazard, 22.5);
  Cylinder(L, Move(0, 30, 0), 50, 360, 12, tech::rocket, chrome);
  Frustum(L, Move(0, 390, 0), 50, 0, 130, 12, tech::rocket, nullptr, nullptr);
  Frustum(L, Move(0, 30, 0), 36, 50, 40, 12, chrome, nullptr, nullptr);
  for (int i = 0; i < 4; ++i) {
    Xf fin = TurnY(i * 90.0 + 45);
    Face(L, fin, {{48, 40, -4}, {48, 160, -4}, {130, 60, -4}, {130, 30, -4}}, team, {0, 100, 0});
    Face(L, fin, {{48, 40, 4}, {48, 160, 4}, {130, 60, 4}, {130, 30, 4}}, team, {0, 100, 0});
  }
  // The gantry.
  for (int s : {-1, 1}) Beam(L, Xf(), {130, 30, s * 40.0}, {130, 460, s * 40.0}, 14, hazard);
  for (int i = 0; i < 6; ++i) Beam(L, Xf(), {130, 60 + i * 70.0, -40}, {130, 60 + i * 70.0, 40}, 8, chrome);
  Beam(L, Xf(), {130, 300, 0}, {50, 300, 0}, 10, chrome);
  m.team = true;
  return m;
}

// ---------------------------------------------------------------- effects

using namespace fx;

Model Blast() {
  // Eight levels, one per frame: crossed cards of the fireball swell while the strip on them
  // burns out to smoke. The upright cards are one-sided pairs, back to back.
  Model m = StartModel("blast", "dffx.pcx", 0);
  m.levels.resize(8);
  const Mat hot = flame.Sub(6, 28, 20, 34);  // the opaque heart of a flame frame
  for (int f = 0; f < 8; ++f) {
    Level& L = m.levels[f];
    double r = 120 + 200 * std::sqrt(f / 7.0), y = 80 + r;
    for (int i = 0; i < 3; ++i) {
      Xf at = Move(0, y - r, 0) * TurnY(i * 60.0);
      Card(L, at, 2 * r, 2 * r, blast);
      Card(L, at * TurnY(180), 2 * r, 2 * r, blast);
    }
    Card(L, Move(0, y, -r) * TurnX(90), 2 * r, 2 * r, blast.With("6a00"));  // lying flat
    Sphere(L, Move(0, y, 0), r * 0.35, 8, 5, hot.With("16a00"));
    // Debris streaks flung outwards.
    for (int i = 0; i < 6; ++i) {
      double a = i * 60.0 + f * 7;
      Xf at = Move(0, y, 0) * TurnY(a) * TurnZ(30 + 20 * (i % 3)) * Move(0, r * 0.8, 0);
      Card(L, at, 24, 60 + f * 30, flame.With("6a00"));
    }
  }
  m.anim.kind = Anim::kFrames;
  m.anim.frames = 8;
  m.anim.rate = 10;
  m.anim.fileName = "blast.ani";
  m.anim.nameToken = "blast";
  return m;
}

Model Fireball() {
  // A ball of fire and a corona of flame tongues standing out from it.
  Model m = StartModel("fireball", "dffx.pcx", 0);
  Level& L = m.levels[0];
  const Mat hot = flame.Sub(6, 28, 20, 34);
  Sphere(L, Move(0, 200, 0), 130, 12, 8, hot.With("16a00"));
  for (int i = 0; i < 12; ++i) {
    double lat = i < 6 ? 25 : -25;
    Xf at = Move(0, 200, 0) * TurnY(i * 60.0 + (i < 6 ? 0 : 30)) * TurnZ(90 - lat) * Move(0, 90, 0);
    Card(L, at, 110, 200, flame.With("6a00"));
    Card(L, at * TurnY(90), 110, 200, flame.With("6a00"));
  }
  for (int k = 0; k < 2; ++k) Card(L, Move(0, 300, 0) * TurnY(k * 90.0), 160, 220, flame.With("6a00"));
  return m;
}

Model Smoke() {
  Model m = StartModel("smoke", "dffx.pcx", 0);
  Level& L = m.levels[0];
  for (int i = 0; i < 6; ++i) {
    double y = i * 90, w = 160 + i * 40;
    for (int k = 0; k < 3; ++k)
      Card(L, Move(20 * std::sin(i * 1.3), y, 20 * std::cos(i * 1.7)) * TurnY(k * 60.0 + i * 25), w, w, smoke);
  }
  return m;
}

Model Fire() {
  Model m = StartModel("fire", "dffx.pcx", 0);
  Level& L = m.levels[0];
  for (int i = 0; i < 7; ++i) {
    double a = i * 2 * kPi / 7;
    double r = i == 0 ? 0 : 90;
    Xf at = Move(r * std::cos(a), 0, r * std::sin(a));
    double h = i == 0 ? 400 : 240 + 40 * (i % 3);
    for (int k = 0; k < 2; ++k) Card(L, at * TurnY(k * 90.0 + i * 20), h * 0.45, h, flame.With("6a00"));
  }
  for (int i = 0; i < 3; ++i) Card(L, Move(0, 340, 0) * TurnY(i * 60.0), 200, 200, smoke);
  Sphere(L, Move(0, 20, 0) * Scale(1, 0.3, 1), 140, 12, 4, blast);  // embers
  return m;
}

Model Muzzle() {
  // Seen head-on: a star of flame petals around the bore, a tongue of flame along -z.
  Model m = StartModel("muzzle", "dffx.pcx", -20);
  Level& L = m.levels[0];
  for (int k = 0; k < 8; ++k) Card(L, Move(0, 200, 0) * TurnZ(k * 45.0 + 22.5), 90, 170 + 50 * (k % 2), flame.With("6a00"));
  for (int k = 0; k < 3; ++k) Card(L, Move(0, 200, 0) * TurnZ(k * 60.0) * TurnX(-90), 110, 360, flame.With("6a00"));
  Sphere(L, Move(0, 200, 0), 60, 10, 6, blast);
  Tube(L, Move(0, 200, 0), 40, 160, 10, smoke.With("6a00"), smoke.With("6a00"));  // the smoke ring behind
  return m;
}

Model Tracer() {
  // A team-coloured burst of tracer rounds: their flame strip stays on the team's frame.
  Model m = StartModel("tracer", "dffx.pcx", -50);
  Level& L = m.levels[0];
  const Mat round = flame.Sub(6, 28, 20, 34).With("16a00");  // the opaque heart of the flame
  for (int i = 0; i < 5; ++i) {
    Xf at = Move(-120 + i * 60, 100 + 50 * std::sin(i * 2.1), i * 40) * TurnY(-8 + i * 4) * TurnX(-6 + 3 * i);
    Tube(L, at * TurnY(180), 16, 260, 8, round, round);
    Frustum(L, at * Move(0, 0, -260) * TurnX(-90), 16, 0, 50, 8, round, nullptr, nullptr);
    for (int k = 0; k < 2; ++k) Card(L, at * TurnZ(k * 90.0) * TurnX(90), 60, 260, flame.With("6a00"));
  }
  m.team = true;
  return m;
}

}  // namespace

std::vector<Model> Research() {
  return {Atom(), Globe(), Monitor(), Rocketry(), Flask(), Gears(), Chip()};
}

std::vector<Model> Effects() {
  return {Blast(), Fireball(), Smoke(), Fire(), Tracer(), Muzzle()};
}

}  // namespace kit
