// kvrview --render and --sheet.
#include "app/picture_commands.h"

#include <cstdio>

#include "app/command_options.h"

int RunRender(const CommandLine&) {
  std::fputs("kvrview: --render is not built yet\n", stderr);
  return 2;
}

int RunSheet(const CommandLine&) {
  std::fputs("kvrview: --sheet is not built yet\n", stderr);
  return 2;
}
