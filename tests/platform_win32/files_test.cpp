// Windows file names on this disk: separators, letter case, reading through kernel32 calls.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <chrono>
#include <future>
#include <thread>

#include "test_support.h"
#include "win32/path_resolution.h"

namespace {

// Not WriteFile: that name is kernel32's.
void WriteText(const std::string& path, const std::string& text) {
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
  WriteText("Duskfen/TexPages/Page-7.DDS", "seven");
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
  WriteText("models/A.pie", "upper");
  WriteText("models/a.pie", "lower");
  WriteText("models/bOx.pie", "mixed");
  WriteText("models/BoX.pie", "other");
  EXPECT_EQ(ReadWhole("models\\a.pie"), "lower");
  EXPECT_EQ(ReadWhole("MODELS\\A.pie"), "upper");
  // Neither spelling matches exactly: the byte-wise first of the candidates.
  EXPECT_EQ(KvrResolveWindowsPath("models\\box.pie"), "models/BoX.pie");
}

TEST(Win32Paths, MissingFilesAndDirectoriesFailToOpen) {
  testsupport::TempDir dir;
  WriteText("data/present.txt", "x");
  EXPECT_EQ(ReadWhole("data\\absent.txt"), "<no file>");
  EXPECT_EQ(ReadWhole("nodir\\present.txt"), "<no file>");
  EXPECT_EQ(ReadWhole("DATA"), "<no file>");  // a directory is not a file
  EXPECT_EQ(ReadWhole(""), "<no file>");
  EXPECT_EQ(KvrResolveWindowsPath("nodir\\Data\\present.txt"), "nodir/Data/present.txt");
}

// Lets a folder stand still long enough for its next listing to be kept and trusted, so what
// follows checks that a kept listing notices changes.
void LetSettle() { std::this_thread::sleep_for(std::chrono::milliseconds(kKvrFolderSettleMilliseconds * 2 + 20)); }

TEST(Win32PathCache, AFolderListedBeforeSeesFilesCreatedRenamedOverAndDeleted) {
  testsupport::TempDir dir;
  WriteText("Pages/page-1.dds", "lower");
  // Changed in the very moment it was listed: still seen.
  EXPECT_EQ(KvrResolveWindowsPath("PAGES\\PAGE-0.DDS"), "Pages/PAGE-0.DDS");
  WriteText("Pages/page-0.dds", "zero");
  EXPECT_EQ(KvrResolveWindowsPath("PAGES\\PAGE-0.DDS"), "Pages/page-0.dds");
  LetSettle();
  EXPECT_EQ(KvrResolveWindowsPath("PAGES\\PAGE-1.DDS"), "Pages/page-1.dds");

  // Created: a spelling that comes first in byte order now wins.
  WriteText("Pages/Page-1.dds", "upper");
  EXPECT_EQ(KvrResolveWindowsPath("PAGES\\PAGE-1.DDS"), "Pages/Page-1.dds");
  LetSettle();
  EXPECT_EQ(KvrResolveWindowsPath("pages\\page-1.DDS"), "Pages/Page-1.dds");

  // Renamed over the other spelling: only that one is left.
  ASSERT_EQ(rename("Pages/Page-1.dds", "Pages/page-1.dds"), 0);
  EXPECT_EQ(KvrResolveWindowsPath("PAGES\\PAGE-1.DDS"), "Pages/page-1.dds");
  LetSettle();
  EXPECT_EQ(KvrResolveWindowsPath("PAGES\\PAGE-1.DDS"), "Pages/page-1.dds");

  // Deleted: nothing matches.
  ASSERT_EQ(unlink("Pages/page-1.dds"), 0);
  EXPECT_EQ(KvrResolveWindowsPath("PAGES\\PAGE-1.DDS"), "Pages/PAGE-1.DDS");
  EXPECT_EQ(ReadWhole("PAGES\\PAGE-1.DDS"), "<no file>");
}

TEST(Win32PathCache, FoldersKeepTheirOwnListingsAndARelativeNameFollowsTheWorkingFolder) {
  {
    testsupport::TempDir dir;
    WriteText("One/Tex.dds", "one");
    WriteText("Two/TEX.dds", "two");
    LetSettle();
    for (int round = 0; round < 3; ++round) {
      EXPECT_EQ(ReadWhole("one\\tex.dds"), "one");
      EXPECT_EQ(ReadWhole("two\\tex.dds"), "two");
    }
    ASSERT_EQ(unlink("Two/TEX.dds"), 0);
    EXPECT_EQ(ReadWhole("two\\tex.dds"), "<no file>");
    EXPECT_EQ(ReadWhole("one\\tex.dds"), "one");
    WriteText("models/Box.pie", "first folder");
    LetSettle();
    EXPECT_EQ(ReadWhole("MODELS\\BOX.PIE"), "first folder");
  }
  // The same relative names in another working folder name other files.
  testsupport::TempDir dir;
  WriteText("models/bOX.pie", "second folder");
  LetSettle();
  EXPECT_EQ(ReadWhole("MODELS\\BOX.PIE"), "second folder");
}

class Win32PathCacheLimits : public ::testing::Test {
 protected:
  void TearDown() override { kvrtest::SetFolderCacheLimits(0, 0); }
  testsupport::TempDir dir_;
};

TEST_F(Win32PathCacheLimits, MoreFoldersThanItKeepsStillResolveAfterItStartsAgain) {
  kvrtest::SetFolderCacheLimits(1000, 4);
  constexpr int kFolders = 10;
  for (int i = 0; i < kFolders; ++i) WriteText("f" + std::to_string(i) + "/Name.txt", std::to_string(i));
  LetSettle();
  for (int pass = 0; pass < 3; ++pass)
    for (int i = 0; i < kFolders; ++i) {
      SCOPED_TRACE(i);
      ASSERT_EQ(ReadWhole(("F" + std::to_string(i) + "\\NAME.TXT").c_str()), std::to_string(i));
    }
}

TEST_F(Win32PathCacheLimits, AFolderWithMoreNamesThanItKeepsIsReadForEachName) {
  kvrtest::SetFolderCacheLimits(8, 4);
  for (int i = 0; i < 12; ++i) WriteText("big/Model" + std::to_string(i) + ".pie", "m" + std::to_string(i));
  WriteText("big/tex.dds", "lower");
  WriteText("big/Tex.dds", "upper");
  LetSettle();
  EXPECT_EQ(ReadWhole("BIG\\MODEL11.PIE"), "m11");
  EXPECT_EQ(KvrResolveWindowsPath("big\\TEX.DDS"), "big/Tex.dds");  // the first in byte order
  ASSERT_EQ(unlink("big/Tex.dds"), 0);
  EXPECT_EQ(KvrResolveWindowsPath("big\\TEX.DDS"), "big/tex.dds");
  EXPECT_EQ(KvrResolveWindowsPath("big\\none.dds"), "big/none.dds");
}

TEST(Win32Files, ReadsStopAtTheEndAndClosedHandlesAreDead) {
  testsupport::TempDir dir;
  WriteText("f.bin", "abcdef");
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

HANDLE Open(const char* name, DWORD access, DWORD disposition, DWORD flags = 0) {
  return CreateFileA(name, access, FILE_SHARE_READ, nullptr, disposition, flags, nullptr);
}

// Runs `call` on another thread. Should it still be waiting on the FIFO `fifo` (to open it, or
// to fill a read of up to 4 KB) after a long while, the FIFO gets a peer of both kinds and 4 KB,
// which releases it, and the test fails.
template <typename Call>
auto WithoutWaiting(const std::string& fifo, Call call) -> decltype(call()) {
  auto done = std::async(std::launch::async, call);
  if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    ADD_FAILURE() << "waited on " << fifo;
    const int peer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    const std::string release(4096, 'x');
    if (peer < 0 || ::write(peer, release.data(), release.size()) != ssize_t(release.size()))
      ADD_FAILURE() << "could not release the wait";
    done.wait();
    if (peer >= 0) close(peer);
  }
  return done.get();
}

TEST(Win32FileTypes, AFifoWithNoPeerOpensAtOnceForReadingAndRefusesWriting) {
  testsupport::TempDir dir;
  ASSERT_EQ(mkfifo("pipe.pie", 0644), 0);
  HANDLE writer = WithoutWaiting("pipe.pie", [] { return Open("pipe.pie", GENERIC_WRITE, OPEN_EXISTING); });
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);  // nobody would ever read what it writes
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  HANDLE reader = WithoutWaiting("pipe.pie", [] { return Open("PIPE.PIE", GENERIC_READ, OPEN_EXISTING); });
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileType(reader), FILE_TYPE_PIPE);
  char buffer[8];
  DWORD read = 99;
  EXPECT_TRUE(ReadFile(reader, buffer, sizeof buffer, &read, nullptr));  // no writer: at its end
  EXPECT_EQ(read, 0u);
  // With a reader there, a writer opens too; with nothing written, reading fails instead of waiting.
  writer = WithoutWaiting("pipe.pie", [] { return Open("pipe.pie", GENERIC_WRITE, OPEN_ALWAYS); });
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileType(writer), FILE_TYPE_PIPE);
  EXPECT_FALSE(WithoutWaiting("pipe.pie", [&] { return ReadFile(reader, buffer, sizeof buffer, &read, nullptr); }));
  EXPECT_TRUE(CloseHandle(writer));
  EXPECT_TRUE(CloseHandle(reader));
  struct stat st;
  ASSERT_EQ(lstat("pipe.pie", &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));  // OPEN_ALWAYS left it a FIFO
}

