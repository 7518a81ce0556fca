// kernel32 files and arithmetic. Every name may be marked "\\?\" to be taken byte for byte.
// Implemented: CreateFileA (GENERIC_READ and/or GENERIC_WRITE, or neither to look at an existing
//   file without opening it for real (a FIFO or a device is not opened, ReadFile fails); all five
//   creation dispositions; the name resolved as path_resolution.h says; FILE_FLAG_OPEN_REPARSE_POINT
//   refuses a symbolic link as the last component, or looks at the link itself without access;
//   never blocks: a FIFO opens at once or fails; FIFOs and devices open, directories only with
//   FILE_FLAG_BACKUP_SEMANTICS), ReadFile and WriteFile (synchronous, the whole count or failure;
//   a FIFO or device with nothing ready fails instead of waiting), SetFilePointer (64-bit with
//   the high part), SetEndOfFile, GetFileSize, GetFileType, GetFileInformationByHandle,
//   GetFileAttributesA (the name resolved as CreateFileA resolves it; a symbolic link reported as
//   itself; a folder the system keeps, see IsSystemFolder, marked FILE_ATTRIBUTE_SYSTEM),
//   CreateDirectoryA, DeleteFileA, GetTempFileNameA (the name resolved likewise),
//   GetFileAttributesExA (GetFileExInfoStandard: attributes, times and size without
//   opening the file, a symbolic link reported as itself), SetCurrentDirectoryA (the name
//   resolved likewise; a link to a folder is followed), GetCurrentDirectoryA,
//   GetFinalPathNameByHandleA (FILE_NAME_NORMALIZED and _OPENED alike, VOLUME_NAME_DOS and _NONE
//   alike: the absolute path the handle's file has now, links resolved, with no drive and no
//   "\\?\" before it), GetStdHandle (the process's standard streams), CloseHandle, MulDiv
//   (rounded to nearest, halves away from zero; -1 on a zero divisor or overflow).
// Not implemented: sharing modes (never enforced), security attributes, template files, every
//   other FILE_FLAG_*, opening a symbolic link itself, overlapped reads and writes (they fail),
//   handles of other kinds in CloseHandle, GetLastError codes, VOLUME_NAME_GUID and _NT and the
//   final path of a file deleted while open (it fails), attributes other than
//   DIRECTORY, DEVICE, NORMAL, REPARSE_POINT and SYSTEM (no READONLY, HIDDEN or ARCHIVE), creation times
//   (this disk keeps none: the earlier of the last write and the last status change stands in).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "win32/path_resolution.h"
#include "win32/win32_state.h"

