// The sample data set's building kit: parametric geometry that becomes PIE text, procedural
// painting that becomes DDS texture pages, and the writers for both.
//
// Everything here is deterministic: no clocks, no std::random distributions (their output differs
// between standard libraries), only integer hashing and plain arithmetic.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kit {

// ---------------------------------------------------------------- geometry

struct V3 {
  double x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 Cross(V3 a, V3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// An affine transform; (A * B) applies B first.
struct Xf {
  double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  V3 t;
  V3 operator()(V3 p) const {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + t.x,
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + t.y,
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + t.z};
  }
};
Xf operator*(const Xf& a, const Xf& b);
Xf Move(double x, double y, double z);
Xf Scale(double sx, double sy, double sz);
Xf TurnX(double degrees);  // about +X; the angles only need to be consistent within this kit
Xf TurnY(double degrees);
Xf TurnZ(double degrees);

// A texel rectangle of a 256 x 256 page and how polygons use it.
struct Mat {
  int u0 = 0, v0 = 0, u1 = 64, v1 = 64;
  std::string flag = "200";
  double tpu = 0.5;    // texels per PIE unit when a face is mapped by its size
  bool fit = false;    // map every face onto the whole rectangle instead
  // Texture-animation strip: frame count, rate and frame size; frames lie side by side from the
  // strip's first frame, and the rectangle is the part of frame 0 that polygons show.
  int frames = 0, rate = 0, fw = 0, fh = 0;
  Mat With(const std::string& f) const {
    Mat m = *this;
    m.flag = f;
    return m;
  }
  Mat Fit() const {
    Mat m = *this;
    m.fit = true;
    return m;
  }
  Mat Sub(int du0, int dv0, int w, int h) const {  // a part of the rectangle
    Mat m = *this;
    m.u0 = u0 + du0;
    m.v0 = v0 + dv0;
    m.u1 = m.u0 + w;
    m.v1 = m.v0 + h;
    return m;
  }
  bool Animated() const { return frames > 0; }
};
Mat Rect(int u0, int v0, int w, int h, double tpu = 0.5);
Mat Strip(int u0, int v0, int w, int h, int frames, int rate, const std::string& flag);

struct UV {
  double u = 0, v = 0;
};

struct Poly {
  std::vector<V3> p;
  std::vector<UV> uv;
  Mat m;
};

struct Level {
  std::vector<Poly> polys;
  std::vector<V3> connectors;
  bool bsp = false;  // write a BSP block before the connectors
  V3 pivot;          // transform-animated levels are written relative to this point
  V3 placed;         // where the animation puts the pivot (after Normalise)
};

// One keyframe animation: per level, per frame, a rotation (degrees, turned about x, then z, then
// y, as TurnX, TurnZ and TurnY turn) and an offset added to the level's pivot (PIE units).
struct Key {
  V3 rot, move;
};
struct Anim {
  enum Kind { kNone, kFrames, kTrans } kind = kNone;
  int frames = 0, rate = 10;
  std::string fileName;   // ANIM3D file, e.g. "hq.ani"
  std::string nameToken;  // the model name as the file writes it (letter case may differ)
  std::function<Key(int level, int frame)> key;
};

struct Model {
  std::string name;  // at most 9 characters
  std::string page;  // as the PIE file names it, e.g. "dfunits.pcx"
  std::vector<Level> levels;
  Anim anim;
  double fitHeight = 620, fitRadius = 370;  // PIE units the model is scaled into
  double lift = 0;                          // fraction of the height the centre sits above y 0
  double yaw = 0;  // degrees about +Y, so that the first view is three-quarters, not head-on
  bool team = false;  // listed after "SetTeamColorsFlag(true)" in a flag-aware manifest
};

// A one-level model on a page, turned by `yaw` degrees for a three-quarter first view.
inline Model StartModel(const char* name, const char* page, double yaw = -30) {
  Model m;
  m.name = name;
  m.page = page;
  m.levels.resize(1);
  m.yaw = yaw;
  return m;
}

// A transform animation whose keys come from `key` for each level and frame.
inline Anim Turning(const char* file, const char* token, int frames, int rate,
                    std::function<Key(int, int)> key) {
  Anim a;
  a.kind = Anim::kTrans;
  a.frames = frames;
  a.rate = rate;
  a.fileName = file;
  a.nameToken = token;
  a.key = std::move(key);
  return a;
}

// Adds a polygon; its corners are put in the order that faces away from `inside`
// (clockwise on screen when seen from outside, as D3DCULL_CCW wants).
void AddPoly(Level& L, const Xf& X, std::vector<V3> pts, std::vector<UV> uv, const Mat& m,
             V3 inside);
// Same, with texture positions projected from the polygon's plane onto the material.
void Face(Level& L, const Xf& X, const std::vector<V3>& pts, const Mat& m, V3 inside);

void Box(Level& L, const Xf& X, V3 lo, V3 hi, const Mat& m);
void BoxSides(Level& L, const Xf& X, V3 lo, V3 hi, const Mat& sides, const Mat& top,
              const Mat& bottom);
// A hull: a convex side profile in the (z, y) plane, each corner with its own half width in x.
struct HullPt {
  double z, y, w;
};
void Hull(Level& L, const Xf& X, const std::vector<HullPt>& profile, const Mat& body,
          const Mat& sides);
// A frustum along +y from y 0 to h; r1 0 makes a cone. Caps are single polygons.
void Frustum(Level& L, const Xf& X, double r0, double r1, double h, int seg, const Mat& side,
             const Mat* bottomCap, const Mat* topCap, double startDeg = 0);
void Cylinder(Level& L, const Xf& X, double r, double h, int seg, const Mat& side, const Mat& cap);
void Sphere(Level& L, const Xf& X, double r, int segU, int segV, const Mat& m,
            double (*bump)(V3 dir, int seed) = nullptr, int seed = 0);
void Torus(Level& L, const Xf& X, double R, double r, int segU, int segV, const Mat& m);
// A flat card in the local XY plane, x -w/2..w/2, y 0..h, facing -z.
void Card(Level& L, const Xf& X, double w, double h, const Mat& m);
// A tube along local +z from 0 to len, for barrels and pipes.
void Tube(Level& L, const Xf& X, double r, double len, int seg, const Mat& side, const Mat& cap);
// A strut from a to b with a square cross-section.
void Beam(Level& L, const Xf& X, V3 a, V3 b, double thick, const Mat& m);

int PolygonCount(const Model& m);
std::string PieText(const Model& m);  // after Normalise
std::string AnimText(const Model& m);
// Scales and lifts the model into the viewer's frame (see fitHeight, fitRadius).
void Normalise(Model& m);

// ---------------------------------------------------------------- painting

struct RGBA {
  float r = 0, g = 0, b = 0, a = 1;
};
inline RGBA Col(int r, int g, int b, int a = 255) {
  return {r / 255.f, g / 255.f, b / 255.f, a / 255.f};
}
RGBA Mix(RGBA a, RGBA b, float t);
RGBA Shade(RGBA c, float f);  // multiplies the colour channels

class Image {
 public:
  Image(int w, int h) : w_(w), h_(h), px_(size_t(w) * h) {}
  int W() const { return w_; }
  int H() const { return h_; }
  RGBA& At(int x, int y) { return px_[size_t(y) * w_ + x]; }
  const RGBA& At(int x, int y) const { return px_[size_t(y) * w_ + x]; }
  // Calls f(x, y) with coordinates local to the rectangle and stores its colour.
  void Paint(int x0, int y0, int w, int h, const std::function<RGBA(int, int)>& f);
  std::vector<uint8_t> Bytes(bool keepPureGreen) const;  // RGBA8, rows top first

