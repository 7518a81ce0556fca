// The picture commands' drawing: the viewer's states and DrawModel into the headless device's
// back buffer, or the drawn triangles shaded in grey, and the pixels read back or saved through
// D3DX.
#include "app/picture_drawing.h"

#include <d3dx9.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/command_options.h"
#include "app/frame.h"
#include "app/picture_framing.h"
#include "base/printable_text.h"
#include "base/device.h"
#include "data/load_sequence.h"
#include "model/model_bounds.h"
#include "model/model_catalogue.h"
#include "model/model_drawing.h"

namespace {

void NoStage(const char*) {}

struct ShadedVertex {
  float x, y, z;
  D3DCOLOR colour;
};
constexpr DWORD kShadedFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;
// Triangles a DrawPrimitiveUP call takes at most.
constexpr size_t kShadedBatch = 65536;

// The light of a shaded model comes from above the eye's left shoulder: a direction in the eye's
// space (x right, y up, z away from the eye), turned into the model's with the view's rotation.
void LightInModelSpace(const D3DXMATRIX& view, double light[3]) {
  const double seen[3] = {-0.45, 0.65, -0.6};
  // Row vectors: a model direction d is seen as d * R, so the seen direction is R times it.
  for (int i = 0; i < 3; ++i) light[i] = seen[0] * view.m[i][0] + seen[1] * view.m[i][1] + seen[2] * view.m[i][2];
  const double length = std::sqrt(light[0] * light[0] + light[1] * light[1] + light[2] * light[2]);
  for (int i = 0; i < 3; ++i) light[i] = length > 0.0 ? light[i] / length : 0.0;
}

// The triangles of xyz (three points each) in grey, each as bright as it faces the light on
// either side, over a floor of ambient light so that no face is lost in the background.
void DrawShaded(const std::vector<float>& xyz, const D3DXMATRIX& view) {
  double light[3];
  LightInModelSpace(view, light);
  std::vector<ShadedVertex> batch;
  batch.reserve(std::min(xyz.size() / 3, kShadedBatch * 3));
  IDirect3DDevice9* d = g_pd3dDevice;
  d->SetFVF(kShadedFVF);
  d->SetTexture(0, nullptr);
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  const auto flush = [&] {
    if (batch.empty()) return;
    d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(batch.size() / 3), batch.data(), sizeof(ShadedVertex));
    batch.clear();
  };
  for (size_t i = 0; i + 8 < xyz.size(); i += 9) {
    const float* p = &xyz[i];
    const double a[3] = {double(p[3]) - p[0], double(p[4]) - p[1], double(p[5]) - p[2]};
    const double b[3] = {double(p[6]) - p[0], double(p[7]) - p[1], double(p[8]) - p[2]};
    const double n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    double facing = 0.0;
    if (length > 0.0 && std::isfinite(length))
      facing = std::fabs(n[0] * light[0] + n[1] * light[1] + n[2] * light[2]) / length;
    const double bright = 0.3 + 0.7 * facing;
    const D3DCOLOR colour = D3DCOLOR_ARGB(255, static_cast<int>(205 * bright), static_cast<int>(200 * bright),
                                          static_cast<int>(190 * bright));
    for (int k = 0; k < 3; ++k) batch.push_back({p[3 * k], p[3 * k + 1], p[3 * k + 2], colour});
    if (batch.size() >= kShadedBatch * 3) flush();
  }
  flush();
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
}

}  // namespace

bool LoadDataSetQuietly() {
  if (ReadStartUpManifest(NoStage)) return true;
  std::fprintf(stderr, "kvrview: no start-up manifest %s in this folder\n", kStartUpManifest);
  return false;
}

int LoadNamedModel(const CommandLine& command, int32_t& model) {
  if (!LoadDataSetQuietly()) return 2;
  model = FindModelByName(command.modelName.c_str());
  if (model >= 0) return 0;
  std::fprintf(stderr, "kvrview: no model %s in this data set\n", PrintableText(command.modelName).c_str());
  return 1;
}

D3DCOLOR Background(const CommandLine& command) {
  return D3DCOLOR_ARGB(255, command.background[0], command.background[1], command.background[2]);
}

