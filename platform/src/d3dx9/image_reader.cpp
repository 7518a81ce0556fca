// BMP, PNG, JPEG and TGA files through stb_image (Debian's libstb).
// Implemented: what stb_image decodes of these kinds (BMP 1-32 bits without RLE, PNG of every
//   colour type and depth, baseline and progressive JPEG, TGA with and without RLE), as 32-bit
//   ARGB; the file's format as D3DX names it from its channels.
// Not implemented: PPM, DIB, HDR and PFM files; BMP's exact bit depth in the reported format (a 16-bit
//   BMP is reported R8G8B8); interlaced PNG's progressive display. A JPEG file cut short decodes
//   with its missing part made up, as libjpeg-based readers do; a cut-short BMP or TGA fails.
// The header is read first and the sides checked against kMaxDimension, so a file claiming an
// enormous image is refused before anything is allocated for it.
#include "d3dx9/image_reader.h"

#include <stb_image.h>

#include <climits>
#include <cstring>
#include <memory>

namespace kvrdds {
namespace {

bool StartsWith(const uint8_t* data, const uint8_t* end, const char* magic, size_t n) {
  return size_t(end - data) >= n && std::memcmp(data, magic, n) == 0;
}

void Fail(std::string* error, const char* why) {
  if (error) *error = why;
}

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }

// stb_image reads past the end of a BMP or TGA file as zeros, and so would make up the texels a
// cut-short file lacks. These two say whether the file holds every texel its header promises.
bool BmpPixelsComplete(const uint8_t* data, const uint8_t* end) {
  const uint64_t size = uint64_t(end - data);
  if (size < 26) return false;
  const uint32_t offset = Le32(data + 10), headerSize = Le32(data + 14);
  uint64_t width, height, bits;
  if (headerSize == 12) {  // the old OS/2 header: 16-bit sides
    width = Le16(data + 18);
    height = Le16(data + 20);
    bits = Le16(data + 24);
  } else {
    if (size < 34) return false;
    const int32_t w = int32_t(Le32(data + 18)), h = int32_t(Le32(data + 22));
    width = w < 0 ? 0 : uint64_t(w);
    height = h < 0 ? uint64_t(-int64_t(h)) : uint64_t(h);  // negative: rows stored top first
    bits = Le16(data + 28);
  }
  const uint64_t rowBytes = (width * bits + 31) / 32 * 4;
  return uint64_t(offset) + rowBytes * height <= size;
}

bool TgaPixelsComplete(const uint8_t* data, const uint8_t* end) {
  const uint64_t size = uint64_t(end - data);
  const uint32_t type = data[2], bits = data[16];
  const uint64_t mapBytes = data[1] ? uint64_t(Le16(data + 5)) * ((data[7] + 7) / 8) : 0;
  uint64_t at = 18 + uint64_t(data[0]) + mapBytes;
  const uint64_t texels = uint64_t(Le16(data + 12)) * Le16(data + 14);
  const uint64_t texelBytes = (bits + 7) / 8;
  if (type < 8) return at + texels * texelBytes <= size;
  // Run-length encoded: walk the packets (a count byte, then one texel repeated or count texels).
  for (uint64_t done = 0; done < texels;) {
    if (at >= size) return false;
    const uint8_t packet = data[at++];
    const uint64_t count = (packet & 0x7F) + 1;
    at += (packet & 0x80) ? texelBytes : count * texelBytes;
    if (at > size) return false;
    done += count;
  }
  return true;
}

D3DFORMAT FormatOfChannels(int channels) {
  switch (channels) {
    case 1: return D3DFMT_L8;
    case 2: return D3DFMT_A8L8;
    case 3: return D3DFMT_R8G8B8;
    default: return D3DFMT_A8R8G8B8;
  }
}

}  // namespace

