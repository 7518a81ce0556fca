// One load's bounds: the files read (by identity), the bytes read, and whether it was given up.
#include "base/load_bounds.h"

#include <unordered_set>

#include "base/ceilings.h"
#include "base/error_log.h"
#include "base/problems.h"

bool (*KeepLoading)() = nullptr;

namespace {

bool loading = false;
bool givenUp = false;
uint32_t loadNumber = 0;
uint64_t bytesRead = 0;
bool bytesCeilingTold = false;
std::unordered_set<FileIdentity, FileIdentityHash> filesRead;

}  // namespace

void BeginLoad() {
  loading = true;
  givenUp = false;
  ++loadNumber;
  bytesRead = 0;
  bytesCeilingTold = false;
  filesRead.clear();
}

void EndLoad() {
  loading = false;
  std::unordered_set<FileIdentity, FileIdentityHash>().swap(filesRead);
}

uint32_t LoadNumber() { return loadNumber; }

bool LoadInProgress() { return loading; }

bool FirstReadInLoad(const FileIdentity& file) { return !loading || filesRead.insert(file).second; }

bool CountBytesRead(uint64_t bytes, const std::string& path) {
  if (!loading) return true;
  if (FitsUnderCeiling(bytesRead, bytes, kMaxLoadReadBytes)) {
    bytesRead += bytes;
    return true;
  }
  if (!bytesCeilingTold) {
    bytesCeilingTold = true;
    ErrorLog::Write("Files read would pass their ceiling of " + CeilingText(kMaxLoadReadBytes) + " in one load, skipped from here on: " + path);
    ReportProblem(path, "files read would pass their ceiling of " + CeilingText(kMaxLoadReadBytes) + " in one load (skipped from here on)");
  }
  return false;
}

bool LoadGoesOn() {
  if (givenUp) return false;
  if (KeepLoading && !KeepLoading()) givenUp = true;
  return !givenUp;
}
