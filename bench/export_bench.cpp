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
  // Each run's files are set aside, not deleted, until the benchmarks end: on an ext4 without a
  // journal a file made within half a minute of 10,000 deletions searches past every inode they
  // freed, and the next run would time the deleting more than the export.
  static const fs::path aside = fs::path(dir).parent_path() / "bench-export-done";
  static int run = 0;
  if (run == 0) {
    fs::remove_all(out, error);
    fs::remove_all(aside, error);
    fs::create_directories(aside, error);
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(aside, ignored);
    });
  }
  const std::string command =
      "'" + viewer + "' --export-all -o '" + out.string() + "' '" + dir + "' >/dev/null 2>&1";
  for (auto _ : state) {
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("--export-all failed");
  }
  fs::rename(out, aside / std::to_string(++run), error);
}
BENCHMARK(BM_ExportAllCommand)->UseRealTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace
