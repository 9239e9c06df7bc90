// Epoch bookkeeping, ageing and FixRecord rendering of the shared fix state.
#include "navlib32/FixState.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace navlib {

namespace {

// A blank record to copy from: the copy compiles to vector moves, a fill of the record to a
// string store whose start-up costs more than the copy (MakeRecord runs every epoch).
const pelmora::FixRecord kBlankRecord{};

}  // namespace

void FixState::Reset() {
  cur_ = Values{};
  held_ = Values{};
  sats_.Reset();
  lastActivity_ = 0.0;
  messageStart_ = -1;
  anyActivity_ = false;
  completedPending_ = false;
  completedCount_ = 0;
}

// What cur_ = Values{} would do for everything read before the next Put, without filling the
// whole block (a string store, the dearest step of an epoch's end). A value's number, setAt
// and dataTime are only read while it has one; timed is read by MergeFix for a fix it makes up.
void FixState::ClearEpochInProgress() {
  static_assert(sizeof(Values) == 568, "a member added to Values: clear it here");
  auto clear = [](auto&... fields) { ((fields.has = false, fields.timed = true), ...); };
  clear(cur_.time, cur_.position, cur_.mslHeight, cur_.ellipsoidHeight, cur_.geoidSeparation,
        cur_.speed, cur_.track, cur_.heading, cur_.magVariationEast, cur_.depth, cur_.date,
        cur_.dops, cur_.fix, cur_.differential, cur_.noFix, cur_.status, cur_.usedCount);
  cur_.any = false;
  cur_.startedAt = 0.0;
  cur_.offset = -1;
  cur_.referencePosition = false;
  cur_.clockUnset = false;
}

void FixState::RetimeEpoch(double utcSecondsOfDay) {
  if (std::isfinite(utcSecondsOfDay)) Put(cur_.time, utcSecondsOfDay);
}

void FixState::BeginEpoch(double nowSeconds) {
  if (cur_.any) {
    CompleteEpoch(nowSeconds);  // also clears the epoch in progress
  } else {
    ClearEpochInProgress();
  }
}

void FixState::CompleteEpoch(double nowSeconds) {
  if (!cur_.any) return;
  (void)nowSeconds;
  MergeCompleted();
  ClearEpochInProgress();
  completedPending_ = true;
  ++completedCount_;
}

bool FixState::Date(int& year, int& month, int& day, double nowSeconds) const {
  if (!Current(held_.date, Look{nowSeconds, false, LatestTime()})) return false;
  year = held_.date.value[0];
  month = held_.date.value[1];
  day = held_.date.value[2];
  return true;
}

void FixState::BeginLateReport() {
  sats_.BeginLateReport();
}

void FixState::EndLateReport(double measuredAt) {
  if (!sats_.InLateReport()) return;
  sats_.EndLateReport(lastActivity_, measuredAt);
  if (held_.time.has && DayDifference(measuredAt, held_.time.value) > kSameTimeSeconds) {
    held_.time.value = measuredAt;  // a second of its own, after the completed epoch
  }
  completedPending_ = true;
  ++completedCount_;
}

int FixState::AllSatellites(pelmora::SatDetail* out, int capacity, double nowSeconds) const {
  if (!anyActivity_ || nowSeconds - lastActivity_ > kStaleSeconds) return 0;
  return sats_.All(SatelliteView::Clock{nowSeconds, LatestTime()}, out,
                   std::min(capacity, pelmora::kMaxAllSats));
}

template <typename T>
void FixState::Take(Field<T>& held, const Field<T>& cur) const {
  if (!cur.has) return;
  held = cur;
  held.dataTime = cur.timed ? CurrentEpochTime() : kNoTime;
}

