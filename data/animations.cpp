#include "data/animations.h"

#include <windows.h>
#include <mmsystem.h>

#include <unordered_map>

#include "app/error_log.h"
#include "data/data_file.h"
#include "model/model_geometry.h"

std::vector<Animation> Animations;
std::vector<AnimationFrame> AnimationFrames;
std::vector<int32_t> AnimationCounters;

namespace {

const double kBeatMilliseconds = 100.0;

// The beat's clock. The counter is 32-bit milliseconds and wraps after 49.7 days, so times are
// compared as unsigned differences, never as plain numbers.
bool beatStarted = false;
DWORD lastBeat = 0;

// An ANIM3D file as a stream of words that remembers whether it ran dry.
class AnimReader {
 public:
  explicit AnimReader(const std::vector<char>& contents) : tokens_(contents) {}
  bool Word(std::string& word) {
    if (!tokens_.Next(word)) {
      endedEarly_ = true;
      return false;
    }
    return true;
  }
  bool Number(int32_t& value) {
    std::string word;
    if (!Word(word)) return false;
    value = WordToInt(word);
    return true;
  }
  bool Skip(int count) {
    std::string word;
    for (int i = 0; i < count; ++i)
      if (!Word(word)) return false;
    return true;
  }
  // One frame line: the frame's number, then p1 p2 p3 r1 r2 r3 t1 t2 t3. Each triple is kept
  // with its second and third numbers exchanged: the files are written y-up the other way round.
  bool Frame(AnimationFrame& frame) {
    int32_t n[9];
    if (!Skip(1)) return false;
    for (int32_t& v : n)
      if (!Number(v)) return false;
    int32_t* triples[3] = {frame.position, frame.rotation, frame.third};
    for (int t = 0; t < 3; ++t) {
      triples[t][0] = n[3 * t];
      triples[t][1] = n[3 * t + 2];
      triples[t][2] = n[3 * t + 1];
    }
    return true;
  }
  bool endedEarly() const { return endedEarly_; }

