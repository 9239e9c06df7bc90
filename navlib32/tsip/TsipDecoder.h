// The TSIP decoder (classic TSIP and TSIPv1) behind navlib::GpsDecoder: frames from
// TsipFramer, reports from TsipPackets, values into the shared FixState. Portable: standard
// C++ only, no heap after construction.
//
// Epochs. A TSIP receiver sends, per fix cycle, its fix packets stamped with the GPS time of
// the fix (0x8F-20 or 0x8F-23, 0x84/0x4A/0x83/0x42 with 0x56/0x43, 0x8F-AB with 0x8F-AC,
// TSIPv1 A1-00 with A1-11), then status and satellite packets (0x6D/0x6C, 0x5C/0x5D, 0x47,
// 0x46, 0x4B, 0x82, A2-00, A3-11).
//  - A fix packet with a new time starts a new epoch; untimed packets join the epoch in
//    progress.
//  - 0x5C, 0x5D and A2-00 carry the fractional time of their last measurement: they join the fix
//    epoch they follow when measured within 1 s after its fix, else they make a
//    satellite-only epoch at their own time (a receiver that tracks but has no fix yet).
//  - 0x41 (GPS time, sent on its own schedule every few seconds) makes a clock epoch of its
//    own: it ends the epoch in progress; the packets after it join it, unless satellite
//    measurements of the fix just ended follow, which reopen that fix's epoch (its record is
//    reported again, now complete, with the same time).
//  - TSIPv1 A1-11 has no time: a second one without an A1-00 between is the fix of the next
//    cycle (its A1-00 lost on the line), an epoch of its own one cycle after the last.
//  - Without any timed packet (no GPS time yet) the epoch in progress completes when a packet
//    arrives 2 s or more after it began, so that health reports still reach the display.
// Classic TSIP has no checksum: a packet of the right length whose values no receiver sends
// (a time of week outside the week, a position off the globe) is dropped as damaged.
// UTC = GPS time − the receiver's UTC offset (from 0x41, 0x8F-20, 0x8F-AB or A1-00; 18 s
// until one arrives), unless the receiver sends UTC times (0x8F-AB flag, 0x55 option).
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "navlib32/FixState.h"
#include "navlib32/GpsDecoder.h"
#include "navlib32/tsip/GpsTime.h"
#include "navlib32/tsip/TsipFramer.h"
#include "navlib32/tsip/TsipPackets.h"

namespace navlib::tsip {

struct TsipDecoderCounters {
  uint64_t decoded = 0;      // frames checked and applied
  uint64_t unknown = 0;      // ids (or subcodes) not decoded here
  uint64_t badLength = 0;    // frames of a wrong length for their id
  uint64_t badChecksum = 0;  // TSIPv1 frames failing their checksum
  uint64_t notReport = 0;    // TSIPv1 queries and command echoes
  uint64_t implausible = 0;  // right length, impossible values (a damaged classic packet)
};

class TsipDecoder final : public GpsDecoder {
 public:
  std::size_t Feed(const uint8_t* data, std::size_t size, double nowSeconds) override;
  bool EpochComplete() const override { return fix_.EpochCompleted(); }
  void TakeEpoch() override { fix_.TakeEpoch(); }
  void Flush() override;
  void GetFix(pelmora::FixRecord& out, double nowSeconds) const override {
    fix_.MakeRecord(out, nowSeconds);
  }
  int GetSatellites(pelmora::SatDetail* out, int capacity, double nowSeconds) const override {
    return fix_.AllSatellites(out, capacity, nowSeconds);
  }
  bool GetDate(int& year, int& month, int& day, double nowSeconds) const override {
    return fix_.Date(year, month, day, nowSeconds);
  }
  int64_t EpochOffset() const override { return fix_.LatestOffset(); }
  void SetMessageTap(MessageTap* tap) override;
  std::unique_ptr<GpsDecoder> Clone() const override;
  std::size_t StateBytes() const override { return sizeof *this; }

  // The receiver was told to report heights above mean sea level (its I/O options); a 0x55
  // report from the receiver overrides this.
  void SetHeightsAreMsl(bool msl) { options_.heightsAreMsl = msl; }

  // GPS − UTC in use, and the last GPS week seen (full week; -1 before any).
  int LeapSeconds() const { return leapSeconds_; }
  int GpsWeek() const { return week_; }

  const TsipFramerCounters& FramerCounters() const { return framer_.Counters(); }
  const TsipDecoderCounters& Counters() const { return counters_; }
  const FixState& State() const { return fix_; }

 private:
  // What started the epoch in progress.
  enum class EpochKind { None, Fix, Satellites, Clock };

  void HandleFrame(std::span<const uint8_t> frame, double now);
  // Tells the tap about a step of the framer over data, after the frame it completed (if any)
  // was handled.
  void Tap(const uint8_t* data, std::size_t size, bool completed);
  // The steps of a well-formed frame for its report (plausibility, late reports, On).
  template <typename Report>
  void HandleReport(const Report& report, double now);

