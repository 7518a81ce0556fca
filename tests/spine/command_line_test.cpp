// The command line: Windows' splitting rules, the options, and what the viewer makes of them.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/data_set_above.h"
#include "app/turntable_command.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLineSplit, SpacesAndTabsSeparateAndAnEmptyLineHoldsNothing) {
  EXPECT_EQ(SplitCommandLine(""), Args{});
  EXPECT_EQ(SplitCommandLine("   \t "), Args{});
  EXPECT_EQ(SplitCommandLine(nullptr), Args{});
  EXPECT_EQ(SplitCommandLine("data"), Args{"data"});
  EXPECT_EQ(SplitCommandLine("  a\tb   c "), (Args{"a", "b", "c"}));
}

TEST(CommandLineSplit, QuotesKeepSpacesAndMayOpenMidWord) {
  EXPECT_EQ(SplitCommandLine("\"my data\""), Args{"my data"});
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\set\" x"), (Args{"C:\\Program Files\\set", "x"}));
  EXPECT_EQ(SplitCommandLine("dir\" with\"space"), Args{"dir withspace"});
  EXPECT_EQ(SplitCommandLine("\"\""), Args{""});
  EXPECT_EQ(SplitCommandLine("\"unclosed quote"), Args{"unclosed quote"});
  EXPECT_EQ(SplitCommandLine("\"say \"\"hi\"\"\""), Args{"say \"hi\""});
}

TEST(CommandLineSplit, BackslashesCountOnlyBeforeAQuote) {
  EXPECT_EQ(SplitCommandLine("a\\b\\\\c"), Args{"a\\b\\\\c"});
  EXPECT_EQ(SplitCommandLine("\"trailing\\\\\""), Args{"trailing\\"});
  EXPECT_EQ(SplitCommandLine("a\\\"b"), Args{"a\"b"});
  EXPECT_EQ(SplitCommandLine("a\\\\\\\"b"), Args{"a\\\"b"});
  EXPECT_EQ(SplitCommandLine("\"dir\\\\\" next"), (Args{"dir\\", "next"}));
}

TEST(CommandLineParse, NoArgumentRunsInTheCurrentFolderAndOneNamesTheFolder) {
  CommandLine none = ParseCommandLine({});
  EXPECT_EQ(none.action, CommandLine::Action::kRun);
  EXPECT_EQ(none.folder, "");

  CommandLine one = ParseCommandLine({"/data/my set"});
  EXPECT_EQ(one.action, CommandLine::Action::kRun);
  EXPECT_EQ(one.folder, "/data/my set");

  // A lone dash is a name, not an option.
  EXPECT_EQ(ParseCommandLine({"-"}).folder, "-");
}

TEST(CommandLineParse, HelpAndVersionWinOverEverythingElse) {
  EXPECT_EQ(ParseCommandLine({"--help"}).action, CommandLine::Action::kHelp);
  EXPECT_EQ(ParseCommandLine({"folder", "--bogus", "--help"}).action, CommandLine::Action::kHelp);
  EXPECT_EQ(ParseCommandLine({"--version"}).action, CommandLine::Action::kVersion);
  EXPECT_EQ(ParseCommandLine({"a", "b", "--version"}).action, CommandLine::Action::kVersion);
}

TEST(CommandLineParse, UnknownOptionsExtraFoldersAndEmptyNamesAreMistakes) {
  CommandLine unknown = ParseCommandLine({"--bogus"});
  EXPECT_EQ(unknown.action, CommandLine::Action::kUsageError);
  EXPECT_NE(unknown.problem.find("--bogus"), std::string::npos);
  EXPECT_EQ(ParseCommandLine({"-x", "folder"}).action, CommandLine::Action::kUsageError);
  EXPECT_EQ(ParseCommandLine({"a", "b"}).action, CommandLine::Action::kUsageError);
  EXPECT_EQ(ParseCommandLine({""}).action, CommandLine::Action::kUsageError);
}

