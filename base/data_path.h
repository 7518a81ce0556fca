// Paths from data files: refused before any file call when they would leave the data set.
#pragma once
#include <string_view>
#include <vector>

// Why a path written in a data file must not be opened, or null when it may be: it holds a NUL
// byte, it is absolute ("/x", "\x", a drive "C:" or anything else with a colon, "\\host\share",
// "\\?\"), or its ".." components climb above the data set's folder. '\' and '/' both separate.
const char* DataPathRefusal(std::string_view path);

// The components of a data path ('\' and '/' alike) with "." and empty ones left out and each ".."
// taking away the one before it; false when a ".." finds none left (the path climbs out).
bool DataPathParts(std::string_view path, std::vector<std::string_view>& parts);

// True when the path may be opened; otherwise one log line names it and says why.
bool DataPathAllowed(std::string_view path);
