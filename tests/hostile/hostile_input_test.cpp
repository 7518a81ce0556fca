// What a downloaded data set cannot do: make the viewer write through a link, wait on a pipe or a
// device, open a path outside its folder, hide log lines, cut its words, or pass a ceiling.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/ceilings.h"
#include "base/device.h"
#include "base/data_file.h"
#include "base/data_path.h"
#include "base/error_log.h"
#include "base/load_bounds.h"
#include "base/problems.h"
#include "data/category_manifests.h"
#include "dds_file.h"
#include "model/model_catalogue.h"
#include "model/pie_parser.h"
#include "model/texture_pages.h"
#include "program_tables.h"
#include "test_support.h"

namespace {

using testsupport::ReadFile;
using testsupport::ReadLines;
using testsupport::TempDir;
using testsupport::WriteFile;

TEST(DataPaths, PathsThatStayInsideTheDataSetAreAllowed) {
  for (const char* path : {"duskfen\\bodies\\", "duskfen/bodies/tank.pie", "a\\..\\b.pie", "./x.gam",
                           "a\\\\b\\.\\c", "duskfen\\texpages\\old page.dds", "x..y.pie"})
    EXPECT_EQ(DataPathRefusal(path), nullptr) << path;
}

TEST(DataPaths, AbsoluteDriveShareAndClimbingPathsAreRefusedWithTheirReason) {
  const struct {
    std::string path;
    std::string why;
  } cases[] = {
      {"/etc/passwd", "the path is absolute"},
      {"\\etc\\passwd", "the path is absolute"},
      {"\\\\host\\share\\x.pie", "the path is absolute"},
      {"\\\\?\\C:\\x.pie", "the path is absolute"},
      {"C:\\Windows\\x.pie", "the path names a drive"},
      {"C:x.pie", "the path names a drive"},
      {"tank.pie:stream", "the path names a drive"},
      {"..\\x.pie", "the path climbs out of the data set"},
      {"a/../../x.pie", "the path climbs out of the data set"},
      {"a\\b\\..\\..\\..\\x", "the path climbs out of the data set"},
      {std::string("tank\0.txt", 9), "the name holds a NUL byte"},
  };
  for (const auto& c : cases) {
    const char* why = DataPathRefusal(c.path);
    ASSERT_NE(why, nullptr) << c.path;
    EXPECT_EQ(std::string(why), c.why) << c.path;
  }
}

class HostileFiles : public ::testing::Test {
 protected:
  void SetUp() override { ResetProgramTables(); }
  void TearDown() override { ResetProgramTables(); }
  TempDir dir_;
};

TEST_F(HostileFiles, LogLinesCannotHoldControlBytesOrStartANewLine) {
  ErrorLog::Start();
  ErrorLog::Write("evil\x1b[2J\b\bname\r\nfake line\x7f");
  ErrorLog::Write(std::string("cut\0here", 8));
  ErrorLog::Write("duskfen\\bodies\\ stays as written");
  // C1 controls in UTF-8 (U+009B is a terminal's CSI, U+0085 a next line) and as lone bytes;
  // letters in UTF-8 or Latin-1, and a C2 that starts a letter, stay.
  ErrorLog::Write("csi\xC2\x9B" "2J nel\xC2\x85 lone\x9B\x80 caf\xC3\xA9 caf\xE9 \xC2\xA0\xE2\x82\xAC \xC2");
  EXPECT_EQ(ReadFile("KVRerrors.log"),
            "KVRerrors.log started \n"
            "evil\\x1B[2J\\x08\\x08name\\x0D\\x0Afake line\\x7F\n"
            "cut\\x00here\n"
            "duskfen\\bodies\\ stays as written\n"
            "csi\\xC2\\x9B2J nel\\xC2\\x85 lone\\x9B\\x80 caf\xC3\xA9 caf\xE9 \xC2\xA0\xE2\x82\xAC \xC2\n");
}

TEST_F(HostileFiles, TheLogStopsAtItsCeilingWithOneLineSayingSoUntilTheNextStart) {
  const std::string mebibyte(1 << 20, 'x');
  ErrorLog::Start();
  for (int i = 0; i < 70; ++i) ErrorLog::Write(mebibyte);
  ErrorLog::Write("dropped");
  EXPECT_LE(std::filesystem::file_size("KVRerrors.log"), kMaxLogBytes + 100);
  std::vector<std::string> lines = ReadLines("KVRerrors.log");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "The log has reached its ceiling of 64 MiB: later lines are dropped");
  ErrorLog::Start();
  ErrorLog::Write("after the restart");
  EXPECT_EQ(ReadLines("KVRerrors.log"), (std::vector<std::string>{"KVRerrors.log started ", "after the restart"}));
}

