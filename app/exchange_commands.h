// kvrview --export, --export-all and --import: models out to glTF and in from other tools.
#pragma once

struct CommandLine;

// One model as a .glb or .gltf file. 0 when written; 1 for a name the catalogue does not hold
// or a file that could not be written; 2 when the folder holds no start-up manifest.
int RunExport(const CommandLine& command);
// Every model (or one category's) as DIR/NAME.glb; the same codes, 1 when any one failed.
int RunExportAll(const CommandLine& command);
// A file of another tool as a PIE model and its page: 0 when written, 1 when refused (nothing
// written), 2 when --into names no data set.
int RunImport(const CommandLine& command);
