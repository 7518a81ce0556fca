// A whole small data set written from the input into a scratch folder, then loaded by the load
// sequence as the viewer loads one from disk: the start-up manifest, two category manifests, two
// models, a page, the animation manifest and an animation. The input is those eight files one
// after another, separated by NUL bytes (a missing part leaves its file absent); names in them
// may reach each other, or point anywhere, which the loaders must refuse. Afterwards the stores
// must hold exactly what the catalogue promises and the scratch folder only what was written.
#include <filesystem>

#include "data/load_sequence.h"
#include "fuzz_support.h"

namespace {

// The files of the data set, in the order the input gives them.
const char* const kFiles[] = {
    "duskfen/KVRStartUp.gam", "set/Structures.gam", "set/Features.gam", "set/one.pie",
    "set/two.pie",            "duskfen/texpages/page.dds", "anims/Animations.gam", "anims/one.ani",
};
constexpr size_t kFileCount = sizeof(kFiles) / sizeof(kFiles[0]);

// Every file in the scratch folder is one the input wrote, or the log.
void CheckNothingElseWritten() {
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(".", ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string path = it->path().lexically_normal().generic_string();
    bool known = path == "KVRerrors.log";
    for (const char* file : kFiles) known = known || path == file;
    if (!known) fuzzsupport::Broken(("a file the data set did not write: " + path).c_str());
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzzsupport::MakeScratchDir(argc, argv);
  fuzzsupport::CreateHeadlessDevice();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::ScratchScope scratch;
  const uint8_t* at = data;
  const uint8_t* end = data + size;
  for (size_t file = 0; file < kFileCount; ++file) {
    std::error_code ignored;
    if (at > end) {
      std::filesystem::remove(kFiles[file], ignored);
      continue;
    }
    const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(at, 0, static_cast<size_t>(end - at)));
    const uint8_t* stop = nul ? nul : end;
    fuzzsupport::WriteFile(kFiles[file], at, static_cast<size_t>(stop - at));
    at = stop + 1;
  }
  ErrorLog::Start();
  ReadStartUpManifest(nullptr);

  fuzzsupport::CheckStoresMatchCatalogue();
  size_t levels = 0;
  for (const PieModel& m : ModelCatalogue) levels += static_cast<size_t>(m.levelCount);
  if (LevelBufferTable.size() != levels) fuzzsupport::Broken("a level without its buffer entry");
  for (int step = 0; step < 3; ++step) AdvanceTextureAnimations();
  CheckNothingElseWritten();
  ResetProgramTables();
  return 0;
}
