// A beat on one large model: the texture step rewrites the few coordinates of its one animated
// polygon, and the frame that draws it uploads only those. Set against a frame of the same model
// without the beat.
#include <benchmark/benchmark.h>
#include <kvrplatform_testing.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/device.h"
#include "bench_stage.h"
#include "data/animations.h"
#include "data/model_loader.h"
#include "model/level_buffers.h"
#include "model/model_catalogue.h"
#include "model/model_drawing.h"
#include "model/model_geometry.h"

namespace {

constexpr int kGrid = 230;  // points a side: 229 x 229 quads, 104,882 triangles, and one animated

// A flat grid of quads, then one texture-animated triangle: four strip frames of 64 x 64.
std::string LargeModel() {
  std::string s = "PIE 2\nTYPE 200\nTEXTURE 0 page.pcx 256 256\nLEVELS 1\nLEVEL 1\nPOINTS " +
                  std::to_string(kGrid * kGrid) + "\n";
  for (int y = 0; y < kGrid; ++y)
    for (int x = 0; x < kGrid; ++x) s += std::to_string(x * 4 - 460) + " " + std::to_string(y * 4) + " 0\n";
  const int quads = (kGrid - 1) * (kGrid - 1);
  s += "POLYGONS " + std::to_string(quads + 1) + "\n";
  for (int y = 0; y + 1 < kGrid; ++y) {
    for (int x = 0; x + 1 < kGrid; ++x) {
      const int a = y * kGrid + x;
      s += "200 4 " + std::to_string(a) + " " + std::to_string(a + 1) + " " + std::to_string(a + 1 + kGrid) +
           " " + std::to_string(a + kGrid) + " 0 0 16 0 16 16 0 16\n";
    }
  }
  s += "4200 3 0 1 " + std::to_string(kGrid) + " 4 1 64 64 0 0 16 0 0 16\nCONNECTORS 0\n";
  return s;
}

// The model loaded on the benchmarks' device, alone; -1 when it could not be.
int32_t LargeModelOnDevice() {
  static int32_t model = -1;
  if (model >= 0 && static_cast<size_t>(model) < ModelCatalogue.size()) return model;
  if (!bench::UseDataSet(bench::DataSet::None)) return -1;
  g_pd3dDevice = bench::Device();
  // Data paths are relative to the data set's folder, as the viewer reads them.
  const std::filesystem::path folder = std::filesystem::path(KVR_BENCH_SCRATCH_DIR) / "large-model";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const std::filesystem::path before = std::filesystem::current_path(error);
  std::filesystem::current_path(folder, error);
  if (error) return -1;
  if (FILE* f = std::fopen("large-model.pie", "wb")) {
    const std::string text = LargeModel();
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  LoadModel("", "large-model.pie", CategoryStructures);
  std::filesystem::current_path(before, error);
  if (ModelCatalogue.empty()) return -1;
  model = static_cast<int32_t>(ModelCatalogue.size() - 1);
  return model;
}

void DrawFrame(int32_t model) {
  IDirect3DDevice9* d = bench::Device();
  // The viewer's lens, the eye level with the middle of the grid, which then fills the screen.
  D3DXMATRIX projection, view;
  D3DXMatrixPerspectiveFovLH(&projection, 0.3926991f, 1024.0f / 768.0f, 10.0f, 2000.0f);
  const D3DXVECTOR3 eye(0.0f, 46.0f, -224.0f), at(0.0f, 46.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  d->SetTransform(D3DTS_PROJECTION, &projection);
  d->SetTransform(D3DTS_VIEW, &view);
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(255, 0, 0, 0), 1.0f, 0);
  d->BeginScene();
  D3DXMATRIX world;
  D3DXMatrixIdentity(&world);
  DrawModel(model, world);
  d->EndScene();
  d->Present(nullptr, nullptr, nullptr, nullptr);
  kvrtest::FinishDrawing(d);
}

void BM_LargeModelFrame(benchmark::State& state) {
  const int32_t model = LargeModelOnDevice();
  if (model < 0) {
    state.SkipWithError("the large model did not load");
    return;
  }
  for (int i = 0; i < 3; ++i) DrawFrame(model);
  for (auto _ : state) DrawFrame(model);
}
BENCHMARK(BM_LargeModelFrame)->UseRealTime()->MinTime(0.3)->Repetitions(9)->ReportAggregatesOnly(true);

// The same frame after a beat, as the viewer's frame runs it: the texture step, then the draw.
void BM_LargeModelBeatAndFrame(benchmark::State& state) {
  const int32_t model = LargeModelOnDevice();
  if (model < 0 || !ModelCatalogue[model].animated) {
    state.SkipWithError("the large model did not load animated");
    return;
  }
  for (int i = 0; i < 3; ++i) DrawFrame(model);
  for (auto _ : state) {
    AdvanceTextureAnimations();
    DrawFrame(model);
  }
}
BENCHMARK(BM_LargeModelBeatAndFrame)->UseRealTime()->MinTime(0.3)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
