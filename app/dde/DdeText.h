// Text as it crosses the DDE server: executed and poked text split into lines, item values as
// served, and the letter-case rule of names and command words. Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelmora::dde {

// The lines of a DDE text. The text ends at its first NUL (data without one ends at its size);
// a line ends at CR, at LF or at a CR LF pair (one break), the break not being part of the line.
// A text ending with a break gives no empty last line; an empty text gives no line.
std::vector<std::string> SplitLines(std::string_view text);

// The first line of a DDE text alone (the macro handler looks at nothing else), or nothing when
// the text has no line. Cheaper than SplitLines on a long execute.
bool FirstLine(std::string_view text, std::string* line);

// The bytes served for an item: each line followed by CR LF, then one NUL that is part of the
// data. No line gives the single NUL byte; the line abc gives a b c CR LF NUL (6 bytes).
std::string EncodeItemValue(const std::vector<std::string>& lines);

// True when a and b are equal with the letters a-z and A-Z compared without regard to case and
// every other byte exactly. No locale: no code-page letter ever folds onto a command word.
bool EqualsAsciiNoCase(std::string_view a, std::string_view b);

}  // namespace pelmora::dde
