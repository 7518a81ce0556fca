// `kvrview --export-all` on the 10,000-model set, as a user runs it: a process of its own from
// start to exit, writing one .glb a model (each with its page inside) into a fresh folder beside
// the set, set against the viewer's load of the same set.
#include <benchmark/benchmark.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "bench_stage.h"

namespace {

namespace fs = std::filesystem;

void BM_ExportAllCommand(benchmark::State& state) {
  const std::string dir = bench::DataSetDir(bench::DataSet::Large);
  const std::string viewer = bench::ViewerBesideBenchmarks();
  if (dir.empty() || viewer.empty()) {
    state.SkipWithError("no data set or no kvrview beside the benchmarks");
    return;
  }
  std::error_code error;
  const fs::path out = fs::path(dir).parent_path() / "bench-export";
  const std::string command =
      "'" + viewer + "' --export-all -o '" + out.string() + "' '" + dir + "' >/dev/null 2>&1";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(out, error);
    state.ResumeTiming();
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("--export-all failed");
  }
  fs::remove_all(out, error);
}
BENCHMARK(BM_ExportAllCommand)->UseRealTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace
