// Start-up on the 10,000-model set against reading its files and splitting them into words.
#include <benchmark/benchmark.h>
#include <kvrplatform_testing.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_stage.h"
#include "base/data_file.h"
#include "base/ordered_work.h"

namespace {

namespace fs = std::filesystem;

// Each repetition loads the set from nothing, as the viewer's start does, with the load's
// workers (kWorkersPerCore) or on the main thread alone (0).
void TimeLoads(benchmark::State& state, bench::DataSet set, int workers = kWorkersPerCore) {
  kvrtest::UseRealClock();
  if (bench::DataSetDir(set).empty() || !bench::Device()) {
    state.SkipWithError("no device or no data set");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    bench::Unload();
    SetLoadWorkerThreads(workers);
    state.ResumeTiming();
    const bool loaded = bench::ReloadDataSet(set);
    SetLoadWorkerThreads(kWorkersPerCore);
    if (!loaded) state.SkipWithError("the load failed");
  }
}

// From an empty program to the first frame drawn: the scene set-up reads the manifests, every
// model, animation and page, and builds every buffer; then one frame.
void BM_LoadToFirstFrame(benchmark::State& state) { TimeLoads(state, bench::DataSet::Large); }
BENCHMARK(BM_LoadToFirstFrame)->UseRealTime()->Iterations(1)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// The same load on the main thread alone, for the gain the workers bring.
void BM_LoadOneThread(benchmark::State& state) { TimeLoads(state, bench::DataSet::Large, 0); }
BENCHMARK(BM_LoadOneThread)->UseRealTime()->Iterations(1)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// The same load at ten times the size (the scale run: --scale): loading must stay linear.
void BM_LoadHuge(benchmark::State& state) { TimeLoads(state, bench::DataSet::Huge); }

}  // namespace

namespace bench {
void RegisterScaleBenchmarks() {
  benchmark::RegisterBenchmark("BM_LoadHuge", BM_LoadHuge)
      ->UseRealTime()->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
}
}  // namespace bench

namespace {

// The floor: every file of the set read whole with plain stdio, and every text file's words
// counted with the program's own word splitter.
void BM_ReadAndSplit(benchmark::State& state) {
  const std::string dir = bench::DataSetDir(bench::DataSet::Large);
  if (dir.empty()) {
    state.SkipWithError("no data set");
    return;
  }
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    if (entry.is_regular_file() && entry.path().filename() != "KVRerrors.log")
      files.push_back(entry.path().string());
  std::vector<char> contents;
  std::string word;
  for (auto _ : state) {
    size_t words = 0;
    for (const std::string& path : files) {
      FILE* f = std::fopen(path.c_str(), "rb");
      if (!f) continue;
      std::fseek(f, 0, SEEK_END);
      contents.resize(size_t(std::ftell(f)));
      std::fseek(f, 0, SEEK_SET);
      contents.resize(std::fread(contents.data(), 1, contents.size(), f));
      std::fclose(f);
      if (path.size() > 4 && path.compare(path.size() - 4, 4, ".dds") == 0) continue;
      TokenReader reader(contents);
      while (reader.Next(word)) ++words;
    }
    benchmark::DoNotOptimize(words);
  }
}
BENCHMARK(BM_ReadAndSplit)->UseRealTime()->Iterations(1)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// `kvrview --check` on the same set, as a user runs it: a process of its own, from start to exit
// (its device, the whole load and the report), set against the viewer's load above.
void BM_CheckCommand(benchmark::State& state) {
  const std::string dir = bench::DataSetDir(bench::DataSet::Large);
  const std::string viewer = bench::ViewerBesideBenchmarks();
  if (dir.empty() || viewer.empty()) {
    state.SkipWithError("no data set or no kvrview beside the benchmarks");
    return;
  }
  const std::string command = "'" + viewer + "' --check '" + dir + "' >/dev/null 2>&1";
  for (auto _ : state) {
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) > 1) state.SkipWithError("--check failed");
  }
}
BENCHMARK(BM_CheckCommand)->UseRealTime()->Iterations(1)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace
