// Parametric parts (boxes, hulls, frustums, spheres, tori, cards, struts) and the PIE and ANIM3D
// text they become.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include "sample_kit.h"

namespace kit {

namespace {
constexpr double kPi = 3.14159265358979323846;
double Rad(double deg) { return deg * kPi / 180.0; }
}  // namespace

Xf operator*(const Xf& a, const Xf& b) {
  Xf r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
  r.t = a(b.t);
  return r;
}
Xf Move(double x, double y, double z) {
  Xf r;
  r.t = {x, y, z};
  return r;
}
Xf Scale(double sx, double sy, double sz) {
  Xf r;
  r.m[0][0] = sx;
  r.m[1][1] = sy;
  r.m[2][2] = sz;
  return r;
}
Xf TurnX(double d) {
  Xf r;
  double c = std::cos(Rad(d)), s = std::sin(Rad(d));
  r.m[1][1] = c;
  r.m[1][2] = -s;
  r.m[2][1] = s;
  r.m[2][2] = c;
  return r;
}
Xf TurnY(double d) {
  Xf r;
  double c = std::cos(Rad(d)), s = std::sin(Rad(d));
  r.m[0][0] = c;
  r.m[0][2] = s;
  r.m[2][0] = -s;
  r.m[2][2] = c;
  return r;
}
Xf TurnZ(double d) {
  Xf r;
  double c = std::cos(Rad(d)), s = std::sin(Rad(d));
  r.m[0][0] = c;
  r.m[0][1] = -s;
  r.m[1][0] = s;
  r.m[1][1] = c;
  return r;
}

// Pictures sit edge to edge on a page, and bilinear filtering (and the first mip level) reads one
// texel beyond the coordinates: keep a texel clear of each picture's edge.
Mat Rect(int u0, int v0, int w, int h, double tpu) {
  Mat m;
  m.u0 = u0 + 1;
  m.v0 = v0 + 1;
  m.u1 = u0 + w - 1;
  m.v1 = v0 + h - 1;
  m.tpu = tpu;
  return m;
}

Mat Strip(int u0, int v0, int w, int h, int frames, int rate, const std::string& flag) {
  Mat m = Rect(u0, v0, w, h);
  m.frames = frames;
  m.rate = rate;
  m.fw = w;
  m.fh = h;
  m.flag = flag;
  m.fit = true;
  return m;
}

namespace {

V3 Newell(const std::vector<V3>& p) {
  V3 n;
  for (size_t i = 0; i < p.size(); ++i) {
    const V3& a = p[i];
    const V3& b = p[(i + 1) % p.size()];
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return n;
}

V3 Centroid(const std::vector<V3>& p) {
  V3 c;
  for (const V3& q : p) c = c + q;
  return c * (1.0 / double(p.size()));
}

}  // namespace

void AddPoly(Level& L, const Xf& X, std::vector<V3> pts, std::vector<UV> uv, const Mat& m,
             V3 inside) {
  for (V3& p : pts) p = X(p);
  V3 in = X(inside);
  // Newell's normal follows the right-hand rule; in the viewer's left-handed view a polygon is
  // seen from the side it points to when its corners run clockwise on screen, so the normal
  // must point away from the solid.
  V3 n = Newell(pts);
  double side = Dot(n, Centroid(pts) - in);
  // With `inside` on the polygon's own plane the facing is a coin toss: a modelling mistake.
  if (std::fabs(side) < 1e-6 * Dot(n, n)) {
    std::fprintf(stderr, "make_sample: a polygon (flag %s) lies in the plane of its inside point\n",
                 m.flag.c_str());
    std::abort();
  }
  if (side < 0) {
    std::reverse(pts.begin(), pts.end());
    std::reverse(uv.begin(), uv.end());
  }
  L.polys.push_back({std::move(pts), std::move(uv), m});
}

void Face(Level& L, const Xf& X, const std::vector<V3>& pts, const Mat& m, V3 inside) {
  V3 n = Newell(pts);
  double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
  std::vector<UV> st;
  for (const V3& p : pts) {
    if (ay >= ax && ay >= az)
      st.push_back({p.x, p.z});
    else if (ax >= az)
      st.push_back({p.z, -p.y});
    else
      st.push_back({p.x, -p.y});
  }
  double smin = 1e30, smax = -1e30, tmin = 1e30, tmax = -1e30;
  for (const UV& q : st) {
    smin = std::min(smin, q.u);
    smax = std::max(smax, q.u);
    tmin = std::min(tmin, q.v);
    tmax = std::max(tmax, q.v);
  }
  double W = m.u1 - m.u0, H = m.v1 - m.v0;
  double sr = std::max(smax - smin, 1e-6), tr = std::max(tmax - tmin, 1e-6);
  double ku = m.fit ? W / sr : std::min(m.tpu, W / sr);
  double kv = m.fit ? H / tr : std::min(m.tpu, H / tr);
  std::vector<UV> uv;
  for (const UV& q : st) uv.push_back({m.u0 + (q.u - smin) * ku, m.v0 + (q.v - tmin) * kv});
  AddPoly(L, X, pts, uv, m, inside);
}

void BoxSides(Level& L, const Xf& X, V3 lo, V3 hi, const Mat& sides, const Mat& top,
              const Mat& bottom) {
  V3 c = (lo + hi) * 0.5;
  V3 p[8];
  for (int i = 0; i < 8; ++i)
    p[i] = {(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
  Face(L, X, {p[0], p[1], p[3], p[2]}, sides, c);  // -z
  Face(L, X, {p[4], p[5], p[7], p[6]}, sides, c);  // +z
  Face(L, X, {p[0], p[4], p[6], p[2]}, sides, c);  // -x
  Face(L, X, {p[1], p[5], p[7], p[3]}, sides, c);  // +x
  Face(L, X, {p[2], p[3], p[7], p[6]}, top, c);    // +y
  Face(L, X, {p[0], p[1], p[5], p[4]}, bottom, c); // -y
}

void Box(Level& L, const Xf& X, V3 lo, V3 hi, const Mat& m) { BoxSides(L, X, lo, hi, m, m, m); }

void Hull(Level& L, const Xf& X, const std::vector<HullPt>& pr, const Mat& body, const Mat& sides) {
  V3 c;
  for (const HullPt& h : pr) c = c + V3{0, h.y, h.z};
  c = c * (1.0 / double(pr.size()));
  std::vector<V3> left, right;
  for (const HullPt& h : pr) {
    left.push_back({-h.w, h.y, h.z});
    right.push_back({h.w, h.y, h.z});
  }
  Face(L, X, left, sides, c);
  Face(L, X, right, sides, c);
  for (size_t i = 0; i < pr.size(); ++i) {
    const HullPt& a = pr[i];
    const HullPt& b = pr[(i + 1) % pr.size()];
    if (a.w < 1e-9 && b.w < 1e-9) continue;
    std::vector<V3> q = {{-a.w, a.y, a.z}, {a.w, a.y, a.z}, {b.w, b.y, b.z}, {-b.w, b.y, b.z}};
    if (a.w < 1e-9) q = {{0, a.y, a.z}, {b.w, b.y, b.z}, {-b.w, b.y, b.z}};
    if (b.w < 1e-9) q = {{-a.w, a.y, a.z}, {a.w, a.y, a.z}, {0, b.y, b.z}};
    Face(L, X, q, body, c);
  }
}

void Frustum(Level& L, const Xf& X, double r0, double r1, double h, int seg, const Mat& side,
             const Mat* bottomCap, const Mat* topCap, double startDeg) {
  V3 c{0, h * 0.5, 0};
  double W = side.u1 - side.u0, H = side.v1 - side.v0;
  double circ = 2 * kPi * std::max(r0, r1);
  double slant = std::sqrt(h * h + (r0 - r1) * (r0 - r1));
  double spanU = side.fit ? W : std::min(W, circ * side.tpu);
  double spanV = side.fit ? H : std::min(H, slant * side.tpu);
  auto at = [&](double r, int i, double y) {
    double a = Rad(startDeg + 360.0 * i / seg);
    return V3{r * std::cos(a), y, r * std::sin(a)};
  };
  for (int i = 0; i < seg; ++i) {
    double ua = side.u0 + spanU * i / seg, ub = side.u0 + spanU * (i + 1) / seg;
    if (r1 < 1e-9) {
      AddPoly(L, X, {at(r0, i, 0), at(r0, i + 1, 0), {0, h, 0}},
              {{ua, side.v0 + spanV}, {ub, side.v0 + spanV}, {(ua + ub) / 2, double(side.v0)}},
              side, c);
    } else if (r0 < 1e-9) {
      AddPoly(L, X, {{0, 0, 0}, at(r1, i + 1, h), at(r1, i, h)},
              {{(ua + ub) / 2, side.v0 + spanV}, {ub, double(side.v0)}, {ua, double(side.v0)}},
              side, c);
    } else {
      AddPoly(L, X, {at(r0, i, 0), at(r0, i + 1, 0), at(r1, i + 1, h), at(r1, i, h)},
              {{ua, side.v0 + spanV},
               {ub, side.v0 + spanV},
               {ub, double(side.v0)},
               {ua, double(side.v0)}},
              side, c);
    }
  }
  auto cap = [&](double r, double y, const Mat& m) {
    std::vector<V3> p;
    std::vector<UV> uv;
    double cu = (m.u0 + m.u1) * 0.5, cv = (m.v0 + m.v1) * 0.5;
    double rr = std::min(m.u1 - m.u0, m.v1 - m.v0) * 0.5;
    if (!m.fit) rr = std::min(rr, r * m.tpu);
    for (int i = 0; i < seg; ++i) {
      V3 q = at(r, i, y);
      p.push_back(q);
      uv.push_back({cu + rr * q.x / r, cv + rr * q.z / r});
    }
    AddPoly(L, X, p, uv, m, c);
  };
  if (bottomCap && r0 > 1e-9) cap(r0, 0, *bottomCap);
  if (topCap && r1 > 1e-9) cap(r1, h, *topCap);
}

void Cylinder(Level& L, const Xf& X, double r, double h, int seg, const Mat& side, const Mat& cap) {
  Frustum(L, X, r, r, h, seg, side, &cap, &cap);
}

void Tube(Level& L, const Xf& X, double r, double len, int seg, const Mat& side, const Mat& cap) {
  Frustum(L, X * TurnX(90), r, r, len, seg, side, &cap, &cap);
}

void Sphere(Level& L, const Xf& X, double r, int segU, int segV, const Mat& m,
            double (*bump)(V3, int), int seed) {
  double W = m.u1 - m.u0, H = m.v1 - m.v0;
  auto at = [&](int i, int j) {
    double lon = 2 * kPi * i / segU, lat = kPi * j / segV;
    V3 d{std::sin(lat) * std::cos(lon), std::cos(lat), std::sin(lat) * std::sin(lon)};
    double rr = r * (bump ? 1.0 + bump(d, seed) : 1.0);
    return d * rr;
  };
  auto uv = [&](int i, int j) { return UV{m.u0 + W * i / segU, m.v0 + H * j / segV}; };
  for (int j = 0; j < segV; ++j)
    for (int i = 0; i < segU; ++i) {
      if (j == 0)
        AddPoly(L, X, {at(i, 0), at(i + 1, 1), at(i, 1)}, {uv(i, 0), uv(i + 1, 1), uv(i, 1)}, m, {});
      else if (j == segV - 1)
        AddPoly(L, X, {at(i, j), at(i + 1, j), at(i, j + 1)},
                {uv(i, j), uv(i + 1, j), uv(i, j + 1)}, m, {});
      else
        AddPoly(L, X, {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)},
                {uv(i, j), uv(i + 1, j), uv(i + 1, j + 1), uv(i, j + 1)}, m, {});
    }
}

void Torus(Level& L, const Xf& X, double R, double r, int segU, int segV, const Mat& m) {
  double W = m.u1 - m.u0, H = m.v1 - m.v0;
  auto at = [&](int i, int j) {
    double a = 2 * kPi * i / segU, b = 2 * kPi * j / segV;
    double rr = R + r * std::cos(b);
    return V3{rr * std::cos(a), r * std::sin(b), rr * std::sin(a)};
  };
  auto ring = [&](int i) {
    double a = 2 * kPi * (i + 0.5) / segU;
    return V3{R * std::cos(a), 0, R * std::sin(a)};
  };
  for (int i = 0; i < segU; ++i)
    for (int j = 0; j < segV; ++j)
      AddPoly(L, X, {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)},
              {{m.u0 + W * i / segU, m.v0 + H * j / segV},
               {m.u0 + W * (i + 1) / segU, m.v0 + H * j / segV},
               {m.u0 + W * (i + 1) / segU, m.v0 + H * (j + 1) / segV},
               {m.u0 + W * i / segU, m.v0 + H * (j + 1) / segV}},
              m, ring(i));
}

void Card(Level& L, const Xf& X, double w, double h, const Mat& m) {
  AddPoly(L, X, {{-w / 2, 0, 0}, {-w / 2, h, 0}, {w / 2, h, 0}, {w / 2, 0, 0}},
          {{double(m.u0), double(m.v1)},
           {double(m.u0), double(m.v0)},
           {double(m.u1), double(m.v0)},
           {double(m.u1), double(m.v1)}},
          m, {0, h / 2, 1});
}

void Beam(Level& L, const Xf& X, V3 a, V3 b, double t, const Mat& m) {
  V3 d = b - a;
  double len = std::sqrt(Dot(d, d));
  if (len < 1e-9) return;
  V3 z = d * (1.0 / len);
  V3 up = std::fabs(z.y) > 0.9 ? V3{1, 0, 0} : V3{0, 1, 0};
  V3 x = Cross(up, z);
  x = x * (1.0 / std::sqrt(Dot(x, x)));
  V3 y = Cross(z, x);
  Xf B;
  B.m[0][0] = x.x, B.m[1][0] = x.y, B.m[2][0] = x.z;
  B.m[0][1] = y.x, B.m[1][1] = y.y, B.m[2][1] = y.z;
  B.m[0][2] = z.x, B.m[1][2] = z.y, B.m[2][2] = z.z;
  B.t = a;
  Box(L, X * B, {-t / 2, -t / 2, 0}, {t / 2, t / 2, len}, m);
}

int PolygonCount(const Model& m) {
  int n = 0;
  for (const Level& l : m.levels) n += int(l.polys.size());
  return n;
}

void Normalise(Model& m) {
  // The viewer turns the model about its origin: centre the footprint there, so that the model
  // can be as large as possible without leaving the screen while it turns.
  double xlo = 1e30, xhi = -1e30, zlo = 1e30, zhi = -1e30, ylo = 1e30, yhi = -1e30;
  for (const Level& l : m.levels)
    for (const Poly& p : l.polys)
      for (const V3& q : p.p) {
        xlo = std::min(xlo, q.x), xhi = std::max(xhi, q.x);
        ylo = std::min(ylo, q.y), yhi = std::max(yhi, q.y);
        zlo = std::min(zlo, q.z), zhi = std::max(zhi, q.z);
      }
  const double cx = (xlo + xhi) * 0.5, cz = (zlo + zhi) * 0.5;
  double rad = 0;
  for (const Level& l : m.levels)
    for (const Poly& p : l.polys)
      for (const V3& q : p.p) rad = std::max(rad, std::hypot(q.x - cx, q.z - cz));
  double s = std::min(m.fitHeight / std::max(yhi - ylo, 1.0), m.fitRadius / std::max(rad, 1.0));
  double dy = -(ylo + yhi) * 0.5 * s + m.lift * (yhi - ylo) * s;
  auto fix = [&](V3& q) { q = {(q.x - cx) * s, q.y * s + dy, (q.z - cz) * s}; };
  bool trans = m.anim.kind == Anim::kTrans;
  Xf yaw = TurnY(m.yaw);
  for (Level& l : m.levels) {
    for (Poly& p : l.polys)
      for (V3& q : p.p) fix(q);
    for (V3& q : l.connectors) fix(q);
    // A level left at the origin (a transform animation's static base) stays there, so that its
    // frames carry no offset.
    if (l.pivot.x != 0 || l.pivot.y != 0 || l.pivot.z != 0) fix(l.pivot);
    l.placed = yaw(l.pivot);
    // A transform-animated level keeps its own axes (it spins about them) and is turned by the
    // animation instead; everything else is turned here.
    if (!trans) {
      for (Poly& p : l.polys)
        for (V3& q : p.p) q = yaw(q);
      for (V3& q : l.connectors) q = yaw(q);
      l.pivot = l.placed;
    }
  }
  if (m.anim.key) {
    auto key = m.anim.key;
    double turn = m.yaw;
    m.anim.key = [key, s, turn](int level, int frame) {
      Key k = key(level, frame);
      k.move = TurnY(turn)(k.move * s);
      k.rot.y += turn;
      return k;
    };
  }
}

namespace {

long Round(double v) { return std::lround(v); }

void Append(std::string& out, const char* fmt, long a) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, a);
  out += buf;
}

}  // namespace

