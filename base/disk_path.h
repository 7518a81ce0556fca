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

// A name made absolute from the working folder (GetFullPathNameA); empty when the name is empty or
// the working folder cannot be read.
std::string FullPath(const std::string& name);

// A name the user wrote (on the command line) or kvrview makes up (its pictures), for the file
// calls to take exactly as written: made absolute from the working folder (GetFullPathNameA) and
// marked "\\?\", so it is neither matched in another letter case nor, where '\' is an ordinary
// character, split at one. A share "\\host\x" is marked "\\?\UNC\host\x"; a name marked already
// stays as it is. Empty when the working folder cannot be read.
std::string ExactPath(const std::string& name);

// The final path of an open file or folder (GetFinalPathNameByHandleA); empty when it has none.
std::string FinalPathOf(void* handle);

// A folder as a final path, asked of the open folder; empty when it cannot be opened.
std::string FolderOnDisk(const std::string& folder);

// The data set's folder (the working folder) as a final path, asked of the open folder: the form
// FinalPathOf gives its files. Empty when it cannot be opened.
std::string DataSetFolderOnDisk();

// The path of finalPath below folder (both final paths), or false when it does not lie inside
// the folder. Names compare whatever their letter case, '\' and '/' alike.
bool PathBelowFolder(const std::string& finalPath, const std::string& folder, std::string& below);
