// Image operations behind D3DX texture loading: the colour key, resizing with the D3DX filters,
// building mip levels, and packing ARGB texels into a texture format.
#pragma once
#include <d3d9types.h>

#include "dds_reader.h"

namespace kvrdds {

// A D3DX filter value taken apart. The low 16 bits pick the kernel, bits 16 and 17 ask for
// mirrored instead of wrapped edges along u and v.
struct FilterSpec {
  enum Kind { None = 1, Point = 2, Linear = 3, Triangle = 4, Box = 5 } kind = Triangle;
  bool mirrorU = false;
  bool mirrorV = false;
};

// Reads a D3DX_FILTER_* value. D3DX_DEFAULT (and 0) becomes defaultKind with wrapped edges.
// Returns false for a kernel number D3DX does not have.
bool ParseFilter(DWORD filter, FilterSpec::Kind defaultKind, FilterSpec& out);

// Texels whose colour, read as opaque, equals key (alpha included) become 0x00000000.
// A key of 0 disables the test.
void ApplyColorKey(ArgbImage& image, D3DCOLOR key);

// Scales src to width x height. Each channel is filtered on its own, as stored (no
// premultiplication). With FilterSpec::None nothing is scaled: src lands at the top-left and
// texels outside it are transparent black.
ArgbImage Resample(const ArgbImage& src, uint32_t width, uint32_t height, const FilterSpec& filter);

// The next smaller mip level (each side halved, rounded down, at least 1).
ArgbImage NextMipLevel(const ArgbImage& src, const FilterSpec& filter);

// Writes one level into locked texture memory of the given format, row by row at pitch bytes.
// Supported: A8R8G8B8, X8R8G8B8 (the unused byte written 0xFF), A4R4G4B4 (rounded to nearest).
bool PackLevel(const ArgbImage& image, D3DFORMAT format, uint8_t* dst, int pitch);

}  // namespace kvrdds
