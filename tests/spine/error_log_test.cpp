#include <gtest/gtest.h>

#include <filesystem>

#include "base/error_log.h"
#include "test_support.h"

using testsupport::ReadFile;
using testsupport::ReadLines;
using testsupport::TempDir;

TEST(ErrorLog, StartEmptiesTheLogAndWritesItsStartLine) {
  TempDir dir;
  testsupport::WriteFile("KVRerrors.log", "old line\nanother\n");
  ErrorLog::Start();
  EXPECT_EQ(ReadFile("KVRerrors.log"), "KVRerrors.log started \n");
}

TEST(ErrorLog, OnlyWhatFollowsTheSecondStartRemains) {
  TempDir dir;
  ErrorLog::Start();
  ErrorLog::Write("Failed to create the D3D Hardware Device ");
  ErrorLog::Start();
  ErrorLog::Write("Closing down");
  EXPECT_EQ(ReadFile("KVRerrors.log"), "KVRerrors.log started \nClosing down\n");
}

TEST(ErrorLog, LinesKeepTheirTextExactly) {
  TempDir dir;
  ErrorLog::Write("");  // no Start: the file is simply created
  ErrorLog::Write("Failed to load texture kvrcursor.dds ");
  ErrorLog::WriteValue("size ", 0);
  ErrorLog::WriteValue("size ", -12);
  ErrorLog::WriteValue("size ", 2147483647);
  EXPECT_EQ(ReadFile("KVRerrors.log"),
            "\nFailed to load texture kvrcursor.dds \nsize  0\nsize  -12\nsize  2147483647\n");
}

TEST(ErrorLog, ALogThatCannotBeOpenedLosesOnlyItsOwnLines) {
  TempDir dir;
  std::filesystem::create_directory("KVRerrors.log");  // root may write anywhere; a folder stops it
  ErrorLog::Start();
  ErrorLog::Write("lost");
  EXPECT_TRUE(std::filesystem::is_directory("KVRerrors.log"));
  std::filesystem::remove("KVRerrors.log");
  ErrorLog::Write("kept");
  EXPECT_EQ(ReadLines("KVRerrors.log"), std::vector<std::string>{"kept"});
}