void FixState::MergeCompleted() {
  Take(held_.time, cur_.time);
  if (cur_.time.has) held_.clockUnset = cur_.clockUnset;
  Take(held_.mslHeight, cur_.mslHeight);
  Take(held_.ellipsoidHeight, cur_.ellipsoidHeight);
  Take(held_.geoidSeparation, cur_.geoidSeparation);
  Take(held_.speed, cur_.speed);
  Take(held_.track, cur_.track);
  Take(held_.heading, cur_.heading);
  Take(held_.date, cur_.date);
  Take(held_.magVariationEast, cur_.magVariationEast);
  Take(held_.depth, cur_.depth);
  Take(held_.dops, cur_.dops);
  Take(held_.status, cur_.status);
  Take(held_.usedCount, cur_.usedCount);
  MergeFix();
  sats_.CompleteEpoch(cur_.startedAt, CurrentEpochTime());
  held_.any = true;
  held_.offset = cur_.offset;
}

void FixState::MergeFix() {
  const bool differential = cur_.differential.has && cur_.differential.value;
  if (cur_.position.has && cur_.referencePosition) {
    // A stored reference position: valid, with the fix the receiver states (none stated: the
    // last one stands).
    Take(held_.position, cur_.position);
    Field<FixQuality> fix = cur_.fix;
    if (cur_.noFix.has) {
      fix.value = FixQuality{1, false};
      fix.has = true;
      fix.setAt = cur_.noFix.setAt;
    }
    Take(held_.fix, fix);
  } else if (cur_.position.has) {
    Take(held_.position, cur_.position);
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
      fix.setAt = cur_.position.setAt;
    }
    fix.value.differential = fix.value.differential || differential;
    Take(held_.fix, fix);
  } else if (cur_.noFix.has) {
    // The receiver lost its fix: what it said before is no longer its position.
    held_.position.has = false;
    held_.mslHeight.has = cur_.mslHeight.has && held_.mslHeight.has;
    held_.ellipsoidHeight.has = cur_.ellipsoidHeight.has && held_.ellipsoidHeight.has;
    held_.speed.has = cur_.speed.has && held_.speed.has;
    held_.track.has = cur_.track.has && held_.track.has;
    Field<FixQuality> none;
    none.has = true;
    none.value = FixQuality{1, false};
    none.setAt = cur_.noFix.setAt;
    Take(held_.fix, none);
  } else if (cur_.fix.has) {
    Field<FixQuality> fix = cur_.fix;
    fix.value.differential = fix.value.differential || differential;
    Take(held_.fix, fix);
  } else if (cur_.differential.has && held_.fix.has && held_.fix.value.dimension >= 2) {
    held_.fix.value.differential = differential;
  }
}

// The parts of MakeRecord, inline: it runs every epoch, and as calls of their own each would
// save and restore registers and look up the latest time again for a few fields.
inline void FixState::PutTimeAndPosition(pelmora::FixRecord& out, const Look& look) const {
  if (held_.time.has) out.utcSeconds = held_.time.value;
  if (held_.position.has) {
    out.latitude = held_.position.value[0];
    out.longitude = held_.position.value[1];
  }
  if (Current(held_.time, look) && !held_.clockUnset) out.validFlags |= pelmora::kValidTime;
  if (Current(held_.position, look)) out.validFlags |= pelmora::kValidPosition;
}

// Each height given, or derived from the other through the geoid separation.
inline void FixState::PutHeights(pelmora::FixRecord& out, const Look& look) const {
  const bool msl = Current(held_.mslHeight, look);
  const bool ell = Current(held_.ellipsoidHeight, look);
  const bool sep = Current(held_.geoidSeparation, look);
  if (held_.mslHeight.has) out.geoidHeight = held_.mslHeight.value;
  if (held_.ellipsoidHeight.has) out.ellipsoidHeight = held_.ellipsoidHeight.value;
  if (msl) {
    out.validFlags |= pelmora::kValidGeoidHeight;
  } else if (ell && sep) {
    out.geoidHeight = held_.ellipsoidHeight.value - held_.geoidSeparation.value;
    out.validFlags |= pelmora::kValidGeoidHeight;
  }
  if (ell) {
    out.validFlags |= pelmora::kValidEllipsoidHeight;
  } else if (msl && sep) {
    out.ellipsoidHeight = held_.mslHeight.value + held_.geoidSeparation.value;
    out.validFlags |= pelmora::kValidEllipsoidHeight;
  }
}