namespace {

// File handles are slots in this table offset by a base, so they are never null, never
// INVALID_HANDLE_VALUE, and a closed handle stays invalid until its slot is reused.
constexpr uintptr_t kFileHandleBase = 0x50000;
constexpr uintptr_t kFileHandleStep = 4;
// Threads may open, read and close files at once, as kernel32 lets them: the table is guarded.
std::mutex g_fdsMutex;
std::vector<int> g_fds;  // -1 marks a free slot

HANDLE HandleFromSlot(size_t slot) {
  return reinterpret_cast<HANDLE>(kFileHandleBase + slot * kFileHandleStep);
}

int FdFromHandle(HANDLE h) {
  uintptr_t v = reinterpret_cast<uintptr_t>(h);
  if (v < kFileHandleBase || (v - kFileHandleBase) % kFileHandleStep != 0) return -1;
  size_t slot = (v - kFileHandleBase) / kFileHandleStep;
  std::lock_guard<std::mutex> hold(g_fdsMutex);
  return slot < g_fds.size() ? g_fds[slot] : -1;
}

HANDLE TakeSlot(int fd) {
  std::lock_guard<std::mutex> hold(g_fdsMutex);
  for (size_t slot = 0; slot < g_fds.size(); ++slot) {
    if (g_fds[slot] < 0) {
      g_fds[slot] = fd;
      return HandleFromSlot(slot);
    }
  }
  g_fds.push_back(fd);
  return HandleFromSlot(g_fds.size() - 1);
}

DWORD AttributesOf(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  if (S_ISLNK(st.st_mode)) return FILE_ATTRIBUTE_REPARSE_POINT;  // a link looked at as itself
  if (S_ISREG(st.st_mode)) return FILE_ATTRIBUTE_NORMAL;
  return FILE_ATTRIBUTE_DEVICE;  // FIFOs, sockets, character and block devices
}

// A name resolved as CreateFileA resolves it, stat'ed without following a symbolic link at its end.
bool StatName(LPCSTR name, struct stat& st, std::string* resolved = nullptr) {
  if (!name || !name[0]) return false;
  if (std::strncmp(name, "\\\\?\\", 4) != 0) {
    // A name already right on disk (only its separators turned) costs one lstat.
    std::string direct(name);
    std::replace(direct.begin(), direct.end(), '\\', '/');
    if (lstat(direct.c_str(), &st) == 0) {
      if (resolved) *resolved = std::move(direct);
      return true;
    }
    if (errno != ENOENT && errno != ENOTDIR) return false;
    std::string path = KvrResolveMissingPath(std::move(direct));
    const bool found = lstat(path.c_str(), &st) == 0;
    if (resolved) *resolved = std::move(path);
    return found;
  }
  // A name marked to be taken exactly.
  std::string path = KvrResolveWindowsPath(name);
  const bool found = lstat(path.c_str(), &st) == 0;
  if (resolved) *resolved = std::move(path);
  return found;
}

// A folder the system keeps rather than the user running the program: one owned by someone else,
// or one of the system's own trees, whoever runs the program (root may write anywhere; a program
// still writes nothing there). Windows marks its own folders FILE_ATTRIBUTE_SYSTEM and refuses
// their writes to programs; here the mark alone tells them.
bool IsSystemFolder(const std::string& path, const struct stat& st) {
  if (st.st_uid != geteuid()) return true;
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return true;  // nothing to judge it by: it is not the user's
  const std::string folder = real;
  free(real);
  if (folder == "/") return true;
  static const char* const kUserTrees[] = {"/var/tmp"};
  for (const char* tree : kUserTrees) {
    const size_t n = std::strlen(tree);
    if (folder.compare(0, n, tree) == 0 && (folder.size() == n || folder[n] == '/')) return false;
  }
  static const char* const kSystemTrees[] = {"/usr", "/opt", "/etc", "/var", "/srv", "/boot", "/bin", "/sbin",
                                             "/lib", "/lib32", "/lib64", "/libx32", "/snap", "/proc", "/sys",
                                             "/dev"};
  for (const char* tree : kSystemTrees) {
    const size_t n = std::strlen(tree);
    if (folder.compare(0, n, tree) == 0 && (folder.size() == n || folder[n] == '/')) return true;
  }
  return false;
}

// What the attribute calls report for a name: a link as itself.
DWORD NameAttributesOf(const struct stat& st, const std::string& path) {
  if (S_ISLNK(st.st_mode)) return FILE_ATTRIBUTE_REPARSE_POINT;
  const DWORD attributes = AttributesOf(st);
  return S_ISDIR(st.st_mode) && IsSystemFolder(path, st) ? attributes | FILE_ATTRIBUTE_SYSTEM : attributes;
}

const timespec& Earlier(const timespec& a, const timespec& b) {
  if (a.tv_sec != b.tv_sec) return a.tv_sec < b.tv_sec ? a : b;
  return a.tv_nsec <= b.tv_nsec ? a : b;
}

// A FILETIME counts 100-nanosecond intervals since 1601-01-01 UTC; times before that (or past
// what 64 bits hold) are clamped, since the disk's fields are whatever the data set says.
FILETIME FileTimeOf(const timespec& t) {
  constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
  constexpr int64_t kTicksPerSecond = 10000000;
  uint64_t ticks = 0;
  if (t.tv_sec >= -kSecondsFrom1601To1970) {
    const uint64_t seconds = static_cast<uint64_t>(static_cast<int64_t>(t.tv_sec) + kSecondsFrom1601To1970);
    const uint64_t fraction = static_cast<uint64_t>(t.tv_nsec) / 100;
    if (seconds > (UINT64_MAX - fraction) / kTicksPerSecond)
      ticks = UINT64_MAX;
    else
      ticks = seconds * kTicksPerSecond + fraction;
  }
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return ft;
}

// The way kernel32 hands out a path: the length without the terminating NUL when the buffer
// holds it all, else the size the buffer needs (with the NUL) and the buffer left alone.
DWORD CopyOutPath(const char* path, DWORD bufferLength, LPSTR buffer) {
  const size_t length = std::strlen(path);
  if (length >= 0xFFFFFFFFu) return 0;
  if (!buffer || bufferLength <= length) return static_cast<DWORD>(length + 1);
  std::memcpy(buffer, path, length + 1);
  return static_cast<DWORD>(length);
}

bool WorkingFolder(std::string& folder) {
  std::vector<char> path(256);
  while (!getcwd(path.data(), path.size())) {
    if (errno != ERANGE || path.size() > (1u << 20)) return false;
    path.resize(path.size() * 2);
  }
  folder = path.data();
  return true;
}

}  // namespace

