// One connected client of the fix server: which listener it came through, what it asked for
// (gpsd clients: the WATCH policy), its partial request and its output queue. The queue is
// bounded: a client that does not read what it asked for is dropped rather than waited for.
// Portable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/net/GpsdCommands.h"
#include "app/net/NetSockets.h"

namespace pelmora::net {

enum class Listener { Nmea, Gpsd };

class FixClient {
 public:
  // Bytes queued for a client at most: about half a minute of JSON reports with a full sky.
  static constexpr std::size_t kMaxQueued = 64 * 1024;

  FixClient(SocketId socket, Listener listener) : socket_(socket), listener_(listener) {}

  SocketId socket() const { return socket_; }
  Listener listener() const { return listener_; }
  WatchPolicy& watch() { return watch_; }
  CommandReader& reader() { return reader_; }

  // Appends to the queue; past kMaxQueued the client is marked for dropping and the bytes are
  // discarded.
  void Queue(std::string_view bytes);
  std::string_view Pending() const { return std::string_view(out_).substr(sent_); }
  void Sent(std::size_t n);

  bool Dropped() const { return dropped_; }
  // Dropped because the queue overflowed (the client does not read).
  bool Overflowed() const { return overflowed_; }
  void Drop() { dropped_ = true; }

  bool WantsNmea() const { return listener_ == Listener::Nmea || watch_.WantsNmea(); }
  bool WantsJson() const { return listener_ == Listener::Gpsd && watch_.WantsJson(); }

 private:
  SocketId socket_;
  Listener listener_;
  WatchPolicy watch_;
  CommandReader reader_;
  std::string out_;
  std::size_t sent_ = 0;
  bool dropped_ = false;
  bool overflowed_ = false;
};

}  // namespace pelmora::net
