// Where a data-set file lies on disk, written as the disk writes it: names are found whatever
// their letter case, so the spelling in a manifest may differ from the file's own.
#pragma once
#include <string>

// The path of the file that a data-set path opens, as the system reports it for the open file
// (GetFinalPathNameByHandleA), relative to the working folder when it lies inside it; empty when
// the file cannot be opened or has no such path.
std::string PathFoundOnDisk(const char* dataSetPath);

// A final path as GetFinalPathNameByHandleA writes it, made readable: without the "\\?\" (or
// "\\?\UNC\" of a share, which becomes "\\"), and relative to `folder` when it lies inside it.
// Folder names compare whatever their letter case, '\' and '/' alike, as the file system does.
std::string PathRelativeToFolder(const std::string& finalPath, const std::string& folder);

// The final path of an open file or folder (GetFinalPathNameByHandleA); empty when it has none.
std::string FinalPathOf(void* handle);

// The data set's folder (the working folder) as a final path, asked of the open folder: the form
// FinalPathOf gives its files. Empty when it cannot be opened.
std::string DataSetFolderOnDisk();

// The path of finalPath below folder (both final paths), or false when it does not lie inside
// the folder. Names compare whatever their letter case, '\' and '/' alike.
bool PathBelowFolder(const std::string& finalPath, const std::string& folder, std::string& below);