// Speed, course (or the vessel's heading while no course is current), magnetic variation and
// depth.
inline void FixState::PutMotion(pelmora::FixRecord& out, const Look& look) const {
  if (held_.speed.has) out.speed = held_.speed.value;
  if (Current(held_.speed, look)) out.validFlags |= pelmora::kValidSpeed;
  if (held_.track.has) out.trueHeading = held_.track.value;
  if (Current(held_.track, look)) {
    out.validFlags |= pelmora::kValidHeading;
  } else if (Current(held_.heading, look)) {
    out.trueHeading = held_.heading.value;
    out.validFlags |= pelmora::kValidHeading;
  }
  if (Current(held_.magVariationEast, look)) out.magVariation = -held_.magVariationEast.value;
  if (Current(held_.depth, look)) out.depth = held_.depth.value;
}

// Fix mode: 1 no fix, 2/3 by dimension, +2 with differential corrections.
inline int FixState::PutFixMode(pelmora::FixRecord& out, const Look& look) const {
  int fixMode = 0;
  if (held_.fix.has && held_.fix.value.dimension >= 1) {
    fixMode = held_.fix.value.dimension;
    if (fixMode >= 2 && held_.fix.value.differential) fixMode += 2;
  }
  out.fixMode = static_cast<int16_t>(fixMode);
  if (Current(held_.fix, look) && fixMode > 0) out.validFlags |= pelmora::kValidFixMode;
  return fixMode;
}

// Satellites used (the listed ones when a list is current, else the bare count), the chosen
// satellites in view and the PDOP. Returns the count used.
inline int FixState::PutSatellites(pelmora::FixRecord& out, const Look& look) const {
  const SatelliteView::Clock clock{look.now, look.latestTime};
  int usedCount = look.silent ? -1 : sats_.CurrentUsedCount(clock);
  if (usedCount < 0) usedCount = Current(held_.usedCount, look) ? held_.usedCount.value : 0;
  out.satCount = static_cast<int16_t>(usedCount);

  bool geometry = false;
  const int chosen = look.silent ? 0 : sats_.Choose(clock, out.sats, pelmora::kMaxSats, &geometry);
  const bool dops = Current(held_.dops, look);
  if (chosen > 0) out.validFlags |= pelmora::kValidSignal;
  if (geometry || dops) out.validFlags |= pelmora::kValidGeometry;
  out.pdop = dops ? static_cast<float>(held_.dops.value.pdop) : 0.0f;
  return usedCount;
}

// Receiver status: the receiver's own when current, else derived from what it sent.
inline void FixState::PutStatus(pelmora::FixRecord& out, const Look& look, int fixMode,
                                int usedCount) const {
  using pelmora::ReceiverStatus;
  ReceiverStatus status;
  if (look.silent) {
    status = ReceiverStatus::NoData;
  } else if (Current(held_.status, look)) {
    status = held_.status.value;
  } else if ((out.validFlags & pelmora::kValidPosition) && fixMode >= 2) {
    status = ReceiverStatus::DoingFixes;
  } else if (usedCount >= 1 && usedCount <= 3) {
    status =
        static_cast<ReceiverStatus>(static_cast<int>(ReceiverStatus::OneUsableSat) + usedCount - 1);
  } else if (!(out.validFlags & pelmora::kValidTime)) {
    status = ReceiverStatus::NoGpsTime;
  } else {
    status = ReceiverStatus::Acquiring;
  }
  out.status = static_cast<int16_t>(status);
  out.validFlags |= pelmora::kValidStatus;
}

void FixState::MakeRecord(pelmora::FixRecord& out, double nowSeconds) const {
  std::memcpy(&out, &kBlankRecord, sizeof out);
  const Look look{nowSeconds, !anyActivity_ || nowSeconds - lastActivity_ > kStaleSeconds,
                  LatestTime()};
  PutTimeAndPosition(out, look);
  PutHeights(out, look);
  PutMotion(out, look);
  const int fixMode = PutFixMode(out, look);
  const int usedCount = PutSatellites(out, look);
  PutStatus(out, look, fixMode, usedCount);
}
}  // namespace navlib
