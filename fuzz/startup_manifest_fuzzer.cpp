// The start-up manifest's bytes, parsed in memory, through the load sequence over a small data set
// laid out like the sample one (every category directory with its manifest and small models, two
// animations). No device: buffers and pages fail to be created, as the loaders allow; the
// catalogue, the stores and the animations are filled for real.
#include "data/load_sequence.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzzsupport::MakeScratchDir(argc, argv);
  fuzzsupport::ScratchScope scratch;
  fuzzsupport::WriteMiniDataSet();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::ScratchScope scratch;
  const char* begin = reinterpret_cast<const char*>(data);
  ErrorLog::Start();
  LoadStartUpPairs(ParseStartUpManifest(begin, begin + size), nullptr);

  fuzzsupport::CheckStoresMatchCatalogue();
  for (size_t a = 0; a < Animations.size(); ++a) {
    AnimationFrame frame;
    GetAnimationFrame(static_cast<int32_t>(a), 0, frame);
  }
  if (Animations.size() != AnimationCounters.size())
    fuzzsupport::Broken("an animation record without its counter");
  ResetProgramTables();
  return 0;
}
