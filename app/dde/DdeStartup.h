// What the program needs before its DDEML instance exists: the service name it registers and
// the message shown when DDEML cannot be initialised. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pelmora::dde {

// The service name from the full path of the program file: its file-name part, cut at the first
// dot ("C:\Apps\pelmora.exe" and "C:\Apps\pelmora.v2.exe" both give "pelmora").
std::string ServiceNameFromPath(std::string_view programPath);

// The DDEML error codes that choose the start-up message (ddeml.h).
constexpr uint32_t kDmlErrLowMemory = 0x4007;
constexpr uint32_t kDmlErrMemoryError = 0x4008;
constexpr uint32_t kDmlErrNoConvEstablished = 0x400A;

// The message for a failed start of DDE, the error code in hexadecimal after "$0".
std::string DdeStartupMessage(uint32_t error);

}  // namespace pelmora::dde