TEST_F(HostileFiles, TheLogNeverWritesThroughALinkOrIntoAPipeADeviceOrAFolder) {
  const std::string outside = dir_.path() + "/outside.txt";
  WriteFile("outside.txt", "the user's own file\n");
  std::filesystem::create_directory("set");
  std::filesystem::current_path("set");

  std::filesystem::create_symlink(outside, "KVRerrors.log");
  ErrorLog::Start();
  ErrorLog::Write("a word of the data set");
  EXPECT_EQ(ReadFile(outside), "the user's own file\n");
  std::filesystem::remove("KVRerrors.log");

  // A dangling link would create the file it names.
  std::filesystem::create_symlink(dir_.path() + "/created.txt", "KVRerrors.log");
  ErrorLog::Start();
  ErrorLog::Write("line");
  EXPECT_FALSE(std::filesystem::exists(dir_.path() + "/created.txt"));
  std::filesystem::remove("KVRerrors.log");

  // A pipe nobody reads: neither the open nor the write may wait.
  ASSERT_EQ(mkfifo("KVRerrors.log", 0644), 0);
  ErrorLog::Start();
  ErrorLog::Write("line");
  std::filesystem::remove("KVRerrors.log");

  std::filesystem::create_symlink("/dev/null", "KVRerrors.log");
  ErrorLog::Start();
  std::filesystem::remove("KVRerrors.log");

  // A second name of a file outside (a hard link) is no link to look through, but is no log either.
  std::filesystem::create_hard_link(outside, "KVRerrors.log");
  ErrorLog::Start();
  ErrorLog::Write("line");
  EXPECT_EQ(ReadFile(outside), "the user's own file\n");
  std::filesystem::remove("KVRerrors.log");

  // Once the name is a plain file again, lines are written as before.
  ErrorLog::Write("kept");
  EXPECT_EQ(ReadLines("KVRerrors.log"), std::vector<std::string>{"kept"});
}

TEST_F(HostileFiles, DataFilesThatAreNotRegularFilesAreNeverReadOrWaitedFor) {
  ASSERT_EQ(mkfifo("pipe.gam", 0644), 0);
  std::filesystem::create_symlink("/dev/zero", "zero.gam");
  std::filesystem::create_directory("folder.gam");
  std::vector<char> contents;
  for (const char* path : {"pipe.gam", "zero.gam", "folder.gam", "missing.gam"})
    EXPECT_FALSE(ReadDataFile(path, contents)) << path;
  // A link to a regular file inside the data set is read: shared asset folders are common.
  WriteFile("shared/real.gam", "tank");
  std::filesystem::create_symlink("shared/real.gam", "linked.gam");
  ASSERT_TRUE(ReadDataFile("linked.gam", contents));
  EXPECT_EQ(std::string(contents.begin(), contents.end()), "tank");
}

