// CRegistry, exported by hvnreg32.dll: each public operation reads or writes one value at one
// fixed registry place. The object holds at most one open key, replaced by each operation and
// closed at destruction. Results: 0x20000000 on success, 234 when the value does not fit the
// buffer or is not a terminated string, else the Win32 error of the failing call.
#pragma once

#include <windows.h>

#include <cstdint>

#include "hvnreg32/hvnreg32.h"

namespace hvnreg32 {

class KeyPath;

class HVNREG32_API CRegistry {
 public:
  CRegistry() = default;
  ~CRegistry();
  // Not copyable: two objects would hold the same key handle and both close it.
  CRegistry(const CRegistry&) = delete;
  CRegistry& operator=(const CRegistry&) = delete;

  uint32_t GetApplicationPath(const char* exeName, char* buf, uint32_t size);
  uint32_t GetDorvaneDatPath(char* buf, uint32_t size);
  uint32_t GetDorvaneDatPath(const char* app, char* buf, uint32_t size);
  uint32_t SetDorvaneDatPath(char* path);
  uint32_t GetHVNSupportedFormats(const char* app, char* buf, uint32_t size);
  uint32_t GetHVNAppOptions(const char* app, uint32_t* options);
  uint32_t SetHVNAppOptions(const char* app, uint32_t* options);
  uint32_t GetHVNAppOption(const char* app, const char* name, char* buf, uint32_t size);
  uint32_t SetHVNAppOption(const char* app, const char* name, const char* value);
  uint32_t GetHVNEmailAddress(const char* name, char* buf, uint32_t size);
  uint32_t SetHVNEmailAddress(const char* name, char* text);
  uint32_t GetHVNWebSiteAddress(char* buf, uint32_t size);
  uint32_t SetHVNWebSiteAddress(const char* text);
  uint32_t GetHVNMachineOption(const char* app, const char* name, char* buf, uint32_t size);
  uint32_t SetHVNMachineOption(const char* app, const char* name, const char* value);
  uint32_t GetHVNAppLatestVer(const char* app, const char* name, char* buf, uint32_t size);
  uint32_t GetCurrentUserKey(const char* keyPath, const char* name, char* buf, uint32_t size);
  uint32_t SetCurrentUserKey(const char* keyPath, const char* name, const char* value);
  uint32_t GetExtensionDescription(const char* extension, char* buf, uint32_t size);
  // 1 when keyPath opens under HKEY_CLASSES_ROOT, else 0.
  int32_t ClassesRootKeyExists(const char* keyPath);

  // The key the last operation opened (null when none is held).
  HKEY HeldKey() const { return key_; }

 private:
  // create 1: create or open with full access; otherwise open with query (Get) or set-value
  // (Set) access. Keys under HKEY_LOCAL_MACHINE get GrantEveryoneKeyAccess once open. A path
  // that did not build fails with its code before any key is touched.
  uint32_t GetString(HKEY root, const KeyPath& path, const char* name, char* buf, uint32_t size,
                     int create);
  // GetString creating the key, then "0" in buf when it holds empty text (the read's result
  // stays).
  uint32_t GetStringOrZero(HKEY root, const KeyPath& path, const char* name, char* buf,
                           uint32_t size);
  uint32_t SetString(HKEY root, const KeyPath& path, const char* name, const char* text,
                     int create);
  // The option word: one REG_DWORD of 4 bytes.
  uint32_t GetDouble(HKEY root, const KeyPath& path, const char* name, uint32_t* words, int create);
  uint32_t SetDouble(HKEY root, const KeyPath& path, const char* name, const uint32_t* words,
                     int create);

  // Starts an operation: releases the held key, then fails with the path's code when the path
  // did not build, or with kInvalidParameter when the caller's arguments are unusable.
  uint32_t Begin(const KeyPath& path, bool argumentsUsable);
  void CloseHeldKey();
  uint32_t OpenHeldKey(HKEY root, const char* path, int create, REGSAM openAccess);
  uint32_t ReadText(HKEY key, const char* name, char* buf, uint32_t size);

  HKEY key_ = nullptr;
  void* heap_ = nullptr;  // owned heap block, freed at destruction; no operation sets it
};

}  // namespace hvnreg32
