// How the main window reads a source name: the name a replayed log shows in lblComStatus, and
// the serial port a Win32 device path names. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// The log file's own name: the part after the last path separator ("\", "/" or a drive's ":"),
// up to its last ".", in lower case; a name with no "." whole. C:\Logs\Track1.gps gives
// track1, C:\Data\run.2024\drive.gps gives drive.
std::string ReplayName(std::string_view source);

// "COMn" for a device path \\.\COMn or \\?\COMn (any letter case, n one or more digits), so
// that a port given as a device (PLAY \\.\COM1, or COM3 on the command line, which the full
// path makes \\.\COM3) is opened as the port; nothing for any other name.
std::optional<std::string> PortOfDevicePath(std::string_view source);

}  // namespace pelmora
