#include "model/model_geometry.h"

#include <algorithm>
#include <limits>
#include <string>

#include "app/device.h"
#include "app/error_log.h"
#include "data/animations.h"
#include "data/model_catalogue.h"
#include "model/pie_parser.h"
#include "model/texture_pages.h"

int32_t TeamNumber = 0;
IDirect3DVertexBuffer9* m_pPieVB = nullptr;
std::vector<LevelBuffer> LevelBufferTable;

namespace {

// Texture coordinates in the files are texels of a 256 x 256 page, whatever the DDS size.
const float kPageSize = 256.0f;
// Positions in the files are in tenths of the units the scene is drawn in.
const float kPositionScale = 10.0f;
const UINT kPieVertexStride = sizeof(PieVertex);  // 20 bytes
const uint64_t kTriangleBytes = 3 * sizeof(PieVertex);

int32_t Saturate(int64_t value) {
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

// Corner c of a polygon, before it joins a triangle.
struct Corner {
  float position[3];
  int32_t texel[2];
};

inline void AppendTriangle(TriangleList& out, const Corner& a, const Corner& b, const Corner& c) {
  Triangle& t = out.emplace_back();
  const Corner* corners[3] = {&a, &b, &c};
  for (int i = 0; i < 3; ++i) {
    t.position[i][0] = corners[i]->position[0];
    t.position[i][1] = corners[i]->position[1];
    t.position[i][2] = corners[i]->position[2];
    t.texel[i][0] = corners[i]->texel[0];
    t.texel[i][1] = corners[i]->texel[1];
  }
}

// Scratch lists kept between calls: the animation step rebuilds every animated model on each
// beat, and fresh lists would be allocated and grown again each time.
TriangleList& ScratchTriangles() {
  static TriangleList triangles;
  return triangles;
}
std::vector<Corner>& ScratchCorners() {
  static std::vector<Corner> corners;
  return corners;
}

}  // namespace

namespace {

// One polygon record of a level, as WalkLevel hands it over.
struct PolygonView {
  int32_t kind;
  int64_t cornerCount;
  const int32_t* pointNumbers;
  const int32_t* texels;   // cornerCount pairs
  int64_t offsetU, offsetV;  // the strip frame shown, 0 for a polygon without animation
  bool animated;
  bool drawn;  // makes triangles: three corners or more, every one a point of the level
  // Triangles it adds to the level's list: a fan around the first corner, doubled when
  // two-sided.
  size_t TriangleCount() const {
    if (!drawn) return 0;
    return static_cast<size_t>(cornerCount - 2) * (IsTwoSidedKind(kind) ? 2 : 1);
  }
};

// Walks one level's point and polygon blocks, checking every count and length against the
// stores, and calls visit(view) for each polygon in order. False when the blocks do not lie
// whole inside the stores; the lengths are set only on success.
template <typename Visit>
bool WalkLevel(const PieModel& model, size_t pointBlock, size_t polygonBlock,
               size_t& pointBlockLength, size_t& polygonBlockLength, LevelFaults* faults,
               Visit&& visit) {
  pointBlockLength = polygonBlockLength = 0;
  // The parser leaves only whole blocks in the stores, but nothing here is read on trust.
  if (pointBlock >= PointStore.size() || polygonBlock >= PolygonStore.size()) return false;
  const int64_t pointCount = PointStore[pointBlock];
  if (pointCount < 0 || static_cast<uint64_t>(1 + 3 * pointCount) > PointStore.size() - pointBlock)
    return false;

  const int64_t polygonCount = PolygonStore[polygonBlock];
  if (polygonCount < 0) return false;
  const size_t end = PolygonStore.size();
  size_t at = polygonBlock + 1;
  for (int64_t q = 0; q < polygonCount; ++q) {
    if (end - at < 2) return false;
    PolygonView view;
    view.kind = PolygonStore[at];
    view.cornerCount = PolygonStore[at + 1];
    if (view.cornerCount < 0) return false;
    view.animated = IsAnimatedKind(view.kind);
    const uint64_t length = 2 + 3 * static_cast<uint64_t>(view.cornerCount) + (view.animated ? 4 : 0);
    if (length > end - at) return false;
    const int32_t* record = PolygonStore.data() + at;
    view.pointNumbers = record + 2;
    view.texels = view.pointNumbers + view.cornerCount + (view.animated ? 4 : 0);
    at += length;

    // Which frame of the strip: frames run left to right, then down, on the 256-wide page. A
    // frame width outside 1..256 leaves no sensible strip, so such a polygon shows its texels
    // as written.
    view.offsetU = view.offsetV = 0;
    if (view.animated) {
      const int64_t width = view.pointNumbers[view.cornerCount + 2];
      const int64_t height = view.pointNumbers[view.cornerCount + 3];
      const int64_t frame = model.teamColors ? TeamNumber : model.frame;
      if (width >= 1 && width <= 256 && frame >= 0) {
        const int64_t perRow = 256 / width;
        view.offsetU = width * (frame % perRow);
        view.offsetV = height * (frame / perRow);
      } else if ((width < 1 || width > 256) && faults) {
        faults->badFrameWidth = true;
      }
    }

    // Polygons that cannot make a triangle, or that name points the level does not have, are
    // left out; the rest of the level still builds.
    view.drawn = view.cornerCount >= 3;
    if (!view.drawn) {
      if (faults) faults->tooFewCorners = true;
    } else {
      for (int64_t c = 0; c < view.cornerCount; ++c) {
        if (view.pointNumbers[c] < 0 || view.pointNumbers[c] >= pointCount) view.drawn = false;
      }
      if (!view.drawn && faults) faults->strayPoints = true;
    }
    visit(view);
  }
  pointBlockLength = static_cast<size_t>(1 + 3 * pointCount);
  polygonBlockLength = at - polygonBlock;
  return true;
}

int32_t CornerTexel(const PolygonView& p, int64_t corner, int axis) {
  return Saturate(p.texels[2 * corner + axis] + (axis == 0 ? p.offsetU : p.offsetV));
}

}  // namespace

bool BuildLevelTriangles(const PieModel& model, size_t pointBlock, size_t polygonBlock,
                         TriangleList& triangles, bool& animated, size_t& pointBlockLength,
                         size_t& polygonBlockLength, LevelFaults* faults) {
  triangles.clear();
  animated = false;
  const int32_t* points = pointBlock < PointStore.size() ? PointStore.data() + pointBlock + 1 : nullptr;
  std::vector<Corner>& corners = ScratchCorners();
  return WalkLevel(model, pointBlock, polygonBlock, pointBlockLength, polygonBlockLength, faults,
                   [&](const PolygonView& p) {
                     if (p.animated) animated = true;
                     if (!p.drawn) return;
                     corners.resize(static_cast<size_t>(p.cornerCount));
                     for (int64_t c = 0; c < p.cornerCount; ++c) {
                       const int32_t* point = points + 3 * static_cast<int64_t>(p.pointNumbers[c]);
                       Corner& corner = corners[static_cast<size_t>(c)];
                       corner.position[0] = static_cast<float>(point[0]);
                       corner.position[1] = static_cast<float>(point[1]);
                       corner.position[2] = static_cast<float>(point[2]);
                       corner.texel[0] = CornerTexel(p, c, 0);
                       corner.texel[1] = CornerTexel(p, c, 1);
                     }
                     // A fan around the first corner; a two-sided polygon adds each triangle's
                     // mirror (second and third corners exchanged) right after it, which faces
                     // the other way.
                     const bool twoSided = IsTwoSidedKind(p.kind);
                     for (size_t k = 2; k < corners.size(); ++k) {
                       AppendTriangle(triangles, corners[0], corners[k - 1], corners[k]);
                       if (twoSided) AppendTriangle(triangles, corners[0], corners[k], corners[k - 1]);
                     }
                   });
}

void BuildModelGeometry(int32_t model, BuildMode mode) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return;
  const PieModel& record = ModelCatalogue[model];
  size_t pointBlock = static_cast<size_t>(std::max(record.pointStart, 0));
  size_t polygonBlock = static_cast<size_t>(std::max(record.polygonStart, 0));
  bool storesWhole = true;
  TriangleList& triangles = ScratchTriangles();
  LevelFaults faults;
  for (int32_t level = 0; level < record.levelCount; ++level) {
    bool animated = false;
    size_t pointLength = 0, polygonLength = 0;
    if (mode == BuildMode::Update) {
      // Past a level cut short in the stores nothing is read any more.
      if (storesWhole) {
        storesWhole = UpdateLevelTexCoords(record, model, level, pointBlock, polygonBlock,
                                           pointLength, polygonLength);
      }
      pointBlock += pointLength;
      polygonBlock += polygonLength;
      continue;
    }
    if (storesWhole) {
      storesWhole = BuildLevelTriangles(record, pointBlock, polygonBlock, triangles, animated,
                                        pointLength, polygonLength, &faults);
    }
    if (!storesWhole) triangles.clear();
    // Every level gets its entry, even an empty one, so later levels and models keep their
    // positions in the table.
    CreateLevelBuffer(triangles, model, level);
    pointBlock += pointLength;
    polygonBlock += polygonLength;
  }
  // Once per model and kind, at load: the rebuilds of every animation beat would repeat them.
  if (mode == BuildMode::FirstBuild) {
    const std::string& name = record.name;
    if (faults.tooFewCorners)
      ErrorLog::Write(("Polygons of fewer than three corners, left out of model " + name).c_str());
    if (faults.strayPoints)
      ErrorLog::Write(("Polygons naming points their level lacks, left out of model " + name).c_str());
    if (faults.badFrameWidth) {
      ErrorLog::Write(
          ("Animated polygons with a frame width outside 1 to 256, drawn unanimated in model " + name)
              .c_str());
    }
  }
}

