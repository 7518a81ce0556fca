// Test seams of the Direct3D 9 backend: failing creations and locks, a lowered texture limit,
// draw and lock counters, reading the back buffer, and PNG files of read-back images.
#include <kvrplatform_testing.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "d3d9/d3d9_internal.h"

namespace kvrtest {

using kvrd3d::DeviceSeams;

void FailDeviceCreation(DWORD behaviorFlagsMask) { DeviceSeams().failCreateMask = behaviorFlagsMask; }
void FailDirect3DCreate(bool fail) { DeviceSeams().failDirect3DCreate = fail; }
void SetMaxTextureSize(UINT size) { DeviceSeams().maxTextureSize = size; }
void FailVertexBufferCreationAfter(int successes) {
  DeviceSeams().vertexBufferCreationsLeft = successes < 0 ? -1 : successes;
}
void FailVertexBufferLocks(bool fail) { DeviceSeams().failVertexBufferLocks = fail; }
void DisableStateShadow(bool disable) { DeviceSeams().noStateShadow = disable; }
void ResetDeviceSeams() { DeviceSeams() = kvrd3d::Seams(); }

DeviceCounters GetCounters(IDirect3DDevice9* device) {
  DeviceCounters out;
  if (!device) return out;
  const kvrd3d::Counters& c = kvrd3d::AsDevice(device)->counters();
  out.drawCalls = c.drawCalls;
  out.primitives = c.primitives;
  out.clears = c.clears;
  out.presents = c.presents;
  out.vertexBufferLocks = c.vertexBufferLocks;
  out.textureLocks = c.textureLocks;
  return out;
}

void ResetCounters(IDirect3DDevice9* device) {
  if (device) kvrd3d::AsDevice(device)->counters() = kvrd3d::Counters();
}

uint64_t LockCount(IDirect3DResource9* resource) {
  if (auto* vb = dynamic_cast<kvrd3d::VertexBuffer*>(resource)) return vb->lockCount();
  if (auto* t = dynamic_cast<kvrd3d::Texture*>(resource)) return t->lockCount();
  return 0;
}

std::vector<UINT> DrawCallPrimitiveCounts(IDirect3DDevice9* device) {
  if (!device) return {};
  return kvrd3d::AsDevice(device)->counters().primitiveCounts;
}

Image ReadBackBuffer(IDirect3DDevice9* device) {
  Image image;
  if (device) kvrd3d::AsDevice(device)->ReadBack(&image.width, &image.height, &image.pixels);
  return image;
}

void FinishDrawing(IDirect3DDevice9* device) {
  if (device) kvrd3d::AsDevice(device)->Finish();
}

namespace {
struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
}  // namespace

bool WritePng(const std::string& path, const Image& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<size_t>(image.width) * image.height)
    return false;
  std::unique_ptr<FILE, FileCloser> f(std::fopen(path.c_str(), "wb"));
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  std::vector<png_byte> row(static_cast<size_t>(image.width) * 4);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, f.get());
  png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const uint32_t p = image.At(x, y);
      row[x * 4 + 0] = static_cast<png_byte>(p >> 16);
      row[x * 4 + 1] = static_cast<png_byte>(p >> 8);
      row[x * 4 + 2] = static_cast<png_byte>(p);
      row[x * 4 + 3] = static_cast<png_byte>(p >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool ReadPng(const std::string& path, Image& image) {
  png_image pi;
  std::memset(&pi, 0, sizeof(pi));
  pi.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&pi, path.c_str())) return false;
  pi.format = PNG_FORMAT_BGRA;  // bytes B, G, R, A: 0xAARRGGBB words on little-endian machines
  std::vector<uint32_t> pixels(static_cast<size_t>(pi.width) * pi.height);
  if (!png_image_finish_read(&pi, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&pi);
    return false;
  }
  image.width = static_cast<int>(pi.width);
  image.height = static_cast<int>(pi.height);
  image.pixels = std::move(pixels);
  return true;
}

}  // namespace kvrtest