bool AnimatedFlag(const std::string& flag) {
  for (const char* f : {"4200", "4a00", "6200", "6a00", "14200", "14a00", "16a00"})
    if (flag == f) return true;
  return false;
}

std::string PieText(const Model& m) {
  bool trans = m.anim.kind == Anim::kTrans;
  std::string out = "PIE 2\nTYPE 200\nTEXTURE 0 " + m.page + " 256 256\n";
  Append(out, "LEVELS %ld\n", long(m.levels.size()));
  for (size_t li = 0; li < m.levels.size(); ++li) {
    const Level& l = m.levels[li];
    V3 origin = trans ? l.pivot : V3{};
    std::map<std::tuple<long, long, long>, int> index;
    std::vector<std::tuple<long, long, long>> points;
    std::string polys;
    int polyCount = 0;
    for (const Poly& p : l.polys) {
      std::vector<int> ids;
      std::vector<UV> uvs;
      for (size_t c = 0; c < p.p.size(); ++c) {
        V3 q = p.p[c] - origin;
        auto key = std::make_tuple(Round(q.x), Round(q.y), Round(q.z));
        auto it = index.find(key);
        int id;
        if (it == index.end()) {
          id = int(points.size());
          index[key] = id;
          points.push_back(key);
        } else {
          id = it->second;
        }
        // Corners that round onto the same point would make empty triangles.
        if (!ids.empty() && (ids.back() == id || (c + 1 == p.p.size() && ids.front() == id)))
          continue;
        ids.push_back(id);
        uvs.push_back(p.uv[c]);
      }
      if (ids.size() < 3) continue;
      if (AnimatedFlag(p.m.flag) != p.m.Animated()) {
        std::fprintf(stderr, "make_sample: %s: flag %s and its strip disagree\n", m.name.c_str(),
                     p.m.flag.c_str());
        std::abort();
      }
      ++polyCount;
      polys += "\t" + p.m.flag;
      Append(polys, " %ld", long(ids.size()));
      for (int id : ids) Append(polys, " %ld", long(id));
      if (p.m.Animated()) {
        Append(polys, " %ld", long(p.m.frames));
        Append(polys, " %ld", long(p.m.rate));
        Append(polys, " %ld", long(p.m.fw));
        Append(polys, " %ld", long(p.m.fh));
      }
      for (const UV& t : uvs) {
        Append(polys, " %ld", std::clamp(Round(t.u), 0L, 256L));
        Append(polys, " %ld", std::clamp(Round(t.v), 0L, 256L));
      }
      polys += "\n";
    }
    Append(out, "LEVEL %ld\n", long(li + 1));
    Append(out, "POINTS %ld\n", long(points.size()));
    for (const auto& p : points) {
      Append(out, "\t%ld", std::get<0>(p));
      Append(out, " %ld", std::get<1>(p));
      Append(out, " %ld\n", std::get<2>(p));
    }
    Append(out, "POLYGONS %ld\n", long(polyCount));
    out += polys;
    if (!l.connectors.empty()) {
      if (l.bsp) {
        // A small split-plane tree over the first polygons: node, front, back, polygon list.
        out += "BSP\n";
        int n = std::min(polyCount, 6);
        for (int i = 0; i < n; ++i) {
          Append(out, "\t%ld", long(i));
          Append(out, " %ld", long(i + 1 < n ? i + 1 : -1));
          Append(out, " %ld", -1L);
          Append(out, " 1 %ld\n", long(i));
        }
      }
      Append(out, "CONNECTORS %ld\n", long(l.connectors.size()));
      for (const V3& c0 : l.connectors) {
        V3 c = c0 - origin;
        Append(out, "\t%ld", Round(c.x));
        Append(out, " %ld", Round(c.y));
        Append(out, " %ld\n", Round(c.z));
      }
    }
  }
  return out;
}

