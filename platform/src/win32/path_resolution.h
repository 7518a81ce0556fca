// Windows file names on a case-sensitive POSIX file system.
#pragma once
#include <cstddef>
#include <string>

// Turns a Windows path into one this system can open: '\' and '/' both separate components,
// and each component that does not exist with its exact letter case is replaced by a directory
// entry that differs from it only in case (ASCII letters). Components that match nothing are kept
// as given, so opening the result fails as it would on Windows. Relative paths stay relative to
// the working directory. Every file the layer opens by a program-supplied name goes through here.
// A name that starts with "\\?\" is the rest, byte for byte (see KvrIsExactName).
std::string KvrResolveWindowsPath(const char* path);

// True for a name that starts with "\\?\": Windows's mark for a name handed to the file system
// without parsing. Here it means this system's own name as it is: no '\' turned into '/', no
// letter case matched, the way a name typed on this system's command line is meant.
bool KvrIsExactName(const char* path);

// The same for a name already written with '/' whose exact spelling was just found missing (an
// open of it failed), which saves looking that spelling up again.
std::string KvrResolveMissingPath(std::string unixPath);

// Folder listings are read once and kept while the folder stays as it was. One read within this
// many milliseconds of the folder's last change (more on disks with time stamps in whole seconds)
// is read again on its next use: a change in the same instant might not show in its times.
constexpr int kKvrFolderSettleMilliseconds = 50;

// How many names, in all, and how many folders the cache of listings keeps before it is emptied;
// 0 restores the layer's own limits. For the test seams.
void KvrSetFolderCacheLimits(size_t names, size_t folders);
