// The fix server's life in the program: its four options in the option store, the Options menu
// entry "Share Fix on &Network" that turns it on and off (and stores FixServer), the epoch the
// poll cycle hands over, and the close at the end. The main form owns one and calls:
//   FormCreate                 -> Load()          (messages to show, check mark = Checked())
//   the menu entry             -> Toggle()        (messages to show, check mark = Checked())
//   every epoch read           -> Publish(epoch, sentences)
//   FormClose                  -> Shutdown()
// Portable: the server's sockets and the store's back end come from outside.
#pragma once

#include <string>
#include <vector>

#include <string_view>

#include "app/net/FixServer.h"
#include "app/settings/OptionStore.h"
#include "navlib32/navlib32_epoch.h"

namespace pelmora::net {

// Option keys (rows of the option-key table).
inline constexpr const char* kOptFixServer = OptionNamed("FixServer").name;
inline constexpr const char* kOptFixServerNmeaPort = OptionNamed("FixServerNmeaPort").name;
inline constexpr const char* kOptFixServerGpsdPort = OptionNamed("FixServerGpsdPort").name;
inline constexpr const char* kOptFixServerAddress = OptionNamed("FixServerAddress").name;

// Reads the options. A port outside 1..65535 or an address that is no IPv4 address ("localhost"
// counts as 127.0.0.1) falls back to its default, with a message naming the key and the value.
FixServerOptions LoadFixServerOptions(const OptionStore& store, std::vector<std::string>& problems);

class FixServerControl {
 public:
  FixServerControl(FixServer& server, const OptionStore& store) : server_(server), store_(store) {}

  // Reads the options and starts the server when FixServer is 1.
  std::vector<std::string> Load();
  // Turns sharing on (re-reading the options) or off, and stores FixServer.
  std::vector<std::string> Toggle();
  // The menu entry's check mark: sharing is on (even if a port could not be opened).
  bool Checked() const { return on_; }
  // Publishes an epoch read after a poll with the receiver's sentences read with it. Nothing
  // while sharing is off (the reader has drained the sentences all the same, so that turning it
  // on does not send a backlog).
  void Publish(const Epoch& epoch, std::string_view sentences);
  // Closes every client and the listeners; the stored option is left as it is.
  void Shutdown();

 private:
  std::vector<std::string> StartServer();

  FixServer& server_;
  const OptionStore& store_;
  bool on_ = false;
};

}  // namespace pelmora::net
