// A .glb's bytes through the importer as --import reads them: assimp's reading from memory, the
// flattening and quantising, the page's decoding and compression. Whatever it is given, the
// importer either refuses with a reason or hands back a PIE model that the viewer's own parser
// reads whole, with no more points and polygons than its ceilings allow. It writes no file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/ceilings.h"
#include "exchange/model_import.h"
#include "model/pie_parser.h"

namespace {

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "gltf_import_fuzzer: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ImportedModel model;
  std::string why;
  if (!ImportFromMemory(data, size, "glb", "page", kDefaultExchangeScale, model, why)) {
    if (why.empty()) Broken("a refusal without a reason");
    return 0;
  }
  if (model.points > kMaxImportPoints || model.triangles > kMaxImportPolygons) Broken("a ceiling passed");
  if (model.dds.size() < 128 || model.dds.compare(0, 4, "DDS ") != 0) Broken("a page that is no DDS file");
  PieParse parse;
  if (ParsePie(model.pie.data(), model.pie.data() + model.pie.size(), parse) != PieResult::Ok)
    Broken("a PIE model its own parser does not read");
  if (parse.triangleBound != model.triangles) Broken("the PIE model holds other polygons than counted");
  return 0;
}
