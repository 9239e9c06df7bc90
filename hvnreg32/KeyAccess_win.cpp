// GrantEveryoneKeyAccess: builds a new access list [Everyone: allow GENERIC_ALL, inherited by
// subkeys] + the key's previous entries for every other SID, in order, and writes it to the key.
// Each failing step prints its "Error <code>:<function>" line to standard output.
#include "hvnreg32/KeyAccess_win.h"

#include <cstdio>
#include <vector>

namespace hvnreg32 {

namespace {

// Large enough for any self-relative descriptor holding one access list (lists are at most
// 64 KiB) plus its header.
constexpr DWORD kSecurityBufferSize = 65556;

// The SID inside an entry whose layout is header, mask, SID (the allowed, denied, audit and
// alarm entries); null for other entry kinds or a SID that does not fit the entry.
PSID SimpleEntrySid(const ACE_HEADER* header) {
  switch (header->AceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_DENIED_ACE_TYPE:
    case SYSTEM_AUDIT_ACE_TYPE:
    case SYSTEM_ALARM_ACE_TYPE:
      break;
    default:
      return nullptr;
  }
  constexpr DWORD kSidOffset = offsetof(ACCESS_ALLOWED_ACE, SidStart);
  if (header->AceSize < kSidOffset + 8) return nullptr;
  PSID sid = const_cast<DWORD*>(&reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header)->SidStart);
  const auto* raw = static_cast<const BYTE*>(sid);
  // Revision, sub-authority count, 6-byte authority, then 4 bytes per sub-authority.
  if (header->AceSize < kSidOffset + 8u + 4u * raw[1]) return nullptr;
  return IsValidSid(sid) ? sid : nullptr;
}

}  // namespace

int32_t GrantEveryoneKeyAccess(HKEY key) {
  // 1. The Everyone SID, S-1-1-0.
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
    std::printf("Error %d:AllocateAndInitializeSid\n", static_cast<int>(GetLastError()));
    return 0;
  }
  PACL newList = nullptr;
  void* entry = nullptr;
  const auto fail = [&]() {
    if (entry != nullptr) LocalFree(entry);
    if (newList != nullptr) LocalFree(newList);
    FreeSid(everyone);
    return 0;
  };

  // 2. The key's current access list, as a self-relative descriptor.
  std::vector<BYTE> current(kSecurityBufferSize);
  DWORD currentSize = kSecurityBufferSize;
  const LONG got = RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, current.data(), &currentSize);
  if (got != ERROR_SUCCESS) {
    std::printf("Error %d:RegGetKeySecurity\n", static_cast<int>(got));
    return fail();
  }

  // 3. An empty absolute descriptor for the new list.
  SECURITY_DESCRIPTOR descriptor;
  if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) {
    std::printf("Error %d:InitializeSecurityDescriptor\n", static_cast<int>(GetLastError()));
    return fail();
  }

  // 4. The old list and its present flag.
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL oldList = nullptr;
  if (!GetSecurityDescriptorDacl(current.data(), &present, &oldList, &defaulted)) {
    std::printf("Error %d:GetSecurityDescriptorDacl\n", static_cast<int>(GetLastError()));
    return fail();
  }

  // 5. Its entry count and bytes in use. A key without a list (or with a null one) counts as an
  // empty list: the result is then the Everyone entry alone.
  ACL_SIZE_INFORMATION sizeInfo = {0, sizeof(ACL), 0};
  if (oldList != nullptr &&
      !GetAclInformation(oldList, &sizeInfo, sizeof sizeInfo, AclSizeInformation)) {
    std::printf("Error %d:GetAclInformation\n", static_cast<int>(GetLastError()));
    return fail();
  }

  // 6. The new list: room for the old entries plus one Everyone entry.
  const DWORD sidLength = GetLengthSid(everyone);
  const DWORD newSize = sizeInfo.AclBytesInUse + 2 * sidLength + 16;
  newList = static_cast<PACL>(LocalAlloc(LPTR, newSize));
  if (newList == nullptr || !InitializeAcl(newList, newSize, ACL_REVISION)) {
    std::printf("Error %d:InitializeAcl\n", static_cast<int>(GetLastError()));
    return fail();
  }

  // 7. Everyone: allow, full access, inherited by subkeys; the first entry.
  const DWORD entrySize = sidLength + 8;  // header (4) + mask (4) + SID
  entry = LocalAlloc(LPTR, entrySize);
  if (entry == nullptr) {
    std::printf("Error %d:LocalAlloc", static_cast<int>(GetLastError()));
    return fail();
  }
  auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
  allowed->Header.AceType = ACCESS_ALLOWED_ACE_TYPE;
  allowed->Header.AceFlags = CONTAINER_INHERIT_ACE;
  allowed->Header.AceSize = static_cast<WORD>(entrySize);
  allowed->Mask = GENERIC_ALL;
  CopySid(sidLength, &allowed->SidStart, everyone);
  if (!AddAce(newList, ACL_REVISION, MAXDWORD, entry, entrySize)) {
    std::printf("Error %d:AddAce", static_cast<int>(GetLastError()));
    return fail();
  }

  // 8. The old entries in order, without any for Everyone (allowed and denied alike).
  if (present && oldList != nullptr) {
    for (DWORD i = 0; i < sizeInfo.AceCount; ++i) {
      void* old = nullptr;
      if (!GetAce(oldList, i, &old)) {
        std::printf("Error %d: GetAce\n", static_cast<int>(GetLastError()));
        return fail();
      }
      const auto* header = static_cast<const ACE_HEADER*>(old);
      const PSID sid = SimpleEntrySid(header);
      if (sid != nullptr && EqualSid(sid, everyone)) continue;
      if (!AddAce(newList, ACL_REVISION, MAXDWORD, old, header->AceSize)) {
        std::printf("Error %d:AddAce\n", static_cast<int>(GetLastError()));
        return fail();
      }
    }
  }

  // 9. Into the descriptor, then onto the key.
  if (!SetSecurityDescriptorDacl(&descriptor, TRUE, newList, FALSE)) {
    std::printf("Error %d:SetSecurityDescriptorDacl", static_cast<int>(GetLastError()));
    return fail();
  }
  const LONG set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
  if (set != ERROR_SUCCESS) {
    std::printf("Error %d:RegSetKeySecurity\n", static_cast<int>(set));
    return fail();
  }

  // 10.
  LocalFree(entry);
  LocalFree(newList);
  FreeSid(everyone);
  return 1;
}

}  // namespace hvnreg32
