// The flat exports: each constructs a CRegistry for one operation, so every call opens, uses and
// closes its own key. No exception leaves the library.
#include <windows.h>

#include "hvnreg32/RegistryRules.h"
#include "hvnreg32/Registry_win.h"
#include "hvnreg32/hvnreg32.h"

using hvnreg32::CRegistry;

namespace {

// Runs one operation on a temporary object; an unexpected exception becomes a failure code.
template <typename Operation>
uint32_t Guarded(Operation operation) noexcept {
  try {
    CRegistry registry;
    return operation(registry);
  } catch (...) {
    return hvnreg32::kInternalError;
  }
}

}  // namespace

uint32_t GetApplicationPath(const char* exeName, char* buf, uint32_t size) {
  return Guarded([&](CRegistry& r) { return r.GetApplicationPath(exeName, buf, size); });
}

uint32_t GetDorvaneDatPath(char* buf, uint32_t size) {
  return Guarded([&](CRegistry& r) { return r.GetDorvaneDatPath(buf, size); });
}

uint32_t SetDorvaneDatPath(char* path) {
  return Guarded([&](CRegistry& r) { return r.SetDorvaneDatPath(path); });
}

uint32_t GetHVNSupportedFormats(const char* app, char* buf, uint32_t size) {
  return Guarded([&](CRegistry& r) { return r.GetHVNSupportedFormats(app, buf, size); });
}

uint32_t GetHVNAppOptions(const char* app, uint32_t* options) {
  return Guarded([&](CRegistry& r) { return r.GetHVNAppOptions(app, options); });
}

uint32_t SetHVNAppOptions(const char* app, uint32_t* options) {
  return Guarded([&](CRegistry& r) { return r.SetHVNAppOptions(app, options); });
}

uint32_t GetHVNAppOption(const char* app, const char* name, char* buf, uint32_t size) {
  return Guarded([&](CRegistry& r) { return r.GetHVNAppOption(app, name, buf, size); });
}

uint32_t SetHVNAppOption(const char* app, const char* name, const char* value) {
  return Guarded([&](CRegistry& r) { return r.SetHVNAppOption(app, name, value); });
}

uint32_t GetHVNEmailAddress(const char* name, char* buf, uint32_t size) {
  return Guarded([&](CRegistry& r) { return r.GetHVNEmailAddress(name, buf, size); });
}

uint32_t SetHVNEmailAddress(const char* name, char* text) {
  return Guarded([&](CRegistry& r) { return r.SetHVNEmailAddress(name, text); });
}

uint32_t GetHVNWebSiteAddress(char* buf, uint32_t size) {
  return Guarded([&](CRegistry& r) { return r.GetHVNWebSiteAddress(buf, size); });
}

uint32_t SetHVNWebSiteAddress(const char* text) {
  return Guarded([&](CRegistry& r) { return r.SetHVNWebSiteAddress(text); });
}

uint32_t GetHVNMachineOption(const char* app, const char* name, char* buf, uint32_t size) {
  return Guarded([&](CRegistry& r) { return r.GetHVNMachineOption(app, name, buf, size); });
}

uint32_t SetHVNMachineOption(const char* app, const char* name, const char* value) {
  return Guarded([&](CRegistry& r) { return r.SetHVNMachineOption(app, name, value); });
}

uint32_t GetHVNAppLatestVer(const char* app, const char* name, char* buf, uint32_t size) {
  return Guarded([&](CRegistry& r) { return r.GetHVNAppLatestVer(app, name, buf, size); });
}

uint32_t GetCurrentUserKey(const char* keyPath, const char* name, char* buf, uint32_t size) {
  return Guarded([&](CRegistry& r) { return r.GetCurrentUserKey(keyPath, name, buf, size); });
}

uint32_t SetCurrentUserKey(const char* keyPath, const char* name, const char* value) {
  return Guarded([&](CRegistry& r) { return r.SetCurrentUserKey(keyPath, name, value); });
}

uint32_t GetExtensionDescription(const char* extension, char* buf, uint32_t size) {
  return Guarded([&](CRegistry& r) { return r.GetExtensionDescription(extension, buf, size); });
}

int32_t ClassesRootKeyExists(const char* keyPath) {
  const uint32_t exists =
      Guarded([&](CRegistry& r) { return static_cast<uint32_t>(r.ClassesRootKeyExists(keyPath)); });
  return exists == 1 ? 1 : 0;
}
