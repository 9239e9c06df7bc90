// The few socket operations the fix server needs, behind an interface: Winsock in
// WinsockSockets_win.cpp, a fake in the tests. Every operation returns at once (non-blocking
// sockets); nothing here waits. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pelmora::net {

using SocketId = std::intptr_t;
constexpr SocketId kNoSocket = -1;

enum class IoResult {
  Done,        // some bytes moved (or, for Accept, a connection was taken)
  WouldBlock,  // nothing to do now
  Closed,      // the peer closed its side
  Failed,      // the connection broke
};

class NetSockets {
 public:
  virtual ~NetSockets() = default;
  // A listening socket on an IPv4 address ("127.0.0.1", "0.0.0.0") and port; kNoSocket with a
  // short reason ("address in use", ...) on failure.
  virtual SocketId Listen(const std::string& address, uint16_t port, std::string& reason) = 0;
  // Done with the new connection in *client; WouldBlock when none waits.
  virtual IoResult Accept(SocketId listener, SocketId* client) = 0;
  virtual IoResult Receive(SocketId socket, char* buffer, std::size_t size, std::size_t* got) = 0;
  virtual IoResult Send(SocketId socket, const char* data, std::size_t size, std::size_t* sent) = 0;
  // Ends the connection: what was sent is still delivered, then the peer sees the close.
  virtual void Close(SocketId socket) = 0;
};

}  // namespace pelmora::net
