// The AnimationTable: appending, finding an animation by model name, and reading its frames.
#include "model/animation_table.h"

#include <unordered_map>

std::vector<Animation> Animations;
std::vector<AnimationFrame> AnimationFrames;
std::vector<int32_t> AnimationCounters;

namespace {

// Names match whatever the capitals of ASCII letters; other bytes must be equal.
std::string LowerCase(const std::string& name) {
  std::string lower = name;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

// Position in Animations of the first animation of each lower-cased name, for the entries
// before animationIndexed.
std::unordered_map<std::string, int32_t> animationIndex;
size_t animationIndexed = 0;

bool ValidAnimation(int32_t animation) {
  return animation >= 0 && static_cast<size_t>(animation) < Animations.size() &&
         static_cast<size_t>(animation) < AnimationCounters.size();
}

}  // namespace

int32_t AppendAnimation(Animation animation, const std::vector<AnimationFrame>& frames) {
  animation.firstFrame = static_cast<int32_t>(AnimationFrames.size());
  animation.storedFrames = static_cast<int64_t>(frames.size());
  AnimationFrames.insert(AnimationFrames.end(), frames.begin(), frames.end());
  // The record and its counter are appended together so that they always share an index.
  Animations.push_back(std::move(animation));
  AnimationCounters.push_back(0);
  return static_cast<int32_t>(Animations.size() - 1);
}

bool ReplaceAnimation(int32_t number, Animation animation, const std::vector<AnimationFrame>& frames) {
  if (!ValidAnimation(number)) return false;
  // The old frames stay where they are, unused: the table is only ever appended to.
  animation.firstFrame = static_cast<int32_t>(AnimationFrames.size());
  animation.storedFrames = static_cast<int64_t>(frames.size());
  AnimationFrames.insert(AnimationFrames.end(), frames.begin(), frames.end());
  Animations[number] = std::move(animation);
  AnimationCounters[number] = 0;
  // The name may have changed: the index is built again on the next look-up.
  animationIndex.clear();
  animationIndexed = 0;
  return true;
}

int32_t FindAnimation(const char* modelName) {
  if (!modelName) return -1;
  // Every model of a data set asks once while loading; a scan of all animations each time grows
  // with models times animations. The index catches up with the table as it grows, and starts
  // again if the table was emptied.
  if (Animations.size() < animationIndexed) {
    animationIndex.clear();
    animationIndexed = 0;
  }
  for (; animationIndexed < Animations.size(); ++animationIndexed)
    animationIndex.emplace(LowerCase(Animations[animationIndexed].name),
                           static_cast<int32_t>(animationIndexed));  // the first of a name stays
  const auto found = animationIndex.find(LowerCase(modelName));
  return found == animationIndex.end() ? -1 : found->second;
}

bool IsFramesAnimation(int32_t animation) {
  return ValidAnimation(animation) && Animations[animation].objectCount == -1;
}

int32_t AnimationCounter(int32_t animation) {
  return ValidAnimation(animation) ? AnimationCounters[animation] : 0;
}

bool GetAnimationFrame(int32_t animation, int32_t object, AnimationFrame& out) {
  if (!ValidAnimation(animation) || object < 0) return false;
  const Animation& a = Animations[animation];
  if (a.objectCount != -1 && object >= a.objectCount) return false;
  // In 64 bits: the counts come from the file and their product may not fit 32.
  const int64_t offset = int64_t{AnimationCounters[animation]} + int64_t{object} * a.frameCount;
  if (offset < 0 || offset >= a.storedFrames) return false;
  const int64_t index = int64_t{a.firstFrame} + offset;
  if (index < 0 || static_cast<uint64_t>(index) >= AnimationFrames.size()) return false;
  out = AnimationFrames[static_cast<size_t>(index)];
  return true;
}

void ClearAnimationTable() {
  std::vector<Animation>().swap(Animations);
  std::vector<AnimationFrame>().swap(AnimationFrames);
  std::vector<int32_t>().swap(AnimationCounters);
  std::unordered_map<std::string, int32_t>().swap(animationIndex);
  animationIndexed = 0;
}
