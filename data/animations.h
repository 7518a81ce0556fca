// Keyframe animations: the animation manifest and its ANIM3D files, and the 100 ms beat.
#pragma once

#include "model/animation_table.h"

// Reads "Animations.gam" in the directory and loads every ANIM3D file it lists.
void LoadAnimations(const char* directory);
// Steps the keyframe counters when a 100 ms beat has passed since the last one; true on a beat,
// when the caller also steps the texture animations.
bool TickAnimations();
// Forgets the beat's clock: the next tick starts it again.
void ResetAnimationBeat();
