// Merging, ageing and choosing satellites.
#include "navlib32/SatelliteView.h"

#include <algorithm>

namespace navlib {
namespace {

constexpr uint8_t kAllSystems = 0xFF;

uint8_t SystemBit(GnssSystem system) {
  return static_cast<uint8_t>(1u << static_cast<int>(system));
}

int16_t Checked(int value, int low, int high) {
  return (value >= low && value <= high) ? static_cast<int16_t>(value)
                                         : static_cast<int16_t>(SatelliteView::kNoValue);
}

}  // namespace

bool SatelliteView::BySystemAndNumber(const Sat& a, const Sat& b) {
  if (a.system != b.system) return a.system < b.system;
  return a.prn < b.prn;
}

void SatelliteView::Reset() {
  cur_ = Lists{};
  late_ = Lists{};
  held_ = Lists{};
  inLate_ = false;
  reportAge_ = kStaleSeconds;
}

SatelliteView::Sat* SatelliteView::Find(Lists& report, GnssSystem system, int prn) {
  if (!report.reported.Has(system, prn)) return nullptr;
  for (int i = 0; i < report.satCount; ++i) {
    if (report.sats[i].prn == prn && report.sats[i].system == system) return &report.sats[i];
  }
  return nullptr;
}

bool SatelliteView::Listed(const Lists& lists, GnssSystem system, int prn) {
  for (int i = 0; i < lists.usedCount; ++i) {
    if (lists.used[i].prn == prn && lists.used[i].system == system) return true;
  }
  return false;
}

inline SatelliteView::Sat* SatelliteView::FindHeld(int sorted, GnssSystem system, int prn) {
  Sat key;
  key.system = system;
  key.prn = static_cast<int16_t>(prn);
  Sat* end = held_.sats.data() + sorted;
  Sat* at = std::lower_bound(held_.sats.data(), end, key, BySystemAndNumber);
  return at != end && at->system == system && at->prn == prn ? at : nullptr;
}

SatelliteView::Sat* SatelliteView::Put(GnssSystem system, int prn, int elevation, int azimuth,
                                       int snr, int signal) {
  if (prn <= 0 || prn > 999) return nullptr;
  const int16_t el = Checked(elevation, -90, 90);
  const int16_t az = Checked(azimuth == 360 ? 0 : azimuth, 0, 359);
  const int16_t ss = Checked(snr, 0, 999);
  Lists& report = Report();
  Sat* sat = Find(report, system, prn);
  if (sat == nullptr) {
    if (report.satCount >= kMaxInView) return nullptr;
    sat = &report.sats[report.satCount++];
    report.reported.Add(system, prn);
    *sat = Sat{};
    sat->system = system;
    sat->prn = static_cast<int16_t>(prn);
    sat->signal = static_cast<uint8_t>(signal);
  }
  // The first angles given; the strongest of several signals (a repeated report of one signal,
  // as when an epoch boundary was lost, does not overwrite the first).
  if (sat->elevation == kNoValue) sat->elevation = el;
  if (sat->azimuth == kNoValue) sat->azimuth = az;
  const bool otherSignal = signal != sat->signal;
  if (ss != kNoValue && (sat->snr == kNoValue || (otherSignal && ss > sat->snr))) {
    sat->snr = ss;
    sat->signal = static_cast<uint8_t>(signal);
  }
  return sat;
}

void SatelliteView::AddInView(GnssSystem system, int prn, int elevation, int azimuth, int snr,
                              int signal) {
  Report().viewSystems |= SystemBit(system);
  Put(system, prn, elevation, azimuth, snr, signal);
}

void SatelliteView::MarkCompleteView() {
  Report().viewSystems = kAllSystems;
}

void SatelliteView::AddUsed(GnssSystem system, const int* prns, std::size_t count) {
  Lists& report = Report();
  report.usedReported = true;
  for (std::size_t i = 0; i < count; ++i) {
    const int prn = prns[i];
    if (prn <= 0 || prn > 999 || report.usedSet.Has(system, prn) || report.usedCount >= kMaxUsed) {
      continue;
    }
    report.used[report.usedCount++] = SatId{system, static_cast<int16_t>(prn)};
    report.usedSet.Add(system, prn);
  }
}

inline void SatelliteView::ClearReport(Lists& report) {
  for (int i = 0; i < report.satCount; ++i)
    report.reported.Remove(report.sats[i].system, report.sats[i].prn);
  for (int i = 0; i < report.usedCount; ++i)
    report.usedSet.Remove(report.used[i].system, report.used[i].prn);
  report.satCount = 0;
  report.usedCount = 0;
  report.usedReported = false;
  report.viewSystems = 0;
}

void SatelliteView::Merge(Lists& report, double stamp, double epochTime) {
  if (report.usedReported) {
    held_.usedReported = true;
    held_.usedSetAt = stamp;
    held_.usedDataTime = epochTime;
    held_.usedCount = report.usedCount;
    std::copy_n(report.used.begin(), report.usedCount, held_.used.begin());
  }
  // One pass: the reported used list marks the held satellites, those still shown stay.
  const Clock at{stamp, epochTime};
  const bool usedList = UsedListCurrent(at);
  int n = 0;
  for (int i = 0; i < held_.satCount; ++i) {
    Sat& s = held_.sats[i];
    if (report.usedReported) s.listed = report.usedSet.Has(s.system, s.prn);
    if (report.viewSystems & SystemBit(s.system)) continue;
    if (!Shown(s, at, usedList)) continue;
    if (n != i) held_.sats[n] = s;
    ++n;
  }
  held_.satCount = n;
  bool added = false;
  for (int i = 0; i < report.satCount; ++i) {
    const Sat& s = report.sats[i];
    Sat* h = FindHeld(n, s.system, s.prn);  // a report names each satellite once
    if (h == nullptr) {
      if (held_.satCount >= kMaxInView) continue;
      h = &held_.sats[held_.satCount++];
      *h = s;
      h->listed = report.usedReported ? report.usedSet.Has(s.system, s.prn)
                                      : Listed(held_, s.system, s.prn);
      added = true;
    } else {
      if (s.elevation != kNoValue) h->elevation = s.elevation;
      if (s.azimuth != kNoValue) h->azimuth = s.azimuth;
      if (s.snr != kNoValue) h->snr = s.snr;
      h->single = s.single;
    }
    h->setAt = stamp;
    h->dataTime = epochTime;
  }
  if (added) std::sort(held_.sats.begin(), held_.sats.begin() + held_.satCount, BySystemAndNumber);
  ClearReport(report);
}

void SatelliteView::CompleteEpoch(double stamp, double epochTime) {
  Merge(cur_, stamp, epochTime);
}

void SatelliteView::BeginLateReport() {
  ClearReport(late_);
  inLate_ = true;
}

void SatelliteView::EndLateReport(double stamp, double measuredAt) {
  inLate_ = false;
  Merge(late_, stamp, measuredAt);
}

bool SatelliteView::UsedListCurrent(const Clock& c) const {
  return held_.usedReported &&
         IsCurrent(held_.usedSetAt, held_.usedDataTime, c.now, c.latestTime, kStaleSeconds);
}

int SatelliteView::CurrentUsedCount(const Clock& clock) const {
  return UsedListCurrent(clock) ? held_.usedCount : -1;
}

bool SatelliteView::Shown(const Sat& s, const Clock& c, bool usedList) const {
  return (usedList && s.listed) ||
         IsCurrent(s.setAt, s.dataTime, c.now, c.latestTime, s.single ? reportAge_ : kStaleSeconds);
}

int SatelliteView::Candidates(const Clock& c, Candidate* out) const {
  const bool usedList = UsedListCurrent(c);
  int n = 0;
  for (int i = 0; i < held_.satCount; ++i) {
    const Sat& s = held_.sats[i];
    if (!Shown(s, c, usedList)) continue;
    out[n++] = Candidate{&s, usedList && s.listed};
  }
  return n;
}

namespace {

// A chosen satellite into its record slot; geometry: it has elevation and azimuth.
template <typename Sat>
void FillSlot(pelmora::SatInfo& slot, const Sat& s, bool used, bool* geometry) {
  constexpr int kNoValue = SatelliteView::kNoValue;
  slot.prn = s.prn;
  slot.used = used ? 1 : 0;
  slot.elevation = s.elevation == kNoValue ? 0 : s.elevation;
  slot.azimuth = s.azimuth == kNoValue ? 0 : s.azimuth;
  slot.snr = s.snr == kNoValue ? 0 : s.snr;
  *geometry = *geometry || (s.elevation != kNoValue && s.azimuth != kNoValue);
}

}  // namespace

int SatelliteView::Choose(const Clock& c, pelmora::SatInfo* out, int slots, bool* geometry) const {
  // Usually the shown satellites fit the slots: they fill them in one pass, in held order.
  {
    const bool usedList = UsedListCurrent(c);
    *geometry = false;
    int n = 0;
    int i = 0;
    for (; i < held_.satCount; ++i) {
      const Sat& s = held_.sats[i];
      if (!Shown(s, c, usedList)) continue;
      if (n == slots) break;
      FillSlot(out[n++], s, usedList && s.listed, geometry);
    }
    if (i == held_.satCount) return n;
  }
  // More than the slots: the best by priority (the slots written so far are written again).
  std::array<Candidate, kMaxInView> cands;
  const int nc = Candidates(c, cands.data());
  const int chosen = std::min(nc, slots);
  if (nc > chosen) {
    // Priority as one number: used, then signal, then elevation, then the lower number.
    auto rank = [](const Candidate& cand) {
      const Sat& s = *cand.sat;
      const uint64_t signal = static_cast<uint64_t>(s.snr == kNoValue ? 0 : s.snr + 1) & 0xFFFF;
      const uint64_t elevation =
          static_cast<uint64_t>(s.elevation == kNoValue ? 0 : s.elevation + 91);
      return (uint64_t{cand.used} << 56) | (signal << 40) | (elevation << 32) |
             (0xFFFFFFFFu -
              ((static_cast<uint32_t>(s.system) << 16) | static_cast<uint16_t>(s.prn)));
    };
    std::array<uint64_t, kMaxInView> ranks;
    for (int i = 0; i < nc; ++i)
      ranks[i] = rank(cands[i]);
    std::array<int, kMaxInView> index;
    for (int i = 0; i < nc; ++i)
      index[i] = i;
    std::partial_sort(index.begin(), index.begin() + chosen, index.begin() + nc,
                      [&](int a, int b) { return ranks[a] > ranks[b]; });
    std::array<Candidate, kMaxInView> best;
    for (int i = 0; i < chosen; ++i)
      best[i] = cands[index[i]];
    std::copy_n(best.begin(), chosen, cands.begin());
  }
  // The chosen ones in a stable order (by system and number) so display slots do not jump;
  // the candidates come in that order.
  if (nc > chosen) {
    std::sort(cands.begin(), cands.begin() + chosen, [](const Candidate& a, const Candidate& b) {
      return BySystemAndNumber(*a.sat, *b.sat);
    });
  }
  *geometry = false;
  for (int i = 0; i < chosen; ++i)
    FillSlot(out[i], *cands[i].sat, cands[i].used, geometry);
  return chosen;
}

int SatelliteView::All(const Clock& c, pelmora::SatDetail* out, int capacity) const {
  std::array<Candidate, kMaxInView> cands;
  const int nc = Candidates(c, cands.data());
  const int n = std::clamp(nc, 0, capacity);
  for (int i = 0; i < n; ++i) {
    const Sat& s = *cands[i].sat;
    out[i] = pelmora::SatDetail{s.prn,
                                static_cast<int16_t>(s.system),
                                static_cast<int16_t>(cands[i].used ? 1 : 0),
                                static_cast<int16_t>(s.azimuth == kNoValue ? 0 : s.azimuth),
                                static_cast<int16_t>(s.elevation == kNoValue ? 0 : s.elevation),
                                static_cast<int16_t>(s.snr == kNoValue ? 0 : s.snr)};
  }
  return n;
}

}  // namespace navlib
