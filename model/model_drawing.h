// Model drawing: a model's level buffers with its page, placed by its keyframe animation.
#pragma once
#include <d3dx9.h>

#include <cstdint>

struct LevelBuffer;     // model/level_buffers.h
struct AnimationFrame;  // model/animation_table.h

// Draws the model's levels: level 0 alone without an animation, the current frame's level for a
// frames animation, every level moved by its object's frame for a transform animation.
void DrawModel(int32_t model, D3DXMATRIX world);
// The levels [first, end) that DrawModel draws for the model at this moment; empty when none.
struct LevelRange {
  int32_t first = 0;
  int32_t end = 0;
};
LevelRange LevelsDrawnNow(int32_t model);
void DrawLevelBuffer(int32_t position, D3DXMATRIX world);
// The matrix a level is drawn with now: the world matrix, after the level's own move and turns
// when its model has a transform animation.
D3DXMATRIX LevelWorldMatrix(const LevelBuffer& entry, const D3DXMATRIX& world);
// A transform animation's keyframe as a matrix (row vectors): turned about x, z and y, then moved.
D3DXMATRIX KeyframeMatrix(const AnimationFrame& frame);