TEST_F(HostileFiles, DataFilesAreReadOnlyInsideTheFolderAndOnceALoadWithOneLineForARefusal) {
  WriteFile("outside/secret.gam", "SECRET");
  WriteFile("outside/folder/x.gam", "SECRET");
  WriteFile("set/shared/real.gam", "tank");
  WriteFile("set/KVRerrors.log", "log");
  WriteFile("set/kvrview-0001.png", "picture");
  std::filesystem::current_path("set");
  std::filesystem::create_symlink(dir_.path() + "/outside/secret.gam", "out.gam");
  std::filesystem::create_symlink("out.gam", "out-twice.gam");
  std::filesystem::create_symlink("../outside/folder", "ext");
  std::filesystem::create_symlink("shared/real.gam", "in.gam");
  std::filesystem::create_symlink("KVRerrors.log", "log.ani");
  const struct {
    const char* path;
    DataFileRead read;
    const char* line;  // the log's line, or null for none
  } cases[] = {
      {"out.gam", DataFileRead::kRefused, "Refused out.gam: it leads outside the data set"},
      {"out-twice.gam", DataFileRead::kRefused, "Refused out-twice.gam: it leads outside the data set"},
      {"EXT\\x.gam", DataFileRead::kRefused, "Refused EXT\\x.gam: it leads outside the data set"},
      {"KVRERRORS.LOG", DataFileRead::kRefused, "Refused KVRERRORS.LOG: kvrview writes it"},
      {"log.ani", DataFileRead::kRefused, "Refused log.ani: kvrview writes it"},
      {"shared\\..\\kvrview-0001.png", DataFileRead::kRefused,
       "Refused shared\\..\\kvrview-0001.png: kvrview writes it"},
      {"in.gam", DataFileRead::kRead, nullptr},
      // The same file again in this load, by its name, its other spelling and the link.
      {"shared\\real.gam", DataFileRead::kAlreadyRead, nullptr},
      {"SHARED/REAL.GAM", DataFileRead::kAlreadyRead, nullptr},
      {"in.gam", DataFileRead::kAlreadyRead, nullptr},
  };
  BeginLoad();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    ErrorLog::Divert(nullptr);
    std::vector<char> contents;
    static std::vector<std::string> lines;
    lines.clear();
    ErrorLog::Divert([](const std::string& line) { lines.push_back(line); });
    EXPECT_EQ(ReadDataSetFile(c.path, contents), c.read);
    ErrorLog::Divert(nullptr);
    EXPECT_EQ(std::string(contents.begin(), contents.end()), c.read == DataFileRead::kRead ? "tank" : "");
    EXPECT_EQ(lines, c.line ? std::vector<std::string>{c.line} : std::vector<std::string>{});
  }
  EndLoad();
  // Outside a load (live reload) a file is read as often as it changes.
  std::vector<char> again;
  EXPECT_EQ(ReadDataSetFile("shared/real.gam", again), DataFileRead::kRead);
}

TEST_F(HostileFiles, ProblemsPastTheirCeilingAreCountedNotKept) {
  std::vector<Problem> problems;
  CollectProblems(&problems);
  const std::string prefix(2000, 'p');
  for (int i = 0; i < 40000; ++i) ReportProblem(prefix + "\\a.ani", "the animation file cannot be opened");
  CollectProblems(nullptr);
  uint64_t kept = 0;
  for (const Problem& p : problems) kept += sizeof(Problem) + p.path.size() + p.message.size();
  EXPECT_LE(kept, kMaxProblemBytes);
  EXPECT_EQ(problems.size() + ProblemsNotKept(), 40000u);
  EXPECT_GT(ProblemsNotKept(), 0u);
}

TEST_F(HostileFiles, WordsOfAnyLengthAreReadWhole) {
  const std::string longWord(100000, 'w');
  const std::string text = "short " + longWord + "\tnext";
  TokenReader words(text.data(), text.data() + text.size());
  std::string word;
  std::vector<size_t> lengths;
  while (words.Next(word)) lengths.push_back(word.size());
  EXPECT_EQ(lengths, (std::vector<size_t>{5, 100000, 4}));
}

TEST_F(HostileFiles, AManifestNameHoldingANulByteIsRefusedNotCut) {
  WriteFile("models/tank.pie", "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 1 LEVEL 1 POINTS 0 POLYGONS 0");
  const std::string manifest = std::string("tank\0.txt", 9) + "\n..\\..\\escape\n";
  ErrorLog::Start();
  LoadCategoryEntries("models\\", manifest.data(), manifest.data() + manifest.size(), CategoryBodies);
  EXPECT_TRUE(ModelCatalogue.empty());
  const std::vector<std::string> log = ReadLines("KVRerrors.log");
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "Refused models\\tank\\x00.txt.pie: the name holds a NUL byte"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "Refused models\\..\\..\\escape.pie: the path climbs out of the data set"),
            log.end());
}

