// The flat exports of hvnreg32.dll, imported by name, against the real registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "hvnreg32/RegistryRules.h"
#include "hvnreg32/hvnreg32.h"
#include "tests/win/hvnreg32/RegistryTestSupport_win.h"

namespace hvnreg32 {
namespace {

using test::DeleteTree;
using test::KeyExists;
using test::UniqueName;

// A buffer with guard bytes after it: a read must never write past its size.
struct GuardedBuffer {
  static constexpr uint32_t kGuard = 64;
  explicit GuardedBuffer(uint32_t size) : size(size), bytes(size + kGuard, 'G') {}
  char* data() { return bytes.data(); }
  bool GuardIntact() const {
    for (uint32_t i = size; i < bytes.size(); ++i) {
      if (bytes[i] != 'G') return false;
    }
    return true;
  }
  bool Terminated() const { return std::memchr(bytes.data(), '\0', size) != nullptr; }
  std::string Text() const { return std::string(bytes.data()); }
  uint32_t size;
  std::string bytes;
};

class ExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = UniqueName("PelmoraTest");
    appKey_ = std::string(kCompanyRoot) + app_;
  }
  void TearDown() override {
    DeleteTree(HKEY_CURRENT_USER, appKey_);
    DeleteTree(HKEY_LOCAL_MACHINE, appKey_);
  }

  // Stores raw bytes of any type under the application's per-user key.
  void StoreRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, appKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  // Whether the platform's own query of the value reports a zero among the bytes it returns.
  bool RawHasTerminator(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, appKey_.c_str(), 0, KEY_QUERY_VALUE, &key) != 0) {
      return false;
    }
    char raw[64] = {};
    DWORD size = sizeof raw;
    const LONG rc =
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(raw), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && std::memchr(raw, '\0', size) != nullptr;
  }

  std::string app_;
  std::string appKey_;
};

TEST_F(ExportsTest, FirstReadCreatesTheKeyAndFails_ThenWriteAndReadSucceed) {
  ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, appKey_));
  char buf[256] = "stale";
  EXPECT_EQ(GetHVNAppOption(app_.c_str(), "BaudRate", buf, 255), ERROR_FILE_NOT_FOUND);
  EXPECT_STREQ(buf, "");
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, appKey_));

  EXPECT_EQ(SetHVNAppOption(app_.c_str(), "BaudRate", "9600"), kSuccess);
  EXPECT_EQ(GetHVNAppOption(app_.c_str(), "BaudRate", buf, 255), kSuccess);
  EXPECT_STREQ(buf, "9600");

  // Stored as REG_SZ with its terminator.
  char raw[16] = {};
  DWORD type = 0, size = sizeof raw;
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, appKey_.c_str(), 0, KEY_QUERY_VALUE, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(key, "BaudRate", nullptr, &type, reinterpret_cast<BYTE*>(raw), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 5u);
}

TEST_F(ExportsTest, EmptyValueIsAFailure) {
  ASSERT_EQ(SetHVNAppOption(app_.c_str(), "Empty", ""), kSuccess);
  char buf[64] = "stale";
  const uint32_t rc = GetHVNAppOption(app_.c_str(), "Empty", buf, sizeof buf);
  EXPECT_NE(rc, kSuccess);
  EXPECT_NE(rc, kMoreData);
  EXPECT_STREQ(buf, "");
}

