// The floor of a whole frame: the frame BM_Frame times, drawn by the shortest SDL2 + OpenGL 3.3
// program that draws it, with nothing of the layer in between. The set-up loads the sample as the
// viewer does and takes what the frame shows from the program's tables: the largest model's
// levels (placed where its animation puts them), its page (with mips, RGBA8, filtered trilinearly, as the layer holds it), the glyph
// atlas of the screen font (rasterised once), the axes, the colour bars and the cursor. Each frame
// then clears, turns the model, draws each level with the alpha test, the axes and the bars, writes the
// title, the panel's twenty rows and the frame count as quads into one buffer and draws them, draws
// the cursor, swaps and finishes, as BM_Frame's frame is finished.
#include <benchmark/benchmark.h>
#include <d3dx9.h>
#include <epoxy/gl.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/model_panel.h"
#include "app/panel_row.h"
#include "app/viewer_state.h"
#include "bare_window.h"
#include "bench_stage.h"
#include "model/level_buffers.h"
#include "model/model_catalogue.h"
#include "model/model_drawing.h"
#include "model/texture_pages.h"
#include "overlay/bitmap_font.h"
#include "overlay/overlays.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

// Every vertex of the frame: position (pixels for the screen's quads and lines), texture
// coordinates, colour.
struct Vertex {
  float x, y, z, u, v;
  uint8_t rgba[4];
};

Vertex Make(float x, float y, float z, float u, float v, DWORD argb) {
  return {x, y, z, u, v,
          {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), uint8_t(argb >> 24)}};
}

// Row-vector 4 x 4 matrices, as the viewer builds them: v' = v M. Given to GL as they lie in
// memory, they are the column-vector matrices GL multiplies with.
struct Matrix {
  float m[4][4] = {};
};

Matrix Multiply(const Matrix& a, const Matrix& b) {
  Matrix r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) r.m[i][j] += a.m[i][k] * b.m[k][j];
  return r;
}

Matrix FromD3D(const D3DMATRIX& d) {
  Matrix r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.m[i][j] = d.m[i][j];
  return r;
}

// Direct3D's depth runs 0..1 after projection, GL's -1..1: z' = 2z - w.
Matrix DepthToGl() {
  Matrix r;
  r.m[0][0] = r.m[1][1] = r.m[3][3] = 1.0f;
  r.m[2][2] = 2.0f;
  r.m[3][2] = -1.0f;
  return r;
}

// Screen pixels (top-left origin, pixel centres on whole numbers) to GL's clip space.
Matrix Screen() {
  Matrix r;
  r.m[0][0] = 2.0f / kWidth;
  r.m[3][0] = 1.0f / kWidth - 1.0f;
  r.m[1][1] = -2.0f / kHeight;
  r.m[3][1] = 1.0f - 1.0f / kHeight;
  r.m[2][2] = 2.0f;
  r.m[3][2] = -1.0f;
  r.m[3][3] = 1.0f;
  return r;
}

// The turn about y the frame gives the model.
Matrix TurnY(float phase) {
  const float a = phase * 3.1415927f * 2.0f, c = std::cos(a), s = std::sin(a);
  Matrix r;
  r.m[0][0] = c;
  r.m[0][2] = -s;
  r.m[1][1] = 1.0f;
  r.m[2][0] = s;
  r.m[2][2] = c;
  r.m[3][3] = 1.0f;
  return r;
}

// A texture's levels as RGBA8 rows, top first.
struct Image {
  std::vector<int> widths, heights;
  std::vector<std::vector<uint8_t>> levels;
};

// Levels of an A8R8G8B8 / X8R8G8B8 texture; empty for another format.
Image ReadArgb(IDirect3DTexture9* t) {
  Image image;
  for (DWORD i = 0; t && i < t->GetLevelCount(); ++i) {
    D3DSURFACE_DESC desc;
    D3DLOCKED_RECT locked;
    if (FAILED(t->GetLevelDesc(i, &desc)) ||
        (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8) ||
        FAILED(t->LockRect(i, &locked, nullptr, D3DLOCK_READONLY)))
      return Image{};
    std::vector<uint8_t> rgba(size_t(desc.Width) * desc.Height * 4);
    for (UINT y = 0; y < desc.Height; ++y) {
      const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch;
      for (UINT x = 0; x < desc.Width; ++x) {
        uint8_t* out = &rgba[(size_t(y) * desc.Width + x) * 4];
        out[0] = row[4 * x + 2];
        out[1] = row[4 * x + 1];
        out[2] = row[4 * x];
        out[3] = desc.Format == D3DFMT_X8R8G8B8 ? 255 : row[4 * x + 3];
      }
    }
    t->UnlockRect(i);
    image.widths.push_back(int(desc.Width));
    image.heights.push_back(int(desc.Height));
    image.levels.push_back(std::move(rgba));
  }
  return image;
}

