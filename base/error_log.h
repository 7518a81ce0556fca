// The error log "KVRerrors.log": the program's only written output besides the screen.
// Every call opens the file, writes one line and closes it, so each line survives a crash.
#pragma once
#include <cstdint>

namespace ErrorLog {
// Empties the log and writes its start line.
void Start();
// Appends text and a newline.
void Write(const char* text);
// Appends text, a blank, the value in decimal and a newline.
void WriteValue(const char* text, int32_t value);
}  // namespace ErrorLog
