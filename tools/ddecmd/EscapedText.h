// Bytes as one line of text for the DDE tools' output and logs, and back: printable ASCII as
// it is, backslash as \\, CR as \r, LF as \n, tab as \t, NUL as \0, any other byte as \xHH.
// Portable.
#pragma once

#include <string>
#include <string_view>

namespace pelmora::tools {

std::string EscapeBytes(std::string_view bytes);

// The bytes an escaped text stands for; false for a malformed escape (a lone backslash at the
// end, an unknown letter, \x without two hex digits).
bool UnescapeText(std::string_view text, std::string* bytes);

// The text of DDE data as logged: up to the first NUL, escaped, then "\0" when there was one.
std::string EscapeDdeText(std::string_view data);

}  // namespace pelmora::tools
