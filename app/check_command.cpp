// kvrview --check.
#include "app/check_command.h"

#include <cstdio>

#include "app/command_line.h"

int RunCheck(const CommandLine&) {
  std::fputs("kvrview: --check is not built yet\n", stderr);
  return 2;
}
