// The workbench window's redraw time under Wine: the real window with 24 h of 10 Hz epochs of 60
// satellites in its model, each tab shown in turn and repainted whole (every control and graph,
// RDW_UPDATENOW) ROUNDS times, each of its graphs alone (the double-buffered GDI drawing without
// the native controls), and the refill of every page after a new epoch. Prints the median, 99th
// percentile and maximum of each, in milliseconds. The message console holds its 2000 rows, and
// each new epoch brings 30 sentences more.
//   wine workbench_redraw.exe [EPOCHS] [ROUNDS]   (default 864000, 200)
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "app/WorkbenchWindow_win.h"
#include "app/settings/OptionStore.h"

namespace {

using namespace pelmora;
using Clock = std::chrono::steady_clock;

class MemoryOptions : public OptionBackend {
 public:
  uint32_t GetHVNAppOption(const char*, const char*, char*, uint32_t) override { return 0; }
  uint32_t SetHVNAppOption(const char*, const char*, const char*) override { return 1; }
};

// No log replays: the player bar stays hidden.
class NoPlayer : public workbench::PlayerCommands {
 public:
  bool Snapshot(workbench::PlayerSnapshot&) override { return false; }
  void SeekEpoch(int64_t) override {}
  void Step(bool) override {}
  void TogglePause() override {}
  void SetSpeed(ReplaySpeed) override {}
};

// Epoch i of a day at 10 Hz: a few metres of wander, 60 satellites of four systems moving slowly.
void MakeEpoch(int i, Epoch& e) {
  e = {};
  FixRecord& f = e.fix;
  f.validFlags = kValidStatus | kValidFixMode | kValidTime | kValidPosition |
                 kValidEllipsoidHeight | kValidGeometry | kValidSignal;
  f.status = 1;
  f.fixMode = i % 5000 < 4900 ? 3 : 1;  // a short outage every 500 s
  f.utcSeconds = std::fmod(i / 10.0, 86400.0);
  f.latitude = 52.52 + 2e-5 * std::sin(i * 0.013);
  f.longitude = 13.405 + 3e-5 * std::cos(i * 0.007);
  f.ellipsoidHeight = 80 + 3 * std::sin(i * 0.011);
  f.pdop = static_cast<float>(1.2 + 0.5 * std::sin(i * 0.001));
  e.sequence = static_cast<uint64_t>(i) + 1;
  e.logOffset = -1;
  e.flags = f.fixMode >= 2 ? kEpochHasFix : 0;
  e.satCount = 60;
  for (int s = 0; s < 60; ++s) {
    EpochSat& sat = e.sats[s];
    sat.system = static_cast<uint16_t>(1 + s / 15);  // GPS, GLONASS, Galileo, BeiDou
    sat.svid = static_cast<int16_t>(1 + s % 15);
    sat.elevation = static_cast<int16_t>(5 + (s * 7 + i / 600) % 85);
    sat.azimuth = static_cast<int16_t>((s * 37 + i / 100) % 360);
    sat.snr = static_cast<int16_t>(25 + (s * 13 + i / 50) % 25);
    sat.used = s % 3 != 0 ? 1 : 0;
  }
}

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

std::vector<HWND> VisibleGraphs(HWND top) {
  std::vector<HWND> graphs;
  EnumChildWindows(
      top,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        wchar_t cls[32] = {};
        GetClassNameW(hwnd, cls, 32);
        if (IsWindowVisible(hwnd) && wcscmp(cls, L"PelmoraGraph") == 0)
          reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&graphs));
  return graphs;
}

