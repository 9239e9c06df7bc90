// The DDE server's rules without DDEML: which topics it accepts, one record per conversation
// with its advise links, how an item is found, the nine items' values, and what a poke, an
// execute or a new fix does. The Win32 side turns string handles into text and back; this model
// never sees a handle. Portable.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/dde/FixQuantities.h"
#include "app/dde/MacroHandler.h"

namespace pelmora::dde {

// A conversation, by the value of its DDEML handle.
using ConversationId = std::uintptr_t;

// The name of the server conversation component: the topic served.
constexpr std::string_view kServerTopic = "HVN";

// The server items in their order of declaration.
constexpr std::array<std::string_view, kFixQuantityCount> kItemNames = {
    "Latitude", "Longitude", "GHeight", "EHeight", "Speed", "Heading", "Time", "PDOP", "Depth"};

// What the model asks of DDEML and of the window system.
class ServerHost {
 public:
  virtual ~ServerHost() = default;
  // True when a window of the program with this caption (letters in any case) is open now.
  virtual bool IsWindowCaption(std::string_view topic) = 0;
  // An item with advise loops has a new value: every loop on it is to receive it. Not called
  // for an item nobody watches (Wine's DdePostAdvise leaks a global atom when no loop matches).
  virtual void PostAdvise(std::string_view item) = 0;
};

class ServerModel {
 public:
  explicit ServerModel(ServerHost& host) : host_(host) {}

  // Adds the server conversation component HVN with its macro handler's operations (the main
  // window does this when it is created); nullptr removes it. Until then HVN is not served.
  void SetMacroActions(MacroActions* actions) { actions_ = actions; }

  // Connect, with the service already accepted: the topic is HVN or the caption of an open
  // window of the program, letters in any case.
  bool AcceptsTopic(std::string_view topic);
  // A new conversation on an accepted topic; a caption topic is served nothing.
  void ConnectConfirm(ConversationId conv, std::string_view topic);
  void Disconnect(ConversationId conv);

  // Request and advise request: the item's value (EncodeItemValue), or nothing when no item is
  // found. An advise link of the conversation matches the item name in any case; otherwise the
  // name must be an item's exactly, on an HVN conversation.
  std::optional<std::string> Request(ConversationId conv, std::string_view item) const;
  // Advise start, hot or warm: true and a link added for an item found by its exact name.
  bool AdviseStart(ConversationId conv, std::string_view item);
  // Removes the conversation's advise link on the item (name in any case).
  void AdviseStop(ConversationId conv, std::string_view item);
  // The item found by its exact name takes the text's lines and its advise loops are served.
  bool Poke(ConversationId conv, std::string_view item, std::string_view text);
  // An execute: false (not processed) unless the conversation is on HVN; then the macro handler
  // runs on the text and the answer is true whether or not a command was recognised.
  bool Execute(ConversationId conv, std::string_view text);

  // The live fix: every item takes its quantity's text (FormatQuantities) as its one line and
  // its advise loops are served. Pokes stand until the next call.
  void PublishFix(const FixQuantities& fix);

  // The item's value as served, by exact name; nothing for an unknown name.
  std::optional<std::string> ItemValue(std::string_view item) const;
  std::vector<ConversationId> Conversations() const;
  size_t AdviseLinkCount() const;
  // The conversations with an advise loop on the item (exact name).
  size_t AdviseLinksOn(std::string_view item) const;

 private:
  struct Conversation {
    bool onServerTopic = false;  // false: a window-caption topic
    std::vector<std::string> adviseItems;
  };
  struct Item {
    std::vector<std::string> lines;
  };

  const Conversation* Find(ConversationId conv) const;
  // An item by its exact name, bound to the conversation's component; -1 when none.
  int FindByName(const Conversation* c, std::string_view item) const;
  // Replaces an item's lines; its advise loops, if it has any, are then served.
  void Replace(int index, std::vector<std::string> lines);

  ServerHost& host_;
  MacroActions* actions_ = nullptr;
  std::map<ConversationId, Conversation> conversations_;
  std::array<Item, kFixQuantityCount> items_;
};

}  // namespace pelmora::dde
