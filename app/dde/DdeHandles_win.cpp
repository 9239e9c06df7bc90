// DDEML string handles and data access.
#include "app/dde/DdeHandles_win.h"

#include <atomic>
#include <utility>

namespace pelmora::dde {
namespace {

std::atomic<long> gAliveStrings{0};
constexpr DWORD kMaxQueriedString = 4096;

}  // namespace

DdeString::DdeString(DWORD instance, const std::string& text)
    : instance_(instance), hsz_(DdeCreateStringHandleA(instance, text.c_str(), CP_WINANSI)) {
  if (hsz_ != nullptr) ++gAliveStrings;
}

DdeString::DdeString(DdeString&& other) noexcept
    : instance_(other.instance_), hsz_(std::exchange(other.hsz_, nullptr)) {}

DdeString& DdeString::operator=(DdeString&& other) noexcept {
  if (this != &other) {
    Reset();
    instance_ = other.instance_;
    hsz_ = std::exchange(other.hsz_, nullptr);
  }
  return *this;
}

void DdeString::Reset() {
  if (hsz_ == nullptr) return;
  DdeFreeStringHandle(instance_, hsz_);
  hsz_ = nullptr;
  --gAliveStrings;
}

long DdeString::Alive() {
  return gAliveStrings.load();
}

std::string QueryDdeString(DWORD instance, HSZ hsz) {
  if (hsz == nullptr) return {};
  char text[kMaxQueriedString + 1] = {};
  const DWORD n = DdeQueryStringA(instance, hsz, text, kMaxQueriedString + 1, CP_WINANSI);
  return std::string(text, n > kMaxQueriedString ? kMaxQueriedString : n);
}

bool ReadDdeData(HDDEDATA data, std::string* bytes) {
  if (data == nullptr) return false;
  DWORD size = 0;
  const BYTE* p = DdeAccessData(data, &size);
  if (p == nullptr) return false;
  bytes->assign(reinterpret_cast<const char*>(p), size);
  DdeUnaccessData(data);
  return true;
}

}  // namespace pelmora::dde
