// Keyframe animations (ANIM3D files) and the 100 ms animation beat.
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

extern std::vector<Animation> Animations;
extern std::vector<AnimationFrame> AnimationFrames;
extern std::vector<int32_t> AnimationCounters;

void LoadAnimations(const char* directory);
int32_t FindAnimation(const char* modelName);
bool IsFramesAnimation(int32_t animation);
int32_t AnimationCounter(int32_t animation);
// False (and out untouched) when the frame would lie outside the table.
bool GetAnimationFrame(int32_t animation, int32_t object, AnimationFrame& out);
void TickAnimations();
// Empties the table and restarts the beat (the program never needs it; tests do).
void ResetAnimationTable();