TEST(Win32FileTypes, DevicesFilesAndDeadHandlesReportTheirKind) {
  testsupport::TempDir dir;
  WriteText("model.pie", "PIE 2");
  HANDLE null = Open("/dev/null", GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(null, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileType(null), FILE_TYPE_CHAR);
  HANDLE file = Open("MODEL.PIE", GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileType(file), FILE_TYPE_DISK);
  EXPECT_TRUE(CloseHandle(null));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(GetFileType(file), FILE_TYPE_UNKNOWN);
  EXPECT_EQ(GetFileType(INVALID_HANDLE_VALUE), FILE_TYPE_UNKNOWN);
  EXPECT_EQ(GetFileType(nullptr), FILE_TYPE_UNKNOWN);
}

TEST(Win32Files, OpenReparsePointRefusesALinkWithEveryDispositionAndLeavesItsTargetAlone) {
  testsupport::TempDir dir;
  WriteText("target.log", "earlier lines\n");
  ASSERT_EQ(symlink("target.log", "link.log"), 0);
  ASSERT_EQ(symlink("missing.log", "dangling.log"), 0);
  const DWORD dispositions[] = {CREATE_NEW, CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS, TRUNCATE_EXISTING};
  for (const char* name : {"link.log", "LINK.LOG", "dangling.log", "Dangling.Log"}) {
    for (DWORD disposition : dispositions) {
      SCOPED_TRACE(std::string(name) + " disposition " + std::to_string(disposition));
      EXPECT_EQ(Open(name, GENERIC_READ | GENERIC_WRITE, disposition, FILE_FLAG_OPEN_REPARSE_POINT),
                INVALID_HANDLE_VALUE);
    }
  }
  EXPECT_EQ(testsupport::ReadFile("target.log"), "earlier lines\n");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status("missing.log")));
  // Without the flag a link is followed; with it, only the last component is refused.
  EXPECT_EQ(ReadWhole("LINK.LOG"), "earlier lines\n");
  std::filesystem::create_directory("logs");
  ASSERT_EQ(symlink("logs", "logs-link"), 0);
  HANDLE h = Open("logs-link\\New.log", GENERIC_WRITE, CREATE_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status("logs/New.log")));
}

