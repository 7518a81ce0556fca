// Windows file names on this disk: separators, letter case, reading through kernel32 calls.
#include <gtest/gtest.h>
#include <windows.h>

#include "test_support.h"
#include "win32/path_resolution.h"

namespace {

void WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadWhole(const char* name) {
  HANDLE h = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<no file>";
  DWORD high = 99;
  DWORD size = GetFileSize(h, &high);
  EXPECT_EQ(high, 0u);
  std::string text(size, '\0');
  DWORD read = 0;
  EXPECT_TRUE(ReadFile(h, text.data(), size, &read, nullptr));
  EXPECT_EQ(read, size);
  EXPECT_TRUE(CloseHandle(h));
  return text;
}

TEST(Win32Paths, BackslashesAndOtherCaseReachTheFileComponentByComponent) {
  testsupport::TempDir dir;
  WriteFile("Duskfen/TexPages/Page-7.DDS", "seven");
  EXPECT_EQ(KvrResolveWindowsPath("duskfen\\texpages\\page-7.dds"), "Duskfen/TexPages/Page-7.DDS");
  EXPECT_EQ(KvrResolveWindowsPath("DUSKFEN\\\\TexPages/PAGE-7.dds"), "Duskfen/TexPages/Page-7.DDS");
  EXPECT_EQ(KvrResolveWindowsPath(".\\duskfen\\..\\Duskfen\\texpages\\Page-7.DDS"),
            "./Duskfen/../Duskfen/TexPages/Page-7.DDS");
  EXPECT_EQ(ReadWhole("duskfen\\TEXPAGES\\page-7.dds"), "seven");
  // Absolute names are resolved the same way below the root.
  std::string absolute = dir.path() + "\\DUSKFEN\\texpages\\page-7.dds";
  EXPECT_EQ(ReadWhole(absolute.c_str()), "seven");
}

TEST(Win32Paths, ExactCaseWinsAndTiesBreakTheSameWayEveryTime) {
  testsupport::TempDir dir;
  WriteFile("models/A.pie", "upper");
  WriteFile("models/a.pie", "lower");
  WriteFile("models/bOx.pie", "mixed");
  WriteFile("models/BoX.pie", "other");
  EXPECT_EQ(ReadWhole("models\\a.pie"), "lower");
  EXPECT_EQ(ReadWhole("MODELS\\A.pie"), "upper");
  // Neither spelling matches exactly: the byte-wise first of the candidates.
  EXPECT_EQ(KvrResolveWindowsPath("models\\box.pie"), "models/BoX.pie");
}

TEST(Win32Paths, MissingFilesAndDirectoriesFailToOpen) {
  testsupport::TempDir dir;
  WriteFile("data/present.txt", "x");
  EXPECT_EQ(ReadWhole("data\\absent.txt"), "<no file>");
  EXPECT_EQ(ReadWhole("nodir\\present.txt"), "<no file>");
  EXPECT_EQ(ReadWhole("DATA"), "<no file>");  // a directory is not a file
  EXPECT_EQ(ReadWhole(""), "<no file>");
  EXPECT_EQ(KvrResolveWindowsPath("nodir\\Data\\present.txt"), "nodir/Data/present.txt");
}

TEST(Win32Files, ReadsStopAtTheEndAndClosedHandlesAreDead) {
  testsupport::TempDir dir;
  WriteFile("f.bin", "abcdef");
  HANDLE h = CreateFileA("F.BIN", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ASSERT_NE(h, nullptr);
  char buffer[16] = {};
  DWORD read = 0;
  EXPECT_TRUE(ReadFile(h, buffer, 4, &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "abcd");
  EXPECT_TRUE(ReadFile(h, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "ef");
  EXPECT_TRUE(ReadFile(h, buffer, sizeof buffer, &read, nullptr));  // at the end: success, nothing
  EXPECT_EQ(read, 0u);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_FALSE(ReadFile(h, buffer, 1, &read, nullptr));
  EXPECT_EQ(GetFileSize(h, nullptr), INVALID_FILE_SIZE);
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

TEST(Win32Files, MulDivRoundsHalvesAwayFromZeroAndRefusesZeroAndOverflow) {
  EXPECT_EQ(MulDiv(12, 96, 72), 16);
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(5, 1, -2), -3);
  EXPECT_EQ(MulDiv(7, 1, 3), 2);
  EXPECT_EQ(MulDiv(1 << 30, 1 << 30, 1 << 30), 1 << 30);  // the product needs 64 bits
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(1 << 30, 8, 1), -1);
}

}  // namespace
