// The animations as they stand a given time after the start, for pictures that must come out the
// same on every run: the viewer's beat reads the wall clock, this reads a number.
#pragma once
#include <cstdint>

#include "model/animation_table.h"
#include "model/pie_parser.h"

// The keyframe an animation shows `time` milliseconds in, at its own frame rate: frame
// time * rate / 1000, round the animation's frames. A rate of 0 never steps and a negative one
// steps every beat, as in the viewer; no frames, or one, is frame 0.
int32_t KeyframeAtTime(const Animation& animation, uint32_t time);
// The texture-animation frame a model shows `time` milliseconds in: one frame a beat, round its
// frames. A team-coloured model keeps the frame it has (its strips show the team, not a moment).
int32_t TextureFrameAtTime(const PieModel& model, uint32_t time);
// Puts the model's keyframe counter and texture-animation frame where they stand `time`
// milliseconds in, and writes its animated texture coordinates again when the frame changed.
void SetModelToTime(int32_t model, uint32_t time);
