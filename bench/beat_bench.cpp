// One 100 ms animation beat over the 1,000 texture-animated models of the 10,000-model set.
#include <benchmark/benchmark.h>
#include <kvrplatform_testing.h>

#include "bench_stage.h"
#include "data/animations.h"
#include "model/model_geometry.h"

namespace {

void BM_Beat(benchmark::State& state) {
  if (!bench::UseDataSet(bench::DataSet::Large)) {
    state.SkipWithError("no device or no data set");
    return;
  }
  kvrtest::SetTime(1000000);
  TickAnimations();  // a first tick only starts the beat
  for (auto _ : state) {
    kvrtest::AdvanceTime(101);  // a beat comes once more than 100 ms have passed
    // As the frame runs it: the keyframe counters, then the texture step on the beat.
    if (TickAnimations()) AdvanceTextureAnimations();
  }
  kvrtest::UseRealClock();
}
BENCHMARK(BM_Beat)->UseRealTime()->Iterations(200)->Repetitions(15)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace
