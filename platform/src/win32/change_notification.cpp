// kernel32 change notification and waits, on one inotify instance for the whole program.
// Implemented: FindFirstChangeNotificationA (one folder, its name resolved as CreateFileA resolves
//   a name; every filter of the SDK but LAST_ACCESS, mapped below), FindNextChangeNotification,
//   FindCloseChangeNotification, WaitForSingleObject on a change notification handle (0, a finite
//   time-out or INFINITE, from any number of threads at once).
// Not implemented: watching a subtree (bWatchSubtree TRUE fails, rather than quietly watching the
//   top folder only), FILE_NOTIFY_CHANGE_LAST_ACCESS (its bit is accepted and never signals: the
//   program's own reads would signal it), waits on any other kind of handle (WAIT_FAILED; a file
//   handle is not waitable here), CloseHandle on a change handle (FALSE: FindCloseChangeNotification
//   closes it), GetLastError codes.
//
// Filters, as the events inotify reports for the folder's entries:
//   FILE_NAME           a file created, deleted or renamed: IN_CREATE, IN_DELETE, IN_MOVED_FROM/_TO
//   DIR_NAME            the same for a folder (the event carries IN_ISDIR)
//   ATTRIBUTES          IN_ATTRIB (mode, owner, times set by hand)
//   SECURITY            IN_ATTRIB
//   SIZE                IN_MODIFY, IN_CLOSE_WRITE (a file written through a mapping reports no
//                       IN_MODIFY, only its close), IN_MOVED_TO (a file renamed onto a name gives
//                       that name other contents: an editor's save by a temporary file)
//   LAST_WRITE          as SIZE, and IN_ATTRIB: a write time set by hand
//   CREATION            IN_CREATE, IN_MOVED_TO
// Changes of the folder itself (its own attributes) signal nothing, as on Windows, which reports
// only its entries. The program is not told which file changed, as it is not on Windows.
//
// As on Windows, a handle is signalled by the first matching change and stays so until
// FindNextChangeNotification, and a change made after the signal signals it again as soon as it
// is re-armed. Events are read from the kernel only in a wait or a re-arm. Those read at once count
// as one change (one editor's save is several events); any read later, up to the re-arm, are kept
// for after it. The re-arm reads what the kernel holds first, so a change made while the program
// looked at its files is never lost: at worst the program looks once more.
//
// The watched folder deleted or unmounted signals the handle; re-armed, it stays quiet (nothing
// more can change in it). Renamed, it signals and goes on being watched under its new name: the
// handle follows the folder, not its name. An overflow of the kernel's queue of events signals every
// handle, since which folders changed is lost. A handle closed while another thread waits on it
// (undefined on Windows) ends that wait with WAIT_FAILED.
//
// One inotify instance serves every handle: the kernel allows each user only a few instances
// (128 by default, shared by all their programs) but thousands of watches. Two handles on one
// folder share the kernel's watch of it, each with its own filter.
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "win32/path_resolution.h"

namespace {

// Change handles are two more than a multiple of four: every other handle of the layer (files,
// windows, GDI objects) is a multiple of four, so none can be taken for another. Never reused.
constexpr uintptr_t kChangeHandleBase = 0x60002;
constexpr uintptr_t kChangeHandleStep = 4;

constexpr DWORD kLastAccess = 0x00000020;  // FILE_NOTIFY_CHANGE_LAST_ACCESS: accepted, never signals
constexpr DWORD kKnownFilters = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                FILE_NOTIFY_CHANGE_LAST_WRITE | kLastAccess | FILE_NOTIFY_CHANGE_CREATION |
                                FILE_NOTIFY_CHANGE_SECURITY;
// The watched folder itself deleted, renamed or unmounted: signals whatever the filter.
constexpr uint32_t kFolderItself = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

struct Watch {
  int wd = -1;                // the kernel's watch of the folder; -1 once the folder is gone
  uint32_t fileEvents = 0;    // events that signal when they concern a file
  uint32_t folderEvents = 0;  // ... a folder in the watched one (IN_ISDIR)
  bool signalled = false;
  bool more = false;          // changes read after the signal, kept for the re-arm
  uint64_t signalledBy = 0;   // the read of the kernel's events that signalled it
};

void EventsOf(DWORD filter, Watch& w) {
  constexpr uint32_t kNames = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
  uint32_t either = 0;
  if (filter & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY)) either |= IN_ATTRIB;
  if (filter & FILE_NOTIFY_CHANGE_SIZE) either |= IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO;
  if (filter & FILE_NOTIFY_CHANGE_LAST_WRITE) either |= IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_ATTRIB;
  if (filter & FILE_NOTIFY_CHANGE_CREATION) either |= IN_CREATE | IN_MOVED_TO;
  w.fileEvents = either | ((filter & FILE_NOTIFY_CHANGE_FILE_NAME) ? kNames : 0);
  w.folderEvents = either | ((filter & FILE_NOTIFY_CHANGE_DIR_NAME) ? kNames : 0);
}