// The font's atlas: A4R4G4B4 texels widened to RGBA8.
Image ReadAtlas(IDirect3DTexture9* t) {
  D3DSURFACE_DESC desc;
  D3DLOCKED_RECT locked;
  if (!t || FAILED(t->GetLevelDesc(0, &desc)) || desc.Format != D3DFMT_A4R4G4B4 ||
      FAILED(t->LockRect(0, &locked, nullptr, D3DLOCK_READONLY)))
    return Image{};
  std::vector<uint8_t> rgba(size_t(desc.Width) * desc.Height * 4);
  for (UINT y = 0; y < desc.Height; ++y) {
    const uint16_t* row =
        reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch);
    for (UINT x = 0; x < desc.Width; ++x) {
      uint8_t* out = &rgba[(size_t(y) * desc.Width + x) * 4];
      out[0] = uint8_t(((row[x] >> 8) & 15) * 17);
      out[1] = uint8_t(((row[x] >> 4) & 15) * 17);
      out[2] = uint8_t((row[x] & 15) * 17);
      out[3] = uint8_t((row[x] >> 12) * 17);
    }
  }
  t->UnlockRect(0);
  return Image{{int(desc.Width)}, {int(desc.Height)}, {std::move(rgba)}};
}

// The first `count` records of one of the program's vertex buffers.
template <typename Record>
std::vector<Record> ReadBuffer(IDirect3DVertexBuffer9* buffer, size_t count) {
  void* data = nullptr;
  if (!buffer || FAILED(buffer->Lock(0, 0, &data, D3DLOCK_READONLY)) || !data) return {};
  const Record* records = static_cast<const Record*>(data);
  std::vector<Record> out(records, records + count);
  buffer->Unlock();
  return out;
}

struct Label {
  float x, y;
  std::string text;
  DWORD colour;
};

// What the frame shows, taken from the program after a normal load of the sample.
struct Scene {
  std::vector<Vertex> fixed;  // the model's levels' triangles, then the axes, the bars and the cursor
  struct Level {
    GLint first, count;
    Matrix placement;  // where the model's animation puts the level
  };
  std::vector<Level> levels;
  GLint axesFirst = 0, barsFirst = 0, barsCount = 0, cursorFirst = 0;
  Matrix viewProjection, axesWorld;
  Image page, cursor, atlas;
  float glyphRects[95][4] = {};
  float glyphMargin = 0, shrink = 1;
  std::vector<Label> labels;  // the title and the panel's rows
  DWORD clearColour = 0;
};

