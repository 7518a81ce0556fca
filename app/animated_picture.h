// A turntable's pictures as one file: an animated GIF (a palette of its own for each picture) or an
// animated WebP (lossless), looping for ever. The same pictures always make the same bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AnimatedPicture {
  int32_t width = 0, height = 0;
  std::vector<std::vector<uint8_t>> frames;  // R, G, B bytes, rows from the top
  std::vector<uint32_t> starts;              // when each frame is shown, in milliseconds
  uint32_t length = 0;                       // the whole loop, in milliseconds
};

// Write the file, or say why not in problem (and leave no file behind).
bool WriteAnimatedGif(const std::string& path, const AnimatedPicture& picture, std::string& problem);
bool WriteAnimatedWebp(const std::string& path, const AnimatedPicture& picture, std::string& problem);
