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

// Prints one failure line, exactly as given ("Error <code>:<function>", some without a newline),
// and returns false.
bool Failed(const char* format, long code) {
  std::printf(format, static_cast<int>(code));
  return false;
}

// Blocks of the Win32 allocators, released when the routine ends however it ends.
struct Sid {
  PSID p = nullptr;
  ~Sid() {
    if (p != nullptr) FreeSid(p);
  }
};
struct LocalBlock {
  void* p = nullptr;
  ~LocalBlock() {
    if (p != nullptr) LocalFree(p);
  }
};

// The key's current access list (inside current, a self-relative descriptor), its present flag
// and its size information.
struct OldList {
  std::vector<BYTE> current = std::vector<BYTE>(kSecurityBufferSize);
  BOOL present = FALSE;
  PACL list = nullptr;
  // A key without a list (or with a null one) counts as an empty list: the result is then the
  // Everyone entry alone.
  ACL_SIZE_INFORMATION size = {0, sizeof(ACL), 0};
};

// Reads the key's list and prepares an empty absolute descriptor for the new one.
bool ReadOldList(HKEY key, OldList& old, SECURITY_DESCRIPTOR& descriptor) {
  DWORD currentSize = kSecurityBufferSize;
  const LONG got =
      RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, old.current.data(), &currentSize);
  if (got != ERROR_SUCCESS) return Failed("Error %d:RegGetKeySecurity\n", got);
  if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) {
    return Failed("Error %d:InitializeSecurityDescriptor\n", GetLastError());
  }
  BOOL defaulted = FALSE;
  if (!GetSecurityDescriptorDacl(old.current.data(), &old.present, &old.list, &defaulted)) {
    return Failed("Error %d:GetSecurityDescriptorDacl\n", GetLastError());
  }
  if (old.list != nullptr &&
      !GetAclInformation(old.list, &old.size, sizeof old.size, AclSizeInformation)) {
    return Failed("Error %d:GetAclInformation\n", GetLastError());
  }
  return true;
}

// Appends Everyone: allow, full access, inherited by subkeys.
bool AddEveryoneEntry(PACL list, PSID everyone) {
  const DWORD sidLength = GetLengthSid(everyone);
  const DWORD entrySize = sidLength + 8;  // header (4) + mask (4) + SID
  LocalBlock entry{LocalAlloc(LPTR, entrySize)};
  if (entry.p == nullptr) return Failed("Error %d:LocalAlloc", GetLastError());
  auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry.p);
  allowed->Header.AceType = ACCESS_ALLOWED_ACE_TYPE;
  allowed->Header.AceFlags = CONTAINER_INHERIT_ACE;
  allowed->Header.AceSize = static_cast<WORD>(entrySize);
  allowed->Mask = GENERIC_ALL;
  CopySid(sidLength, &allowed->SidStart, everyone);
  if (!AddAce(list, ACL_REVISION, MAXDWORD, entry.p, entrySize)) {
    return Failed("Error %d:AddAce", GetLastError());
  }
  return true;
}

// Appends the old entries in order, without any for Everyone (allowed and denied alike).
bool CopyOtherEntries(PACL list, const OldList& old, PSID everyone) {
  if (!old.present || old.list == nullptr) return true;
  for (DWORD i = 0; i < old.size.AceCount; ++i) {
    void* entry = nullptr;
    if (!GetAce(old.list, i, &entry)) return Failed("Error %d: GetAce\n", GetLastError());
    const auto* header = static_cast<const ACE_HEADER*>(entry);
    const PSID sid = SimpleEntrySid(header);
    if (sid != nullptr && EqualSid(sid, everyone)) continue;
    if (!AddAce(list, ACL_REVISION, MAXDWORD, entry, header->AceSize)) {
      return Failed("Error %d:AddAce\n", GetLastError());
    }
  }
  return true;
}

// Puts the list into the descriptor, then the descriptor onto the key.
bool WriteNewList(HKEY key, SECURITY_DESCRIPTOR& descriptor, PACL list) {
  if (!SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE)) {
    return Failed("Error %d:SetSecurityDescriptorDacl", GetLastError());
  }
  const LONG set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
  if (set != ERROR_SUCCESS) return Failed("Error %d:RegSetKeySecurity\n", set);
  return true;
}

}  // namespace

int32_t GrantEveryoneKeyAccess(HKEY key) {
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  Sid everyone;
  if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone.p)) {
    return Failed("Error %d:AllocateAndInitializeSid\n", GetLastError());
  }
  OldList old;
  SECURITY_DESCRIPTOR descriptor;
  if (!ReadOldList(key, old, descriptor)) return 0;
  // Room for the old entries plus one Everyone entry.
  const DWORD newSize = old.size.AclBytesInUse + 2 * GetLengthSid(everyone.p) + 16;
  LocalBlock newList{LocalAlloc(LPTR, newSize)};
  const auto list = static_cast<PACL>(newList.p);
  if (list == nullptr || !InitializeAcl(list, newSize, ACL_REVISION)) {
    return Failed("Error %d:InitializeAcl\n", GetLastError());
  }
  const bool written = AddEveryoneEntry(list, everyone.p) &&
                       CopyOtherEntries(list, old, everyone.p) &&
                       WriteNewList(key, descriptor, list);
  return written ? 1 : 0;
}

}  // namespace hvnreg32
