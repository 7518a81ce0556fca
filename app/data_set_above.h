// A file given on the command line (by a file manager, say) and the data set it belongs to.
#pragma once
#include <string>

// Where a model file's data set is: the nearest folder above the file (its own folder first) that
// holds the start-up manifest. Path is absolute; "." and ".." are taken as written, and "/" and
// "\" both separate. root is empty when no folder above holds one; file is the path written
// plainly either way.
struct DataSetAbove {
  std::string file;
  std::string folder;  // the file's own folder
  std::string root;
};
// exists tells whether a path (absolute) names a file; the walk asks it nothing else.
DataSetAbove FindDataSetAbove(const std::string& path, bool (*exists)(const std::string& path));

// Whether a path names a file (not a folder) on the disk, as CreateFileA would resolve it.
bool IsFileOnDisk(const std::string& path);
// Whether a file's name ends in ".pie", in any letter case.
bool EndsWithPie(const std::string& name);
