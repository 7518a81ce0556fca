// The command line: Windows' splitting rules, the options, and what the viewer makes of them.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "app/command_line.h"

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

TEST(CommandLineParse, PictureOptionsGoWithTheCommandsThatTakeThem) {
  // -o and --background belong to both picture commands, each of the others to one.
  CommandLine render = ParseCommandLine(
      {"--render", "hq", "-o", "hq.png", "--size", "300x200", "--background", "1,2,3", "--time", "250", "set"});
  ASSERT_EQ(render.action, CommandLine::Action::kRender) << render.problem;
  EXPECT_EQ(render.modelName, "hq");
  EXPECT_EQ(render.output, "hq.png");
  EXPECT_EQ(render.width, 300);
  EXPECT_EQ(render.height, 200);
  EXPECT_EQ(render.background[2], 3);
  EXPECT_EQ(render.time, 250u);
  EXPECT_EQ(render.folder, "set");

  CommandLine sheet = ParseCommandLine({"--background", "9,9,9", "--sheet", "--cell", "64", "-o", "s.png"});
  ASSERT_EQ(sheet.action, CommandLine::Action::kSheet) << sheet.problem;
  EXPECT_EQ(sheet.cell, 64);
  EXPECT_EQ(sheet.background[0], 9);

  EXPECT_EQ(ParseCommandLine({"--sheet", "-o", "s.png", "--time", "5"}).action, CommandLine::Action::kUsageError);
  EXPECT_EQ(ParseCommandLine({"--render", "hq", "-o", "a.png", "--cell", "64"}).action,
            CommandLine::Action::kUsageError);
  EXPECT_EQ(ParseCommandLine({"-o", "a.png"}).action, CommandLine::Action::kUsageError);
  EXPECT_EQ(ParseCommandLine({"--sheet"}).action, CommandLine::Action::kUsageError);
}

TEST(CommandLineText, VersionIsTheProjectsAndUsageNamesEveryOption) {
  EXPECT_TRUE(std::regex_match(VersionText(), std::regex("kvrview [0-9]+\\.[0-9]+\\.[0-9]+\n")))
      << VersionText();
  const std::string usage = UsageText();
  for (const char* word : {"--help", "--version", "FOLDER", "Escape", "numpad +", "Home / End"})
    EXPECT_NE(usage.find(word), std::string::npos) << word;
  EXPECT_EQ(usage.back(), '\n');
}

TEST(CommandLineHandle, AMissingFolderOrAFileStopsWithTwoAndTheRunGoesOn) {
  EXPECT_EQ(HandleCommandLine("--version"), 0);
  EXPECT_EQ(HandleCommandLine("--bogus"), 2);
  EXPECT_EQ(HandleCommandLine("\"no such folder here\""), 2);
  EXPECT_EQ(HandleCommandLine("/dev/null"), 2);
  EXPECT_EQ(HandleCommandLine(""), -1);
}

}  // namespace
