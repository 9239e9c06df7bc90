// One tick of the poll cycle, in its fixed order: guard, phase, poll, failure, then the feed.
#include "app/PollCycle.h"

#include <optional>

#include "app/Player.h"
#include "app/format/CheckedMath.h"
#include "navlib32/navlib32.h"
#include "navres32/StringIds.h"

namespace pelmora {
namespace {

constexpr int32_t kSecondsPerMinute = 60;

// Sets a flag for the lifetime of a scope.
class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~ScopedFlag() { flag_ = false; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void PollCycle::Timer1_Timer() {
  if (inTick_) return;  // a box of the cycle is open: no box inside a box
  if (!p_.host.EngineOpen() || p_.host.Closing()) return;
  const ScopedFlag tick(inTick_);

  const WallClockTime now = p_.host.LocalTime();
  // An UpdateInterval of 0 ends every tick here, before any poll.
  const std::optional<int32_t> phase = CheckedRemainder(kSecondsPerMinute * now.minute + now.second,
                                                        p_.options.display.updateInterval);
  if (!phase) return;
  // Live polls on every tick; a replay advances once per update tick, or at its speed on every
  // tick, and stands while paused.
  const bool live = p_.form.Checked("FileLive");
  if (!live && p_.host.Paused()) return;
  if (!live && p_.player.Paced()) {
    PacedTick(*phase == 0);
    return;
  }
  if (!live && *phase != 0) return;
  if (!PollSucceeded(p_.engine.Poll())) return;
  const bool update = *phase == 0;
  p_.feed.Polled(update, [this] { p_.host.Beep(); });
  // The fix read on an update tick becomes the last status, as Pelmora_GetInfo's result.
  if (update) p_.host.SetLastStatus((p_.feed.Current().flags & kEpochHasFix) != 0 ? 1 : 0);
}

void PollCycle::PacedTick(bool update) {
  bool failed = false;
  const int polled = p_.player.Advance([this, &failed] {
    failed = !PollSucceeded(p_.engine.Poll());
    if (failed) return false;
    p_.feed.Polled(false, [] {});
    return true;
  });
  if (failed) return;
  if (unshownOpen_ != p_.host.EngineOpens()) {
    unshownOpen_ = p_.host.EngineOpens();
    unshown_ = false;
  }
  if (polled > 0) unshown_ = true;
  if (!update || !unshown_) return;
  unshown_ = false;
  p_.feed.Refresh([this] { p_.host.Beep(); });
  p_.host.SetLastStatus((p_.feed.Current().flags & kEpochHasFix) != 0 ? 1 : 0);
}

bool PollCycle::PollSucceeded(int32_t polled) {
  p_.host.SetLastStatus(polled);
  if (polled == kNavPollLogFailed) {
    RecordingFailed();
    return false;
  }
  if (polled != 0) {
    PollFailed();
    return false;
  }
  return true;
}

void PollCycle::PollFailed() {
  const uint32_t opens = p_.host.EngineOpens();
  p_.host.ShowError(p_.strings.Get(IDS_PollFailed));
  // The box ran a message loop: a macro command or the close box may have switched the mode or
  // begun the shutdown meanwhile, and that engine is not this tick's to close.
  if (p_.host.Closing() || !p_.host.EngineOpen() || p_.host.EngineOpens() != opens) return;
  // Off in every respect: menus, FileRecord, port panel and the GIS agree.
  p_.host.FileOff();
}

void PollCycle::RecordingFailed() {
  p_.host.StopRecording();
  p_.host.ShowError(p_.strings.Get(IDS_RecordingFailed));
}

}  // namespace pelmora
