// Key path building and text read classification.
#include "hvnreg32/RegistryRules.h"

#include <cstring>

namespace hvnreg32 {

uint32_t BuildKeyPath(char (&out)[kKeyPathSize], const char* first, const char* second) {
  out[0] = '\0';
  if (first == nullptr || second == nullptr) return kInvalidParameter;
  const std::size_t firstLen = std::strlen(first);
  const std::size_t secondLen = std::strlen(second);
  if (firstLen >= kKeyPathSize || secondLen >= kKeyPathSize - firstLen) return kPathTooLong;
  std::memcpy(out, first, firstLen);
  std::memcpy(out + firstLen, second, secondLen);
  out[firstLen + secondLen] = '\0';
  return kSuccess;
}

uint32_t FinishTextRead(char* buf, uint32_t size, uint32_t reported) {
  if (reported > size) reported = size;
  if (reported < size) {
    buf[reported] = '\0';
  } else if (std::memchr(buf, '\0', size) == nullptr) {
    buf[size - 1] = '\0';
    return kMoreData;
  }
  const std::size_t length = std::strlen(buf);
  if (length == 0) return kFileNotFound;
  if (length + 1 > reported) return kMoreData;
  return kSuccess;
}

void ZeroWhenEmpty(char* buf, uint32_t size) {
  if (buf == nullptr || size < 2 || buf[0] != '\0') return;
  buf[0] = '0';
  buf[1] = '\0';
}

}  // namespace hvnreg32
