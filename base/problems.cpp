// Problems found while loading, and the hook that follows the load model by model.
#include "base/problems.h"

namespace {
std::vector<Problem>* collector = nullptr;
}  // namespace

void (*ModelLoadProgress)(const char* category, size_t done, size_t listed) = nullptr;

void CollectProblems(std::vector<Problem>* problems) { collector = problems; }

void ReportProblem(std::string_view path, std::string_view message) {
  if (collector) collector->push_back({std::string(path), std::string(message)});
}
