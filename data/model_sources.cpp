// Where each model of the catalogue was read from.
#include "data/model_sources.h"

std::vector<std::string> ModelSourcePaths;

const std::string& ModelSourcePath(int32_t model) {
  static const std::string none;
  if (model < 0 || static_cast<size_t>(model) >= ModelSourcePaths.size()) return none;
  return ModelSourcePaths[model];
}

void ClearModelSources() { std::vector<std::string>().swap(ModelSourcePaths); }
