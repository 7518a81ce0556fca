// The importer where assimp is not built (the Windows and browser builds): it says so instead.
#include "exchange/model_import.h"

namespace {
const char kAbsent[] = "this build of kvrview has no import from other tools (the Linux build has)";
}  // namespace

ImportOutcome ImportModel(const ImportRequest& request) {
  ImportOutcome outcome;
  outcome.code = 1;
  outcome.message = request.source + ": " + kAbsent + "; nothing written";
  return outcome;
}

bool ImportFromMemory(const void*, size_t, const char*, const std::string&, double, ImportedModel& out,
                      std::string& why) {
  out = ImportedModel();
  why = kAbsent;
  return false;
}
