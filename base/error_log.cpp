// The error log: one open, write and close for every line.
#include "base/error_log.h"

#include <fstream>

namespace {

const char kLogName[] = "KVRerrors.log";

// One stream for the whole run, never held open between calls. Its error state is cleared before
// each open, so a log that could not be opened once (a full disk, a moment without permission)
// loses only that line, not every line after it.
std::ofstream& Stream() {
  static std::ofstream stream;
  return stream;
}

template <typename WritePieces>
void WriteLine(std::ios::openmode mode, WritePieces write) {
  std::ofstream& out = Stream();
  out.clear();
  out.open(kLogName, mode);
  if (out.is_open()) {
    write(out);
    out.close();
  }
  out.clear();
}

}  // namespace

namespace ErrorLog {

void Start() {
  WriteLine(std::ios::out | std::ios::trunc, [](std::ofstream& out) { out << "KVRerrors.log started \n"; });
}

void Write(const char* text) {
  WriteLine(std::ios::out | std::ios::app, [text](std::ofstream& out) { out << (text ? text : "") << "\n"; });
}

void WriteValue(const char* text, int32_t value) {
  WriteLine(std::ios::out | std::ios::app,
            [text, value](std::ofstream& out) { out << (text ? text : "") << " " << value << "\n"; });
}

}  // namespace ErrorLog
