// Helpers for the registry tests: unique key names, key existence, and reading or writing a
// key's access list as plain entries.
#pragma once

#include <windows.h>

#include <sddl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace hvnreg32::test {

// A key or value name no other test run uses.
inline std::string UniqueName(const char* prefix) {
  static unsigned counter = 0;
  return std::string(prefix) + "_" + std::to_string(GetCurrentProcessId()) + "_" +
         std::to_string(GetTickCount()) + "_" + std::to_string(++counter);
}

inline bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

inline void DeleteTree(HKEY root, const std::string& path) {
  RegDeleteTreeA(root, path.c_str());
}

struct AceEntry {
  BYTE type;  // ACCESS_ALLOWED_ACE_TYPE or ACCESS_DENIED_ACE_TYPE
  BYTE flags;
  DWORD mask;
  std::string sid;  // "S-1-1-0"

  bool operator==(const AceEntry&) const = default;
};

inline std::string SidText(PSID sid) {
  char* text = nullptr;
  if (!ConvertSidToStringSidA(sid, &text)) return "?";
  std::string result(text);
  LocalFree(text);
  return result;
}

// The key's access list; sets *present to whether the key has one.
inline std::vector<AceEntry> ReadDacl(HKEY key, bool* present = nullptr) {
  std::vector<AceEntry> entries;
  std::vector<BYTE> sd(65556);
  DWORD size = static_cast<DWORD>(sd.size());
  if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, sd.data(), &size) != ERROR_SUCCESS) {
    if (present) *present = false;
    return entries;
  }
  BOOL hasDacl = FALSE, defaulted = FALSE;
  PACL acl = nullptr;
  GetSecurityDescriptorDacl(sd.data(), &hasDacl, &acl, &defaulted);
  if (present) *present = hasDacl && acl != nullptr;
  if (!hasDacl || acl == nullptr) return entries;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(acl, i, &ace)) break;
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    entries.push_back({allowed->Header.AceType, allowed->Header.AceFlags, allowed->Mask,
                       SidText(const_cast<DWORD*>(&allowed->SidStart))});
  }
  return entries;
}

// Replaces the key's access list with these entries (a null list when nullDacl).
inline LONG WriteDacl(HKEY key, const std::vector<AceEntry>& entries, bool nullDacl = false) {
  std::vector<BYTE> buffer(4096);
  auto* acl = reinterpret_cast<PACL>(buffer.data());
  if (!InitializeAcl(acl, static_cast<DWORD>(buffer.size()), ACL_REVISION)) return -1;
  for (const AceEntry& e : entries) {
    PSID sid = nullptr;
    if (!ConvertStringSidToSidA(e.sid.c_str(), &sid)) return -2;
    const BOOL ok = e.type == ACCESS_DENIED_ACE_TYPE
                        ? AddAccessDeniedAceEx(acl, ACL_REVISION, e.flags, e.mask, sid)
                        : AddAccessAllowedAceEx(acl, ACL_REVISION, e.flags, e.mask, sid);
    LocalFree(sid);
    if (!ok) return -3;
  }
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, nullDacl ? nullptr : acl, FALSE);
  return RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
}

}  // namespace hvnreg32::test