void CreateLevelBuffer(const TriangleList& triangles, int32_t model, int32_t level) {
  LevelBuffer entry;
  entry.model = model;
  entry.level = level;
  // The previous buffer belongs to its table entry; the slot only names the newest one.
  m_pPieVB = nullptr;

  // A level without triangles has nothing to draw; Direct3D refuses a buffer of length 0, so none
  // is asked for.
  if (!triangles.empty()) {
    const uint64_t length = triangles.size() * kTriangleBytes;
    HRESULT hr = E_FAIL;
    if (g_pd3dDevice && length <= std::numeric_limits<UINT>::max()) {
      hr = g_pd3dDevice->CreateVertexBuffer(static_cast<UINT>(length), 0, kPieVertexFVF,
                                            D3DPOOL_SYSTEMMEM, &m_pPieVB, nullptr);
    }
    if (FAILED(hr) || !m_pPieVB) {
      m_pPieVB = nullptr;
      ErrorLog::Write("Failed to create vertex buffer m_pPieVB");
    } else {
      void* data = nullptr;
      hr = m_pPieVB->Lock(0, 0, &data, 0);
      if (SUCCEEDED(hr) && !data) {
        m_pPieVB->Unlock();
        hr = E_FAIL;
      }
      if (FAILED(hr)) {
        // Never written, never drawn: the entry stays without a buffer.
        ErrorLog::Write("Failed to lock vertex buffer m_pPieVB");
        m_pPieVB->Release();
        m_pPieVB = nullptr;
      } else {
        PieVertex* vertex = static_cast<PieVertex*>(data);
        for (const Triangle& t : triangles) {
          for (int c = 0; c < 3; ++c, ++vertex) {
            vertex->x = t.position[c][0] / kPositionScale;
            vertex->y = t.position[c][1] / kPositionScale;
            vertex->z = t.position[c][2] / kPositionScale;
            vertex->u = static_cast<float>(t.texel[c][0]) / kPageSize;
            vertex->v = static_cast<float>(t.texel[c][1]) / kPageSize;
          }
        }
        m_pPieVB->Unlock();
        entry.buffer = m_pPieVB;
        entry.triangleCount = static_cast<int32_t>(triangles.size());
      }
    }
  }
  LevelBufferTable.push_back(entry);
}

