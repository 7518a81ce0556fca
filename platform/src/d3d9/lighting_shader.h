// Direct3D 9's per-vertex fixed-function lighting: the part of the state that shapes the vertex
// shader (a packed key), the uniform values of one draw, and the statements the vertex shader
// generator puts in for it.
#pragma once
#include <cstdint>
#include <string>

#include "d3d9/d3d9_internal.h"

namespace kvrd3d {

// Zero in every field when vertices are not lit, so an unlit draw's key is what it was before
// lighting existed.
struct LightingKey {
  uint8_t lit;          // 1: D3DRS_LIGHTING on and vertices that are not pre-transformed
  uint8_t lightCount;   // lights drawn, at most kMaxActiveLights
  uint16_t lightTypes;  // two bits a light, light i at bit 2i: its D3DLIGHTTYPE
  uint8_t normal;       // the vertex format holds a normal
  uint8_t normalize;    // D3DRS_NORMALIZENORMALS
  uint8_t localViewer;  // D3DRS_LOCALVIEWER
  uint8_t specular;     // D3DRS_SPECULARENABLE: specular light is worked out
  // Where each material colour comes from, once D3DRS_COLORVERTEX and the vertex format are
  // taken into account: 0 the material, 1 the vertex diffuse colour, 2 the vertex specular one.
  uint8_t diffuseSource, ambientSource, specularSource, emissiveSource;
};

// The uniforms of a lit program, in the layout the shader declares them.
struct LightingUniforms {
  float worldView[16];     // row-major world * view, sent untransposed
  float normalMatrix[9];   // row-major inverse transpose of its 3x3 part
  float material[5][4];    // diffuse, ambient, specular, emissive, (power, 0, 0, 0)
  float ambient[4];        // D3DRS_AMBIENT
  // Per light: diffuse, specular, ambient, position (camera space), direction towards the
  // light (camera space, unit length, or zero), (range, a0, a1, a2), (cos theta/2, cos phi/2,
  // falloff, 0).
  static constexpr int kVectorsPerLight = 7;
  float lights[kMaxActiveLights * kVectorsPerLight][4];
};

// Fills the lighting part of the key for a draw of vertices laid out as `layout` under `state`,
// and, when lit, the lights drawn (in enabling order).
void FillLightingKey(const StateValues& state, const FvfLayout& layout, LightingKey* key,
                     const D3DLIGHT9* drawn[kMaxActiveLights]);

// The uniform values of a lit draw.
void FillLightingUniforms(const StateValues& state, const LightingKey& key,
                          const D3DLIGHT9* const drawn[kMaxActiveLights], LightingUniforms* out);

// The uniforms a lit key's statements read (GLSL 3.30).
std::string LightingDeclarations(const LightingKey& key);
// The statements that light a vertex: they read diffuseIn, specularIn (the vertex's colours),
// aNormal and P (the camera-space position), and set diffuseOut and specularOut.
std::string LightingBody(const LightingKey& key);

}  // namespace kvrd3d
