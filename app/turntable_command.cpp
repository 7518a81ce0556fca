// kvrview --turntable: each picture is the one --render draws at its yaw and moment, read back
// from the headless device and kept in memory until the file is written.
#include "app/turntable_command.h"

#include <d3dx9.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/animated_picture.h"
#include "app/command_options.h"
#include "app/headless.h"
#include "app/picture_drawing.h"
#include "base/printable_text.h"
#include "base/device.h"
#include "data/animation_clock.h"

namespace {

// No side of a PNG strip is longer, and no turn holds more pixels (768 MiB of R, G, B).
constexpr int64_t kLongestStripSide = 8192;
constexpr int64_t kMostTurnPixels = int64_t{256} << 20;

std::string Extension(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  std::string extension = dot == std::string::npos ? std::string() : path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

// The pictures left to right, as many a row as fit in the longest side, rows top to bottom.
bool WriteStrip(const std::string& path, const AnimatedPicture& picture, std::string& problem) {
  const int64_t count = static_cast<int64_t>(picture.frames.size());
  const int64_t columns = std::min<int64_t>(count, kLongestStripSide / picture.width);
  const int64_t rows = (count + columns - 1) / columns;
  if (rows * picture.height > kLongestStripSide) {
    problem = "the strip would be longer than 8192 pixels (fewer --frames or a smaller --size)";
    return false;
  }
  const UINT width = static_cast<UINT>(columns * picture.width), height = static_cast<UINT>(rows * picture.height);
  Held<IDirect3DSurface9> strip;
  D3DLOCKED_RECT locked = {};
  if (FAILED(g_pd3dDevice->CreateOffscreenPlainSurface(width, height, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                       strip.out(), nullptr)) ||
      FAILED(strip->LockRect(&locked, nullptr, 0))) {
    problem = "no room for the strip";
    return false;
  }
  for (UINT y = 0; y < height; ++y) std::memset(static_cast<uint8_t*>(locked.pBits) + size_t{y} * locked.Pitch, 0, size_t{width} * 4);
  for (int64_t f = 0; f < count; ++f) {
    const std::vector<uint8_t>& rgb = picture.frames[static_cast<size_t>(f)];
    const int64_t left = (f % columns) * picture.width, top = (f / columns) * picture.height;
    for (int32_t y = 0; y < picture.height; ++y) {
      uint8_t* out = static_cast<uint8_t*>(locked.pBits) + size_t(top + y) * size_t(locked.Pitch) + size_t(left) * 4;
      const uint8_t* in = rgb.data() + size_t(y) * size_t(picture.width) * 3;
      for (int32_t x = 0; x < picture.width; ++x, in += 3, out += 4) {
        out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = 255;
      }
    }
  }
  strip->UnlockRect();
  if (SUCCEEDED(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, strip.get(), nullptr, nullptr))) return true;
  problem = "cannot be written";
  return false;
}

}  // namespace

uint32_t TurntableMoment(int32_t frame, int32_t frames, uint32_t length) {
  return frames > 0 ? static_cast<uint32_t>(uint64_t(length) * uint64_t(frame) / uint64_t(frames)) : 0;
}

int RunTurntable(const CommandLine& command) {
  const std::string extension = Extension(command.output);
  if (int64_t{command.width} * command.height * command.turnFrames > kMostTurnPixels) {
    std::fputs("kvrview: a turn of more than 256 Mi pixels is refused (fewer --frames or a smaller --size)\n",
               stderr);
    return 1;
  }
  HeadlessSession session(command.width, command.height);
  if (!session.started()) return 1;
  D3DSURFACE_DESC desc = {};
  if (!BackBufferIs(command.width, command.height, desc)) return 1;
  int32_t model = -1;
  if (const int code = LoadNamedModel(command, model)) return code;

  AnimatedPicture picture;
  picture.width = command.width;
  picture.height = command.height;
  picture.length = command.turnMilliseconds;
  picture.frames.resize(static_cast<size_t>(command.turnFrames));
  const D3DVIEWPORT9 whole = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
  PictureView camera = {};
  for (int32_t f = 0; f < command.turnFrames; ++f) {
    const uint32_t moment = TurntableMoment(f, command.turnFrames, command.turnMilliseconds);
    SetModelToTime(model, moment);
    // The model turns in front of a camera that stays where the first picture (--render's) put it.
    const float turn = 360.0f * static_cast<float>(f) / static_cast<float>(command.turnFrames);
    DrawTurnedModelPicture(model, whole, command.yaw, command.pitch, turn, &camera, Background(command));
    if (!ReadBackBuffer(desc, picture.frames[static_cast<size_t>(f)])) {
      std::fputs("kvrview: a picture could not be read back from the device\n", stderr);
      return 1;
    }
    picture.starts.push_back(moment);
  }

  std::string problem;
  const bool written = extension == "gif"    ? WriteAnimatedGif(command.outputPath, picture, problem)
                       : extension == "webp" ? WriteAnimatedWebp(command.outputPath, picture, problem)
                                             : WriteStrip(command.outputPath, picture, problem);
  if (written) return 0;
  std::fprintf(stderr, "kvrview: %s %s\n", PrintableText(command.output).c_str(), problem.c_str());
  return 1;
}
