// Text that came from outside (a data set's words, the command line) as it may be shown: in the
// log, on a terminal, in JSON. A name must not be able to move a terminal's cursor, clear its
// screen or start a line of its own.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// The length of the well-formed UTF-8 character at text[i] (1 to 4 bytes: no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 when the byte there starts none.
size_t Utf8CharacterLength(std::string_view text, size_t i);

// True for the control characters: U+0000 to U+001F, U+007F and U+0080 to U+009F (the C1
// controls, among them U+009B, a terminal's CSI), given the character's first byte and length.
bool IsControlCharacter(std::string_view text, size_t i, size_t length);

// The text with every control character written as \xNN, byte by byte (U+009B is \xC2\x9B), and
// every byte 0x80 to 0x9F that is not part of a UTF-8 character too (an 8-bit terminal reads it
// as a C1 control). Everything else is kept as it is.
std::string PrintableText(std::string_view text);
