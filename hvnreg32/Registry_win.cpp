// CRegistry's operations: each is one private read or write at a fixed root, path and value.
#include "hvnreg32/Registry_win.h"

#include <cstdlib>
#include <cstring>

#include "hvnreg32/KeyAccess_win.h"
#include "hvnreg32/RegistryRules.h"

namespace hvnreg32 {

namespace {

constexpr int kCreate = 1;
constexpr int kOpen = 0;

}  // namespace

CRegistry::~CRegistry() {
  CloseHeldKey();
  std::free(heap_);
}

void CRegistry::CloseHeldKey() {
  if (key_ != nullptr) RegCloseKey(key_);
  key_ = nullptr;
}

uint32_t CRegistry::OpenHeldKey(HKEY root, const char* path, int create, REGSAM openAccess) {
  HKEY key = nullptr;
  LONG rc;
  if (create == kCreate) {
    rc = RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                         &key, nullptr);
  } else {
    rc = RegOpenKeyExA(root, path, 0, openAccess, &key);
  }
  if (rc != ERROR_SUCCESS) return static_cast<uint32_t>(rc);
  key_ = key;
  // Shared machine keys are opened up to every user; the outcome does not affect the operation.
  if (root == HKEY_LOCAL_MACHINE) GrantEveryoneKeyAccess(key_);
  return kSuccess;
}

// Queries a value into buf[size] and classifies it; buf always ends up terminated, and holds
// empty text after any failure of the query itself.
uint32_t CRegistry::ReadText(HKEY key, const char* name, char* buf, uint32_t size) {
  DWORD reported = size;
  const LONG rc =
      RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &reported);
  if (rc != ERROR_SUCCESS) {
    buf[0] = '\0';
    return static_cast<uint32_t>(rc);
  }
  return FinishTextRead(buf, size, reported);
}

uint32_t CRegistry::Begin(const KeyPath& path, bool argumentsUsable) {
  CloseHeldKey();
  if (!path.ok()) return path.status();
  return argumentsUsable ? kSuccess : kInvalidParameter;
}

uint32_t CRegistry::GetString(HKEY root, const KeyPath& path, const char* name, char* buf,
                              uint32_t size, int create) {
  const bool usable = buf != nullptr && size > 0;
  if (usable) buf[0] = '\0';
  uint32_t rc = Begin(path, usable);
  if (rc == kSuccess) rc = OpenHeldKey(root, path.c_str(), create, KEY_QUERY_VALUE);
  return rc == kSuccess ? ReadText(key_, name, buf, size) : rc;
}

uint32_t CRegistry::GetStringOrZero(HKEY root, const KeyPath& path, const char* name, char* buf,
                                    uint32_t size) {
  const uint32_t rc = GetString(root, path, name, buf, size, kCreate);
  ZeroWhenEmpty(buf, size);
  return rc;
}

uint32_t CRegistry::SetString(HKEY root, const KeyPath& path, const char* name, const char* text,
                              int create) {
  const std::size_t length = text != nullptr ? std::strlen(text) : 0;
  uint32_t rc = Begin(path, text != nullptr && length < MAXDWORD);
  if (rc == kSuccess) rc = OpenHeldKey(root, path.c_str(), create, KEY_SET_VALUE);
  if (rc != kSuccess) return rc;
  const LONG set = RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                  static_cast<DWORD>(length + 1));
  return set == ERROR_SUCCESS ? kSuccess : static_cast<uint32_t>(set);
}

uint32_t CRegistry::GetDouble(HKEY root, const KeyPath& path, const char* name, uint32_t* words,
                              int create) {
  uint32_t rc = Begin(path, words != nullptr);
  if (rc == kSuccess) rc = OpenHeldKey(root, path.c_str(), create, KEY_QUERY_VALUE);
  if (rc != kSuccess) return rc;
  DWORD type = REG_NONE;
  DWORD value = 0;
  DWORD reported = sizeof value;
  const LONG got =
      RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &reported);
  if (got != ERROR_SUCCESS) return static_cast<uint32_t>(got);
  if (type != REG_DWORD || reported != sizeof value) return kInvalidData;
  *words = value;
  return kSuccess;
}

uint32_t CRegistry::SetDouble(HKEY root, const KeyPath& path, const char* name,
                              const uint32_t* words, int create) {
  uint32_t rc = Begin(path, words != nullptr);
  if (rc == kSuccess) rc = OpenHeldKey(root, path.c_str(), create, KEY_SET_VALUE);
  if (rc != kSuccess) return rc;
  const DWORD value = *words;
  const LONG set =
      RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  return set == ERROR_SUCCESS ? kSuccess : static_cast<uint32_t>(set);
}

uint32_t CRegistry::GetApplicationPath(const char* exeName, char* buf, uint32_t size) {
  return GetString(HKEY_LOCAL_MACHINE, KeyPath(kAppPathsRoot, exeName), nullptr, buf, size, kOpen);
}

uint32_t CRegistry::GetDorvaneDatPath(char* buf, uint32_t size) {
  return GetString(HKEY_LOCAL_MACHINE, KeyPath(kCompanyRoot), "DataBasePath", buf, size, kCreate);
}

uint32_t CRegistry::SetDorvaneDatPath(char* path) {
  return SetString(HKEY_LOCAL_MACHINE, KeyPath(kCompanyRoot), "DataBasePath", path, kCreate);
}

