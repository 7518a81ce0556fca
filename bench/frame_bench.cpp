// A whole viewer frame against the least a frame can cost on this device: a clear and a present.
#include <benchmark/benchmark.h>
#include <kvrplatform_testing.h>

#include "app/camera.h"
#include "app/device.h"
#include "app/scene.h"
#include "app/category_panel.h"
#include "app/frame.h"
#include "app/model_panel.h"
#include "app/panel_row.h"
#include "app/viewer_state.h"
#include "bench_stage.h"

namespace {

// RenderFrame as the loop calls it, on the bundled set's largest model turning, with the model
// panel's twenty rows, the axes, the colour bars, the cursor and the frame count.
void BM_Frame(benchmark::State& state) {
  kvrtest::UseRealClock();
  if (!bench::UseDataSet(bench::DataSet::Sample) || !bench::ShowLargestModelWithPanel()) {
    state.SkipWithError("no device or no sample data set");
    return;
  }
  for (int i = 0; i < 10; ++i) RenderFrame();  // shaders compiled, buffers uploaded
  for (auto _ : state) {
    RenderFrame();
    kvrtest::FinishDrawing(bench::Device());
  }
}
BENCHMARK(BM_Frame)->UseRealTime()->MinTime(0.2)->Repetitions(15)->ReportAggregatesOnly(true);

// The same frame with the facts box of the shown model (key I) over it: once gathered, the facts
// cost a comparison with the tables and the box's text each frame.
void BM_FrameWithFacts(benchmark::State& state) {
  kvrtest::UseRealClock();
  if (!bench::UseDataSet(bench::DataSet::Sample) || !bench::ShowLargestModelWithPanel()) {
    state.SkipWithError("no device or no sample data set");
    return;
  }
  viewerState.showFacts = true;
  for (int i = 0; i < 10; ++i) RenderFrame();
  for (auto _ : state) {
    RenderFrame();
    kvrtest::FinishDrawing(bench::Device());
  }
  viewerState.showFacts = false;
}
BENCHMARK(BM_FrameWithFacts)->UseRealTime()->MinTime(0.2)->Repetitions(15)->ReportAggregatesOnly(true);

// Where a frame's time above the floor goes: the same frame without one of its parts.
void BM_FrameWithout(benchmark::State& state) {
  kvrtest::UseRealClock();
  if (!bench::UseDataSet(bench::DataSet::Sample) || !bench::ShowLargestModelWithPanel()) {
    state.SkipWithError("no device or no sample data set");
    return;
  }
  ViewerState& s = viewerState;
  switch (state.range(0)) {
    case 0:
      state.SetLabel("the model");
      s.displayedModel = -1;
      break;
    case 1:
      state.SetLabel("the model panel");
      s.showModelPanel = false;
      break;
    default:
      state.SetLabel("model, panel and axes");
      s.displayedModel = -1;
      s.showModelPanel = false;
      s.showAxes = false;
      break;
  }
  for (int i = 0; i < 10; ++i) RenderFrame();
  for (auto _ : state) {
    RenderFrame();
    kvrtest::FinishDrawing(bench::Device());
  }
}
BENCHMARK(BM_FrameWithout)->DenseRange(0, 2)->UseRealTime()->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);

// The floor: the same device, the same clear (target and depth) and the same Present.
// Whatever data set is loaded stays: the floor draws none of it.
void BM_ClearPresent(benchmark::State& state) {
  IDirect3DDevice9* d = bench::Device();
  if (!d) {
    state.SkipWithError("no device");
    return;
  }
  for (int i = 0; i < 10; ++i) {
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(255, 0, 0, 0), 1.0f, 0);
    d->Present(nullptr, nullptr, nullptr, nullptr);
  }
  // Each frame is finished, as a swap to a screen would make it; the bare floor does the same.
  for (auto _ : state) {
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(255, 0, 0, 0), 1.0f, 0);
    d->Present(nullptr, nullptr, nullptr, nullptr);
    kvrtest::FinishDrawing(d);
  }
}
BENCHMARK(BM_ClearPresent)->UseRealTime()->MinTime(0.2)->Repetitions(15)->ReportAggregatesOnly(true);

}  // namespace