// Every handle and the kernel's events behind them. One waiting thread at a time polls the
// kernel (the poller); the others sleep on readDone until it has read what woke it.
struct Notifier {
  std::mutex mutex;
  std::condition_variable readDone;
  int events = -1;  // the inotify instance, made on first use and kept to the end
  int wake = -1;    // an eventfd that ends the poller's poll() when a handle closes or is signalled
  bool polling = false;
  uint64_t reads = 0;
  uintptr_t nextHandle = kChangeHandleBase;
  std::map<uintptr_t, Watch> watches;  // by handle value
};

Notifier& State() {
  static Notifier* notifier = new Notifier;  // never destroyed: waits may outlive main's statics
  return *notifier;
}

bool Open(Notifier& n) {
  if (n.events >= 0) return true;
  const int events = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (events < 0) return false;
  const int wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wake < 0) {
    close(events);
    return false;  // tried again by the next FindFirstChangeNotificationA
  }
  n.events = events;
  n.wake = wake;
  return true;
}

// Tells the waiting threads that the handles changed: the sleepers and the poller.
void WakeWaiters(Notifier& n) {
  n.readDone.notify_all();
  if (n.polling) {
    const uint64_t one = 1;
    ssize_t written = write(n.wake, &one, sizeof one);
    (void)written;  // a full counter already wakes it
  }
}

void Signal(Notifier& n, Watch& w) {
  if (!w.signalled) {
    w.signalled = true;
    w.signalledBy = n.reads;
  } else if (w.signalledBy != n.reads) {
    w.more = true;
  }
}

void Dispatch(Notifier& n, const inotify_event& event) {
  if (event.mask & IN_Q_OVERFLOW) {
    for (auto& entry : n.watches) Signal(n, entry.second);
    return;
  }
  for (auto& entry : n.watches) {
    Watch& w = entry.second;
    if (w.wd < 0 || w.wd != event.wd) continue;
    if (event.mask & kFolderItself) {
      Signal(n, w);
      if (event.mask & IN_IGNORED) w.wd = -1;  // the kernel dropped its watch: the folder is gone
    } else if (event.len > 0 && (event.mask & ((event.mask & IN_ISDIR) ? w.folderEvents : w.fileEvents))) {
      Signal(n, w);
    }
  }
}

// Reads every event the kernel holds, without waiting. The caller holds the mutex.
void ReadEvents(Notifier& n) {
  if (n.events < 0) return;
  ++n.reads;
  alignas(inotify_event) char buffer[16 * 1024];  // room for at least one event of any name length
  bool any = false;
  for (;;) {
    const ssize_t got = read(n.events, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // EAGAIN: nothing more
    any = true;
    size_t at = 0;
    while (at + sizeof(inotify_event) <= size_t(got)) {
      inotify_event event;
      std::memcpy(&event, buffer + at, sizeof event);
      Dispatch(n, event);
      at += sizeof(inotify_event) + event.len;
    }
  }
  if (any) WakeWaiters(n);
}

Watch* Find(Notifier& n, HANDLE handle) {
  auto it = n.watches.find(reinterpret_cast<uintptr_t>(handle));
  return it == n.watches.end() ? nullptr : &it->second;
}

}  // namespace

