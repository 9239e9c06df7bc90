// The fix state shared by the NMEA and TSIP decoders: it collects the decoded values of the
// epoch (fix cycle) in progress, keeps the last completed epoch, ages values out after a few
// seconds without news and renders pelmora::FixRecord. Portable: no I/O, no clock (the arrival
// time is a parameter), no heap.
//
// A decoder uses it like this, once per decoded sentence or packet:
//   NoteActivity(now)                       anything decodable arrived
//   NoteTime(utc, now)                      the message carries its epoch's time of day; this
//                                           may complete the epoch in progress (NewEpoch)
//   Set...(), AddSatelliteInView(), ...     values of the epoch in progress
//   CompleteEpoch(now)                      optional: the decoder knows the cycle ended
// and reads the result with EpochCompleted()/TakeEpoch() and MakeRecord().
//
// Conventions of the setters: angles in degrees, heights in metres, speed in metres per second;
// latitude north and longitude east positive. Pass kNoValue (or call nothing) for a value the
// receiver left empty: an absent value is never taken as zero.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "navlib32/GnssSystem.h"
#include "navlib32/SatelliteView.h"
#include "navlib32/TimeOfDay.h"
#include "navlib32/navlib32_records.h"

namespace navlib {

// What NoteTime decided about a message's time of day.
enum class EpochTime {
  SameEpoch,  // the time of the epoch in progress (or the first time it got)
  NewEpoch,   // a different time: the epoch in progress completed, a new one began
};

class FixState {
 public:
  // Marks an absent integer value (satellite azimuth, elevation, signal).
  static constexpr int kNoValue = SatelliteView::kNoValue;
  static constexpr double kStaleSeconds = navlib::kStaleSeconds;
  static constexpr int kMaxSatsInView = SatelliteView::kMaxInView;
  static constexpr int kMaxSatsUsed = SatelliteView::kMaxUsed;

  FixState() { Reset(); }

  // Forgets everything (a new receiver or a new log).
  void Reset();

  // --- Epoch boundaries -------------------------------------------------------------------

  // How the values of a report age. Epoch: by arrival and by the time of day of the epoch they
  // join (a report that belongs to a fix cycle). Arrival: by arrival only (a status report a
  // receiver sends on its own schedule, which says nothing about the time it describes).
  enum class ReportTime { Epoch, Arrival };

  // Something decodable arrived at nowSeconds (keeps the receiver from counting as silent);
  // the values set until the next call age as stamp says.
  void NoteActivity(double nowSeconds, ReportTime stamp = ReportTime::Epoch) {
    lastActivity_ = nowSeconds;
    anyActivity_ = true;
    reportTime_ = stamp;
  }

  // The message being decoded carries the time of day of its epoch. When the epoch in
  // progress already has a different time (not SameTimeOfDay, in either direction: a jump
  // back is a rebooted receiver) and holds data, that epoch completes and a new one begins with
  // this time. An epoch in progress without a time adopts this one.
  EpochTime NoteTime(double utcSecondsOfDay, double nowSeconds);

  // The epoch in progress takes this time of day instead of the one it has (a provisional time
  // replaced by a more authoritative one); it adopts it when it has none.
  void RetimeEpoch(double utcSecondsOfDay);

  // Starts a new epoch explicitly (completing the one in progress if it holds data).
  void BeginEpoch(double nowSeconds);

  // Ends the epoch in progress: its values become the last completed epoch. Does nothing when
  // the epoch in progress holds no data.
  void CompleteEpoch(double nowSeconds);

  // True when the epoch in progress holds any value.
  bool EpochHasData() const { return cur_.any; }

  // Time of day of the epoch in progress; kNoTime when it has none.
  static constexpr double kNoTime = navlib::kNoTime;
  double CurrentEpochTime() const { return cur_.time.has ? cur_.time.value : kNoTime; }

  // Where in the decoder's input the message being decoded begins (bytes since the decoder
  // started, taken just after the previous message); the epoch whose first value it sets begins
  // there.
  void NoteMessageStart(int64_t offset) { messageStart_ = offset; }

  // Completion flag for GpsDecoder::EpochComplete/TakeEpoch; the count of completed epochs.
  bool EpochCompleted() const { return completedPending_; }
  void TakeEpoch() { completedPending_ = false; }
  uint64_t CompletedEpochs() const { return completedCount_; }

  // --- Values of the epoch in progress ---------------------------------------------------

