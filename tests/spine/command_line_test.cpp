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
