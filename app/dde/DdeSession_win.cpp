// The DDEML instance and its single callback.
#include "app/dde/DdeSession_win.h"

#include "app/dde/DdeStartup.h"

namespace pelmora::dde {
namespace {

static_assert(kDmlErrLowMemory == DMLERR_LOW_MEMORY && kDmlErrMemoryError == DMLERR_MEMORY_ERROR &&
              kDmlErrNoConvEstablished == DMLERR_NO_CONV_ESTABLISHED);

// DDEML has no context pointer for its callback; one session serves the process.
DdeSession* gSession = nullptr;

}  // namespace

std::unique_ptr<DdeSession> DdeSession::Start(const std::string& serviceName, UINT* error) {
  *error = DMLERR_NO_ERROR;
  if (gSession != nullptr) {
    *error = DMLERR_DLL_USAGE;
    return nullptr;
  }
  std::unique_ptr<DdeSession> session(new DdeSession);
  const UINT init = DdeInitializeA(&session->instance_, Callback, APPCLASS_STANDARD, 0);
  if (init != DMLERR_NO_ERROR) {
    *error = init;
    session->instance_ = 0;
    return nullptr;
  }
  gSession = session.get();
  session->server_ = std::make_unique<DdeServer>(session->instance_, serviceName);
  session->link_ = std::make_unique<DdeLink>(session->instance_);
  if (!session->server_->Register()) {
    *error = DdeGetLastError(session->instance_);
    if (*error == DMLERR_NO_ERROR) *error = DMLERR_DLL_USAGE;
    return nullptr;  // the destructor ends what was started
  }
  return session;
}

DdeSession::~DdeSession() {
  if (link_ != nullptr) link_->Close();
  if (server_ != nullptr) server_->End();
  if (instance_ != 0) DdeUninitialize(instance_);
  if (gSession == this) gSession = nullptr;
}

HDDEDATA CALLBACK DdeSession::Callback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2,
                                       HDDEDATA data, ULONG_PTR, ULONG_PTR) {
  if (gSession == nullptr) return nullptr;
  try {
    return gSession->Dispatch(type, format, conv, hsz1, hsz2, data);
  } catch (...) {
    return nullptr;  // nothing escapes into DDEML
  }
}

HDDEDATA DdeSession::Dispatch(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2,
                              HDDEDATA data) {
  switch (type) {
    case XTYP_XACT_COMPLETE:  // the GIS's answer to a command is not looked at
    case XTYP_REGISTER:
    case XTYP_UNREGISTER:
      return nullptr;
    case XTYP_DISCONNECT:
      if (link_ != nullptr && link_->OnDisconnect(conv)) return nullptr;
      break;
    default:
      break;
  }
  return server_ != nullptr ? server_->Answer(type, format, conv, hsz1, hsz2, data) : nullptr;
}

std::string ProgramServiceName() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return ServiceNameFromPath(std::string_view(path, n));
}

}  // namespace pelmora::dde