bool TakeScene(Scene& scene) {
  IDirect3DDevice9* d = bench::Device();
  if (!d || !bench::UseDataSet(bench::DataSet::Sample) || !bench::ShowLargestModelWithPanel()) return false;
  const ViewerState& s = viewerState;
  const int32_t model = s.displayedModel;

  D3DMATRIX view, projection, world;
  d->GetTransform(D3DTS_VIEW, &view);
  d->GetTransform(D3DTS_PROJECTION, &projection);
  d->GetTransform(D3DTS_WORLD, &world);
  scene.viewProjection = Multiply(Multiply(FromD3D(view), FromD3D(projection)), DepthToGl());
  scene.axesWorld = FromD3D(world);

  const int32_t first = FirstLevelBufferOf(model);
  const LevelRange drawn = LevelsDrawnNow(model);
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  for (int32_t level = drawn.first; first >= 0 && level < drawn.end; ++level) {
    const LevelBuffer& entry = LevelBufferTable[size_t(first + level)];
    const GLint start = GLint(scene.fixed.size());
    for (const PieVertex& p : ReadBuffer<PieVertex>(entry.buffer, size_t(entry.triangleCount) * 3))
      scene.fixed.push_back(Make(p.x, p.y, p.z, p.u, p.v, 0xFFFFFFFF));
    // The keyframe of the load's last beat: a later one costs the same to draw.
    if (GLint(scene.fixed.size()) > start)
      scene.levels.push_back({start, GLint(scene.fixed.size()) - start, FromD3D(LevelWorldMatrix(entry, identity))});
  }

  struct AxisVertex {
    float x, y, z;
    D3DCOLOR colour;
  };
  scene.axesFirst = GLint(scene.fixed.size());
  for (const AxisVertex& a : ReadBuffer<AxisVertex>(m_pAxisVB, 6))
    scene.fixed.push_back(Make(a.x, a.y, a.z, 0, 0, a.colour));
  struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
  };
  scene.barsFirst = GLint(scene.fixed.size());
  for (const ScreenVertex& b : ReadBuffer<ScreenVertex>(m_pColorBarsVB, 42))
    scene.fixed.push_back(Make(b.x, b.y, b.z, 0, 0, b.colour));
  scene.barsCount = GLint(scene.fixed.size()) - scene.barsFirst;
  struct CursorVertex {
    float x, y, z, rhw, u, v;
  };
  scene.cursorFirst = GLint(scene.fixed.size());
  for (const CursorVertex& c : ReadBuffer<CursorVertex>(m_pCursorVB, 4))
    scene.fixed.push_back(Make(c.x, c.y, c.z, c.u, c.v, 0xFFFFFFFF));

  // The page as the layer holds it for GL: decoded to 32 bits, with the same mip chain.
  IDirect3DTexture9* page = nullptr;
  if (SUCCEEDED(D3DXCreateTextureFromFileExA(d, TexturePagePath(TexturePageOf(model)).c_str(), D3DX_DEFAULT,
                                             D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                             D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR,
                                             D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR, 0xFF00FF00, nullptr,
                                             nullptr, &page))) {
    scene.page = ReadArgb(page);
    page->Release();
  }
  scene.cursor = ReadArgb(cursorTexture);

  BitmapFont font("Arial", 12, FontBold);
  if (SUCCEEDED(font.AttachDevice(d))) {
    scene.atlas = ReadAtlas(font.Atlas());
    for (int c = 32; c <= 126; ++c)
      for (int k = 0; k < 4; ++k) scene.glyphRects[c - 32][k] = font.GlyphRect(c)[k];
    scene.glyphMargin = float(font.GlyphMargin());
    scene.shrink = font.ShrinkFactor();
  }

  if (const char* title = NameAt(s.selectedIndex)) scene.labels.push_back({400, 0, title, 0xFFFFFF00});
  for (int32_t i = 0; i < kModelPanelRows; ++i) {
    const bool highlighted = i == s.selectedIndex - s.firstRow;
    const bool pointed = s.mouseX < kPanelHitRight && s.mouseY >= kPanelRowHeight * i &&
                         s.mouseY < kPanelRowHeight * (i + 1);
    const DWORD colour = pointed ? 0xFF00FF00 : highlighted ? 0xFF0000FF : 0xFFFF0000;
    if (const char* name = NameAt(s.firstRow + i))
      scene.labels.push_back({10, float(kPanelRowHeight * i), name, colour});
  }
  scene.clearColour = D3DCOLOR_ARGB(255, s.sliderRed, s.sliderGreen, s.sliderBlue);
  return !scene.levels.empty() && scene.cursorFirst + 4 == GLint(scene.fixed.size()) && !scene.page.levels.empty() &&
         !scene.cursor.levels.empty() && !scene.atlas.levels.empty() && !scene.labels.empty();
}

// The quads of one text, as the screen font lays them out: cells with their margins, the pen
// moving by the measured width.
void AddText(const Scene& scene, float x, float y, const char* text, DWORD colour, std::vector<Vertex>& out) {
  const float width = float(scene.atlas.widths[0]), height = float(scene.atlas.heights[0]);
  x -= scene.glyphMargin;
  for (const char* p = text; *p; ++p) {
    const int c = static_cast<signed char>(*p);
    if (c < 32 || c > 126) continue;
    const float* r = scene.glyphRects[c - 32];
    const float w = (r[2] - r[0]) * width / scene.shrink, h = (r[3] - r[1]) * height / scene.shrink;
    if (c != ' ') {
      const float left = x - 0.5f, top = y - 0.5f, right = x + w - 0.5f, bottom = y + h - 0.5f;
      out.push_back(Make(left, bottom, 0.9f, r[0], r[3], colour));
      out.push_back(Make(left, top, 0.9f, r[0], r[1], colour));
      out.push_back(Make(right, bottom, 0.9f, r[2], r[3], colour));
      out.push_back(Make(right, top, 0.9f, r[2], r[1], colour));
      out.push_back(Make(right, bottom, 0.9f, r[2], r[3], colour));
      out.push_back(Make(left, top, 0.9f, r[0], r[1], colour));
    }
    x += w - 2 * scene.glyphMargin;
  }
}