// The three reads that leave "0" in a buffer they found empty: a missing or empty value is a
// failure with "0" in the buffer, a stored value comes back as it is.
TEST_F(ExportsTest, ZeroWhenEmptyReadsLeaveZeroAndKeepTheFailureCode) {
  const char* app = app_.c_str();
  const char* key = appKey_.c_str();
  struct Read {
    const char* legend;
    std::function<uint32_t(const char* name, const char* value)> set;
    std::function<uint32_t(const char* name, char* buf, uint32_t size)> get;
  };
  const Read reads[] = {
      {"GetHVNMachineOption", [&](auto n, auto v) { return SetHVNMachineOption(app, n, v); },
       [&](auto n, auto b, auto s) { return GetHVNMachineOption(app, n, b, s); }},
      {"GetHVNAppLatestVer", [&](auto n, auto v) { return SetHVNMachineOption(app, n, v); },
       [&](auto n, auto b, auto s) { return GetHVNAppLatestVer(app, n, b, s); }},
      {"GetCurrentUserKey", [&](auto n, auto v) { return SetCurrentUserKey(key, n, v); },
       [&](auto n, auto b, auto s) { return GetCurrentUserKey(key, n, b, s); }},
  };
  for (const Read& r : reads) {
    char buf[32] = "stale";
    EXPECT_EQ(r.get("Missing", buf, sizeof buf), ERROR_FILE_NOT_FOUND) << r.legend;
    EXPECT_STREQ(buf, "0") << r.legend;
    ASSERT_EQ(r.set("Empty", ""), kSuccess) << r.legend;
    std::strcpy(buf, "stale");
    const uint32_t empty = r.get("Empty", buf, sizeof buf);
    EXPECT_NE(empty, kSuccess) << r.legend;
    EXPECT_NE(empty, kMoreData) << r.legend;
    EXPECT_STREQ(buf, "0") << r.legend;
    ASSERT_EQ(r.set("Ver", "3.2"), kSuccess) << r.legend;
    EXPECT_EQ(r.get("Ver", buf, sizeof buf), kSuccess) << r.legend;
    EXPECT_STREQ(buf, "3.2") << r.legend;
  }
}

TEST_F(ExportsTest, BufferTooSmallGives234AndATerminatedBuffer) {
  ASSERT_EQ(SetHVNAppOption(app_.c_str(), "BaudRate", "4800"), kSuccess);
  for (uint32_t size : {1u, 2u, 4u}) {
    GuardedBuffer buf(size);
    EXPECT_EQ(GetHVNAppOption(app_.c_str(), "BaudRate", buf.data(), size), kMoreData) << size;
    EXPECT_TRUE(buf.Terminated()) << size;
    EXPECT_TRUE(buf.GuardIntact()) << size;
  }
  GuardedBuffer fits(5);
  EXPECT_EQ(GetHVNAppOption(app_.c_str(), "BaudRate", fits.data(), 5), kSuccess);
  EXPECT_EQ(fits.Text(), "4800");
  EXPECT_TRUE(fits.GuardIntact());
}

TEST_F(ExportsTest, ZeroSizeOrNullArgumentsAreRejected) {
  ASSERT_EQ(SetHVNAppOption(app_.c_str(), "BaudRate", "4800"), kSuccess);
  GuardedBuffer none(0);
  EXPECT_EQ(GetHVNAppOption(app_.c_str(), "BaudRate", none.data(), 0), kInvalidParameter);
  EXPECT_TRUE(none.GuardIntact());
  EXPECT_EQ(GetHVNAppOption(app_.c_str(), "BaudRate", nullptr, 10), kInvalidParameter);
  char buf[16];
  EXPECT_EQ(GetHVNAppOption(nullptr, "BaudRate", buf, sizeof buf), kInvalidParameter);
  EXPECT_EQ(SetHVNAppOption(nullptr, "BaudRate", "1"), kInvalidParameter);
  EXPECT_EQ(SetHVNAppOption(app_.c_str(), "BaudRate", nullptr), kInvalidParameter);
  EXPECT_EQ(GetHVNAppOptions(app_.c_str(), nullptr), kInvalidParameter);
  EXPECT_EQ(GetExtensionDescription(nullptr, buf, sizeof buf), kInvalidParameter);
  EXPECT_EQ(ClassesRootKeyExists(nullptr), 0);
}

