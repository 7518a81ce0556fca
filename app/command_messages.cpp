// Lines on standard error that the commands share.
#include "app/command_messages.h"

#include <cstdio>

#include "base/printable_text.h"

void SayNoSuchCategory(const std::string& name) {
  std::fprintf(stderr,
               "kvrview: no category %s (bodies, features, miscellaneous, research, effects, propulsions, "
               "structures, weapons)\n",
               PrintableText(name).c_str());
}
