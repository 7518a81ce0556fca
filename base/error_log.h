// The error log "KVRerrors.log": the program's only written output besides the screen.
// Every call opens the file, writes one line and closes it, so each line survives a crash. The log
// is only ever a regular file of that name: a link, a pipe, a device or a folder in its place is
// never written through, and standard error says so once.
#pragma once
#include <cstdint>
#include <string>

namespace ErrorLog {
// Empties the log and writes its start line.
void Start();
// Appends text and a newline. Control characters, C1 ones included, are written as \xNN byte by
// byte (printable_text.h), so no text (a word of a data set, say) can start a line of its own or
// hide earlier lines in a terminal.
void Write(const char* text);
// The same for text that may hold NUL bytes (a word of a data set), which are escaped too.
void Write(const std::string& text);
// Appends text, a blank, the value in decimal and a newline.
void WriteValue(const char* text, int32_t value);
// From now on every line (escaped, without its newline) goes to sink instead of the file, which
// is then never opened; null sends them to the file again. The headless commands write no log.
void Divert(void (*sink)(const std::string& line));
// The folder the log is written into from now on; empty (the default) for the working folder.
void SetFolder(const std::string& folder);
}  // namespace ErrorLog
