// make_bench_set <outdir> [models] [pages]: writes a large data set for the load, beat and memory
// benchmarks (10,000 models on 50 texture pages by default) in the bundled data set's layout.
//
// What it holds, so that loading it exercises everything a real data set does:
// - models of varied size, from a 6-polygon box to spheres and tori of several hundred polygons,
//   spread evenly over the eight categories, in plain and flag-aware manifests;
// - every polygon kind the PIE reader knows, the animated ones with texture strips;
// - exactly one model in ten texture-animated where the animation step rebuilds it (not
//   team-coloured: 1,000 of the default 10,000), the rest of the animated kinds in team-coloured
//   categories, where they stay on frame 0;
// - ANIM3D keyframe animations, both kinds, on one model in twenty;
// - DXT1, DXT5 and 32-bit pages with mips left to the loader.
// The output is the same, byte for byte, on every run.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "sample_kit.h"

namespace {

namespace fs = std::filesystem;
using namespace kit;

struct Category {
  const char* label;
  const char* folder;
  const char* manifest;
  const char* prefix;  // two letters starting every model name of the category
  bool flagAware;
  bool teamColored;  // what the start-up order leaves the category's models as
};

// In the start-up order of the bundled set: Bodies switch team colours on, Features off,
// Propulsions on again, and the two categories after it keep that.
const Category kCategories[] = {
    {"Bodies:", "bodies", "Bodies.gam", "bd", false, true},
    {"Features:", "features", "Features.gam", "ft", true, false},
    {"Miscelaneous:", "misc", "Miscelaneous.gam", "ms", true, false},
    {"MiscelaneousIMD:", "research", "MiscelaneousIMD.gam", "rs", true, false},
    {"Effects:", "effects", "Effects.gam", "fx", true, false},
    {"Propulsions:", "propuls", "Propulsions.gam", "pr", false, true},
    {"Structures:", "structs", "Structures.gam", "st", false, true},
    {"Weapons:", "weapons", "Weapons.gam", "wp", false, true},
};

const char* const kStillFlags[] = {"200", "a00", "2200", "2a00", "10200", "10a00"};
const char* const kAnimatedFlags[] = {"4200", "4a00", "6200", "6a00", "14200", "14a00", "16a00"};

std::string Numbered(const char* prefix, int n, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%0*d", prefix, width, n);
  return buf;
}

// A page of eight by eight tiles of hashed colour, a strip of animation frames along the bottom
// and a few pure green holes.
Image PaintPage(int page) {
  Image img(256, 256);
  img.Paint(0, 0, 256, 256, [&](int x, int y) {
    if (y >= 224) {  // eight 32 x 32 frames, each a brighter band further down
      int frame = x / 32;
      float t = float((y - 224 + frame * 4) % 32) / 31.0f;
      return Mix(Col(40, 10, 0), Col(255, 200, 40), t);
    }
    int tile = (y / 32) * 8 + x / 32;
    float r = Rand01(tile, page, 1), g = Rand01(tile, page, 2), b = Rand01(tile, page, 3);
    float grain = 0.8f + 0.2f * Fbm(float(x) / 16.0f, float(y) / 16.0f, 3, page, 16);
    if ((x % 32) >= 28 && (y % 32) >= 28 && tile % 5 == 0) return kHole;
    return RGBA{r * grain, g * grain, b * grain, 1.0f};
  });
  return img;
}

// The material of polygon group `g` of a model: a tile of the page, or the frame strip for the
// animated kinds.
Mat Material(uint32_t h, int g, bool animated) {
  if (animated) {
    const char* flag = kAnimatedFlags[(h + g) % 7];
    int frames = 2 + int((h >> 4) % 7);  // 2..8 frames of 32 x 32
    return Strip(0, 224, 32, 32, frames, 10 + int((h >> 8) % 3) * 10, flag);
  }
  int tile = int((h >> 3) + g * 7) % 56;  // the upper seven rows of tiles
  Mat m = Rect((tile % 8) * 32, (tile / 8) * 32, 32, 32, 0.25);
  m.flag = kStillFlags[(h + g) % 6];
  return m;
}

// One level's shape; the size class makes most models small and a few large.
void AddShape(Level& L, uint32_t h, int g, const Mat& m, double offset) {
  Xf at = Move(offset, 0, 0);
  int size = int(h % 100);
  int detail = size < 50 ? 0 : size < 85 ? 1 : size < 97 ? 2 : 3;
  switch ((h >> 12) % 5) {
    case 0:
      Box(L, at, {-60, 0, -40}, {60, 90 + double(g) * 10, 40}, m);
      if (detail > 0) Box(L, at, {-30, 90, -30}, {30, 150, 30}, m);
      break;
    case 1:
      Sphere(L, at * Move(0, 100, 0), 100, 6 + 6 * detail, 4 + 3 * detail, m);
      break;
    case 2:
      Cylinder(L, at, 70, 160, 6 + 8 * detail, m, m);
      break;
    case 3:
      Torus(L, at * Move(0, 60, 0), 90, 30, 8 + 6 * detail, 4 + 3 * detail, m);
      break;
    default:
      Frustum(L, at, 90, 30, 140, 5 + 6 * detail, m, &m, &m);
      Card(L, at * Move(0, 140, 0), 60, 80, m);
      break;
  }
}

// Model number n (0-based, over the whole set) of a category.
// Page names have two digits up to 100 pages (the default set's names), three beyond.
int PageDigits(int pages) { return pages > 100 ? 3 : 2; }

Model MakeModel(const Category& c, int n, int inCategory, int pages, bool textureAnimated) {
  const uint32_t h = Hash(n, 17, 4242);
  Model m;
  m.name = Numbered(c.prefix, inCategory, 5);
  m.page = Numbered("bench", int(h % uint32_t(pages)), PageDigits(pages)) + ".pcx";
  m.yaw = double(h % 360);

  // One model in twenty has a keyframe animation: frames (one level a frame) or transforms.
  const bool keyframed = n % 20 == 7;
  const bool frames = keyframed && (h >> 20) % 2 == 0;
  const int levels = keyframed ? 2 + int((h >> 21) % 3) : ((h >> 24) % 8 == 0 ? 2 : 1);
  m.levels.resize(size_t(levels));
  // Team-coloured categories still carry the animated kinds, on one model in ten.
  const bool stripped = textureAnimated || (c.teamColored && n % 10 == 3);
  for (int l = 0; l < levels; ++l) {
    Level& L = m.levels[size_t(l)];
    const uint32_t hl = Hash(n, l, 99);
    AddShape(L, hl, l, Material(hl, 0, false), frames ? 0.0 : l * 140.0);
    if (stripped && l == 0) {
      Card(L, Move(0, 200, 0), 80, 80, Material(hl, 1, true));
      Card(L, Move(0, 200, 0) * TurnY(90), 80, 80, Material(hl, 2, true));
    }
    if ((hl >> 5) % 4 == 0) {
      L.connectors = {{0, 150, 0}, {40, 150, 0}};
      L.bsp = (hl >> 7) % 2 == 0;
    }
    if (!frames && levels > 1) L.pivot = {l * 140.0, 0, 0};
  }
  if (keyframed) {
    const std::string file = m.name + ".ani";
    if (frames) {
      m.anim.kind = Anim::kFrames;
      m.anim.frames = levels;
      m.anim.rate = 10;
      m.anim.fileName = file;
      m.anim.nameToken = m.name;
    } else {
      m.anim = Turning(file.c_str(), m.name.c_str(), 8, 10, [](int level, int frame) {
        Key k;
        k.rot.y = level == 0 ? 0 : frame * 45.0;
        return k;
      });
    }
  }
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: make_bench_set <outdir> [models (10000)] [pages (50)]\n");
    return 2;
  }
  const fs::path out = argv[1];
  const int models = argc > 2 ? std::atoi(argv[2]) : 10000;
  const int pages = argc > 3 ? std::atoi(argv[3]) : 50;
  if (models < 8 || models > 99999 * 8 || pages < 1 || pages > 1000) {
    std::fprintf(stderr, "make_bench_set: from 8 to 799992 models and 1 to 1000 pages\n");
    return 2;
  }
  const fs::path root = out / "duskfen";
  bool ok = true;

