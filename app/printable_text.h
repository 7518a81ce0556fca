// Lines on standard error that repeat text from the command line or a data set, made safe to print
// as one line on a terminal.
#pragma once
#include <string>

// Control bytes and DEL written as \xNN, so no name can move the cursor or start a line of its own.
std::string Printable(const std::string& text);
// "kvrview: no category NAME (bodies, features, ...)" on standard error, for a --category that
// names none.
void SayNoSuchCategory(const std::string& name);
