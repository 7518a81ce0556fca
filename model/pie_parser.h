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

class TokenReader;

// PolygonKind codes, stored in PolygonStore in place of the file's flag word.
int32_t PolygonKindOf(const std::string& flagWord);  // 0 for a word not in the table
bool IsAnimatedKind(int32_t kind);                   // carries a texture-animation strip
bool IsTwoSidedKind(int32_t kind);

// How reading one model's file went. Anything but Ok leaves counts in the stores that promise
// more than was read, so the caller must roll the stores back to the model's start.
enum class PieResult { Ok, EndedEarly, BadCount };

// The PIE input: the words of the one model file being loaded (null: none, every read fails).
void SetPieInput(TokenReader* input);
// The next word of the PIE input; false at its end.
bool ReadToken(std::string& word);
// Reads from after "PIE" to the level count into the record (name and category already set).
PieResult ParsePieHeader(PieModel& model);
// Reads the levels into the stores, updating the last record of the ModelCatalogue.
PieResult ParsePieLevels(int32_t levelCount);
