// The workbench window as texts: an epoch consumer that feeds the Workbench and keeps the latest
// epoch, and gives the satellite table, the per-system counts, the accuracy statistics and the
// outage list as the rows and labels the window shows. Portable: standard C++ only; texts are
// Windows-1252.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/EpochFeed.h"
#include "app/workbench/Constellations.h"
#include "app/workbench/MessageConsole.h"
#include "app/workbench/SkyTrails.h"
#include "app/workbench/Workbench.h"
#include "navlib32/navlib32_epoch.h"

namespace pelmora::workbench {

// Columns of the satellite table, in their order.
enum class SatColumn { System, Number, Elevation, Azimuth, Signal, Used };
constexpr int kSatColumnCount = 6;

struct SatRow {
  std::array<std::string, kSatColumnCount> cells;
  EpochSat sat;  // the values the rows are sorted by
};

struct LabelText {
  const char* caption;
  std::string value;
};

constexpr int kStatCount = 11;
constexpr int kOutageColumnCount = 4;
using OutageRow = std::array<std::string, kOutageColumnCount>;

class WorkbenchModel : public EpochConsumer {
 public:
  explicit WorkbenchModel(std::size_t historyCapacity = History::kDefaultCapacity,
                          std::size_t storedSamples = AccuracyStats::kDefaultStored);

  void OnUpdate(const Epoch& shown, const dde::FixQuantities& quantities) override;
  void OnEpoch(const Epoch& epoch, std::string_view sentences) override;
  // The history and the latest epoch start again; the accuracy session is left alone.
  void OnNewSource() override;
  void OnMessages(const MessageBatch& batch) override;

  // Counts the update steps heard: the window refreshes when it changed.
  uint64_t Updates() const { return updates_; }
  const Epoch& Latest() const { return latest_; }
  Workbench& Bench() { return bench_; }
  // The sky plot's trails, on the history's clock.
  const SkyTrails& Trails() const { return trails_; }
  // The receiver's messages as the Messages tab shows them.
  MessageConsole& Messages() { return messages_; }

  // Sorts by a column; the same column again reverses the order.
  void SortBy(SatColumn column);
  SatColumn SortColumn() const { return sortColumn_; }
  bool SortAscending() const { return ascending_; }

  static const char* ColumnTitle(SatColumn column);
  static const char* OutageColumnTitle(int column);

  // Every satellite of the latest epoch (at most kMaxAllSats), in the chosen order.
  std::vector<SatRow> SatelliteRows() const;
  // "used / in view" per system of kConstellations, in its order.
  std::array<LabelText, kConstellationCount> SystemCounts() const;
  // Samples, excluded, duration, mean position, sigma E/N/U, CEP50, CEP95, 2DRMS, vertical 95 %.
  std::array<LabelText, kStatCount> Statistics() const;
  // The same texts of a summary already made (the percentiles cost a pass over every sample).
  static std::array<LabelText, kStatCount> StatisticsOf(const AccuracySummary& summary);
  // The history's outages, oldest first: kind, start, end, epochs missing.
  std::vector<OutageRow> OutageRows() const;

 private:
  Workbench bench_;
  SkyTrails trails_;
  MessageConsole messages_;
  Epoch latest_{};
  uint64_t updates_ = 0;
  SatColumn sortColumn_ = SatColumn::System;
  bool ascending_ = true;
};

}  // namespace pelmora::workbench