GLuint Compile(GLenum kind, const char* source) {
  const GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  return shader;
}

GLuint Texture(const Image& image, GLint minFilter) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  for (size_t i = 0; i < image.levels.size(); ++i)
    glTexImage2D(GL_TEXTURE_2D, GLint(i), GL_RGBA8, image.widths[i], image.heights[i], 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image.levels[i].data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(image.levels.size()) - 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return texture;
}

GLuint VertexArray(GLuint buffer) {
  GLuint array = 0;
  glGenVertexArrays(1, &array);
  glBindVertexArray(array);
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  glEnableVertexAttribArray(0);
  glEnableVertexAttribArray(1);
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
  glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(12));
  glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), reinterpret_cast<void*>(20));
  return array;
}

// The GL side of the scene, made once in the bare context.
struct Drawing {
  GLuint program = 0, fixedArray = 0, textArray = 0, textBuffer = 0;
  GLuint page = 0, cursor = 0, atlas = 0;
  GLint transform = -1, textured = -1, alphaFloor = -1;
  Matrix screen, axes;
};

bool MakeDrawing(const Scene& scene, Drawing& g) {
  const GLuint vs = Compile(GL_VERTEX_SHADER, R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texcoord;
layout(location = 2) in vec4 colour;
uniform mat4 transform;
out vec2 uv;
out vec4 tint;
void main() {
  gl_Position = transform * vec4(position, 1.0);
  uv = texcoord;
  tint = colour;
})");
  const GLuint fs = Compile(GL_FRAGMENT_SHADER, R"(#version 330 core
uniform sampler2D image;
uniform bool textured;
uniform float alphaFloor;
in vec2 uv;
in vec4 tint;
out vec4 colour;
void main() {
  vec4 c = textured ? texture(image, uv) * tint : tint;
  if (c.a < alphaFloor) discard;
  colour = c;
})");
  g.program = glCreateProgram();
  glAttachShader(g.program, vs);
  glAttachShader(g.program, fs);
  glLinkProgram(g.program);
  GLint linked = 0;
  glGetProgramiv(g.program, GL_LINK_STATUS, &linked);
  if (!linked) return false;
  glUseProgram(g.program);
  g.transform = glGetUniformLocation(g.program, "transform");
  g.textured = glGetUniformLocation(g.program, "textured");
  g.alphaFloor = glGetUniformLocation(g.program, "alphaFloor");

  GLuint fixed = 0;
  glGenBuffers(1, &fixed);
  glBindBuffer(GL_ARRAY_BUFFER, fixed);
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(scene.fixed.size() * sizeof(Vertex)), scene.fixed.data(), GL_STATIC_DRAW);
  g.fixedArray = VertexArray(fixed);
  glGenBuffers(1, &g.textBuffer);
  g.textArray = VertexArray(g.textBuffer);

  g.page = Texture(scene.page, GL_LINEAR_MIPMAP_LINEAR);
  g.cursor = Texture(scene.cursor, GL_LINEAR_MIPMAP_LINEAR);
  g.atlas = Texture(scene.atlas, GL_LINEAR);
  g.screen = Screen();
  g.axes = Multiply(scene.axesWorld, scene.viewProjection);

  glViewport(0, 0, kWidth, kHeight);
  const DWORD c = scene.clearColour;
  glClearColor(float((c >> 16) & 255) / 255, float((c >> 8) & 255) / 255, float(c & 255) / 255, 1.0f);
  glClearDepth(1.0);
  glDepthFunc(GL_LEQUAL);
  // Direct3D culls counter-clockwise triangles on its screen; GL's window keeps that screen's
  // orientation, so clockwise ones face front here.
  glEnable(GL_CULL_FACE);
  glFrontFace(GL_CW);
  glCullFace(GL_BACK);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  return glGetError() == GL_NO_ERROR;
}