bool IdentifyImageFile(const uint8_t* data, const uint8_t* end, D3DXIMAGE_FILEFORMAT& kind) {
  if (!data || end <= data) return false;
  if (StartsWith(data, end, "DDS ", 4)) return false;
  if (StartsWith(data, end, "BM", 2)) { kind = D3DXIFF_BMP; return true; }
  if (StartsWith(data, end, "\x89PNG\r\n\x1a\n", 8)) { kind = D3DXIFF_PNG; return true; }
  if (StartsWith(data, end, "\xFF\xD8\xFF", 3)) { kind = D3DXIFF_JPG; return true; }
  // TGA has no signature: its 18-byte header must make sense. stb_image tries the kinds that do
  // have one first, so a file starting with another kind's signature is never taken for a TGA.
  if (StartsWith(data, end, "GIF8", 4) || StartsWith(data, end, "8BPS", 4) || StartsWith(data, end, "#?", 2) ||
      StartsWith(data, end, "\x53\x80\xF6\x34", 4) || StartsWith(data, end, "P5", 2) || StartsWith(data, end, "P6", 2))
    return false;
  if (end - data < 18) return false;
  const uint8_t colorMapType = data[1], type = data[2], bits = data[16];
  const unsigned width = data[12] | (data[13] << 8), height = data[14] | (data[15] << 8);
  // Colour-mapped (1, 9), true-colour (2, 10) or grey (3, 11), plain or run-length encoded.
  const bool mapped = type == 1 || type == 9;
  const bool knownType = mapped || type == 2 || type == 3 || type == 10 || type == 11;
  if (!knownType || colorMapType != (mapped ? 1 : 0) || width == 0 || height == 0) return false;
  if (!mapped && bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32) return false;
  kind = D3DXIFF_TGA;
  return true;
}

bool ReadImageFileInfo(const uint8_t* data, const uint8_t* end, ImageFileInfo& info, std::string* error) {
  info = ImageFileInfo();
  D3DXIMAGE_FILEFORMAT kind;
  if (!IdentifyImageFile(data, end, kind)) {
    Fail(error, "not an image file D3DX reads");
    return false;
  }
  if (end - data > INT_MAX) {
    Fail(error, "the file is too large");
    return false;
  }
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(data, int(end - data), &width, &height, &channels)) {
    Fail(error, "the image's header is damaged");
    return false;
  }
  if (width <= 0 || height <= 0 || uint32_t(width) > kMaxDimension || uint32_t(height) > kMaxDimension) {
    Fail(error, "the image is empty or larger than 8192 texels a side");
    return false;
  }
  info.width = uint32_t(width);
  info.height = uint32_t(height);
  info.format = FormatOfChannels(channels);
  info.hasAlpha = channels == 2 || channels == 4;
  info.fileFormat = kind;
  return true;
}

bool DecodeImageFile(const uint8_t* data, const uint8_t* end, ImageFileInfo& info, ArgbImage& image,
                     std::string* error) {
  image = ArgbImage();
  if (!ReadImageFileInfo(data, end, info, error)) return false;
  if ((info.fileFormat == D3DXIFF_BMP && !BmpPixelsComplete(data, end)) ||
      (info.fileFormat == D3DXIFF_TGA && !TgaPixelsComplete(data, end))) {
    Fail(error, "the file ends before the image does");
    return false;
  }
  int width = 0, height = 0, channels = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
      stbi_load_from_memory(data, int(end - data), &width, &height, &channels, 4), stbi_image_free);
  // The pixel data must describe the image its header promised.
  if (!rgba || uint32_t(width) != info.width || uint32_t(height) != info.height) {
    Fail(error, "the image's pixel data is damaged");
    return false;
  }
  image.width = info.width;
  image.height = info.height;
  image.texels.resize(size_t(info.width) * info.height);
  const stbi_uc* p = rgba.get();
  for (uint32_t& texel : image.texels) {
    texel = (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    p += 4;
  }
  return true;
}

}  // namespace kvrdds
