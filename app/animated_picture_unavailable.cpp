// The Windows and browser builds have neither giflib nor libwebp: their turntables are PNG strips.
#include "app/animated_picture.h"

bool WriteAnimatedGif(const std::string&, const AnimatedPicture&, std::string& problem) {
  problem = "this build writes no GIF (a .png turntable is a strip of the pictures)";
  return false;
}

bool WriteAnimatedWebp(const std::string&, const AnimatedPicture&, std::string& problem) {
  problem = "this build writes no WebP (a .png turntable is a strip of the pictures)";
  return false;
}
