// Peak resident memory of the program after loading a data set, measured in a process of its own
// (a process's peak only ever grows), with the bytes of what it loaded.
#pragma once
#include <cstdint>
#include <string>

namespace bench {

struct MemoryProbe {
  bool ok = false;
  uint64_t peakBytes = 0;     // VmHWM after the load and the first frame
  uint64_t textureBytes = 0;  // the page textures as decoded, every mip level
  uint64_t vertexBytes = 0;   // every level buffer
};

// Child side: loads the named set ("empty" or "large") and prints what it measured on stdout.
int RunMemoryProbe(const std::string& set);

// Parent side: runs this program again as a probe of the named set and reads its answer.
MemoryProbe ProbeMemory(const std::string& set);

}  // namespace bench
