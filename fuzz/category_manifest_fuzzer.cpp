// A category manifest's bytes through LoadCategoryEntries: the first byte picks one of the eight
// categories (and so the plain or the flag-aware list), the rest is the manifest, parsed in memory. Its names are looked up in a small
// data set laid out like the sample one, where a few names exist (two of them damaged). No device:
// the models' geometry is built, their buffers and pages fail to be created, as the loaders allow.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzzsupport::MakeScratchDir(argc, argv);
  fuzzsupport::ScratchScope scratch;
  fuzzsupport::WriteMiniDataSet();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  fuzzsupport::ScratchScope scratch;
  const size_t count = sizeof(fuzzsupport::kCategoryDirs) / sizeof(fuzzsupport::kCategoryDirs[0]);
  const fuzzsupport::CategoryDir& category = fuzzsupport::kCategoryDirs[data[0] % count];
  ErrorLog::Start();

  const char* begin = reinterpret_cast<const char*>(data + 1);
  LoadCategoryEntries(category.directory, begin, begin + (size - 1),
                      static_cast<ModelCategory>(data[0] % count));

  fuzzsupport::CheckStoresMatchCatalogue();
  ResetProgramTables();
  return 0;
}
