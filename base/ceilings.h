// Ceilings on what one data set may make the viewer hold: a page, the pages, the vertices, the
// models' own data, the keyframes, the lists of names and problems, and the log; and on the work of
// one load. Whatever would pass one is skipped with a log line naming the ceiling and the file, and
// the rest of the data set loads. The memory ceilings add up to kMaxDataSetBytes, kept after every
// reload since each reload first gives back what the last load held.
#pragma once
#include <cstdint>
#include <string>

// A texture page's side in texels after rounding up to a power of two: 4096 x 4096 at most.
constexpr uint32_t kMaxPageSide = 4096;
// Every page's decoded levels together, at four bytes a texel, the cursor's included.
constexpr uint64_t kMaxTextureBytes = uint64_t{384} << 20;
// Every level buffer together.
constexpr uint64_t kMaxVertexBytes = uint64_t{512} << 20;
// The catalogue, its integer stores, the level entries and the models' names and paths together.
constexpr uint64_t kMaxModelDataBytes = uint64_t{256} << 20;
// The keyframe records of every animation together, with their names and paths.
constexpr uint64_t kMaxAnimationBytes = uint64_t{128} << 20;
// The problems `--check` keeps, path and message each.
constexpr uint64_t kMaxProblemBytes = uint64_t{64} << 20;
// One data file (manifest, model, animation), held while it is taken apart.
constexpr uint64_t kMaxDataFileBytes = uint64_t{64} << 20;
// One page's file (or the cursor's): a 4096 x 4096 page of 32-bit texels with its mip levels fits.
constexpr uint64_t kMaxPageFileBytes = uint64_t{96} << 20;
// What one data set can make the viewer hold, all of the above together (one file in hand at a time).
constexpr uint64_t kMaxDataSetBytes = kMaxTextureBytes + kMaxVertexBytes + kMaxModelDataBytes + kMaxAnimationBytes +
                                      kMaxProblemBytes + kMaxPageFileBytes;
static_assert(kMaxDataSetBytes <= uint64_t{2} << 30, "a data set is held in at most 2 GiB");

// One load reads at most this many bytes, every file together (each file once).
constexpr uint64_t kMaxLoadReadBytes = uint64_t{2} << 30;

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
// A ceiling as its log lines name it: "384 MiB", "2 GiB".
inline std::string CeilingText(uint64_t bytes) {
  return bytes % (uint64_t{1} << 30) == 0 ? std::to_string(bytes >> 30) + " GiB" : std::to_string(bytes >> 20) + " MiB";
}