TEST(CommandLineParse, HeadlessCommandsTakeTheirOwnOptionsWithCheckedValues) {
  const CommandLine check = ParseCommandLine({"--check", "--json", "set"});
  EXPECT_EQ(check.action, CommandLine::Action::kCheck);
  EXPECT_TRUE(check.json);
  EXPECT_EQ(check.folder, "set");

  const CommandLine render = ParseCommandLine({"--render", "tank", "-o", "t.png", "--size", "640x200",
                                               "--yaw", "-90.5", "--pitch", "10", "--background",
                                               "1,2,255", "--time", "1500"});
  EXPECT_EQ(render.action, CommandLine::Action::kRender);
  EXPECT_EQ(render.modelName, "tank");
  EXPECT_EQ(render.output, "t.png");
  EXPECT_EQ(render.width, 640);
  EXPECT_EQ(render.height, 200);
  EXPECT_FLOAT_EQ(render.yaw, -90.5f);
  EXPECT_TRUE(render.yawGiven && render.pitchGiven);
  EXPECT_EQ(render.background[0] + render.background[1] + render.background[2], 258);
  EXPECT_EQ(render.time, 1500u);
  EXPECT_EQ(render.folder, "");

  const CommandLine sheet = ParseCommandLine({"-o", "s.png", "--sheet", "--category", "weapons",
                                              "--cell", "96", "--columns", "5", "mods"});
  EXPECT_EQ(sheet.action, CommandLine::Action::kSheet);
  EXPECT_EQ(sheet.category, "weapons");
  EXPECT_EQ(sheet.cell, 96);
  EXPECT_EQ(sheet.columns, 5);
  EXPECT_EQ(sheet.folder, "mods");

  const CommandLine frames = ParseCommandLine({"--frames", "500", "--show", "atom", "sample"});
  EXPECT_EQ(frames.action, CommandLine::Action::kFrames);
  EXPECT_EQ(frames.frames, 500);
  EXPECT_EQ(frames.show, "atom");
  EXPECT_EQ(frames.folder, "sample");

  // A thumbnail's --size is a square's side; it has its own defaults.
  const CommandLine thumbnail = ParseCommandLine({"--thumbnail", "my model.pie", "-o", "t.png", "--size", "128"});
  EXPECT_EQ(thumbnail.action, CommandLine::Action::kThumbnail);
  EXPECT_EQ(thumbnail.modelFile, "my model.pie");
  EXPECT_EQ(thumbnail.width, 128);
  EXPECT_EQ(thumbnail.height, 128);
  EXPECT_EQ(ParseCommandLine({"--thumbnail", "m", "-o", "t.png"}).width, 256);
  // With --turntable, --frames counts its pictures instead of timing the viewer.
  const CommandLine turn = ParseCommandLine({"--frames", "12", "--turntable", "hq", "-o", "t.WebP", "--seconds",
                                             "1.25", "--size", "320x200", "--pitch", "10", "data"});
  EXPECT_EQ(turn.action, CommandLine::Action::kTurntable);
  EXPECT_EQ(turn.turnFrames, 12);
  EXPECT_EQ(turn.turnMilliseconds, 1250u);
  EXPECT_EQ(turn.width, 320);
  EXPECT_EQ(turn.pitch, 10.0f);
  EXPECT_EQ(turn.folder, "data");
  const CommandLine defaults = ParseCommandLine({"--turntable", "hq", "-o", "t.png"});
  EXPECT_EQ(defaults.turnFrames, 36);
  EXPECT_EQ(defaults.turnMilliseconds, 3600u);
  const CommandLine out = ParseCommandLine({"--export", "tank", "-o", "t.GLTF", "--scale", "0.5", "--time", "300", "set"});
  EXPECT_EQ(out.action, CommandLine::Action::kExport);
  EXPECT_DOUBLE_EQ(out.scale, 0.5);
  EXPECT_EQ(out.time, 300u);
  const CommandLine in = ParseCommandLine({"--import", "a.obj", "-o", "a.pie", "--page", "p", "--into", "set",
                                           "--category", "bodies"});
  EXPECT_EQ(in.action, CommandLine::Action::kImport);
  EXPECT_EQ(in.importFile + in.page + in.into + in.category, "a.objpsetbodies");

  // Values out of range or malformed, options of another command, a missing -o or name, two
  // commands at once.
  for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
           {"--json"}, {"--check", "--size", "10x10"}, {"--render", "a"}, {"--render"},
           {"--render", "a", "-o"}, {"--render", "a", "-o", "x.png", "--size", "15x100"},
           {"--render", "a", "-o", "x.png", "--size", "100x9000"}, {"--render", "a", "-o", "x.png", "--size", "100"},
           {"--render", "a", "-o", "x.png", "--yaw", "nan"}, {"--render", "a", "-o", "x.png", "--yaw", "1e9"},
           {"--render", "a", "-o", "x.png", "--background", "1,2"},
           {"--render", "a", "-o", "x.png", "--background", "1,2,256"},
           {"--render", "a", "-o", "x.png", "--background", "1,2,3,4"},
           {"--render", "a", "-o", "x.png", "--time", "-1"}, {"--render", "a", "-o", "x.png", "--cell", "64"},
           {"--sheet"}, {"--sheet", "-o", "s.png", "--cell", "31"}, {"--sheet", "-o", "s.png", "--columns", "0"},
           {"--sheet", "-o", "s.png", "--time", "5"}, {"--check", "--sheet", "-o", "s.png"},
           {"--frames", "0"}, {"--frames", "ten"}, {"--show", "atom"}, {"--check", "--frames", "5"},
           {"--thumbnail", "m.pie"}, {"--thumbnail", "m.pie", "-o", "t.png", "--size", "64x64"},
           {"--thumbnail", "m.pie", "-o", "t.png", "folder"}, {"--thumbnail", "m.pie", "-o", "t.png", "--time", "5"},
           {"--turntable", "a", "-o", "t.jpg"}, {"--turntable", "a"}, {"--turntable", "a", "-o", ".gif"},
           {"--turntable", "a", "-o", "t.gif", "--frames", "1001"}, {"--turntable", "a", "-o", "t.gif", "--seconds", "0"},
           {"--turntable", "a", "-o", "t.gif", "--seconds", "1e3"}, {"--render", "a", "-o", "x.png", "--seconds", "2"},
           {"--turntable", "a", "-o", "t.gif", "--size", "100"}, {"--turntable", "a", "-o", "t.gif", "--render", "b"},
           {"--export", "a", "-o", "a.png"}, {"--export", "a", "-o", "a.glb", "--scale", "0"},
           {"--export", "a", "-o", "a.glb", "--page", "p"}, {"--export-all"}, {"--export-all", "-o", "d", "--time", "5"},
           {"--import", "a.glb", "-o", "a.dds"}, {"--import", "a.glb", "-o", "a.pie", "set"},
           {"--import", "a.glb", "-o", "a.pie", "--into", "set"}, {"--render", "a", "-o", "x.png", "--scale", "1"}}) {
    EXPECT_EQ(ParseCommandLine(wrong).action, CommandLine::Action::kUsageError) << wrong[0] << " " << wrong.size();
  }
}

