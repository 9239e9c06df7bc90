// The DDE server's conversations, items and lookup rules.
#include "app/dde/ServerModel.h"

#include <algorithm>
#include <utility>

#include "app/dde/DdeText.h"

namespace pelmora::dde {
namespace {

int ItemIndex(std::string_view name) {
  for (int i = 0; i < kFixQuantityCount; ++i) {
    if (kItemNames[i] == name) return i;
  }
  return -1;
}

}  // namespace

bool ServerModel::AcceptsTopic(std::string_view topic) {
  if (actions_ != nullptr && EqualsAsciiNoCase(topic, kServerTopic)) return true;
  return host_.IsWindowCaption(topic);
}

void ServerModel::ConnectConfirm(ConversationId conv, std::string_view topic) {
  // A handle DDEML reuses after a missed disconnect starts afresh.
  Conversation c;
  c.onServerTopic = actions_ != nullptr && EqualsAsciiNoCase(topic, kServerTopic);
  conversations_.insert_or_assign(conv, std::move(c));
}

void ServerModel::Disconnect(ConversationId conv) {
  conversations_.erase(conv);
}

const ServerModel::Conversation* ServerModel::Find(ConversationId conv) const {
  const auto it = conversations_.find(conv);
  return it == conversations_.end() ? nullptr : &it->second;
}

int ServerModel::FindByName(const Conversation* c, std::string_view item) const {
  if (c == nullptr || !c->onServerTopic) return -1;
  return ItemIndex(item);
}

std::optional<std::string> ServerModel::Request(ConversationId conv, std::string_view item) const {
  const Conversation* c = Find(conv);
  if (c == nullptr) return std::nullopt;
  int index = -1;
  for (const std::string& linked : c->adviseItems) {
    if (EqualsAsciiNoCase(linked, item)) index = ItemIndex(linked);
  }
  if (index < 0) index = FindByName(c, item);
  if (index < 0) return std::nullopt;
  return EncodeItemValue(items_[index].lines);
}

bool ServerModel::AdviseStart(ConversationId conv, std::string_view item) {
  const int index = FindByName(Find(conv), item);
  if (index < 0) return false;
  // One link per item: a repeated start (warm after hot, say) keeps the one link.
  std::vector<std::string>& links = conversations_[conv].adviseItems;
  if (std::find(links.begin(), links.end(), kItemNames[index]) == links.end()) {
    links.emplace_back(kItemNames[index]);
  }
  return true;
}

void ServerModel::AdviseStop(ConversationId conv, std::string_view item) {
  const auto it = conversations_.find(conv);
  if (it == conversations_.end()) return;
  std::vector<std::string>& links = it->second.adviseItems;
  const auto link = std::find_if(links.begin(), links.end(), [&](const std::string& linked) {
    return EqualsAsciiNoCase(linked, item);
  });
  if (link != links.end()) links.erase(link);
}

bool ServerModel::Poke(ConversationId conv, std::string_view item, std::string_view text) {
  const int index = FindByName(Find(conv), item);
  if (index < 0) return false;
  Replace(index, SplitLines(text));
  return true;
}

bool ServerModel::Execute(ConversationId conv, std::string_view text) {
  const Conversation* c = Find(conv);
  if (c == nullptr || !c->onServerTopic || actions_ == nullptr) return false;
  // The macro may run a nested message loop in which this conversation ends: nothing of its
  // record is used after this call.
  HVNExecuteMacro(text, *actions_);
  return true;
}

void ServerModel::PublishFix(const FixQuantities& fix) {
  const auto texts = FormatQuantities(fix);
  for (int i = 0; i < kFixQuantityCount; ++i) {
    Replace(ItemIndex(kFixQuantities[i].item), {texts[i]});
  }
}

void ServerModel::Replace(int index, std::vector<std::string> lines) {
  items_[index].lines = std::move(lines);
  if (AdviseLinksOn(kItemNames[index]) > 0) host_.PostAdvise(kItemNames[index]);
}

size_t ServerModel::AdviseLinksOn(std::string_view item) const {
  size_t n = 0;
  for (const auto& entry : conversations_) {
    const std::vector<std::string>& links = entry.second.adviseItems;
    n += static_cast<size_t>(std::count(links.begin(), links.end(), item));
  }
  return n;
}

std::optional<std::string> ServerModel::ItemValue(std::string_view item) const {
  const int index = ItemIndex(item);
  if (index < 0) return std::nullopt;
  return EncodeItemValue(items_[index].lines);
}

std::vector<ConversationId> ServerModel::Conversations() const {
  std::vector<ConversationId> ids;
  ids.reserve(conversations_.size());
  for (const auto& entry : conversations_)
    ids.push_back(entry.first);
  return ids;
}

size_t ServerModel::AdviseLinkCount() const {
  size_t n = 0;
  for (const auto& entry : conversations_)
    n += entry.second.adviseItems.size();
  return n;
}

}  // namespace pelmora::dde
