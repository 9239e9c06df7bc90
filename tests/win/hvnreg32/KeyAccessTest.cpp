// GrantEveryoneKeyAccess on real keys: the resulting access list, its stability, the failure
// messages, and which of the library's operations call it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "hvnreg32/KeyAccess_win.h"
#include "hvnreg32/RegistryRules.h"
#include "hvnreg32/hvnreg32.h"
#include "tests/win/hvnreg32/RegistryTestSupport_win.h"

namespace hvnreg32 {
namespace {

using test::AceEntry;
using test::DeleteTree;
using test::ReadDacl;
using test::UniqueName;
using test::WriteDacl;

constexpr const char* kEveryone = "S-1-1-0";
constexpr const char* kAdministrators = "S-1-5-32-544";
constexpr const char* kGuests = "S-1-5-32-546";
constexpr const char* kSystem = "S-1-5-18";
constexpr BYTE kAllow = ACCESS_ALLOWED_ACE_TYPE;
constexpr BYTE kDeny = ACCESS_DENIED_ACE_TYPE;

const AceEntry kEveryoneFull{kAllow, CONTAINER_INHERIT_ACE, GENERIC_ALL, kEveryone};

class KeyAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = "Software\\" + UniqueName("PelmoraAclTest");
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(key_);
    DeleteTree(HKEY_CURRENT_USER, path_);
  }

  // Runs the routine with standard output captured; returns its result.
  int32_t GrantCaptured(HKEY key, std::string* output) {
    std::fflush(stdout);
    ::testing::internal::CaptureStdout();
    const int32_t result = GrantEveryoneKeyAccess(key);
    std::fflush(stdout);
    *output = ::testing::internal::GetCapturedStdout();
    return result;
  }

  std::string path_;
  HKEY key_ = nullptr;
};

TEST_F(KeyAccessTest, OtherEntriesKeepTheirOrderBehindOneEveryoneEntry) {
  const std::vector<AceEntry> before = {
      {kAllow, 0, KEY_READ, kAdministrators},
      {kDeny, 0, KEY_SET_VALUE, kGuests},
      {kAllow, CONTAINER_INHERIT_ACE, KEY_READ, kEveryone},
      {kDeny, 0, KEY_CREATE_SUB_KEY, kEveryone},
      {kAllow, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, KEY_ALL_ACCESS, kSystem},
      {kDeny, CONTAINER_INHERIT_ACE, KEY_NOTIFY, kAdministrators},
  };
  ASSERT_EQ(WriteDacl(key_, before), ERROR_SUCCESS);
  ASSERT_EQ(ReadDacl(key_), before);

  std::string output;
  EXPECT_EQ(GrantCaptured(key_, &output), 1);
  EXPECT_EQ(output, "");
  const std::vector<AceEntry> expected = {kEveryoneFull, before[0], before[1], before[4],
                                          before[5]};
  EXPECT_EQ(ReadDacl(key_), expected);

  // Repeated calls give the same list.
  EXPECT_EQ(GrantEveryoneKeyAccess(key_), 1);
  EXPECT_EQ(GrantEveryoneKeyAccess(key_), 1);
  EXPECT_EQ(ReadDacl(key_), expected);
}

TEST_F(KeyAccessTest, AnyEveryoneEntryIsReplacedByTheFullAccessOne) {
  for (const AceEntry& existing :
       {AceEntry{kDeny, 0, GENERIC_ALL, kEveryone}, AceEntry{kAllow, 0, KEY_QUERY_VALUE, kEveryone},
        AceEntry{kAllow, CONTAINER_INHERIT_ACE, GENERIC_ALL, kEveryone}}) {
    ASSERT_EQ(WriteDacl(key_, {{kAllow, 0, KEY_READ, kSystem}, existing}), ERROR_SUCCESS);
    EXPECT_EQ(GrantEveryoneKeyAccess(key_), 1);
    const std::vector<AceEntry> expected = {kEveryoneFull, {kAllow, 0, KEY_READ, kSystem}};
    EXPECT_EQ(ReadDacl(key_), expected);
  }
}

TEST_F(KeyAccessTest, EmptyListEndsWithTheEveryoneEntryAlone) {
  ASSERT_EQ(WriteDacl(key_, {}), ERROR_SUCCESS);
  bool present = false;
  ASSERT_TRUE(ReadDacl(key_, &present).empty());
  ASSERT_TRUE(present);
  EXPECT_EQ(GrantEveryoneKeyAccess(key_), 1);
  EXPECT_EQ(ReadDacl(key_), std::vector<AceEntry>{kEveryoneFull});
}

TEST_F(KeyAccessTest, NullListIsTreatedAsEmpty) {
  ASSERT_EQ(WriteDacl(key_, {}, true), ERROR_SUCCESS);
  bool present = true;
  ReadDacl(key_, &present);
  ASSERT_FALSE(present);
  EXPECT_EQ(GrantEveryoneKeyAccess(key_), 1);
  EXPECT_EQ(ReadDacl(key_), std::vector<AceEntry>{kEveryoneFull});
}

TEST_F(KeyAccessTest, QueryOnlyHandleFailsAtReadingTheListAndChangesNothing) {
  const std::vector<AceEntry> before = {{kAllow, 0, KEY_ALL_ACCESS, kAdministrators},
                                        {kAllow, 0, KEY_READ, kEveryone}};
  ASSERT_EQ(WriteDacl(key_, before), ERROR_SUCCESS);
  HKEY queryOnly = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_QUERY_VALUE, &queryOnly),
            ERROR_SUCCESS);
  std::string output;
  EXPECT_EQ(GrantCaptured(queryOnly, &output), 0);
  RegCloseKey(queryOnly);
  EXPECT_EQ(output, "Error 5:RegGetKeySecurity\n");
  EXPECT_EQ(ReadDacl(key_), before);
}

