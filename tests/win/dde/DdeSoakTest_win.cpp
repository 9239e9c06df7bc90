// The DDE server under load in a test host: many client processes at once (ddecmd), thousands
// of macros, advise loops open while the fix changes, clients that end without a goodbye.
// Afterwards no conversation, link or string handle of the server is left, and the process heap,
// its kernel handles and its USER objects are back near where they started. The counts are
// printed for the record. The watchers keep warm loops: a hot loop's data makes Wine's DDEML
// leave two small heap blocks behind in the server per post, whatever the server does
// (DdeServerTest covers the hot loops' data).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/dde/DdeSession_win.h"
#include "tests/unit/dde/RecordingMacroActions.h"
#include "tests/win/dde/DdeTestSupport_win.h"

namespace pelmora::dde {
namespace {

using test::PumpUntil;
using test::Tool;
using namespace std::chrono_literals;

constexpr char kService[] = "ddesoak";
constexpr int kClients = 16;
constexpr int kMacrosPerClient = 200;
constexpr int kVanishing = 6;

struct HeapCount {
  long blocks = 0;
  long long bytes = 0;
};

// The windows of this thread, children included: DDEML makes one per conversation (Wine reports
// no kernel handle or USER object counts, so the windows stand for them).
long ThreadWindows() {
  long count = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* n = reinterpret_cast<long*>(lp);
        ++*n;
        EnumChildWindows(
            hwnd,
            [](HWND, LPARAM child) -> BOOL {
              ++*reinterpret_cast<long*>(child);
              return TRUE;
            },
            lp);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

HeapCount BusyHeapBlocks() {
  HeapCount count;
  HANDLE heap = GetProcessHeap();
  HeapLock(heap);
  PROCESS_HEAP_ENTRY entry{};
  while (HeapWalk(heap, &entry)) {
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
      ++count.blocks;
      count.bytes += entry.cbData;
    }
  }
  HeapUnlock(heap);
  return count;
}

TEST(DdeSoak, ManyClientsThousandsOfMacrosAndVanishingClientsLeaveNothingBehind) {
  UINT error = 0;
  std::unique_ptr<DdeSession> session = DdeSession::Start(kService, &error);
  ASSERT_NE(session, nullptr) << std::hex << error;
  RecordingMacroActions window;
  session->Server().SetMacroActions(&window);
  const ServerModel& model = session->Server().Model();
  FixQuantities fix;
  session->Server().PublishFix(fix);
  test::Pump(200ms);
  const long stringsBefore = DdeString::Alive();
  const HeapCount heapBefore = BusyHeapBlocks();
  const long windowsBefore = ThreadWindows();

  // Clients that vanish with advise loops open: killed once their loops stand.
  std::vector<std::unique_ptr<Tool>> vanishing;
  for (int i = 0; i < kVanishing; ++i) {
    vanishing.push_back(std::make_unique<Tool>(
        "ddecmd.exe",
        std::vector<std::string>{"--tries", "3", kService, "HVN", "advise", "Latitude", "60"}));
  }
  ASSERT_TRUE(PumpUntil([&] { return model.AdviseLinkCount() == kVanishing; }, 20s));
  for (auto& tool : vanishing)
    tool->Kill();

  // Senders of macros and watchers of items at once, while update steps go on. A watcher pokes
  // before its loop starts: under Wine, a synchronous poke amid a flood of notices on its own
  // conversation was seen answered as not processed now and then (cause not found).
  std::vector<std::unique_ptr<Tool>> clients;
  for (int i = 0; i < kClients; ++i) {
    const bool watcher = i % 2 == 1;
    const std::string item = i % 4 == 1 ? "Latitude" : "Speed";
    clients.push_back(std::make_unique<Tool>(
        "ddecmd.exe",
        watcher ? std::vector<std::string>{"--tries", "3", kService, "HVN", "poke", item,
                                           std::to_string(i), "warm", item, "4"}
                : std::vector<std::string>{"--tries", "3", "--repeat",
                                           std::to_string(kMacrosPerClient), kService, "HVN",
                                           "execute", "soak macro " + std::to_string(i)}));
  }
  int steps = 0;
  const auto allDone = [&] {
    for (const auto& c : clients)
      if (c->Running()) return false;
    return true;
  };
  ASSERT_TRUE(PumpUntil(
      [&] {
        fix.latitudeDegrees = ++steps * 0.001;
        session->Server().PublishFix(fix);
        return allDone();
      },
      120s));
  for (const auto& c : clients)
    EXPECT_EQ(c->Wait(), 0u) << c->Output();
  session->Server().PublishFix(fix);  // the vanished clients' conversations go here at the latest
  EXPECT_TRUE(PumpUntil([&] { return model.Conversations().empty(); }, 20s))
      << model.Conversations().size() << " conversations left";
  EXPECT_EQ(model.AdviseLinkCount(), 0u);
  EXPECT_EQ(window.Labels().size(), size_t{kClients / 2} * kMacrosPerClient);
  EXPECT_EQ(DdeString::Alive(), stringsBefore);

  test::Pump(500ms);
  const HeapCount heapAfter = BusyHeapBlocks();
  const long windowsAfter = ThreadWindows();
  // Threads and windows leave a few hundred blocks whatever the load; a block kept per macro or
  // per update would add thousands.
  EXPECT_LT(heapAfter.blocks - heapBefore.blocks, 1000);
  EXPECT_EQ(windowsAfter, windowsBefore) << "a conversation window was left";
  std::printf(
      "soak: %d client processes, half of them %d macros each, %d vanished clients, %d update "
      "steps\n"
      "  server string handles alive: %ld before, %ld after\n"
      "  heap blocks in use: %ld (%lld bytes) before, %ld (%lld bytes) after\n"
      "  windows of the server thread (one per conversation): %ld before, %ld after\n"
      "  global atom Latitude after: %s\n",
      kClients, kMacrosPerClient, kVanishing, steps, stringsBefore, DdeString::Alive(),
      heapBefore.blocks, heapBefore.bytes, heapAfter.blocks, heapAfter.bytes, windowsBefore,
      windowsAfter, GlobalFindAtomA("Latitude") != 0 ? "present" : "gone");
}

}  // namespace
}  // namespace pelmora::dde