extern "C" {

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
  if (!lpFileName || !lpFileName[0]) return INVALID_HANDLE_VALUE;
  int flags;
  bool read = (dwDesiredAccess & GENERIC_READ) != 0;
  bool write = (dwDesiredAccess & GENERIC_WRITE) != 0;
  if (read && write)
    flags = O_RDWR;
  else if (write)
    flags = O_WRONLY;
  else
    flags = O_RDONLY;  // no access asked: Windows still opens it, for its attributes
  switch (dwCreationDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING:
      if (!write) return INVALID_HANDLE_VALUE;  // Windows demands write access for it
      flags |= O_TRUNC;
      break;
    default: return INVALID_HANDLE_VALUE;
  }
  // A data set can name a FIFO where a file should be: without O_NONBLOCK opening it would wait
  // for a writer that never comes. Regular files and directories ignore the flag.
  flags |= O_NONBLOCK | O_CLOEXEC;
  // Opened for neither reading nor writing, an existing file is only looked at (its type, its
  // identity, its final path): nothing is opened for real, so a FIFO or a device never learns of it.
  if (!read && !write && dwCreationDisposition == OPEN_EXISTING) flags = O_PATH | O_CLOEXEC;
  // With O_CREAT too: a dangling link is refused rather than created through.
  if (dwFlagsAndAttributes & FILE_FLAG_OPEN_REPARSE_POINT) flags |= O_NOFOLLOW;
  if (dwFlagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS) flags &= ~O_NONBLOCK;
  int fd = -1;
  if ((flags & O_CREAT) || KvrIsExactName(lpFileName)) {
    // Creating must find a file whose name differs only in letter case before making a new one
    // (an exact name is taken as it is).
    fd = open(KvrResolveWindowsPath(lpFileName).c_str(), flags, 0644);
  } else {
    // A name that is already right on disk (only its separators turned) opens at once: a data set
    // of thousands of files is read without a directory walk or an extra stat for each.
    std::string direct(lpFileName);
    std::replace(direct.begin(), direct.end(), '\\', '/');
    fd = open(direct.c_str(), flags);
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR))
      fd = open(KvrResolveMissingPath(std::move(direct)).c_str(), flags);
  }
  if (fd < 0) return INVALID_HANDLE_VALUE;
  struct stat st;
  // Windows opens a directory only for backup semantics; FIFOs and devices it does (GetFileType
  // tells them apart).
  if (fstat(fd, &st) != 0 || (S_ISDIR(st.st_mode) && !(dwFlagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS))) {
    close(fd);
    return INVALID_HANDLE_VALUE;
  }
  return TakeSlot(fd);
}

