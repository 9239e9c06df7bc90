// The poll cycle's tick on the main window's model with fakes for the engine, the clock, the
// string table and the client link: a full update step (twelve satellites, every panel, the
// update command composed and sent) and a live tick that only polls. The engine's own work and
// the painting under Win32 are not part of it.
#include <benchmark/benchmark.h>

#include "tests/unit/app/MainFormFakes.h"
#include "tests/unit/net/NetTestSupport.h"

namespace {

using namespace pelmora;

using net::testing::FullFix;

class Cycle {
 public:
  explicit Cycle(int updateInterval)
      : strings_(log_),
        engine_(log_),
        host_(log_),
        link_(log_),
        form_(host_, engine_, strings_, link_) {
    host_.options.display.updateInterval = updateInterval;
    engine_.logPolls = false;
    engine_.info = FullFix(12);
    form_.FormCreate();
    form_.Modes().FileLive_Click();
    link_.accepts = true;
    form_.Link().Toggle();
  }
  // One tick at 12:00:01; the log the fakes keep is emptied, its capacity kept.
  void Tick() {
    host_.now = {0, 1};
    form_.Timer1_Timer();
    log_.clear();
  }
  int Reads() const { return engine_.reads; }

 private:
  fakes::Log log_;
  fakes::FakeStrings strings_;
  fakes::FakeEngine engine_;
  fakes::FakeHost host_;
  fakes::FakeLinkTransport link_;
  TMainForm form_;
};

void UpdateStep(benchmark::State& state) {
  Cycle cycle(1);  // every tick is an update tick
  for (auto _ : state)
    cycle.Tick();
  if (cycle.Reads() != static_cast<int>(state.iterations())) state.SkipWithError("no update");
}
BENCHMARK(UpdateStep);

void LivePollTick(benchmark::State& state) {
  Cycle cycle(2);  // second 1 is off the phase: poll only
  for (auto _ : state)
    cycle.Tick();
  if (cycle.Reads() != 0) state.SkipWithError("an update ran");
}
BENCHMARK(LivePollTick);

}  // namespace

BENCHMARK_MAIN();
