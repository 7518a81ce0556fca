// The PIE writer: the header, one level of points and three-cornered polygons of flag 200.
#include "model/pie_writer.h"

std::string WritePie(const PieDocument& document) {
  // ParsePie reads "name.pcx" as "name.dds": the last four characters give way.
  std::string page = document.pageName;
  if (page.size() > 4 && page.compare(page.size() - 4, 4, ".dds") == 0) page.resize(page.size() - 4);
  std::string out = "PIE 2\nTYPE 200\nTEXTURE 0 " + page + ".pcx 256 256\nLEVELS 1\nLEVEL 1\n";
  out += "POINTS " + std::to_string(document.points.size()) + "\n";
  for (const auto& p : document.points)
    out += "\t" + std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]) + "\n";
  out += "POLYGONS " + std::to_string(document.triangles.size()) + "\n";
  for (const PieTriangle& t : document.triangles) {
    out += "\t200 3";
    for (int32_t n : t.points) out += " " + std::to_string(n);
    for (int32_t n : t.texels) out += " " + std::to_string(n);
    out += "\n";
  }
  return out;
}
