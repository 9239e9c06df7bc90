// The workbench window's texts, made from the latest epoch, the accuracy summary and the
// history.
#include "app/workbench/WorkbenchModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "app/workbench/DeviationPlot.h"

namespace pelmora::workbench {
namespace {

constexpr const char* kNone = "-";

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[96];
  const int n = std::snprintf(buffer, sizeof buffer, format, args...);
  return n < 0 ? std::string() : std::string(buffer, std::min<std::size_t>(n, sizeof buffer - 1));
}

std::string Metres(double value) {
  return std::isfinite(value) ? Format("%.3f m", value) : kNone;
}

// Seconds as h:mm:ss.
std::string Duration(double seconds) {
  return std::isfinite(seconds) && seconds >= 0 ? ElapsedText(seconds) : kNone;
}

// Epoch clock seconds as the time of day hh:mm:ss.s.
std::string TimeOfDay(double seconds) {
  if (!std::isfinite(seconds)) return kNone;
  double day = std::fmod(seconds, 86400.0);
  if (day < 0) day += 86400.0;
  const auto tenths = static_cast<long long>(day * 10.0 + 0.5);
  return Format("%02lld:%02lld:%02lld.%lld", tenths / 36000 % 24, tenths / 600 % 60,
                tenths / 10 % 60, tenths % 10);
}

int SortKey(const EpochSat& sat, SatColumn column) {
  switch (column) {
    case SatColumn::System:
      return sat.system;
    case SatColumn::Number:
      return sat.svid;
    case SatColumn::Elevation:
      return sat.elevation;
    case SatColumn::Azimuth:
      return sat.azimuth;
    case SatColumn::Signal:
      return sat.snr;
    case SatColumn::Used:
      return sat.used;
  }
  return 0;
}

}  // namespace

WorkbenchModel::WorkbenchModel(std::size_t historyCapacity, std::size_t storedSamples)
    : bench_(historyCapacity, storedSamples) {
  bench_.accuracy().Start();
}

void WorkbenchModel::OnUpdate(const Epoch&, const dde::FixQuantities&) {
  ++updates_;
}

void WorkbenchModel::OnEpoch(const Epoch& epoch, std::string_view) {
  if (const EpochSample* sample = bench_.OnEpoch(epoch))
    trails_.Add(sample->time, epoch.sats, epoch.satCount);
  latest_ = epoch;
}

void WorkbenchModel::OnNewSource() {
  bench_.NewSource();
  trails_.Clear();
  latest_ = Epoch{};
}

void WorkbenchModel::OnMessages(const MessageBatch& batch) {
  messages_.Add(batch.records, batch.dropped);
}

void WorkbenchModel::SortBy(SatColumn column) {
  ascending_ = column == sortColumn_ ? !ascending_ : true;
  sortColumn_ = column;
}

const char* WorkbenchModel::ColumnTitle(SatColumn column) {
  static constexpr const char* kTitles[kSatColumnCount] = {"System",  "Number", "Elevation",
                                                           "Azimuth", "Signal", "Used"};
  return kTitles[static_cast<int>(column)];
}

const char* WorkbenchModel::OutageColumnTitle(int column) {
  static constexpr const char* kTitles[kOutageColumnCount] = {"Outage", "Start", "End",
                                                              "Epochs missing"};
  return column >= 0 && column < kOutageColumnCount ? kTitles[column] : "";
}

std::vector<SatRow> WorkbenchModel::SatelliteRows() const {
  const int count = std::clamp<int>(latest_.satCount, 0, kMaxAllSats);
  std::vector<SatRow> rows;
  rows.reserve(count);
  for (int i = 0; i < count; ++i) {
    const EpochSat& s = latest_.sats[i];
    rows.push_back(
        {{SystemName(s.system), std::to_string(s.svid), Format("%d\xB0", s.elevation),
          Format("%d\xB0", s.azimuth), s.snr > 0 ? Format("%d dB-Hz", s.snr) : std::string(kNone),
          s.used != 0 ? "Yes" : "No"},
         s});
  }
  // Ties keep the epoch's own order: system, then number.
  std::stable_sort(rows.begin(), rows.end(), [this](const SatRow& a, const SatRow& b) {
    const int ka = SortKey(a.sat, sortColumn_), kb = SortKey(b.sat, sortColumn_);
    return ascending_ ? ka < kb : ka > kb;
  });
  return rows;
}

std::array<LabelText, kConstellationCount> WorkbenchModel::SystemCounts() const {
  std::array<LabelText, kConstellationCount> counts;
  const int count = std::clamp<int>(latest_.satCount, 0, kMaxAllSats);
  for (int k = 0; k < kConstellationCount; ++k) {
    int used = 0, inView = 0;
    for (int i = 0; i < count; ++i) {
      if (latest_.sats[i].system != static_cast<int16_t>(kConstellations[k].system)) continue;
      ++inView;
      used += latest_.sats[i].used != 0 ? 1 : 0;
    }
    counts[k] = {SystemName(static_cast<int>(kConstellations[k].system)),
                 Format("%d / %d", used, inView)};
  }
  return counts;
}

std::array<LabelText, kStatCount> WorkbenchModel::Statistics() const {
  return StatisticsOf(bench_.accuracy().Summary());
}

std::array<LabelText, kStatCount> WorkbenchModel::StatisticsOf(const AccuracySummary& s) {
  const bool any = s.samples > 0;
  auto metres = [any](double v) { return any ? Metres(v) : std::string(kNone); };
  const std::string mean =
      any ? Format("%.7f\xB0, %.7f\xB0, %.2f m", s.mean.latitude, s.mean.longitude, s.mean.height)
          : kNone;
  return {{{"Samples", std::to_string(s.samples)},
           {"Excluded", std::to_string(s.excluded)},
           {"Duration", any ? Duration(s.duration) : kNone},
           {"Mean position", mean},
           {"Sigma East", metres(s.sigmaE)},
           {"Sigma North", metres(s.sigmaN)},
           {"Sigma Up", metres(s.sigmaU)},
           {"CEP50", metres(s.cep50)},
           {"CEP95", metres(s.cep95)},
           {"2DRMS", metres(s.twoDrms)},
           {"Vertical 95 %", metres(s.vertical95)}}};
}

std::vector<OutageRow> WorkbenchModel::OutageRows() const {
  std::vector<OutageRow> rows;
  for (const Outage& o : bench_.history().outages()) {
    const char* kind = o.kind == OutageKind::FixLost    ? "Fix lost"
                       : o.kind == OutageKind::TimeJump ? "Time jump"
                                                        : "Epochs missing";
    std::string end = o.ongoing ? "ongoing" : TimeOfDay(o.end);
    std::string missing = o.kind == OutageKind::EpochsMissing ? std::to_string(o.missing) : kNone;
    rows.push_back({kind, TimeOfDay(o.start), std::move(end), std::move(missing)});
  }
  return rows;
}

}  // namespace pelmora::workbench
