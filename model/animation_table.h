// The AnimationTable: keyframe animations, their frame records and current-frame counters.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AnimationFrame {
  int32_t position[3];  // stored with the file's second and third numbers exchanged
  int32_t rotation[3];  // thousandths of a degree, likewise exchanged
  int32_t third[3];     // stored, not used
};

struct Animation {
  std::string name;         // the model name, without quotes and ".pie"
  int32_t frameCount = 0;
  int32_t frameRate = 0;    // frames per second
  int32_t objectCount = -1; // -1: an ANIM3DFRAMES animation
  int32_t firstFrame = 0;   // in AnimationFrames
  double lastAdvance = 0.0; // milliseconds of timeGetTime
  int64_t storedFrames = 0; // frame records this animation really holds (a file may end early)
};

// Animations and AnimationCounters share their indices: an animation's number.
extern std::vector<Animation> Animations;
extern std::vector<AnimationFrame> AnimationFrames;
extern std::vector<int32_t> AnimationCounters;

// Appends an animation and its frames (their positions are set here) with a counter at 0;
// returns its number.
int32_t AppendAnimation(Animation animation, const std::vector<AnimationFrame>& frames);
// Gives an existing animation a new record and frames (a file read again), keeping its number;
// its counter starts again at 0. False for a number outside the table.
bool ReplaceAnimation(int32_t number, Animation animation, const std::vector<AnimationFrame>& frames);
// The first animation whose name equals modelName, whatever the capitals; -1 when none does.
int32_t FindAnimation(const char* modelName);
bool IsFramesAnimation(int32_t animation);
int32_t AnimationCounter(int32_t animation);
// False (and out untouched) when the frame would lie outside the table.
bool GetAnimationFrame(int32_t animation, int32_t object, AnimationFrame& out);
// Empties the table and gives its memory back.
void ClearAnimationTable();
