// Files the program names, read whole.
#include "d3dx9/regular_file.h"

namespace kvrdds {

bool ReadWholeFile(const char* windowsPath, std::vector<uint8_t>& bytes) {
  RegularFile file;
  if (!file.Open(windowsPath)) return false;
  // The size is where reading starts, not a promise: the file can still grow or shrink.
  bytes.reserve(size_t(file.Size()));
  std::vector<uint8_t> chunk(1 << 16);
  for (;;) {
    const ssize_t got = file.Read(chunk.data(), chunk.size());
    if (got < 0) return false;
    if (got == 0) break;
    if (bytes.size() + size_t(got) > kMaxFileBytes) return false;
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
  }
  return true;
}

}  // namespace kvrdds
