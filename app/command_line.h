// The command line: the viewer on a folder, and the headless commands --check, --render, --sheet.
#pragma once
#include <string>
#include <vector>

#include "app/command_options.h"

// Splits a command line (WinMain's lpCmdLine: what follows the program's name) into arguments as
// Windows programs do: spaces and tabs separate them; double quotes group, so a quoted argument
// may hold spaces; inside quotes "" is one quote; 2n backslashes before a quote are n backslashes
// and the quote groups, 2n+1 are n backslashes and a literal quote; other backslashes are kept.
std::vector<std::string> SplitCommandLine(const char* line);

// The options, checked: kUsageError with the problem when they do not go together.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text of --help: every option, every key and mouse action, ending with a newline.
const char* UsageText();
// "kvrview <version>\n".
std::string VersionText();

// What WinMain does with its command line before anything else: prints help, version or a usage
// error, changes into the data set's folder, and runs a headless command there. Returns -1 when
// the viewer should start, else the exit code (0 after --help and --version, 2 after a mistake,
// the command's own code after a headless command).
// parsed, when given, receives what the command line asks for (--frames is the viewer's own run).
int HandleCommandLine(const char* line, CommandLine* parsed = nullptr);