TEST(Win32Files, WritesAppendAfterSeekingToTheEndAndSetEndOfFileAtZeroEmpties) {
  testsupport::TempDir dir;
  HANDLE h = Open("KVRerrors.log", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(h, "first\n", 6, &written, nullptr));
  EXPECT_EQ(written, 6u);
  EXPECT_TRUE(CloseHandle(h));
  h = Open("kvrerrors.LOG", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);  // the same file, kept
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_END), 6u);
  EXPECT_TRUE(WriteFile(h, "second\n", 7, nullptr, nullptr));
  EXPECT_EQ(testsupport::ReadFile("KVRerrors.log"), "first\nsecond\n");
  EXPECT_EQ(SetFilePointer(h, -7, nullptr, FILE_CURRENT), 6u);
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_BEGIN), 0u);
  EXPECT_TRUE(SetEndOfFile(h));
  EXPECT_EQ(GetFileSize(h, nullptr), 0u);
  EXPECT_EQ(testsupport::ReadFile("KVRerrors.log"), "");
  EXPECT_TRUE(CloseHandle(h));
  // Opened for reading, it neither takes writes nor truncates.
  h = Open("KVRERRORS.LOG", GENERIC_WRITE, OPEN_EXISTING);
  ASSERT_TRUE(WriteFile(h, "kept", 4, nullptr, nullptr));
  CloseHandle(h);
  h = Open("KVRERRORS.LOG", GENERIC_READ, OPEN_EXISTING);
  EXPECT_FALSE(WriteFile(h, "x", 1, &written, nullptr));
  EXPECT_EQ(written, 0u);
  EXPECT_FALSE(SetEndOfFile(h));
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(testsupport::ReadFile("KVRerrors.log"), "kept");
}

