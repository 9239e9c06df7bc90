// Epoch bookkeeping, ageing and FixRecord rendering of the shared fix state.
#include "navlib32/FixState.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace navlib {
namespace {

constexpr double kSecondsPerDay = 86400.0;
// Two times of day closer than this belong to the same epoch (receivers print milliseconds).
constexpr double kSameTimeSeconds = 0.001;

uint8_t SystemBit(GnssSystem system) {
  return static_cast<uint8_t>(1u << static_cast<int>(system));
}

// a - b as a time-of-day difference in (-12 h, 12 h], so that midnight is no jump.
double DayDifference(double a, double b) {
  double d = a - b;
  if (d > kSecondsPerDay / 2) {
    d = d > 1.5 * kSecondsPerDay ? std::fmod(d, kSecondsPerDay) : d - kSecondsPerDay;
  } else if (d <= -kSecondsPerDay / 2) {
    d = d <= -1.5 * kSecondsPerDay ? std::fmod(d, kSecondsPerDay) : d + kSecondsPerDay;
  }
  if (d > kSecondsPerDay / 2) d -= kSecondsPerDay;
  if (d <= -kSecondsPerDay / 2) d += kSecondsPerDay;
  return d;
}

int16_t CheckedAngle(int value, int low, int high) {
  return (value >= low && value <= high) ? static_cast<int16_t>(value)
                                         : static_cast<int16_t>(FixState::kNoValue);
}

}  // namespace

void FixState::Reset() {
  cur_ = Values{};
  held_ = Values{};
  lastActivity_ = 0.0;
  anyActivity_ = false;
  completedPending_ = false;
  completedCount_ = 0;
}

void FixState::NoteActivity(double nowSeconds) {
  lastActivity_ = nowSeconds;
  anyActivity_ = true;
}

void FixState::MarkData() {
  if (cur_.any) return;
  cur_.any = true;
  cur_.startedAt = lastActivity_;
}

template <typename T>
void FixState::Put(Field<T>& field, const T& value) {
  MarkData();
  field.value = value;
  field.has = true;
}

EpochTime FixState::NoteTime(double utcSecondsOfDay, double nowSeconds) {
  NoteActivity(nowSeconds);
  if (!std::isfinite(utcSecondsOfDay)) return EpochTime::SameEpoch;
  if (cur_.time.has) {
    if (std::fabs(cur_.time.value - utcSecondsOfDay) <= kSameTimeSeconds) {
      return EpochTime::SameEpoch;
    }
    BeginEpoch(nowSeconds);
    Put(cur_.time, utcSecondsOfDay);
    return EpochTime::NewEpoch;
  }
  Put(cur_.time, utcSecondsOfDay);
  return EpochTime::SameEpoch;
}

void FixState::BeginEpoch(double nowSeconds) {
  if (cur_.any) {
    CompleteEpoch(nowSeconds);  // also clears the epoch in progress
  } else {
    cur_ = Values{};
  }
}

void FixState::CompleteEpoch(double nowSeconds) {
  if (!cur_.any) return;
  (void)nowSeconds;
  MergeCompleted();
  cur_ = Values{};
  completedPending_ = true;
  ++completedCount_;
}

void FixState::SetPosition(double latitudeDeg, double longitudeDeg) {
  if (!std::isfinite(latitudeDeg) || !std::isfinite(longitudeDeg)) return;
  if (std::fabs(latitudeDeg) > 90.0 || std::fabs(longitudeDeg) > 180.0) return;
  Put(cur_.position, std::array<double, 2>{latitudeDeg, longitudeDeg});
}

void FixState::SetMslHeight(double metres) {
  if (std::isfinite(metres)) Put(cur_.mslHeight, metres);
}

void FixState::SetEllipsoidHeight(double metres) {
  if (std::isfinite(metres)) Put(cur_.ellipsoidHeight, metres);
}

void FixState::SetGeoidSeparation(double metres) {
  if (std::isfinite(metres)) Put(cur_.geoidSeparation, metres);
}

void FixState::SetSpeed(double metresPerSecond) {
  if (std::isfinite(metresPerSecond)) Put(cur_.speed, metresPerSecond);
}

void FixState::SetTrack(double degreesTrue) {
  if (std::isfinite(degreesTrue)) Put(cur_.track, degreesTrue);
}

void FixState::SetHeading(double degreesTrue) {
  if (std::isfinite(degreesTrue)) Put(cur_.heading, degreesTrue);
}

