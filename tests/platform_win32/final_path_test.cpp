// The working folder and the final path of an open file, through their kernel32 calls.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "test_support.h"

namespace {

std::string FinalPath(HANDLE file, DWORD flags = VOLUME_NAME_DOS) {
  char buffer[4096];
  const DWORD length = GetFinalPathNameByHandleA(file, buffer, sizeof buffer, flags);
  return length == 0 || length >= sizeof buffer ? "<failed>" : std::string(buffer, length);
}

}  // namespace

TEST(Win32FinalPath, NamesTheOpenFileAsTheDiskSpellsItAndFollowsARename) {
  testsupport::TempDir dir;
  const std::string folder = std::filesystem::canonical(dir.path()).string();  // /tmp may be a link
  testsupport::WriteFile("Duskfen/Structs/Tower.PIE", "PIE 2");
  HANDLE file = CreateFileA("duskfen\\structs\\tower.pie", GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const std::string expected = folder + "/Duskfen/Structs/Tower.PIE";
  EXPECT_EQ(FinalPath(file), expected);
  EXPECT_EQ(FinalPath(file, FILE_NAME_OPENED | VOLUME_NAME_NONE), expected);
  EXPECT_EQ(FinalPath(file, VOLUME_NAME_GUID), "<failed>");  // this disk has no volume GUIDs

  // A short buffer is told the size it needs with the NUL, and left alone; an exact one is filled.
  const DWORD length = static_cast<DWORD>(expected.size());
  std::string buffer(length, 'x');
  EXPECT_EQ(GetFinalPathNameByHandleA(file, nullptr, 0, VOLUME_NAME_DOS), length + 1);
  EXPECT_EQ(GetFinalPathNameByHandleA(file, buffer.data(), length, VOLUME_NAME_DOS), length + 1);
  EXPECT_EQ(buffer, std::string(length, 'x'));
  buffer.assign(length + 1, 'x');
  EXPECT_EQ(GetFinalPathNameByHandleA(file, buffer.data(), length + 1, VOLUME_NAME_DOS), length);
  EXPECT_EQ(buffer, expected + '\0');

  // Renamed while open: the new name, as on Windows. Deleted: no name at all.
  std::filesystem::rename("Duskfen/Structs/Tower.PIE", "Duskfen/Structs/Keep.pie");
  EXPECT_EQ(FinalPath(file), folder + "/Duskfen/Structs/Keep.pie");
  std::filesystem::remove("Duskfen/Structs/Keep.pie");
  EXPECT_EQ(FinalPath(file), "<failed>");
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(FinalPath(file), "<failed>");
  EXPECT_EQ(FinalPath(INVALID_HANDLE_VALUE), "<failed>");
}

TEST(Win32WorkingFolder, GetCurrentDirectoryFollowsSetCurrentDirectoryAndSaysWhatABufferNeeds) {
  testsupport::TempDir dir;
  std::filesystem::create_directories("Data Set/Duskfen");
  ASSERT_TRUE(SetCurrentDirectoryA("data set\\DUSKFEN"));
  const std::string expected = std::filesystem::canonical(dir.path()).string() + "/Data Set/Duskfen";
  const DWORD length = static_cast<DWORD>(expected.size());
  char buffer[4096];
  EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), length);
  EXPECT_EQ(std::string(buffer), expected);
  char shortBuffer[8] = "abcdefg";
  EXPECT_EQ(GetCurrentDirectoryA(sizeof shortBuffer, shortBuffer), length + 1);
  EXPECT_STREQ(shortBuffer, "abcdefg");
}