// Repaints one window ROUNDS times; the milliseconds of each.
std::vector<double> TimeRedraws(HWND hwnd, int rounds) {
  std::vector<double> ms;
  for (int r = 0; r < rounds; ++r) {
    const auto start = Clock::now();
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    ms.push_back(Ms(Clock::now() - start));
  }
  return ms;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Report(const char* what, std::vector<double>& ms) {
  std::sort(ms.begin(), ms.end());
  const auto at = [&](double q) { return ms[static_cast<std::size_t>(q * (ms.size() - 1))]; };
  std::printf("%-28s p50 %7.2f ms  p99 %7.2f ms  max %7.2f ms  (%zu rounds)\n", what, at(0.5),
              at(0.99), ms.back(), ms.size());
}

// A 10 Hz multi-GNSS receiver's sentences of one epoch, as message records.
std::vector<uint8_t> EpochMessages() {
  constexpr int kSentences = 30;
  const std::string sentence =
      "$GPGSV,3,1,12,01,21,189,35,02,01,263,,15,16,103,34,17,08,022,33,1*6D";
  std::vector<uint8_t> records;
  for (int i = 0; i < kSentences; ++i) {
    const auto length = static_cast<uint16_t>(sentence.size());
    const MessageHeader h{length, static_cast<uint8_t>(MessageProtocol::Nmea),
                          static_cast<uint8_t>(MessageStatus::Ok), length};
    const auto* p = reinterpret_cast<const uint8_t*>(&h);
    records.insert(records.end(), p, p + sizeof h);
    records.insert(records.end(), sentence.begin(), sentence.end());
  }
  return records;
}

}  // namespace

int main(int argc, char** argv) {
  const int epochs = argc > 1 ? std::atoi(argv[1]) : 864000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 200;
  MemoryOptions backend;
  OptionStore store(backend, "Pelmora");
  workbench::WorkbenchModel model;
  Epoch epoch;
  const dde::FixQuantities quantities{};
  const auto fed = Clock::now();
  for (int i = 0; i < epochs; ++i) {
    MakeEpoch(i, epoch);
    model.OnEpoch(epoch, {});
  }
  // The message console full.
  const std::vector<uint8_t> messages = EpochMessages();
  for (std::size_t n = 0; n < workbench::MessageConsole::kDefaultCapacity; n += 30)
    model.OnMessages({messages, 0});
  model.OnUpdate(epoch, quantities);
  std::printf("fed %d epochs of 60 satellites in %.1f s\n", epochs, Ms(Clock::now() - fed) / 1000);

  NoPlayer player;
  WorkbenchWindow window(GetModuleHandleW(nullptr), model, store, player);
  window.Show();
  Pump();
  HWND bench = FindWindowW(L"PelmoraWorkbench", nullptr);
  HWND tabs = GetDlgItem(bench, IDC_WorkbenchTabs);
  if (bench == nullptr || tabs == nullptr) {
    std::fprintf(stderr, "the workbench did not open\n");
    return 1;
  }
  SetWindowPos(bench, nullptr, 0, 0, 1000, 720, SWP_NOZORDER | SWP_NOMOVE);
  Pump();
  const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
  for (int tab = 0; tab < count; ++tab) {
    SendMessageW(tabs, TCM_SETCURSEL, tab, 0);
    NMHDR header{tabs, IDC_WorkbenchTabs, TCN_SELCHANGE};
    SendMessageW(bench, WM_NOTIFY, IDC_WorkbenchTabs, reinterpret_cast<LPARAM>(&header));
    Pump();
    wchar_t title[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = title;
    item.cchTextMax = 64;
    SendMessageW(tabs, TCM_GETITEMW, tab, reinterpret_cast<LPARAM>(&item));
    char name[96];
    std::snprintf(name, sizeof name, "redraw %ls", title);
    std::vector<double> ms = TimeRedraws(bench, rounds);
    Report(name, ms);
    for (HWND graph : VisibleGraphs(bench)) {
      wchar_t graphName[64] = {};
      GetWindowTextW(graph, graphName, 64);
      std::snprintf(name, sizeof name, "  graph %ls", graphName);
      ms = TimeRedraws(graph, rounds);
      Report(name, ms);
    }
  }
  // A new epoch: every page refilled, the shown one repainted.
  std::vector<double> ms;
  for (int r = 0; r < rounds; ++r) {
    MakeEpoch(epochs + r, epoch);
    model.OnMessages({messages, 0});
    model.OnEpoch(epoch, {});
    model.OnUpdate(epoch, quantities);
    const auto start = Clock::now();
    window.Refresh();
    UpdateWindow(bench);
    RedrawWindow(bench, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    ms.push_back(Ms(Clock::now() - start));
  }
  Report("refill after an epoch", ms);
  return 0;
}
