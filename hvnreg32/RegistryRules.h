// The registry library's portable rules: result codes, key paths built with a length check, and
// the termination and classification of a text read into a caller's buffer. No Win32 here, so
// the rules are tested natively.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hvnreg32 {

constexpr uint32_t kSuccess = 0x20000000;
// Win32 codes the rules produce themselves (same values as the platform's).
constexpr uint32_t kFileNotFound = 2;       // a value present but empty counts as missing
constexpr uint32_t kInvalidData = 13;       // an option word of the wrong type or size
constexpr uint32_t kInvalidParameter = 87;  // a null text or buffer, or a zero-size buffer
constexpr uint32_t kPathTooLong = 206;      // ERROR_FILENAME_EXCED_RANGE: key path over 259 chars
constexpr uint32_t kMoreData = 234;         // ERROR_MORE_DATA
constexpr uint32_t kInternalError = 1359;   // an unexpected failure caught at an export

// Key paths are held in a 260-byte buffer, terminator included.
constexpr std::size_t kKeyPathSize = 260;

constexpr const char* kCompanyRoot = "Software\\Halvorn\\";
constexpr const char* kAppPathsRoot = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// Writes first followed by second into out[kKeyPathSize]. Returns kSuccess, kInvalidParameter
// for a null part, or kPathTooLong when the result does not fit (out is then empty text).
uint32_t BuildKeyPath(char (&out)[kKeyPathSize], const char* first, const char* second = "");

// A key path built once by BuildKeyPath, with the result of building it.
class KeyPath {
 public:
  explicit KeyPath(const char* first, const char* second = "")
      : status_(BuildKeyPath(text_, first, second)) {}
  bool ok() const { return status_ == kSuccess; }
  uint32_t status() const { return status_; }
  const char* c_str() const { return text_; }

 private:
  char text_[kKeyPathSize];
  uint32_t status_;
};

// Classifies a text read that succeeded after writing `reported` bytes into buf[size]
// (size >= 1), and leaves buf terminated within its size whatever the data was:
// empty text -> kFileNotFound; text longer than reported - 1 (no terminator among the reported
// bytes, e.g. non-text data or a string stored without its zero) -> kMoreData; else kSuccess.
uint32_t FinishTextRead(char* buf, uint32_t size, uint32_t reported);

// After a "0"-when-empty read: writes "0" into buf when it holds empty text and has room.
void ZeroWhenEmpty(char* buf, uint32_t size);

}  // namespace hvnreg32