TEST(Win32Files, TheFilePointerMovesIn64BitsAndNeverBeforeTheStart) {
  testsupport::TempDir dir;
  HANDLE h = Open("big.bin", GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(WriteFile(h, "0123456789", 10, nullptr, nullptr));
  LONG high = 1;
  EXPECT_EQ(SetFilePointer(h, 16, &high, FILE_BEGIN), 16u);  // 4 GB + 16, nothing written there
  EXPECT_EQ(high, 1);
  // Without the high part a position past 4 GB can't be told, so the move fails.
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  high = -1;  // with the low part, -12 in 64 bits
  EXPECT_EQ(SetFilePointer(h, -12, &high, FILE_CURRENT), 4u);
  EXPECT_EQ(high, 1);
  high = 0;
  EXPECT_EQ(SetFilePointer(h, 3, &high, FILE_BEGIN), 3u);
  EXPECT_EQ(SetFilePointer(h, -4, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(SetFilePointer(h, -11, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, 3), INVALID_SET_FILE_POINTER);
  char c = 0;
  ASSERT_TRUE(ReadFile(h, &c, 1, nullptr, nullptr));
  EXPECT_EQ(c, '3');  // no failed move moved it
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
}

TEST(Win32Files, FileInformationCarriesSizeLinksIdentityAndTimes) {
  testsupport::TempDir dir;
  WriteText("model.pie", "PIE 2\n");
  WriteText("other.pie", "PIE 3\n");
  ASSERT_EQ(link("model.pie", "second-name.pie"), 0);
  // 1,000,000,000.0000005 s after 1970: 11644473600 s more from 1601, in 100 ns ticks.
  const timespec times[2] = {{1000000000, 500}, {1000000000, 500}};
  ASSERT_EQ(utimensat(AT_FDCWD, "model.pie", times, 0), 0);
  const uint64_t expectedTicks = (1000000000ull + 11644473600ull) * 10000000ull + 5;

  auto information = [](const char* name) {
    BY_HANDLE_FILE_INFORMATION info = {};
    HANDLE h = Open(name, GENERIC_READ, OPEN_EXISTING);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << name;
    EXPECT_TRUE(GetFileInformationByHandle(h, &info)) << name;
    CloseHandle(h);
    return info;
  };
  const BY_HANDLE_FILE_INFORMATION model = information("MODEL.PIE");
  EXPECT_EQ(model.dwFileAttributes, DWORD(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(model.nFileSizeHigh, 0u);
  EXPECT_EQ(model.nFileSizeLow, 6u);
  EXPECT_EQ(model.nNumberOfLinks, 2u);
  auto ticks = [](const FILETIME& ft) { return uint64_t(ft.dwHighDateTime) << 32 | ft.dwLowDateTime; };
  EXPECT_EQ(ticks(model.ftLastWriteTime), expectedTicks);
  EXPECT_EQ(ticks(model.ftLastAccessTime), expectedTicks);
  EXPECT_LE(ticks(model.ftCreationTime), ticks(model.ftLastWriteTime));

  // Volume and index name the file: the same through both names, another file differs.
  const BY_HANDLE_FILE_INFORMATION second = information("second-name.pie");
  const BY_HANDLE_FILE_INFORMATION other = information("other.pie");
  EXPECT_EQ(second.dwVolumeSerialNumber, model.dwVolumeSerialNumber);
  EXPECT_EQ(second.nFileIndexHigh, model.nFileIndexHigh);
  EXPECT_EQ(second.nFileIndexLow, model.nFileIndexLow);
  EXPECT_EQ(other.dwVolumeSerialNumber, model.dwVolumeSerialNumber);
  EXPECT_FALSE(other.nFileIndexLow == model.nFileIndexLow && other.nFileIndexHigh == model.nFileIndexHigh);

  EXPECT_EQ(information("/dev/null").dwFileAttributes, DWORD(FILE_ATTRIBUTE_DEVICE));
  BY_HANDLE_FILE_INFORMATION untouched = {};
  EXPECT_FALSE(GetFileInformationByHandle(INVALID_HANDLE_VALUE, &untouched));
}

TEST(Win32Files, AttributesTellLinksFoldersDevicesAndFilesApartWithoutFollowingTheLastLink) {
  testsupport::TempDir dir;
  WriteText("Pages/page.dds", "DDS ");
  ASSERT_EQ(mkfifo("Pages/pipe.dds", 0644), 0);
  ASSERT_EQ(symlink("page.dds", "Pages/link.dds"), 0);
  ASSERT_EQ(symlink("nowhere.dds", "Pages/dangling.dds"), 0);
  ASSERT_EQ(symlink("Pages", "folder-link"), 0);
  EXPECT_EQ(GetFileAttributesA("pages\\PAGE.DDS"), DWORD(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributesA("PAGES"), DWORD(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(GetFileAttributesA("pages\\pipe.dds"), DWORD(FILE_ATTRIBUTE_DEVICE));
  EXPECT_EQ(GetFileAttributesA("/dev/null"), DWORD(FILE_ATTRIBUTE_DEVICE));
  EXPECT_EQ(GetFileAttributesA("Pages\\LINK.dds"), DWORD(FILE_ATTRIBUTE_REPARSE_POINT));
  EXPECT_EQ(GetFileAttributesA("Pages\\dangling.dds"), DWORD(FILE_ATTRIBUTE_REPARSE_POINT));
  EXPECT_EQ(GetFileAttributesA("folder-link"), DWORD(FILE_ATTRIBUTE_REPARSE_POINT));
  EXPECT_EQ(GetFileAttributesA("FOLDER-LINK\\page.dds"), DWORD(FILE_ATTRIBUTE_NORMAL));  // links before the last are followed
  EXPECT_EQ(GetFileAttributesA("Pages\\missing.dds"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA("missing\\page.dds"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(""), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(nullptr), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32Files, AttributeDataGivesSizeAndWriteTimeWithoutOpeningAndFollowsEveryChange) {
  testsupport::TempDir dir;
  WriteText("Pages/page.dds", "DDS 1234");
  ASSERT_EQ(symlink("page.dds", "Pages/link.dds"), 0);
  const auto stamp = [](const char* name, WIN32_FILE_ATTRIBUTE_DATA& data) {
    data = {};
    return GetFileAttributesExA(name, GetFileExInfoStandard, &data);
  };
  WIN32_FILE_ATTRIBUTE_DATA first, again, link;
  ASSERT_TRUE(stamp("PAGES\\Page.DDS", first));
  EXPECT_EQ(first.dwFileAttributes, DWORD(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(first.nFileSizeLow, 8u);
  EXPECT_EQ(first.nFileSizeHigh, 0u);
  ASSERT_TRUE(stamp("pages\\link.dds", link));
  EXPECT_EQ(link.dwFileAttributes, DWORD(FILE_ATTRIBUTE_REPARSE_POINT));
  ASSERT_TRUE(stamp("pages", again));
  EXPECT_EQ(again.dwFileAttributes, DWORD(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(again.nFileSizeLow, 0u);

  // A write time a second later is a different stamp, also at the same size.
  struct timespec later[2] = {{0, UTIME_OMIT}, {0, 0}};
  struct stat st;
  ASSERT_EQ(stat("Pages/page.dds", &st), 0);
  later[1].tv_sec = st.st_mtim.tv_sec + 1;
  later[1].tv_nsec = st.st_mtim.tv_nsec;
  ASSERT_EQ(utimensat(AT_FDCWD, "Pages/page.dds", later, 0), 0);
  ASSERT_TRUE(stamp("pages\\page.dds", again));
  const auto ticks = [](const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  EXPECT_EQ(ticks(again.ftLastWriteTime) - ticks(first.ftLastWriteTime), 10'000'000u);

  WIN32_FILE_ATTRIBUTE_DATA untouched = {};
  EXPECT_FALSE(GetFileAttributesExA("pages\\missing.dds", GetFileExInfoStandard, &untouched));
  EXPECT_FALSE(GetFileAttributesExA("", GetFileExInfoStandard, &untouched));
  EXPECT_FALSE(GetFileAttributesExA(nullptr, GetFileExInfoStandard, &untouched));
  EXPECT_FALSE(GetFileAttributesExA("pages\\page.dds", GetFileExMaxInfoLevel, &untouched));
  EXPECT_FALSE(GetFileAttributesExA("pages\\page.dds", GetFileExInfoStandard, nullptr));
}

TEST(Win32Files, SetCurrentDirectoryEntersFoldersByAnyCaseAndRefusesFilesAndMissingOnes) {
  testsupport::TempDir dir;
  WriteText("Data Set/Duskfen/page.dds", "DDS ");
  ASSERT_EQ(symlink("Data Set", "set-link"), 0);
  EXPECT_FALSE(SetCurrentDirectoryA("missing"));
  EXPECT_FALSE(SetCurrentDirectoryA("Data Set\\duskfen\\page.dds"));
  EXPECT_FALSE(SetCurrentDirectoryA(""));
  EXPECT_FALSE(SetCurrentDirectoryA(nullptr));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir.path()));

  ASSERT_TRUE(SetCurrentDirectoryA("data set\\DUSKFEN"));
  EXPECT_EQ(GetFileAttributesA("page.dds"), DWORD(FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(SetCurrentDirectoryA("..\\.."));
  ASSERT_TRUE(SetCurrentDirectoryA("set-link"));  // a link to a folder is followed
  EXPECT_EQ(GetFileAttributesA("duskfen\\page.dds"), DWORD(FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(SetCurrentDirectoryA((dir.path() + "/Data Set/Duskfen").c_str()));
  EXPECT_EQ(GetFileAttributesA("page.dds"), DWORD(FILE_ATTRIBUTE_NORMAL));
}

// A name marked \\?\ is this system's own: no other letter case, '\' a letter, for every call
// that takes a name; GetFullPathNameA puts the working folder before a relative name and
// changes nothing else.
TEST(Win32Files, NamesMarkedExactAreTakenByteForByteByEveryCall) {
  testsupport::TempDir dir;
  WriteText("Thesis.PNG", "theirs");
  WriteText("a\\b/inner.txt", "literal");
  std::filesystem::create_directories("a/b");
  WriteText("evil/x", "");
  char full[4096];
  char* part = nullptr;
  ASSERT_EQ(GetFullPathNameA("a\\b", sizeof(full), full, &part), dir.path().size() + 4);
  EXPECT_EQ(std::string(full), dir.path() + "/a\\b");
  EXPECT_STREQ(part, "b");
  EXPECT_EQ(GetFullPathNameA("/x/y", sizeof(full), full, nullptr), 4u);
  EXPECT_EQ(GetFullPathNameA("\\\\?\\rest", sizeof(full), full, nullptr), 8u);
  EXPECT_EQ(GetFullPathNameA("a", 2, full, nullptr), dir.path().size() + 3);  // the size it needs

  const std::string exact = "\\\\?\\" + dir.path();
  HANDLE out = CreateFileA((exact + "/thesis.png").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  CloseHandle(out);
  EXPECT_EQ(ReadWhole("Thesis.PNG"), "theirs");
  EXPECT_TRUE(std::filesystem::exists("thesis.png"));
  EXPECT_EQ(ReadWhole((exact + "/a\\b/inner.txt").c_str()), "literal");
  EXPECT_EQ(ReadWhole((exact + "/THESIS.PNG").c_str()), "<no file>");
  EXPECT_EQ(GetFileAttributesA((exact + "/THESIS.PNG").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(SetCurrentDirectoryA((exact + "/evil\\..\\..").c_str()));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir.path()));
  ASSERT_TRUE(SetCurrentDirectoryA((exact + "/a\\b").c_str()));
  EXPECT_EQ(ReadWhole("inner.txt"), "literal");
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