extern "C" {

HANDLE WINAPI FindFirstChangeNotificationA(LPCSTR lpPathName, BOOL bWatchSubtree, DWORD dwNotifyFilter) {
  if (!lpPathName || !lpPathName[0] || bWatchSubtree) return INVALID_HANDLE_VALUE;
  if (dwNotifyFilter == 0 || (dwNotifyFilter & ~kKnownFilters) != 0) return INVALID_HANDLE_VALUE;
  Watch w;
  EventsOf(dwNotifyFilter, w);
  const std::string path = KvrResolveWindowsPath(lpPathName);
  Notifier& n = State();
  std::lock_guard<std::mutex> lock(n.mutex);
  if (!Open(n) || n.nextHandle > UINTPTR_MAX - kChangeHandleStep) return INVALID_HANDLE_VALUE;
  // Another handle may watch this folder already, and the kernel then answers with its watch:
  // the events it holds for it came before this handle, and must not signal it.
  ReadEvents(n);
  // IN_MASK_ADD keeps the events the other handle asked for; IN_ONLYDIR refuses a file.
  const uint32_t mask = w.fileEvents | w.folderEvents | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR |
                        IN_MASK_ADD | IN_EXCL_UNLINK;
  w.wd = inotify_add_watch(n.events, path.c_str(), mask);
  if (w.wd < 0) return INVALID_HANDLE_VALUE;
  const uintptr_t handle = n.nextHandle;
  n.nextHandle += kChangeHandleStep;
  n.watches.emplace(handle, w);
  return reinterpret_cast<HANDLE>(handle);
}

BOOL WINAPI FindNextChangeNotification(HANDLE hChangeHandle) {
  Notifier& n = State();
  std::lock_guard<std::mutex> lock(n.mutex);
  ReadEvents(n);  // what happened up to now comes before the re-arm
  Watch* w = Find(n, hChangeHandle);
  if (!w) return FALSE;
  w->signalled = w->more;
  w->more = false;
  w->signalledBy = n.reads;
  return TRUE;
}

BOOL WINAPI FindCloseChangeNotification(HANDLE hChangeHandle) {
  Notifier& n = State();
  std::lock_guard<std::mutex> lock(n.mutex);
  auto it = n.watches.find(reinterpret_cast<uintptr_t>(hChangeHandle));
  if (it == n.watches.end()) return FALSE;
  const int wd = it->second.wd;
  n.watches.erase(it);
  bool shared = false;
  for (const auto& entry : n.watches) shared = shared || entry.second.wd == wd;
  if (wd >= 0 && !shared) inotify_rm_watch(n.events, wd);
  WakeWaiters(n);  // a wait on this handle ends
  return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  using Clock = std::chrono::steady_clock;
  const bool forever = dwMilliseconds == INFINITE;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : dwMilliseconds);
  Notifier& n = State();
  std::unique_lock<std::mutex> lock(n.mutex);
  for (;;) {
    ReadEvents(n);
    const Watch* w = Find(n, hHandle);
    if (!w) return WAIT_FAILED;
    if (w->signalled) return WAIT_OBJECT_0;
    int timeout = -1;
    if (!forever) {
      const Clock::duration left = deadline - Clock::now();
      if (left <= Clock::duration::zero()) return WAIT_TIMEOUT;
      timeout = int(std::min<int64_t>(std::chrono::ceil<std::chrono::milliseconds>(left).count(), INT_MAX));
    }
    if (n.polling) {
      if (forever)
        n.readDone.wait(lock);
      else
        n.readDone.wait_until(lock, deadline);
      continue;
    }
    n.polling = true;
    pollfd fds[2] = {{n.events, POLLIN, 0}, {n.wake, POLLIN, 0}};
    lock.unlock();
    poll(fds, 2, timeout);  // woken, timed out or interrupted: the loop looks again
    lock.lock();
    n.polling = false;
    uint64_t count;
    ssize_t got = read(n.wake, &count, sizeof count);  // written only while polling: now empty
    (void)got;
    n.readDone.notify_all();  // if this thread leaves, a sleeper takes over the polling
  }
}

}  // extern "C"
