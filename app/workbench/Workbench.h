// The workbench's model: the accuracy statistics and the history, fed one engine epoch at a
// time (the window's epoch consumer forwards to it). Portable: standard C++ only.
#pragma once

#include <cstdint>

#include "app/workbench/AccuracyStats.h"
#include "app/workbench/EpochSample.h"
#include "app/workbench/History.h"
#include "navlib32/navlib32_epoch.h"

namespace pelmora::workbench {

class Workbench {
 public:
  explicit Workbench(std::size_t historyCapacity = History::kDefaultCapacity,
                     std::size_t storedSamples = AccuracyStats::kDefaultStored)
      : accuracy_(storedSamples), history_(historyCapacity) {}

  // A read of the engine; an epoch read again (the same non-zero sequence) is ignored.
  // The history's deviation is the distance from the accuracy reference as it stands at that
  // epoch (the running mean so far, with that reference). Returns the sample taken, or null for
  // a repeat.
  const EpochSample* OnEpoch(const pelmora::Epoch& epoch);
  // A new source: the history and the clock start again; the accuracy session is left alone.
  void NewSource();

  AccuracyStats& accuracy() { return accuracy_; }
  const AccuracyStats& accuracy() const { return accuracy_; }
  const History& history() const { return history_; }

 private:
  AccuracyStats accuracy_;
  History history_;
  EpochClock clock_;
  uint64_t lastSequence_ = 0;
  EpochSample sample_;
};

}  // namespace pelmora::workbench
