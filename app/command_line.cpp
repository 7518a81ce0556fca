// The command line: splitting lpCmdLine, the options, and changing into the data set's folder.
#include "app/command_line.h"

#include <windows.h>

#include <cstdio>

#include "app/controls.h"

#ifndef KVR_VERSION
#define KVR_VERSION "unknown"
#endif

namespace {

const char kUsageHead[] =
    "Usage: kvrview [FOLDER]\n"
    "       kvrview --help | --version\n"
    "\n"
    "Shows the models of the data set in FOLDER (the current folder when none is given).\n"
    "The log, KVRerrors.log, is written in that folder.\n"
    "\n"
    "Options:\n"
    "  --help       print this text and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "Keys and mouse:\n";

std::string MakeUsage() {
  std::string usage = kUsageHead;
  for (size_t i = 0; i < kControlCount; ++i) {
    std::string input = kControls[i].input;
    input.resize(input.size() < 26 ? 26 : input.size() + 1, ' ');
    usage += "  " + input + kControls[i].action + "\n";
  }
  return usage;
}

bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(const char* line) {
  std::vector<std::string> arguments;
  if (!line) return arguments;
  const char* p = line;
  for (;;) {
    while (IsSeparator(*p)) ++p;
    if (!*p) break;
    std::string argument;
    bool quoted = false;
    while (*p && (quoted || !IsSeparator(*p))) {
      if (*p == '\\') {
        size_t backslashes = 0;
        while (*p == '\\') ++backslashes, ++p;
        if (*p == '"') {
          argument.append(backslashes / 2, '\\');
          if (backslashes % 2) {
            argument += '"';
            ++p;
          }
        } else {
          argument.append(backslashes, '\\');
        }
      } else if (*p == '"') {
        if (quoted && p[1] == '"') {
          argument += '"';
          p += 2;
        } else {
          quoted = !quoted;
          ++p;
        }
      } else {
        argument += *p++;
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine result;
  for (const std::string& argument : arguments) {
    if (argument == "--help") {
      result.action = CommandLine::Action::kHelp;
      return result;
    }
    if (argument == "--version") {
      result.action = CommandLine::Action::kVersion;
      return result;
    }
  }
  for (const std::string& argument : arguments) {
    if (argument.size() > 1 && argument[0] == '-') {
      result.action = CommandLine::Action::kUsageError;
      result.problem = "unknown option: " + argument;
      return result;
    }
  }
  if (arguments.size() > 1) {
    result.action = CommandLine::Action::kUsageError;
    result.problem = "one folder at most";
    return result;
  }
  if (!arguments.empty()) {
    if (arguments[0].empty()) {
      result.action = CommandLine::Action::kUsageError;
      result.problem = "the folder's name is empty";
      return result;
    }
    result.folder = arguments[0];
  }
  return result;
}

const char* UsageText() {
  static const std::string usage = MakeUsage();
  return usage.c_str();
}

std::string VersionText() { return std::string("kvrview ") + KVR_VERSION + "\n"; }

int HandleCommandLine(const char* line) {
  const CommandLine command = ParseCommandLine(SplitCommandLine(line));
  switch (command.action) {
    case CommandLine::Action::kHelp:
      std::fputs(UsageText(), stdout);
      std::fflush(stdout);
      return 0;
    case CommandLine::Action::kVersion:
      std::fputs(VersionText().c_str(), stdout);
      std::fflush(stdout);
      return 0;
    case CommandLine::Action::kUsageError:
      std::fprintf(stderr, "kvrview: %s\n%s", command.problem.c_str(), UsageText());
      return 2;
    case CommandLine::Action::kRun: break;
  }
  if (command.folder.empty()) return -1;
  const char* folder = command.folder.c_str();
  const DWORD attributes = GetFileAttributesA(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    std::fprintf(stderr, "kvrview: no such folder: %s\n", folder);
    return 2;
  }
  // A symbolic link to a folder is a folder to change into; anything else that is not one is not.
  if (!SetCurrentDirectoryA(folder)) {
    std::fprintf(stderr, "kvrview: not a folder: %s\n", folder);
    return 2;
  }
  return -1;
}
