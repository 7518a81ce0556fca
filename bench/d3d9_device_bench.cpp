// Cost of the Direct3D 9 layer's frame work: text-style batches through a dynamic buffer and
// state blocks, model-style triangle lists with a world matrix per draw, and texture uploads.
// Runs headless (SDL_VIDEODRIVER=offscreen unless set otherwise).
#include <benchmark/benchmark.h>
#include <kvrplatform_testing.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

LRESULT CALLBACK BenchWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

struct BenchDevice {
  HWND hwnd = nullptr;
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* dev = nullptr;
  BenchDevice() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = BenchWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "kvrbench";
    RegisterClassExA(&wc);
    hwnd = CreateWindowExA(0, "kvrbench", "kvrbench", WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr,
                           wc.hInstance, nullptr);
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp = {};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    if (d3d) d3d->CreateDevice(0, D3DDEVTYPE_HAL, hwnd, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &dev);
  }
  ~BenchDevice() {
    if (dev) dev->Release();
    if (d3d) d3d->Release();
    if (hwnd) DestroyWindow(hwnd);
  }
};

struct GlyphVertex {
  float x, y, z, rhw;
  D3DCOLOR color;
  float u, v;
};

// Twenty strings of 50 characters a frame, each saved and restored through state blocks.
void BM_TextFrame(benchmark::State& state) {
  BenchDevice b;
  if (!b.dev) {
    state.SkipWithError("no device");
    return;
  }
  IDirect3DDevice9* dev = b.dev;
  IDirect3DVertexBuffer9* vb = nullptr;
  IDirect3DTexture9* tex = nullptr;
  dev->CreateVertexBuffer(9600, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT, &vb, nullptr);
  dev->CreateTexture(256, 256, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &tex, nullptr);
  IDirect3DStateBlock9* blocks[2] = {};
  for (auto& block : blocks) {
    dev->BeginStateBlock();
    dev->SetTexture(0, tex);
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    dev->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    dev->EndStateBlock(&block);
  }
  std::vector<GlyphVertex> quads(300);
  for (size_t i = 0; i < quads.size(); ++i)
    quads[i] = {static_cast<float>(i % 6 * 8 + i / 6 * 9), static_cast<float>(i % 3 * 12), 0.9f, 1.0f,
                0xFFFFFF00, 0.1f, 0.2f};
  for (auto _ : state) {
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    dev->BeginScene();
    for (int s = 0; s < 20; ++s) {
      blocks[0]->Capture();
      blocks[1]->Apply();
      dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
      dev->SetStreamSource(0, vb, 0, sizeof(GlyphVertex));
      void* p = nullptr;
      vb->Lock(0, 0, &p, D3DLOCK_DISCARD);
      std::memcpy(p, quads.data(), quads.size() * sizeof(GlyphVertex));
      vb->Unlock();
      dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 100);
      blocks[0]->Apply();
    }
    dev->EndScene();
    dev->Present(nullptr, nullptr, nullptr, nullptr);
    kvrtest::FinishDrawing(dev);
  }
  state.SetItemsProcessed(state.iterations() * 20);
  for (auto* block : blocks) block->Release();
  tex->Release();
  vb->Release();
}
BENCHMARK(BM_TextFrame)->Unit(benchmark::kMicrosecond);

