// Change notification: which changes signal a watched folder's handle, and for how long.
#include <fcntl.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "test_support.h"

namespace {

// What the viewer watches its folders for.
constexpr DWORD kEdits = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;
// Long enough never to run out on a loaded machine; a wait that succeeds returns at once.
constexpr DWORD kGenerous = 10000;

void Put(const std::string& path, const std::string& text, std::ios::openmode mode = std::ios::trunc) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
  std::ofstream(path, std::ios::binary | std::ios::out | mode) << text;
}

HANDLE Watch(const char* folder, DWORD filter = kEdits) {
  std::filesystem::create_directories(folder);
  return FindFirstChangeNotificationA(folder, FALSE, filter);
}

bool Signalled(HANDLE h) { return WaitForSingleObject(h, kGenerous) == WAIT_OBJECT_0; }
bool Quiet(HANDLE h) { return WaitForSingleObject(h, 20) == WAIT_TIMEOUT; }

// The thread is left behind if its wait never ends, so that a test fails instead of hanging.
std::future<DWORD> WaitInThread(HANDLE h) {
  std::promise<DWORD> result;
  std::future<DWORD> future = result.get_future();
  std::thread([h, result = std::move(result)]() mutable { result.set_value(WaitForSingleObject(h, INFINITE)); })
      .detach();
  return future;
}

// A wait that ended in the middle of a write leaves the rest of it to signal once more after the
// re-arm (as a change while the program rescans must): the second re-arm, once the write is done,
// finds nothing more.
void RearmAfterConcurrentWrite(HANDLE h) {
  FindNextChangeNotification(h);
  FindNextChangeNotification(h);
}

bool Ends(std::future<DWORD>& wait) {
  return wait.wait_for(std::chrono::milliseconds(kGenerous)) == std::future_status::ready;
}

TEST(Win32ChangeNotification, EachWayOfEditingAFileSignalsOnceAndIsThenQuiet) {
  testsupport::TempDir dir;
  Put("outside.tmp", "saved elsewhere");
  HANDLE h = Watch("pages");
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Quiet(h));
  const std::pair<const char*, std::function<void()>> edits[] = {
      {"create", [] { Put("pages/page-1.dds", "one"); }},
      {"append", [] { Put("pages/page-1.dds", "more", std::ios::app); }},
      {"write a temporary file", [] { Put("pages/page-1.dds.tmp", "new"); }},
      {"rename it over", [] { std::filesystem::rename("pages/page-1.dds.tmp", "pages/page-1.dds"); }},
      {"move one in over", [] { std::filesystem::rename("outside.tmp", "pages/page-1.dds"); }},
      {"touch", [] { utimensat(AT_FDCWD, "pages/page-1.dds", nullptr, 0); }},
      {"delete", [] { std::filesystem::remove("pages/page-1.dds"); }},
  };
  for (const auto& [name, edit] : edits) {
    edit();
    EXPECT_TRUE(Signalled(h)) << name;
    EXPECT_TRUE(FindNextChangeNotification(h)) << name;
    EXPECT_TRUE(Quiet(h)) << name;
  }
  EXPECT_TRUE(FindCloseChangeNotification(h));
}

TEST(Win32ChangeNotification, ReadingFilesAndChangesElsewhereLeaveAFolderQuiet) {
  testsupport::TempDir dir;
  Put("sibling.txt", "x");
  HANDLE h = Watch("Models");
  Put("Models/box.pie", "PIE 2");
  ASSERT_TRUE(Signalled(h));
  ASSERT_TRUE(FindNextChangeNotification(h));
  std::string text;
  std::ifstream("Models/box.pie") >> text;  // the viewer reads what it watches
  EXPECT_EQ(text, "PIE");
  Put("sibling.txt", "y");
  EXPECT_TRUE(Quiet(h));
  FindCloseChangeNotification(h);
}

