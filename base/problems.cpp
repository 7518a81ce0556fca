// Problems found while loading, and the hook that follows the load model by model.
#include "base/problems.h"

#include "base/ceilings.h"

namespace {
std::vector<Problem>* collector = nullptr;
uint64_t bytesKept = 0;
size_t notKept = 0;
// What a kept problem costs besides its text.
constexpr uint64_t kProblemRecordBytes = sizeof(Problem);
}  // namespace

void (*ModelLoadProgress)(const char* category, size_t done, size_t listed) = nullptr;

void CollectProblems(std::vector<Problem>* problems) {
  collector = problems;
  if (!problems) return;
  bytesKept = 0;
  notKept = 0;
}

void ReportProblem(std::string_view path, std::string_view message) {
  if (!collector) return;
  const uint64_t bytes = kProblemRecordBytes + path.size() + message.size();
  if (!FitsUnderCeiling(bytesKept, bytes, kMaxProblemBytes)) {
    ++notKept;
    return;
  }
  bytesKept += bytes;
  collector->push_back({std::string(path), std::string(message)});
}

size_t ProblemsNotKept() { return notKept; }
