// The program's one DDEML instance, shared by the DDE server and the client link: initialised
// and the service registered before the main window exists, one callback answering every
// transaction of both, and everything ended when the program ends.
#pragma once

#include <windows.h>

#include <ddeml.h>

#include <memory>
#include <string>

#include "app/dde/DdeLink_win.h"
#include "app/dde/DdeServer_win.h"

namespace pelmora::dde {

class DdeSession {
 public:
  // DdeInitialize (standard application, no filter flags), then the service registered. On
  // failure nullptr, and *error holds the DDEML error code (DdeStartupMessage tells it).
  static std::unique_ptr<DdeSession> Start(const std::string& serviceName, UINT* error);
  // Closes the link, disconnects every server conversation, unregisters the service and
  // releases the instance.
  ~DdeSession();
  DdeSession(const DdeSession&) = delete;
  DdeSession& operator=(const DdeSession&) = delete;

  DWORD Instance() const { return instance_; }
  DdeServer& Server() { return *server_; }
  DdeLink& Link() { return *link_; }

 private:
  DdeSession() = default;
  static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2,
                                    HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
  HDDEDATA Dispatch(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data);

  DWORD instance_ = 0;
  std::unique_ptr<DdeServer> server_;
  std::unique_ptr<DdeLink> link_;
};

// The service name of this program: its file name up to the first dot.
std::string ProgramServiceName();

}  // namespace pelmora::dde
