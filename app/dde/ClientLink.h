// The client link to the GIS (MapInfo running pelmora.mbx): the Connect toggle, the mode
// commands, the update command with its failed-send counter, and the states Down, Up and Stale.
// DDEML is behind LinkTransport, the menu and message boxes behind LinkUi. Portable.
#pragma once

#include <cstdint>
#include <string>

#include "app/dde/FixQuantities.h"

namespace pelmora::dde {

// The conversation with the GIS: service "MapInfo", topic "pelmora.mbx", CF_TEXT executes.
class LinkTransport {
 public:
  virtual ~LinkTransport() = default;
  // One connect attempt; true when a conversation is open.
  virtual bool Connect() = 0;
  // Starts the GIS ("MapInfo pelmora.mbx", minimised and not activated); true when it started.
  virtual bool StartPeer() = 0;
  // Queues one execute of text and its NUL without waiting; false when it was not started
  // (no conversation, or DDEML refused it).
  virtual bool Execute(const std::string& text) = 0;
  // Ends the conversation if there is one and forgets service and topic; sends nothing.
  virtual void Close() = 0;
  // False before a connect, after Close and after the GIS ended the conversation.
  virtual bool HasConversation() const = 0;
};

// What the link shows the user.
class LinkUi {
 public:
  virtual ~LinkUi() = default;
  // The check mark of OptionsConnectServer.
  virtual void SetConnectChecked(bool checked) = 0;
  // Resource string 29 in an information box; returns when it is closed.
  virtual void ShowLinkFailed() = 0;
  // Resource string 48 in an error box; returns when it is closed.
  virtual void ShowLinkGivenUp() = 0;
};

enum class LinkState {
  Down,   // link-open flag 0, no conversation
  Up,     // flag 1, conversation open
  Stale,  // flag 1, the GIS ended the conversation
};

// Consecutive failed update sends after which the link is given up (the sixteenth).
constexpr int32_t kMaxFailedSends = 15;

class ClientLink {
 public:
  ClientLink(LinkTransport& transport, LinkUi& ui) : transport_(transport), ui_(ui) {}

  // OptionsConnectServer_Click: closes the link when the flag is set, else opens it (with one
  // start of the GIS and a second try when the first connect fails; message 29 on failure).
  void Toggle();
  // Closes the link without a command and clears the flag (FormClose; the check mark stays).
  void Close();
  // A mode command ("OFF", "LIVE", "PLAYING", "PAUSE", "FORWARD"): sent only while the flag is
  // set; a failure is not noticed.
  void SendModeCommand(const std::string& command);
  // The update command of an update step, sent while the flag is set. A success zeroes the
  // failed-send counter; the sixteenth consecutive failure shows message 48 and closes the
  // link. Update steps that fall due while message 48 is open send nothing.
  void SendUpdate(const FixQuantities& fix);

  // SendLinkCommand: one execute; false when there is no conversation or it was not started.
  bool SendLinkCommand(const std::string& text);

  bool LinkOpen() const { return linkOpen_ != 0; }
  int32_t FailedSends() const { return failedSends_; }
  LinkState State() const;

 private:
  bool Open();
  void GiveUp();

  LinkTransport& transport_;
  LinkUi& ui_;
  int32_t linkOpen_ = 0;
  int32_t failedSends_ = 0;
  bool givingUp_ = false;
};

}  // namespace pelmora::dde
