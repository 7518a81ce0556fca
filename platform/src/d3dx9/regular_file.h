// Files the program names, read whole: regular files only (never a FIFO or a device), of a
// bounded size.
#pragma once
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "win32/path_resolution.h"

namespace kvrdds {

// No legitimate file is larger: an 8192 x 8192 32-bit image with its whole mip chain is about
// 358 MB.
constexpr uint64_t kMaxFileBytes = 512ull << 20;

// A file open for reading: a regular file of at most kMaxFileBytes.
class RegularFile {
 public:
  RegularFile() = default;
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;
  ~RegularFile() {
    if (fd_ >= 0) close(fd_);
  }

  // The program names files the Windows way (backslashes, any letter case). A FIFO would make
  // reading wait for a writer, a device such as /dev/zero never ends, so anything but a regular
  // file is refused on its stat, without being opened; O_NONBLOCK and the stat of what was opened
  // cover a file swapped for one of those in between.
  bool Open(const char* windowsPath) {
    const std::string path = KvrResolveWindowsPath(windowsPath);
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0 || fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size_ = uint64_t(st.st_size);
    return size_ <= kMaxFileBytes;
  }

  uint64_t Size() const { return size_; }

  // Up to `count` bytes; fewer only at the end of the file. -1 on a read error.
  ssize_t Read(uint8_t* out, size_t count) {
    size_t total = 0;
    while (total < count) {
      const ssize_t n = read(fd_, out + total, count - total);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
      if (n == 0) break;
      total += size_t(n);
    }
    return ssize_t(total);
  }

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

// The whole of a regular file of at most kMaxFileBytes; false when it cannot be read.
bool ReadWholeFile(const char* windowsPath, std::vector<uint8_t>& bytes);

}  // namespace kvrdds
