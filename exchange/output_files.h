// The exchange commands' outputs: each file written whole or not at all (the bytes go into a
// temporary file beside it, which is then renamed over the name, so a reader never meets half a
// file and a failure leaves the old one), and the folders they go into.
#pragma once
#include <string>

// False, with `why` set, when the file could not be written (the temporary file is removed).
bool ReplaceFile(const std::string& path, const std::string& bytes, std::string& why);
// Makes the folder and those above it that are missing; false, with `why`, when it cannot.
bool MakeFolder(const std::string& path, std::string& why);
// Changes the working folder; false when there is no such folder.
bool SetCurrentDirectoryOf(const std::string& path);