void FixState::SetDate(int year, int month, int day) {
  if (year < 1980 || year > 2200 || month < 1 || month > 12 || day < 1 || day > 31) return;
  Put(cur_.date, std::array<int, 3>{year, month, day});
}

bool FixState::Date(int& year, int& month, int& day, double nowSeconds) const {
  if (!Current(held_.date, nowSeconds)) return false;
  year = held_.date.value[0];
  month = held_.date.value[1];
  day = held_.date.value[2];
  return true;
}

void FixState::SetMagVariationEast(double degreesEast) {
  if (std::isfinite(degreesEast)) Put(cur_.magVariationEast, degreesEast);
}

void FixState::SetDepth(double metres) {
  if (std::isfinite(metres)) Put(cur_.depth, metres);
}

void FixState::SetDops(double pdop, double hdop, double vdop) {
  // Receivers say 99.9 or so for "no geometry"; far beyond that is damage (and would not even
  // fit the record's float).
  auto ok = [](double v) { return std::isfinite(v) && v > 0.0 && v <= 1000.0; };
  Dops d;
  d.pdop = ok(pdop) ? pdop : kNoDop;
  d.hdop = ok(hdop) ? hdop : kNoDop;
  d.vdop = ok(vdop) ? vdop : kNoDop;
  if (d.pdop == kNoDop && d.hdop != kNoDop && d.vdop != kNoDop) {
    d.pdop = std::sqrt(d.hdop * d.hdop + d.vdop * d.vdop);
  }
  if (d.pdop == kNoDop) return;
  Put(cur_.dops, d);
}

void FixState::SetFix(int dimension, bool differential) {
  if (dimension < 2) {
    SetNoFix();
    return;
  }
  Put(cur_.fix, FixQuality{dimension >= 3 ? 3 : 2, differential});
}

void FixState::SetDifferential(bool differential) {
  if (cur_.differential.has && cur_.differential.value) return;
  Put(cur_.differential, differential);
}

void FixState::SetNoFix() {
  MarkData();
  cur_.noFix = true;
}

void FixState::SetReceiverStatus(pelmora::ReceiverStatus status) {
  const int code = static_cast<int>(status);
  if (code < 0 || code >= pelmora::kReceiverStatusCount) return;
  Put(cur_.status, status);
}

void FixState::SetSatellitesUsedCount(int count) {
  if (count >= 0 && count <= 999) Put(cur_.usedCount, count);
}

FixState::Sat* FixState::FindSat(std::array<Sat, kMaxSatsInView>& sats, int count,
                                 GnssSystem system, int prn) {
  for (int i = 0; i < count; ++i) {
    if (sats[i].prn == prn && sats[i].system == system) return &sats[i];
  }
  return nullptr;
}

void FixState::UpdateSatellite(GnssSystem system, int prn, int elevation, int azimuth, int snr) {
  if (prn <= 0 || prn > 999) return;
  MarkData();
  const int16_t el = CheckedAngle(elevation, -90, 90);
  const int16_t az = CheckedAngle(azimuth == 360 ? 0 : azimuth, 0, 359);
  const int16_t ss = CheckedAngle(snr, 0, 999);
  Sat* sat = FindSat(curSats_.sats, cur_.satCount, system, prn);
  if (sat == nullptr) {
    if (cur_.satCount >= kMaxSatsInView) return;
    sat = &curSats_.sats[cur_.satCount++];
    *sat = Sat{};
    sat->system = system;
    sat->prn = static_cast<int16_t>(prn);
  }
  // Several signals of one satellite: the first non-empty value wins.
  if (sat->elevation == kNoValue) sat->elevation = el;
  if (sat->azimuth == kNoValue) sat->azimuth = az;
  if (sat->snr == kNoValue) sat->snr = ss;
}

void FixState::AddSatelliteInView(GnssSystem system, int prn, int elevation, int azimuth, int snr) {
  MarkData();
  cur_.viewSystems |= SystemBit(system);
  UpdateSatellite(system, prn, elevation, azimuth, snr);
}