TEST(Win32ChangeNotification, FiltersChooseWhichChangesSignal) {
  testsupport::TempDir dir;
  Put("d/existing", "x");
  HANDLE names = Watch("d", FILE_NOTIFY_CHANGE_FILE_NAME);
  HANDLE folders = Watch("d", FILE_NOTIFY_CHANGE_DIR_NAME);
  HANDLE attributes = Watch("d", FILE_NOTIFY_CHANGE_ATTRIBUTES);
  Put("d/existing", "y");  // a write is none of these
  EXPECT_TRUE(Quiet(names) && Quiet(folders) && Quiet(attributes));
  std::filesystem::create_directories("d/sub");
  EXPECT_TRUE(Signalled(folders));
  EXPECT_TRUE(Quiet(names) && Quiet(attributes));
  chmod("d/existing", 0600);
  EXPECT_TRUE(Signalled(attributes));
  EXPECT_TRUE(Quiet(names));
  // Two handles on one folder share the kernel's watch: closing one leaves the other working.
  EXPECT_TRUE(FindCloseChangeNotification(folders));
  EXPECT_TRUE(FindCloseChangeNotification(attributes));
  EXPECT_TRUE(Quiet(names));
  Put("d/new", "z");
  EXPECT_TRUE(Signalled(names));
  FindCloseChangeNotification(names);
}

TEST(Win32ChangeNotification, TheSignalStaysUntilRearmedAndAChangeMeanwhileIsKept) {
  testsupport::TempDir dir;
  HANDLE h = Watch("data");
  Put("data/a", "1");
  ASSERT_TRUE(Signalled(h));
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);  // still, however often it is asked
  EXPECT_TRUE(Signalled(h));
  EXPECT_TRUE(FindNextChangeNotification(h));
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_TIMEOUT);
  // A change after the signal, before the re-arm (while the program rescans): signalled again.
  Put("data/a", "2");
  ASSERT_TRUE(Signalled(h));
  Put("data/a", "3");
  EXPECT_TRUE(FindNextChangeNotification(h));
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(FindNextChangeNotification(h));
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_TIMEOUT);
  FindCloseChangeNotification(h);
}

TEST(Win32ChangeNotification, TwoFoldersSignalIndependently) {
  testsupport::TempDir dir;
  HANDLE a = Watch("a");
  HANDLE b = Watch("b");
  ASSERT_NE(a, b);
  Put("a/x", "1");
  EXPECT_TRUE(Signalled(a));
  EXPECT_TRUE(Quiet(b));
  FindNextChangeNotification(a);
  Put("b/x", "1");
  EXPECT_TRUE(Signalled(b));
  EXPECT_TRUE(Quiet(a));
  FindCloseChangeNotification(a);
  FindCloseChangeNotification(b);
}

