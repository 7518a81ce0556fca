// Model drawing: a model's level buffers with its page, placed by its keyframe animation.
#pragma once
#include <d3dx9.h>

#include <cstdint>

// Draws the model's levels: level 0 alone without an animation, the current frame's level for a
// frames animation, every level moved by its object's frame for a transform animation.
void DrawModel(int32_t model, D3DXMATRIX world);
void DrawLevelBuffer(int32_t position, D3DXMATRIX world);
