// FixServerControl and the fix server's options.
#include "app/net/FixServerControl.h"

#include <charconv>

namespace pelmora::net {
namespace {

bool IsIpv4(const std::string& text) {
  int parts = 0;
  std::size_t pos = 0;
  while (pos <= text.size() && parts < 4) {
    int value = -1;
    const char* first = text.data() + pos;
    const char* last = text.data() + text.size();
    const auto r = std::from_chars(first, last, value);
    if (r.ec != std::errc() || value < 0 || value > 255 || r.ptr - first > 3) return false;
    pos = static_cast<std::size_t>(r.ptr - text.data());
    ++parts;
    if (parts < 4) {
      if (pos >= text.size() || text[pos] != '.') return false;
      ++pos;
    }
  }
  return parts == 4 && pos == text.size();
}

uint16_t Port(const OptionStore& store, const char* key, uint16_t fallback,
              std::vector<std::string>& problems) {
  const int32_t value = store.ReadOptionInt(key, fallback);
  if (value >= 1 && value <= 65535) return static_cast<uint16_t>(value);
  problems.push_back(std::string(key) + " " + std::to_string(value) +
                     " is no port number (1 to 65535); " + std::to_string(fallback) + " is used.");
  return fallback;
}

}  // namespace

FixServerOptions LoadFixServerOptions(const OptionStore& store,
                                      std::vector<std::string>& problems) {
  FixServerOptions o;
  o.enabled = store.ReadOptionInt(kOptFixServer, OptionDefault("FixServer")) == 1;
  o.nmeaPort = Port(store, kOptFixServerNmeaPort, o.nmeaPort, problems);
  o.gpsdPort = Port(store, kOptFixServerGpsdPort, o.gpsdPort, problems);
  const std::string fallback = o.address;
  std::string address = store.ReadOptionText(kOptFixServerAddress, fallback);
  if (address == "localhost") address = "127.0.0.1";
  if (!IsIpv4(address)) {
    problems.push_back(std::string(kOptFixServerAddress) + " \"" + address +
                       "\" is no IPv4 address; " + fallback + " is used.");
    address = fallback;
  }
  o.address = address;
  return o;
}

std::vector<std::string> FixServerControl::StartServer() {
  std::vector<std::string> problems;
  FixServerOptions options = LoadFixServerOptions(store_, problems);
  for (std::string& p : server_.Start(options))
    problems.push_back(std::move(p));
  return problems;
}

std::vector<std::string> FixServerControl::Load() {
  std::vector<std::string> problems;
  on_ = LoadFixServerOptions(store_, problems).enabled;
  if (!on_) return {};
  return StartServer();
}

std::vector<std::string> FixServerControl::Toggle() {
  on_ = !on_;
  store_.WriteOption(kOptFixServer, on_ ? "1" : "0");
  if (!on_) {
    server_.Stop();
    return {};
  }
  return StartServer();
}

void FixServerControl::Publish(const Epoch& epoch, std::string_view sentences) {
  if (!on_ || !server_.Running()) return;
  server_.Publish(FixEpochOf(epoch, sentences));
}

void FixServerControl::Shutdown() {
  server_.Stop();
}

}  // namespace pelmora::net