TEST(Win32ChangeNotification, WrongFoldersAndWrongHandlesFailCleanly) {
  testsupport::TempDir dir;
  Put("Pages/file", "x");
  EXPECT_EQ(FindFirstChangeNotificationA("absent", FALSE, kEdits), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstChangeNotificationA("Pages\\file", FALSE, kEdits), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstChangeNotificationA("", FALSE, kEdits), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstChangeNotificationA(nullptr, FALSE, kEdits), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstChangeNotificationA("Pages", FALSE, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstChangeNotificationA("Pages", TRUE, kEdits), INVALID_HANDLE_VALUE);  // no subtrees

  const std::string resolved = dir.path() + "\\PAGES\\";  // named as Windows would
  HANDLE change = FindFirstChangeNotificationA(resolved.c_str(), FALSE, kEdits);
  ASSERT_NE(change, INVALID_HANDLE_VALUE);
  HANDLE file = CreateFileA("pages\\FILE", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  // Neither kind of handle is taken for the other.
  char byte;
  DWORD read = 0;
  EXPECT_FALSE(CloseHandle(change));
  EXPECT_FALSE(ReadFile(change, &byte, 1, &read, nullptr));
  EXPECT_EQ(GetFileSize(change, nullptr), INVALID_FILE_SIZE);
  EXPECT_FALSE(FindCloseChangeNotification(file));
  EXPECT_FALSE(FindNextChangeNotification(file));
  EXPECT_EQ(WaitForSingleObject(file, 0), WAIT_FAILED);
  EXPECT_TRUE(ReadFile(file, &byte, 1, &read, nullptr));
  EXPECT_TRUE(CloseHandle(file));
  Put("Pages/file", "y");
  EXPECT_TRUE(Signalled(change));

  EXPECT_TRUE(FindCloseChangeNotification(change));
  EXPECT_FALSE(FindCloseChangeNotification(change));
  EXPECT_FALSE(FindNextChangeNotification(change));
  EXPECT_EQ(WaitForSingleObject(change, 0), WAIT_FAILED);
  for (HANDLE bogus : {HANDLE(nullptr), INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x60002 + 4 * 123457)}) {
    EXPECT_FALSE(FindNextChangeNotification(bogus));
    EXPECT_FALSE(FindCloseChangeNotification(bogus));
    EXPECT_EQ(WaitForSingleObject(bogus, INFINITE), WAIT_FAILED);
  }
}

TEST(Win32ChangeNotification, AWaitEndsWithAChangeDuringItOrWhenItsTimeIsUp) {
  testsupport::TempDir dir;
  HANDLE h = Watch("w");
  EXPECT_EQ(WaitForSingleObject(h, 20), WAIT_TIMEOUT);
  // The write may come before the wait begins or during it: the wait returns either way.
  std::thread writer([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    Put("w/late", "1");
  });
  EXPECT_EQ(WaitForSingleObject(h, kGenerous), WAIT_OBJECT_0);
  writer.join();
  RearmAfterConcurrentWrite(h);
  // Endless waits in another thread: a change ends one, closing the handle ends the other.
  std::future<DWORD> first = WaitInThread(h);
  Put("w/late", "2");
  ASSERT_TRUE(Ends(first));
  EXPECT_EQ(first.get(), WAIT_OBJECT_0);
  RearmAfterConcurrentWrite(h);
  HANDLE other = Watch("w");  // keeps the folder watched after h closes: nothing else wakes the wait
  std::future<DWORD> second = WaitInThread(h);
  // Time to begin waiting, so that the close has a wait to end; a close before it fails it too.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  FindCloseChangeNotification(h);
  ASSERT_TRUE(Ends(second));
  EXPECT_EQ(second.get(), WAIT_FAILED);
  FindCloseChangeNotification(other);
}

TEST(Win32ChangeNotification, ThreadsWaitingOnTwoFoldersEachReturnWithTheirOwnChange) {
  testsupport::TempDir dir;
  HANDLE a = Watch("a");
  HANDLE b = Watch("b");
  std::future<DWORD> waitA = WaitInThread(a);
  std::future<DWORD> waitB = WaitInThread(b);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // time to begin; later works too
  Put("b/x", "1");
  ASSERT_TRUE(Ends(waitB));
  EXPECT_EQ(waitB.get(), WAIT_OBJECT_0);
  EXPECT_EQ(waitA.wait_for(std::chrono::milliseconds(20)), std::future_status::timeout);
  Put("a/x", "1");
  ASSERT_TRUE(Ends(waitA));
  EXPECT_EQ(waitA.get(), WAIT_OBJECT_0);
  FindCloseChangeNotification(a);
  FindCloseChangeNotification(b);
}

TEST(Win32ChangeNotification, ADeletedFolderSignalsThenStaysQuiet) {
  testsupport::TempDir dir;
  HANDLE h = Watch("gone");
  std::filesystem::remove_all("gone");
  EXPECT_TRUE(Signalled(h));
  EXPECT_TRUE(FindNextChangeNotification(h));
  Put("gone", "a file of the same name is another thing");
  EXPECT_TRUE(Quiet(h));
  EXPECT_TRUE(FindCloseChangeNotification(h));
}

TEST(Win32ChangeNotification, AnOverflowingQueueSignalsEveryHandle) {
  long queue = 0;
  std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> queue;
  if (queue <= 0 || queue > 200000) GTEST_SKIP() << "kernel queue of " << queue << " events";
  testsupport::TempDir dir;
  HANDLE busy = Watch("busy");
  HANDLE still = Watch("still");
  for (long i = 0; i < queue; ++i) {  // two events each (create, delete): twice the queue
    close(open("busy/f", O_CREAT | O_RDONLY | O_CLOEXEC, 0644));
    unlink("busy/f");
  }
  EXPECT_TRUE(Signalled(still));  // nothing changed in it, but that is no longer known
  EXPECT_TRUE(Signalled(busy));
  EXPECT_TRUE(FindNextChangeNotification(busy) && FindNextChangeNotification(still));
  EXPECT_TRUE(Quiet(busy) && Quiet(still));
  FindCloseChangeNotification(busy);
  FindCloseChangeNotification(still);
}

}  // namespace
