// Merging, ageing and choosing satellites.
#include "navlib32/SatelliteView.h"

#include <algorithm>

namespace navlib {
namespace {

uint8_t SystemBit(GnssSystem system) {
  return static_cast<uint8_t>(1u << static_cast<int>(system));
}

int16_t Checked(int value, int low, int high) {
  return (value >= low && value <= high) ? static_cast<int16_t>(value)
                                         : static_cast<int16_t>(SatelliteView::kNoValue);
}

}  // namespace

void SatelliteView::Reset() {
  cur_ = Lists{};
  held_ = Lists{};
}

SatelliteView::Sat* SatelliteView::Find(Lists& lists, GnssSystem system, int prn) {
  for (int i = 0; i < lists.satCount; ++i) {
    if (lists.sats[i].prn == prn && lists.sats[i].system == system) return &lists.sats[i];
  }
  return nullptr;
}

bool SatelliteView::Listed(const Lists& lists, GnssSystem system, int prn) {
  for (int i = 0; i < lists.usedCount; ++i) {
    if (lists.used[i].prn == prn && lists.used[i].system == system) return true;
  }
  return false;
}

bool SatelliteView::Update(GnssSystem system, int prn, int elevation, int azimuth, int snr) {
  if (prn <= 0 || prn > 999) return false;
  const int16_t el = Checked(elevation, -90, 90);
  const int16_t az = Checked(azimuth == 360 ? 0 : azimuth, 0, 359);
  const int16_t ss = Checked(snr, 0, 999);
  Sat* sat = Find(cur_, system, prn);
  if (sat == nullptr) {
    if (cur_.satCount >= kMaxInView) return true;
    sat = &cur_.sats[cur_.satCount++];
    *sat = Sat{};
    sat->system = system;
    sat->prn = static_cast<int16_t>(prn);
  }
  // Several signals of one satellite: the first non-empty value wins.
  if (sat->elevation == kNoValue) sat->elevation = el;
  if (sat->azimuth == kNoValue) sat->azimuth = az;
  if (sat->snr == kNoValue) sat->snr = ss;
  return true;
}

void SatelliteView::AddInView(GnssSystem system, int prn, int elevation, int azimuth, int snr) {
  cur_.viewSystems |= SystemBit(system);
  Update(system, prn, elevation, azimuth, snr);
}

void SatelliteView::AddUsed(GnssSystem system, const int* prns, std::size_t count) {
  cur_.usedReported = true;
  for (std::size_t i = 0; i < count; ++i) {
    const int prn = prns[i];
    if (prn <= 0 || prn > 999 || Listed(cur_, system, prn) || cur_.usedCount >= kMaxUsed) continue;
    cur_.used[cur_.usedCount++] = SatId{system, static_cast<int16_t>(prn)};
  }
}

void SatelliteView::MergeSatellites(double stamp, double epochTime) {
  int n = 0;
  for (int i = 0; i < held_.satCount; ++i) {
    const Sat& s = held_.sats[i];
    if (cur_.viewSystems & SystemBit(s.system)) continue;
    if (!IsCurrent(s.setAt, s.dataTime, stamp, epochTime, kStaleSeconds)) continue;
    held_.sats[n++] = s;
  }
  held_.satCount = n;
  for (int i = 0; i < cur_.satCount; ++i) {
    const Sat& s = cur_.sats[i];
    Sat* h = Find(held_, s.system, s.prn);
    if (h == nullptr) {
      if (held_.satCount >= kMaxInView) continue;
      h = &held_.sats[held_.satCount++];
      *h = s;
    } else {
      if (s.elevation != kNoValue) h->elevation = s.elevation;
      if (s.azimuth != kNoValue) h->azimuth = s.azimuth;
      if (s.snr != kNoValue) h->snr = s.snr;
    }
    h->setAt = stamp;
    h->dataTime = epochTime;
  }
}

void SatelliteView::CompleteEpoch(double stamp, double epochTime) {
  MergeSatellites(stamp, epochTime);
  if (cur_.usedReported) {
    held_.usedReported = true;
    held_.usedSetAt = stamp;
    held_.usedDataTime = epochTime;
    held_.usedCount = cur_.usedCount;
    std::copy_n(cur_.used.begin(), cur_.usedCount, held_.used.begin());
  }
  cur_.satCount = 0;
  cur_.usedCount = 0;
  cur_.usedReported = false;
  cur_.viewSystems = 0;
}

bool SatelliteView::UsedListCurrent(const Clock& c) const {
  return held_.usedReported &&
         IsCurrent(held_.usedSetAt, held_.usedDataTime, c.now, c.latestTime, kStaleSeconds);
}

int SatelliteView::CurrentUsedCount(const Clock& clock) const {
  return UsedListCurrent(clock) ? held_.usedCount : -1;
}

int SatelliteView::Choose(const Clock& c, pelmora::SatInfo* out, int slots, bool* geometry) const {
  struct Candidate {
    const Sat* sat;
    bool used;
  };
  const bool usedList = UsedListCurrent(c);
  std::array<Candidate, kMaxInView> cands;
  int nc = 0;
  for (int i = 0; i < held_.satCount; ++i) {
    const Sat& s = held_.sats[i];
    if (!IsCurrent(s.setAt, s.dataTime, c.now, c.latestTime, kStaleSeconds)) continue;
    cands[nc++] = Candidate{&s, usedList && Listed(held_, s.system, s.prn)};
  }
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
  // The chosen ones in a stable order (by system and number) so display slots do not jump.
  std::sort(cands.begin(), cands.begin() + chosen, [](const Candidate& a, const Candidate& b) {
    if (a.sat->system != b.sat->system) return a.sat->system < b.sat->system;
    return a.sat->prn < b.sat->prn;
  });
  *geometry = false;
  for (int i = 0; i < chosen; ++i) {
    const Sat& s = *cands[i].sat;
    pelmora::SatInfo& slot = out[i];
    slot.prn = s.prn;
    slot.used = cands[i].used ? 1 : 0;
    slot.elevation = s.elevation == kNoValue ? 0 : s.elevation;
    slot.azimuth = s.azimuth == kNoValue ? 0 : s.azimuth;
    slot.snr = s.snr == kNoValue ? 0 : s.snr;
    *geometry = *geometry || (s.elevation != kNoValue && s.azimuth != kNoValue);
  }
  return chosen;
}

}  // namespace navlib
