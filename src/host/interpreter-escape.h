#pragma once
// Escaping of a command for cmd.exe. cmd.exe takes & | < > ^ ( ) ! " and % as
// operators, quotes, escapes or variable marks; a caret before each makes it
// hand the character on to the program as it stands, and removes the caret.
// Text without these characters is left byte for byte as it is, blanks
// included: they still separate words, which is what the program expects.

#include <cstddef>
#include <string_view>

namespace trovel {

// The length of `text` once escaped.
std::size_t escapedLength(std::string_view text);

// Writes `text`, escaped, to `out` and returns the end of what it wrote
// (escapedLength(text) bytes; no terminator).
char* copyEscaped(std::string_view text, char* out);

}  // namespace trovel