  void SetPosition(double latitudeDeg, double longitudeDeg);
  void SetMslHeight(double metres);        // above mean sea level (geoid)
  void SetEllipsoidHeight(double metres);  // above the WGS84 ellipsoid
  void SetGeoidSeparation(double metres);  // ellipsoid height minus MSL height
  void SetSpeed(double metresPerSecond);
  // Course over ground.
  void SetTrack(double degreesTrue);
  // The vessel's heading (NMEA HDT, a gyro or dual-antenna compass): reported as trueHeading
  // only while no course over ground is current.
  void SetHeading(double degreesTrue);
  // Calendar date of the epoch (RMC, ZDA, GPS week); not part of FixRecord, read by Date().
  // 1980, where receivers start counting before their clock is set, is none.
  void SetDate(int year, int month, int day);
  // Whether the receiver's clock was set for the epoch in progress (until told otherwise, it
  // was). Without it the epoch's time of day is a count from power-up: reported, not valid.
  void SetClockSet(bool set) { cur_.clockUnset = !set; }
  // Magnetic variation as receivers report it: EASTERLY POSITIVE. The record stores it
  // negated (magnetic heading = trueHeading + magVariation).
  void SetMagVariationEast(double degreesEast);
  void SetDepth(double metres);
  // Dilutions of precision; pass kNoDop for one not given. A missing PDOP is derived from HDOP
  // and VDOP when both are given.
  static constexpr double kNoDop = -1.0;
  void SetDops(double pdop, double hdop, double vdop);

  // Fix quality. dimension: 2 or 3; differential: DGPS/SBAS/RTK corrections applied.
  void SetFix(int dimension, bool differential);
  // Refines the epoch's fix without stating its dimension (e.g. an RMC mode 'D').
  void SetDifferential(bool differential);
  // The receiver states it has no fix (RMC/GLL status V, GGA quality 0, GSA mode 1, TSIP
  // health). Unless the same epoch also carries a position, the fix values (position,
  // heights, speed, track) of earlier epochs are dropped when this epoch completes.
  void SetNoFix();

  // An explicit receiver status (TSIP health); without one the status is derived.
  void SetReceiverStatus(pelmora::ReceiverStatus status);
  // Satellites used in the solution as a count only (GGA field 7).
  void SetSatellitesUsedCount(int count);

  // One satellite of a complete in-view report (NMEA GSV) for its system: when the epoch
  // completes, the held view of each system reported in the epoch is replaced by the epoch's
  // list. prn is the number the receiver gave; el/az/snr may be kNoValue; signal is the
  // receiver's signal id (0: none). A satellite reported on several signals is kept once, with
  // its strongest signal (SatelliteView::Update). A prn of 0 or less only marks the system's
  // view as reported (empty).
  void AddSatelliteInView(GnssSystem system, int prn, int elevation, int azimuth, int snr,
                          int signal = 0) {
    if (!sats_.InLateReport()) MarkData();
    sats_.AddInView(system, prn, elevation, azimuth, snr, signal);
  }
  // One satellite's report on its own (TSIP 0x5C, 0x47): merged into the held view; the other
  // satellites stay until they age out.
  void UpdateSatellite(GnssSystem system, int prn, int elevation, int azimuth, int snr) {
    if (prn <= 0 || prn > 999) return;
    if (!sats_.InLateReport()) MarkData();
    sats_.Update(system, prn, elevation, azimuth, snr);
  }
  // Satellites used in the solution. All calls within one epoch add up (GN GSA repeated per
  // system); when the epoch completes their union replaces the held list. A call with
  // count 0 still says "none used".
  void AddSatellitesUsed(GnssSystem system, const int* prns, std::size_t count) {
    if (!sats_.InLateReport()) MarkData();
    sats_.AddUsed(system, prns, count);
  }
  // The satellite reports of this epoch list every satellite of every system (TSIPv1's
  // numbered burst): like a GSV group, they replace the held view.
  void MarkCompleteSatelliteView() { sats_.MarkCompleteView(); }
  // Satellites reported from now on stay current this long without a new report (receivers
  // that report them every few seconds); never less than kStaleSeconds.
  void SetSatelliteReportAge(double seconds) { sats_.SetReportAge(seconds); }

  // The receiver's stored reference position (a timing receiver holding its surveyed antenna
  // position): valid as a position, while the fix mode stays what the receiver states.
  void SetReferencePosition(double latitudeDeg, double longitudeDeg);

