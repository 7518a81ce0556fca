// kvrview --check: the data set loaded without a window, every problem listed, nothing written.
#pragma once

struct CommandLine;

// Runs the check in the working directory (the data set's folder) and prints its report on
// standard output. Returns the exit code: 0 without problems, 1 with some, 2 when the folder
// holds no start-up manifest or the check could not run.
int RunCheck(const CommandLine& command);
