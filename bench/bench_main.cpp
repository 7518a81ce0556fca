// kvrbench: runs the benchmarks, then sets each of the viewer's figures against its floor.
//
//   Frame   a whole RenderFrame           / the same frame drawn by a   goal <= 1.2
//                                           bare SDL2 + GL program
//   Frame   a whole RenderFrame           / a clear and a present       goal <= 1.3
//   Load    start-up to the first frame,  / reading the files' words    goal <= 1
//           read on every core              on one core
//   Beat    one animation beat            / a clear and a present       goal <  1
//   Open    40,000 files by other-case    / the same by exact names     goal <= 2
//           names through CreateFileA
//   Memory  peak resident after the load  / empty program + content     goal <= 1.5
//
// Every time is the median of the repetitions; figure and floor come from the same run, their
// repetitions interleaved.
// Google Benchmark's own flags work as usual (--benchmark_filter skips the figures it filters out).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench_stage.h"
#include "memory_probe.h"

namespace {

// Passes everything to the console and keeps each benchmark's median real time, in seconds.
class MedianKeeper : public benchmark::ConsoleReporter {
 public:
  explicit MedianKeeper(bool color) : ConsoleReporter(color ? OO_ColorTabular : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (median || single)
        medians[run.run_name.function_name] =
            run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> medians;
};

std::string Time(double seconds) {
  char buf[32];
  if (seconds >= 1.0)
    std::snprintf(buf, sizeof buf, "%.2f s", seconds);
  else if (seconds >= 1e-3)
    std::snprintf(buf, sizeof buf, "%.2f ms", seconds * 1e3);
  else
    std::snprintf(buf, sizeof buf, "%.1f us", seconds * 1e6);
  return buf;
}

std::string Megabytes(double bytes) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f MB", bytes / (1024.0 * 1024.0));
  return buf;
}

void Row(const char* figure, const std::string& value, const char* floorName,
         const std::string& floorValue, double ratio, const char* goal, bool met) {
  std::printf("%-7s %12s  %-26s %12s  %6.2f  %-7s %s\n", figure, value.c_str(), floorName,
              floorValue.c_str(), ratio, goal, met ? "met" : "NOT MET");
}

void Missing(const char* figure) { std::printf("%-7s not measured in this run\n", figure); }

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--memory-probe=", 15) == 0) return bench::RunMemoryProbe(argv[i] + 15);

