// The directory of the running program: the help file and the TSIP almanac live beside it.
#pragma once

#include <string>

namespace pelmora {

// The path up to, not including, its last backslash; empty text when it holds no backslash.
std::string ExtractDirectory(const std::string& path);

// ExtractDirectory of the running program's full path (Win32 only: AppDirectory_win.cpp).
std::string GetAppDirectory();

}  // namespace pelmora
