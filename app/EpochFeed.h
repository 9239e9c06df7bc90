// The epoch's one road through the program. After every successful poll the feed reads the
// engine once (the epoch, the NMEA receiver's own sentences that came with it, and every message
// framed) and hands that one epoch on, in a fixed order:
//   1. the views (MainPanels) — update ticks only; they write their display clamps (signal
//      0..99, PDOP at most 20) into the shown copy of the record,
//   2. the GIS link's update command, with the nine quantities computed once,
//   3. the consumers, in the order added: the DDE server's items, the fix server, ...
// Consumers hear OnUpdate (update ticks, after 1 and 2, unless an arithmetic fault ended the
// step) and then OnEpoch (every successful poll). Nothing returns into the engine afterwards.
// Portable.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainPanels.h"
#include "app/dde/ClientLink.h"
#include "app/dde/FixQuantities.h"
#include "app/engine/Engine.h"
#include "app/format/FixText.h"
#include "app/settings/StartupOptions.h"
#include "navlib32/navlib32_epoch.h"

namespace pelmora {

// The receiver's messages of one read: records as navlib32_messages.h lays them out, and how
// many the engine let go unread before them.
struct MessageBatch {
  std::span<const uint8_t> records;
  uint64_t dropped = 0;
};

// Something that follows the fix beside the window. Runs on the GUI thread inside the tick:
// shows no box, does not call back into the feed or the cycle, does not change the mode.
class EpochConsumer {
 public:
  virtual ~EpochConsumer() = default;
  // At the end of every update step: the epoch as the window shows it (clamps written back) and
  // the nine quantities the update command carries.
  virtual void OnUpdate(const Epoch& /*shown*/, const dde::FixQuantities& /*quantities*/) {}
  // After every successful poll (every tick live, every update tick in replay, never while
  // paused): the epoch as read, and the NMEA receiver's checksum-valid sentences since the last
  // poll (empty for TSIP).
  virtual void OnEpoch(const Epoch& /*epoch*/, std::string_view /*sentences*/) {}
  // A new source is open: what follows belongs to it (a replay's seeks are no new source).
  virtual void OnNewSource() {}
  // After every successful poll, before OnEpoch: every message the engine framed since the last
  // poll, good or damaged, NMEA and TSIP alike.
  virtual void OnMessages(const MessageBatch& /*batch*/) {}
};

// What the update step needs beyond the views.
struct EpochFeedParts {
  Engine& engine;
  const StartupOptions& options;  // display options, read at every step
  const FixText& text;
  MainPanels& panels;
  dde::ClientLink& link;
};

class EpochFeed {
 public:
  explicit EpochFeed(const EpochFeedParts& parts) : p_(parts) {}

  // A new source: nothing read yet; the consumers hear OnNewSource.
  void Reset();
  // One successful poll: reads the engine, runs the update step on update ticks, tells the
  // consumers. beep: called first on update ticks when the Beep option is on.
  template <typename Beep>
  void Polled(bool updateTick, Beep&& beep) {
    Read();
    if (updateTick) {
      if (p_.options.display.beep == 1) beep();
      Update();
    }
    const MessageBatch messages{messages_, messagesDropped_};
    for (EpochConsumer* consumer : consumers_) {
      consumer->OnMessages(messages);
      consumer->OnEpoch(epoch_, sentences_);
    }
  }

  // The engine's epoch after a seek or a step: read once more, the update step, the consumers.
  void Show() {
    Polled(true, [] {});
  }
  // The update step on the epoch of the last read (a paced replay's update tick).
  template <typename Beep>
  void Refresh(Beep&& beep) {
    if (p_.options.display.beep == 1) beep();
    Update();
  }

  // Consumers are told in the order added; each must outlive the feed's ticks.
  void Add(EpochConsumer& consumer) { consumers_.push_back(&consumer); }

  // The epoch of the last read, and the one the last update step showed.
  const Epoch& Current() const { return epoch_; }
  const Epoch& Shown() const { return shown_; }

 private:
  void Read();
  void Update();
  dde::FixQuantities Quantities() const;

  EpochFeedParts p_;
  std::vector<EpochConsumer*> consumers_;
  Epoch epoch_{};
  Epoch shown_{};
  std::string sentences_;          // reused buffer
  std::vector<uint8_t> messages_;  // reused buffer
  uint64_t messagesDropped_ = 0;
};

}  // namespace pelmora