  // A satellite report that belongs to the last completed epoch but arrives after the next
  // one began (satellites measured at T, sent after the fix of T + 1). Between BeginLateReport
  // and EndLateReport the satellite setters feed it; EndLateReport merges it into the completed
  // epoch with the time of day measuredAt and reports that epoch again (EpochCompleted), its
  // fix unchanged; its time too, unless measuredAt lies after it (the report of a second whose
  // fix never came), which it then takes.
  void BeginLateReport();
  bool InLateReport() const { return sats_.InLateReport(); }
  void EndLateReport(double measuredAt);

  // --- Result -------------------------------------------------------------------------------

  // The last completed epoch as the engine reports it at nowSeconds: validity bits only for
  // current values, up to 12 satellites (used first, then by signal), satCount = used.
  void MakeRecord(pelmora::FixRecord& out, double nowSeconds) const;
  // Date of the last completed epoch when current; false when unknown.
  bool Date(int& year, int& month, int& day, double nowSeconds) const;
  // Every satellite of the last completed epoch that is current at nowSeconds, in system and
  // number order, up to capacity (at most pelmora::kMaxAllSats); returns how many.
  int AllSatellites(pelmora::SatDetail* out, int capacity, double nowSeconds) const;
  // Where the last completed epoch begins in the input (NoteMessageStart); -1 when unknown.
  int64_t LatestOffset() const { return held_.offset; }
  // Time of day of the last completed epoch; kNoTime when it has none.
  double LatestTime() const { return held_.time.has ? held_.time.value : kNoTime; }

 private:
  // A value with its arrival time and, once held, the time of day of the epoch that set it
  // (kNoTime for a value stamped at arrival only).
  template <typename T>
  struct Field {
    T value{};
    bool has = false;
    bool timed = true;
    double setAt = 0.0;
    double dataTime = kNoTime;
  };

  struct Dops {
    double pdop = kNoDop, hdop = kNoDop, vdop = kNoDop;
  };

  struct FixQuality {
    int dimension = 0;  // 0 unknown, 1 no fix, 2, 3
    bool differential = false;
  };

  // The scalar values of one epoch, or the held values of the completed ones.
  struct Values {
    bool any = false;
    double startedAt = 0.0;
    int64_t offset = -1;  // input offset of the epoch's first message
    Field<double> time;
    Field<std::array<double, 2>> position;
    Field<double> mslHeight, ellipsoidHeight, geoidSeparation;
    Field<double> speed, track, heading, magVariationEast, depth;
    Field<std::array<int, 3>> date;
    Field<Dops> dops;
    Field<FixQuality> fix;
    Field<bool> differential;
    Field<bool> noFix;
    bool referencePosition = false;  // the position is the receiver's stored reference
    bool clockUnset = false;         // the time is one of a receiver clock not set
    Field<pelmora::ReceiverStatus> status;
    Field<int> usedCount;
  };

  // What MakeRecord looks at: the caller's clock, whether the receiver has gone silent, and the
  // time of the latest completed epoch (LatestTime).
  struct Look {
    double now;
    bool silent;
    double latestTime;
  };

  // The epoch in progress holds data from now on (it begins where the message does).
  void MarkData() {
    if (cur_.any) return;
    cur_.any = true;
    cur_.startedAt = lastActivity_;
    cur_.offset = messageStart_;
  }
  void ClearEpochInProgress();
  template <typename T>
  void Put(Field<T>& field, const T& value);
  // A held value is current: set, not silent, and young enough by IsCurrent.
  template <typename T>
  bool Current(const Field<T>& field, const Look& look) const {
    return !look.silent && field.has &&
           IsCurrent(field.setAt, field.dataTime, look.now, look.latestTime, kStaleSeconds);
  }
  // Moves a value of the epoch in progress into the held ones, stamped with the epoch.
  template <typename T>
  void Take(Field<T>& held, const Field<T>& cur) const;
  void MergeCompleted();
  void MergeFix();

  // The parts of MakeRecord; each sets its fields and validity bits.
  void PutTimeAndPosition(pelmora::FixRecord& out, const Look& look) const;
  void PutHeights(pelmora::FixRecord& out, const Look& look) const;
  void PutMotion(pelmora::FixRecord& out, const Look& look) const;
  int PutFixMode(pelmora::FixRecord& out, const Look& look) const;
  int PutSatellites(pelmora::FixRecord& out, const Look& look) const;
  void PutStatus(pelmora::FixRecord& out, const Look& look, int fixMode, int usedCount) const;

