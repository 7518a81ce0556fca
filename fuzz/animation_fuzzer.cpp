// An ANIM3D file's bytes through ParseAnim3D, appended to the animation table twice as the loader
// appends what it parsed, then the 100 ms beat on the test clock (across the 32-bit wrap), reading
// every animation's counter and every object's frame after each tick as drawing does. Input: the
// ANIM3D file; when it holds a NUL byte, the file is what follows the first one (older seeds put
// a manifest before it).
#include <kvrplatform_testing.h>

#include <algorithm>
#include <cstring>

#include "data/anim3d_parser.h"
#include "fuzz_support.h"

namespace {

// Objects past this many are not asked for: the frames behind them are the same table entries.
const int32_t kMaxObjectsRead = 64;

// What the parser promises the table: never more frames than its counts can reach, and counts
// that are never negative.
void CheckParse(const Anim3DParse& parsed) {
  if (!parsed.headerRead) {
    if (!parsed.frames.empty()) fuzzsupport::Broken("frames without a header");
    return;
  }
  const Animation& a = parsed.animation;
  if (a.frameCount < 0 || a.objectCount < -1) fuzzsupport::Broken("a negative count kept");
  const int64_t objects = a.objectCount == -1 ? 1 : a.objectCount;
  if (static_cast<int64_t>(parsed.frames.size()) > objects * a.frameCount)
    fuzzsupport::Broken("more frames than the counts reach");
}

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
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  const char* begin = reinterpret_cast<const char*>(nul ? nul + 1 : data);
  const char* end = reinterpret_cast<const char*>(data + size);
  // Close to the 32-bit wrap of the millisecond counter, which the beat must survive.
  kvrtest::SetTime(0xFFFFF000u);

  Anim3DParse parsed;
  ParseAnim3D(begin, end, parsed);
  CheckParse(parsed);
  if (parsed.headerRead) {
    // Two copies of one name: a model finds the first.
    AppendAnimation(parsed.animation, parsed.frames);
    AppendAnimation(parsed.animation, parsed.frames);
  }

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
