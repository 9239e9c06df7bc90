#include "app/SourceName.h"

namespace pelmora {
namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
  }
  return true;
}

}  // namespace

std::string ReplayName(std::string_view source) {
  const size_t separator = source.find_last_of("\\/:");
  std::string_view name =
      separator == std::string_view::npos ? source : source.substr(separator + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  std::string shown(name);
  for (char& c : shown)
    c = AsciiLower(c);
  return shown;
}

std::optional<std::string> PortOfDevicePath(std::string_view source) {
  if (!StartsWithNoCase(source, "\\\\.\\") && !StartsWithNoCase(source, "\\\\?\\")) return {};
  const std::string_view device = source.substr(4);
  if (!StartsWithNoCase(device, "COM") || device.size() == 3) return {};
  for (char c : device.substr(3)) {
    if (c < '0' || c > '9') return {};
  }
  return "COM" + std::string(device.substr(3));
}

}  // namespace pelmora
