// Where each model of the catalogue was read from, so that it can be read again and named.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The path each catalogue entry was loaded from, as the loader opened it (relative to the data
// set's folder, with '\' separators); shares its indices with ModelCatalogue.
extern std::vector<std::string> ModelSourcePaths;

// The path model was loaded from; empty for a number outside the catalogue.
const std::string& ModelSourcePath(int32_t model);
// Empties the list and gives its memory back.
void ClearModelSources();