// The frames-per-second count the frame writes, kept as the viewer keeps it.
struct FrameClock {
  uint32_t last = 0, windowStart = 0, counted = 0, shown = 0;
  float phase = 0;
  void Advance() {
    const uint32_t now = SDL_GetTicks();
    if (!last) last = windowStart = now;
    phase = std::fmod(phase + float(now - last) * 0.0001f, 1.0f);
    last = now;
    if (now - windowStart > 1000u) {
      windowStart = now;
      shown = counted;
      counted = 0;
    } else {
      ++counted;
    }
  }
};

void DrawFrame(const Scene& scene, const Drawing& g, FrameClock& clock, std::vector<Vertex>& text) {
  clock.Advance();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  // The model with its page, cut out where the page's alpha is 8 or less; then the axes.
  glBindVertexArray(g.fixedArray);
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  const Matrix turned = Multiply(TurnY(clock.phase), scene.viewProjection);
  glUniform1i(g.textured, 1);
  glUniform1f(g.alphaFloor, 8.5f / 255.0f);
  glBindTexture(GL_TEXTURE_2D, g.page);
  for (const Scene::Level& level : scene.levels) {
    const Matrix placed = Multiply(level.placement, turned);
    glUniformMatrix4fv(g.transform, 1, GL_FALSE, &placed.m[0][0]);
    glDrawArrays(GL_TRIANGLES, level.first, level.count);
  }
  glUniformMatrix4fv(g.transform, 1, GL_FALSE, &g.axes.m[0][0]);
  glUniform1i(g.textured, 0);
  glUniform1f(g.alphaFloor, -1.0f);
  glDrawArrays(GL_LINES, scene.axesFirst, 6);

  // The screen's layer: bars, text, cursor.
  glDisable(GL_DEPTH_TEST);
  glUniformMatrix4fv(g.transform, 1, GL_FALSE, &g.screen.m[0][0]);
  glDrawArrays(GL_LINES, scene.barsFirst, scene.barsCount);

  glEnable(GL_BLEND);
  text.clear();
  for (const Label& l : scene.labels) AddText(scene, l.x, l.y, l.text.c_str(), l.colour, text);
  AddText(scene, 700, -2, "FPS", 0xFFFFFF00, text);
  AddText(scene, 740, -2, std::to_string(clock.shown).c_str(), 0xFFFFFF00, text);
  glBindVertexArray(g.textArray);
  glBindBuffer(GL_ARRAY_BUFFER, g.textBuffer);
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(text.size() * sizeof(Vertex)), text.data(), GL_STREAM_DRAW);
  glUniform1i(g.textured, 1);
  glUniform1f(g.alphaFloor, 7.5f / 255.0f);
  glBindTexture(GL_TEXTURE_2D, g.atlas);
  glDrawArrays(GL_TRIANGLES, 0, GLsizei(text.size()));

  glBindVertexArray(g.fixedArray);
  glUniform1f(g.alphaFloor, -1.0f);
  glBindTexture(GL_TEXTURE_2D, g.cursor);
  glDrawArrays(GL_TRIANGLE_FAN, scene.cursorFirst, 4);
}

void BM_BareFrame(benchmark::State& state) {
  static Scene scene;
  static Drawing drawing;
  static int ready = -1;  // made once for the run: -1 not yet, 0 failed, 1 ready
  bench::BareWindow* bare = bench::Bare();
  if (ready < 0) {
    ready = bare && TakeScene(scene) ? 1 : 0;
    if (ready) {
      bench::BareCurrent current(bare);
      ready = MakeDrawing(scene, drawing) ? 1 : 0;
    }
  }
  if (!ready) {
    state.SkipWithError("no bare OpenGL window or no sample data set");
    return;
  }
  bench::BareCurrent current(bare);
  FrameClock clock;
  std::vector<Vertex> text;
  for (int i = 0; i < 10; ++i) {
    DrawFrame(scene, drawing, clock, text);
    SDL_GL_SwapWindow(bare->window);
    glFinish();
  }
  for (auto _ : state) {
    DrawFrame(scene, drawing, clock, text);
    SDL_GL_SwapWindow(bare->window);
    glFinish();
  }
}
BENCHMARK(BM_BareFrame)->UseRealTime()->Iterations(60)->Repetitions(15)->ReportAggregatesOnly(true);

}  // namespace
