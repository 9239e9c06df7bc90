// An in-memory option back end that behaves like hvnreg32's two exports: empty and missing
// values fail, a value that does not fit the size fails with 234, and every call is recorded.
#pragma once

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/settings/OptionStore.h"

namespace pelmora::test {

constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kMoreData = 234;

class FakeOptionBackend : public OptionBackend {
 public:
  uint32_t GetHVNAppOption(const char* app, const char* name, char* buf, uint32_t size) override {
    reads.emplace_back(app, name);
    lastReadSize = size;
    if (failAllWith) return *failAllWith;
    const auto it = values.find({app, name});
    if (it == values.end() || it->second.empty()) return kFileNotFound;
    if (it->second.size() + 1 > size) return kMoreData;
    std::memcpy(buf, it->second.c_str(), it->second.size() + 1);
    return kRegSuccess;
  }

  uint32_t SetHVNAppOption(const char* app, const char* name, const char* value) override {
    writes.emplace_back(name, value);
    if (failAllWith) return *failAllWith;
    values[{app, name}] = value;
    return kRegSuccess;
  }

  std::map<std::pair<std::string, std::string>, std::string> values;
  std::vector<std::pair<std::string, std::string>> reads;   // app, name
  std::vector<std::pair<std::string, std::string>> writes;  // name, value
  std::optional<uint32_t> failAllWith;                      // every call fails with this code
  uint32_t lastReadSize = 0;
};

}  // namespace pelmora::test
