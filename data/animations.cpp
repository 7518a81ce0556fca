// Keyframe animations: loading the animation manifest and its ANIM3D files, and the beat.
#include "data/animations.h"

#include <windows.h>
#include <mmsystem.h>

#include <string>
#include <vector>

#include "base/ceilings.h"
#include "base/data_file.h"
#include "base/data_path.h"
#include "base/error_log.h"
#include "base/problems.h"
#include "data/anim3d_parser.h"

std::vector<std::string> AnimationSourcePaths;

namespace {

const double kBeatMilliseconds = kAnimationBeatMilliseconds;

// The beat's clock. The counter is 32-bit milliseconds and wraps after 49.7 days, so times are
// compared as unsigned differences, never as plain numbers.
bool beatStarted = false;
DWORD lastBeat = 0;

// What an animation costs besides its frames: the record, its counter and its name.
constexpr uint64_t kAnimationRecordBytes = sizeof(Animation) + sizeof(int32_t) + 64;

uint64_t AnimationBytes() {
  return AnimationFrames.size() * sizeof(AnimationFrame) + Animations.size() * kAnimationRecordBytes;
}

void LoadAnimationFile(const std::string& path) {
  // The path is logged twice on purpose: it is the log's established form, kept as it is.
  ErrorLog::Write(path);
  ErrorLog::Write(path);
  if (!DataPathAllowed(path)) return;
  std::vector<char> contents;
  if (!ReadDataFile(path.c_str(), contents)) {
    ErrorLog::Write("Failed to open animation file " + path);
    ReportProblem(path, "the animation file cannot be opened");
    return;
  }
  Anim3DParse parsed;
  ParseAnim3D(contents.data(), contents.data() + contents.size(), parsed);
  if (!parsed.keywordFound) {
    ErrorLog::Write("No ANIM3DFRAMES or ANIM3DTRANS in " + path);
    ReportProblem(path, "no ANIM3DFRAMES or ANIM3DTRANS in it");
    return;
  }
  if (parsed.nameRead) ErrorLog::Write(parsed.animation.name);
  if (!parsed.headerRead) {
    ErrorLog::Write("Animation file ends early " + path);
    ReportProblem(path, "the animation file ends early");
    return;
  }
  if (parsed.negativeCount) {
    ErrorLog::Write("Animation file holds a negative frame count " + path);
    ReportProblem(path, "the animation file holds a negative frame count");
  }
  const uint64_t bytes = parsed.frames.size() * sizeof(AnimationFrame) + kAnimationRecordBytes;
  if (!FitsUnderCeiling(AnimationBytes(), bytes, kMaxAnimationBytes)) {
    ErrorLog::Write("Keyframe animations would pass their ceiling of 256 MiB, skipped: " + path);
    ReportProblem(path, "keyframe animations would pass their ceiling of 256 MiB");
    return;
  }

  AppendAnimation(std::move(parsed.animation), parsed.frames);
  AnimationSourcePaths.resize(Animations.size());
  AnimationSourcePaths.back() = path;
  ErrorLog::WriteValue("size ", static_cast<int32_t>(Animations.size()));
  if (!parsed.complete) {
    ErrorLog::Write("Animation file ends early " + path);
    ReportProblem(path, "the animation file ends early");
  }
}

}  // namespace

void LoadAnimations(const char* directory) {
  const std::string prefix = directory ? directory : "";
  const std::string manifest = prefix + "Animations.gam";
  if (!DataPathAllowed(manifest)) return;
  std::vector<char> contents;
  if (!ReadDataFile(manifest.c_str(), contents)) {
    ErrorLog::Write("Failed to open animation manifest " + manifest);
    ReportProblem(manifest, "the animation manifest cannot be opened");
    return;
  }
  // All paths are collected before the first animation file is opened.
  std::vector<std::string> paths;
  TokenReader tokens(contents);
  for (std::string word; tokens.Next(word);) paths.push_back(prefix + word);
  contents.clear();
  for (const std::string& path : paths) LoadAnimationFile(path);
}

bool ReloadAnimation(int32_t animation, std::string& reason) {
  if (animation < 0 || static_cast<size_t>(animation) >= AnimationSourcePaths.size()) return false;
  const std::string path = AnimationSourcePaths[animation];
  if (!DataPathAllowed(path)) {
    reason = "Path refused: " + path;
    return false;
  }
  std::vector<char> contents;
  if (!ReadDataFile(path.c_str(), contents)) {
    reason = "Failed to open animation file " + path;
    ErrorLog::Write(reason);
    return false;
  }
  Anim3DParse parsed;
  ParseAnim3D(contents.data(), contents.data() + contents.size(), parsed);
  if (!parsed.keywordFound) {
    reason = "No ANIM3DFRAMES or ANIM3DTRANS in " + path;
  } else if (!parsed.headerRead || !parsed.complete) {
    reason = "Animation file ends early " + path;
  } else if (parsed.negativeCount) {
    reason = "Animation file holds a negative frame count " + path;
  } else {
    const uint64_t bytes = parsed.frames.size() * sizeof(AnimationFrame);
    if (!FitsUnderCeiling(AnimationBytes(), bytes, kMaxAnimationBytes)) {
      reason = "Keyframe animations would pass their ceiling of 256 MiB, skipped: " + path;
    } else {
      ReplaceAnimation(animation, std::move(parsed.animation), parsed.frames);
      ErrorLog::Write("Reloaded " + path);
      return true;
    }
  }
  ErrorLog::Write(reason);
  return false;
}

bool TickAnimations() {
  const DWORD now = timeGetTime();
  if (!beatStarted) {
    beatStarted = true;
    lastBeat = now;
    return false;
  }
  if (static_cast<double>(static_cast<DWORD>(now - lastBeat)) <= kBeatMilliseconds) return false;
  lastBeat = now;

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
  return true;
}

void ResetAnimationBeat() {
  beatStarted = false;
  lastBeat = 0;
}
