// PIE model files: the model record, the three integer stores and the word-by-word parser.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PieModel {
  std::string name;              // bare model name (the manifest word, without ".pie")
  int32_t texturePage = -1;      // in the TexturePageTable
  int32_t levelCount = 0;
  int32_t pointStart = 0;        // first point block in PointStore
  int32_t polygonStart = 0;      // first polygon block in PolygonStore
  int32_t connectorStart = 0;    // first connector block in ConnectorStore, -1: a level had none
  int32_t animation = -1;        // in the AnimationTable, -1: none
  uint8_t animated = 0;          // some polygon carries a texture-animation strip
  int32_t frameCount = 1;        // texture-animation frames
  int32_t frame = 0;             // current texture-animation frame
  uint8_t teamColors = 0;        // TeamColorsFlag when the model was parsed
  int32_t category = 0;          // ModelCategory
};

// Process-wide integer stores; a model's blocks are consecutive, one per level.
extern std::vector<int32_t> PointStore;
extern std::vector<int32_t> PolygonStore;
extern std::vector<int32_t> ConnectorStore;

int32_t LevelCountOf(int32_t model);
int32_t TexturePageOf(int32_t model);
int32_t AnimationOf(int32_t model);