void FixState::AddSatellitesUsed(GnssSystem system, const int* prns, std::size_t count) {
  Put(cur_.usedReported, true);
  for (std::size_t i = 0; i < count; ++i) {
    const int prn = prns[i];
    if (prn <= 0 || prn > 999) continue;
    bool seen = false;
    for (int j = 0; j < cur_.usedListCount && !seen; ++j) {
      seen = curSats_.used[j].prn == prn && curSats_.used[j].system == system;
    }
    if (seen || cur_.usedListCount >= kMaxSatsUsed) continue;
    curSats_.used[cur_.usedListCount++] = SatId{system, static_cast<int16_t>(prn)};
  }
}

bool FixState::Current(double setAt, double dataTime, double nowSeconds) const {
  if (nowSeconds - setAt > kStaleSeconds) return false;
  if (dataTime != kNoTime && held_.time.has) {
    const double age = DayDifference(held_.time.value, dataTime);
    if (age < -kSameTimeSeconds || age > kStaleSeconds) return false;
  }
  return true;
}

bool FixState::Recent(double setAt, double dataTime, double stamp, double epochTime) {
  if (stamp - setAt > kStaleSeconds) return false;
  if (epochTime != kNoTime && dataTime != kNoTime) {
    const double age = DayDifference(epochTime, dataTime);
    if (age < -kSameTimeSeconds || age > kStaleSeconds) return false;
  }
  return true;
}

void FixState::MergeCompleted() {
  const double stamp = cur_.startedAt;
  const double t = cur_.time.has ? cur_.time.value : kNoTime;
  auto take = [&](auto& heldField, const auto& curField) {
    if (!curField.has) return;
    heldField = curField;
    heldField.setAt = stamp;
    heldField.dataTime = t;
  };
  take(held_.time, cur_.time);
  take(held_.mslHeight, cur_.mslHeight);
  take(held_.ellipsoidHeight, cur_.ellipsoidHeight);
  take(held_.geoidSeparation, cur_.geoidSeparation);
  take(held_.speed, cur_.speed);
  take(held_.track, cur_.track);
  take(held_.heading, cur_.heading);
  take(held_.date, cur_.date);
  take(held_.magVariationEast, cur_.magVariationEast);
  take(held_.depth, cur_.depth);
  take(held_.dops, cur_.dops);
  take(held_.status, cur_.status);
  take(held_.usedCount, cur_.usedCount);

  const bool differential = cur_.differential.has && cur_.differential.value;
  if (cur_.position.has) {
    take(held_.position, cur_.position);
    Field<FixQuality> fix = cur_.fix;
    if (!fix.has || fix.value.dimension < 2) {
      // No stated dimension: a height makes it 3D; a bare position (RMC, GLL) keeps the
      // dimension of the last fix (a lost fix resets it), else counts as 2D.
      int dimension = 2;
      if (cur_.mslHeight.has || cur_.ellipsoidHeight.has) {
        dimension = 3;
      } else if (held_.fix.has && held_.fix.value.dimension >= 2) {
        dimension = held_.fix.value.dimension;
      }
      fix.value = FixQuality{dimension, false};
      fix.has = true;
    }
    fix.value.differential = fix.value.differential || differential;
    take(held_.fix, fix);
  } else if (cur_.noFix) {
    // The receiver lost its fix: what it said before is no longer its position.
    held_.position.has = false;
    held_.mslHeight.has = cur_.mslHeight.has && held_.mslHeight.has;
    held_.ellipsoidHeight.has = cur_.ellipsoidHeight.has && held_.ellipsoidHeight.has;
    held_.speed.has = cur_.speed.has && held_.speed.has;
    held_.track.has = cur_.track.has && held_.track.has;
    Field<FixQuality> none;
    none.has = true;
    none.value = FixQuality{1, false};
    take(held_.fix, none);
  } else if (cur_.fix.has) {
    Field<FixQuality> fix = cur_.fix;
    fix.value.differential = fix.value.differential || differential;
    take(held_.fix, fix);
  } else if (cur_.differential.has && held_.fix.has && held_.fix.value.dimension >= 2) {
    held_.fix.value.differential = differential;
  }

  // Satellites: complete views replace their system's held satellites, single reports merge.
  int n = 0;
  for (int i = 0; i < held_.satCount; ++i) {
    const Sat& s = heldSats_.sats[i];
    if (cur_.viewSystems & SystemBit(s.system)) continue;
    if (!Recent(s.setAt, s.dataTime, stamp, t)) continue;
    heldSats_.sats[n++] = s;
  }
  held_.satCount = n;
  for (int i = 0; i < cur_.satCount; ++i) {
    const Sat& s = curSats_.sats[i];
    Sat* h = FindSat(heldSats_.sats, held_.satCount, s.system, s.prn);
    if (h == nullptr) {
      if (held_.satCount >= kMaxSatsInView) continue;
      h = &heldSats_.sats[held_.satCount++];
      *h = s;
    } else {
      if (s.elevation != kNoValue) h->elevation = s.elevation;
      if (s.azimuth != kNoValue) h->azimuth = s.azimuth;
      if (s.snr != kNoValue) h->snr = s.snr;
    }
    h->setAt = stamp;
    h->dataTime = t;
  }
  if (cur_.usedReported.has) {
    take(held_.usedReported, cur_.usedReported);
    held_.usedListCount = cur_.usedListCount;
    std::copy_n(curSats_.used.begin(), cur_.usedListCount, heldSats_.used.begin());
  }
  held_.any = true;
}

