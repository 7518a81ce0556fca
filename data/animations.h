// Keyframe animations: the animation manifest and its ANIM3D files, and the 100 ms beat.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/animation_table.h"

// Reads "Animations.gam" in the directory and loads every ANIM3D file it lists.
void LoadAnimations(const char* directory);
// The path each animation was read from, sharing its indices with Animations.
extern std::vector<std::string> AnimationSourcePaths;
// Reads an animation's file again and puts what it holds in place of the animation, keeping its
// number. On failure the animation stays as it was, the log gets the line a first load writes,
// and reason says why.
bool ReloadAnimation(int32_t animation, std::string& reason);
// The beat on which the viewer steps its animations.
constexpr uint32_t kAnimationBeatMilliseconds = 100;
// Steps the keyframe counters when a 100 ms beat has passed since the last one; true on a beat,
// when the caller also steps the texture animations.
bool TickAnimations();
// Forgets the beat's clock: the next tick starts it again.
void ResetAnimationBeat();