// Values of other types or without a terminator are never read past the buffer and never left
// unterminated in it.
TEST_F(ExportsTest, OddStoredDataNeverOverrunsTheBuffer) {
  const DWORD dword = 0x44434241;  // "ABCD" with no zero byte
  StoreRaw("Dword", REG_DWORD, &dword, sizeof dword);
  const DWORD small = 0x31;  // "1" then zeros
  StoreRaw("SmallDword", REG_DWORD, &small, sizeof small);
  StoreRaw("Unterminated", REG_SZ, "abc", 3);
  StoreRaw("UnterminatedBinary", REG_BINARY, "xyz", 3);
  const std::string huge(200000, 'h');
  StoreRaw("Huge", REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() + 1));
  StoreRaw("HugeBinary", REG_BINARY, huge.data(), static_cast<DWORD>(huge.size()));
  StoreRaw("Multi", REG_MULTI_SZ, "a\0b\0\0", 5);
  StoreRaw("ZeroBytes", REG_SZ, "", 0);

  struct Case {
    const char* name;
    uint32_t size;
  };
  for (const Case& c :
       {Case{"Dword", 255}, Case{"Dword", 4}, Case{"Dword", 3}, Case{"Unterminated", 255},
        Case{"Unterminated", 3}, Case{"UnterminatedBinary", 255}, Case{"UnterminatedBinary", 3},
        Case{"Huge", 255}, Case{"HugeBinary", 255}, Case{"ZeroBytes", 255}, Case{"Multi", 255},
        Case{"SmallDword", 255}}) {
    GuardedBuffer buf(c.size);
    const uint32_t rc = GetHVNAppOption(app_.c_str(), c.name, buf.data(), c.size);
    EXPECT_TRUE(buf.Terminated()) << c.name << " " << c.size;
    EXPECT_TRUE(buf.GuardIntact()) << c.name << " " << c.size;
    const std::string name = c.name;
    if (name == "Multi") {
      EXPECT_EQ(rc, kSuccess);
      EXPECT_EQ(buf.Text(), "a");
    } else if (name == "SmallDword") {
      EXPECT_EQ(rc, kSuccess);
      EXPECT_EQ(buf.Text(), "1");
    } else if (name == "ZeroBytes") {
      EXPECT_EQ(rc, ERROR_FILE_NOT_FOUND);
    } else if (name == "Unterminated" && c.size > 3) {
      // Windows hands back the three bytes as stored (not a terminated string: 234); Wine
      // keeps REG_SZ data as UTF-16 and adds the zero when converting, which makes it one.
      EXPECT_EQ(rc, RawHasTerminator(c.name) ? kSuccess : kMoreData);
      if (rc == kSuccess) {
        EXPECT_EQ(buf.Text(), "abc");
      }
    } else {
      EXPECT_EQ(rc, kMoreData) << c.name << " " << c.size << " read '" << buf.Text() << "'";
    }
  }
}

TEST_F(ExportsTest, OverlongKeyPathsFailWithoutTouchingTheRegistry) {
  const std::string longApp(260 - std::strlen(kCompanyRoot), 'a');  // one character too long
  char buf[32] = "stale";
  EXPECT_EQ(GetHVNAppOption(longApp.c_str(), "K", buf, sizeof buf), kPathTooLong);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(SetHVNAppOption(longApp.c_str(), "K", "v"), kPathTooLong);
  EXPECT_EQ(GetHVNMachineOption(longApp.c_str(), "K", buf, sizeof buf), kPathTooLong);
  EXPECT_STREQ(buf, "0");
  EXPECT_EQ(SetHVNMachineOption(longApp.c_str(), "K", "v"), kPathTooLong);
  EXPECT_EQ(GetHVNAppLatestVer(longApp.c_str(), "K", buf, sizeof buf), kPathTooLong);
  EXPECT_EQ(GetHVNSupportedFormats(longApp.c_str(), buf, sizeof buf), kPathTooLong);
  uint32_t word = 7;
  EXPECT_EQ(GetHVNAppOptions(longApp.c_str(), &word), kPathTooLong);
  EXPECT_EQ(SetHVNAppOptions(longApp.c_str(), &word), kPathTooLong);
  EXPECT_EQ(word, 7u);
  const std::string longPath = "Software\\" + std::string(100000, 'p');
  EXPECT_EQ(GetCurrentUserKey(longPath.c_str(), "K", buf, sizeof buf), kPathTooLong);
  EXPECT_EQ(SetCurrentUserKey(longPath.c_str(), "K", "v"), kPathTooLong);
  EXPECT_EQ(GetApplicationPath(longPath.c_str(), buf, sizeof buf), kPathTooLong);
  EXPECT_EQ(ClassesRootKeyExists(longPath.c_str()), 0);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kCompanyRoot) + longApp));

  // The longest path that fits is used as it is.
  const std::string fitsApp = UniqueName("L");
  const std::string fitsPath = "Software\\" + fitsApp + std::string(259 - 9 - fitsApp.size(), 'q');
  ASSERT_EQ(fitsPath.size(), 259u);
  EXPECT_EQ(SetCurrentUserKey(fitsPath.c_str(), "K", "v"), kSuccess);
  EXPECT_EQ(GetCurrentUserKey(fitsPath.c_str(), "K", buf, sizeof buf), kSuccess);
  EXPECT_STREQ(buf, "v");
  DeleteTree(HKEY_CURRENT_USER, fitsPath);
}