// One level buffer of range(0) triangles drawn with a new world matrix, as a model each frame.
void BM_ModelDraw(benchmark::State& state) {
  BenchDevice b;
  if (!b.dev) {
    state.SkipWithError("no device");
    return;
  }
  IDirect3DDevice9* dev = b.dev;
  const UINT triangles = static_cast<UINT>(state.range(0));
  IDirect3DVertexBuffer9* vb = nullptr;
  dev->CreateVertexBuffer(triangles * 60, 0, D3DFVF_XYZ | D3DFVF_TEX1, D3DPOOL_SYSTEMMEM, &vb, nullptr);
  float* v = nullptr;
  vb->Lock(0, 0, reinterpret_cast<void**>(&v), 0);
  for (UINT i = 0; i < triangles * 3; ++i) {
    v[i * 5 + 0] = static_cast<float>(i % 7) - 3.0f;
    v[i * 5 + 1] = static_cast<float>(i % 5) - 2.0f;
    v[i * 5 + 2] = static_cast<float>(i % 3);
    v[i * 5 + 3] = v[i * 5 + 4] = 0.5f;
  }
  vb->Unlock();
  D3DXMATRIX view, projection, world;
  D3DXVECTOR3 eye(0, 4, -30), at(0, 0, 0), up(0, 1, 0);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, 0.3926991f, 1.3333334f, 10.0f, 2000.0f);
  dev->SetTransform(D3DTS_VIEW, &view);
  dev->SetTransform(D3DTS_PROJECTION, &projection);
  dev->SetRenderState(D3DRS_LIGHTING, FALSE);
  float angle = 0.0f;
  for (auto _ : state) {
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    dev->BeginScene();
    D3DXMatrixRotationY(&world, angle += 0.01f);
    dev->SetTransform(D3DTS_WORLD, &world);
    dev->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    dev->SetStreamSource(0, vb, 0, 20);
    dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles);
    dev->EndScene();
    dev->Present(nullptr, nullptr, nullptr, nullptr);
    kvrtest::FinishDrawing(dev);
  }
  state.SetItemsProcessed(state.iterations() * triangles);
  vb->Release();
}
BENCHMARK(BM_ModelDraw)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The same 10,000 triangles with normals, lit by range(0) lights (point lights with specular
// after the first, a directional one): what lighting costs when a program asks for it, against
// BM_ModelDraw/10000, which draws unlit.
void BM_LitModelDraw(benchmark::State& state) {
  BenchDevice b;
  if (!b.dev) {
    state.SkipWithError("no device");
    return;
  }
  IDirect3DDevice9* dev = b.dev;
  const UINT triangles = 10000;
  const DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
  IDirect3DVertexBuffer9* vb = nullptr;
  dev->CreateVertexBuffer(triangles * 96, 0, fvf, D3DPOOL_SYSTEMMEM, &vb, nullptr);
  float* v = nullptr;
  vb->Lock(0, 0, reinterpret_cast<void**>(&v), 0);
  for (UINT i = 0; i < triangles * 3; ++i, v += 8) {
    v[0] = static_cast<float>(i % 7) - 3.0f;
    v[1] = static_cast<float>(i % 5) - 2.0f;
    v[2] = static_cast<float>(i % 3);
    v[3] = 0.0f;
    v[4] = 0.6f;
    v[5] = -0.8f;
    v[6] = v[7] = 0.5f;
  }
  vb->Unlock();
  D3DXMATRIX view, projection, world;
  D3DXVECTOR3 eye(0, 4, -30), at(0, 0, 0), up(0, 1, 0);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, 0.3926991f, 1.3333334f, 10.0f, 2000.0f);
  dev->SetTransform(D3DTS_VIEW, &view);
  dev->SetTransform(D3DTS_PROJECTION, &projection);
  dev->SetRenderState(D3DRS_LIGHTING, TRUE);
  dev->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  D3DMATERIAL9 material = {};
  material.Diffuse = material.Ambient = material.Specular = {0.8f, 0.7f, 0.6f, 1.0f};
  material.Power = 8.0f;
  dev->SetMaterial(&material);
  for (DWORD i = 0; i < static_cast<DWORD>(state.range(0)); ++i) {
    D3DLIGHT9 light = {};
    light.Type = i == 0 ? D3DLIGHT_DIRECTIONAL : D3DLIGHT_POINT;
    light.Diffuse = light.Specular = {0.3f, 0.3f, 0.3f, 1.0f};
    light.Direction = {0.2f, -1.0f, 0.5f};
    light.Position = {static_cast<float>(i) - 4.0f, 3.0f, -5.0f};
    light.Range = 100.0f;
    light.Attenuation0 = 1.0f;
    light.Attenuation1 = 0.05f;
    dev->SetLight(i, &light);
    dev->LightEnable(i, TRUE);
  }
  float angle = 0.0f;
  for (auto _ : state) {
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    dev->BeginScene();
    D3DXMatrixRotationY(&world, angle += 0.01f);
    dev->SetTransform(D3DTS_WORLD, &world);
    dev->SetFVF(fvf);
    dev->SetStreamSource(0, vb, 0, 32);
    dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles);
    dev->EndScene();
    dev->Present(nullptr, nullptr, nullptr, nullptr);
  }
  state.SetItemsProcessed(state.iterations() * triangles);
  vb->Release();
}
BENCHMARK(BM_LitModelDraw)->Arg(1)->Arg(8)->Unit(benchmark::kMicrosecond);

// Rewriting a 256x256 texture and drawing with it: conversion to RGBA8 and upload.
void BM_TextureRewrite(benchmark::State& state) {
  BenchDevice b;
  if (!b.dev) {
    state.SkipWithError("no device");
    return;
  }
  IDirect3DDevice9* dev = b.dev;
  const D3DFORMAT format = static_cast<D3DFORMAT>(state.range(0));
  IDirect3DTexture9* tex = nullptr;
  dev->CreateTexture(256, 256, 1, 0, format, D3DPOOL_MANAGED, &tex, nullptr);
  IDirect3DVertexBuffer9* vb = nullptr;
  dev->CreateVertexBuffer(6 * sizeof(GlyphVertex), 0, 0, D3DPOOL_SYSTEMMEM, &vb, nullptr);
  GlyphVertex* q = nullptr;
  vb->Lock(0, 0, reinterpret_cast<void**>(&q), 0);
  const GlyphVertex corners[6] = {{0, 0, 0, 1, ~0u, 0, 0}, {256, 0, 0, 1, ~0u, 1, 0}, {0, 256, 0, 1, ~0u, 0, 1},
                                  {256, 0, 0, 1, ~0u, 1, 0}, {256, 256, 0, 1, ~0u, 1, 1}, {0, 256, 0, 1, ~0u, 0, 1}};
  std::memcpy(q, corners, sizeof(corners));
  vb->Unlock();
  dev->SetTexture(0, tex);
  dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
  dev->SetStreamSource(0, vb, 0, sizeof(GlyphVertex));
  uint8_t fill = 0;
  for (auto _ : state) {
    D3DLOCKED_RECT lr;
    tex->LockRect(0, &lr, nullptr, 0);
    std::memset(lr.pBits, ++fill, static_cast<size_t>(lr.Pitch) * 256);
    tex->UnlockRect(0);
    dev->BeginScene();
    dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    dev->EndScene();
  }
  state.SetBytesProcessed(state.iterations() * 256 * 256 * 4);
  vb->Release();
  tex->Release();
}
BENCHMARK(BM_TextureRewrite)->Arg(D3DFMT_A8R8G8B8)->Arg(D3DFMT_A4R4G4B4)->Unit(benchmark::kMicrosecond);

}  // namespace
