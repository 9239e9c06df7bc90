// FixServer: listeners, clients, requests and publishing.
#include "app/net/FixServer.h"

#include <array>
#include <cmath>
#include <cstring>
#include <utility>

#include "app/net/NmeaWriter.h"

namespace pelmora::net {
namespace {

constexpr std::size_t kReadChunk = 4096;

const char* ListenerName(Listener kind) {
  return kind == Listener::Nmea ? "NMEA" : "gpsd";
}

}  // namespace

FixServer::FixServer(NetSockets& sockets, std::function<std::string()> nowIso)
    : sockets_(sockets), nowIso_(std::move(nowIso)) {}

FixServer::~FixServer() {
  Stop();
}

std::vector<std::string> FixServer::Start(const FixServerOptions& options) {
  Stop();
  std::vector<std::string> problems;
  const std::pair<Listener, uint16_t> wanted[] = {{Listener::Nmea, options.nmeaPort},
                                                  {Listener::Gpsd, options.gpsdPort}};
  for (const auto& [kind, port] : wanted) {
    std::string reason;
    const SocketId s = sockets_.Listen(options.address, port, reason);
    if (s == kNoSocket) {
      problems.push_back("The fix cannot be shared on port " + std::to_string(port) + " (" +
                         ListenerName(kind) + ") of " + options.address + ": " + reason +
                         ". Pelmora goes on without it.");
      continue;
    }
    listeners_.push_back({s, kind});
  }
  device_ = GpsdDevice{nowIso_(), {}};
  haveLast_ = false;
  lastTpv_.clear();
  lastSky_.clear();
  return problems;
}

void FixServer::Stop() {
  for (auto& client : clients_) {
    Flush(*client);
    sockets_.Close(client->socket());
  }
  clients_.clear();
  for (const ListenerSocket& l : listeners_)
    sockets_.Close(l.socket);
  listeners_.clear();
}

void FixServer::Publish(const FixEpoch& epoch) {
  if (!Running()) return;
  // A new epoch: the receiver sent sentences, or (TSIP) the record changed.
  const bool fresh = epoch.receiverSpeaksNmea
                         ? !epoch.sentences.empty()
                         : !haveLast_ || std::memcmp(&last_, &epoch.fix, sizeof last_) != 0;
  last_ = epoch.fix;
  haveLast_ = true;
  const bool data = fresh && HoldsData(epoch.fix);
  if (!fresh) return;
  device_.driver = epoch.receiverSpeaksNmea ? "NMEA0183" : "TSIP";

  const std::optional<CivilDate>& date = epoch.date;
  const std::vector<SkySatellite>& sats = epoch.satellites;

  std::string nmea;
  if (epoch.receiverSpeaksNmea)
    nmea.assign(epoch.sentences);
  else if (data)
    nmea = WriteNmeaEpoch(epoch.fix, date, sats);
  std::string json;
  if (data) {
    ++counters_.epochs;
    lastTpv_ = TpvObject(epoch.fix, date);
    json = lastTpv_ + "\r\n";
    if ((epoch.fix.validFlags & (kValidGeometry | kValidSignal)) != 0) {
      lastSky_ = SkyObject(epoch.fix, date, sats);
      json += lastSky_ + "\r\n";
    }
  }
  for (auto& client : clients_) {
    if (client->WantsNmea() && !nmea.empty()) client->Queue(nmea);
    if (client->WantsJson() && !json.empty()) client->Queue(json);
  }
  // Only sending here: connections and requests are taken when their sockets report them.
  for (auto& client : clients_)
    Flush(*client);
  CloseDropped();
}

void FixServer::Pump() {
  for (const ListenerSocket& l : listeners_)
    AcceptAll(l);
  for (auto& client : clients_) {
    Read(*client);
    Flush(*client);
  }
  CloseDropped();
}

void FixServer::CloseDropped() {
  std::erase_if(clients_, [this](const std::unique_ptr<FixClient>& c) {
    if (!c->Dropped()) return false;
    if (c->Overflowed()) ++counters_.droppedSlow;
    sockets_.Close(c->socket());
    return true;
  });
}

void FixServer::AcceptAll(const ListenerSocket& l) {
  for (;;) {
    SocketId s = kNoSocket;
    if (sockets_.Accept(l.socket, &s) != IoResult::Done) return;
    if (clients_.size() >= kMaxClients) {
      // Refused cleanly: a gpsd client is told why before the close.
      ++counters_.refused;
      if (l.kind == Listener::Gpsd) {
        const std::string why = ErrorReport("Too many clients");
        std::size_t sent = 0;
        sockets_.Send(s, why.data(), why.size(), &sent);
      }
      sockets_.Close(s);
      continue;
    }
    ++counters_.accepted;
    auto client = std::make_unique<FixClient>(s, l.kind);
    if (l.kind == Listener::Gpsd) client->Queue(VersionReport());
    clients_.push_back(std::move(client));
  }
}

void FixServer::Read(FixClient& client) {
  std::array<char, kReadChunk> buffer;
  std::vector<GpsdCommand> commands;
  for (std::size_t total = 0; total < kReadBudget && !client.Dropped();) {
    std::size_t got = 0;
    const IoResult r = sockets_.Receive(client.socket(), buffer.data(), buffer.size(), &got);
    if (r == IoResult::WouldBlock) return;
    if (r != IoResult::Done || got == 0) {
      client.Drop();  // closed or broken
      return;
    }
    total += got;
    // NMEA clients have nothing to say; what they send is read and forgotten.
    if (client.listener() != Listener::Gpsd) continue;
    commands.clear();
    client.reader().Feed(std::string_view(buffer.data(), got), commands);
    for (const GpsdCommand& c : commands)
      Answer(client, c);
    if (client.reader().Overflowed()) {
      ++counters_.droppedFlood;
      client.Drop();
    }
  }
}

void FixServer::Answer(FixClient& client, const GpsdCommand& c) {
  if (c.junk) {
    client.Queue(ErrorReport("Unrecognized request '" + c.argument + "'"));
  } else if (c.name == "VERSION") {
    client.Queue(VersionReport());
  } else if (c.name == "WATCH") {
    if (!c.argument.empty()) {
      if (auto problem = ApplyWatch(c.argument, client.watch())) {
        client.Queue(ErrorReport("Invalid WATCH: " + *problem));
        return;
      }
      if (client.watch().enable) client.Queue(DevicesReport(device_));
    }
    client.Queue(WatchReport(client.watch()));
  } else if (c.name == "POLL") {
    client.Queue(PollReport(nowIso_(), lastTpv_, lastSky_));
  } else if (c.name == "DEVICES") {
    client.Queue(DevicesReport(device_));
  } else if (c.name == "DEVICE" && c.argument.empty()) {
    client.Queue(DeviceReport(device_));
  } else if (c.name == "DEVICE") {
    client.Queue(ErrorReport("Device settings cannot be changed"));
  } else {
    client.Queue(ErrorReport("Unrecognized request '?" + c.name + "'"));
  }
}

void FixServer::Flush(FixClient& client) {
  if (client.Dropped()) return;
  while (!client.Pending().empty()) {
    const std::string_view pending = client.Pending();
    std::size_t sent = 0;
    const IoResult r = sockets_.Send(client.socket(), pending.data(), pending.size(), &sent);
    if (r == IoResult::WouldBlock) return;
    if (r != IoResult::Done) {
      client.Drop();
      return;
    }
    client.Sent(sent);
  }
}

}  // namespace pelmora::net