TEST_F(ExportsTest, AppOptionsWordIsAFourByteDword) {
  uint32_t word = 0xA5A50001;
  EXPECT_EQ(SetHVNAppOptions(app_.c_str(), &word), kSuccess);
  uint32_t back = 0;
  EXPECT_EQ(GetHVNAppOptions(app_.c_str(), &back), kSuccess);
  EXPECT_EQ(back, 0xA5A50001u);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, appKey_.c_str(), 0, KEY_QUERY_VALUE, &key),
            ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Options", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 4u);

  // A text or wrong-size value under "Options" is not taken as a word.
  StoreRaw("Options", REG_SZ, "12", 3);
  back = 99;
  EXPECT_EQ(GetHVNAppOptions(app_.c_str(), &back), kInvalidData);
  EXPECT_EQ(back, 99u);
  const uint64_t wide = 1;
  StoreRaw("Options", REG_QWORD, &wide, sizeof wide);
  EXPECT_EQ(GetHVNAppOptions(app_.c_str(), &back), kMoreData);
  EXPECT_EQ(back, 99u);
}

TEST_F(ExportsTest, MachineWideValuesRoundTrip) {
  char buf[64];
  ASSERT_EQ(SetHVNMachineOption(app_.c_str(), "Licence", "abc"), kSuccess);
  EXPECT_EQ(GetHVNMachineOption(app_.c_str(), "Licence", buf, sizeof buf), kSuccess);
  EXPECT_STREQ(buf, "abc");
  // The per-user key of the same application is a different place.
  EXPECT_EQ(GetHVNAppOption(app_.c_str(), "Licence", buf, sizeof buf), ERROR_FILE_NOT_FOUND);

  const std::string mail = UniqueName("Mail");
  std::string address = "someone@halvorn.example";
  ASSERT_EQ(SetHVNEmailAddress(mail.c_str(), address.data()), kSuccess);
  EXPECT_EQ(GetHVNEmailAddress(mail.c_str(), buf, sizeof buf), kSuccess);
  EXPECT_STREQ(buf, address.c_str());
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCompanyRoot, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  RegDeleteValueA(key, mail.c_str());
  RegCloseKey(key);

  EXPECT_EQ(GetHVNSupportedFormats(app_.c_str(), buf, sizeof buf), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, appKey_));
}

// The company-wide values share "Software\Halvorn\" under HKEY_LOCAL_MACHINE; each is restored
// to its previous state afterwards.
TEST_F(ExportsTest, CompanyValuesRoundTrip) {
  struct Saved {
    const char* name;
    std::string text;
    bool present;
  };
  Saved saved[] = {{"DataBasePath", "", false}, {"Website", "", false}};
  HKEY root = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCompanyRoot, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &root, nullptr),
            ERROR_SUCCESS);
  for (Saved& s : saved) {
    char old[512] = {};
    DWORD size = sizeof old - 1;
    s.present = RegQueryValueExA(root, s.name, nullptr, nullptr, reinterpret_cast<BYTE*>(old),
                                 &size) == ERROR_SUCCESS;
    s.text = old;
    RegDeleteValueA(root, s.name);
  }
  char buf[64] = "stale";
  EXPECT_EQ(GetDorvaneDatPath(buf, sizeof buf), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetHVNWebSiteAddress(buf, sizeof buf), ERROR_FILE_NOT_FOUND);
  std::string data = "D:\\Dorvane\\db";
  EXPECT_EQ(SetDorvaneDatPath(data.data()), kSuccess);
  EXPECT_EQ(SetHVNWebSiteAddress("https://www.halvorn.example/"), kSuccess);
  EXPECT_EQ(GetDorvaneDatPath(buf, sizeof buf), kSuccess);
  EXPECT_EQ(std::string(buf), data);
  EXPECT_EQ(GetHVNWebSiteAddress(buf, sizeof buf), kSuccess);
  EXPECT_STREQ(buf, "https://www.halvorn.example/");
  EXPECT_EQ(GetHVNWebSiteAddress(buf, 10), kMoreData);
  for (const Saved& s : saved) {
    RegDeleteValueA(root, s.name);
    if (s.present) {
      RegSetValueExA(root, s.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(s.text.c_str()),
                     static_cast<DWORD>(s.text.size() + 1));
    }
  }
  RegCloseKey(root);
}

