// PNG encoding without zlib, for the browser build: the image data goes in deflate's stored
// (uncompressed) blocks, which every PNG reader takes. Files are larger than libpng's, no
// slower to read.
// Implemented: 8-bit RGB and RGBA, no filtering, CRC-32 and Adler-32 as the format asks.
// Not implemented: compression, interlacing, any ancillary chunk.
#include <array>
#include <cstddef>

#include "d3dx9/png_encoder.h"

namespace kvrd3dx {

namespace {

const std::array<uint32_t, 256>& CrcTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// Appends one chunk: length, type, data and the CRC of type and data.
void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutU32(out, static_cast<uint32_t>(data.size()));
  const size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = typeAt; i < out.size(); ++i) crc = CrcTable()[(crc ^ out[i]) & 0xFF] ^ (crc >> 8);
  PutU32(out, crc ^ 0xFFFFFFFFu);
}

}  // namespace

bool EncodePng(uint32_t width, uint32_t height, bool alpha, const std::vector<uint8_t>& rows,
               std::vector<uint8_t>& file) {
  const uint64_t rowBytes = uint64_t(width) * (alpha ? 4 : 3);
  if (width == 0 || height == 0 || rows.size() != rowBytes * height) return false;
  // Each row starts with its filter type, 0 (none).
  const uint64_t rawBytes = (rowBytes + 1) * height;
  // A PNG chunk holds at most 2^31 - 1 bytes; the stored blocks add 5 bytes per 65535.
  if (rawBytes + rawBytes / 65535 * 5 + 64 > 0x7FFFFFFFu) return false;
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(rawBytes));
  for (uint32_t y = 0; y < height; ++y) {
    raw.push_back(0);
    const uint8_t* row = rows.data() + rowBytes * y;
    raw.insert(raw.end(), row, row + rowBytes);
  }

  std::vector<uint8_t> zlib = {0x78, 0x01};  // deflate, 32 KiB window, no preset dictionary
  uint32_t a = 1, b = 0;                     // Adler-32 of the uncompressed bytes
  for (size_t at = 0; at < raw.size();) {
    const size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
    const bool last = at + length == raw.size();
    zlib.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
    zlib.push_back(static_cast<uint8_t>(length));
    zlib.push_back(static_cast<uint8_t>(length >> 8));
    zlib.push_back(static_cast<uint8_t>(~length));
    zlib.push_back(static_cast<uint8_t>(~length >> 8));
    for (size_t i = at; i < at + length; ++i) {
      a = (a + raw[i]) % 65521;
      b = (b + a) % 65521;
    }
    zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + length);
    at += length;
  }
  PutU32(zlib, (b << 16) | a);

  std::vector<uint8_t> header;
  PutU32(header, width);
  PutU32(header, height);
  header.push_back(8);                // bits per channel
  header.push_back(alpha ? 6 : 2);    // colour type: RGBA or RGB
  header.insert(header.end(), {0, 0, 0});  // deflate, adaptive filtering, no interlace

  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  file.assign(kSignature, kSignature + 8);
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", zlib);
  PutChunk(file, "IEND", {});
  return true;
}

}  // namespace kvrd3dx