 private:
  int w_, h_;
  std::vector<RGBA> px_;
};

uint32_t Hash(int x, int y, int seed);
float Rand01(int x, int y, int seed);
float ValueNoise(float x, float y, int seed, int period = 0);  // smooth, 0..1
float Fbm(float x, float y, int octaves, int seed, int period = 0);

// The colour that the viewer keys out of pages: opaque pure green.
extern const RGBA kHole;

std::vector<uint8_t> DdsArgb(const Image& img, bool keepPureGreen);
std::vector<uint8_t> DdsDxt(const Image& img, bool dxt5);

// ---------------------------------------------------------------- output

// Writes a file, creating its folders; false when it cannot be written whole.
bool WriteBytes(const std::filesystem::path& path, const std::string& bytes);
bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
// Manifests are written as a Windows editor saves them: one entry a line, CR LF.
std::string Lines(const std::vector<std::string>& lines);

// ---------------------------------------------------------------- the data set

// The texture pages; each returns the page and fills nothing else.
Image PaintUnitsPage();
Image PaintBuildPage();
Image PaintNaturePage();
Image PaintFxPage();
Image PaintTechPage();
Image PaintCursor();

// Materials of the pages (texel rectangles), shared by the model builders.
namespace units {
extern const Mat camo, armour, gunmetal, tread, wheel, grille, hazard, team, sand, glass, lamp,
    barrel, dark;
}
namespace build {
extern const Mat concrete, brick, corrugated, steel, windows, door, hazard, vent, tiles, pipe,
    asphalt, sandbag, planks, dish, rust, team, chimney;
}
namespace nature {
extern const Mat bark, leaves, pine, stone, plaster, frond, sail, flag, thatch, wood, grass, iron;
}
namespace fx {
extern const Mat blast, smoke, flame;
}
namespace tech {
extern const Mat plastic, chrome, globe, screen, keys, gauges, circuit, copper, glass, liquid,
    chip, rocket, floor, hazard, team, glow, beacon;
}

// The models of each category, in manifest order.
std::vector<Model> Bodies();
std::vector<Model> Propulsions();
std::vector<Model> Weapons();
std::vector<Model> Structures();
std::vector<Model> Features();
std::vector<Model> Miscelaneous();
std::vector<Model> Research();
std::vector<Model> Effects();

}  // namespace kit
