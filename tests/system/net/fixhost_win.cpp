// fixhost: the fix server as pelmora.exe runs it, without the window: FixServerControl with the
// options in an in-memory store, navlib32 through the program's engine binding replaying a GPS
// log on a timer of a message loop, and every poll published (the receiver's sentences and the
// record). The system tests point real gpsd and NMEA clients at it.
//
// usage: fixhost LOG [--type 1|2] [--address A] [--nmea-port N] [--gpsd-port N]
//                    [--interval MS] [--seconds S] [--stats] [--trace]
// Prints "problem: ..." for each listener that could not open, then "serving", with --trace a
// line "published FIXSECONDS UNIXTIME" per epoch, and at the end (with --stats) the server's
// counters and the process's CPU time. The log restarts at its end.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "app/engine/NavlibEngine_win.h"
#include "app/net/FixServerControl.h"
#include "app/net/FixServerHost_win.h"

namespace {

// Options in memory, as hvnreg32 would hand them out.
class MemoryOptions final : public pelmora::OptionBackend {
 public:
  uint32_t GetHVNAppOption(const char*, const char* name, char* buf, uint32_t size) override {
    const auto it = values.find(name);
    if (it == values.end() || it->second.size() + 1 > size) return 2;
    std::memcpy(buf, it->second.c_str(), it->second.size() + 1);
    return pelmora::kRegSuccess;
  }
  uint32_t SetHVNAppOption(const char*, const char* name, const char* value) override {
    values[name] = value;
    return pelmora::kRegSuccess;
  }
  std::map<std::string, std::string> values{{"FixServer", "1"}};
};

struct Args {
  std::string log;
  int type = 1;
  MemoryOptions options;
  unsigned interval = 1000;
  double seconds = 30;
  bool stats = false;
  bool trace = false;
};

bool Parse(int argc, char** argv, Args& a) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool more = i + 1 < argc;
    if (arg == "--type" && more)
      a.type = std::atoi(argv[++i]);
    else if (arg == "--address" && more)
      a.options.values["FixServerAddress"] = argv[++i];
    else if (arg == "--nmea-port" && more)
      a.options.values["FixServerNmeaPort"] = argv[++i];
    else if (arg == "--gpsd-port" && more)
      a.options.values["FixServerGpsdPort"] = argv[++i];
    else if (arg == "--interval" && more)
      a.interval = static_cast<unsigned>(std::atoi(argv[++i]));
    else if (arg == "--seconds" && more)
      a.seconds = std::atof(argv[++i]);
    else if (arg == "--stats")
      a.stats = true;
    else if (arg == "--trace")
      a.trace = true;
    else if (a.log.empty() && arg[0] != '-')
      a.log = arg;
    else
      return false;
  }
  return !a.log.empty() && a.interval > 0;
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](FILETIME f) {
    return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) |
                               f.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

}  // namespace

int main(int argc, char** argv) {
  Args args;
  if (!Parse(argc, argv, args)) {
    std::fputs(
        "usage: fixhost LOG [--type 1|2] [--address A] [--nmea-port N] [--gpsd-port N]\n"
        "               [--interval MS] [--seconds S] [--stats] [--trace]\n",
        stderr);
    return 2;
  }
  pelmora::net::FixServerHost host;
  pelmora::net::FixServer& server = host.server();
  const pelmora::OptionStore store(args.options, "Pelmora");
  pelmora::net::FixServerControl control(server, store);
  for (const std::string& problem : control.Load())
    std::printf("problem: %s\n", problem.c_str());
  std::printf("serving\n");
  std::fflush(stdout);

  pelmora::NavlibEngine engine;
  auto open = [&] {
    return engine.Open(args.type, args.log, pelmora::CommInfo{}, pelmora::ReceiverSettings{});
  };
  if (open() != 0) {
    std::printf("cannot replay %s\n", args.log.c_str());
    return 1;
  }
  std::string sentences;
  const UINT_PTR timer = SetTimer(nullptr, 0, args.interval, nullptr);
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(args.seconds * 1000);
  const double cpuStart = CpuSeconds();
  MSG msg;
  while (GetTickCount64() < end && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
      // One poll cycle: advance the replay, publish what the engine holds.
      if (engine.Poll() != 0) {
        engine.Close();
        open();
        continue;
      }
      const double published = pelmora::net::SystemUtcNow();
      pelmora::Epoch epoch;
      engine.GetEpoch(epoch);
      engine.TakeSentences(sentences);
      control.Publish(epoch, sentences);
      if (args.trace) std::printf("published %.3f %.6f\n", epoch.fix.utcSeconds, published);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  KillTimer(nullptr, timer);
  if (args.stats) {
    const auto& c = server.Counters();
    std::printf(
        "clients %zu accepted %llu refused %llu slow %llu flood %llu epochs %llu cpu %.3f\n",
        server.ClientCount(), static_cast<unsigned long long>(c.accepted),
        static_cast<unsigned long long>(c.refused), static_cast<unsigned long long>(c.droppedSlow),
        static_cast<unsigned long long>(c.droppedFlood), static_cast<unsigned long long>(c.epochs),
        CpuSeconds() - cpuStart);
  }
  control.Shutdown();
  engine.Close();
  std::printf("stopped\n");
  return 0;
}