TEST_F(HostileFiles, OnePageWrittenManyWaysIsOnePageAndAPathOutsideIsRefused) {
  const char* spellings[] = {"big.dds", "BIG.dds", "./big.dds", ".\\big.dds", ".//big.dds",
                             "Big.DDS", ".\\\\BIG.dds"};
  std::vector<int32_t> numbers;
  for (const char* name : spellings) numbers.push_back(LoadTexturePage(name));
  EXPECT_EQ(numbers, std::vector<int32_t>(7, 0));
  EXPECT_EQ(TexturePageTable.size(), 1u);
  ErrorLog::Start();
  EXPECT_EQ(LoadTexturePage("..\\..\\..\\home\\secret.dds"), 1);
  EXPECT_EQ(TexturePageTable[1].texture, nullptr);
  EXPECT_EQ(ReadLines("KVRerrors.log").back(),
            "Refused duskfen\\texpages\\..\\..\\..\\home\\secret.dds: the path climbs out of the data set");
}

TEST_F(HostileFiles, APageLargerThanTheCeilingOnceRoundedIsNeverDecoded) {
  std::unique_ptr<testsupport::TestDevice> device = testsupport::CreateTestDevice(64, 64);
  ASSERT_TRUE(device && device->device);
  g_pd3dDevice = device->device;
  // A whole 4097 x 4097 DXT1 page (8 MB) rounds up to 8192 and is refused from its header; a
  // header alone that claims 4096 passes the ceiling, and its missing texels then fail the load
  // as any cut file does.
  WriteFile("duskfen/texpages/huge.dds",
            ddsfile::AsString(ddsfile::Header::Compressed("DXT1", 4097, 4097).Bytes()) +
                std::string(size_t{1025} * 1025 * 8, '\x55'));
  WriteFile("duskfen/texpages/edge.dds", ddsfile::AsString(ddsfile::Header::Compressed("DXT1", 4096, 16).Bytes()));
  ErrorLog::Start();
  LoadTexturePage("huge.dds");
  LoadTexturePage("edge.dds");
  EXPECT_EQ(ReadLines("KVRerrors.log"),
            (std::vector<std::string>{
                "KVRerrors.log started ",
                "Texture page larger than 4096 x 4096 texels once rounded, skipped: duskfen\\texpages\\huge.dds",
                "duskfen\\texpages\\edge.dds", "Failed to create texture NewTexture"}));
  EXPECT_EQ(TexturePageBytes(), 0u);
  ResetProgramTables();
  g_pd3dDevice = nullptr;
}

TEST(Ceilings, TheParserBoundsTheTrianglesAModelWillAskBuffersFor) {
  // A two-sided square makes 4 triangles, a plain triangle 1, a two-corner polygon none; the
  // bound is what the vertex ceiling is checked against before anything is committed.
  const std::string text =
      "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 2 LEVEL 1 POINTS 4 0 0 0 1 0 0 1 1 0 0 1 0 POLYGONS 2 "
      "2200 4 0 1 2 3 0 0 1 0 1 1 0 1  200 2 0 1 0 0 1 0 "
      "LEVEL 2 POINTS 3 0 0 0 1 0 0 1 1 0 POLYGONS 1 200 3 0 1 2 0 0 1 0 1 1";
  PieParse parsed;
  ASSERT_EQ(ParsePie(text.data(), text.data() + text.size(), parsed), PieResult::Ok);
  EXPECT_EQ(parsed.triangleBound, 5u);
}

TEST(Ceilings, SizesNearTheirLimitsNeverOverflowTheSum) {
  EXPECT_TRUE(FitsUnderCeiling(0, kMaxVertexBytes, kMaxVertexBytes));
  EXPECT_FALSE(FitsUnderCeiling(1, kMaxVertexBytes, kMaxVertexBytes));
  EXPECT_FALSE(FitsUnderCeiling(10, UINT64_MAX - 5, kMaxVertexBytes));
  EXPECT_FALSE(FitsUnderCeiling(kMaxVertexBytes + 1, 0, kMaxVertexBytes));
}

}  // namespace
