// The part of the fixed-function state that shapes the generated programs, as two packed keys:
// one for the vertex shader, one for the fragment shader. Each is zeroed before it is filled, so
// comparing two keys is one memcmp, and a key is rebuilt only when its dirty bit is set.
// Implemented: pre-transformed vertices, lighting (lighting_shader.h), per-stage texture
//   coordinates (the set a stage reads, camera-space generation, texture transforms with their
//   count and projection), vertex and table fog (linear, exp, exp2; range or depth; the fog
//   factor from the specular alpha when neither mode is set), eight stages with every D3DTOP_,
//   arguments 0-2, D3DTA_TEMP as result, alpha test, the specular colour after the stages.
// Not covered: vertex blending, point sprites, bump-map matrices (BUMPENVMAP is kept in the key;
//   the fragment shader passes the current colour on and the next stage's coordinates as given).
#pragma once
#include <cstdint>
#include <cstring>

#include "d3d9/d3d9_internal.h"
#include "d3d9/lighting_shader.h"

namespace kvrd3d {

// How the vertex shader makes the fog value it hands on.
enum VertexFog : uint8_t {
  kVertexFogNone = 0,
  kVertexFogTableDepth,  // table fog: the depth the fragment shader turns into a factor
  kVertexFogExp,         // vertex fog: the factor, per vertex
  kVertexFogExp2,
  kVertexFogLinear,
  kVertexFogSpecularAlpha,  // the factor is the vertex's specular alpha
};

// How the fragment shader fogs.
enum FragmentFog : uint8_t {
  kFragmentFogNone = 0,
  kFragmentFogFactor,  // the interpolated value is the factor
  kFragmentFogExp,     // the interpolated value is a depth: the table's function per pixel
  kFragmentFogExp2,
  kFragmentFogLinear,
};

struct VertexKey {
  uint8_t pretransformed;
  uint8_t fog;          // VertexFog
  uint8_t fogRange;     // vertex fog from the distance to the eye, not its depth
  uint8_t orthoFog;     // table fog under a projection without perspective: the depth is z
  uint8_t passSpecular; // the fragment shader reads vSpecular
  uint8_t coordCount;   // stages whose coordinates are handed on (the fragment key's stageCount)
  uint8_t pad[2];
  struct Coord {
    uint8_t set;        // the vertex format's set, 0xFF for none (reads (0, 0, 0, 1))
    uint8_t setFloats;  // its floats, 1-4
    uint8_t generate;   // D3DTSS_TCI_* >> 16: 0 the set, 1 normal, 2 position, 3 reflection, 4 sphere
    uint8_t transform;  // D3DTTFF_COUNT1-4, 0 when the texture matrix is not applied
    uint8_t projected;  // D3DTTFF_PROJECTED with a transform: divided by the last component
  } coords[kDrawnStages];
  LightingKey lighting;  // all zero for unlit vertices
};

struct FragmentKey {
  uint8_t alphaFunc;   // D3DCMP_*, 0 when the alpha test is off
  uint8_t stageCount;  // stages before the first disabled colour op
  uint8_t fog;         // FragmentFog
  uint8_t addSpecular; // D3DRS_SPECULARENABLE with a specular colour: added after the stages
  struct Stage {
    uint8_t colorOp, colorArg0, colorArg1, colorArg2;
    uint8_t alphaOp, alphaArg0, alphaArg1, alphaArg2;
    uint8_t resultTemp;  // D3DTSS_RESULTARG is D3DTA_TEMP
    uint8_t projected;   // the coordinates come divided by their last component
    uint8_t sampled;     // the stage reads its texture
    uint8_t pad;
  } stages[kDrawnStages];
};

struct ShaderKey {
  VertexKey vertex;
  FragmentKey fragment;
  bool operator==(const ShaderKey& o) const { return std::memcmp(this, &o, sizeof(*this)) == 0; }
};

template <class Key>
struct KeyLess {
  bool operator()(const Key& a, const Key& b) const { return std::memcmp(&a, &b, sizeof(Key)) < 0; }
};

// Fills the fragment key, then the vertex key that feeds it, for vertices laid out as `layout`.
// `drawn` receives the lights a lit draw uses, in enabling order.
void FillFragmentKey(const StateValues& state, const FvfLayout& layout, FragmentKey* key);
void FillVertexKey(const StateValues& state, const FvfLayout& layout, const FragmentKey& fragment,
                   VertexKey* key, const D3DLIGHT9* drawn[kMaxActiveLights]);

// The stage reads the specular colour, or the key adds it after the stages.
bool ReadsSpecular(const FragmentKey& key);

}  // namespace kvrd3d
