// Explicit Windows-1252 <-> UTF-16 conversion, so that the program's 8-bit texts paint the
// same whatever the system's ANSI code page is. Portable.
#pragma once

#include <string>
#include <string_view>

namespace pelmora::ui {

std::u16string Cp1252ToUtf16(std::string_view text);
// Characters that Windows-1252 cannot hold become '?'.
std::string Utf16ToCp1252(std::u16string_view text);

}  // namespace pelmora::ui
