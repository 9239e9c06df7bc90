// Answers to the DDE server's transactions. Every answer is decided by ServerModel; this file
// turns handles into text and answers into DDEML's return values.
#include "app/dde/DdeServer_win.h"

#include <cstdint>

#include "app/dde/DdeText.h"

namespace pelmora::dde {
namespace {

ConversationId Id(HCONV conv) {
  return reinterpret_cast<std::uintptr_t>(conv);
}

HDDEDATA Flag(bool yes) {
  return reinterpret_cast<HDDEDATA>(static_cast<uintptr_t>(yes ? TRUE : FALSE));
}

HDDEDATA Ack(bool processed) {
  return reinterpret_cast<HDDEDATA>(
      static_cast<uintptr_t>(processed ? DDE_FACK : DDE_FNOTPROCESSED));
}

// Two faults of Wine's DDEML are made up for here, nowhere else: see PostAdvise and the
// execute transaction.
bool RunningOnWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

}  // namespace

DdeServer::DdeServer(DWORD instance, const std::string& serviceName)
    : instance_(instance),
      service_(instance, serviceName),
      topic_(instance, std::string(kServerTopic)) {}

bool DdeServer::Register() {
  if (!service_ || !topic_) return false;
  registered_ = DdeNameService(instance_, service_.Get(), nullptr, DNS_REGISTER) != nullptr;
  return registered_;
}

void DdeServer::End() {
  for (ConversationId id : model_.Conversations()) {
    const HCONV conv = reinterpret_cast<HCONV>(id);
    // Wine's DdeDisconnect does nothing on a server's side: the client is told directly.
    CONVINFO info{};
    info.cb = sizeof info;
    if (!DdeDisconnect(conv) && DdeQueryConvInfo(conv, QID_SYNC, &info) != 0)
      PostMessageW(info.hwndPartner, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(info.hwnd), 0);
    model_.Disconnect(id);  // the side that disconnects gets no XTYP_DISCONNECT
  }
  if (registered_) DdeNameService(instance_, service_.Get(), nullptr, DNS_UNREGISTER);
  registered_ = false;
  service_.Reset();
  topic_.Reset();
}

HDDEDATA DdeServer::Answer(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data) {
  std::string text;
  switch (type) {
    case XTYP_CONNECT:
      DropVanishedClients();
      return Flag(AcceptsConnect(hsz1, hsz2));
    case XTYP_WILDCONNECT:
      return WildConnect(hsz1, hsz2);
    case XTYP_CONNECT_CONFIRM:
      model_.ConnectConfirm(Id(conv), Text(hsz1));
      return nullptr;
    case XTYP_REQUEST:
    case XTYP_ADVREQ:
      return format == CF_TEXT ? ItemData(conv, hsz2) : nullptr;
    case XTYP_ADVSTART:
      return Flag(format == CF_TEXT && model_.AdviseStart(Id(conv), Text(hsz2)));
    case XTYP_ADVSTOP:
      model_.AdviseStop(Id(conv), Text(hsz2));
      return nullptr;
    case XTYP_POKE:
      return Ack(format == CF_TEXT && ReadDdeData(data, &text) &&
                 model_.Poke(Id(conv), Text(hsz2), text));
    case XTYP_EXECUTE: {
      const bool read = ReadDdeData(data, &text);
      // Wine's DDEML makes this handle for the callback and never frees it (Windows does).
      if (read && RunningOnWine()) DdeFreeDataHandle(data);
      if (!read || !model_.Execute(Id(conv), text)) return Ack(false);
      if (macroShown_) macroShown_();
      return Ack(true);
    }
    case XTYP_DISCONNECT:
      model_.Disconnect(Id(conv));
      return nullptr;
    default:
      return nullptr;
  }
}

bool DdeServer::AcceptsConnect(HSZ topic, HSZ service) {
  if (topic == nullptr) return false;
  if (service != nullptr && DdeCmpStringHandles(service, service_.Get()) != 0) return false;
  return model_.AcceptsTopic(Text(topic));
}

// The pair list: (this service, the requested topic), then the terminating (0, 0). Sized by
// HSZPAIR, which holds two pointers: 16 bytes on 32-bit Windows, 32 on 64-bit.
HDDEDATA DdeServer::WildConnect(HSZ topic, HSZ service) {
  if (topic == nullptr || !AcceptsConnect(topic, service)) return nullptr;
  HSZPAIR pairs[2] = {{service_.Get(), topic}, {nullptr, nullptr}};
  return DdeCreateDataHandle(instance_, reinterpret_cast<LPBYTE>(pairs), sizeof pairs, 0, nullptr,
                             CF_TEXT, 0);
}

HDDEDATA DdeServer::ItemData(HCONV conv, HSZ item) {
  const auto value = model_.Request(Id(conv), Text(item));
  if (!value) return nullptr;
  return DdeCreateDataHandle(instance_, reinterpret_cast<LPBYTE>(const_cast<char*>(value->data())),
                             static_cast<DWORD>(value->size()), 0, item, CF_TEXT, 0);
}

bool DdeServer::IsWindowCaption(std::string_view topic) {
  struct Search {
    std::string_view topic;
    DWORD process;
    bool found;
  } search{topic, GetCurrentProcessId(), false};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != s->process || !IsWindowVisible(hwnd)) return TRUE;
        char caption[256] = {};
        const int n = GetWindowTextA(hwnd, caption, sizeof caption);
        s->found = EqualsAsciiNoCase(std::string_view(caption, n > 0 ? n : 0), s->topic);
        return s->found ? FALSE : TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A client that ended without a goodbye (its process killed) leaves its conversation open on
// this side: DDEML would keep posting to it, and Wine's DdePostAdvise stops at the first post
// that fails, starving every loop behind it. Such conversations are ended here, by posting the
// vanished client's WM_DDE_TERMINATE for it: DDEML then ends the conversation as if the client
// had, its window and advise links included (Wine's DdeDisconnect does nothing on the server's
// side of a conversation).
void DdeServer::DropVanishedClients() {
  for (ConversationId id : model_.Conversations()) {
    const HCONV conv = reinterpret_cast<HCONV>(id);
    CONVINFO info{};
    info.cb = sizeof info;
    if (DdeQueryConvInfo(conv, QID_SYNC, &info) == 0) {
      model_.Disconnect(id);  // DDEML no longer knows it
    } else if (!IsWindow(info.hwndPartner)) {
      PostMessageW(info.hwnd, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(info.hwndPartner), 0);
      model_.Disconnect(id);
    }
  }
}

void DdeServer::PostAdvise(std::string_view item) {
  DropVanishedClients();
  const size_t loops = model_.AdviseLinksOn(item);
  if (loops == 0 || !topic_) return;
  // Made for the post and freed at once: a string handle the server kept would fix the letter
  // case of the item's atom for every client.
  const std::string name(item);
  DdeString hsz(instance_, name);
  if (!hsz) return;
  if (RunningOnWine()) {
    for (size_t i = 1; i < loops; ++i)
      GlobalAddAtomA(name.c_str());
  }
  DdePostAdvise(instance_, topic_.Get(), hsz.Get());
}

}  // namespace pelmora::dde
