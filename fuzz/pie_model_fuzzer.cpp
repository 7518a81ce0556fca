// A PIE file through LoadModel into the catalogue and the stores, and BuildModelGeometry into
// level buffers on a headless device. The file is loaded twice, plain and team-coloured, so the
// second copy's blocks follow the first's; then the texture animation is stepped, which rebuilds
// the texture coordinates of animated levels. Afterwards the stores must hold exactly what the
// catalogue's counts promise, and every level of every model must have its buffer entry.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzzsupport::MakeScratchDir(argc, argv);
  fuzzsupport::ScratchScope scratch;
  fuzzsupport::WriteTinyPages();
  fuzzsupport::CreateHeadlessDevice();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::ScratchScope scratch;
  fuzzsupport::WriteFile("models/input.pie", data, size);
  ErrorLog::Start();

  SetTeamColorsFlag(false);
  LoadModel("MODELS\\", "input.pie", CategoryFeatures);
  SetTeamColorsFlag(true);
  TeamNumber = 3;
  LoadModel("models\\", "input.pie", CategoryBodies);

  fuzzsupport::CheckStoresMatchCatalogue();
  size_t levels = 0;
  for (const PieModel& m : ModelCatalogue) levels += static_cast<size_t>(m.levelCount);
  if (LevelBufferTable.size() != levels) fuzzsupport::Broken("a level without its buffer entry");

  for (int step = 0; step < 3; ++step) AdvanceTextureAnimations();

  ResetProgramTables();
  return 0;
}
