// The facts box (key I): what a modder wants to know about the shown model, at the top right.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/model_drawing.h"

enum class KeyframeKind {
  None,       // the model has no keyframe animation
  Frames,     // ANIM3DFRAMES: one level per frame
  Transform,  // ANIM3DTRANS: every level moved by its object's frame
  Missing,    // the model names an animation number the table does not hold
};

// Everything the box says about one model, gathered from the tables once.
struct ModelFacts {
  int32_t model = -1;  // -1: no model is shown (or the number names none)
  std::string name;
  int32_t levels = 0;
  int64_t points = 0;    // over all levels
  int64_t polygons = 0;  // polygon records over all levels, also those that make no triangle
  bool blocksWhole = true;  // false: a level's blocks run past the stores; the counts stop there
  // trianglesBefore[i]: triangles the level buffers of levels 0..i-1 draw, counted as the frame
  // counts them (a level without a buffer draws none). One entry more than the levels that have
  // a LevelBufferTable entry.
  std::vector<int64_t> trianglesBefore{0};
  std::string pageName;  // empty: no page
  bool pageLoaded = false;
  uint32_t pageWidth = 0, pageHeight = 0;  // texels of the texture's level 0
  bool stripAnimated = false;  // some polygon steps through a texture strip
  int32_t stripFrames = 0;
  int32_t animation = -1;
  KeyframeKind keyframes = KeyframeKind::None;
  int32_t keyframeCount = 0;
  int32_t keyframeRate = 0;  // frames per second
  bool teamColoured = false;
  std::string loadedFrom;  // the data-set path the model was read from, as the manifest spelt it
  std::string onDisk;      // the same file's path as the disk spells it; empty: not found now
};

// Reads the facts of a catalogue model from the tables, and asks the disk for its file's path.
ModelFacts GatherModelFacts(int32_t model);

// Triangles the frame draws for the model's levels in the range (LevelsDrawnNow's).
int64_t TrianglesDrawn(const ModelFacts& facts, LevelRange drawn);

// One line of the box: a label and its value (an empty label: a heading).
struct FactLine {
  std::string label;
  std::string value;
};
// The box's lines for the facts, with the triangles drawn for the given range.
std::vector<FactLine> FactLines(const ModelFacts& facts, LevelRange drawn);

// Where the box goes on a screen of this size: right-aligned below the frame counter, the model
// name and the manifest note (below F1's list when that is shown and there is room).
struct FactsBoxPlace {
  int32_t left, top, right, bottom;
};
FactsBoxPlace PlaceFactsBox(int32_t screenWidth, int32_t screenHeight, int32_t labelWidth,
                            int32_t valueWidth, int32_t lineCount, int32_t rowHeight, bool belowHelp);

// Draws the box for viewerState.displayedModel; the facts are gathered again only when the shown
// model, or the catalogue under it, has changed.
void DrawFactsBox();