bool BackBufferIs(int32_t width, int32_t height, D3DSURFACE_DESC& desc) {
  Held<IDirect3DSurface9> back;
  if (FAILED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, back.out())) || !back.get() ||
      FAILED(back->GetDesc(&desc))) {
    std::fputs("kvrview: the device has no back buffer to draw into\n", stderr);
    return false;
  }
  if (desc.Width == static_cast<UINT>(width) && desc.Height == static_cast<UINT>(height)) return true;
  std::fprintf(stderr, "kvrview: the device's picture is %ux%u, not %dx%d\n", desc.Width, desc.Height,
               width, height);
  return false;
}

void DrawModelPicture(int32_t model, const D3DVIEWPORT9& viewport, float yaw, float pitch, D3DCOLOR background,
                      Surfaces surfaces) {
  DrawTurnedModelPicture(model, viewport, yaw, pitch, 0.0f, nullptr, background, surfaces);
}

void DrawTurnedModelPicture(int32_t model, const D3DVIEWPORT9& viewport, float yaw, float pitch, float turnDegrees,
                            PictureView* framing, D3DCOLOR background, Surfaces surfaces) {
  IDirect3DDevice9* d = g_pd3dDevice;
  d->SetViewport(&viewport);
  d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
  if (FAILED(d->BeginScene())) return;
  SetModelStates();
  std::vector<float> vertices;
  DrawnVertices(model, vertices);  // a buffer that cannot be read leaves the model unframed
  D3DXMATRIX world;
  D3DXMatrixRotationY(&world, D3DXToRadian(-turnDegrees));
  for (size_t i = 0; turnDegrees != 0.0f && i + 2 < vertices.size(); i += 3) {
    D3DXVECTOR3 turned;
    const D3DXVECTOR3 at(vertices[i], vertices[i + 1], vertices[i + 2]);
    D3DXVec3TransformCoord(&turned, &at, &world);
    vertices[i] = turned.x, vertices[i + 1] = turned.y, vertices[i + 2] = turned.z;
  }
  PictureView own;
  PictureView& view = framing ? *framing : own;
  if (!framing || framing->distance <= 0.0f) {
    view = FramePoints(vertices, yaw, pitch, static_cast<float>(viewport.Width) / static_cast<float>(viewport.Height));
  }
  d->SetTransform(D3DTS_VIEW, &view.view);
  d->SetTransform(D3DTS_PROJECTION, &view.projection);
  d->SetTransform(D3DTS_WORLD, &world);
  if (surfaces == Surfaces::kShaded) {
    DrawShaded(vertices, view.view);
  } else {
    DrawModel(model, world);
  }
  ResetTextureStages();
  d->EndScene();
}

bool SaveBackBuffer(const std::string& path) {
  Held<IDirect3DSurface9> back;
  if (FAILED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, back.out())) || !back.get()) return false;
  return SUCCEEDED(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, back.get(), nullptr, nullptr));
}

bool ReadBackBuffer(const D3DSURFACE_DESC& desc, std::vector<uint8_t>& rgb) {
  // Read and written as 32-bit pixels, blue first in memory.
  if (desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_A8R8G8B8) return false;
  IDirect3DDevice9* d = g_pd3dDevice;
  Held<IDirect3DSurface9> back, copy;
  if (FAILED(d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, back.out())) || !back.get() ||
      FAILED(d->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, copy.out(),
                                            nullptr)) ||
      FAILED(d->GetRenderTargetData(back.get(), copy.get())))
    return false;
  D3DLOCKED_RECT locked = {};
  if (FAILED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return false;
  rgb.resize(size_t{desc.Width} * desc.Height * 3);
  uint8_t* out = rgb.data();
  for (UINT y = 0; y < desc.Height; ++y) {
    const uint8_t* in = static_cast<const uint8_t*>(locked.pBits) + size_t{y} * static_cast<size_t>(locked.Pitch);
    for (UINT x = 0; x < desc.Width; ++x, in += 4, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
  copy->UnlockRect();
  return true;
}

int CouldNotWrite(const std::string& path) {
  std::fprintf(stderr, "kvrview: could not write %s\n", PrintableText(path).c_str());
  return 1;
}
