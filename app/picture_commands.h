// kvrview --render and --sheet: models drawn without a window into PNG files.
#pragma once

struct CommandLine;

// One model, framed to its bounds, into command.output. Returns the exit code: 0 when written,
// 1 for a name the catalogue does not hold or a picture that could not be written, 2 when the
// folder holds no start-up manifest.
int RunRender(const CommandLine& command);
// Every model (or one category's) in catalogue order, a cell each with its name under it.
int RunSheet(const CommandLine& command);
