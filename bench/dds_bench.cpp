// DDS texture page loading: decoding a 256x256 page, and building the full mip chain the
// texture pages ask for (triangle filter, mirrored edges, pure green keyed out).
#include <benchmark/benchmark.h>
#include <squish.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dds_file.h"
#include "platform/src/d3dx9/dds_reader.h"
#include "platform/src/d3dx9/dds_texture.h"

namespace {

constexpr int kSide = 256;

// A page-like picture: gradients, hard-edged tiles, and some pure green to key out.
std::vector<uint8_t> PageFile(int squishFlag, const char* fourCC) {
  std::vector<squish::u8> rgba;
  rgba.reserve(kSide * kSide * 4);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const bool green = (x / 16 + y / 16) % 5 == 0;
      rgba.push_back(green ? 0 : squish::u8(x));
      rgba.push_back(green ? 255 : squish::u8(y));
      rgba.push_back(green ? 0 : squish::u8((x / 8 + y / 8) % 2 ? 200 : 40));
      rgba.push_back(squish::u8(squishFlag == squish::kDxt1 ? 255 : (x + y) & 0xff));
    }
  std::vector<uint8_t> file = ddsfile::Header::Compressed(fourCC, kSide, kSide).Bytes();
  std::vector<uint8_t> blocks(size_t(squish::GetStorageRequirements(kSide, kSide, squishFlag)));
  squish::CompressImage(rgba.data(), kSide, kSide, blocks.data(), squishFlag | squish::kColourRangeFit);
  file.insert(file.end(), blocks.begin(), blocks.end());
  return file;
}

void DecodePage(benchmark::State& state, int squishFlag, const char* fourCC) {
  const std::vector<uint8_t> file = PageFile(squishFlag, fourCC);
  for (auto _ : state) {
    kvrdds::DdsHeaderInfo info;
    std::vector<kvrdds::ArgbImage> levels;
    if (!kvrdds::DecodeDds(file.data(), file.data() + file.size(), info, levels, nullptr))
      state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(levels.data());
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void BM_DdsDecodeDxt1Page(benchmark::State& state) { DecodePage(state, squish::kDxt1, "DXT1"); }
void BM_DdsDecodeDxt5Page(benchmark::State& state) { DecodePage(state, squish::kDxt5, "DXT5"); }

// Everything D3DXCreateTextureFromFileExA does for a page short of the device calls.
void BM_DdsPageToMipChain(benchmark::State& state) {
  const std::vector<uint8_t> file = PageFile(squish::kDxt1, "DXT1");
  kvrdds::TextureRequest request;
  request.filter = request.mipFilter = 0x70004;  // triangle, mirrored edges
  request.colorKey = 0xFF00FF00;
  for (auto _ : state) {
    kvrdds::DdsHeaderInfo info;
    std::vector<kvrdds::ArgbImage> levels;
    kvrdds::TextureLevels texture;
    if (!kvrdds::DecodeDds(file.data(), file.data() + file.size(), info, levels, nullptr) ||
        FAILED(kvrdds::BuildTextureLevels(info, std::move(levels), request, texture)))
      state.SkipWithError("load failed");
    benchmark::DoNotOptimize(texture.levels.data());
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

BENCHMARK(BM_DdsDecodeDxt1Page);
BENCHMARK(BM_DdsDecodeDxt5Page);
BENCHMARK(BM_DdsPageToMipChain);

}  // namespace
