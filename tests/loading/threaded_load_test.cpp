// A load that reads and parses on worker threads leaves the log, the catalogue and every table
// exactly as a load on one thread does, on data sets small, hostile and large.
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "app/scene.h"
#include "base/load_bounds.h"
#include "base/ordered_work.h"
#include "base/problems.h"
#include "data/model_sources.h"
#include "loading_fixture.h"
#include "model/animation_table.h"

namespace loadingtest {
namespace {

namespace fs = std::filesystem;

std::vector<std::string>* divertedLog = nullptr;
void KeepLine(const std::string& line) { divertedLog->push_back(line); }

template <typename Words>
void DumpWords(std::ostringstream& out, const char* name, const Words& words) {
  out << name << ' ' << words.size() << ':';
  for (int32_t w : words) out << ' ' << w;
  out << '\n';
}

// Everything a load fills, as text: the log's lines, the problems, the catalogue with its
// sources, the three stores, the level entries, the pages and the animations.
// The load answers `calls` calls of its hook, then is given up as Escape gives it up; 0 never.
int callsLeft = 0;
bool CountCall() { return --callsLeft > 0; }

std::string LoadAndDump(int workers, int calls) {
  SetLoadWorkerThreads(workers);
  callsLeft = calls;
  KeepLoading = calls > 0 ? CountCall : nullptr;
  std::vector<std::string> log;
  std::vector<Problem> problems;
  divertedLog = &log;
  ErrorLog::Divert(KeepLine);
  CollectProblems(&problems);
  LoadDataSet();
  CollectProblems(nullptr);
  ErrorLog::Divert(nullptr);
  SetLoadWorkerThreads(kWorkersPerCore);
  KeepLoading = nullptr;

  std::ostringstream out;
  for (const std::string& line : log) out << "log " << line << '\n';
  for (const Problem& p : problems) out << "problem " << p.path << " | " << p.message << '\n';
  for (size_t m = 0; m < ModelCatalogue.size(); ++m) {
    const PieModel& r = ModelCatalogue[m];
    out << "model " << r.name << ' ' << r.category << ' ' << r.texturePage << ' ' << r.levelCount << ' '
        << r.pointStart << ' ' << r.polygonStart << ' ' << r.connectorStart << ' ' << r.animation << ' '
        << int(r.animated) << ' ' << r.frameCount << ' ' << int(r.teamColors) << ' ' << ModelSourcePath(int32_t(m))
        << '\n';
  }
  DumpWords(out, "points", PointStore);
  DumpWords(out, "polygons", PolygonStore);
  DumpWords(out, "connectors", ConnectorStore);
  for (const LevelBuffer& l : LevelBufferTable)
    out << "level " << l.model << ' ' << l.level << ' ' << l.triangleCount << ' ' << (l.buffer != nullptr) << '\n';
  for (const TexturePage& p : TexturePageTable) out << "page " << p.PageName << ' ' << (p.texture != nullptr) << '\n';
  for (const Animation& a : Animations)
    out << "animation " << a.name << ' ' << a.frameCount << ' ' << a.frameRate << ' ' << a.objectCount << ' '
        << a.firstFrame << ' ' << a.storedFrames << '\n';
  out << "frames " << AnimationFrames.size() << '\n';
  return out.str();
}

std::string ToolBesideTests(const char* tool) {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : (self.parent_path().parent_path() / tool).string();
}

// The data set's generator runs without the sanitizer runtime a sanitized test preloads (perl
// and python would report their own leaks as ours).
int Shell(const std::string& command) { return std::system(("LD_PRELOAD= " + command).c_str()); }

struct DataSetCase {
  const char* name;
  // Writes the data set into the folder "set"; SOURCE and TOOLS stand for the source folder and
  // the folder of the build's tools.
  const char* make;
  int keepLoadingCalls;  // given up after so many calls of the hook; 0: loaded to its end
};

const DataSetCase kDataSets[] = {
    {"sample", "cp -r SOURCE/sample set", 0},
    {"endToEnd", "perl SOURCE/tests/scripts/e2e/make_dataset.pl set", 0},
    {"hostile", "python3 SOURCE/tests/scripts/hostile/make_hostile_set.py set", 0},
    // The benchmarks' set at a fifth of its size: the same kinds of models, pages and lists.
    {"bench", "TOOLS/make_bench_set set 2000 10 >/dev/null", 0},
    // Given up in the middle of a category, with reads ahead still running.
    {"benchGivenUp", "TOOLS/make_bench_set set 2000 10 >/dev/null", 1500},
};

class ThreadedLoad : public LoadingTest, public ::testing::WithParamInterface<DataSetCase> {};

TEST_P(ThreadedLoad, LeavesTheLogAndEveryTableAsOneThreadDoes) {
  std::string make = GetParam().make;
  for (const auto& [word, folder] : {std::pair<std::string, std::string>{"SOURCE", KVR_SOURCE_DIR},
                                     {"TOOLS", fs::path(ToolBesideTests("make_bench_set")).parent_path().string()}})
    if (make.find(word) != std::string::npos) make.replace(make.find(word), word.size(), "'" + folder + "'");
  ASSERT_EQ(Shell(make), 0);
  fs::current_path(dir_->path() + "/set");
  const std::string one = LoadAndDump(0, GetParam().keepLoadingCalls);
  ResetProgramTables();
  EXPECT_GT(one.size(), 1000u);
  // More workers than this machine may have cores, so that reads really overlap.
  const std::string many = LoadAndDump(3, GetParam().keepLoadingCalls);
  ResetProgramTables();
  fs::current_path(dir_->path());
  EXPECT_TRUE(one == many) << "first difference at byte "
                           << std::mismatch(one.begin(), one.end(), many.begin(), many.end()).first - one.begin();
}

INSTANTIATE_TEST_SUITE_P(DataSets, ThreadedLoad, ::testing::ValuesIn(kDataSets),
                         [](const ::testing::TestParamInfo<DataSetCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace loadingtest
