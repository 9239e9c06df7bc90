// hvnreg32.dll's flat C interface: one function per CRegistry operation (the class itself is in
// Registry_win.h), undecorated names.
// Every function returns 0x20000000 on success, 234 when the value does not fit the buffer or is
// not a terminated string, or the Win32 error of the failing call; ClassesRootKeyExists returns
// 1 or 0. Text is 8-bit ANSI, zero-terminated; buffers are (buf, size in bytes).
#pragma once

#include <cstdint>

#if defined(_WIN32) && defined(HVNREG32_BUILDING)
#define HVNREG32_API __declspec(dllexport)
#elif defined(_WIN32)
#define HVNREG32_API __declspec(dllimport)
#else
#define HVNREG32_API
#endif

extern "C" {

HVNREG32_API uint32_t GetApplicationPath(const char* exeName, char* buf, uint32_t size);
HVNREG32_API uint32_t GetDorvaneDatPath(char* buf, uint32_t size);
HVNREG32_API uint32_t SetDorvaneDatPath(char* path);
HVNREG32_API uint32_t GetHVNSupportedFormats(const char* app, char* buf, uint32_t size);
// The option word is stored as REG_DWORD (4 bytes) under "Options".
HVNREG32_API uint32_t GetHVNAppOptions(const char* app, uint32_t* options);
HVNREG32_API uint32_t SetHVNAppOptions(const char* app, uint32_t* options);
HVNREG32_API uint32_t GetHVNAppOption(const char* app, const char* name, char* buf, uint32_t size);
HVNREG32_API uint32_t SetHVNAppOption(const char* app, const char* name, const char* value);
HVNREG32_API uint32_t GetHVNEmailAddress(const char* name, char* buf, uint32_t size);
HVNREG32_API uint32_t SetHVNEmailAddress(const char* name, char* text);
HVNREG32_API uint32_t GetHVNWebSiteAddress(char* buf, uint32_t size);
HVNREG32_API uint32_t SetHVNWebSiteAddress(const char* text);
HVNREG32_API uint32_t GetHVNMachineOption(const char* app, const char* name, char* buf,
                                          uint32_t size);
HVNREG32_API uint32_t SetHVNMachineOption(const char* app, const char* name, const char* value);
HVNREG32_API uint32_t GetHVNAppLatestVer(const char* app, const char* name, char* buf,
                                         uint32_t size);
HVNREG32_API uint32_t GetCurrentUserKey(const char* keyPath, const char* name, char* buf,
                                        uint32_t size);
HVNREG32_API uint32_t SetCurrentUserKey(const char* keyPath, const char* name, const char* value);
HVNREG32_API uint32_t GetExtensionDescription(const char* extension, char* buf, uint32_t size);
HVNREG32_API int32_t ClassesRootKeyExists(const char* keyPath);

}  // extern "C"
