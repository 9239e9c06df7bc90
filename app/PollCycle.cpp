// One tick of the poll cycle, in its fixed order: guard, phase, poll, failure, then the feed.
#include "app/PollCycle.h"

#include <optional>

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
  // Live polls on every tick; a replay advances once per update tick and stands while paused.
  const bool live = p_.form.Checked("FileLive");
  if (!live && (*phase != 0 || p_.host.Paused())) return;
  const int32_t polled = p_.engine.Poll();
  p_.host.SetLastStatus(polled);
  if (polled == kNavPollLogFailed) {
    RecordingFailed();
    return;
  }
  if (polled != 0) {
    PollFailed();
    return;
  }
  const bool update = *phase == 0;
  p_.feed.Polled(update, [this] { p_.host.Beep(); });
  // The fix read on an update tick becomes the last status, as Pelmora_GetInfo's result.
  if (update) p_.host.SetLastStatus((p_.feed.Current().flags & kEpochHasFix) != 0 ? 1 : 0);
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
