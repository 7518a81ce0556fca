// Vehicle parts: bodies, propulsions and weapons. Vehicles face -z (towards the viewer's eye).
#include <cmath>

#include "sample_kit.h"

namespace kit {

namespace {

using namespace units;

const char* kPage = "dfunits.pcx";

Model Start(const char* name, double yaw = -35) {
  Model m;
  m.name = name;
  m.page = kPage;
  m.levels.resize(1);
  m.yaw = yaw;
  return m;
}

// A wheel with its axle along x, centred at c.
void WheelX(Level& L, V3 c, double r, double width, int seg, const Mat& tyre) {
  Xf X = Move(c.x - width / 2, c.y, c.z) * TurnZ(-90);
  Frustum(L, X, r, r, width, seg, tyre, &wheel, &wheel);
}

void Lamp(Level& L, V3 c, double r) {
  Xf X = Move(c.x, c.y, c.z) * TurnY(180);
  Tube(L, X, r, r * 0.6, 8, gunmetal, lamp);
}

// A side skirt plate at side x (its outer face there), team colour outside.
void TeamPlate(Level& L, const Mat& tm, double x, double y0, double y1, double z0, double z1) {
  const double t = 6;
  const double inner = x > 0 ? x - t : x + t;
  V3 lo{std::min(x, inner), y0, z0}, hi{std::max(x, inner), y1, z1};
  V3 c = (lo + hi) * 0.5;
  Face(L, Xf(), {{x, y0, z0}, {x, y1, z0}, {x, y1, z1}, {x, y0, z1}}, tm, c);
  Face(L, Xf(), {{lo.x, y1, z0}, {hi.x, y1, z0}, {hi.x, y1, z1}, {lo.x, y1, z1}}, armour, c);
  Face(L, Xf(), {{lo.x, y0, z0}, {hi.x, y0, z0}, {hi.x, y1, z0}, {lo.x, y1, z0}}, armour, c);
  Face(L, Xf(), {{lo.x, y0, z1}, {hi.x, y0, z1}, {hi.x, y1, z1}, {lo.x, y1, z1}}, armour, c);
}

void Exhaust(Level& L, double x, double y, double z) {
  Tube(L, Move(x, y, z), 7, 30, 6, barrel, dark);
}

Model Viper() {
  Model m = Start("viper");
  Level& L = m.levels[0];
  Hull(L, Xf(), {{-150, 22, 52}, {-112, 62, 60}, {40, 76, 62}, {120, 68, 58}, {128, 22, 56}, {-100, 4, 50}},
       camo, armour);
  Hull(L, Xf(), {{-70, 70, 34}, {-40, 104, 28}, {10, 106, 28}, {30, 76, 36}}, glass, gunmetal);
  TeamPlate(L, team, 66, 14, 58, -110, 110);
  TeamPlate(L, team, -66, 14, 58, -110, 110);
  Lamp(L, {-36, 46, -128}, 9);
  Lamp(L, {36, 46, -128}, 9);
  Exhaust(L, 30, 60, 112);
  Exhaust(L, -30, 60, 112);
  Cylinder(L, Move(0, 74, 70), 30, 10, 12, gunmetal, grille);
  Beam(L, Xf(), {40, 76, 96}, {46, 170, 104}, 3, gunmetal);
  L.connectors = {{0, 84, 70}};
  return m;
}

Model Cobra() {
  // A desert body with sloped side armour: the hull narrows towards the deck.
  Model m = Start("cobra");
  Level& L = m.levels[0];
  Hull(L, Xf(), {{-170, 30, 80}, {-124, 84, 56}, {90, 96, 54}, {160, 86, 58}, {166, 24, 80}, {-120, 4, 74}},
       sand, sand);
  // Engine deck with grille and two exhausts.
  Box(L, Move(0, 96, 100), {-46, 0, -40}, {46, 14, 40}, grille);
  TeamPlate(L, team, 88, 8, 52, -130, 150);
  TeamPlate(L, team, -88, 8, 52, -130, 150);
  Box(L, Xf(), {-40, 84, -150}, {40, 92, -124}, hazard);
  Lamp(L, {-52, 60, -150}, 10);
  Lamp(L, {52, 60, -150}, 10);
  Exhaust(L, 40, 76, 160);
  Exhaust(L, -40, 76, 160);
  Cylinder(L, Move(0, 96, -20), 44, 12, 14, gunmetal, grille);
  // A commander's cupola with vision blocks, and stowage bins on the deck edges.
  Frustum(L, Move(30, 108, 40), 22, 18, 20, 8, sand, nullptr, &gunmetal);
  for (int i = 0; i < 4; ++i) Box(L, Move(30, 116, 40) * TurnY(i * 90.0 + 45), {-6, 0, 17}, {6, 8, 24}, glass);
  Box(L, Xf(), {-56, 96, 20}, {-40, 110, 80}, armour);
  L.connectors = {{0, 108, -20}};
  L.bsp = true;
  return m;
}

Model Python() {
  Model m = Start("python");
  Level& L = m.levels[0];
  Hull(L, Xf(), {{-210, 34, 84}, {-150, 100, 92}, {150, 112, 92}, {220, 96, 86}, {226, 28, 84}, {-160, 4, 80}},
       camo, armour);
  Hull(L, Xf(), {{-150, 100, 70}, {-110, 126, 62}, {60, 130, 62}, {120, 112, 70}}, armour, armour);
  TeamPlate(L, team, 100, 8, 94, -180, 200);
  TeamPlate(L, team, -100, 8, 94, -180, 200);
  for (int i = 0; i < 3; ++i) Box(L, Move(0, 112, 140 + i * 26), {-70, 0, -8}, {70, 10, 8}, grille);
  Lamp(L, {-60, 70, -200}, 11);
  Lamp(L, {60, 70, -200}, 11);
  Box(L, Xf(), {-56, 100, -190}, {56, 110, -160}, hazard);
  Exhaust(L, 60, 100, 216);
  Exhaust(L, -60, 100, 216);
  Exhaust(L, 80, 100, 216);
  Exhaust(L, -80, 100, 216);
  Cylinder(L, Move(0, 130, -30), 54, 12, 16, gunmetal, grille);
  // Spare track links hung on the glacis.
  Box(L, Move(0, 80, -186) * TurnX(40), {-50, -12, -4}, {50, 12, 4}, tread);
  L.connectors = {{0, 142, -30}};
  return m;
}

Model Bug() {
  Model m = Start("bug");
  Level& L = m.levels[0];
  Sphere(L, Move(0, 60, 0) * Scale(1.1, 0.7, 1.5), 70, 12, 7, sand);
  Sphere(L, Move(0, 92, -50) * Scale(1, 0.7, 1.1), 34, 10, 5, glass);
  TeamPlate(L, team, 80, 30, 60, -60, 60);
  TeamPlate(L, team, -80, 30, 60, -60, 60);
  Lamp(L, {-30, 56, -104}, 8);
  Lamp(L, {30, 56, -104}, 8);
  Beam(L, Xf(), {-30, 100, 60}, {-40, 190, 70}, 3, gunmetal);
  L.connectors = {{0, 108, 20}};
  return m;
}

Model Mantis() {
  Model m = Start("mantis");
  Level& L = m.levels[0];
  // A tall, faceted hull with a raised cockpit at the front.
  Hull(L, Xf(), {{-150, 40, 40}, {-90, 110, 66}, {80, 120, 70}, {150, 90, 56}, {140, 30, 50}, {-100, 10, 50}},
       sand, armour);
  Hull(L, Xf(), {{-150, 40, 36}, {-130, 120, 30}, {-80, 150, 30}, {-40, 130, 40}, {-90, 110, 50}}, glass,
       gunmetal);
  TeamPlate(L, team, 72, 30, 100, -90, 130);
  TeamPlate(L, team, -72, 30, 100, -90, 130);
  // Sensor pods on stalks.
  for (int s : {-1, 1}) {
    Beam(L, Xf(), {s * 60.0, 120, 40}, {s * 80.0, 170, 50}, 5, gunmetal);
    Sphere(L, Move(s * 80, 174, 50), 14, 8, 5, lamp);
  }
  Box(L, Move(0, 120, 80), {-40, 0, -30}, {40, 14, 40}, grille);
  L.connectors = {{0, 126, 40}};
  return m;
}

// ---------------------------------------------------------------- propulsions

// Built on first use: the page's materials live in another file, initialised in no fixed order.
Mat Team4a() { return team.With("4a00"); }

// One track unit at side x: a loop of tread around road wheels.
void TrackUnit(Level& L, double x, double len, double h) {
  double w = 26;
  Hull(L, Move(x, 0, 0),
       {{-len / 2 - 20, h * 0.55, w}, {-len / 2 + 10, h, w}, {len / 2 - 10, h, w}, {len / 2 + 20, h * 0.55, w},
        {len / 2 - 10, 0, w}, {-len / 2 + 10, 0, w}},
       tread, armour);
  double side = x > 0 ? x + w : x - w - 8;
  for (int i = 0; i < 5; ++i)
    WheelX(L, {side + 4, h * 0.4, -len / 2 + 20 + i * (len - 40) / 4.0}, h * 0.3, 8, 10, tread);
  WheelX(L, {side + 4, h * 0.62, -len / 2 - 4}, h * 0.36, 8, 10, gunmetal);
  TeamPlate(L, Team4a(), x > 0 ? x + w + 2 : x - w - 2, h, h + 12, -len / 2, len / 2);
}

Model Tracks() {
  Model m = Start("tracks");
  Level& L = m.levels[0];
  TrackUnit(L, 90, 300, 90);
  TrackUnit(L, -90, 300, 90);
  Box(L, Xf(), {-64, 40, -120}, {64, 70, 120}, gunmetal);
  L.connectors = {{0, 90, 0}};
  return m;
}

Model HalfTrack() {
  Model m = Start("halftrk");
  Level& L = m.levels[0];
  // Tracks at the back, steered wheels at the front.
  for (int s : {-1, 1}) {
    Hull(L, Move(s * 80, 0, 60),
         {{-110, 45, 22}, {-90, 80, 22}, {110, 80, 22}, {130, 45, 22}, {110, 0, 22}, {-90, 0, 22}}, tread,
         armour);
    for (int i = 0; i < 3; ++i) WheelX(L, {s * 106.0 + 4, 36, -30.0 + i * 90}, 26, 8, 10, tread);
    WheelX(L, {s * 92.0, 46, -170}, 46, 30, 14, tread);
    TeamPlate(L, Team4a(), s * 110, 80, 92, -220, -120);
  }
  Box(L, Xf(), {-60, 36, -190}, {60, 56, 180}, gunmetal);
  Beam(L, Xf(), {-90, 46, -170}, {90, 46, -170}, 12, gunmetal);
  L.connectors = {{0, 80, 0}};
  return m;
}

Model Wheels() {
  Model m = Start("wheels");
  Level& L = m.levels[0];
  for (int s : {-1, 1})
    for (int i = 0; i < 3; ++i) {
      WheelX(L, {s * 100.0, 50, -130.0 + i * 130}, 50, 36, 16, tread);
      TeamPlate(L, Team4a(), s * 106, 104, 114, -160.0 + i * 130, -100.0 + i * 130);
    }
  for (int i = 0; i < 3; ++i) Beam(L, Xf(), {-84, 50, -130.0 + i * 130}, {84, 50, -130.0 + i * 130}, 14, gunmetal);
  Box(L, Xf(), {-50, 44, -170}, {50, 70, 170}, armour);
  L.connectors = {{0, 70, 0}};
  return m;
}

Model Hover() {
  Model m = Start("hover");
  Level& L = m.levels[0];
  // A rubber skirt, a deck and two lift fans at the back.
  Frustum(L, Scale(1, 1, 1.5), 120, 130, 40, 16, gunmetal, &gunmetal, nullptr);
  Frustum(L, Move(0, 40, 0) * Scale(1, 1, 1.5), 130, 110, 20, 16, Team4a(), nullptr, &armour);
  for (int s : {-1, 1}) {
    Torus(L, Move(s * 56, 110, 120) * TurnX(90), 40, 8, 12, 4, gunmetal);
    Cylinder(L, Move(s * 56, 80, 120) * TurnX(90) * Move(0, -8, 0), 34, 16, 10, grille, grille);
  }
  L.connectors = {{0, 60, 0}};
  return m;
}

Model Legs() {
  Model m = Start("legs", -55);
  Level& L = m.levels[0];
  // Two digitigrade legs under a hip block.
  Box(L, Xf(), {-70, 250, -40}, {70, 290, 40}, armour);
  for (int s : {-1, 1}) {
    double x = s * 60.0;
    Sphere(L, Move(x, 262, 0), 28, 8, 5, gunmetal);
    Beam(L, Xf(), {x, 262, 0}, {x, 160, -60}, 34, camo);
    Sphere(L, Move(x, 160, -60), 22, 8, 5, gunmetal);
    Beam(L, Xf(), {x, 160, -60}, {x, 60, 30}, 26, camo);
    Beam(L, Xf(), {x + s * 16, 150, -56}, {x + s * 16, 70, 24}, 8, barrel);  // hydraulic ram
    Sphere(L, Move(x, 60, 30), 18, 8, 5, gunmetal);
    Beam(L, Xf(), {x, 60, 30}, {x, 14, -10}, 20, camo);
    Box(L, Xf(), {x - 26, 0, -60}, {x + 26, 16, 40}, tread);
    Box(L, Move(x, 0, 0), {-30, 18, 10}, {30, 30, 36}, Team4a());
  }
  L.connectors = {{0, 290, 0}};
  return m;
}

Model Vtol() {
  // Two lift-jet pods on a short swept wing, with tail fins.
  Model m = Start("vtol");
  Level& L = m.levels[0];
  for (int s : {-1, 1}) {
    Tube(L, Move(s * 150, 60, -120), 40, 220, 12, barrel, grille);
    Frustum(L, Move(s * 150, 60, 100) * TurnX(90), 40, 28, 30, 12, dark, nullptr, &dark);
    Frustum(L, Move(s * 150, 60, -120) * TurnX(-90), 40, 16, 40, 12, Team4a(), nullptr, &grille);
    Hull(L, Move(s * 150, 100, 60), {{-30, 0, 3}, {40, 0, 3}, {60, 70, 3}, {30, 70, 3}}, armour, camo);
  }
  // The wing: a flat hull seen from the side, swept back towards the tips.
  Hull(L, TurnY(90), {{-150, 50, 40}, {-150, 70, 40}, {150, 70, 20}, {150, 50, 20}}, camo, armour);
  Box(L, Xf(), {-36, 36, -70}, {36, 84, 90}, armour);
  Box(L, Xf(), {-30, 84, -40}, {30, 96, 60}, grille);
  L.connectors = {{0, 96, 0}};
  return m;
}

// ---------------------------------------------------------------- weapons

// A turret: a low faceted drum with a mantlet, on a ring.
void Turret(Level& L, double r, double h) {
  Frustum(L, Xf(), r * 1.05, r * 1.05, h * 0.2, 14, gunmetal, &gunmetal, nullptr);
  Frustum(L, Move(0, h * 0.2, 0), r, r * 0.78, h * 0.8, 8, camo, nullptr, &armour, 22.5);
}

void Barrel(Level& L, V3 at, double r, double len, const Mat& tip) {
  Tube(L, Move(at.x, at.y, at.z) * TurnY(180), r, len, 10, barrel, dark);
  Tube(L, Move(at.x, at.y, at.z - len + len * 0.12) * TurnY(180), r * 1.45, len * 0.12, 10, tip, dark);
}

Model MachineGun() {
  Model m = Start("mgun");
  Level& L = m.levels[0];
  Turret(L, 70, 70);
  for (int s : {-1, 1}) {
    Box(L, Xf(), {s * 30.0 - 12, 50, -80}, {s * 30.0 + 12, 74, 30}, gunmetal);
    Barrel(L, {s * 30.0, 62, -80}, 6, 120, gunmetal);
    Box(L, Xf(), {s * 30.0 - 10, 28, -40}, {s * 30.0 + 10, 50, -20}, dark);  // ammunition box
  }
  Box(L, Xf(), {-20, 70, 0}, {20, 90, 40}, armour);
  L.connectors = {{0, 62, -200}};
  return m;
}

Model Cannon() {
  Model m = Start("cannon");
  Level& L = m.levels[0];
  Turret(L, 100, 80);
  Box(L, Xf(), {-34, 30, -110}, {34, 76, -60}, armour);
  Barrel(L, {0, 54, -110}, 11, 240, gunmetal);
  Cylinder(L, Move(44, 80, 20), 18, 24, 8, gunmetal, grille);  // commander's hatch
  Box(L, Xf(), {-70, 62, 50}, {-30, 84, 90}, camo);
  Beam(L, Xf(), {-50, 84, 70}, {-54, 170, 74}, 3, gunmetal);
  L.connectors = {{0, 54, -350}};
  L.bsp = true;
  return m;
}

Model Howitzer() {
  Model m = Start("howitzr");
  Level& L = m.levels[0];
  Cylinder(L, Xf(), 110, 20, 16, gunmetal, armour);
  for (int s : {-1, 1}) {
    Box(L, Xf(), {s * 50.0 - 10, 20, -60}, {s * 50.0 + 10, 110, 40}, armour);
  }
  Xf up = Move(0, 90, -10) * TurnX(32);
  Box(L, up, {-40, -30, -40}, {40, 30, 60}, camo);
  Tube(L, up * TurnY(180), 15, 300, 12, barrel, dark);
  Tube(L, up * Move(0, 0, -300) * TurnY(180), 22, 40, 12, gunmetal, dark);
  for (int s : {-1, 1}) Tube(L, up * Move(s * 26.0, 24, -40) * TurnY(180), 7, 120, 8, gunmetal, gunmetal);
  L.connectors = {{0, 260, -270}};
  return m;
}

Model Rockets() {
  Model m = Start("rockets");
  Level& L = m.levels[0];
  Cylinder(L, Xf(), 70, 20, 12, gunmetal, armour);
  Xf up = Move(0, 90, 0) * TurnX(12);
  Box(L, up, {-80, -50, -100}, {80, 50, 100}, camo);
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) {
      V3 at{-50.0 + c * 50, -24.0 + r * 48, -100};
      Tube(L, up * Move(at.x, at.y, at.z + 4) * TurnY(180), 20, 10, 10, gunmetal, dark);
      Frustum(L, up * Move(at.x, at.y, at.z + 4) * TurnX(-90), 14, 0, 30, 8, hazard, &dark, nullptr);
    }
  Box(L, up, {-84, 52, -60}, {84, 60, 60}, hazard);
  Box(L, Xf(), {-20, 20, -20}, {20, 70, 20}, gunmetal);
  L.connectors = {{0, 90, -120}};
  return m;
}

Model Mortar() {
  Model m = Start("mortar");
  Level& L = m.levels[0];
  Frustum(L, Xf(), 90, 80, 16, 12, tread, &dark, &gunmetal);
  Xf up = Move(0, 30, 20) * TurnX(60);
  Tube(L, up * TurnY(180), 30, 200, 12, barrel, dark);
  Tube(L, up * Move(0, 0, -190) * TurnY(180), 36, 14, 12, gunmetal, dark);
  Beam(L, Xf(), {-50, 14, -60}, {0, 120, -50}, 8, gunmetal);  // bipod
  Beam(L, Xf(), {50, 14, -60}, {0, 120, -50}, 8, gunmetal);
  Box(L, Xf(), {40, 16, 30}, {90, 50, 70}, camo);  // shell crate
  Box(L, Xf(), {-90, 16, 20}, {-50, 40, 70}, hazard);
  L.connectors = {{0, 200, -100}};
  return m;
}

Model Laser() {
  Model m = Start("laser");
  Level& L = m.levels[0];
  Turret(L, 80, 60);
  Xf fwd = Move(0, 70, -20) * TurnY(180);
  Tube(L, fwd, 22, 200, 12, gunmetal, lamp);
  for (int i = 0; i < 4; ++i) Torus(L, fwd * Move(0, 0, 50 + i * 36) * TurnX(90), 30, 7, 12, 4, grille);
  Frustum(L, fwd * Move(0, 0, 200) * TurnX(90), 36, 20, 20, 12, gunmetal, &gunmetal, &lamp);
  L.connectors = {{0, 70, -240}};
  return m;
}

Model Gatling() {
  // Two levels: the mount, and the barrel cluster that spins about its own axis.
  Model m = Start("gatling", -40);
  m.levels.resize(2);
  Level& mount = m.levels[0];
  Turret(mount, 70, 60);
  Box(mount, Xf(), {-30, 40, -60}, {30, 90, 40}, armour);
  Box(mount, Xf(), {40, 30, -30}, {80, 70, 30}, hazard);  // ammunition drum housing
  Level& spin = m.levels[1];
  spin.pivot = {0, 66, -60};
  for (int i = 0; i < 6; ++i) {
    double a = i * 60 * 3.14159265358979 / 180;
    Tube(spin, Move(22 * std::cos(a), 66 + 22 * std::sin(a), -60) * TurnY(180), 6, 170, 8, barrel, dark);
  }
  for (double z : {-80.0, -200.0})
    Cylinder(spin, Move(0, 66, z) * TurnX(90) * Move(0, -5, 0), 34, 10, 12, gunmetal, gunmetal);
  spin.connectors = {{0, 66, -240}};
  m.anim.kind = Anim::kTrans;
  m.anim.frames = 6;
  m.anim.rate = 10;
  m.anim.fileName = "gatling.ani";
  m.anim.nameToken = "gatling";
  m.anim.key = [](int level, int f) {
    Key k;
    if (level == 1) k.rot.z = f * 10.0;  // six barrels: a sixth of a turn repeats
    return k;
  };
  return m;
}

Model Flamer() {
  Model m = Start("flamer");
  Level& L = m.levels[0];
  Turret(L, 70, 50);
  for (int s : {-1, 1}) {
    Cylinder(L, Move(s * 40, 50, 40) * TurnX(90) * Move(0, -60, 0), 26, 120, 10, hazard, gunmetal);
  }
  Tube(L, Move(0, 60, -40) * TurnY(180), 12, 120, 10, barrel, dark);
  Frustum(L, Move(0, 60, -160) * TurnX(-90), 14, 22, 30, 10, gunmetal, nullptr, &dark);
  Beam(L, Xf(), {40, 60, -20}, {10, 60, -120}, 6, gunmetal);
  L.connectors = {{0, 60, -200}};
  return m;
}

}  // namespace

std::vector<Model> Bodies() { return {Viper(), Cobra(), Python(), Bug(), Mantis()}; }

std::vector<Model> Propulsions() { return {Tracks(), HalfTrack(), Wheels(), Hover(), Legs(), Vtol()}; }

std::vector<Model> Weapons() {
  return {Cannon(), MachineGun(), Howitzer(), Rockets(), Mortar(), Laser(), Gatling(), Flamer()};
}

}  // namespace kit
