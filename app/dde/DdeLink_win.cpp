// The client link's DDEML conversation.
#include "app/dde/DdeLink_win.h"

namespace pelmora::dde {
namespace {

// The command line that starts the GIS with the MapBasic program: service, blank, topic.
constexpr char kStartCommand[] = "MapInfo pelmora.mbx";
// WinExec's results below 32 are errors.
constexpr UINT kWinExecFirstSuccess = 32;

static_assert(sizeof(CONVCONTEXT) == 36, "CONVCONTEXT is 36 bytes on every Windows");

}  // namespace

bool DdeLink::Connect() {
  if (conv_ != nullptr) return HasConversation();
  if (!service_) service_ = DdeString(instance_, kLinkService);
  if (!topic_) topic_ = DdeString(instance_, kLinkTopic);
  if (!service_ || !topic_) return false;
  CONVCONTEXT context{};
  context.cb = sizeof context;
  context.iCodePage = CP_WINANSI;
  conv_ = DdeConnect(instance_, service_.Get(), topic_.Get(), &context);
  ended_ = false;
  return conv_ != nullptr;
}

bool DdeLink::StartPeer() {
  return WinExec(kStartCommand, SW_SHOWMINNOACTIVE) >= kWinExecFirstSuccess;
}

// The bytes go to DDEML directly rather than in a data handle: DDEML copies them before the
// call returns, and no handle is left whose owner depends on the outcome of the transaction.
bool DdeLink::Execute(const std::string& text) {
  if (!HasConversation()) return false;
  DWORD transaction = 0;
  return DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(text.c_str())),
                              static_cast<DWORD>(text.size() + 1), conv_, nullptr, CF_TEXT,
                              XTYP_EXECUTE, TIMEOUT_ASYNC, &transaction) != nullptr;
}

void DdeLink::Close() {
  if (conv_ != nullptr) DdeDisconnect(conv_);
  conv_ = nullptr;
  ended_ = false;
  service_.Reset();
  topic_.Reset();
}

bool DdeLink::OnDisconnect(HCONV conv) {
  if (conv == nullptr || conv != conv_) return false;
  ended_ = true;
  return true;
}

}  // namespace pelmora::dde
