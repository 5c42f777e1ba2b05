#pragma once
// Conversions between UTF-8, the text of files and the command line, and
// UTF-16, the wide strings of the engine and the platform.

#include <cstddef>
#include <string>
#include <string_view>

// Appends n UTF-16 units as UTF-8; false at an unpaired surrogate (what came
// before it is appended).
bool Utf8FromUtf16(const char16_t* s, size_t n, std::string* out);

// Appends UTF-8 as UTF-16; false when it is not well-formed: a bad or
// overlong sequence, a surrogate, or a code point above U+10FFFF.
bool Utf16FromUtf8(std::string_view in, std::u16string* out);