int32_t FirstLevelBufferOf(int32_t model) {
  // Entries are appended model by model in load order, so owners never decrease along the table.
  auto it = std::lower_bound(LevelBufferTable.begin(), LevelBufferTable.end(), model,
                             [](const LevelBuffer& e, int32_t m) { return e.model < m; });
  if (it == LevelBufferTable.end() || it->model != model) return -1;
  return static_cast<int32_t>(it - LevelBufferTable.begin());
}

bool UpdateLevelTexCoords(const PieModel& record, int32_t model, int32_t level, size_t pointBlock,
                          size_t polygonBlock, size_t& pointBlockLength, size_t& polygonBlockLength) {
  // Only animated polygons change between beats, so only their vertices are written: the buffer
  // ends as rewriting the whole rebuilt list would leave it, without building the list.
  struct Animated {
    PolygonView polygon;
    size_t firstTriangle;
  };
  static std::vector<Animated> animated;
  animated.clear();
  size_t triangle = 0;
  bool hasAnimated = false;
  const bool whole = WalkLevel(record, pointBlock, polygonBlock, pointBlockLength, polygonBlockLength,
                               nullptr, [&](const PolygonView& p) {
                                 if (p.animated) {
                                   hasAnimated = true;
                                   if (p.drawn) animated.push_back({p, triangle});
                                 }
                                 triangle += p.TriangleCount();
                               });
  // A level cut short in the stores is not touched, nor is one without animated polygons.
  if (!whole || !hasAnimated) return whole;

  const int32_t first = FirstLevelBufferOf(model);
  if (first < 0 || level < 0) return true;
  const size_t position = static_cast<size_t>(first) + static_cast<size_t>(level);
  if (position >= LevelBufferTable.size()) return true;
  const LevelBuffer& entry = LevelBufferTable[position];
  if (entry.model != model || entry.level != level || !entry.buffer) return true;

  void* data = nullptr;
  HRESULT hr = entry.buffer->Lock(0, 0, &data, 0);
  if (SUCCEEDED(hr) && !data) {
    entry.buffer->Unlock();
    hr = E_FAIL;
  }
  if (FAILED(hr)) {
    // The buffer keeps its previous coordinates.
    ErrorLog::Write("Failed to lock vertex buffer PieVB[]");
    return true;
  }
  // The polygons have not changed since the first build, so the counts agree; a triangle beyond
  // the buffer is skipped all the same, never written.
  const size_t count = static_cast<size_t>(std::max(entry.triangleCount, 0));
  PieVertex* vertices = static_cast<PieVertex*>(data);
  auto write = [&](size_t t, const PolygonView& p, int64_t a, int64_t b, int64_t c) {
    if (t >= count) return;
    const int64_t corners[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
      PieVertex& v = vertices[3 * t + i];
      v.u = static_cast<float>(CornerTexel(p, corners[i], 0)) / kPageSize;
      v.v = static_cast<float>(CornerTexel(p, corners[i], 1)) / kPageSize;
    }
  };
  for (const Animated& a : animated) {
    const PolygonView& p = a.polygon;
    const bool twoSided = IsTwoSidedKind(p.kind);
    size_t t = a.firstTriangle;
    for (int64_t k = 2; k < p.cornerCount; ++k) {
      write(t++, p, 0, k - 1, k);
      if (twoSided) write(t++, p, 0, k, k - 1);
    }
  }
  entry.buffer->Unlock();
  return true;
}