uint32_t CRegistry::GetHVNEmailAddress(const char* name, char* buf, uint32_t size) {
  return GetString(HKEY_LOCAL_MACHINE, KeyPath(kCompanyRoot), name, buf, size, kCreate);
}

uint32_t CRegistry::SetHVNEmailAddress(const char* name, char* text) {
  return SetString(HKEY_LOCAL_MACHINE, KeyPath(kCompanyRoot), name, text, kCreate);
}

uint32_t CRegistry::GetHVNWebSiteAddress(char* buf, uint32_t size) {
  return GetString(HKEY_LOCAL_MACHINE, KeyPath(kCompanyRoot), "Website", buf, size, kCreate);
}

uint32_t CRegistry::SetHVNWebSiteAddress(const char* text) {
  return SetString(HKEY_LOCAL_MACHINE, KeyPath(kCompanyRoot), "Website", text, kCreate);
}

// The operations below address "Software\Halvorn\" + app, or a caller's own key path; a path
// that does not fit the 260-byte key buffer fails with kPathTooLong before any key is touched.

uint32_t CRegistry::GetDorvaneDatPath(const char* app, char* buf, uint32_t size) {
  return GetString(HKEY_LOCAL_MACHINE, KeyPath(kCompanyRoot, app), "DataBasePath", buf, size,
                   kCreate);
}

uint32_t CRegistry::GetHVNSupportedFormats(const char* app, char* buf, uint32_t size) {
  return GetString(HKEY_LOCAL_MACHINE, KeyPath(kCompanyRoot, app), "SupportedFormats", buf, size,
                   kCreate);
}

uint32_t CRegistry::GetHVNAppOptions(const char* app, uint32_t* options) {
  return GetDouble(HKEY_CURRENT_USER, KeyPath(kCompanyRoot, app), "Options", options, kCreate);
}

uint32_t CRegistry::SetHVNAppOptions(const char* app, uint32_t* options) {
  return SetDouble(HKEY_CURRENT_USER, KeyPath(kCompanyRoot, app), "Options", options, kCreate);
}

uint32_t CRegistry::GetHVNAppOption(const char* app, const char* name, char* buf, uint32_t size) {
  return GetString(HKEY_CURRENT_USER, KeyPath(kCompanyRoot, app), name, buf, size, kCreate);
}

uint32_t CRegistry::SetHVNAppOption(const char* app, const char* name, const char* value) {
  return SetString(HKEY_CURRENT_USER, KeyPath(kCompanyRoot, app), name, value, kCreate);
}

uint32_t CRegistry::GetHVNMachineOption(const char* app, const char* name, char* buf,
                                        uint32_t size) {
  return GetStringOrZero(HKEY_LOCAL_MACHINE, KeyPath(kCompanyRoot, app), name, buf, size);
}

uint32_t CRegistry::SetHVNMachineOption(const char* app, const char* name, const char* value) {
  return SetString(HKEY_LOCAL_MACHINE, KeyPath(kCompanyRoot, app), name, value, kCreate);
}

uint32_t CRegistry::GetHVNAppLatestVer(const char* app, const char* name, char* buf,
                                       uint32_t size) {
  return GetStringOrZero(HKEY_LOCAL_MACHINE, KeyPath(kCompanyRoot, app), name, buf, size);
}

uint32_t CRegistry::GetCurrentUserKey(const char* keyPath, const char* name, char* buf,
                                      uint32_t size) {
  return GetStringOrZero(HKEY_CURRENT_USER, KeyPath(keyPath), name, buf, size);
}

uint32_t CRegistry::SetCurrentUserKey(const char* keyPath, const char* name, const char* value) {
  return SetString(HKEY_CURRENT_USER, KeyPath(keyPath), name, value, kCreate);
}

// The extension key's default value names a class key, whose default value is the description.
uint32_t CRegistry::GetExtensionDescription(const char* extension, char* buf, uint32_t size) {
  CloseHeldKey();
  if (extension == nullptr || buf == nullptr || size == 0) return kInvalidParameter;
  buf[0] = '\0';
  LONG rc = RegOpenKeyExA(HKEY_CLASSES_ROOT, extension, 0, KEY_QUERY_VALUE, &key_);
  if (rc != ERROR_SUCCESS) {
    key_ = nullptr;
    return static_cast<uint32_t>(rc);
  }
  char className[kKeyPathSize] = {};
  const uint32_t classRead = ReadText(key_, nullptr, className, sizeof className);
  if (classRead != kSuccess) return classRead;
  CloseHeldKey();
  rc = RegOpenKeyExA(HKEY_CLASSES_ROOT, className, 0, KEY_QUERY_VALUE, &key_);
  if (rc != ERROR_SUCCESS) {
    key_ = nullptr;
    return static_cast<uint32_t>(rc);
  }
  return ReadText(key_, nullptr, buf, size);
}

int32_t CRegistry::ClassesRootKeyExists(const char* keyPath) {
  CloseHeldKey();
  char path[kKeyPathSize];
  if (BuildKeyPath(path, keyPath) != kSuccess) return 0;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) {
    key_ = nullptr;
    return 0;
  }
  return 1;
}

}  // namespace hvnreg32