  std::vector<std::string> startup = {"Animations: duskfen\\anims\\"};
  for (const Category& c : kCategories)
    startup.push_back(std::string(c.label) + " duskfen\\" + c.folder + "\\");
  ok &= WriteBytes(root / "KVRStartUp.gam", Lines(startup));

  std::vector<std::string> animFiles;
  int n = 0, textureAnimated = 0, polygons = 0;
  const int perCategory = models / 8;
  for (size_t ci = 0; ci < 8; ++ci) {
    const Category& c = kCategories[ci];
    const int count = ci + 1 < 8 ? perCategory : models - perCategory * 7;
    std::vector<std::string> manifest;
    for (int i = 0; i < count; ++i, ++n) {
      // One in ten of all models is rebuilt by the texture-animation step: in the four categories
      // loaded without team colours (half the set), one model in five.
      const bool animated = !c.teamColored && i % 5 == 0;
      Model m = MakeModel(c, n, i, pages, animated);
      // Flag-aware manifests switch team colours on around a few models that carry no strip.
      const bool team = c.flagAware && !animated && i % 50 == 11 && i + 1 < count;
      if (team) manifest.push_back("SetTeamColorsFlag(true)");
      manifest.push_back(m.name);
      if (team) manifest.push_back("SetTeamColorsFlag(false)");
      textureAnimated += animated;
      Normalise(m);
      polygons += PolygonCount(m);
      if (m.anim.kind != Anim::kNone) {
        ok &= WriteBytes(root / "anims" / m.anim.fileName, AnimText(m));
        animFiles.push_back(m.anim.fileName);
      }
      ok &= WriteBytes(root / c.folder / (m.name + ".pie"), PieText(m));
    }
    ok &= WriteBytes(root / c.folder / c.manifest, Lines(manifest));
  }
  ok &= WriteBytes(root / "anims" / "Animations.gam", Lines(animFiles));

  for (int p = 0; p < pages; ++p) {
    Image img = PaintPage(p);
    const fs::path path = root / "texpages" / (Numbered("bench", p, PageDigits(pages)) + ".dds");
    ok &= WriteBytes(path, p % 3 == 2 ? DdsArgb(img, true) : DdsDxt(img, p % 3 == 1));
  }
  ok &= WriteBytes(out / "textures" / "kvrcursor.dds", DdsArgb(PaintCursor(), false));

  std::printf("%d models (%d texture-animated, %zu keyframe-animated), %d polygons, %d pages\n",
              n, textureAnimated, animFiles.size(), polygons, pages);
  if (!ok) std::fprintf(stderr, "make_bench_set: could not write everything under %s\n", argv[1]);
  return ok ? 0 : 1;
}
