// A PIE file's bytes through the parser, then its result through the load step into the catalogue
// and the stores and BuildModelGeometry into level buffers on a headless device. The model is
// committed twice, plain and team-coloured, so the second copy's blocks follow the first's; then the
// texture animation is stepped, which rewrites the texture coordinates of animated levels.
// Afterwards the stores must hold exactly what the catalogue's counts promise, and every level of
// every model must have its buffer entry. Nothing is written to or read from a file per input but
// the log and the one small page.
#include "fuzz_support.h"

namespace {

// The parser's own promises: it touches no table, and a parse that succeeded hands back one point
// block per level, each holding exactly the 3P numbers its count P promises.
void CheckParse(PieResult result, const PieParse& parsed) {
  if (!ModelCatalogue.empty() || !PointStore.empty() || !TexturePageTable.empty())
    fuzzsupport::Broken("the parser touched a table");
  if (result != PieResult::Ok) return;
  if (!parsed.headerWhole) fuzzsupport::Broken("a whole model without a whole header");
  size_t at = 0;
  for (int32_t level = 0; level < parsed.model.levelCount; ++level) {
    if (at >= parsed.points.size() || parsed.points[at] < 0) fuzzsupport::Broken("a level without its point block");
    at += 1 + 3 * static_cast<size_t>(parsed.points[at]);
  }
  if (at != parsed.points.size()) fuzzsupport::Broken("point blocks that do not add up");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzzsupport::MakeScratchDir(argc, argv);
  fuzzsupport::ScratchScope scratch;
  fuzzsupport::WriteTinyPages();
  fuzzsupport::CreateHeadlessDevice();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::ScratchScope scratch;
  const char* begin = reinterpret_cast<const char*>(data);
  const char* end = begin + size;
  PieParse parsed;
  const PieResult result = ParsePie(begin, end, parsed);
  CheckParse(result, parsed);

  ErrorLog::Start();
  SetTeamColorsFlag(false);
  CommitParsedModel("MODELS\\input.pie", "input.pie", result, parsed, CategoryFeatures);
  const size_t afterFirst = ModelCatalogue.size();
  SetTeamColorsFlag(true);
  TeamNumber = 3;
  CommitParsedModel("models\\input.pie", "input.pie", result, parsed, CategoryBodies);
  if (ModelCatalogue.size() != 2 * afterFirst) fuzzsupport::Broken("the same bytes loaded once but not twice");

  fuzzsupport::CheckStoresMatchCatalogue();
  size_t levels = 0;
  for (const PieModel& m : ModelCatalogue) levels += static_cast<size_t>(m.levelCount);
  if (LevelBufferTable.size() != levels) fuzzsupport::Broken("a level without its buffer entry");

  for (int step = 0; step < 3; ++step) AdvanceTextureAnimations();

  ResetProgramTables();
  return 0;
}
