// wchar_t text of the W functions to and from the UTF-8 the rest of the layer works in.
#pragma once
#include <string>

// UTF-8 of a terminated wchar_t string (UTF-32 here, UTF-16 surrogate pairs are joined too);
// code points that are not characters become U+FFFD. Null gives an empty string.
std::string KvrUtf8FromWide(const wchar_t* text);

// wchar_t text of UTF-8 bytes; bytes that are not well-formed UTF-8 become U+FFFD each.
std::wstring KvrWideFromUtf8(const std::string& text);