  bool memory = true;
  bool scale = false;  // --scale: also the 100,000-model set, for the Scale rows
  bool interleaving = false;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--no-memory") == 0) {
      memory = false;
      continue;
    }
    if (std::strcmp(argv[i], "--scale") == 0) {
      scale = true;
      continue;
    }
    interleaving |= std::strncmp(argv[i], "--benchmark_enable_random_interleaving", 38) == 0;
    args.push_back(argv[i]);
  }
  // A figure and its floor are measured in turns, their repetitions shuffled together, so a
  // machine that is busier for a while slows both alike instead of one of them.
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  if (!interleaving) args.insert(args.begin() + 1, interleave);
  if (scale) bench::RegisterScaleBenchmarks();
  int count = int(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;
  MedianKeeper reporter(isatty(STDOUT_FILENO) && std::getenv("TERM") && std::strcmp(std::getenv("TERM"), "dumb") != 0);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  bench::Shutdown();

  std::printf("\n%-7s %12s  %-26s %12s  %6s  %-7s\n", "figure", "median", "floor", "median",
              "ratio", "goal");
  const auto& m = reporter.medians;
  auto has = [&](const char* name) { return m.count(name) && m.at(name) > 0; };
  if (has("BM_ClearPresent") && has("BM_BareClearSwap")) {
    const double r = m.at("BM_ClearPresent") / m.at("BM_BareClearSwap");
    Row("Present", Time(m.at("BM_ClearPresent")), "bare SDL2 + GL clear, swap", Time(m.at("BM_BareClearSwap")), r,
        "<= 1.3", r <= 1.3);
  } else {
    Missing("Present");
  }
  if (has("BM_Frame") && has("BM_BareFrame")) {
    const double r = m.at("BM_Frame") / m.at("BM_BareFrame");
    Row("Frame", Time(m.at("BM_Frame")), "bare SDL2 + GL frame", Time(m.at("BM_BareFrame")), r, "<= 1.2",
        r <= 1.2);
  } else {
    Missing("Frame");
  }
  if (has("BM_Frame") && has("BM_ClearPresent")) {
    const double r = m.at("BM_Frame") / m.at("BM_ClearPresent");
    Row("Frame", Time(m.at("BM_Frame")), "clear + present", Time(m.at("BM_ClearPresent")), r,
        "<= 1.3", r <= 1.3);
  } else {
    Missing("Frame");
  }
  if (has("BM_LoadToFirstFrame") && has("BM_ReadAndSplit")) {
    const double r = m.at("BM_LoadToFirstFrame") / m.at("BM_ReadAndSplit");
    Row("Load", Time(m.at("BM_LoadToFirstFrame")), "read files, split words",
        Time(m.at("BM_ReadAndSplit")), r, "<= 1", r <= 1.0);
  } else {
    Missing("Load");
  }
  if (has("BM_LoadOneThread") && has("BM_ReadAndSplit"))
    std::printf("        on the main thread alone %s, %.2f times the floor\n", Time(m.at("BM_LoadOneThread")).c_str(),
                m.at("BM_LoadOneThread") / m.at("BM_ReadAndSplit"));
  if (has("BM_CheckCommand") && has("BM_LoadToFirstFrame")) {
    const double r = m.at("BM_CheckCommand") / m.at("BM_LoadToFirstFrame");
    Row("Check", Time(m.at("BM_CheckCommand")), "the viewer's load", Time(m.at("BM_LoadToFirstFrame")), r,
        "<= 1.5", r <= 1.5);
  } else {
    Missing("Check");
  }
  if (has("BM_ExportAllCommand") && has("BM_LoadToFirstFrame")) {
    const double r = m.at("BM_ExportAllCommand") / m.at("BM_LoadToFirstFrame");
    Row("Export", Time(m.at("BM_ExportAllCommand")), "the viewer's load", Time(m.at("BM_LoadToFirstFrame")), r,
        "<= 3", r <= 3.0);
  } else {
    Missing("Export");
  }
  if (has("BM_Beat") && has("BM_ClearPresent")) {
    const double r = m.at("BM_Beat") / m.at("BM_ClearPresent");
    Row("Beat", Time(m.at("BM_Beat")), "clear + present", Time(m.at("BM_ClearPresent")), r, "< 1",
        r < 1.0);
  } else {
    Missing("Beat");
  }
  if (has("BM_LargeModelBeatAndFrame") && has("BM_LargeModelFrame")) {
    const double r = m.at("BM_LargeModelBeatAndFrame") / m.at("BM_LargeModelFrame");
    Row("Upload", Time(m.at("BM_LargeModelBeatAndFrame")), "the same frame, no beat",
        Time(m.at("BM_LargeModelFrame")), r, "< 2", r < 2.0);
  } else {
    Missing("Upload");
  }
  if (has("BM_OpenOtherCaseNames") && has("BM_OpenExactNames")) {
    const double r = m.at("BM_OpenOtherCaseNames") / m.at("BM_OpenExactNames");
    Row("Open", Time(m.at("BM_OpenOtherCaseNames")), "the same by exact names",
        Time(m.at("BM_OpenExactNames")), r, "<= 2", r <= 2.0);
  } else {
    Missing("Open");
  }
  if (scale) {
    if (has("BM_LoadHuge") && has("BM_LoadToFirstFrame")) {
      const double r = m.at("BM_LoadHuge") / m.at("BM_LoadToFirstFrame");
      Row("Scale", Time(m.at("BM_LoadHuge")), "the 10,000 models' load", Time(m.at("BM_LoadToFirstFrame")), r,
          "<= 10", r <= 10.0);
    } else {
      Missing("Scale");
    }
    const bench::MemoryProbe empty = bench::ProbeMemory("empty");
    const bench::MemoryProbe large = bench::ProbeMemory("large");
    const bench::MemoryProbe huge = bench::ProbeMemory("huge");
    if (empty.ok && large.ok && huge.ok && large.peakBytes > empty.peakBytes) {
      const double r = double(huge.peakBytes - empty.peakBytes) / double(large.peakBytes - empty.peakBytes);
      Row("Scale", Megabytes(double(huge.peakBytes - empty.peakBytes)), "the 10,000 models' memory",
          Megabytes(double(large.peakBytes - empty.peakBytes)), r, "<= 11", r <= 11.0);
    } else {
      Missing("Scale");
    }
  }
  if (memory) {
    const bench::MemoryProbe empty = bench::ProbeMemory("empty");
    const bench::MemoryProbe large = bench::ProbeMemory("large");
    if (empty.ok && large.ok) {
      const double content = double(large.textureBytes + large.vertexBytes);
      const double floor = double(empty.peakBytes) + content;
      const double r = double(large.peakBytes) / floor;
      Row("Memory", Megabytes(double(large.peakBytes)), "empty program + content",
          Megabytes(floor), r, "<= 1.5", r <= 1.5);
      std::printf("        empty program %s, textures with mips %s, vertices %s\n",
                  Megabytes(double(empty.peakBytes)).c_str(),
                  Megabytes(double(large.textureBytes)).c_str(),
                  Megabytes(double(large.vertexBytes)).c_str());
    } else {
      Missing("Memory");
    }
  }
  return 0;
}