void FixState::MakeRecord(pelmora::FixRecord& out, double nowSeconds) const {
  std::memset(&out, 0, sizeof out);
  uint16_t flags = 0;
  const bool silent = !anyActivity_ || nowSeconds - lastActivity_ > kStaleSeconds;

  if (held_.time.has) out.utcSeconds = held_.time.value;
  if (held_.position.has) {
    out.latitude = held_.position.value[0];
    out.longitude = held_.position.value[1];
  }
  if (!silent && Current(held_.time, nowSeconds)) flags |= pelmora::kValidTime;
  if (!silent && Current(held_.position, nowSeconds)) flags |= pelmora::kValidPosition;

  // Heights: each one given, or derived from the other through the geoid separation.
  const bool msl = !silent && Current(held_.mslHeight, nowSeconds);
  const bool ell = !silent && Current(held_.ellipsoidHeight, nowSeconds);
  const bool sep = !silent && Current(held_.geoidSeparation, nowSeconds);
  if (held_.mslHeight.has) out.geoidHeight = held_.mslHeight.value;
  if (held_.ellipsoidHeight.has) out.ellipsoidHeight = held_.ellipsoidHeight.value;
  if (msl) {
    flags |= pelmora::kValidGeoidHeight;
  } else if (ell && sep) {
    out.geoidHeight = held_.ellipsoidHeight.value - held_.geoidSeparation.value;
    flags |= pelmora::kValidGeoidHeight;
  }
  if (ell) {
    flags |= pelmora::kValidEllipsoidHeight;
  } else if (msl && sep) {
    out.ellipsoidHeight = held_.mslHeight.value + held_.geoidSeparation.value;
    flags |= pelmora::kValidEllipsoidHeight;
  }

  if (held_.speed.has) out.speed = held_.speed.value;
  if (!silent && Current(held_.speed, nowSeconds)) flags |= pelmora::kValidSpeed;
  if (held_.track.has) out.trueHeading = held_.track.value;
  if (!silent && Current(held_.track, nowSeconds)) {
    flags |= pelmora::kValidHeading;
  } else if (!silent && Current(held_.heading, nowSeconds)) {
    out.trueHeading = held_.heading.value;
    flags |= pelmora::kValidHeading;
  }
  if (!silent && Current(held_.magVariationEast, nowSeconds)) {
    out.magVariation = -held_.magVariationEast.value;
  }
  if (!silent && Current(held_.depth, nowSeconds)) out.depth = held_.depth.value;

  const bool dops = !silent && Current(held_.dops, nowSeconds);
  if (held_.dops.has) out.pdop = static_cast<float>(held_.dops.value.pdop);

  // Fix mode: 1 no fix, 2/3 by dimension, +2 with differential corrections.
  const bool fixKnown = !silent && Current(held_.fix, nowSeconds);
  int fixMode = 0;
  if (held_.fix.has && held_.fix.value.dimension >= 1) {
    fixMode = held_.fix.value.dimension;
    if (fixMode >= 2 && held_.fix.value.differential) fixMode += 2;
  }
  out.fixMode = static_cast<int16_t>(fixMode);
  if (fixKnown && fixMode > 0) flags |= pelmora::kValidFixMode;

  // Satellites used: the listed ones when a list is current, else the bare count.
  const bool usedList = !silent && Current(held_.usedReported, nowSeconds);
  int usedCount = 0;
  if (usedList) {
    usedCount = held_.usedListCount;
  } else if (!silent && Current(held_.usedCount, nowSeconds)) {
    usedCount = held_.usedCount.value;
  }
  out.satCount = static_cast<int16_t>(usedCount);

  // Satellites in view: the current ones, used first, then by signal, then by elevation.
  struct Candidate {
    const Sat* sat;
    bool used;
  };
  std::array<Candidate, kMaxSatsInView> cands;
  int nc = 0;
  if (!silent) {
    for (int i = 0; i < held_.satCount; ++i) {
      const Sat& s = heldSats_.sats[i];
      if (!Current(s.setAt, s.dataTime, nowSeconds)) continue;
      bool used = false;
      for (int j = 0; usedList && j < held_.usedListCount && !used; ++j) {
        used = heldSats_.used[j].prn == s.prn && heldSats_.used[j].system == s.system;
      }
      cands[nc++] = Candidate{&s, used};
    }
  }
  const int chosen = std::min(nc, pelmora::kMaxSats);
  if (nc > chosen) {
    // Priority as one number: used, then signal, then elevation, then the lower number.
    auto rank = [](const Candidate& c) {
      const Sat& s = *c.sat;
      const uint64_t signal = static_cast<uint64_t>(s.snr == kNoValue ? 0 : s.snr + 1) & 0xFFFF;
      const uint64_t elevation =
          static_cast<uint64_t>(s.elevation == kNoValue ? 0 : s.elevation + 91);
      return (uint64_t{c.used} << 56) | (signal << 40) | (elevation << 32) |
             (0xFFFFFFFFu -
              ((static_cast<uint32_t>(s.system) << 16) | static_cast<uint16_t>(s.prn)));
    };
    std::array<uint64_t, kMaxSatsInView> ranks;
    for (int i = 0; i < nc; ++i)
      ranks[i] = rank(cands[i]);
    std::array<int, kMaxSatsInView> index;
    for (int i = 0; i < nc; ++i)
      index[i] = i;
    std::partial_sort(index.begin(), index.begin() + chosen, index.begin() + nc,
                      [&](int a, int b) { return ranks[a] > ranks[b]; });
    std::array<Candidate, pelmora::kMaxSats> best;
    for (int i = 0; i < chosen; ++i)
      best[i] = cands[index[i]];
    std::copy_n(best.begin(), chosen, cands.begin());
  }
  // The chosen ones in a stable order (by system and number) so display slots do not jump.
  std::sort(cands.begin(), cands.begin() + chosen, [](const Candidate& a, const Candidate& b) {
    if (a.sat->system != b.sat->system) return a.sat->system < b.sat->system;
    return a.sat->prn < b.sat->prn;
  });
  bool geometry = false;
  for (int i = 0; i < chosen; ++i) {
    const Sat& s = *cands[i].sat;
    pelmora::SatInfo& slot = out.sats[i];
    slot.prn = s.prn;
    slot.used = cands[i].used ? 1 : 0;
    slot.elevation = s.elevation == kNoValue ? 0 : s.elevation;
    slot.azimuth = s.azimuth == kNoValue ? 0 : s.azimuth;
    slot.snr = s.snr == kNoValue ? 0 : s.snr;
    geometry = geometry || (s.elevation != kNoValue && s.azimuth != kNoValue);
  }
  if (chosen > 0) flags |= pelmora::kValidSignal;
  if (geometry || dops) flags |= pelmora::kValidGeometry;
  if (!dops) out.pdop = 0.0f;

  // Receiver status: the receiver's own when current, else derived from what it sent.
  pelmora::ReceiverStatus status;
  const bool position = (flags & pelmora::kValidPosition) != 0;
  if (silent) {
    status = pelmora::ReceiverStatus::NoData;
  } else if (Current(held_.status, nowSeconds)) {
    status = held_.status.value;
  } else if (position && fixMode >= 2) {
    status = pelmora::ReceiverStatus::DoingFixes;
  } else if (usedCount >= 1 && usedCount <= 3) {
    status = static_cast<pelmora::ReceiverStatus>(
        static_cast<int>(pelmora::ReceiverStatus::OneUsableSat) + usedCount - 1);
  } else if (!(flags & pelmora::kValidTime)) {
    status = pelmora::ReceiverStatus::NoGpsTime;
  } else {
    status = pelmora::ReceiverStatus::Acquiring;
  }
  out.status = static_cast<int16_t>(status);
  flags |= pelmora::kValidStatus;
  out.validFlags = flags;
}

}  // namespace navlib
