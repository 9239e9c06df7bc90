// DDEML string handles owned by RAII, their text, and a count of those alive for soak tests.
#pragma once

#include <windows.h>

#include <ddeml.h>

#include <string>

namespace pelmora::dde {

// A string handle made with DdeCreateStringHandle (CP_WINANSI) and freed with the owner.
class DdeString {
 public:
  DdeString() = default;
  DdeString(DWORD instance, const std::string& text);
  ~DdeString() { Reset(); }
  DdeString(DdeString&& other) noexcept;
  DdeString& operator=(DdeString&& other) noexcept;
  DdeString(const DdeString&) = delete;
  DdeString& operator=(const DdeString&) = delete;

  HSZ Get() const { return hsz_; }
  explicit operator bool() const { return hsz_ != nullptr; }
  void Reset();

  // String handles made by this program and not yet freed.
  static long Alive();

 private:
  DWORD instance_ = 0;
  HSZ hsz_ = nullptr;
};

// The text of a string handle (CP_WINANSI, at most 4096 characters); empty for a null handle.
std::string QueryDdeString(DWORD instance, HSZ hsz);

// The bytes of a data handle; false when it cannot be read.
bool ReadDdeData(HDDEDATA data, std::string* bytes);

}  // namespace pelmora::dde
