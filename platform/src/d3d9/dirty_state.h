// What each piece of the device's state changes when it is set: dirty bits, one per group of GL
// state or part of the shader key, set by the Set* calls and cleared by the draw that applies them.
// Implemented: a table from every render state, texture-stage state and sampler state to the
//   groups it dirties; the groups the other Set* calls dirty are named where they are set.
// Not covered: the state of resources (a texture's or a vertex buffer's contents keep their own
//   dirty marks in d3d9_internal.h).
#pragma once
#include <d3d9.h>

#include <cstdint>

namespace kvrd3d {

using DirtyBits = uint64_t;

enum Dirty : DirtyBits {
  kDirtyVertexKey = 1ull << 0,      // the vertex shader's part of the key
  kDirtyFragmentKey = 1ull << 1,    // the fragment shader's part of the key
  kDirtyBlend = 1ull << 2,          // blend enable, factors, operations, blend colour
  kDirtyDepth = 1ull << 3,          // depth test, function, writes
  kDirtyRaster = 1ull << 4,         // culling, fill mode, colour write mask, depth clamp
  kDirtyViewport = 1ull << 5,       // viewport and the screen uniform
  kDirtyTransforms = 1ull << 6,     // world, view, projection, texture matrices
  kDirtyLighting = 1ull << 7,       // material, lights, ambient: lighting uniforms
  kDirtyFragmentUniforms = 1ull << 8,  // texture factor, alpha reference, fog colour and range
  kDirtyVertexInput = 1ull << 9,    // FVF, stream 0
  kDirtyStencil = 1ull << 10,       // stencil test, functions, masks, operations, both sides
  kDirtySampler0 = 1ull << 16,      // sampler i's filters, address modes, bias: bit 16 + i
  kDirtyTexture0 = 1ull << 32,      // the texture on stage i: bit 32 + i
  kDirtyAll = ~0ull,
};

constexpr DirtyBits DirtySampler(unsigned stage) { return kDirtySampler0 << stage; }
constexpr DirtyBits DirtyTexture(unsigned stage) { return kDirtyTexture0 << stage; }

// What setting each state dirties (nothing for states that no draw reads).
DirtyBits DirtyForRenderState(DWORD state);
DirtyBits DirtyForStageState(DWORD stage, DWORD type);
DirtyBits DirtyForSamplerState(DWORD sampler, DWORD type);

}  // namespace kvrd3d