  Values cur_;
  Values held_;
  SatelliteView sats_;
  double lastActivity_ = 0.0;
  int64_t messageStart_ = -1;
  ReportTime reportTime_ = ReportTime::Epoch;
  bool anyActivity_ = false;
  bool completedPending_ = false;
  uint64_t completedCount_ = 0;
};

// --- The setters, inline: a decoder calls several for every message it decodes. ------------

template <typename T>
inline void FixState::Put(Field<T>& field, const T& value) {
  MarkData();
  field.value = value;
  field.has = true;
  field.setAt = lastActivity_;
  field.timed = reportTime_ == ReportTime::Epoch;
}

inline EpochTime FixState::NoteTime(double utcSecondsOfDay, double nowSeconds) {
  NoteActivity(nowSeconds);
  if (!std::isfinite(utcSecondsOfDay)) return EpochTime::SameEpoch;
  if (cur_.time.has) {
    if (SameTimeOfDay(cur_.time.value, utcSecondsOfDay)) return EpochTime::SameEpoch;
    BeginEpoch(nowSeconds);
    Put(cur_.time, utcSecondsOfDay);
    return EpochTime::NewEpoch;
  }
  Put(cur_.time, utcSecondsOfDay);
  return EpochTime::SameEpoch;
}

inline void FixState::SetPosition(double latitudeDeg, double longitudeDeg) {
  if (!std::isfinite(latitudeDeg) || !std::isfinite(longitudeDeg)) return;
  if (std::fabs(latitudeDeg) > 90.0 || std::fabs(longitudeDeg) > 180.0) return;
  Put(cur_.position, std::array<double, 2>{latitudeDeg, longitudeDeg});
}

inline void FixState::SetReferencePosition(double latitudeDeg, double longitudeDeg) {
  SetPosition(latitudeDeg, longitudeDeg);
  if (cur_.position.has) cur_.referencePosition = true;
}

inline void FixState::SetMslHeight(double metres) {
  if (std::isfinite(metres)) Put(cur_.mslHeight, metres);
}

inline void FixState::SetEllipsoidHeight(double metres) {
  if (std::isfinite(metres)) Put(cur_.ellipsoidHeight, metres);
}

inline void FixState::SetGeoidSeparation(double metres) {
  if (std::isfinite(metres)) Put(cur_.geoidSeparation, metres);
}

inline void FixState::SetSpeed(double metresPerSecond) {
  if (std::isfinite(metresPerSecond)) Put(cur_.speed, metresPerSecond);
}

inline void FixState::SetTrack(double degreesTrue) {
  if (std::isfinite(degreesTrue)) Put(cur_.track, degreesTrue);
}

inline void FixState::SetHeading(double degreesTrue) {
  if (std::isfinite(degreesTrue)) Put(cur_.heading, degreesTrue);
}

inline void FixState::SetDate(int year, int month, int day) {
  if (year <= 1980 || year > 2200 || month < 1 || month > 12 || day < 1 || day > 31) return;
  Put(cur_.date, std::array<int, 3>{year, month, day});
}

inline void FixState::SetMagVariationEast(double degreesEast) {
  if (std::isfinite(degreesEast)) Put(cur_.magVariationEast, degreesEast);
}

inline void FixState::SetDepth(double metres) {
  if (std::isfinite(metres)) Put(cur_.depth, metres);
}

inline void FixState::SetDops(double pdop, double hdop, double vdop) {
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

inline void FixState::SetFix(int dimension, bool differential) {
  if (dimension < 2) {
    SetNoFix();
    return;
  }
  Put(cur_.fix, FixQuality{dimension >= 3 ? 3 : 2, differential});
}

inline void FixState::SetDifferential(bool differential) {
  if (cur_.differential.has && cur_.differential.value) return;
  Put(cur_.differential, differential);
}

inline void FixState::SetNoFix() {
  Put(cur_.noFix, true);
}

inline void FixState::SetReceiverStatus(pelmora::ReceiverStatus status) {
  const int code = static_cast<int>(status);
  if (code < 0 || code >= pelmora::kReceiverStatusCount) return;
  Put(cur_.status, status);
}

inline void FixState::SetSatellitesUsedCount(int count) {
  if (count >= 0 && count <= 999) Put(cur_.usedCount, count);
}

}  // namespace navlib