HANDLE WINAPI GetStdHandle(DWORD nStdHandle) {
  // Each standard stream keeps the handle it was first given, as long as it is not closed.
  static HANDLE given[3] = {nullptr, nullptr, nullptr};
  int fd;
  switch (nStdHandle) {
    case STD_INPUT_HANDLE: fd = 0; break;
    case STD_OUTPUT_HANDLE: fd = 1; break;
    case STD_ERROR_HANDLE: fd = 2; break;
    default: return INVALID_HANDLE_VALUE;
  }
  if (!given[fd] || FdFromHandle(given[fd]) != fd) given[fd] = TakeSlot(fd);
  return given[fd];
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  int fd = FdFromHandle(hFile);
  if (fd < 0 || lpOverlapped || (!lpBuffer && nNumberOfBytesToRead > 0)) return FALSE;
  // read() may return less than asked before the end; Windows fills the buffer unless at the end.
  DWORD total = 0;
  char* out = static_cast<char*>(lpBuffer);
  while (total < nNumberOfBytesToRead) {
    ssize_t n = read(fd, out + total, nNumberOfBytesToRead - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (lpNumberOfBytesRead) *lpNumberOfBytesRead = total;
      return FALSE;
    }
    if (n == 0) break;  // end of file: success with fewer bytes
    total += static_cast<DWORD>(n);
  }
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = total;
  return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  int fd = FdFromHandle(hFile);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) return INVALID_FILE_SIZE;
  uint64_t size = static_cast<uint64_t>(st.st_size);
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  int fd = FdFromHandle(hFile);
  if (fd < 0 || lpOverlapped || (!lpBuffer && nNumberOfBytesToWrite > 0)) return FALSE;
  // write() may take less than given (a signal, a full pipe); Windows writes it all or fails.
  DWORD total = 0;
  const char* in = static_cast<const char*>(lpBuffer);
  while (total < nNumberOfBytesToWrite) {
    ssize_t n = write(fd, in + total, nNumberOfBytesToWrite - total);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
      return FALSE;
    }
    total += static_cast<DWORD>(n);
  }
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
  return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod) {
  int fd = FdFromHandle(hFile);
  if (fd < 0) return INVALID_SET_FILE_POINTER;
  // With a high part the distance is the 64-bit value of both; without, the low part's sign.
  int64_t distance = lDistanceToMove;
  if (lpDistanceToMoveHigh)
    distance = static_cast<int64_t>(static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32 |
                                    static_cast<uint32_t>(lDistanceToMove));
  int64_t origin;
  if (dwMoveMethod == FILE_BEGIN) {
    origin = 0;
  } else if (dwMoveMethod == FILE_CURRENT) {
    origin = lseek(fd, 0, SEEK_CUR);
  } else if (dwMoveMethod == FILE_END) {
    struct stat st;
    origin = fstat(fd, &st) == 0 ? st.st_size : -1;
  } else {
    return INVALID_SET_FILE_POINTER;
  }
  int64_t target;
  if (origin < 0 || __builtin_add_overflow(origin, distance, &target) || target < 0)
    return INVALID_SET_FILE_POINTER;  // Windows moves no pointer before the start
  // A caller without the high part cannot be told a position past 4 GB, so Windows refuses it.
  if (!lpDistanceToMoveHigh && target > int64_t(0xFFFFFFFF)) return INVALID_SET_FILE_POINTER;
  if (lseek(fd, target, SEEK_SET) != target) return INVALID_SET_FILE_POINTER;
  if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
  return static_cast<DWORD>(static_cast<uint64_t>(target) & 0xFFFFFFFFu);
}

BOOL WINAPI SetEndOfFile(HANDLE hFile) {
  int fd = FdFromHandle(hFile);
  if (fd < 0) return FALSE;
  const off_t position = lseek(fd, 0, SEEK_CUR);
  return position >= 0 && ftruncate(fd, position) == 0 ? TRUE : FALSE;
}

DWORD WINAPI GetFileType(HANDLE hFile) {
  int fd = FdFromHandle(hFile);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) return FILE_TYPE_UNKNOWN;
  if (S_ISREG(st.st_mode)) return FILE_TYPE_DISK;
  if (S_ISCHR(st.st_mode)) return FILE_TYPE_CHAR;
  if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) return FILE_TYPE_PIPE;
  return FILE_TYPE_UNKNOWN;
}