std::string AnimText(const Model& m) {
  const Anim& a = m.anim;
  std::string out;
  auto frameLine = [&](int f, const Key& k, V3 pivot) {
    V3 p = (pivot + k.move) * 1000.0;  // thousandths of a PIE unit
    // Each triple is written x, z, y; rotations in thousandths of a degree.
    Append(out, "\t%ld", long(f));
    Append(out, "  %ld", Round(p.x));
    Append(out, " %ld", Round(p.z));
    Append(out, " %ld", Round(p.y));
    // The viewer turns about z the other way round from x and y, hence the sign.
    Append(out, "  %ld", Round(k.rot.x * 1000));
    Append(out, " %ld", Round(-k.rot.z * 1000));
    Append(out, " %ld", Round(k.rot.y * 1000));
    out += "  0 0 0\n";
  };
  if (a.kind == Anim::kFrames) {
    out += "ANIM3DFRAMES \"" + a.nameToken + ".pie\"";
    Append(out, " %ld", long(a.frames));
    Append(out, " %ld\n0 {\n", long(a.rate));
    for (int f = 0; f < a.frames; ++f) frameLine(f, Key{}, V3{});
    out += "}\n";
  } else if (a.kind == Anim::kTrans) {
    out += "ANIM3DTRANS \"" + a.nameToken + ".pie\"";
    Append(out, " %ld", long(a.frames));
    Append(out, " %ld", long(a.rate));
    Append(out, " %ld {\n", long(m.levels.size()));
    for (size_t o = 0; o < m.levels.size(); ++o) {
      Append(out, "  ANIMOBJECT %ld", long(o));
      Append(out, " \"level%ld\" {\n", long(o + 1));
      for (int f = 0; f < a.frames; ++f) frameLine(f, a.key(int(o), f), m.levels[o].placed);
      out += "  }\n";
    }
    out += "}\n";
  }
  return out;
}

}  // namespace kit
