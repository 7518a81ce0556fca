// Opening files by name through CreateFileA: the 40,000 files of one folder by their own names,
// and by the same names upper-cased, as a data set's lists may spell them; the layer then has to
// find the disk's letter case for each. The folder is written once per run into the build's
// scratch space and removed at exit.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 40000;

struct OpenSet {
  std::string dir;
  std::vector<std::string> exactNames;      // as on disk, in the program's Windows form
  std::vector<std::string> otherCaseNames;  // the same, file names upper-cased
  bool ok = false;

  OpenSet() {
    dir = std::string(KVR_BENCH_SCRATCH_DIR) + "/open-by-name-" + std::to_string(getpid());
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir, ec);
    if (ec) {
      std::fprintf(stderr, "kvrbench: cannot make %s: %s\n", dir.c_str(), ec.message().c_str());
      return;
    }
    std::string windowsDir = dir;
    std::replace(windowsDir.begin(), windowsDir.end(), '/', '\\');
    exactNames.reserve(kFiles);
    otherCaseNames.reserve(kFiles);
    for (int i = 0; i < kFiles; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "Model_%05d.pie", i);
      const int fd = open((dir + "/" + name).c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
      if (fd < 0 || close(fd) != 0) {
        std::fprintf(stderr, "kvrbench: cannot write %s/%s\n", dir.c_str(), name);
        return;
      }
      std::string upper = name;
      for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
      exactNames.push_back(windowsDir + "\\" + name);
      otherCaseNames.push_back(windowsDir + "\\" + upper);
    }
    ok = true;
  }
  ~OpenSet() {
    std::error_code ec;
    if (!dir.empty()) fs::remove_all(dir, ec);
  }
};

const OpenSet& Set() {
  static const OpenSet set;
  return set;
}

void OpenEveryFile(benchmark::State& state, bool exact) {
  const OpenSet& set = Set();  // written before the first timed pass
  if (!set.ok) {
    state.SkipWithError("no folder to open files in");
    return;
  }
  const std::vector<std::string>& names = exact ? set.exactNames : set.otherCaseNames;
  for (auto _ : state) {
    size_t opened = 0;
    for (const std::string& name : names) {
      HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h == INVALID_HANDLE_VALUE) continue;
      ++opened;
      CloseHandle(h);
    }
    if (opened != names.size()) state.SkipWithError("a file did not open");
  }
  state.SetItemsProcessed(state.iterations() * int64_t(names.size()));
}

// The floor: every file opened by the name it has on disk.
void BM_OpenExactNames(benchmark::State& state) { OpenEveryFile(state, true); }
// The figure: the same files by names in other letter case.
void BM_OpenOtherCaseNames(benchmark::State& state) { OpenEveryFile(state, false); }

BENCHMARK(BM_OpenExactNames)->UseRealTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenOtherCaseNames)->UseRealTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace
