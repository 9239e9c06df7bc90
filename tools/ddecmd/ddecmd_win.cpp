// ddecmd: a command-line DDE client. Connects to SERVICE and TOPIC and runs the actions given,
// in order, on that one conversation: execute, request, poke, advise for some seconds, wait.
// Data received is printed as one escaped line each (tools/ddecmd/EscapedText.h), at once;
// the exit code tells a script what happened.
#include <windows.h>

#include <ddeml.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/ddecmd/EscapedText.h"

namespace {

using pelmora::tools::EscapeBytes;
using pelmora::tools::UnescapeText;

enum ExitCode : int {
  kDone = 0,
  kUsage = 1,
  kNoDdeml = 2,  // DdeInitialize failed
  kRefused = 3,  // no server accepted the conversation
  kNack = 4,     // a transaction was refused or gave no data
  kTimeout = 5,  // a transaction timed out
  kEnded = 6,    // the server ended the conversation
};

void Usage() {
  std::fputs(
      "usage: ddecmd [options] SERVICE TOPIC [ACTION...]\n"
      "  SERVICE, TOPIC     names; * for none (a wildcard connect)\n"
      "actions, run in order on the one conversation:\n"
      "  execute TEXT       execute TEXT followed by a NUL\n"
      "  execute-file PATH  execute the bytes of a file followed by a NUL\n"
      "  request ITEM       print the item's data\n"
      "  poke ITEM TEXT     poke TEXT followed by a NUL\n"
      "  advise ITEM SECS   hot advise loop for SECS seconds; prints every value received\n"
      "  warm ITEM SECS     warm advise loop; prints (changed) for every notice\n"
      "  wait SECS          keep the conversation open\n"
      "options:\n"
      "  --timeout MS   time-out of each transaction (default 5000)\n"
      "  --tries N      connect attempts, a quarter second apart (default 1)\n"
      "  --format N     clipboard format of request, poke and advise (default 1, CF_TEXT)\n"
      "  --repeat N     run each execute N times (default 1)\n"
      "  --async        do not wait for each execute's answer (all are awaited at the end)\n"
      "  --raw          send execute and poke data without the NUL\n"
      "  --escapes      TEXT arguments use the escapes \\r \\n \\t \\0 \\xHH \\\\\n"
      "  --stats        print the number of transactions and the time they took\n"
      "exit codes: 0 done, 1 usage, 2 DDEML did not start, 3 connect refused,\n"
      "  4 transaction refused or no data, 5 time-out, 6 conversation ended by the server\n",
      stderr);
}

struct Options {
  DWORD timeoutMs = 5000;
  long tries = 1;
  UINT format = CF_TEXT;
  long repeat = 1;
  bool async = false;
  bool raw = false;
  bool escapes = false;
  bool stats = false;
};

struct Action {
  std::string verb;
  std::string item;  // or the path, or the seconds
  std::string text;
};

DWORD gInstance = 0;
bool gAsync = false;
bool gEnded = false;
long gCompleted = 0;

HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
  switch (type) {
    case XTYP_ADVDATA: {
      if (data == nullptr) {
        std::puts("(changed)");
        return reinterpret_cast<HDDEDATA>(DDE_FACK);
      }
      const DWORD size = DdeGetData(data, nullptr, 0, 0);
      std::string bytes(size, '\0');
      DdeGetData(data, reinterpret_cast<LPBYTE>(bytes.data()), size, 0);
      std::puts(EscapeBytes(bytes).c_str());
      return reinterpret_cast<HDDEDATA>(DDE_FACK);
    }
    case XTYP_DISCONNECT:
      gEnded = true;
      return nullptr;
    case XTYP_XACT_COMPLETE:
      ++gCompleted;
      return nullptr;
    default:
      return nullptr;
  }
}

bool ParseLong(const char* text, long min, long* out) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < min) return false;
  *out = v;
  return true;
}

// Dispatches messages until the deadline, or until done() holds.
template <typename Done>
void Pump(std::chrono::steady_clock::time_point deadline, Done done) {
  while (!done()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()) + 1, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&msg);
  }
}

std::chrono::steady_clock::time_point After(long seconds) {
  return std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
}

// A synchronous execute or poke went through: DDEML answered and the low word of the result
// holds DDE_FACK (Wine's DDEML answers a refused poke as done but reports the flags).
bool Acknowledged(HDDEDATA answer, DWORD result) {
  return answer != nullptr && (gAsync || (result & DDE_FACK) != 0);
}

// What a failed transaction means.
int Failure(const char* verb, const std::string& what) {
  const UINT error = DdeGetLastError(gInstance);
  int code = kNack;
  switch (error) {
    case DMLERR_ADVACKTIMEOUT:
    case DMLERR_DATAACKTIMEOUT:
    case DMLERR_EXECACKTIMEOUT:
    case DMLERR_POKEACKTIMEOUT:
    case DMLERR_UNADVACKTIMEOUT:
      code = kTimeout;
      break;
    default:
      if (gEnded || error == DMLERR_NO_CONV_ESTABLISHED || error == DMLERR_POSTMSG_FAILED)
        code = kEnded;
  }
  std::fprintf(stderr, "ddecmd: %s %s failed (DDEML error 0x%04X)\n", verb, what.c_str(), error);
  return code;
}

class Conversation {
 public:
  Conversation(HCONV conv, const Options& options) : conv_(conv), options_(options) {}

  int Run(const Action& a) {
    if (a.verb == "execute" || a.verb == "execute-file") return Execute(a);
    if (a.verb == "request") return Request(a.item);
    if (a.verb == "poke") return Poke(a.item, a.text);
    if (a.verb == "advise" || a.verb == "warm") return Advise(a);
    Pump(After(std::atol(a.item.c_str())), [] { return gEnded; });  // wait
    return gEnded ? kEnded : kDone;
  }

  // Waits for the answers of asynchronous executes.
  int Finish() {
    Pump(std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.timeoutMs),
         [&] { return gCompleted >= asyncSent_ || gEnded; });
    return gCompleted >= asyncSent_ ? kDone : kTimeout;
  }
  long Transactions() const { return transactions_; }

 private:
  std::string Data(const std::string& text) const {
    std::string data = text;
    if (!options_.raw) data += '\0';
    return data;
  }

  int Execute(const Action& a) {
    std::string data = Data(a.text);
    for (long i = 0; i < options_.repeat; ++i) {
      DWORD result = 0;
      const HDDEDATA ok = DdeClientTransaction(
          reinterpret_cast<LPBYTE>(data.data()), static_cast<DWORD>(data.size()), conv_, nullptr, 0,
          XTYP_EXECUTE, options_.async ? TIMEOUT_ASYNC : options_.timeoutMs, &result);
      if (!Acknowledged(ok, result)) return Failure("execute", EscapeBytes(a.text.substr(0, 40)));
      ++transactions_;
      if (options_.async) ++asyncSent_;
    }
    return kDone;
  }

  int Request(const std::string& item) {
    const HSZ hsz = DdeCreateStringHandleA(gInstance, item.c_str(), CP_WINANSI);
    const HDDEDATA data = DdeClientTransaction(nullptr, 0, conv_, hsz, options_.format,
                                               XTYP_REQUEST, options_.timeoutMs, nullptr);
    DdeFreeStringHandle(gInstance, hsz);
    if (data == nullptr) return Failure("request", item);
    ++transactions_;
    const DWORD size = DdeGetData(data, nullptr, 0, 0);
    std::string bytes(size, '\0');
    DdeGetData(data, reinterpret_cast<LPBYTE>(bytes.data()), size, 0);
    DdeFreeDataHandle(data);
    std::puts(EscapeBytes(bytes).c_str());
    // Wine's DDEML server follows the data with a positive WM_DDE_ACK, which a second request
    // would take for its refusal: let it arrive and be dropped now.
    Pump(std::chrono::steady_clock::now() + std::chrono::milliseconds(30), [] { return false; });
    return kDone;
  }

  int Poke(const std::string& item, const std::string& text) {
    std::string data = Data(text);
    const HSZ hsz = DdeCreateStringHandleA(gInstance, item.c_str(), CP_WINANSI);
    DWORD result = 0;
    const HDDEDATA ok =
        DdeClientTransaction(reinterpret_cast<LPBYTE>(data.data()), static_cast<DWORD>(data.size()),
                             conv_, hsz, options_.format, XTYP_POKE, options_.timeoutMs, &result);
    DdeFreeStringHandle(gInstance, hsz);
    if (!Acknowledged(ok, result)) return Failure("poke", item);
    ++transactions_;
    return kDone;
  }

  int Advise(const Action& a) {
    const UINT type = a.verb == "warm" ? (XTYP_ADVSTART | XTYPF_NODATA) : XTYP_ADVSTART;
    const HSZ hsz = DdeCreateStringHandleA(gInstance, a.item.c_str(), CP_WINANSI);
    const HDDEDATA ok = DdeClientTransaction(nullptr, 0, conv_, hsz, options_.format, type,
                                             options_.timeoutMs, nullptr);
    if (ok == nullptr) {
      DdeFreeStringHandle(gInstance, hsz);
      return Failure("advise", a.item);
    }
    ++transactions_;
    Pump(After(std::atol(a.text.c_str())), [] { return gEnded; });
    if (!gEnded) {
      DdeClientTransaction(nullptr, 0, conv_, hsz, options_.format, XTYP_ADVSTOP,
                           options_.timeoutMs, nullptr);
    }
    DdeFreeStringHandle(gInstance, hsz);
    return gEnded ? kEnded : kDone;
  }

  HCONV conv_;
  const Options& options_;
  long transactions_ = 0;
  long asyncSent_ = 0;
};

// Reads options and actions; false on a usage error.
bool Parse(int argc, char** argv, Options* o, std::string* service, std::string* topic,
           std::vector<Action>* actions) {
  int i = 1;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
    const std::string opt = argv[i];
    long v = 0;
    if (opt == "--async") {
      o->async = true;
    } else if (opt == "--raw") {
      o->raw = true;
    } else if (opt == "--escapes") {
      o->escapes = true;
    } else if (opt == "--stats") {
      o->stats = true;
    } else if (i + 1 < argc && ParseLong(argv[i + 1], 0, &v) &&
               (opt == "--timeout" || opt == "--format" || opt == "--repeat" ||
                (opt == "--tries" && v > 0))) {
      ++i;
      if (opt == "--timeout") o->timeoutMs = static_cast<DWORD>(v);
      if (opt == "--tries") o->tries = v;
      if (opt == "--format") o->format = static_cast<UINT>(v);
      if (opt == "--repeat") o->repeat = v;
    } else {
      return false;
    }
  }
  if (argc - i < 2) return false;
  *service = argv[i++];
  *topic = argv[i++];
  while (i < argc) {
    Action a{argv[i++], "", ""};
    const int operands =
        a.verb == "poke" || a.verb == "advise" || a.verb == "warm" ? 2
        : a.verb == "execute" || a.verb == "execute-file" || a.verb == "request" || a.verb == "wait"
            ? 1
            : -1;
    if (operands < 0 || argc - i < operands) return false;
    (a.verb == "execute" ? a.text : a.item) = argv[i++];
    if (operands == 2) a.text = argv[i++];
    long seconds = 0;
    if ((a.verb == "wait" && !ParseLong(a.item.c_str(), 0, &seconds)) ||
        ((a.verb == "advise" || a.verb == "warm") && !ParseLong(a.text.c_str(), 0, &seconds)))
      return false;
    if (o->escapes && (a.verb == "execute" || a.verb == "poke")) {
      std::string bytes;
      if (!UnescapeText(a.text, &bytes)) return false;
      a.text = bytes;
    }
    if (a.verb == "execute-file") {
      std::ifstream in(a.item, std::ios::binary);
      if (!in) {
        std::fprintf(stderr, "ddecmd: cannot read %s\n", a.item.c_str());
        return false;
      }
      a.text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    actions->push_back(a);
  }
  return true;
}

int Run(int argc, char** argv) {
  Options options;
  std::string service, topic;
  std::vector<Action> actions;
  if (!Parse(argc, argv, &options, &service, &topic, &actions)) {
    Usage();
    return kUsage;
  }
  gAsync = options.async;
  if (DdeInitializeA(&gInstance, Callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
    std::fputs("ddecmd: DDEML did not start\n", stderr);
    return kNoDdeml;
  }
  const HSZ hszService =
      service == "*" ? nullptr : DdeCreateStringHandleA(gInstance, service.c_str(), CP_WINANSI);
  const HSZ hszTopic =
      topic == "*" ? nullptr : DdeCreateStringHandleA(gInstance, topic.c_str(), CP_WINANSI);
  // On a loaded machine a server may miss the connect broadcast's time-out: a script can ask for
  // more than one try.
  HCONV conv = DdeConnect(gInstance, hszService, hszTopic, nullptr);
  for (long t = 1; conv == nullptr && t < options.tries; ++t) {
    Pump(std::chrono::steady_clock::now() + std::chrono::milliseconds(250), [] { return false; });
    conv = DdeConnect(gInstance, hszService, hszTopic, nullptr);
  }
  int code = kDone;
  if (conv == nullptr) {
    std::fprintf(stderr, "ddecmd: no server accepted %s|%s\n", service.c_str(), topic.c_str());
    code = kRefused;
  } else {
    Conversation c(conv, options);
    const auto start = std::chrono::steady_clock::now();
    for (const Action& a : actions) {
      code = c.Run(a);
      if (code != kDone) break;
    }
    if (code == kDone) code = c.Finish();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    if (options.stats) std::printf("%ld transactions in %lld ms\n", c.Transactions(), ms);
    DdeDisconnect(conv);
  }
  if (hszService != nullptr) DdeFreeStringHandle(gInstance, hszService);
  if (hszTopic != nullptr) DdeFreeStringHandle(gInstance, hszTopic);
  DdeUninitialize(gInstance);
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  try {
    return Run(argc, argv);
  } catch (...) {
    std::fputs("ddecmd: unexpected failure\n", stderr);
    return kUsage;
  }
}
