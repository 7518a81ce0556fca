// PIE model files: the model record, the polygon kinds and the parser, a function of a file's bytes.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
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
  uint8_t teamColors = 0;        // TeamColorsFlag when the model was loaded
  int32_t category = 0;          // ModelCategory
};

// PolygonKind codes, stored in PolygonStore in place of the file's flag word.
int32_t PolygonKindOf(std::string_view flagWord);  // 0 for a word not in the table
bool IsAnimatedKind(int32_t kind);                   // carries a texture-animation strip
bool IsTwoSidedKind(int32_t kind);

// How parsing one model's file went.
enum class PieResult {
  Ok,
  NotPie,      // the first word is not "PIE": not a model at all
  EndedEarly,  // the words ran out before the model was whole
  BadCount,    // a count read as negative
};

// What one PIE file holds, as read from its bytes. The blocks are laid out exactly as they go into
// the stores (one block per level), so the loader appends them whole; the starts in `model` are
// 0, as if the stores had been empty, and connectorStart is -1 when a level had no connectors.
struct PieParse {
  PieModel model;           // levelCount, animated, frameCount and connectorStart from the file
  bool headerWhole = false; // the header was read up to a level count of 0 or more
  std::string pageName;     // the texture page file the model names ("page-3.dds"), once headerWhole
  std::vector<int32_t> points;
  std::vector<int32_t> polygons;
  std::vector<int32_t> connectors;
  // Triangles the levels can make at most: a fan of n - 2 for each polygon of n >= 3 corners,
  // doubled when two-sided (polygons naming points their level lacks make fewer).
  uint64_t triangleBound = 0;
};

// Parses one PIE file held in memory. Touches no file, table or global: what the file refers to
// (its texture page) is handed back as a name for the loader to resolve. Anything but Ok leaves
// blocks that promise more than they hold, so the loader must not commit them.
PieResult ParsePie(const char* begin, const char* end, PieParse& out);
