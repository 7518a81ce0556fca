// Keyframe animations: loading the animation manifest and its ANIM3D files, and the beat.
#include "data/animations.h"

#include <windows.h>
#include <mmsystem.h>

#include <string>
#include <vector>

#include "base/data_file.h"
#include "base/error_log.h"
#include "data/anim3d_parser.h"

namespace {

const double kBeatMilliseconds = 100.0;

// The beat's clock. The counter is 32-bit milliseconds and wraps after 49.7 days, so times are
// compared as unsigned differences, never as plain numbers.
bool beatStarted = false;
DWORD lastBeat = 0;

void LoadAnimationFile(const std::string& path) {
  // The path is logged twice on purpose: it is the log's established form, kept as it is.
  ErrorLog::Write(path.c_str());
  ErrorLog::Write(path.c_str());
  std::vector<char> contents;
  if (!ReadDataFile(path.c_str(), contents)) {
    ErrorLog::Write(("Failed to open animation file " + path).c_str());
    return;
  }
  Anim3DParse parsed;
  ParseAnim3D(contents.data(), contents.data() + contents.size(), parsed);
  if (!parsed.keywordFound) {
    ErrorLog::Write(("No ANIM3DFRAMES or ANIM3DTRANS in " + path).c_str());
    return;
  }
  if (parsed.nameRead) ErrorLog::Write(parsed.animation.name.c_str());
  if (!parsed.headerRead) {
    ErrorLog::Write(("Animation file ends early " + path).c_str());
    return;
  }
  if (parsed.negativeCount)
    ErrorLog::Write(("Animation file holds a negative frame count " + path).c_str());

  AppendAnimation(std::move(parsed.animation), parsed.frames);
  ErrorLog::WriteValue("size ", static_cast<int32_t>(Animations.size()));
  if (!parsed.complete) ErrorLog::Write(("Animation file ends early " + path).c_str());
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