BOOL WINAPI GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpFileInformation) {
  int fd = FdFromHandle(hFile);
  struct stat st;
  if (fd < 0 || !lpFileInformation || fstat(fd, &st) != 0) return FALSE;
  BY_HANDLE_FILE_INFORMATION& info = *lpFileInformation;
  info.dwFileAttributes = AttributesOf(st);
  const timespec& created = Earlier(st.st_mtim, st.st_ctim);
  info.ftCreationTime = FileTimeOf(created);
  info.ftLastAccessTime = FileTimeOf(st.st_atim);
  info.ftLastWriteTime = FileTimeOf(st.st_mtim);
  const uint64_t device = static_cast<uint64_t>(st.st_dev);
  info.dwVolumeSerialNumber = static_cast<DWORD>(device ^ (device >> 32));
  const uint64_t size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  info.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  info.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  info.nNumberOfLinks = static_cast<DWORD>(std::min<uint64_t>(st.st_nlink, 0xFFFFFFFFu));
  const uint64_t index = static_cast<uint64_t>(st.st_ino);
  info.nFileIndexHigh = static_cast<DWORD>(index >> 32);
  info.nFileIndexLow = static_cast<DWORD>(index & 0xFFFFFFFFu);
  return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
  struct stat st;
  std::string path;
  return StatName(lpFileName, st, &path) ? NameAttributesOf(st, path) : INVALID_FILE_ATTRIBUTES;
}

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  if (!lpPathName || !lpPathName[0]) return FALSE;
  // Private to its user, as folders made in a Windows profile are.
  return mkdir(KvrResolveWindowsPath(lpPathName).c_str(), 0700) == 0 ? TRUE : FALSE;
}

BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
  struct stat st;
  std::string path;
  if (!StatName(lpFileName, st, &path) || S_ISDIR(st.st_mode)) return FALSE;
  return unlink(path.c_str()) == 0 ? TRUE : FALSE;
}

UINT WINAPI GetTempFileNameA(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName) {
  if (!lpPathName || !lpTempFileName) return 0;
  std::string folder = lpPathName;
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  if (lpPrefixString) folder.append(lpPrefixString, strnlen(lpPrefixString, 3));
  const auto nameOf = [&](UINT number) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X.tmp", number & 0xFFFFu);
    return folder + hex;
  };
  const auto copyOut = [&](const std::string& name) {
    if (name.size() >= MAX_PATH) return false;
    std::memcpy(lpTempFileName, name.c_str(), name.size() + 1);
    return true;
  };
  if (uUnique != 0) return copyOut(nameOf(uUnique)) ? uUnique : 0;
  // The numbers are tried from one that depends on the process, as Windows starts from the clock.
  const UINT start = static_cast<UINT>(getpid()) & 0xFFFFu;
  for (UINT step = 0; step < 0xFFFFu; ++step) {
    const UINT number = (start + step) % 0xFFFFu + 1;
    const std::string name = nameOf(number);
    if (name.size() >= MAX_PATH) return 0;
    const int fd = open(KvrResolveWindowsPath(name.c_str()).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return 0;  // the folder cannot be written
    }
    close(fd);
    return copyOut(name) ? number : 0;
  }
  return 0;
}

BOOL WINAPI GetFileAttributesExA(LPCSTR lpFileName, GET_FILEEX_INFO_LEVELS fInfoLevelId,
                                 LPVOID lpFileInformation) {
  struct stat st;
  std::string path;
  if (!lpFileInformation || fInfoLevelId != GetFileExInfoStandard || !StatName(lpFileName, st, &path)) return FALSE;
  WIN32_FILE_ATTRIBUTE_DATA& data = *static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(lpFileInformation);
  data.dwFileAttributes = NameAttributesOf(st, path);
  data.ftCreationTime = FileTimeOf(Earlier(st.st_mtim, st.st_ctim));
  data.ftLastAccessTime = FileTimeOf(st.st_atim);
  data.ftLastWriteTime = FileTimeOf(st.st_mtim);
  const uint64_t size = S_ISDIR(st.st_mode) || st.st_size <= 0 ? 0 : static_cast<uint64_t>(st.st_size);
  data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  return TRUE;
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName) {
  if (!lpPathName || !lpPathName[0]) return FALSE;
  const std::string path = KvrResolveWindowsPath(lpPathName);
  return chdir(path.c_str()) == 0 ? TRUE : FALSE;
}

DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
  std::string folder;
  return WorkingFolder(folder) ? CopyOutPath(folder.c_str(), nBufferLength, lpBuffer) : 0;
}

DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart) {
  if (!lpFileName || !lpFileName[0]) return 0;
  std::string full = lpFileName;
  if (full[0] != '/' && !KvrIsExactName(lpFileName)) {
    std::string base;
    if (!WorkingFolder(base)) return 0;
    full = base + (base.back() == '/' ? "" : "/") + full;
  }
  const DWORD length = CopyOutPath(full.c_str(), nBufferLength, lpBuffer);
  if (lpFilePart && length < nBufferLength && lpBuffer) {
    const size_t last = full.find_last_of("/\\");
    *lpFilePart = last + 1 < full.size() ? lpBuffer + last + 1 : nullptr;
  }
  return length;
}

DWORD WINAPI GetFinalPathNameByHandleA(HANDLE hFile, LPSTR lpszFilePath, DWORD cchFilePath, DWORD dwFlags) {
  const DWORD volume = dwFlags & ~DWORD{FILE_NAME_OPENED};
  if (volume != VOLUME_NAME_DOS && volume != VOLUME_NAME_NONE) return 0;
  const int fd = FdFromHandle(hFile);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0 || st.st_nlink == 0) return 0;
  // The kernel keeps the name each descriptor's file has now: renamed folders and links resolved,
  // every component spelt as on disk, whatever spelling the handle was opened by. The folder of
  // the process's descriptors is opened once, so each call reads one link of it.
  static const int descriptors = open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const std::string link = std::to_string(fd);
  std::vector<char> path(256);
  for (;;) {
    const ssize_t n = descriptors >= 0 ? readlinkat(descriptors, link.c_str(), path.data(), path.size())
                                       : readlink(("/proc/self/fd/" + link).c_str(), path.data(), path.size());
    if (n < 0) return 0;
    if (static_cast<size_t>(n) < path.size()) {
      path[static_cast<size_t>(n)] = '\0';
      break;
    }
    if (path.size() > (1u << 20)) return 0;
    path.resize(path.size() * 2);
  }
  // Only files on the disk have a path; a pipe or socket reads "pipe:[N]" and the like.
  if (path[0] != '/') return 0;
  return CopyOutPath(path.data(), cchFilePath, lpszFilePath);
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  int fd = FdFromHandle(hObject);
  if (fd < 0) return FALSE;
  uintptr_t slot = (reinterpret_cast<uintptr_t>(hObject) - kFileHandleBase) / kFileHandleStep;
  {
    std::lock_guard<std::mutex> hold(g_fdsMutex);
    if (g_fds[slot] != fd) return FALSE;  // another thread closed it first
    g_fds[slot] = -1;
  }
  return close(fd) == 0 ? TRUE : FALSE;
}

int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator) {
  if (nDenominator == 0) return -1;
  int64_t product = static_cast<int64_t>(nNumber) * nNumerator;
  int64_t divisor = nDenominator;
  // Round to nearest with halves away from zero: add half the divisor in the product's direction.
  bool negative = (product < 0) != (divisor < 0);
  int64_t magnitude = product < 0 ? -product : product;
  int64_t d = divisor < 0 ? -divisor : divisor;
  int64_t q = (magnitude + d / 2) / d;
  int64_t result = negative ? -q : q;
  if (result > INT32_MAX || result < -INT32_MAX) return -1;
  return static_cast<int>(result);
}

}  // extern "C"
