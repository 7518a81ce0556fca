// Printable text: control bytes escaped.
#include "app/printable_text.h"

#include <cstdio>

std::string Printable(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02X", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

void SayNoSuchCategory(const std::string& name) {
  std::fprintf(stderr,
               "kvrview: no category %s (bodies, features, miscellaneous, research, effects, propulsions, "
               "structures, weapons)\n",
               Printable(name).c_str());
}