 private:
  TokenReader tokens_;
  bool endedEarly_ = false;
};

// The name token is the model's file name in quotes: "name.pie". The name is what lies between
// the opening quote and ".pie"".
std::string NameFromToken(const std::string& token) {
  if (token.size() < 6) return std::string();
  return token.substr(1, token.size() - 6);
}

void AppendAnimation(Animation& animation, size_t framesBefore) {
  animation.storedFrames = static_cast<int64_t>(AnimationFrames.size() - framesBefore);
  // The record and its counter are appended together so that they always share an index.
  Animations.push_back(animation);
  AnimationCounters.push_back(0);
}

void LoadAnimationFile(const std::string& path) {
  ErrorLog::Write(path.c_str());
  ErrorLog::Write(path.c_str());
  std::vector<char> contents;
  if (!ReadDataFile(path.c_str(), contents)) {
    ErrorLog::Write(("Failed to open animation file " + path).c_str());
    return;
  }
  AnimReader in(contents);
  std::string word;
  bool frames = false;
  for (;;) {
    if (!in.Word(word)) {
      ErrorLog::Write(("No ANIM3DFRAMES or ANIM3DTRANS in " + path).c_str());
      return;
    }
    if (word == "ANIM3DFRAMES" || word == "ANIM3DTRANS") {
      frames = word == "ANIM3DFRAMES";
      break;
    }
  }

  Animation animation;
  const size_t framesBefore = AnimationFrames.size();
  animation.firstFrame = static_cast<int32_t>(framesBefore);
  bool headerRead = false;
  if (in.Word(word)) {
    animation.name = NameFromToken(word);
    if (frames) {
      if (in.Number(animation.frameCount)) {
        ErrorLog::Write(animation.name.c_str());
        headerRead = in.Number(animation.frameRate) && in.Skip(2);
      }
    } else {
      ErrorLog::Write(animation.name.c_str());
      headerRead = in.Number(animation.frameCount) && in.Number(animation.frameRate) &&
                   in.Number(animation.objectCount) && in.Skip(1);
      // -1 is the mark of a frames animation; a transform animation never carries it.
      if (animation.objectCount < 0) animation.objectCount = 0;
    }
  }
  if (!headerRead) {
    ErrorLog::Write(("Animation file ends early " + path).c_str());
    return;
  }
  // A negative count promises no frames at all; kept as 0 so the counter and the frame lookup
  // never meet a count below zero. The record stays: its model still finds it.
  if (animation.frameCount < 0) {
    ErrorLog::Write(("Animation file holds a negative frame count " + path).c_str());
    animation.frameCount = 0;
  }

  // Frames are appended one line at a time and the reading stops when the file runs dry, so the
  // counts in the file never decide how much is allocated.
  AnimationFrame frame;
  bool complete = true;
  if (frames) {
    int32_t read = 0;
    for (; read < animation.frameCount; ++read) {
      if (!in.Frame(frame)) break;
      AnimationFrames.push_back(frame);
    }
    if (read < animation.frameCount) {
      animation.frameCount = read;  // the counter then cycles over the frames that exist
      complete = false;
    }
  } else {
    int32_t begun = 0;  // objects whose heading was read
    while (complete && begun < animation.objectCount) {
      if (!in.Skip(4)) {
        complete = false;
        break;
      }
      ++begun;
      for (int32_t f = 0; f < animation.frameCount; ++f) {
        if (!in.Frame(frame)) {
          complete = false;
          break;
        }
        AnimationFrames.push_back(frame);
      }
      if (complete && !in.Skip(1)) complete = false;
    }
    // A short file keeps the objects it began; GetAnimationFrame refuses the frames it lacks.
    if (!complete) animation.objectCount = begun;
  }

  AppendAnimation(animation, framesBefore);
  ErrorLog::WriteValue("size ", static_cast<int32_t>(Animations.size()));
  if (!complete) ErrorLog::Write(("Animation file ends early " + path).c_str());
}

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

void LoadAnimations(const char* directory) {
  const std::string prefix = directory ? directory : "";
  const std::string manifest = prefix + "Animations.gam";
  std::vector<char> contents;
  if (!ReadDataFile(manifest.c_str(), contents)) {
    ErrorLog::Write(("Failed to open animation manifest " + manifest).c_str());
    return;
  }
  // All paths are collected before the first animation file is opened.
  std::vector<std::string> paths;
  TokenReader tokens(contents);
  for (std::string word; tokens.Next(word);) paths.push_back(prefix + word);
  contents.clear();
  for (const std::string& path : paths) LoadAnimationFile(path);
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

void TickAnimations() {
  const DWORD now = timeGetTime();
  if (!beatStarted) {
    beatStarted = true;
    lastBeat = now;
    return;
  }
  if (static_cast<double>(static_cast<DWORD>(now - lastBeat)) <= kBeatMilliseconds) return;
  lastBeat = now;

  AdvanceTextureAnimations();

  for (size_t i = 0; i < Animations.size() && i < AnimationCounters.size(); ++i) {
    Animation& a = Animations[i];
    // A rate of 0 gives an infinite interval (never steps); a negative rate steps every beat.
    const double interval = 1000.0 / static_cast<double>(a.frameRate);
    const DWORD since = now - static_cast<DWORD>(a.lastAdvance);
    if (static_cast<double>(since) > interval) {
      a.lastAdvance = static_cast<double>(now);
      int32_t& counter = AnimationCounters[i];
      ++counter;
      if (counter >= a.frameCount) counter = 0;
    }
  }
}

void ResetAnimationTable() {
  Animations.clear();
  animationIndex.clear();
  animationIndexed = 0;
  AnimationFrames.clear();
  AnimationCounters.clear();
  beatStarted = false;
  lastBeat = 0;
}
