// The fix server: shares every epoch the engine delivers with clients on two TCP listeners,
// NMEA 0183 sentences on one (10110 by default) and the gpsd JSON protocol on the other (2947).
// Runs on the GUI thread and never blocks: the sockets are non-blocking, Pump moves what can be
// moved now, and each client's output is bounded (FixClient). Portable: sockets come through
// NetSockets, the computer's UTC clock (for gpsd's "activated" and POLL times only; a fix's time
// is the receiver's) through a function.
//
// NMEA clients, and gpsd clients watching with "nmea" or "raw", get the receiver's own
// sentences unchanged when it speaks NMEA, else GGA, RMC, GSA, GSV and VTG written from the
// record. gpsd clients watching with "json" get TPV and SKY per epoch. Nothing is sent for an
// epoch that brought no data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/net/FixClient.h"
#include "app/net/FixEpoch.h"
#include "app/net/GpsdReports.h"
#include "app/net/NetSockets.h"
#include "app/settings/OptionKeys.h"

namespace pelmora::net {

// The options' defaults come from the option-key table.
struct FixServerOptions {
  bool enabled = OptionDefault("FixServer") == 1;
  std::string address = OptionNamed("FixServerAddress").defaultText;
  uint16_t nmeaPort = OptionDefault("FixServerNmeaPort");
  uint16_t gpsdPort = OptionDefault("FixServerGpsdPort");
};

struct FixServerCounters {
  uint64_t accepted = 0;
  uint64_t refused = 0;       // beyond kMaxClients
  uint64_t droppedSlow = 0;   // output queue full
  uint64_t droppedFlood = 0;  // request line too long
  uint64_t epochs = 0;        // epochs that brought data
};

class FixServer {
 public:
  static constexpr std::size_t kMaxClients = 64;
  // Bytes read from one client in one Pump at most, so that a flooding client cannot hold
  // the GUI thread; the rest waits for the next Pump.
  static constexpr std::size_t kReadBudget = 16 * 1024;

  // nowIso: the computer's UTC time as gpsd writes it ("2026-12-08T10:54:56.000Z").
  FixServer(NetSockets& sockets, std::function<std::string()> nowIso);
  ~FixServer();
  FixServer(const FixServer&) = delete;
  FixServer& operator=(const FixServer&) = delete;

  // Opens both listeners (a running server is stopped first). Returns one message per listener
  // that could not open, naming its port; the server runs with the other one.
  std::vector<std::string> Start(const FixServerOptions& options);
  // Closes every client (after a last attempt to send what is queued) and both listeners.
  void Stop();
  bool Running() const { return !listeners_.empty(); }

  // One epoch as the engine delivered it (Live, or Simulated while not paused); sent at once.
  void Publish(const FixEpoch& epoch);
  // Accepts, reads and answers requests, sends queued output, closes dropped clients.
  void Pump();

  std::size_t ClientCount() const { return clients_.size(); }
  const FixServerCounters& Counters() const { return counters_; }

 private:
  struct ListenerSocket {
    SocketId socket;
    Listener kind;
  };

  void AcceptAll(const ListenerSocket& listener);
  void Read(FixClient& client);
  void Answer(FixClient& client, const GpsdCommand& command);
  void Flush(FixClient& client);
  void CloseDropped();

  NetSockets& sockets_;
  std::function<std::string()> nowIso_;
  std::vector<ListenerSocket> listeners_;
  std::vector<std::unique_ptr<FixClient>> clients_;
  GpsdDevice device_;
  FixRecord last_{};  // the last record published, to tell a new epoch from a repeat
  bool haveLast_ = false;
  std::string lastTpv_;  // latest TPV and SKY objects, for POLL
  std::string lastSky_;
  FixServerCounters counters_;
};

}  // namespace pelmora::net