  // Epoch bookkeeping, see the header comment.
  // Times of week are GPS time unless the packet or the I/O options say UTC.
  double TimeOfDay(double seconds, bool utc = false) const;
  void FixTime(double gpsSeconds, double now, bool utc = false);
  void MeasurementTime(double gpsSeconds, double now);
  // A measurement time lies just behind the fix in progress.
  bool BackDated(double measuredAt) const;
  // Another satellite of the late report in progress; no other report is.
  bool PartOfLateReport(const TrackingReport& report) const;
  template <typename Report>
  bool PartOfLateReport(const Report&) const {
    return false;
  }
  void NoteReportPeriod(double gpsSeconds);
  void ClockTime(double gpsSeconds, double now);
  void ResolvePendingClock(double now);
  void CompleteUntimedEpoch(double now);
  void NoteLeapSeconds(int leapSeconds);
  void NoteWeek(int reportedWeek);
  void NoteDate(double gpsSeconds, bool utc);
  // A TSIPv1 position report of a second whose A1-00 was lost: its own epoch.
  void NextV1Second(double now);

  // One handler per report; Apply dispatches.
  void On(const std::monostate&, double) {}
  void On(const GpsTimeReport& r, double now);
  void On(const PositionReport& r, double now);
  void On(const VelocityReport& r, double now);
  void On(const EcefVelocityReport& r, double now);
  void On(const SuperFixReport& r, double now);
  void On(const TimingReport& r, double now);
  void On(const TimingStatusReport& r, double now);
  void On(const HealthReport& r, double now);
  void On(const MachineStatusReport&, double) {}  // nothing the fix record shows
  void On(const SelectionReport& r, double) { ApplySelection(r); }
  void On(const SignalLevelsReport& r, double now);
  void On(const TrackingReport& r, double now) { ApplyTracking(r, now); }
  void On(const DifferentialReport& r, double now);
  void On(const V1TimingReport& r, double now);
  void On(const V1PositionReport& r, double now);
  void On(const V1StatusReport& r, double now);
  void On(const IoOptionsReport& r, double now);

  // reference: the receiver's stored position, not a fix.
  void ApplyPosition(const PositionReport& p, bool reference = false);
  void ApplyVelocity(double east, double north);
  void ApplyHealth(uint8_t statusCode);
  void ApplySelection(const SelectionReport& s);
  void ApplyTracking(const TrackingReport& t, double now);

  FixState fix_;
  TsipFramer framer_;
  TsipReport report_;  // of the frame being handled
  ParseOptions options_;
  TsipDecoderCounters counters_;

  int leapSeconds_ = kDefaultLeapSeconds;
  // The start (seconds after the start of the week) of the day of the last time of day
  // TimeOfDay computed; NaN: none.
  mutable double dayStart_ = std::numeric_limits<double>::quiet_NaN();
  int week_ = -1;
  int64_t dateDay_ = INT64_MIN;  // day number (since 1970) of date_
  // Where that day begins in GpsSecondsSinceEpoch's count; NaN: no day yet.
  double dateFrom_ = std::numeric_limits<double>::quiet_NaN();
  CivilDate date_;

  EpochKind kind_ = EpochKind::None;
  double fixTime_ = 0.0;  // UTC time of day of the fix epoch in progress
  // A 0x41 ended a fix epoch: its clock epoch is pending until it is known whether
  // satellite measurements of that fix follow.
  bool clockPending_ = false;
  // The last timing packet (8F-AB, A1-00) said the receiver's time is not set: measurement
  // times are not times, and the first valid time ends the untimed epoch in progress.
  bool timeUnset_ = false;
  // TSIPv1: the GPS seconds of the last A1-00 (or of the second inferred after it; -1: none),
  // the receiver's cycle between two of them, and whether the fix epoch in progress holds an
  // A1-11.
  double v1FixSeconds_ = -1.0;
  double v1CycleSeconds_ = 1.0;
  bool v1PositionSeen_ = false;
  double pendingClockTime_ = 0.0;
  double reopenFixTime_ = 0.0;
  // I/O options: the receiver sends the times of fix of its position and velocity reports in
  // UTC (0x55 timing bit 0). Other packets keep their own time base.
  bool utcTimes_ = false;
  // A late report (satellites of the last completed epoch, measured at lateMeasurement_) is
  // open; the frame that ended one waits in the framer until its epoch has been taken.
  double lateEpochTime_ = 0.0;
  double lateMeasurement_ = 0.0;
  bool heldFrame_ = false;
  // Tracking reports: the measurement time of the last one and the period between them.
  double lastReportTow_ = -1.0;
  double reportPeriod_ = 1.0;
  double lastNow_ = 0.0;         // arrival time of the last frame
  int64_t consumed_ = 0;         // bytes Feed has consumed
  int64_t messageStart_ = 0;     // just after the last frame
  double epochStartedAt_ = 0.0;  // arrival time of the first data of the epoch in progress
  // Last position, to turn ECEF velocities into east-north-up.
  bool hasPosition_ = false;
  double latitudeDeg_ = 0.0, longitudeDeg_ = 0.0;
  MessageTap* tap_ = nullptr;
  // The counts the tap has heard of: the framer's, and the decoder's own.
  TsipFramerCounters tapFramer_;
  TsipDecoderCounters tapSeen_;
  // Fix dimension of the last selection report (0x6D, 0x8F-AC): the position packets 0x84,
  // 0x4A, 0x83 and 0x42 do not state it. 0 = not known.
  int dimension_ = 0;
  // DGPS in use per 0x82, applied to the fixes that follow.
  bool differential_ = false;
};

}  // namespace navlib::tsip
