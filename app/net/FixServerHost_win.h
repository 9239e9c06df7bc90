// The fix server as the program owns it: Winsock sockets, their event window and the portable
// server, wired so that every socket event pumps the server.
#pragma once

#include "app/net/FixServer.h"
#include "app/net/WinsockSockets_win.h"

namespace pelmora::net {

class FixServerHost {
 public:
  FixServerHost() : server_(sockets_, &SystemUtcIso) {
    sockets_.SetEventHandler([this] { server_.Pump(); });
  }
  FixServer& server() { return server_; }

 private:
  WinsockSockets sockets_;  // outlives the server, which closes its sockets when destroyed
  FixServer server_;
};

}  // namespace pelmora::net
