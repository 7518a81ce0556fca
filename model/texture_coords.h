// The texture-coordinate step: one level's animated polygons moved to their current strip frame.
#pragma once
#include <cstddef>
#include <cstdint>

#include "model/pie_parser.h"

// Rewrites the texture coordinates of the level's animated polygons in its buffer (one lock, only
// when the level has animated polygons) and says how long its blocks are. False when the blocks
// do not lie whole inside the stores.
bool UpdateLevelTexCoords(const PieModel& record, int32_t model, int32_t level, size_t pointBlock,
                          size_t polygonBlock, size_t& pointBlockLength, size_t& polygonBlockLength);
