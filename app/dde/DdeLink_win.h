// The client link's conversation with the GIS on DDEML: service "MapInfo", topic
// "pelmora.mbx", asynchronous CF_TEXT executes, and WinExec to start the GIS.
#pragma once

#include <windows.h>

#include <ddeml.h>

#include <string>

#include "app/dde/ClientLink.h"
#include "app/dde/DdeHandles_win.h"

namespace pelmora::dde {

constexpr char kLinkService[] = "MapInfo";
constexpr char kLinkTopic[] = "pelmora.mbx";

class DdeLink : public LinkTransport {
 public:
  explicit DdeLink(DWORD instance) : instance_(instance) {}
  ~DdeLink() override { Close(); }
  DdeLink(const DdeLink&) = delete;
  DdeLink& operator=(const DdeLink&) = delete;

  bool Connect() override;
  bool StartPeer() override;
  bool Execute(const std::string& text) override;
  void Close() override;
  bool HasConversation() const override { return conv_ != nullptr && !ended_; }

  // XTYP_DISCONNECT: true when conv is the link's conversation, which the GIS has ended. The
  // handle stays until Close disconnects it, as DDEML keeps it for a reconnect.
  bool OnDisconnect(HCONV conv);

 private:
  DWORD instance_;
  DdeString service_;
  DdeString topic_;
  HCONV conv_ = nullptr;
  bool ended_ = false;
};

}  // namespace pelmora::dde
