// A whole viewer frame against the least a frame can cost on this device: a clear and a present.
#include <benchmark/benchmark.h>
#include <kvrplatform_testing.h>

#include "app/device.h"
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
  for (auto _ : state) RenderFrame();
}
BENCHMARK(BM_Frame)->UseRealTime()->MinTime(0.5)->Repetitions(7)->ReportAggregatesOnly(true);

// The floor: the same device, the same clear (target and depth) and the same Present.
void BM_ClearPresent(benchmark::State& state) {
  if (!bench::UseDataSet(bench::DataSet::Sample)) {
    state.SkipWithError("no device or no sample data set");
    return;
  }
  IDirect3DDevice9* d = g_pd3dDevice;
  for (int i = 0; i < 10; ++i) {
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(255, 0, 0, 0), 1.0f, 0);
    d->Present(nullptr, nullptr, nullptr, nullptr);
  }
  for (auto _ : state) {
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(255, 0, 0, 0), 1.0f, 0);
    d->Present(nullptr, nullptr, nullptr, nullptr);
  }
}
BENCHMARK(BM_ClearPresent)->UseRealTime()->MinTime(0.5)->Repetitions(7)->ReportAggregatesOnly(true);

}  // namespace