TEST_F(KeyAccessTest, ReadOnlySecurityHandleFailsAtWritingTheList) {
  const std::vector<AceEntry> before = {{kAllow, 0, KEY_ALL_ACCESS, kAdministrators}};
  ASSERT_EQ(WriteDacl(key_, before), ERROR_SUCCESS);
  HKEY readControl = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, READ_CONTROL, &readControl),
            ERROR_SUCCESS);
  std::string output;
  EXPECT_EQ(GrantCaptured(readControl, &output), 0);
  RegCloseKey(readControl);
  EXPECT_EQ(output, "Error 5:RegSetKeySecurity\n");
  EXPECT_EQ(ReadDacl(key_), before);
}

// A list so full that the Everyone entry cannot be added within the 64 KiB limit of a list.
TEST_F(KeyAccessTest, FullListFailsAtCreatingTheNewListAndChangesNothing) {
  constexpr DWORD kListSize = 65532;  // the largest DWORD-aligned list
  std::vector<BYTE> buffer(kListSize);
  auto* acl = reinterpret_cast<PACL>(buffer.data());
  ASSERT_TRUE(InitializeAcl(acl, kListSize, ACL_REVISION));
  for (int rid = 1000;; ++rid) {
    const std::string sidText = "S-1-5-21-1-2-3-" + std::to_string(rid);
    PSID sid = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidA(sidText.c_str(), &sid));
    const BOOL added = AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, sid);
    LocalFree(sid);
    if (!added) break;
  }
  ACL_SIZE_INFORMATION info{};
  ASSERT_TRUE(GetAclInformation(acl, &info, sizeof info, AclSizeInformation));
  ASSERT_GT(info.AclBytesInUse + 40, 65535u);
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
  ASSERT_EQ(RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, &sd), ERROR_SUCCESS);
  const std::vector<AceEntry> before = ReadDacl(key_);
  ASSERT_EQ(before.size(), info.AceCount);

  std::string output;
  EXPECT_EQ(GrantCaptured(key_, &output), 0);
  EXPECT_EQ(output, "Error 87:InitializeAcl\n");
  EXPECT_EQ(ReadDacl(key_), before);
}

TEST_F(KeyAccessTest, InvalidHandleFailsAtReadingTheList) {
  std::string output;
  EXPECT_EQ(GrantCaptured(nullptr, &output), 0);
  EXPECT_EQ(output, "Error 6:RegGetKeySecurity\n");
}

// The library grants access on the machine-wide keys it opens, and on no others.
class KeyAccessCallersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = UniqueName("PelmoraAclApp");
    appKey_ = std::string(kCompanyRoot) + app_;
  }
  void TearDown() override {
    DeleteTree(HKEY_CURRENT_USER, appKey_);
    DeleteTree(HKEY_LOCAL_MACHINE, appKey_);
  }
  static std::vector<AceEntry> DaclOf(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS) return {};
    std::vector<AceEntry> entries = ReadDacl(key);
    RegCloseKey(key);
    return entries;
  }
  std::string app_;
  std::string appKey_;
};

TEST_F(KeyAccessCallersTest, MachineKeysGetTheEveryoneEntryFirst) {
  char buf[32];
  GetHVNMachineOption(app_.c_str(), "X", buf, sizeof buf);
  std::vector<AceEntry> acl = DaclOf(HKEY_LOCAL_MACHINE, appKey_);
  ASSERT_FALSE(acl.empty());
  EXPECT_EQ(acl[0], kEveryoneFull);
  int everyone = 0;
  for (const AceEntry& e : acl)
    everyone += e.sid == kEveryone;
  EXPECT_EQ(everyone, 1);

  // A key whose list was reset gets the entry back from the next write.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, appKey_.c_str(), 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  ASSERT_EQ(WriteDacl(key, {{kAllow, 0, KEY_ALL_ACCESS, kAdministrators}}), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(SetHVNMachineOption(app_.c_str(), "X", "1"), kSuccess);
  const std::vector<AceEntry> expected = {kEveryoneFull,
                                          {kAllow, 0, KEY_ALL_ACCESS, kAdministrators}};
  EXPECT_EQ(DaclOf(HKEY_LOCAL_MACHINE, appKey_), expected);
}

TEST_F(KeyAccessCallersTest, UserKeysAreLeftAlone) {
  ASSERT_EQ(SetHVNAppOption(app_.c_str(), "X", "1"), kSuccess);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, appKey_.c_str(), 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  const std::vector<AceEntry> own = {{kAllow, 0, KEY_ALL_ACCESS, kAdministrators},
                                     {kAllow, 0, KEY_ALL_ACCESS, kSystem}};
  ASSERT_EQ(WriteDacl(key, own), ERROR_SUCCESS);
  RegCloseKey(key);
  char buf[32];
  EXPECT_EQ(GetHVNAppOption(app_.c_str(), "X", buf, sizeof buf), kSuccess);
  EXPECT_EQ(SetHVNAppOption(app_.c_str(), "X", "2"), kSuccess);
  uint32_t word = 1;
  EXPECT_EQ(SetHVNAppOptions(app_.c_str(), &word), kSuccess);
  EXPECT_EQ(GetCurrentUserKey(appKey_.c_str(), "X", buf, sizeof buf), kSuccess);
  EXPECT_EQ(DaclOf(HKEY_CURRENT_USER, appKey_), own);
}

}  // namespace
}  // namespace hvnreg32