// With no product selected the option store passes an empty application name: the options are
// then values of "Software\Halvorn\" itself.
TEST_F(ExportsTest, EmptyApplicationNameAddressesTheCompanyKey) {
  const std::string name = UniqueName("Option");
  char buf[32];
  ASSERT_EQ(SetHVNAppOption("", name.c_str(), "x"), kSuccess);
  EXPECT_EQ(GetHVNAppOption("", name.c_str(), buf, sizeof buf), kSuccess);
  EXPECT_STREQ(buf, "x");
  EXPECT_EQ(GetCurrentUserKey("Software\\Halvorn", name.c_str(), buf, sizeof buf), kSuccess);
  EXPECT_STREQ(buf, "x");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Halvorn", 0, KEY_SET_VALUE, &key),
            ERROR_SUCCESS);
  RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
}

TEST_F(ExportsTest, CurrentUserKeyUsesTheCallersPath) {
  const std::string path = "Software\\" + UniqueName("PelmoraTestPath");
  char buf[32];
  EXPECT_EQ(SetCurrentUserKey(path.c_str(), "Name", "value"), kSuccess);
  EXPECT_EQ(GetCurrentUserKey(path.c_str(), "Name", buf, sizeof buf), kSuccess);
  EXPECT_STREQ(buf, "value");
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, path));
  DeleteTree(HKEY_CURRENT_USER, path);
}

TEST_F(ExportsTest, ApplicationPathLookupNeverCreatesAKey) {
  const std::string exe = UniqueName("pelmoratest") + ".exe";
  const std::string entry = std::string(kAppPathsRoot) + exe;
  char buf[MAX_PATH] = "stale";
  EXPECT_EQ(GetApplicationPath(exe.c_str(), buf, sizeof buf), ERROR_FILE_NOT_FOUND);
  EXPECT_STREQ(buf, "");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, entry));

  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, entry.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const char path[] = "C:\\Tools\\pelmoratest.exe";
  ASSERT_EQ(
      RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path),
      ERROR_SUCCESS);
  RegCloseKey(key);
  // The entry is opened for querying only, so granting access fails at reading its list.
  std::fflush(stdout);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(GetApplicationPath(exe.c_str(), buf, sizeof buf), kSuccess);
  std::fflush(stdout);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error 5:RegGetKeySecurity\n");
  EXPECT_STREQ(buf, path);
  DeleteTree(HKEY_LOCAL_MACHINE, entry);
}

TEST_F(ExportsTest, ClassesRootKeyExistsNeverCreates) {
  const std::string missing = UniqueName(".pmtmissing");
  EXPECT_EQ(ClassesRootKeyExists(missing.c_str()), 0);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, missing));
  EXPECT_EQ(ClassesRootKeyExists(""), 1);  // the root itself
}

TEST_F(ExportsTest, ExtensionDescriptionFollowsTheClassKey) {
  const std::string ext = UniqueName(".pmt");
  const std::string cls = UniqueName("PelmoraTest.File");
  const auto setDefault = [](const std::string& path, const char* text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>(std::strlen(text) + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
  };
  char buf[64] = "stale";
  EXPECT_EQ(GetExtensionDescription(ext.c_str(), buf, sizeof buf), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ext));

  setDefault(ext, "");
  EXPECT_NE(GetExtensionDescription(ext.c_str(), buf, sizeof buf), kSuccess);
  setDefault(ext, cls.c_str());
  EXPECT_EQ(GetExtensionDescription(ext.c_str(), buf, sizeof buf), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, cls));
  setDefault(cls, "Pelmora test file");
  EXPECT_EQ(GetExtensionDescription(ext.c_str(), buf, sizeof buf), kSuccess);
  EXPECT_STREQ(buf, "Pelmora test file");
  EXPECT_EQ(GetExtensionDescription(ext.c_str(), buf, 5), kMoreData);
  EXPECT_EQ(ClassesRootKeyExists(ext.c_str()), 1);
  DeleteTree(HKEY_CLASSES_ROOT, ext);
  DeleteTree(HKEY_CLASSES_ROOT, cls);
}

}  // namespace
}  // namespace hvnreg32