TEST(CommandLineText, VersionIsTheProjectsAndUsageNamesEveryOption) {
  EXPECT_TRUE(std::regex_match(VersionText(), std::regex("kvrview [0-9]+\\.[0-9]+\\.[0-9]+\n")))
      << VersionText();
  const std::string usage = UsageText();
  for (const char* word : {"--help", "--version", "--check", "--json", "--render", "--sheet", "--size",
                           "--background", "--time", "--category", "--cell", "--columns", "FOLDER",
                           "--thumbnail", "--turntable", "--seconds", "--export",
                           "--export-all", "--import", "--scale", "--page", "--into",
                           "Escape", "numpad +", "Home / End", "F5", "F12"})
    EXPECT_NE(usage.find(word), std::string::npos) << word;
  EXPECT_EQ(usage.back(), '\n');
}

TEST(TurntableMoments, SpreadEvenlyOverTheLoopInWholeMilliseconds) {
  EXPECT_EQ(TurntableMoment(0, 36, 3600), 0u);
  EXPECT_EQ(TurntableMoment(1, 36, 3600), 100u);
  EXPECT_EQ(TurntableMoment(2, 3, 1000), 666u);
  EXPECT_EQ(TurntableMoment(999, 1000, 600000), 599400u);  // no overflow at the longest loop
}

// The disk of these cases: the start-up manifests that exist.
const std::vector<std::string>* manifests = nullptr;
bool InManifests(const std::string& path) {
  for (const std::string& m : *manifests)
    if (m == path) return true;
  return false;
}

TEST(DataSetAbove, TheNearestFolderAboveTheFileHoldingTheStartUpManifest) {
  struct Case {
    const char* path;
    std::vector<std::string> manifests;
    const char* file;
    const char* folder;
    const char* root;
  };
  const Case cases[] = {
      {"/mods/set/duskfen/structs/hq.pie", {"/mods/set/duskfen/KVRStartUp.gam"}, "/mods/set/duskfen/structs/hq.pie",
       "/mods/set/duskfen/structs", "/mods/set"},
      // The nearest wins; the file's own folder counts.
      {"/a/b/c.pie", {"/a/duskfen/KVRStartUp.gam", "/a/b/duskfen/KVRStartUp.gam"}, "/a/b/c.pie", "/a/b", "/a/b"},
      {"/c.pie", {"/duskfen/KVRStartUp.gam"}, "/c.pie", "/", "/"},
      // Dots and doubled separators are taken as written; backslashes separate too.
      {"/x/./y//../set\\\\duskfen\\m.pie", {"/x/set/duskfen/KVRStartUp.gam"}, "/x/set/duskfen/m.pie",
       "/x/set/duskfen", "/x/set"},
      // ".." never climbs above the root; nothing found leaves the root empty.
      {"/../../lone/m.pie", {}, "/lone/m.pie", "/lone", ""},
      {"C:\\mods\\duskfen\\b\\m.pie", {"C:/mods/duskfen/KVRStartUp.gam"}, "C:/mods/duskfen/b/m.pie",
       "C:/mods/duskfen/b", "C:/mods"},
  };
  for (const Case& c : cases) {
    manifests = &c.manifests;
    const DataSetAbove place = FindDataSetAbove(c.path, InManifests);
    EXPECT_EQ(place.file, c.file) << c.path;
    EXPECT_EQ(place.folder, c.folder) << c.path;
    EXPECT_EQ(place.root, c.root) << c.path;
  }
}

TEST(CommandLineHandle, AMissingFolderOrAFileStopsWithTwoAndTheRunGoesOn) {
  EXPECT_EQ(HandleCommandLine("--version"), 0);
  EXPECT_EQ(HandleCommandLine("--bogus"), 2);
  EXPECT_EQ(HandleCommandLine("\"no such folder here\""), 2);
  EXPECT_EQ(HandleCommandLine("/dev/null"), 2);
  EXPECT_EQ(HandleCommandLine(""), -1);
}

}  // namespace
