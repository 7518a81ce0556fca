// Model drawing: which levels a model shows and where its keyframe animation puts each one.
#include "model/model_drawing.h"

#include "base/device.h"
#include "model/animation_table.h"
#include "model/level_buffers.h"
#include "model/model_catalogue.h"
#include "model/texture_pages.h"

LevelRange LevelsDrawnNow(int32_t model) {
  const int32_t animation = AnimationOf(model);
  const int32_t levels = LevelCountOf(model);
  // Without an animation only level 0 is shown, whatever the model's level count.
  if (animation < 0) return {0, 1};
  if (IsFramesAnimation(animation)) {
    // The levels are the frames: only the current one is drawn, if the model has it.
    const int32_t frame = AnimationCounter(animation);
    if (frame >= 0 && frame < levels) return {frame, frame + 1};
    return {0, 0};
  }
  return {0, levels};
}

void DrawModel(int32_t model, D3DXMATRIX world) {
  const int32_t first = FirstLevelBufferOf(model);
  if (first < 0) return;
  const LevelRange drawn = LevelsDrawnNow(model);
  for (int32_t level = drawn.first; level < drawn.end; ++level) DrawLevelBuffer(first + level, world);
}

D3DXMATRIX KeyframeMatrix(const AnimationFrame& frame) {
  // Positions in ten-thousandths of the vertex units; rotations in thousandths of a degree with
  // 6.28 standing for a full turn, z turning the other way.
  const float turn = 6.28f;
  D3DXMATRIX move, aboutX, aboutY, aboutZ;
  D3DXMatrixTranslation(&move, frame.position[0] / 10000.0f, frame.position[1] / 10000.0f,
                        frame.position[2] / 10000.0f);
  D3DXMatrixRotationX(&aboutX, frame.rotation[0] / 1000.0f / 360.0f * turn);
  D3DXMatrixRotationZ(&aboutZ, -frame.rotation[2] / 1000.0f / 360.0f * turn);
  D3DXMatrixRotationY(&aboutY, frame.rotation[1] / 1000.0f / 360.0f * turn);
  // Row vectors: turned about x, then z, then y, then moved.
  D3DXMATRIX xz, xzy, turnedAndMoved;
  D3DXMatrixMultiply(&xz, &aboutX, &aboutZ);
  D3DXMatrixMultiply(&xzy, &xz, &aboutY);
  D3DXMatrixMultiply(&turnedAndMoved, &xzy, &move);
  return turnedAndMoved;
}

D3DXMATRIX LevelWorldMatrix(const LevelBuffer& entry, const D3DXMATRIX& world) {
  const int32_t animation = AnimationOf(entry.model);
  const bool transform = animation >= 0 && !IsFramesAnimation(animation);
  D3DXMATRIX placed = world;
  AnimationFrame frame;
  // A transform animation with fewer objects than the model has levels leaves the extra levels
  // where the world matrix puts them.
  if (transform && GetAnimationFrame(animation, entry.level, frame)) {
    // Then placed by the world matrix.
    const D3DXMATRIX turnedAndMoved = KeyframeMatrix(frame);
    D3DXMatrixMultiply(&placed, &turnedAndMoved, &world);
  }
  return placed;
}

void DrawLevelBuffer(int32_t position, D3DXMATRIX world) {
  if (!g_pd3dDevice || position < 0 || static_cast<size_t>(position) >= LevelBufferTable.size())
    return;
  const LevelBuffer& entry = LevelBufferTable[position];
  if (!entry.buffer || entry.triangleCount <= 0) return;
  const int32_t animation = AnimationOf(entry.model);
  const bool transform = animation >= 0 && !IsFramesAnimation(animation);

  D3DMATRIX saved;
  g_pd3dDevice->GetTransform(D3DTS_WORLD, &saved);

  const D3DXMATRIX placed = LevelWorldMatrix(entry, world);
  g_pd3dDevice->SetTransform(D3DTS_WORLD, &placed);

  if (animation < 0 || transform || AnimationCounter(animation) == entry.level) {
    g_pd3dDevice->SetFVF(kPieVertexFVF);
    SelectTexturePage(static_cast<uint32_t>(TexturePageOf(entry.model)));
    g_pd3dDevice->SetStreamSource(0, entry.buffer, 0, kPieVertexStride);
    g_pd3dDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(entry.triangleCount));
  }
  g_pd3dDevice->SetTransform(D3DTS_WORLD, &saved);
}
