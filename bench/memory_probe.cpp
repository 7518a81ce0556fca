#include "memory_probe.h"

#include <d3d9.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "bench_stage.h"
#include "model/level_buffers.h"
#include "model/model_drawing.h"
#include "model/model_geometry.h"
#include "model/texture_pages.h"

namespace bench {
namespace {

uint64_t PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::strtoull(line.c_str() + 6, nullptr, 10) * 1024;
  return 0;
}

uint64_t BytesPerTexel(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      return 4;
    case D3DFMT_R8G8B8:
      return 3;
    case D3DFMT_A8:
    case D3DFMT_L8:
      return 1;
    default:
      return 2;
  }
}

}  // namespace

int RunMemoryProbe(const std::string& set) {
  const DataSet which = set == "large" ? DataSet::Large : set == "huge" ? DataSet::Huge : DataSet::Empty;
  if (!UseDataSet(which)) return 1;
  MemoryProbe probe;
  probe.peakBytes = PeakResidentBytes();
  for (const TexturePage& page : TexturePageTable) {
    if (!page.texture) continue;
    for (DWORD level = 0; level < page.texture->GetLevelCount(); ++level) {
      D3DSURFACE_DESC desc = {};
      if (SUCCEEDED(page.texture->GetLevelDesc(level, &desc)))
        probe.textureBytes += uint64_t(desc.Width) * desc.Height * BytesPerTexel(desc.Format);
    }
  }
  for (const LevelBuffer& entry : LevelBufferTable) {
    D3DVERTEXBUFFER_DESC desc = {};
    if (entry.buffer && SUCCEEDED(entry.buffer->GetDesc(&desc))) probe.vertexBytes += desc.Size;
  }
  std::printf("memory-probe %" PRIu64 " %" PRIu64 " %" PRIu64 "\n", probe.peakBytes,
              probe.textureBytes, probe.vertexBytes);
  std::fflush(stdout);
  Shutdown();
  return 0;
}

MemoryProbe ProbeMemory(const std::string& set) {
  MemoryProbe probe;
  char self[4096] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return probe;
  const std::string command = std::string("'") + self + "' --memory-probe=" + set + " 2>/dev/null";
  FILE* child = popen(command.c_str(), "r");
  if (!child) return probe;
  char line[256];
  while (std::fgets(line, sizeof line, child)) {
    if (std::sscanf(line, "memory-probe %" SCNu64 " %" SCNu64 " %" SCNu64, &probe.peakBytes,
                    &probe.textureBytes, &probe.vertexBytes) == 3)
      probe.ok = true;
  }
  if (pclose(child) != 0) probe.ok = false;
  return probe;
}

}  // namespace bench
