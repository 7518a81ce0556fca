// Model geometry: each level of a model built into triangles and its buffer, and the texture step.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/pie_parser.h"
#include "model/triangle_list.h"

enum class BuildMode { FirstBuild, Update };

struct LevelFaults;  // model/level_walk.h

// First build: every level of the model becomes a LevelBufferTable entry. Update: the levels'
// animated texture coordinates are rewritten in their buffers.
void BuildModelGeometry(int32_t model, BuildMode mode);
// Builds the triangles of one level from the blocks at the given store positions and says how
// long the two blocks are. False when the blocks do not lie whole inside the stores.
bool BuildLevelTriangles(const PieModel& model, size_t pointBlock, size_t polygonBlock,
                         TriangleList& triangles, bool& animated, size_t& pointBlockLength,
                         size_t& polygonBlockLength, LevelFaults* faults = nullptr);
// Builds every level of a model that is already in the table again (after its blocks were
// replaced): its old level entries are released and the new ones take their place, so the
// entries of the other models keep their positions relative to each other.
void RebuildModelGeometry(int32_t model);
// One texture-animation step: every animated model that is not team-coloured shows its next frame.
void AdvanceTextureAnimations();
// Gives back the scratch lists the first builds grew.
void ReleaseGeometryScratch();
