// kvrview --thumbnail FILE -o OUT.png [--size PX]: one model file drawn alone for a file manager.
#pragma once
#include <string>

struct CommandLine;

// Where a model file's data set is: the nearest folder above the file (its own folder first) that
// holds the start-up manifest. Path is absolute; "." and ".." are taken as written, and "/" and
// "\" both separate. root is empty when no folder above holds one; file is the path written
// plainly either way.
struct ThumbnailPlace {
  std::string file;
  std::string folder;  // the file's own folder
  std::string root;
};
// exists tells whether a path (absolute) names a file; the walk asks it nothing else.
ThumbnailPlace FindThumbnailPlace(const std::string& path, bool (*exists)(const std::string& path));

// Draws command.modelFile into command.output, a square of command.width pixels. With a data set
// above the file, its animations and the model's texture page come from there; without one, or
// when the page cannot be read, the model is drawn in shaded grey. Nothing is written but the
// picture, no display is used, and the exit code is 0 when written, 1 otherwise.
int RunThumbnail(const CommandLine& command);
