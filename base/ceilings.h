// Ceilings on what one data set may make the viewer hold: a page, the pages, the vertices, the
// models' own data, the keyframes and the log. Whatever would pass one is skipped with a log line naming
// the ceiling and the file, and the rest of the data set loads.
#pragma once
#include <cstdint>

// A texture page's side in texels after rounding up to a power of two: 4096 x 4096 at most.
constexpr uint32_t kMaxPageSide = 4096;
// Every page's decoded levels together, at four bytes a texel.
constexpr uint64_t kMaxTextureBytes = uint64_t{1} << 30;
// Every level buffer together.
constexpr uint64_t kMaxVertexBytes = uint64_t{1} << 30;
// The catalogue, its integer stores and the level entries together.
constexpr uint64_t kMaxModelDataBytes = uint64_t{512} << 20;
// The keyframe records of every animation together.
constexpr uint64_t kMaxAnimationBytes = uint64_t{256} << 20;

// The error log from one start on: a data set that names millions of missing files would
// otherwise fill the disk with lines about them.
constexpr uint64_t kMaxLogBytes = uint64_t{64} << 20;

// True when adding `more` to `used` stays within `ceiling` (no overflow on hostile sizes).
constexpr bool FitsUnderCeiling(uint64_t used, uint64_t more, uint64_t ceiling) {
  return used <= ceiling && more <= ceiling - used;
}

// What kvrview --import reads and writes at most. The file read, and each file it names (a
// glTF's buffers, an OBJ's materials, a texture), is at most 256 MiB.
constexpr uint64_t kMaxImportFileBytes = uint64_t{256} << 20;
// Points and polygons of a model made by --import.
constexpr uint64_t kMaxImportPoints = uint64_t{1} << 20;
constexpr uint64_t kMaxImportPolygons = uint64_t{1} << 20;
// A PIE coordinate or texel: every integer up to 2^24 is exact in the viewer's float vertices.
constexpr int64_t kMaxPieCoordinate = int64_t{1} << 24;
