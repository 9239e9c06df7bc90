// NetSockets in memory for the fix server tests.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/net/NetSockets.h"

namespace pelmora::net::testing {

// Sockets in memory: listeners hold waiting connections; each connection has the bytes the peer
// sent and the bytes it received, and a window the peer leaves for more (a slow reader).
class FakeSockets final : public NetSockets {
 public:
  struct Conn {
    std::string in;   // sent by the peer, not yet received by the server
    std::string out;  // what the peer received
    std::size_t window = SIZE_MAX;
    bool peerClosed = false;
    bool closed = false;  // closed by the server
  };

  std::set<uint16_t> busyPorts;
  std::map<SocketId, uint16_t> listeners;
  std::map<uint16_t, std::vector<SocketId>> waiting;
  std::map<SocketId, Conn> conns;

  SocketId Listen(const std::string&, uint16_t port, std::string& reason) override {
    if (busyPorts.count(port)) {
      reason = "the port is in use by another program";
      return kNoSocket;
    }
    const SocketId id = next_++;
    listeners[id] = port;
    return id;
  }
  IoResult Accept(SocketId listener, SocketId* client) override {
    auto& queue = waiting[listeners.at(listener)];
    if (queue.empty()) return IoResult::WouldBlock;
    *client = queue.front();
    queue.erase(queue.begin());
    return IoResult::Done;
  }
  IoResult Receive(SocketId s, char* buffer, std::size_t size, std::size_t* got) override {
    Conn& c = conns.at(s);
    *got = std::min(size, c.in.size());
    if (*got == 0) return c.peerClosed ? IoResult::Closed : IoResult::WouldBlock;
    c.in.copy(buffer, *got);
    c.in.erase(0, *got);
    return IoResult::Done;
  }
  IoResult Send(SocketId s, const char* data, std::size_t size, std::size_t* sent) override {
    Conn& c = conns.at(s);
    *sent = std::min(size, c.window);
    if (*sent == 0) return IoResult::WouldBlock;
    if (c.window != SIZE_MAX) c.window -= *sent;
    c.out.append(data, *sent);
    return IoResult::Done;
  }
  void Close(SocketId s) override {
    if (listeners.erase(s)) return;
    conns.at(s).closed = true;
  }

  SocketId Connect(uint16_t port) {
    const SocketId id = next_++;
    conns[id];
    waiting[port].push_back(id);
    return id;
  }
  // What the peer received since the last call.
  std::string Take(SocketId s) {
    std::string got;
    got.swap(conns.at(s).out);
    return got;
  }

 private:
  SocketId next_ = 100;
};

}  // namespace pelmora::net::testing
