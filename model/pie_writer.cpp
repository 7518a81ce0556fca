// The PIE writer: the header, then each level's points, its three-cornered polygons of flag 200
// and its connectors.
#include "model/pie_writer.h"

std::string WritePie(const PieDocument& document) {
  // ParsePie reads "name.pcx" as "name.dds": the last four characters give way.
  std::string page = document.pageName;
  if (page.size() > 4 && page.compare(page.size() - 4, 4, ".dds") == 0) page.resize(page.size() - 4);
  std::string out = "PIE 2\nTYPE 200\nTEXTURE 0 " + page + ".pcx 256 256\nLEVELS " +
                    std::to_string(document.levels.size()) + "\n";
  bool connectors = false;
  for (const PieLevel& l : document.levels) connectors = connectors || !l.connectors.empty();
  const auto triple = [&out](const std::array<int32_t, 3>& p) {
    out += "\t" + std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]) + "\n";
  };
  for (size_t level = 0; level < document.levels.size(); ++level) {
    const PieLevel& l = document.levels[level];
    out += "LEVEL " + std::to_string(level + 1) + "\nPOINTS " + std::to_string(l.points.size()) + "\n";
    for (const auto& p : l.points) triple(p);
    out += "POLYGONS " + std::to_string(l.triangles.size()) + "\n";
    for (const PieTriangle& t : l.triangles) {
      out += "\t200 3";
      for (int32_t n : t.points) out += " " + std::to_string(n);
      for (int32_t n : t.texels) out += " " + std::to_string(n);
      out += "\n";
    }
    if (!connectors) continue;
    out += "CONNECTORS " + std::to_string(l.connectors.size()) + "\n";
    for (const auto& c : l.connectors) triple(c);
  }
  return out;
}
