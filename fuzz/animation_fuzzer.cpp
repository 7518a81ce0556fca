// An ANIM3D file and "Animations.gam" through LoadAnimations, then the 100 ms beat on the test
// clock (across the 32-bit wrap), reading every animation's counter and every object's frame after
// each tick as drawing does. Input: the manifest, a NUL byte, then the ANIM3D file "input.ani";
// without a NUL the whole input is the ANIM3D file and the manifest lists it twice.
#include <kvrplatform_testing.h>

#include <algorithm>
#include <cstring>

#include "fuzz_support.h"

namespace {

// Objects past this many are not asked for: the frames behind them are the same table entries.
const int32_t kMaxObjectsRead = 64;
const size_t kMaxManifestBytes = 256;

void ReadAsDrawingDoes() {
  if (Animations.size() != AnimationCounters.size())
    fuzzsupport::Broken("an animation record without its counter");
  for (size_t i = 0; i < Animations.size(); ++i) {
    const int32_t animation = static_cast<int32_t>(i);
    // Models ask by C string, so a name holding a NUL byte (read as part of a word) is out of
    // their reach; any other name finds this animation or an earlier one of the same name.
    const std::string& name = Animations[i].name;
    if (name.find('\0') == std::string::npos && FindAnimation(name.c_str()) < 0)
      fuzzsupport::Broken("a loaded animation not found");
    const int32_t counter = AnimationCounter(animation);
    const bool frames = IsFramesAnimation(animation);
    const Animation& a = Animations[i];
    if (counter < 0 || (counter > 0 && counter >= a.frameCount))
      fuzzsupport::Broken("a counter outside its animation's frames");
    const int32_t objects = frames ? 1 : a.objectCount;
    AnimationFrame frame;
    for (int32_t object = -1; object <= objects && object <= kMaxObjectsRead; ++object)
      GetAnimationFrame(animation, object, frame);
  }
  AnimationFrame frame;
  GetAnimationFrame(-1, 0, frame);
  GetAnimationFrame(static_cast<int32_t>(Animations.size()), 0, frame);
  AnimationCounter(static_cast<int32_t>(Animations.size()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzzsupport::MakeScratchDir(argc, argv);
  fuzzsupport::ScratchScope scratch;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::ScratchScope scratch;
  const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  if (nul) {
    // Every manifest entry costs file opens and log lines; a longer list reaches no new code and
    // only slows each input down, so the manifest is kept to its first bytes.
    const size_t manifestBytes = std::min(static_cast<size_t>(nul - data), kMaxManifestBytes);
    fuzzsupport::WriteFile("anims/Animations.gam", data, manifestBytes);
    fuzzsupport::WriteFile("anims/input.ani", nul + 1, size - static_cast<size_t>(nul + 1 - data));
  } else {
    fuzzsupport::WriteFile("anims/Animations.gam", "input.ani\nINPUT.ANI\n");
    fuzzsupport::WriteFile("anims/input.ani", data, size);
  }
  ErrorLog::Start();
  // Close to the 32-bit wrap of the millisecond counter, which the beat must survive.
  kvrtest::SetTime(0xFFFFF000u);

  LoadAnimations("anims\\");

  ReadAsDrawingDoes();
  // The first tick only starts the beat; then beats, calls between beats, and a long pause.
  const DWORD steps[] = {0, 101, 101, 40, 101, 250, 101, 101, 1000, 101, 101, 101, 101, 5000, 101};
  for (DWORD step : steps) {
    kvrtest::AdvanceTime(step);
    TickAnimations();
    ReadAsDrawingDoes();
  }

  ResetProgramTables();
  return 0;
}
