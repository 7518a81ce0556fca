// Structures, features and miscellaneous props.
#include <cmath>

#include "sample_kit.h"

namespace kit {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A rough, lumpy radius for rocks: a few octaves of noise over the direction.
double Lumpy(V3 d, int seed) {
  float n = Fbm(float(d.x * 1.7 + d.z * 0.5 + 3), float(d.y * 1.7 + d.z * 1.1 + 3), 3, seed);
  return 0.45 * (n - 0.5) - 0.12 * std::fabs(d.y) * (d.y < 0 ? 1.5 : 0.3);
}

// ---------------------------------------------------------------- structures (dfbuild)

using namespace build;

void Crenellations(Level& L, double x0, double x1, double z0, double z1, double y, const Mat& m) {
  double step = 40;
  for (double x = x0; x + 20 <= x1 + 1; x += step) {
    Box(L, Xf(), {x, y, z0}, {x + 20, y + 20, z0 + 14}, m);
    Box(L, Xf(), {x, y, z1 - 14}, {x + 20, y + 20, z1}, m);
  }
}

Model Headquarters() {
  // A command post whose radar dish turns: level 1 is the building, level 2 the dish.
  Model m = StartModel("hq", "dfbuild.pcx", -25);
  m.levels.resize(2);
  Level& B = m.levels[0];
  BoxSides(B, Xf(), {-200, 0, -150}, {200, 40, 150}, asphalt, asphalt, asphalt);
  Hull(B, Move(0, 40, 0),
       {{-130, 0, 180}, {-120, 110, 170}, {120, 110, 170}, {130, 0, 180}}, windows, concrete);
  BoxSides(B, Move(0, 150, 0), {-170, 0, -120}, {170, 12, 120}, concrete, steel, concrete);
  BoxSides(B, Move(-40, 162, 20), {-90, 0, -70}, {90, 80, 70}, windows, corrugated, concrete);
  Face(B, Xf(), {{-130, 162, -51}, {-130, 222, -51}, {-50, 222, -51}, {-50, 162, -51}}, team,
       {-90, 200, 20});
  Box(B, Move(-150, 40, -140), {0, 0, 0}, {40, 100, 40}, hazard);
  Box(B, Move(110, 40, -140), {0, 0, 0}, {40, 100, 40}, hazard);
  Face(B, Xf(), {{-40, 40, -131}, {-40, 120, -131}, {40, 120, -131}, {40, 40, -131}}, door, {0, 80, 0});
  Cylinder(B, Move(110, 162, 40), 30, 60, 10, steel, vent);   // radar pedestal
  Beam(B, Xf(), {-100, 242, 60}, {-100, 380, 60}, 6, steel);  // aerial
  Beam(B, Xf(), {-130, 242, 90}, {-130, 320, 90}, 4, steel);
  Crenellations(B, -170, 150, -120, 120, 162, concrete);
  B.connectors = {{110, 222, 40}, {-100, 380, 60}};
  B.bsp = true;
  Level& D = m.levels[1];
  D.pivot = {110, 222, 40};
  Cylinder(D, Move(110, 222, 40), 12, 40, 8, steel, steel);
  Xf dish = Move(110, 262, 40) * TurnX(-70);
  Frustum(D, dish, 20, 90, 34, 16, build::dish.With("2a00"), &steel, nullptr);  // seen from both sides
  Beam(D, Xf(), {110, 262, 40}, {110, 300, 0}, 6, steel);
  Sphere(D, Move(110, 300, 0), 9, 8, 4, hazard);
  m.anim = Turning("hq.ani", "hq", 36, 10, [](int level, int f) {
    Key k;
    if (level == 1) k.rot.y = f * 10.0;
    return k;
  });
  return m;
}

Model Factory() {
  Model m = StartModel("factory", "dfbuild.pcx");
  Level& L = m.levels[0];
  BoxSides(L, Xf(), {-220, 0, -160}, {220, 120, 160}, brick, concrete, concrete);
  Face(L, Xf(), {{-180, 0, -161}, {-180, 60, -161}, {180, 60, -161}, {180, 0, -161}}, windows, {0, 60, 0});
  Face(L, Xf(), {{-80, 0, -162}, {-80, 100, -162}, {80, 100, -162}, {80, 0, -162}}, door, {0, 60, 0});
  // Saw-tooth roof: four north lights.
  for (int i = 0; i < 4; ++i) {
    double z0 = -160 + i * 80;
    Hull(L, Move(0, 120, 0), {{z0, 0, 220}, {z0, 60, 220}, {z0 + 80, 0, 220}}, corrugated, brick);
  }
  for (int i = 0; i < 2; ++i) {
    Xf at = Move(140 - i * 80, 120, 100);
    Frustum(L, at, 28, 22, 200, 10, chimney, nullptr, &steel);
  }
  Box(L, Xf(), {-260, 0, -60}, {-220, 90, 60}, steel);
  Tube(L, Move(-240, 100, -140), 12, 280, 8, pipe, steel);
  Box(L, Xf(), {-200, 120, -150}, {-150, 150, -100}, vent);
  Face(L, Xf(), {{221, 60, -100}, {221, 100, -100}, {221, 100, -20}, {221, 60, -20}}, team, {0, 60, 0});
  L.connectors = {{0, 100, -170}};
  return m;
}

Model Bunker() {
  Model m = StartModel("bunker", "dfbuild.pcx");
  Level& L = m.levels[0];
  Frustum(L, Xf(), 150, 120, 80, 6, concrete, &concrete, nullptr, 30);
  Frustum(L, Move(0, 80, 0), 120, 124, 14, 6, steel, nullptr, nullptr, 30);
  Frustum(L, Move(0, 94, 0), 124, 60, 40, 6, concrete, nullptr, &steel, 30);
  // Sandbags in a ring around it.
  for (int i = 0; i < 10; ++i) {
    if (i == 3) continue;  // the entrance
    double a = i * 36.0;
    Xf at = TurnY(a) * Move(0, 0, 200);
    Box(L, at, {-56, 0, -20}, {56, 30, 20}, sandbag);
    Box(L, at * Move(0, 30, 0) * TurnY(10), {-50, 0, -18}, {50, 24, 18}, sandbag);
  }
  Box(L, Xf(), {-60, 60, -140}, {60, 70, -100}, build::hazard);
  Face(L, Xf(), {{40, 112, 60}, {40, 134, 60}, {90, 134, 20}, {90, 112, 20}}, team, {0, 100, 0});
  L.connectors = {{0, 66, -140}};
  return m;
}

Model Tower() {
  Model m = StartModel("tower", "dfbuild.pcx");
  Level& L = m.levels[0];
  for (int sx : {-1, 1})
    for (int sz : {-1, 1}) {
      Beam(L, Xf(), {sx * 90.0, 0, sz * 90.0}, {sx * 60.0, 300, sz * 60.0}, 14, steel);
      Beam(L, Xf(), {sx * 80.0, 80, sz * 80.0}, {-sx * 70.0, 220, sz * 70.0}, 6, rust);
    }
  Box(L, Xf(), {-90, 300, -90}, {90, 316, 90}, planks);
  BoxSides(L, Xf(), {-80, 316, -80}, {80, 360, 80}, planks, planks, planks);
  for (int sx : {-1, 1})
    for (int sz : {-1, 1}) Beam(L, Xf(), {sx * 76.0, 360, sz * 76.0}, {sx * 76.0, 420, sz * 76.0}, 8, planks);
  Frustum(L, Move(0, 420, 0), 130, 10, 70, 4, tiles, &planks, nullptr, 45);
  Face(L, Xf(), {{-40, 320, -81}, {-40, 352, -81}, {40, 352, -81}, {40, 320, -81}}, team, {0, 340, 0});
  Beam(L, Xf(), {70, 0, -100}, {70, 300, -84}, 6, steel);  // ladder rails
  Beam(L, Xf(), {40, 0, -100}, {40, 300, -84}, 6, steel);
  for (int i = 1; i < 10; ++i) {
    double y = i * 30.0, z = -100 + 16 * y / 300;
    Beam(L, Xf(), {40, y, z}, {70, y, z}, 4, steel);
  }
  Sphere(L, Move(0, 500, 0), 12, 8, 4, build::hazard);
  L.connectors = {{0, 380, 0}};
  return m;
}

Model PowerPlant() {
  Model m = StartModel("powergen", "dfbuild.pcx");
  Level& L = m.levels[0];
  // Two cooling towers with a waist, a turbine hall and a transformer.
  for (int i = 0; i < 2; ++i) {
    Xf at = Move(-110 + i * 220, 0, 60);
    Frustum(L, at, 100, 70, 160, 16, concrete, nullptr, nullptr);
    Frustum(L, at * Move(0, 160, 0), 70, 80, 90, 16, concrete, nullptr, nullptr);
    Frustum(L, at * Move(0, 250, 0), 80, 78, 10, 16, chimney, nullptr, &asphalt);
  }
  BoxSides(L, Xf(), {-160, 0, -170}, {160, 90, -40}, windows, corrugated, concrete);
  for (int i = 0; i < 3; ++i) Cylinder(L, Move(-100 + i * 100, 90, -100), 24, 30, 10, steel, vent);
  Box(L, Xf(), {-30, 0, -230}, {30, 60, -180}, vent);
  Beam(L, Xf(), {-40, 60, -205}, {-40, 110, -205}, 6, pipe);
  Beam(L, Xf(), {40, 60, -205}, {40, 110, -205}, 6, pipe);
  Face(L, Xf(), {{-60, 60, -171}, {-60, 88, -171}, {0, 88, -171}, {0, 60, -171}}, team, {0, 40, 0});
  Tube(L, Move(-110, 40, -40), 14, 100, 8, pipe, steel);
  Tube(L, Move(110, 40, -40), 14, 100, 8, pipe, steel);
  L.connectors = {{0, 90, -100}};
  return m;
}

Model Silos() {
  Model m = StartModel("silos", "dfbuild.pcx");
  Level& L = m.levels[0];
  const double xs[3] = {-120, 20, 150}, rs[3] = {70, 84, 56}, hs[3] = {220, 260, 170};
  for (int i = 0; i < 3; ++i) {
    Xf at = Move(xs[i], 0, i == 1 ? 60 : -30);
    Cylinder(L, at, rs[i], hs[i], 14, rust, concrete);
    Sphere(L, at * Move(0, hs[i], 0) * Scale(1, 0.4, 1), rs[i], 14, 6, steel);
    Frustum(L, at * Move(0, hs[i] * 0.5, 0), rs[i] + 3, rs[i] + 3, 14, 14, build::hazard, nullptr, nullptr);
  }
  Tube(L, Move(-120, 160, -30) * TurnY(90) * Move(0, 0, 0), 10, 140, 8, pipe, steel);
  Tube(L, Move(20, 120, 60) * TurnY(105), 10, 140, 8, pipe, steel);
  Box(L, Xf(), {-200, 0, -120}, {230, 10, 140}, asphalt);
  Face(L, Xf(), {{-40, 60, 60 - 85}, {-40, 100, 60 - 85}, {20, 100, 60 - 86}, {20, 60, 60 - 86}}, team,
       {20, 80, 60});
  L.connectors = {{20, 260, 60}};
  return m;
}

Model FortWall() {
  Model m = StartModel("fortwall", "dfbuild.pcx", -20);
  Level& L = m.levels[0];
  BoxSides(L, Xf(), {-220, 0, -30}, {220, 120, 30}, brick, concrete, concrete);
  Crenellations(L, -200, 200, -30, 30, 120, brick);
  for (int s : {-1, 1}) {
    Xf at = Move(s * 240, 0, 0);
    Frustum(L, at, 70, 60, 190, 8, brick, &concrete, &concrete, 22.5);
    for (int i = 0; i < 8; ++i)
      Box(L, at * TurnY(i * 45.0 + 22.5) * Move(0, 190, 54), {-14, 0, -8}, {14, 24, 8}, brick);
  }
  Face(L, Xf(), {{-60, 0, -31}, {-60, 100, -31}, {60, 100, -31}, {60, 0, -31}}, door, {0, 60, 0});
  Face(L, Xf(), {{-30, 104, -31}, {-30, 118, -31}, {30, 118, -31}, {30, 104, -31}}, team, {0, 60, 0});
  L.connectors = {{-240, 190, 0}, {240, 190, 0}};
  return m;
}

Model Windmill() {
  // On the nature page: stone tower, thatched cap and lattice sails that turn (level 2).
  Model m = StartModel("windmill", "dfnature.pcx", -20);
  m.levels.resize(2);
  Level& T = m.levels[0];
  using namespace nature;
  Frustum(T, Xf(), 110, 80, 300, 12, stone, &stone, nullptr);
  Frustum(T, Move(0, 300, 0), 86, 0, 110, 12, thatch, &thatch, nullptr);
  Face(T, Xf(), {{-24, 0, -106}, {-24, 70, -100}, {24, 70, -100}, {24, 0, -106}}, wood, {0, 60, 0});
  Box(T, Move(-80, 160, -50), {-10, 0, -20}, {10, 40, 20}, wood);  // shutters
  Box(T, Move(70, 200, -40), {-10, 0, -20}, {10, 40, 20}, wood);
  Tube(T, Move(0, 330, -60) * TurnY(180), 14, 60, 8, iron, iron);
  Box(T, Xf(), {-140, 0, -140}, {140, 8, 140}, stone);
  Level& S = m.levels[1];
  S.pivot = {0, 330, -125};
  Sphere(S, Move(0, 330, -125), 20, 8, 4, iron);
  for (int i = 0; i < 4; ++i) {
    Xf arm = Move(0, 330, -125) * TurnZ(i * 90.0);
    Beam(S, arm, {0, 0, 0}, {0, 280, 0}, 10, wood);
    Xf blade = arm * Move(0, 40, 0);
    Card(S, blade * Move(26, 0, -8), 52, 240, sail);
  }
  m.anim = Turning("windmill.ani", "Windmill", 12, 8, [](int level, int f) {
    Key k;
    if (level == 1) k.rot.z = -f * 7.5;  // a quarter turn every twelve frames repeats
    return k;
  });
  return m;
}

// ---------------------------------------------------------------- features (dfnature)

using namespace nature;

Model Pine() {
  // Crossed two-sided cards of a whole fir around a real trunk, and a skirt of low branches.
  Model m = StartModel("pine", "dfnature.pcx", 0);
  Level& L = m.levels[0];
  Frustum(L, Xf(), 26, 8, 300, 8, bark, &bark, nullptr);
  for (int i = 0; i < 4; ++i) Card(L, Move(0, 40, 0) * TurnY(i * 45.0), 330, 560, pine);
  for (int i = 0; i < 3; ++i) {
    double y = 120 + i * 110, r = 150 - i * 40;
    Frustum(L, Move(0, y, 0), r, 0, 110 - i * 20, 8, pine.With("2a00"), nullptr, nullptr, i * 22.5);
  }
  for (int i = 0; i < 5; ++i) Card(L, Move(-160 + i * 80, 0, -120 + (i % 2) * 60) * TurnY(i * 37.0), 60, 34, grass);
  return m;
}

Model Oak() {
  Model m = StartModel("oak", "dfnature.pcx", 0);
  Level& L = m.levels[0];
  Frustum(L, Xf(), 46, 30, 180, 10, bark, &bark, nullptr);
  const V3 limbs[5] = {{-110, 260, -20}, {100, 280, 30}, {10, 300, -100}, {-20, 310, 110}, {30, 340, 0}};
  for (const V3& t : limbs) Beam(L, Xf(), {0, 160, 0}, t, 22, bark);
  // Leafy crowns: two-sided rough balls at the limb ends, then crossed leaf cards.
  const Mat crown = leaves.With("2a00");
  for (int i = 0; i < 5; ++i) Sphere(L, Move(limbs[i].x, limbs[i].y + 20, limbs[i].z), 100, 8, 5, crown);
  for (int i = 0; i < 3; ++i) Card(L, Move(0, 220, 0) * TurnY(i * 60.0), 300, 220, leaves);
  return m;
}

Model Palm() {
  Model m = StartModel("palm", "dfnature.pcx", 0);
  Level& L = m.levels[0];
  // A curved trunk of stacked rings, then drooping fronds.
  V3 at{0, 0, 0};
  for (int i = 0; i < 8; ++i) {
    double lean = i * 4.0;
    Xf seg = Move(at.x, at.y, at.z) * TurnZ(-lean);
    Frustum(L, seg, 26 - i * 1.5, 24 - i * 1.5, 56, 8, bark, nullptr, nullptr);
    at = seg(V3{0, 56, 0});
  }
  const double u0 = frond.u0, u1 = frond.u1, v0 = frond.v0, vm = frond.v0 + 30.0, v1 = frond.v1;
  for (int i = 0; i < 10; ++i) {
    // Each frond rolls a little about its rib so that none is seen edge-on from every side.
    Xf base = Move(at.x, at.y, at.z) * TurnY(i * 36.0 + 10) * TurnZ(i % 2 ? 25 : -25);
    double up = 30 + 25 * (i % 3);
    AddPoly(L, base, {{-40, 0, 0}, {-55, up, 120}, {55, up, 120}, {40, 0, 0}},
            {{u0, v0}, {u0, vm}, {u1, vm}, {u1, v0}}, frond, {0, 100, 0});
    AddPoly(L, base, {{-55, up, 120}, {-40, up - 90, 230}, {40, up - 90, 230}, {55, up, 120}},
            {{u0, vm}, {u0, v1}, {u1, v1}, {u1, vm}}, frond, {0, 100, 0});
  }
  Sphere(L, Move(at.x, at.y - 10, at.z), 26, 6, 4, wood);
  for (int i = 0; i < 3; ++i) Sphere(L, Move(at.x + 20 * std::cos(i * 2.1), at.y - 24, at.z + 20 * std::sin(i * 2.1)), 12, 6, 4, wood);
  return m;
}

Model Boulder() {
  Model m = StartModel("boulder", "dfnature.pcx", 0);
  Level& L = m.levels[0];
  Sphere(L, Move(0, 90, 0) * Scale(1.3, 0.8, 1), 140, 12, 8, stone, Lumpy, 5);
  Sphere(L, Move(120, 40, -80), 60, 8, 6, stone, Lumpy, 6);
  for (int i = 0; i < 4; ++i) Card(L, Move(-140 + i * 50, 0, -120 + i * 20) * TurnY(i * 40.0), 60, 40, grass);
  return m;
}

Model Rocks() {
  Model m = StartModel("rocks", "dfnature.pcx", 0);
  Level& L = m.levels[0];
  const double p[6][4] = {{0, 0, 0, 100},   {150, 0, 40, 70}, {-140, 0, 30, 80},
                          {40, 0, -130, 60}, {-60, 0, 140, 55}, {90, 120, 10, 50}};
  for (int i = 0; i < 6; ++i)
    Sphere(L, Move(p[i][0], p[i][1] + p[i][3] * 0.7, p[i][2]) * Scale(1, 0.85, 1), p[i][3], 9, 6, stone,
           Lumpy, 10 + i);
  for (int i = 0; i < 5; ++i) Card(L, Move(-180 + i * 80, 0, 90 - i * 40) * TurnY(i * 70.0), 60, 36, grass);
  return m;
}

Model Hut() {
  Model m = StartModel("hut", "dfnature.pcx");
  Level& L = m.levels[0];
  Cylinder(L, Xf(), 130, 120, 12, plaster, wood);
  Frustum(L, Move(0, 112, 0), 170, 0, 170, 12, thatch, &thatch, nullptr);
  Face(L, Xf(), {{-30, 0, -131}, {-30, 90, -131}, {30, 90, -131}, {30, 0, -131}}, wood, {0, 60, 0});
  Box(L, Move(-90, 50, -90) * TurnY(45), {-16, 0, -4}, {16, 30, 4}, wood);  // shutter
  Box(L, Xf(), {120, 0, -20}, {200, 40, 60}, wood);  // woodpile
  for (int i = 0; i < 3; ++i) Tube(L, Move(130 + i * 25, 52, -20), 12, 80, 6, bark, wood);
  // A wattle fence around a little yard.
  for (int i = 0; i < 7; ++i) {
    double a = (-100 + i * 20) * 3.14159265358979 / 180;
    V3 p{230 * std::cos(a), 0, 230 * std::sin(a)};
    Beam(L, Xf(), p, {p.x, 70, p.z}, 10, wood);
    if (i > 0) {
      double b = (-100 + (i - 1) * 20) * 3.14159265358979 / 180;
      Beam(L, Xf(), {230 * std::cos(b), 45, 230 * std::sin(b)}, {p.x, 45, p.z}, 6, wood);
    }
  }
  Cylinder(L, Move(-150, 0, 80), 30, 50, 8, stone, stone);  // a well
  for (int i = 0; i < 6; ++i) Card(L, Move(-200 + i * 60, 0, -170) * TurnY(i * 33.0), 60, 34, grass);
  return m;
}

Model Flagpole() {
  // The flag plays its four-frame wave; it is two-sided, so it shows from behind too.
  Model m = StartModel("flagpole", "dfnature.pcx", 0);
  Level& L = m.levels[0];
  Frustum(L, Xf(), 8, 5, 480, 8, iron, nullptr, nullptr);
  Sphere(L, Move(0, 486, 0), 10, 6, 4, iron);
  Frustum(L, Xf(), 90, 70, 30, 10, stone, &stone, &stone);
  Frustum(L, Move(0, 30, 0), 60, 50, 24, 10, stone, nullptr, &stone);
  // The cloth in three panels that ripple in and out.
  const double w = 280, h = 150, y0 = 310;
  for (int i = 0; i < 3; ++i) {
    double x0 = i * w / 3, x1 = (i + 1) * w / 3;
    double z0 = 20 * std::sin(i * 1.6), z1 = 20 * std::sin((i + 1) * 1.6);
    double u0 = flag.u0 + (flag.u1 - flag.u0) * i / 3.0, u1 = flag.u0 + (flag.u1 - flag.u0) * (i + 1) / 3.0;
    double v0 = flag.v0, v1 = flag.v1;
    AddPoly(L, Xf(), {{x0, y0, z0}, {x0, y0 + h, z0}, {x1, y0 + h, z1}, {x1, y0, z1}},
            {{u0, v1}, {u0, v0}, {u1, v0}, {u1, v1}}, flag, {x0, y0, 100});
  }
  return m;
}

Model Wreck() {
  // A burnt-out tank listed among the team-coloured features: its team panel shows one frame.
  Model m = StartModel("wreck", "dfunits.pcx", -40);
  Level& L = m.levels[0];
  using namespace units;
  Xf tilt = TurnZ(8) * TurnX(-4);
  Hull(L, tilt, {{-170, 30, 70}, {-120, 84, 80}, {90, 96, 80}, {160, 86, 76}, {166, 24, 72}, {-120, 4, 66}},
       dark, dark);
  Face(L, tilt, {{-79, 20, -60}, {-79, 70, -60}, {-79, 70, 20}, {-79, 20, 20}}, units::team, {0, 50, 0});
  Xf turret = tilt * Move(20, 96, -10) * TurnY(50) * TurnZ(-14);
  Frustum(L, turret, 70, 50, 50, 8, dark, &dark, &dark, 22.5);
  Tube(L, turret * Move(0, 26, -40) * TurnX(18) * TurnY(180), 10, 120, 8, barrel, dark);
  Tube(L, Move(-100, 8, -120) * TurnY(200) * TurnX(-6), 10, 80, 8, barrel, dark);  // the broken end
  for (int i = 0; i < 5; ++i)
    Box(L, Move(90 + i * 16, 0, -110 + i * 10) * TurnY(i * 23.0), {-12, 0, -4}, {12, 6, 4}, tread);
  for (int i = 0; i < 5; ++i) Sphere(L, Move(-80 + i * 40, 20, 110 - i * 8), 18, 6, 4, dark, Lumpy, 40 + i);
  L.connectors = {{20, 140, -10}};
  m.team = true;
  return m;
}

Model Barrels() {
  Model m = StartModel("barrels", "dfunits.pcx", -20);
  Level& L = m.levels[0];
  using namespace units;
  const double pos[6][2] = {{-70, -40}, {0, -50}, {70, -40}, {-35, 20}, {35, 20}, {100, 60}};
  for (int i = 0; i < 6; ++i) Cylinder(L, Move(pos[i][0], 0, pos[i][1]), 34, 100, 12, i % 3 ? camo : units::hazard, dark);
  Cylinder(L, Move(-35, 100, -20), 34, 100, 12, camo, dark);
  Cylinder(L, Move(35, 100, -20), 34, 100, 12, units::hazard, dark);
  Tube(L, Move(-150, 34, 40) * TurnY(70), 34, 100, 12, camo, dark);  // one lying down
  return m;
}

// ---------------------------------------------------------------- miscellaneous

Model Crate() {
  Model m = StartModel("crate", "dfbuild.pcx");
  Level& L = m.levels[0];
  auto crate = [&](Xf at, double s) {
    BoxSides(L, at, {-s, 0, -s}, {s, 2 * s, s}, planks, planks, planks);
    for (int e = 0; e < 4; ++e) {  // corner battens
      double x = (e & 1) ? s : -s, z = (e & 2) ? s : -s;
      Beam(L, at, {x, 0, z}, {x, 2 * s, z}, 10, build::steel);
    }
    Face(L, at, {{-s * 0.6, s * 0.5, -s - 1}, {-s * 0.6, s * 1.3, -s - 1}, {s * 0.6, s * 1.3, -s - 1},
                 {s * 0.6, s * 0.5, -s - 1}},
         team, {0, s, 0});
  };
  crate(Xf(), 80);
  crate(Move(170, 0, 20) * TurnY(20), 60);
  crate(Move(20, 160, 10) * TurnY(-15), 56);
  m.team = true;
  Box(L, Xf(), {-120, 0, -140}, {120, 10, -100}, build::planks);
  return m;
}

Model Pumpjack() {
  // Three levels: the frame, the walking beam that rocks, and the crank that turns.
  Model m = StartModel("pumpjack", "dfbuild.pcx", -30);
  m.levels.resize(3);
  Level& F = m.levels[0];
  Box(F, Xf(), {-260, 0, -60}, {220, 20, 60}, asphalt);
  for (int s : {-1, 1}) {
    Beam(F, Xf(), {-60, 20, s * 50.0}, {0, 240, s * 10.0}, 14, build::steel);
    Beam(F, Xf(), {60, 20, s * 50.0}, {0, 240, s * 10.0}, 14, build::steel);
  }
  Box(F, Xf(), {120, 20, -40}, {200, 100, 40}, build::steel);  // gearbox
  Cylinder(F, Move(230, 20, 0) * TurnZ(90) * Move(0, -30, 0), 34, 60, 10, build::rust, build::vent);
  Cylinder(F, Move(-230, 20, 0), 16, 50, 8, build::pipe, build::steel);  // well head
  Box(F, Xf(), {-250, 60, -20}, {-210, 80, 20}, build::hazard);
  Level& B = m.levels[1];
  B.pivot = {0, 250, 0};
  Box(B, Xf(), {-200, 236, -16}, {190, 264, 16}, build::hazard);
  Hull(B, Move(-200, 250, 0) * TurnY(90),
       {{-20, 40, 20}, {40, 20, 20}, {40, -100, 20}, {0, -100, 20}, {-20, -20, 20}}, build::steel,
       build::steel);  // the horse head
  Cylinder(B, Move(0, 250, 0) * TurnX(90) * Move(0, -30, 0), 14, 60, 8, build::pipe, build::steel);
  Level& C = m.levels[2];
  C.pivot = {160, 100, 0};
  for (int s : {-1, 1}) {
    Box(C, Move(160, 100, s * 50.0), {-14, -90, -6}, {14, 20, 6}, build::steel);
    Box(C, Move(160, 10, s * 50.0), {-50, -30, -10}, {50, 10, 10}, build::rust);  // counterweight
  }
  Cylinder(C, Move(160, 100, 0) * TurnX(90) * Move(0, -60, 0), 12, 120, 8, build::pipe, build::steel);
  m.anim = Turning("pumpjack.ani", "pumpjack", 24, 10, [](int level, int f) {
    Key k;
    double a = f * 2 * kPi / 24;
    if (level == 1) k.rot.z = 14 * std::sin(a);
    if (level == 2) k.rot.z = -f * 15.0;
    return k;
  });
  return m;
}

Model Derrick() {
  Model m = StartModel("derrick", "dfbuild.pcx", -20);
  Level& L = m.levels[0];
  const double h = 560, b = 130, t = 26;
  for (int sx : {-1, 1})
    for (int sz : {-1, 1}) Beam(L, Xf(), {sx * b, 0, sz * b}, {sx * t, h, sz * t}, 10, build::steel);
  for (int i = 0; i < 6; ++i) {
    double y0 = i * h / 6, y1 = (i + 1) * h / 6;
    double r0 = b - (b - t) * y0 / h, r1 = b - (b - t) * y1 / h;
    for (int side = 0; side < 4; ++side) {
      Xf face = TurnY(side * 90.0);
      Beam(L, face, {-r0, y0, -r0}, {r1, y1, -r1}, 5, build::rust);
      Beam(L, face, {-r1, y1, -r1}, {r1, y1, -r1}, 5, build::steel);
    }
  }
  Box(L, Xf(), {-170, 0, -170}, {170, 24, 170}, build::planks);
  Box(L, Xf(), {-40, h, -40}, {40, h + 20, 40}, build::hazard);
  Cylinder(L, Move(160, 24, 80), 30, 120, 10, build::rust, build::steel);
  Tube(L, Move(0, 30, 0) * TurnY(60), 10, 170, 8, build::pipe, build::steel);
  return m;
}

Model Beacon() {
  // A landing beacon whose lamp head blinks through its four-frame strip.
  Model m = StartModel("beacon", "dftech.pcx", 0);
  Level& L = m.levels[0];
  using namespace tech;
  Frustum(L, Xf(), 110, 90, 30, 8, floor, &floor, &tech::hazard, 22.5);
  Frustum(L, Move(0, 30, 0), 24, 18, 300, 8, chrome, nullptr, nullptr);
  Cylinder(L, Move(0, 330, 0), 50, 20, 12, plastic, plastic);
  Frustum(L, Move(0, 350, 0), 46, 46, 60, 12, beacon, nullptr, nullptr);
  Frustum(L, Move(0, 410, 0), 50, 10, 40, 12, plastic, &plastic, nullptr);
  for (int i = 0; i < 4; ++i)
    Beam(L, Xf(), {0, 40, 0}, {100 * std::cos(i * kPi / 2 + 0.4), 0, 100 * std::sin(i * kPi / 2 + 0.4)}, 8, chrome);
  return m;
}

Model LampPost() {
  // A double street lamp on a planter, with a sign and a bench.
  Model m = StartModel("lamppost", "dfunits.pcx", -20);
  Level& L = m.levels[0];
  using namespace units;
  Frustum(L, Xf(), 70, 60, 50, 8, armour, &armour, &dark, 22.5);
  Frustum(L, Move(0, 50, 0), 14, 10, 430, 8, barrel, nullptr, nullptr);
  for (int s : {-1, 1}) {
    Beam(L, Xf(), {0, 460, 0}, {s * 110.0, 490, 0}, 10, gunmetal);
    Box(L, Move(s * 140.0, 470, 0), {-40, 0, -36}, {40, 24, 36}, gunmetal);
    Face(L, Xf(), {{s * 140.0 - 36, 469, -32}, {s * 140.0 + 36, 469, -32}, {s * 140.0 + 36, 469, 32},
                   {s * 140.0 - 36, 469, 32}},
         lamp, {s * 140.0, 480, 0});
  }
  Sphere(L, Move(0, 490, 0), 16, 8, 4, gunmetal);
  Box(L, Move(0, 260, -14), {-50, 0, -6}, {50, 60, 0}, units::hazard);  // a sign
  Box(L, Xf(), {-150, 40, 80}, {150, 52, 130}, sand);                     // the bench
  for (int s : {-1, 1}) Box(L, Xf(), {s * 130.0 - 8, 0, 90}, {s * 130.0 + 8, 40, 120}, gunmetal);
  Box(L, Xf(), {-150, 52, 126}, {150, 100, 134}, sand);
  return m;
}

Model Artifact() {
  // A floating crystal over a pedestal; three frames of it rising and falling.
  Model m = StartModel("artifact", "dftech.pcx", 0);
  using namespace tech;
  m.levels.resize(3);
  for (int f = 0; f < 3; ++f) {
    Level& L = m.levels[f];
    Frustum(L, Xf(), 110, 80, 60, 6, floor, &floor, &floor, 30);
    Frustum(L, Move(0, 60, 0), 80, 60, 20, 6, circuit, nullptr, &tech::hazard, 30);
    double lift = 200 + 26 * f;
    Xf c = Move(0, lift, 0) * TurnY(f * 20.0);
    Frustum(L, c, 0.01, 80, 110, 6, glow, nullptr, nullptr);
    Frustum(L, c * Move(0, 110, 0), 80, 0, 150, 6, glow, nullptr, nullptr);
    for (int i = 0; i < 3; ++i) {
      double a = i * 2 * kPi / 3 + f * 0.5;
      Sphere(L, Move(130 * std::cos(a), lift + 90 + 30 * std::sin(a + f), 130 * std::sin(a)), 16, 6, 4, glow);
    }
  }
  m.anim.kind = Anim::kFrames;
  m.anim.frames = 3;
  m.anim.rate = 4;
  m.anim.fileName = "artifact.ani";
  m.anim.nameToken = "ARTIFACT";
  return m;
}

}  // namespace

std::vector<Model> Structures() {
  return {Headquarters(), Factory(), Bunker(), Tower(), PowerPlant(), Silos(), FortWall(), Windmill()};
}

std::vector<Model> Features() {
  return {Pine(), Oak(), Palm(), Boulder(), Rocks(), Hut(), Wreck(), Flagpole(), Barrels()};
}

std::vector<Model> Miscelaneous() {
  return {Pumpjack(), Derrick(), Crate(), Beacon(), LampPost(), Artifact()};
}

}  // namespace kit
