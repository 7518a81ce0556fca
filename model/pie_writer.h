// PIE model files written: levels of three-cornered polygons in exactly the form ParsePie reads.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct PieTriangle {
  std::array<int32_t, 3> points;       // numbers into the level's points
  std::array<int32_t, 6> texels;       // u, v of each corner, over a 256-wide page
};

struct PieLevel {
  std::vector<std::array<int32_t, 3>> points;
  std::vector<PieTriangle> triangles;  // one-sided, textured, corners clockwise seen from outside
  std::vector<std::array<int32_t, 3>> connectors;
};

struct PieDocument {
  std::string pageName;                // "page.dds": written as the .pcx name the files use
  std::vector<PieLevel> levels;
};

// The file's text. The page name must be one word (no white space), which the caller checks.
// When a level has connectors every level gets its block (empty where it has none): a reader
// keeps a model's connectors only when each of its levels has one.
std::string WritePie(const PieDocument& document);
