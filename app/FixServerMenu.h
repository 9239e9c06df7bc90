// "Share Fix on &Network": the menu entry of the fix server, its check mark and its messages,
// and the server's place among the epoch feed's consumers. Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/EpochFeed.h"
#include "app/MainFormHost.h"
#include "app/ui/Form.h"

namespace pelmora {

namespace net {
class FixServerControl;
}

class FixServerMenu final : public EpochConsumer {
 public:
  FixServerMenu(ui::Form& form, MainFormHost& host) : form_(form), host_(host) {}

  // The fix server the entry controls; null for none (the entry then does nothing).
  void Attach(net::FixServerControl* control) { control_ = control; }
  // FormCreate: starts the server when FixServer is stored as 1 and sets the check mark.
  void Load();
  // Turns the fix server on or off and stores FixServer.
  void OptionsShareFix_Click();
  // FormClose: closes every client and the listeners.
  void Shutdown();

  // Hands every epoch read to the fix server.
  void OnEpoch(const Epoch& epoch, std::string_view sentences) override;

 private:
  // Shows the fix server's messages (ports that could not be opened, odd options) in one box.
  void ShowProblems(const std::vector<std::string>& problems);

  ui::Form& form_;
  MainFormHost& host_;
  net::FixServerControl* control_ = nullptr;
};

}  // namespace pelmora
