// The five texture pages and the cursor, painted from noise and simple shapes, and the texel
// rectangles (materials) the models use on them.
#include <algorithm>
#include <cmath>

#include "sample_kit.h"

namespace kit {

namespace {

constexpr float kPi = 3.14159265f;

float Clamp01(float v) { return std::clamp(v, 0.f, 1.f); }
float Smooth(float e0, float e1, float v) {
  float t = Clamp01((v - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// Bevelled panel: light top-left edge, dark bottom-right edge, rivets in the corners.
RGBA Panel(RGBA base, int x, int y, int w, int h, int seed, bool rivets = true) {
  float n = Fbm(x / 8.f, y / 8.f, 3, seed);
  RGBA c = Shade(base, 0.85f + 0.3f * n);
  if (x < 2 || y < 2) c = Shade(c, 1.25f);
  if (x >= w - 2 || y >= h - 2) c = Shade(c, 0.55f);
  if (rivets) {
    for (int cy : {5, h - 6})
      for (int cx : {5, w - 6}) {
        float d = std::hypot(float(x - cx), float(y - cy));
        if (d < 2.2f) c = Shade(base, d < 1.2f ? 1.45f : 0.6f);
      }
  }
  return c;
}

RGBA Grime(RGBA c, int x, int y, int seed, float amount) {
  float n = Fbm(x / 16.f, y / 16.f, 4, seed);
  return Shade(c, 1.f - amount * Smooth(0.45f, 0.8f, n));
}

// Paints f inside a rim of hole texels `rim` wide.
std::function<RGBA(int, int)> Rimmed(int w, int h, int rim, std::function<RGBA(int, int)> f) {
  return [=](int x, int y) {
    if (x < rim || y < rim || x >= w - rim || y >= h - rim) return kHole;
    return f(x, y);
  };
}

// Team colours: one frame per team, the first one is what team-coloured models show.
const RGBA kTeams[8] = {Col(96, 118, 56),  Col(196, 108, 32), Col(120, 124, 132), Col(46, 46, 52),
                        Col(168, 40, 36),  Col(44, 84, 170),  Col(204, 176, 40),  Col(120, 56, 150)};

RGBA TeamFrame(int team, int x, int y, int seed) {
  RGBA base = kTeams[team];
  RGBA c = Panel(base, x, y, 32, 32, seed + team);
  // A chevron insignia in a lighter shade.
  int dx = std::abs(x - 16);
  int yy = y - 10 + dx / 2;
  if (yy >= 0 && yy < 5 && dx < 10) c = Mix(c, Col(235, 230, 210), 0.85f);
  if (yy >= 8 && yy < 12 && dx < 8) c = Mix(c, Col(235, 230, 210), 0.85f);
  return c;
}

}  // namespace

// ---------------------------------------------------------------- units page (DXT1)

namespace units {
const Mat camo = Rect(0, 0, 128, 64, 0.35);
const Mat armour = Rect(128, 0, 64, 64, 0.35);
const Mat gunmetal = Rect(192, 0, 64, 64, 0.35);
const Mat tread = Rect(0, 64, 128, 32, 0.35).With("a00");
const Mat wheel = Rect(128, 64, 64, 64).Fit();
const Mat grille = Rect(192, 64, 64, 64, 0.35);
const Mat hazard = Rect(0, 96, 128, 32, 0.35);
const Mat team = Strip(0, 128, 32, 32, 8, 1, "4200");
const Mat sand = Rect(0, 160, 128, 64, 0.35);
const Mat glass = Rect(128, 160, 64, 64).Fit();
const Mat lamp = Rect(192, 160, 64, 64).Fit();
const Mat barrel = Rect(0, 224, 128, 32, 0.35).With("a00");
const Mat dark = Rect(128, 224, 128, 32, 0.35);
}  // namespace units

Image PaintUnitsPage() {
  Image img(256, 256);
  // Woodland camouflage: three noise thresholds over olive.
  img.Paint(0, 0, 128, 64, [](int x, int y) {
    float a = Fbm(x / 22.f, y / 22.f, 4, 11), b = Fbm(x / 18.f + 7, y / 18.f, 4, 12);
    RGBA c = Col(92, 104, 58);
    if (a > 0.56f) c = Col(64, 56, 38);
    if (b > 0.6f) c = Col(36, 40, 30);
    if (a < 0.36f) c = Col(130, 126, 86);
    c = Shade(c, 0.9f + 0.2f * Fbm(x / 3.f, y / 3.f, 2, 13));
    if (x % 32 == 0 || y % 32 == 0) c = Shade(c, 0.7f);  // plate seams
    return c;
  });
  img.Paint(128, 0, 64, 64, [](int x, int y) {
    return Grime(Panel(Col(104, 112, 92), x % 32, y % 32, 32, 32, 21), x, y, 22, 0.3f);
  });
  img.Paint(192, 0, 64, 64, [](int x, int y) {
    float scratch = Rand01(x, y / 6, 31) > 0.93f ? 1.3f : 1.f;
    return Shade(Col(70, 74, 80), (0.8f + 0.3f * Fbm(x / 6.f, y / 20.f, 3, 32)) * scratch);
  });
  // Track links: dark plates with raised grousers every 16 texels.
  img.Paint(0, 64, 128, 32, [](int x, int y) {
    int lx = x % 16;
    RGBA c = Col(54, 52, 50);
    if (lx < 3) c = Col(96, 92, 86);
    if (lx >= 13) c = Col(28, 28, 28);
    if (y < 3 || y > 28) c = Shade(c, 0.6f);
    if ((y == 8 || y == 23) && lx > 4 && lx < 11) c = Col(120, 116, 108);
    return Shade(c, 0.85f + 0.3f * Fbm(x / 4.f, y / 4.f, 2, 41));
  });
  // Wheel face: tyre ring, rim, hub and bolts.
  img.Paint(128, 64, 64, 64, [](int x, int y) {
    float dx = x - 31.5f, dy = y - 31.5f, d = std::hypot(dx, dy), a = std::atan2(dy, dx);
    if (d > 31) return Col(30, 30, 30);
    if (d > 24) {
      bool tread = std::fmod(a + kPi, kPi / 8) < kPi / 16;
      return Shade(Col(40, 40, 40), tread ? 1.3f : 0.9f);
    }
    if (d > 20) return Col(76, 84, 64);
    if (d > 9) {
      RGBA c = Shade(Col(104, 112, 84), 0.8f + 0.2f * (dy < 0 ? 1.f : 0.f));
      for (int k = 0; k < 6; ++k) {
        float ba = k * kPi / 3;
        if (std::hypot(dx - 14 * std::cos(ba), dy - 14 * std::sin(ba)) < 2.2f) c = Col(40, 40, 36);
      }
      return c;
    }
    return Shade(Col(150, 150, 140), 1.f - d / 14.f);
  });
  img.Paint(192, 64, 64, 64, [](int x, int y) {
    RGBA c = Panel(Col(84, 90, 74), x, y, 64, 64, 51);
    if (x > 6 && x < 58 && y > 8 && y < 56 && (y % 6) < 3) c = Col(24, 24, 22);
    return c;
  });
  img.Paint(0, 96, 128, 32, [](int x, int y) {
    bool yellow = ((x + y) / 8) % 2 == 0;
    return Grime(yellow ? Col(214, 170, 30) : Col(30, 30, 30), x, y, 61, 0.35f);
  });
  for (int t = 0; t < 8; ++t)
    img.Paint(t * 32, 128, 32, 32, [t](int x, int y) { return TeamFrame(t, x, y, 71); });
  img.Paint(0, 160, 128, 64, [](int x, int y) {
    float a = Fbm(x / 20.f, y / 20.f, 4, 81);
    RGBA c = a > 0.55f ? Col(150, 120, 80) : Col(196, 170, 120);
    if (Fbm(x / 14.f + 3, y / 14.f, 3, 82) > 0.62f) c = Col(120, 96, 66);
    if (x % 32 == 0 || y % 32 == 0) c = Shade(c, 0.75f);
    return Shade(c, 0.9f + 0.2f * Fbm(x / 3.f, y / 3.f, 2, 83));
  });
  img.Paint(128, 160, 64, 64, [](int x, int y) {
    RGBA c = Mix(Col(120, 170, 210), Col(20, 36, 60), y / 63.f);
    if (std::abs((x - y) - 10) < 5) c = Mix(c, Col(230, 240, 250), 0.6f);  // a glint
    if (x < 3 || y < 3 || x > 60 || y > 60) c = Col(40, 44, 40);
    return c;
  });
  img.Paint(192, 160, 64, 64, [](int x, int y) {
    float d = std::hypot(x - 31.5f, y - 31.5f);
    if (d > 30) return Col(50, 50, 46);
    if (d > 26) return Col(150, 150, 140);
    return Mix(Col(255, 250, 210), Col(230, 170, 60), d / 26.f);
  });
  // Barrels: a cylinder's worth of light across the strip so tubes look round.
  img.Paint(0, 224, 128, 32, [](int x, int y) {
    float l = 0.55f + 0.45f * std::sin((x % 64) / 64.f * 2 * kPi);
    RGBA c = Shade(Col(80, 86, 78), 0.55f + 0.7f * l);
    if (y % 16 == 0) c = Shade(c, 0.6f);
    return c;
  });
  img.Paint(128, 224, 128, 32, [](int x, int y) {
    // Burnt metal: soot, with patches of rust where the paint has gone.
    float n = Fbm(x / 10.f, y / 10.f, 4, 91);
    RGBA c = Mix(Col(26, 24, 22), Col(60, 52, 46), Fbm(x / 3.f, y / 3.f, 2, 93));
    c = Mix(c, Col(120, 64, 34), Smooth(0.58f, 0.72f, n));
    if (Rand01(x, y, 92) > 0.985f) c = Col(150, 90, 50);
    return c;
  });
  return img;
}

// ---------------------------------------------------------------- buildings page (DXT1)

namespace build {
const Mat concrete = Rect(0, 0, 64, 64, 0.25);
const Mat brick = Rect(64, 0, 64, 64, 0.3);
const Mat corrugated = Rect(128, 0, 64, 64, 0.3).With("10a00");
const Mat steel = Rect(192, 0, 64, 64, 0.3);
const Mat windows = Rect(0, 64, 128, 32, 0.3).With("10200");
const Mat door = Rect(128, 64, 64, 64).Fit();
const Mat hazard = Rect(192, 64, 64, 32, 0.3);
const Mat vent = Rect(192, 96, 64, 32, 0.3);
const Mat tiles = Rect(0, 96, 64, 64, 0.3).With("10a00");
const Mat pipe = Rect(64, 96, 64, 32, 0.3);
const Mat asphalt = Rect(64, 128, 64, 32, 0.25);
const Mat chimney = Rect(128, 128, 64, 32, 0.3);
const Mat sandbag = Rect(0, 160, 64, 64, 0.4);
const Mat planks = Rect(64, 160, 64, 64, 0.4);
const Mat dish = Rect(128, 160, 64, 64).Fit();
const Mat rust = Rect(192, 160, 64, 64, 0.3);
const Mat team = Strip(0, 224, 32, 32, 8, 1, "4200");
}  // namespace build

Image PaintBuildPage() {
  Image img(256, 256);
  img.Paint(0, 0, 64, 64, [](int x, int y) {
    RGBA c = Shade(Col(150, 146, 136), 0.85f + 0.25f * Fbm(x / 5.f, y / 5.f, 3, 101));
    if (y % 32 == 0 || x % 32 == 0) c = Shade(c, 0.7f);
    float streak = Fbm(x / 3.f, y / 24.f, 3, 102);
    return Shade(c, 1.f - 0.25f * Smooth(0.5f, 0.8f, streak) * (y / 64.f));
  });
  img.Paint(64, 0, 64, 64, [](int x, int y) {
    int row = y / 8, bx = (x + (row % 2) * 8) % 16;
    bool mortar = (y % 8) == 0 || bx == 0;
    RGBA c = mortar ? Col(170, 160, 146) : Col(140, 62, 44);
    if (!mortar) c = Shade(c, 0.8f + 0.35f * Rand01((x + (row % 2) * 8) / 16, row, 103));
    return Shade(c, 0.9f + 0.15f * Fbm(x / 4.f, y / 4.f, 2, 104));
  });
  img.Paint(128, 0, 64, 64, [](int x, int y) {
    float l = 0.6f + 0.4f * std::sin(x / 64.f * 8 * 2 * kPi);
    return Grime(Shade(Col(140, 146, 150), 0.6f + 0.5f * l), x, y, 105, 0.35f);
  });
  img.Paint(192, 0, 64, 64, [](int x, int y) {
    return Grime(Panel(Col(100, 106, 112), x % 32, y % 32, 32, 32, 106), x, y, 107, 0.3f);
  });
  img.Paint(0, 64, 128, 32, [](int x, int y) {
    int wx = x % 32;
    RGBA c = Shade(Col(150, 146, 136), 0.9f + 0.15f * Fbm(x / 5.f, y / 5.f, 2, 108));
    if (wx > 4 && wx < 28 && y > 5 && y < 27) {
      c = Mix(Col(180, 210, 230), Col(40, 60, 90), (y - 5) / 22.f);
      if (wx == 16 || y == 16) c = Col(60, 60, 60);
      if ((x / 32) % 3 == 1 && y > 16) c = Col(240, 210, 120);  // a lit window
    }
    return c;
  });
  img.Paint(128, 64, 64, 64, [](int x, int y) {
    RGBA c = Col(110, 110, 104);
    if (x > 6 && x < 58 && y > 8) {
      c = Shade(Col(150, 140, 96), (y % 5) < 3 ? 1.f : 0.7f);  // roller shutter
    }
    if (y > 8 && (x == 6 || x == 57)) c = Col(60, 60, 60);
    return Grime(c, x, y, 109, 0.3f);
  });
  img.Paint(192, 64, 64, 32, [](int x, int y) {
    bool yellow = ((x + y) / 8) % 2 == 0;
    return Grime(yellow ? Col(220, 176, 30) : Col(28, 28, 28), x, y, 110, 0.3f);
  });
  img.Paint(192, 96, 64, 32, [](int x, int y) {
    RGBA c = Panel(Col(96, 100, 104), x % 32, y, 32, 32, 111, false);
    if (y > 5 && y < 27 && (x % 32) > 5 && (x % 32) < 27 && y % 4 < 2) c = Col(26, 26, 28);
    return c;
  });
  img.Paint(0, 96, 64, 64, [](int x, int y) {
    int row = y / 8, tx = (x + (row % 2) * 6) % 12;
    float arch = std::fabs(tx - 6) / 6.f;
    RGBA c = Shade(Col(160, 70, 50), 1.05f - 0.35f * arch - 0.4f * ((y % 8) / 8.f));
    return Shade(c, 0.85f + 0.3f * Rand01((x + (row % 2) * 6) / 12, row, 112));
  });
  img.Paint(64, 96, 64, 32, [](int x, int y) {
    float l = 0.5f + 0.5f * std::sin(y / 32.f * kPi);
    RGBA c = Shade(Col(120, 120, 110), 0.5f + 0.7f * l);
    if (x % 32 < 2) c = Shade(c, 0.7f);
    return c;
  });
  img.Paint(64, 128, 64, 32, [](int x, int y) {
    return Shade(Col(70, 70, 68), 0.8f + 0.4f * Fbm(x / 2.f, y / 2.f, 3, 113));
  });
  img.Paint(128, 128, 64, 32, [](int x, int y) {
    RGBA c = (y / 8) % 2 ? Col(200, 50, 40) : Col(226, 222, 214);
    return Grime(c, x, y, 114, 0.35f);
  });
  img.Paint(192, 128, 64, 32, [](int x, int y) { return Col(60, 62, 60); });
  img.Paint(0, 160, 64, 64, [](int x, int y) {
    int row = y / 12, bx = (x + (row % 2) * 10) % 20;
    float ex = std::fabs(bx - 10) / 10.f, ey = std::fabs((y % 12) - 6) / 6.f;
    float bulge = 1.f - std::min(1.f, ex * ex + ey * ey);
    RGBA c = Shade(Col(150, 132, 96), 0.45f + 0.7f * std::sqrt(bulge));
    return Shade(c, 0.9f + 0.2f * Fbm(x / 2.f, y / 2.f, 2, 115));
  });
  img.Paint(64, 160, 64, 64, [](int x, int y) {
    int plank = x / 10;
    RGBA c = Shade(Col(136, 98, 60), 0.8f + 0.3f * Rand01(plank, 0, 116));
    c = Shade(c, 0.85f + 0.25f * Fbm(x / 2.f, y / 14.f, 3, 117 + plank));
    if (x % 10 == 0) c = Col(50, 36, 24);
    if ((y + plank * 13) % 40 == 0) c = Col(60, 44, 28);
    return c;
  });
  img.Paint(128, 160, 64, 64, [](int x, int y) {
    float dx = x - 31.5f, dy = y - 31.5f, d = std::hypot(dx, dy), a = std::atan2(dy, dx);
    RGBA c = Shade(Col(226, 228, 224), 0.75f + 0.25f * (1 - d / 45.f));
    if (std::fmod(a + kPi, kPi / 6) < 0.05f || std::fmod(d, 8.f) < 1.f) c = Col(140, 144, 150);
    if (d < 5) c = Col(60, 60, 66);
    return c;
  });
  img.Paint(192, 160, 64, 64, [](int x, int y) {
    float n = Fbm(x / 8.f, y / 8.f, 4, 118);
    RGBA c = Mix(Col(170, 160, 140), Col(140, 70, 36), Smooth(0.45f, 0.75f, n));
    if (y % 21 == 0) c = Shade(c, 0.6f);
    return c;
  });
  for (int t = 0; t < 8; ++t)
    img.Paint(t * 32, 224, 32, 32, [t](int x, int y) {
      RGBA c = Panel(kTeams[t], x, y, 32, 32, 119 + t);
      if (y > 12 && y < 20) c = Mix(c, Col(230, 226, 210), 0.8f);
      return c;
    });
  return img;
}

// ---------------------------------------------------------------- nature page (uncompressed)

namespace nature {
const Mat bark = Rect(0, 0, 64, 128, 0.5);
// Rectangles with holes are used two texels inside their painted area, whose rim is all hole:
// filtering then never pulls in the texels of the neighbouring picture.
const Mat leaves = Rect(66, 2, 124, 124).Fit().With("2200");
const Mat pine = Rect(194, 2, 60, 124).Fit().With("2200");
const Mat stone = Rect(0, 128, 64, 64, 0.35);
const Mat plaster = Rect(64, 128, 64, 64, 0.35);
const Mat frond = Rect(130, 130, 60, 60).Fit().With("2a00");
const Mat sail = Rect(194, 130, 60, 60).Fit().With("2a00");
const Mat flag = Strip(0, 192, 64, 32, 4, 8, "6200");
const Mat thatch = Rect(0, 224, 64, 32, 0.35);
const Mat wood = Rect(64, 224, 64, 32, 0.35);
const Mat grass = Rect(130, 226, 60, 28).Fit().With("2200");
const Mat iron = Rect(192, 224, 64, 32, 0.35);
}  // namespace nature

Image PaintNaturePage() {
  Image img(256, 256);
  img.Paint(0, 0, 64, 128, [](int x, int y) {
    float ridge = Fbm(x / 3.f, y / 26.f, 4, 201, 0);
    RGBA c = Mix(Col(58, 42, 30), Col(120, 96, 70), ridge);
    if (Fbm(x / 6.f, y / 6.f, 3, 202) > 0.7f) c = Mix(c, Col(90, 110, 60), 0.5f);  // moss
    return c;
  });
  // Leaf clusters: a rounded mass of leaves, ragged at the rim, with few holes inside.
  img.Paint(64, 0, 128, 128, Rimmed(128, 128, 2, [](int x, int y) {
    float dx = (x - 63.5f) / 64.f, dy = (y - 63.5f) / 64.f;
    float edge = std::sqrt(dx * dx + dy * dy) + 0.35f * (Fbm(x / 10.f, y / 10.f, 3, 203) - 0.5f);
    float cells = ValueNoise(x / 5.f, y / 5.f, 204);
    if (edge > 0.9f || (edge > 0.7f && cells < 0.3f) || cells < 0.06f) return kHole;
    float light = 0.7f + 0.45f * cells - 0.3f * (y / 128.f);
    return Shade(Mix(Col(48, 96, 34), Col(112, 150, 52), Fbm(x / 7.f, y / 7.f, 2, 205)), light);
  }));
  // A whole fir seen from the side: tiers of drooping branches around a trunk line.
  img.Paint(192, 0, 64, 128, Rimmed(64, 128, 2, [](int x, int y) {
    float dx = std::fabs(x - 31.5f);
    const float tiers = 6;
    float t = y / 127.f * tiers, tier = std::floor(t), f = t - tier;  // f 0 at a tier's top
    float half = (3.f + 4.5f * tier) * (0.35f + 0.65f * f) + 2;
    if (y > 120) half = 3;  // the foot of the trunk
    if (dx > half) return kHole;
    if (dx < 1.5f) return Col(80, 56, 36);
    float droop = f - dx / 40.f;
    if (Rand01(x, y / 2, 206) < 0.1f && dx > half * 0.6f) return kHole;
    float light = 0.55f + 0.45f * f + 0.15f * Rand01(x, y, 207) - 0.2f * (dx / 30.f) + 0.1f * droop;
    return Shade(Col(36, 82, 46), light);
  }));
  img.Paint(0, 128, 64, 64, [](int x, int y) {
    float n = Fbm(x / 9.f, y / 9.f, 5, 208);
    RGBA c = Mix(Col(96, 92, 88), Col(170, 164, 150), n);
    if (std::fabs(Fbm(x / 14.f, y / 14.f, 3, 209) - 0.5f) < 0.02f) c = Shade(c, 0.55f);  // cracks
    return c;
  });
  img.Paint(64, 128, 64, 64, [](int x, int y) {
    float n = Fbm(x / 6.f, y / 6.f, 4, 210);
    return Mix(Col(150, 118, 80), Col(200, 172, 130), n);
  });
  // Palm frond: a rib with leaflets slanting away from it.
  img.Paint(128, 128, 64, 64, Rimmed(64, 64, 2, [](int x, int y) {
    float dx = x - 31.5f;
    float len = 30.f * std::sin(Clamp01(y / 63.f) * kPi * 0.95f + 0.1f);
    if (std::fabs(dx) < 1.5f) return Col(110, 100, 50);
    if (std::fabs(dx) > len) return kHole;
    float slant = std::fmod(y + std::fabs(dx) * 0.6f, 5.f);
    if (slant < 1.2f) return kHole;
    return Shade(Col(70, 124, 44), 0.7f + 0.5f * (1 - std::fabs(dx) / 32.f));
  }));
  // Windmill sail: a wooden lattice with canvas on part of it.
  img.Paint(192, 128, 64, 64, Rimmed(64, 64, 2, [](int x, int y) {
    bool frame = x < 4 || x > 59 || y % 12 < 2 || (x > 29 && x < 34);
    if (frame) return Shade(Col(110, 80, 50), 0.8f + 0.3f * Rand01(x, y, 211));
    if (x > 34) return Shade(Col(220, 206, 176), 0.85f + 0.15f * Fbm(x / 5.f, y / 5.f, 2, 212));
    return kHole;
  }));
  // Flag: four frames of a cloth wave moving along the fly.
  for (int f = 0; f < 4; ++f)
    img.Paint(f * 64, 192, 64, 32, [f](int x, int y) {
      float phase = x / 64.f * 2 * kPi * 1.3f - f * kPi / 2;
      float wave = std::sin(phase);
      float droop = 3.f * wave * (x / 64.f);
      float yy = y - droop;
      if (x < 4) return Col(180, 180, 170);  // the hoist sleeve
      if (yy < 2 || yy > 30 || (x > 56 && std::fabs(yy - 16) > (64 - x) * 2)) return kHole;
      // The fen's own banner: teal over slate, split by a gold chevron that points to the fly,
      // with a pale ring at the hoist.
      RGBA c = yy < 16 ? Col(28, 116, 118) : Col(42, 48, 64);
      float chevron = std::fabs(yy - 16) * 1.6f + (x - 4) * 0.55f;
      if (chevron > 18 && chevron < 25) c = Col(226, 178, 48);
      float dx = x - 15.f, dy = yy - 16.f, r = std::hypot(dx, dy);
      if (r > 4 && r < 7) c = Col(236, 232, 214);
      return Shade(c, 0.75f + 0.35f * (0.5f + 0.5f * std::cos(phase)));
    });
  img.Paint(0, 224, 64, 32, [](int x, int y) {
    float n = ValueNoise(x / 1.5f, y / 9.f, 213);
    return Shade(Col(190, 160, 90), 0.55f + 0.6f * n);
  });
  img.Paint(64, 224, 64, 32, [](int x, int y) {
    RGBA c = Shade(Col(130, 94, 58), 0.8f + 0.3f * Fbm(x / 16.f, y / 1.5f, 3, 214));
    if (y % 8 == 0) c = Col(56, 40, 26);
    return c;
  });
  img.Paint(128, 224, 64, 32, Rimmed(64, 32, 2, [](int x, int y) {
    float blade = ValueNoise(x / 1.3f, 0, 215);
    if (y < 32 - blade * 30) return kHole;
    return Shade(Col(80, 130, 50), 0.6f + 0.5f * (1 - y / 32.f) + 0.2f * blade);
  }));
  img.Paint(192, 224, 64, 32, [](int x, int y) {
    float n = Fbm(x / 6.f, y / 6.f, 4, 216);
    return Mix(Col(80, 76, 72), Col(150, 80, 40), Smooth(0.4f, 0.7f, n));
  });
  return img;
}

// ---------------------------------------------------------------- effects page (DXT5)

namespace fx {
const Mat blast = Strip(0, 0, 64, 64, 8, 10, "14200");
const Mat smoke = Strip(0, 128, 64, 64, 4, 6, "6a00");
const Mat flame = Strip(0, 192, 32, 64, 8, 12, "16a00");
}  // namespace fx

namespace {

RGBA FireRamp(float t) {  // 0 cool dark red .. 1 white hot
  if (t < 0.33f) return Mix(Col(90, 14, 6), Col(220, 70, 10), t / 0.33f);
  if (t < 0.7f) return Mix(Col(220, 70, 10), Col(255, 190, 40), (t - 0.33f) / 0.37f);
  return Mix(Col(255, 190, 40), Col(255, 250, 220), (t - 0.7f) / 0.3f);
}

}  // namespace

Image PaintFxPage() {
  Image img(256, 256);
  img.Paint(0, 0, 256, 256, [](int, int) { return RGBA{0, 0, 0, 0}; });
  // Explosion: a fireball that swells, burns out to smoke, and thins away over eight frames.
  for (int f = 0; f < 8; ++f)
    img.Paint((f % 4) * 64, (f / 4) * 64, 64, 64, [f](int x, int y) {
      float t = f / 7.f;
      float dx = (x - 31.5f) / 32.f, dy = (y - 31.5f) / 32.f;
      float d = std::sqrt(dx * dx + dy * dy);
      float n = Fbm(x / 9.f + f * 1.7f, y / 9.f, 4, 301);
      float radius = 0.6f + 0.35f * std::sqrt(t);
      float body = 1.f - d / radius + 0.45f * (n - 0.5f);
      if (body <= 0) return RGBA{0, 0, 0, 0};
      float heat = Clamp01(body * 2.4f * (1.f - 0.85f * t) + 0.25f * (n - 0.5f));
      RGBA c = Mix(Shade(Col(70, 64, 60), 0.6f + 0.6f * n), FireRamp(heat), Clamp01(heat * 1.7f));
      c.a = Clamp01(body * 3.f) * (1.f - 0.7f * t * t);
      return c;
    });
  // Smoke puffs, turning over.
  for (int f = 0; f < 4; ++f)
    img.Paint(f * 64, 128, 64, 64, [f](int x, int y) {
      float a = f * kPi / 8;
      float rx = (x - 31.5f) * std::cos(a) - (y - 31.5f) * std::sin(a);
      float ry = (x - 31.5f) * std::sin(a) + (y - 31.5f) * std::cos(a);
      float d = std::hypot(rx, ry) / 30.f;
      float n = Fbm(rx / 8.f + 20, ry / 8.f + 20, 4, 302);
      float body = 1.f - d + 0.5f * (n - 0.5f);
      if (body <= 0) return RGBA{0, 0, 0, 0};
      RGBA c = Shade(Col(120, 116, 112), 0.6f + 0.6f * n - 0.2f * (y / 64.f));
      c.a = Clamp01(body * 2.5f);
      return c;
    });
  // Flame tongues licking upwards.
  for (int f = 0; f < 8; ++f)
    img.Paint(f * 32, 192, 32, 64, [f](int x, int y) {
      float up = 1.f - y / 63.f;  // 0 at the base, 1 at the tip
      float n = Fbm(x / 6.f, y / 8.f + f * 2.3f, 4, 303);
      float half = 15.f * (1.f - up * up) * (0.7f + 0.6f * n);
      float dx = std::fabs(x - 15.5f);
      if (dx > half) return RGBA{0, 0, 0, 0};
      float heat = Clamp01((1.f - dx / std::max(half, 1.f)) * (1.2f - up) + 0.3f * (n - 0.5f));
      RGBA c = FireRamp(heat);
      c.a = Clamp01((half - dx) / 3.f);
      return c;
    });
  return img;
}

// ---------------------------------------------------------------- research page (DXT1)

namespace tech {
const Mat plastic = Rect(0, 0, 64, 64, 0.35);
const Mat chrome = Rect(64, 0, 64, 64, 0.35);
const Mat globe = Rect(128, 0, 128, 64).Fit();
const Mat screen = Strip(0, 64, 32, 32, 4, 4, "14a00");
const Mat keys = Rect(128, 64, 64, 32).Fit();
const Mat gauges = Rect(192, 64, 64, 32).Fit();
const Mat circuit = Rect(0, 96, 64, 64, 0.35);
const Mat copper = Rect(64, 96, 64, 64, 0.35);
const Mat glass = Rect(128, 96, 64, 64, 0.35);
const Mat liquid = Rect(192, 96, 64, 64, 0.35);
const Mat chip = Rect(0, 160, 64, 64).Fit();
const Mat rocket = Rect(64, 160, 64, 64, 0.35);
const Mat floor = Rect(128, 160, 64, 64, 0.3);
const Mat hazard = Rect(192, 160, 64, 64, 0.35);
const Mat team = Strip(0, 224, 32, 32, 4, 1, "4200");
const Mat glow = Rect(128, 224, 64, 32, 0.35);
const Mat beacon = Strip(192, 224, 16, 32, 4, 4, "14a00");
}  // namespace tech

Image PaintTechPage() {
  Image img(256, 256);
  img.Paint(0, 0, 64, 64, [](int x, int y) {
    RGBA c = Shade(Col(222, 222, 214), 0.92f + 0.1f * Fbm(x / 6.f, y / 6.f, 2, 401));
    if (x % 32 == 0 || y % 32 == 0) c = Col(150, 150, 146);
    return c;
  });
  img.Paint(64, 0, 64, 64, [](int x, int y) {
    float l = 0.5f + 0.5f * std::sin(x / 64.f * 2 * kPi * 2);
    return Shade(Col(190, 196, 204), 0.55f + 0.55f * l + 0.06f * Rand01(x, y / 8, 402));
  });
  // A made-up world: noise continents on a blue sea, wrapping around in u.
  img.Paint(128, 0, 128, 64, [](int x, int y) {
    float lat = std::fabs(y - 31.5f) / 32.f;
    float n = Fbm(x / 16.f, y / 16.f, 5, 403, 8);
    if (lat > 0.86f) return Col(236, 240, 244);
    if (n > 0.56f)
      return Mix(Col(86, 130, 60), Col(170, 150, 100), Smooth(0.6f, 0.75f, n) + lat * 0.3f);
    return Mix(Col(30, 70, 140), Col(50, 110, 180), n);
  });
  // Console screen: four frames of scrolling text lines and a moving trace.
  for (int f = 0; f < 4; ++f)
    img.Paint(f * 32, 64, 32, 32, [f](int x, int y) {
      if (x < 2 || y < 2 || x > 29 || y > 29) return Col(40, 40, 44);
      RGBA c = Col(10, 26, 30);
      int line = (y + f * 4) / 4;
      if ((y + f * 4) % 4 < 2 && x > 3 && x < 6 + int(Rand01(line, 0, 404) * 20)) c = Col(90, 220, 200);
      float trace = 22 + 4 * std::sin((x + f * 6) / 3.f);
      if (y > 16 && std::fabs(y - trace) < 0.8f) c = Col(250, 200, 80);
      return c;
    });
  img.Paint(128, 64, 64, 32, [](int x, int y) {
    RGBA c = Col(46, 46, 50);
    if (x % 6 > 0 && y % 6 > 0 && y < 30) c = Shade(Col(200, 200, 196), 0.9f - 0.2f * ((y % 6) / 6.f));
    return c;
  });
  img.Paint(192, 64, 64, 32, [](int x, int y) {
    RGBA c = Col(60, 62, 66);
    for (int g = 0; g < 2; ++g) {
      float dx = x - (16 + 32 * g), dy = y - 16.f, d = std::hypot(dx, dy);
      if (d < 13) c = d > 11.5f ? Col(30, 30, 30) : Col(236, 232, 214);
      float a = g ? -0.7f : 0.9f;
      if (d < 11 && std::fabs(dx * std::sin(a) - dy * std::cos(a)) < 0.8f && dx * std::cos(a) + dy * std::sin(a) > 0)
        c = Col(200, 30, 30);
    }
    return c;
  });
  img.Paint(0, 96, 64, 64, [](int x, int y) {
    RGBA c = Shade(Col(26, 84, 70), 0.85f + 0.2f * Fbm(x / 4.f, y / 4.f, 2, 405));
    bool traceH = (y % 8 == 3) && Rand01(x / 12, y / 8, 406) > 0.35f;
    bool traceV = (x % 8 == 5) && Rand01(x / 8, y / 12, 407) > 0.5f;
    if (traceH || traceV) c = Col(200, 170, 80);
    if (std::hypot(float(x % 8 - 5), float(y % 8 - 3)) < 1.5f && Rand01(x / 8, y / 8, 408) > 0.7f)
      c = Col(230, 220, 170);
    return c;
  });
  img.Paint(64, 96, 64, 64, [](int x, int y) {
    float l = 0.5f + 0.5f * std::sin(y / 4.f * 2 * kPi / 2);
    return Shade(Col(190, 110, 60), 0.5f + 0.7f * l);
  });
  img.Paint(128, 96, 64, 64, [](int x, int y) {
    RGBA c = Mix(Col(170, 220, 230), Col(90, 150, 180), x / 64.f);
    if (x > 10 && x < 18) c = Mix(c, Col(250, 255, 255), 0.7f);
    return c;
  });
  img.Paint(192, 96, 64, 64, [](int x, int y) {
    RGBA c = Mix(Col(240, 120, 40), Col(170, 40, 110), y / 64.f);
    float b = ValueNoise(x / 4.f, y / 4.f, 409);
    if (b > 0.8f) c = Mix(c, Col(255, 240, 220), 0.6f);
    return c;
  });
  img.Paint(0, 160, 64, 64, [](int x, int y) {
    RGBA c = Col(34, 34, 38);
    if ((x < 6 || x > 57) && y % 6 < 3 && y > 4 && y < 60) c = Col(210, 190, 110);
    if ((y < 6 || y > 57) && x % 6 < 3 && x > 4 && x < 60) c = Col(210, 190, 110);
    if (x > 16 && x < 48 && y > 26 && y < 30 && x % 4 < 3) c = Col(190, 190, 190);
    if (std::hypot(x - 18.f, y - 18.f) < 3) c = Col(70, 70, 76);
    return c;
  });
  img.Paint(64, 160, 64, 64, [](int x, int y) {
    RGBA c = Col(232, 230, 226);
    if (y % 32 > 24) c = Col(190, 40, 36);
    if (x % 32 < 2) c = Col(170, 170, 166);
    return Shade(c, 0.92f + 0.08f * Fbm(x / 5.f, y / 5.f, 2, 410));
  });
  img.Paint(128, 160, 64, 64, [](int x, int y) {
    RGBA c = Col(86, 90, 96);
    if ((x / 4 + y / 4) % 4 == 0 && (x % 4 + y % 4) < 4) c = Col(130, 136, 142);
    return Shade(c, 0.9f + 0.15f * Fbm(x / 8.f, y / 8.f, 2, 411));
  });
  img.Paint(192, 160, 64, 64, [](int x, int y) {
    bool yellow = ((x + y) / 8) % 2 == 0;
    return yellow ? Col(230, 186, 30) : Col(30, 30, 30);
  });
  for (int t = 0; t < 4; ++t)
    img.Paint(t * 32, 224, 32, 32, [t](int x, int y) { return TeamFrame(t, x, y, 412); });
  img.Paint(128, 224, 64, 32, [](int x, int y) {
    float band = std::fabs(y - 15.5f) / 16.f;
    float n = Fbm(x / 6.f, y / 4.f, 3, 413);
    return Mix(Col(250, 255, 255), Col(40, 90, 220), Clamp01(band * 1.3f + 0.3f * n));
  });
  // Beacon lamp: on, fading, off, off.
  const float level[4] = {1.f, 0.45f, 0.08f, 0.08f};
  for (int f = 0; f < 4; ++f)
    img.Paint(192 + f * 16, 224, 16, 32, [&level, f](int x, int y) {
      float glowAt = 1.f - std::fabs(y - 15.5f) / 16.f;
      RGBA on = Mix(Col(255, 120, 40), Col(255, 250, 220), glowAt * glowAt);
      RGBA c = Mix(Col(70, 16, 10), on, level[f]);
      if (y < 2 || y > 29) c = Col(60, 60, 64);
      return c;
    });
  return img;
}

// ---------------------------------------------------------------- cursor

Image PaintCursor() {
  // An arrow with its tip at (2, 2); it and its shadow stay inside the top-left 44 x 44 texels of
  // 64 x 64, because the viewer shows only the top-left 70 % of the image.
  const float poly[][2] = {{2, 2}, {2, 33}, {10, 26}, {16, 38}, {21, 35.5f}, {15.5f, 24}, {26, 24}};
  const int n = 7;
  auto inside = [&](float px, float py) {
    bool in = false;
    for (int i = 0, j = n - 1; i < n; j = i++) {
      if ((poly[i][1] > py) != (poly[j][1] > py) &&
          px < (poly[j][0] - poly[i][0]) * (py - poly[i][1]) / (poly[j][1] - poly[i][1]) + poly[i][0])
        in = !in;
    }
    return in;
  };
  auto edgeDist = [&](float px, float py) {
    float best = 1e9f;
    for (int i = 0, j = n - 1; i < n; j = i++) {
      float ax = poly[j][0], ay = poly[j][1], bx = poly[i][0], by = poly[i][1];
      float vx = bx - ax, vy = by - ay, t = ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy);
      t = Clamp01(t);
      best = std::min(best, std::hypot(px - (ax + t * vx), py - (ay + t * vy)));
    }
    return best;
  };
  Image img(64, 64);
  img.Paint(0, 0, 64, 64, [&](int x, int y) {
    // 4 x 4 samples per texel for a smooth edge.
    float fill = 0, rim = 0, shadow = 0;
    for (int sy = 0; sy < 4; ++sy)
      for (int sx = 0; sx < 4; ++sx) {
        float px = x + (sx + 0.5f) / 4, py = y + (sy + 0.5f) / 4;
        bool in = inside(px, py);
        float d = edgeDist(px, py);
        if (in && d > 1.6f) fill += 1;
        if (in || d < 1.2f) rim += 1;
        if (inside(px - 2, py - 2) || edgeDist(px - 2, py - 2) < 2.5f) shadow += 1;
      }
    fill /= 16, rim /= 16, shadow /= 16;
    RGBA body = Mix(Col(255, 246, 190), Col(230, 170, 40), Clamp01((x + y) / 60.f));
    RGBA c = Mix(Col(30, 24, 16), body, rim > 0 ? fill / rim : 0);
    float a = std::max(rim, 0.35f * shadow);
    if (rim <= 0) c = Col(0, 0, 0);
    c.a = a;
    return c;
  });
  return img;
}

}  // namespace kit
