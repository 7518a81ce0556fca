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
#include "base/load_bounds.h"
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

// The names and paths of the animations held, beyond what kAnimationRecordBytes counts.
uint64_t textBytes = 0;

uint64_t AnimationBytes() {
  if (Animations.empty()) textBytes = 0;  // the table was emptied since
  return AnimationFrames.size() * sizeof(AnimationFrame) + Animations.size() * kAnimationRecordBytes + textBytes;
}

void LoadAnimationFile(const std::string& path) {
  // The path is logged twice on purpose: it is the log's established form, kept as it is.
  ErrorLog::Write(path);
  ErrorLog::Write(path);
  if (!DataPathAllowed(path)) return;
  std::vector<char> contents;
  if (!ReadListedFile(path, contents, "Failed to open animation file " + path, "the animation file cannot be opened")) return;
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
  const uint64_t bytes = parsed.frames.size() * sizeof(AnimationFrame) + kAnimationRecordBytes +
                         parsed.animation.name.size() + path.size();
  if (!FitsUnderCeiling(AnimationBytes(), bytes, kMaxAnimationBytes)) {
    ErrorLog::Write("Keyframe animations would pass their ceiling of " + CeilingText(kMaxAnimationBytes) + ", skipped: " + path);
    ReportProblem(path, "keyframe animations would pass their ceiling of " + CeilingText(kMaxAnimationBytes));
    return;
  }

  textBytes += parsed.animation.name.size() + path.size();
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
  if (!ReadListedFile(manifest, contents, "Failed to open animation manifest " + manifest, "the animation manifest cannot be opened", false))
    return;
  // Every name is known before the first animation file is opened: the manifest stays in memory
  // and each path is made as its file is read, so the directory is held once, not once a name.
  TokenReader tokens(contents);
  std::string path;
  for (std::string_view word; tokens.Next(word);) {
    if (!LoadGoesOn()) return;
    path.assign(prefix);
    path.append(word);
    LoadAnimationFile(path);
  }
}

bool ReloadAnimation(int32_t animation, std::string& reason) {
  if (animation < 0 || static_cast<size_t>(animation) >= AnimationSourcePaths.size()) return false;
  const std::string path = AnimationSourcePaths[animation];
  if (!DataPathAllowed(path)) {
    reason = "Path refused: " + path;
    return false;
  }
  std::vector<char> contents;
  const DataFileRead read = ReadDataSetFile(path.c_str(), contents);
  if (read != DataFileRead::kRead) {
    if (read == DataFileRead::kRefused) {
      reason = "Refused " + path;
      return false;
    }
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
      reason = "Keyframe animations would pass their ceiling of " + CeilingText(kMaxAnimationBytes) + ", skipped: " + path;
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
