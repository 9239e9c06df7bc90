// The client link's connect toggle, sends and failure counting.
#include "app/dde/ClientLink.h"

namespace pelmora::dde {

LinkState ClientLink::State() const {
  if (linkOpen_ == 0) return LinkState::Down;
  return transport_.HasConversation() ? LinkState::Up : LinkState::Stale;
}

void ClientLink::Toggle() {
  if (linkOpen_ != 0) {
    transport_.Close();
    ui_.SetConnectChecked(false);
    linkOpen_ = 0;
    return;
  }
  linkOpen_ = 0;
  if (Open()) {
    linkOpen_ = 1;
    failedSends_ = 0;
    ui_.SetConnectChecked(true);
  } else {
    ui_.SetConnectChecked(false);
    ui_.ShowLinkFailed();
  }
}

bool ClientLink::Open() {
  transport_.Close();  // a conversation left over from the Stale state
  // The GIS may not be running: start it and try once more as soon as it has started.
  if (transport_.Connect() || (transport_.StartPeer() && transport_.Connect())) return true;
  transport_.Close();
  return false;
}

void ClientLink::Close() {
  transport_.Close();
  linkOpen_ = 0;
}

bool ClientLink::SendLinkCommand(const std::string& text) {
  return transport_.HasConversation() && transport_.Execute(text);
}

void ClientLink::SendModeCommand(const std::string& command) {
  if (linkOpen_ != 0) SendLinkCommand(command);
}

void ClientLink::SendUpdate(const FixQuantities& fix) {
  if (linkOpen_ == 0 || givingUp_) return;
  if (SendLinkCommand(ComposeUpdateCommand(fix))) {
    failedSends_ = 0;
    return;
  }
  ++failedSends_;
  if (failedSends_ > kMaxFailedSends) GiveUp();
}

void ClientLink::GiveUp() {
  // The message box runs a nested message loop in which update steps keep falling due.
  struct GivingUp {
    bool& flag;
    explicit GivingUp(bool& f) : flag(f) { flag = true; }
    ~GivingUp() { flag = false; }
  };
  {
    GivingUp scope(givingUp_);
    ui_.ShowLinkGivenUp();
  }
  transport_.Close();
  ui_.SetConnectChecked(false);
  linkOpen_ = 0;
}

}  // namespace pelmora::dde
