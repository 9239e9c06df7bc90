// The settings primitives over hvnreg32's GetHVNAppOption/SetHVNAppOption. Portable: the
// registry side is behind OptionBackend (a Win32 implementation and test fakes).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pelmora {

constexpr uint32_t kRegSuccess = 0x20000000;

// The two hvnreg32 exports the program uses.
class OptionBackend {
 public:
  virtual ~OptionBackend() = default;
  virtual uint32_t GetHVNAppOption(const char* app, const char* name, char* buf, uint32_t size) = 0;
  virtual uint32_t SetHVNAppOption(const char* app, const char* name, const char* value) = 0;
};

class OptionStore {
 public:
  // app: the product name the options are stored under (GetProductName()).
  OptionStore(OptionBackend& backend, std::string app);

  std::string ReadOptionText(const std::string& key, const std::string& defaultValue) const;
  int32_t ReadOptionInt(const std::string& key, int32_t defaultValue) const;
  void WriteOption(const std::string& key, const std::string& value) const;

 private:
  // The stored text, or nothing when the read fails (the caller's default applies).
  std::optional<std::string> Read(const std::string& key) const;

  OptionBackend& backend_;
  std::string app_;
};

// The option text to integer conversion (leading blanks, sign, decimal or $/x/0x hex).
int32_t ConvertOptionInt(const std::string& text);

}  // namespace pelmora
