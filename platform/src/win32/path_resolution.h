// Windows file names on a case-sensitive POSIX file system.
#pragma once
#include <string>

// Turns a Windows path into one this system can open: '\' and '/' both separate components,
// and each component that does not exist with its exact letter case is replaced by a directory
// entry that differs from it only in case (ASCII letters). Components that match nothing are kept
// as given, so opening the result fails as it would on Windows. Relative paths stay relative to
// the working directory. Every file the layer opens by a program-supplied name goes through here.
std::string KvrResolveWindowsPath(const char* path);
