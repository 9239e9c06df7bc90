// gispeer: a stand-in for the GIS that Pelmora's client link drives. Serves service "MapInfo"
// with topic "pelmora.mbx" and writes every execute it receives to a log, one escaped line each
// (tools/ddecmd/EscapedText.h), flushed at once; conversations show as "# connect" and
// "# disconnect" lines. A second topic, "gispeer", takes commands that change its behaviour.
#include <windows.h>

#include <ddeml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "tools/ddecmd/EscapedText.h"

namespace {

using pelmora::tools::EscapeDdeText;

void Usage() {
  std::fputs(
      "usage: gispeer [--log FILE] [--service NAME] [--topic NAME] [--refuse] [--nack] [TOPIC]\n"
      "  serves SERVICE (default MapInfo) with TOPIC (default pelmora.mbx) and logs every\n"
      "  execute to FILE (default: %GISPEER_LOG%, else gispeer.log); a TOPIC argument is what\n"
      "  \"MapInfo pelmora.mbx\" passes when the program is started under that name\n"
      "  --refuse   refuse conversations on TOPIC     --nack   answer executes not processed\n"
      "commands, executed on topic gispeer of the same service (ddecmd MapInfo gispeer ...):\n"
      "  refuse | accept | nack | ack | disconnect (end every TOPIC conversation) | quit\n"
      "prints ready once the service is registered\n",
      stderr);
}

constexpr char kControlTopic[] = "gispeer";
// Commands are carried out from the message loop, outside the DDEML callback.
constexpr UINT kDisconnectAll = WM_APP + 1;

struct Peer {
  DWORD instance = 0;
  HSZ service = nullptr;
  std::string serviceName = "MapInfo";
  std::string topicName = "pelmora.mbx";
  std::FILE* log = nullptr;
  bool refuse = false;
  bool nack = false;
  std::set<HCONV> conversations;  // on the peer topic
  DWORD thread = 0;
};

Peer gPeer;

std::string Text(HSZ hsz) {
  char text[256] = {};
  const DWORD n = DdeQueryStringA(gPeer.instance, hsz, text, sizeof text, CP_WINANSI);
  return std::string(text, n < sizeof text ? n : sizeof text - 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

void Log(const std::string& line) {
  std::fprintf(gPeer.log, "%s\n", line.c_str());
  std::fflush(gPeer.log);
}

void Control(const std::string& command) {
  if (command == "refuse") gPeer.refuse = true;
  if (command == "accept") gPeer.refuse = false;
  if (command == "nack") gPeer.nack = true;
  if (command == "ack") gPeer.nack = false;
  if (command == "disconnect") PostThreadMessageW(gPeer.thread, kDisconnectAll, 0, 0);
  if (command == "quit") PostThreadMessageW(gPeer.thread, WM_QUIT, 0, 0);
}

HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                           ULONG_PTR, ULONG_PTR) {
  const auto yes = reinterpret_cast<HDDEDATA>(TRUE);
  switch (type) {
    case XTYP_CONNECT: {
      if (hsz2 != nullptr && DdeCmpStringHandles(hsz2, gPeer.service) != 0) return nullptr;
      const std::string topic = Text(hsz1);
      if (SameName(topic, kControlTopic)) return yes;
      return SameName(topic, gPeer.topicName) && !gPeer.refuse ? yes : nullptr;
    }
    case XTYP_CONNECT_CONFIRM:
      if (SameName(Text(hsz1), gPeer.topicName)) {
        gPeer.conversations.insert(conv);
        Log("# connect");
      }
      return nullptr;
    case XTYP_DISCONNECT:
      if (gPeer.conversations.erase(conv) != 0) Log("# disconnect");
      return nullptr;
    case XTYP_EXECUTE: {
      DWORD size = 0;
      const BYTE* p = data != nullptr ? DdeAccessData(data, &size) : nullptr;
      if (p == nullptr) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
      const std::string bytes(reinterpret_cast<const char*>(p), size);
      DdeUnaccessData(data);
      if (gPeer.conversations.count(conv) == 0) {
        Control(bytes.substr(0, bytes.find('\0')));
        return reinterpret_cast<HDDEDATA>(DDE_FACK);
      }
      Log(EscapeDdeText(bytes));
      return reinterpret_cast<HDDEDATA>(gPeer.nack ? DDE_FNOTPROCESSED : DDE_FACK);
    }
    default:
      return nullptr;
  }
}

// Ends every conversation as a GIS that closes its MapBasic program would. Wine's DdeDisconnect
// does nothing on the server's side of a conversation: there the WM_DDE_TERMINATE is posted
// directly, and the client's answering terminate ends the conversation here
// (XTYP_DISCONNECT logs it).
void DisconnectAll(bool logNow) {
  const std::set<HCONV> conversations = gPeer.conversations;
  for (HCONV conv : conversations) {
    if (DdeDisconnect(conv)) {
      if (gPeer.conversations.erase(conv) != 0) Log("# disconnect");
      continue;
    }
    CONVINFO info{};
    info.cb = sizeof info;
    if (DdeQueryConvInfo(conv, QID_SYNC, &info) != 0)
      PostMessageW(info.hwndPartner, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(info.hwnd), 0);
    if (logNow && gPeer.conversations.erase(conv) != 0) Log("# disconnect");
  }
}

int Run(int argc, char** argv) {
  const char* logPath = std::getenv("GISPEER_LOG");
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--refuse") {
      gPeer.refuse = true;
    } else if (arg == "--nack") {
      gPeer.nack = true;
    } else if (i + 1 < argc && arg == "--log") {
      logPath = argv[++i];
    } else if (i + 1 < argc && arg == "--service") {
      gPeer.serviceName = argv[++i];
    } else if (i + 1 < argc && arg == "--topic") {
      gPeer.topicName = argv[++i];
    } else if (arg.rfind("--", 0) != 0) {
      gPeer.topicName = arg;
    } else {
      Usage();
      return 1;
    }
  }
  gPeer.log = std::fopen(logPath != nullptr ? logPath : "gispeer.log", "ab");
  if (gPeer.log == nullptr) {
    std::fputs("gispeer: cannot open the log\n", stderr);
    return 1;
  }
  gPeer.thread = GetCurrentThreadId();
  if (DdeInitializeA(&gPeer.instance, Callback, APPCLASS_STANDARD, 0) != DMLERR_NO_ERROR) {
    std::fputs("gispeer: DDEML did not start\n", stderr);
    return 2;
  }
  gPeer.service = DdeCreateStringHandleA(gPeer.instance, gPeer.serviceName.c_str(), CP_WINANSI);
  if (DdeNameService(gPeer.instance, gPeer.service, nullptr, DNS_REGISTER) == nullptr) {
    std::fputs("gispeer: the service could not be registered\n", stderr);
    DdeUninitialize(gPeer.instance);
    return 2;
  }
  std::puts("ready");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == nullptr && msg.message == kDisconnectAll) {
      DisconnectAll(false);
      continue;
    }
    DispatchMessageW(&msg);
  }
  DisconnectAll(true);
  DdeNameService(gPeer.instance, gPeer.service, nullptr, DNS_UNREGISTER);
  DdeFreeStringHandle(gPeer.instance, gPeer.service);
  DdeUninitialize(gPeer.instance);
  std::fclose(gPeer.log);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  try {
    return Run(argc, argv);
  } catch (...) {
    return 1;
  }
}