void DrawModel(int32_t model, D3DXMATRIX world) {
  const int32_t first = FirstLevelBufferOf(model);
  if (first < 0) return;
  const int32_t animation = AnimationOf(model);
  const int32_t levels = LevelCountOf(model);
  if (animation < 0) {
    // Without an animation only level 0 is shown, whatever the model's level count.
    DrawLevelBuffer(first, world);
  } else if (IsFramesAnimation(animation)) {
    // The levels are the frames: only the current one is drawn, if the model has it.
    const int32_t frame = AnimationCounter(animation);
    if (frame >= 0 && frame < levels) DrawLevelBuffer(first + frame, world);
  } else {
    for (int32_t level = 0; level < levels; ++level) DrawLevelBuffer(first + level, world);
  }
}

void DrawLevelBuffer(int32_t position, D3DXMATRIX world) {
  if (!g_pd3dDevice || position < 0 || static_cast<size_t>(position) >= LevelBufferTable.size())
    return;
  const LevelBuffer& entry = LevelBufferTable[position];
  if (!entry.buffer || entry.triangleCount <= 0) return;
  const int32_t animation = AnimationOf(entry.model);
  const bool transform = animation >= 0 && !IsFramesAnimation(animation);

  D3DMATRIX saved;
  g_pd3dDevice->GetTransform(D3DTS_WORLD, &saved);

  D3DXMATRIX placed = world;
  AnimationFrame frame;
  // A transform animation with fewer objects than the model has levels leaves the extra levels
  // where the world matrix puts them.
  if (transform && GetAnimationFrame(animation, entry.level, frame)) {
    // Positions in ten-thousandths of the vertex units; rotations in thousandths of a degree with
    // 6.28 standing for a full turn, z turning the other way.
    const float turn = 6.28f;
    D3DXMATRIX move, aboutX, aboutY, aboutZ;
    D3DXMatrixTranslation(&move, frame.position[0] / 10000.0f, frame.position[1] / 10000.0f,
                          frame.position[2] / 10000.0f);
    D3DXMatrixRotationX(&aboutX, frame.rotation[0] / 1000.0f / 360.0f * turn);
    D3DXMatrixRotationZ(&aboutZ, -frame.rotation[2] / 1000.0f / 360.0f * turn);
    D3DXMatrixRotationY(&aboutY, frame.rotation[1] / 1000.0f / 360.0f * turn);
    // Row vectors: turned about x, then z, then y, then moved, then placed by the world matrix.
    D3DXMATRIX xz, xzy, turnedAndMoved;
    D3DXMatrixMultiply(&xz, &aboutX, &aboutZ);
    D3DXMatrixMultiply(&xzy, &xz, &aboutY);
    D3DXMatrixMultiply(&turnedAndMoved, &xzy, &move);
    D3DXMatrixMultiply(&placed, &turnedAndMoved, &world);
  }
  g_pd3dDevice->SetTransform(D3DTS_WORLD, &placed);

  if (animation < 0 || transform || AnimationCounter(animation) == entry.level) {
    g_pd3dDevice->SetFVF(kPieVertexFVF);
    SelectTexturePage(static_cast<uint32_t>(TexturePageOf(entry.model)));
    g_pd3dDevice->SetStreamSource(0, entry.buffer, 0, kPieVertexStride);
    g_pd3dDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(entry.triangleCount));
  }
  g_pd3dDevice->SetTransform(D3DTS_WORLD, &saved);
}

void AdvanceTextureAnimations() {
  for (size_t m = 0; m < ModelCatalogue.size(); ++m) {
    PieModel& model = ModelCatalogue[m];
    // Team-coloured models show one fixed frame and are never stepped.
    if (!model.animated || model.teamColors) continue;
    ++model.frame;
    if (model.frame >= model.frameCount) model.frame = 0;
    BuildModelGeometry(static_cast<int32_t>(m), BuildMode::Update);
  }
}

void ReleaseLastLevelBuffer() {
  if (!m_pPieVB) return;
  // The table entry shares this buffer; forget it there too so a later release of the whole
  // table does not release it a second time.
  for (LevelBuffer& entry : LevelBufferTable) {
    if (entry.buffer == m_pPieVB) {
      entry.buffer = nullptr;
      entry.triangleCount = 0;
    }
  }
  m_pPieVB->Release();
  m_pPieVB = nullptr;
}

void ReleaseAllLevelBuffers() {
  for (LevelBuffer& entry : LevelBufferTable) {
    if (entry.buffer) {
      entry.buffer->Release();
      entry.buffer = nullptr;
      entry.triangleCount = 0;
    }
  }
  // m_pPieVB only ever aliases a table entry, released just above.
  m_pPieVB = nullptr;
}
