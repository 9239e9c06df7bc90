// fixhost: the fix server as pelmora.exe runs it, without the window: replays a GPS log through
// navlib32 on a timer of a message loop and publishes every epoch (the receiver's sentences and
// the record) to the server. The system tests point real gpsd and NMEA clients at it.
//
// usage: fixhost LOG [--type 1|2] [--address A] [--nmea-port N] [--gpsd-port N]
//                    [--interval MS] [--seconds S] [--stats]
// Prints "problem: ..." for each listener that could not open, then "serving", and at the end
// (with --stats) the server's counters and the process's CPU time. The log restarts at its end.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/net/FixServerHost_win.h"
#include "navlib32/navlib32.h"

namespace {

struct Args {
  std::string log;
  int type = 1;
  pelmora::net::FixServerOptions server{true};
  unsigned interval = 1000;
  double seconds = 30;
  bool stats = false;
};

bool Parse(int argc, char** argv, Args& a) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool more = i + 1 < argc;
    if (arg == "--type" && more)
      a.type = std::atoi(argv[++i]);
    else if (arg == "--address" && more)
      a.server.address = argv[++i];
    else if (arg == "--nmea-port" && more)
      a.server.nmeaPort = static_cast<uint16_t>(std::atoi(argv[++i]));
    else if (arg == "--gpsd-port" && more)
      a.server.gpsdPort = static_cast<uint16_t>(std::atoi(argv[++i]));
    else if (arg == "--interval" && more)
      a.interval = static_cast<unsigned>(std::atoi(argv[++i]));
    else if (arg == "--seconds" && more)
      a.seconds = std::atof(argv[++i]);
    else if (arg == "--stats")
      a.stats = true;
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
        "               [--interval MS] [--seconds S] [--stats]\n",
        stderr);
    return 2;
  }
  pelmora::net::FixServerHost host;
  pelmora::net::FixServer& server = host.server();
  for (const std::string& problem : server.Start(args.server))
    std::printf("problem: %s\n", problem.c_str());
  std::printf("serving\n");
  std::fflush(stdout);

  if (Pelmora_Open(args.type, args.log.c_str(), nullptr, nullptr) != 0) {
    std::printf("cannot replay %s\n", args.log.c_str());
    return 1;
  }
  std::string sentences(64 * 1024, '\0');
  const UINT_PTR timer = SetTimer(nullptr, 0, args.interval, nullptr);
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(args.seconds * 1000);
  const double cpuStart = CpuSeconds();
  MSG msg;
  while (GetTickCount64() < end && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
      // One poll cycle: advance the replay, read the record and the sentences, publish.
      if (Pelmora_Poll() != 0) {
        Pelmora_Close();
        Pelmora_Open(args.type, args.log.c_str(), nullptr, nullptr);
        continue;
      }
      pelmora::net::FixEpoch epoch;
      Pelmora_GetInfo(&epoch.fix);
      int32_t length = 0;
      epoch.receiverSpeaksNmea =
          Pelmora_GetSentences(sentences.data(), static_cast<int32_t>(sentences.size()), &length) ==
          0;
      epoch.sentences = std::string_view(sentences.data(), static_cast<std::size_t>(length));
      server.Publish(epoch);
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
  server.Stop();
  Pelmora_Close();
  std::printf("stopped\n");
  return 0;
}
