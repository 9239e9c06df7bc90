// TSIP decoder: frames → reports → FixState, with the epoch rules of TsipDecoder.h.
#include "navlib32/tsip/TsipDecoder.h"

#include <cmath>
#include <numbers>
#include <type_traits>
#include <variant>

#include "navlib32/MessageTap.h"
#include "navlib32/SatNumbers.h"
#include "navlib32/TimeOfDay.h"
#include "navlib32/tsip/GpsTime.h"
#include "navlib32/tsip/Wgs84.h"

namespace navlib::tsip {

namespace {

constexpr double kDegPerRad = 180.0 / std::numbers::pi;
// Satellite measurements (0x5C) come within a second after the fix they belong to.
constexpr double kMeasurementWindowSeconds = 1.0;
// Receivers that send the measurements of second T after the fix of T + 1 (SMT 360, TSIPv1):
// how far behind the fix in progress such a report may lie.
constexpr double kBackDatedSeconds = 2.0;
// A receiver reports a UTC offset of 0 until it has read it from the satellites; real
// offsets have been above 10 s since 1996.
constexpr int kLeastPlausibleLeapSeconds = 11;

int RoundAngle(double degrees) {
  if (!std::isfinite(degrees)) return FixState::kNoValue;
  if (std::fabs(degrees) < 1e9) {
    // std::lround without the call: the whole part and the exact rest, halves away from zero.
    const long whole = static_cast<long>(degrees);
    const double rest = degrees - static_cast<double>(whole);
    return static_cast<int>(whole + (rest >= 0.5 ? 1 : 0) - (rest <= -0.5 ? 1 : 0));
  }
  return static_cast<int>(std::lround(degrees));
}

GnssSystem SystemOfTracking(const TrackingReport& t) {
  return t.system ? *t.system : SystemOfTsipNumber(t.prn);
}

// Status reports a receiver sends on its own schedule, without a time of their own: their
// values age from their arrival.
template <typename Report>
constexpr bool kStampedAtArrival =
    std::is_same_v<Report, HealthReport> || std::is_same_v<Report, MachineStatusReport> ||
    std::is_same_v<Report, SelectionReport> || std::is_same_v<Report, SignalLevelsReport> ||
    std::is_same_v<Report, DifferentialReport> || std::is_same_v<Report, V1StatusReport> ||
    std::is_same_v<Report, IoOptionsReport>;

// A timing receiver in overdetermined-clock mode whose survey is done holds its surveyed
// antenna position (minor alarms bit 4: survey in progress, bit 5: no stored position).
bool HoldsReferencePosition(const TimingStatusReport& r) {
  constexpr uint8_t kOverdeterminedClock = 7;
  constexpr uint16_t kSurveyingOrNoPosition = 0x0030;
  return (r.receiverMode & 0x07) == kOverdeterminedClock &&
         (r.minorAlarms & kSurveyingOrNoPosition) == 0;
}

// Classic TSIP has no checksum: a damaged packet of the right length still parses. Values no
// receiver can send mark it: a time of week outside the week, a position off the globe or
// farther than 10 000 km from the ground.
bool Plausible(const PositionReport& p) {
  constexpr double kMaxHeightMetres = 1e7;
  if (p.hasTime && !IsTimeOfWeek(p.gpsSeconds)) return false;
  return std::fabs(p.latitudeDeg) <= 90.0 && std::fabs(p.longitudeDeg) <= 180.0 &&
         std::fabs(p.heightMetres) < kMaxHeightMetres;
}

bool Plausible(const GpsTimeReport& r) {
  return r.gpsSeconds < 0.0 || IsTimeOfWeek(r.gpsSeconds);  // negative: no time yet
}
bool Plausible(const VelocityReport& r) {
  return IsTimeOfWeek(r.gpsSeconds);
}
bool Plausible(const EcefVelocityReport& r) {
  return IsTimeOfWeek(r.gpsSeconds);
}
bool Plausible(const SuperFixReport& r) {
  return IsTimeOfWeek(r.gpsSeconds);
}
bool Plausible(const TimingReport& r) {
  return IsTimeOfWeek(r.gpsSeconds);
}
bool Plausible(const V1TimingReport& r) {
  return IsTimeOfWeek(r.gpsSeconds);
}
bool Plausible(const TimingStatusReport& r) {
  return Plausible(r.position);
}
bool Plausible(const V1PositionReport& r) {
  return Plausible(r.position);
}
bool Plausible(const TrackingReport& r) {
  return r.gpsSeconds <= 0.0 || IsTimeOfWeek(r.gpsSeconds);  // 0 or less: none yet
}
template <typename Report>
bool Plausible(const Report&) {
  return true;
}

}  // namespace

std::size_t TsipDecoder::Feed(const uint8_t* data, std::size_t size, double nowSeconds) {
  if (data == nullptr) return size;
  if (heldFrame_) {
    // The frame that ended a late report, held back until that report was taken; its start
    // is still the one noted.
    heldFrame_ = false;
    HandleFrame(framer_.Frame(), nowSeconds);
    if (fix_.EpochCompleted()) return 0;
  }
  std::size_t used = 0;
  while (used < size) {
    bool completed = false;
    const std::size_t from = used;
    used += framer_.Push(data + used, size - used, completed);
    if (!completed) {
      if (tap_ != nullptr) [[unlikely]]
        Tap(data + from, used - from, false);
      break;
    }
    fix_.NoteMessageStart(messageStart_);
    messageStart_ = consumed_ + static_cast<int64_t>(used);
    HandleFrame(framer_.Frame(), nowSeconds);
    if (tap_ != nullptr) [[unlikely]]
      Tap(data + from, used - from, true);
    if (fix_.EpochCompleted()) {
      consumed_ += static_cast<int64_t>(used);
      return used;
    }
  }
  consumed_ += static_cast<int64_t>(size);
  return size;
}

void TsipDecoder::Flush() {
  if (tap_ != nullptr) tap_->End(pelmora::MessageProtocol::Tsip);
  // Flush runs at the end of the input with no clock of its own: the last arrival time stands.
  if (heldFrame_) {
    heldFrame_ = false;
    HandleFrame(framer_.Frame(), lastNow_);
    if (fix_.EpochCompleted()) return;
  }
  if (fix_.InLateReport()) {
    fix_.EndLateReport(lateEpochTime_);
    return;  // the epoch in progress completes at the next Flush
  }
  if (clockPending_) {
    clockPending_ = false;
    fix_.NoteTime(pendingClockTime_, lastNow_);
    kind_ = EpochKind::Clock;
  }
  fix_.CompleteEpoch(lastNow_);
  kind_ = EpochKind::None;
}

void TsipDecoder::HandleFrame(std::span<const uint8_t> frame, double now) {
  lastNow_ = now;
  TsipReport& report = report_;  // reused: a fresh one would be cleared for every frame
  switch (ParseFrame(frame, options_, report)) {
    case FrameCheck::Ok:
      std::visit([&](const auto& r) { HandleReport(r, now); }, report);
      return;
    case FrameCheck::Unknown:
      // Well-framed but not decoded here: still a sign of life from the receiver.
      ++counters_.unknown;
      fix_.NoteActivity(now);
      return;
    case FrameCheck::BadLength:
      ++counters_.badLength;
      return;
    case FrameCheck::BadChecksum:
      ++counters_.badChecksum;
      return;
    case FrameCheck::NotReport:
      ++counters_.notReport;
      return;
  }
}

std::unique_ptr<GpsDecoder> TsipDecoder::Clone() const {
  auto copy = std::make_unique<TsipDecoder>(*this);
  copy->tap_ = nullptr;
  return copy;
}

void TsipDecoder::SetMessageTap(MessageTap* tap) {
  tap_ = tap;
  tapFramer_ = framer_.Counters();
  tapSeen_ = counters_;
}

void TsipDecoder::Tap(const uint8_t* data, std::size_t size, bool completed) {
  using pelmora::MessageStatus;
  const TsipFramerCounters& f = framer_.Counters();
  MessageTap::TsipStep step;
  step.consumed = {data, size};
  step.cut = f.interrupted - tapFramer_.interrupted;
  step.overlong = f.overlong - tapFramer_.overlong;
  if (completed) {
    step.frame = framer_.Frame();
    step.verdict = counters_.badLength != tapSeen_.badLength       ? MessageStatus::BadLength
                   : counters_.badChecksum != tapSeen_.badChecksum ? MessageStatus::BadChecksum
                   : counters_.implausible != tapSeen_.implausible ? MessageStatus::Implausible
                                                                   : MessageStatus::Ok;
  }
  tapFramer_ = f;
  tapSeen_ = counters_;
  tap_->Tsip(step);
}

template <typename Report>
void TsipDecoder::HandleReport(const Report& report, double now) {
  if (!Plausible(report)) {
    ++counters_.implausible;
    return;
  }
  if (fix_.InLateReport() && !PartOfLateReport(report)) {
    // The late report is complete: report its epoch again before this frame counts.
    fix_.EndLateReport(lateEpochTime_);
    heldFrame_ = true;
    return;
  }
  ++counters_.decoded;
  fix_.NoteActivity(
      now, kStampedAtArrival<Report> ? FixState::ReportTime::Arrival : FixState::ReportTime::Epoch);
  CompleteUntimedEpoch(now);
  const bool hadData = fix_.EpochHasData();
  On(report, now);
  if (!hadData && fix_.EpochHasData()) epochStartedAt_ = now;
}

// --- Epochs ------------------------------------------------------------------------------

void TsipDecoder::CompleteUntimedEpoch(double now) {
  // A receiver without GPS time sends health and status but nothing timed; its reports still
  // reach the display once per cycle.
  constexpr double kUntimedEpochSeconds = 2.0;
  if (clockPending_ || !fix_.EpochHasData()) return;
  if (fix_.CurrentEpochTime() != FixState::kNoTime) return;
  if (now - epochStartedAt_ < kUntimedEpochSeconds) return;
  fix_.CompleteEpoch(now);
  kind_ = EpochKind::None;
}

void TsipDecoder::ResolvePendingClock(double now) {
  if (!clockPending_) return;
  clockPending_ = false;
  fix_.NoteTime(pendingClockTime_, now);
  kind_ = EpochKind::Clock;
}

double TsipDecoder::TimeOfDay(double seconds, bool utc) const {
  // Most times fall on the day of the one before: taking that day's start (a whole number of
  // seconds) off is exact, as UtcSecondsOfDay's result is, and costs one subtraction.
  const double t = seconds - (utc ? 0 : leapSeconds_);
  const double onDay = t - dayStart_;
  if (onDay >= 0.0 && onDay < kSecondsPerDay) return onDay;
  const double day = UtcSecondsOfDay(seconds, utc ? 0 : leapSeconds_);
  // Only a time of week (a week and a day at most) is taken apart exactly, day by day.
  if (t >= 0.0 && t < kSecondsPerWeek + kSecondsPerDay) dayStart_ = t - day;
  return day;
}

void TsipDecoder::FixTime(double gpsSeconds, double now, bool utc) {
  const double t = TimeOfDay(gpsSeconds, utc);
  if (clockPending_ && SameTimeOfDay(t, reopenFixTime_)) {
    // another packet of the fix that the 0x41 interrupted
    clockPending_ = false;
    fix_.NoteTime(reopenFixTime_, now);
    kind_ = EpochKind::Fix;
    fixTime_ = reopenFixTime_;
    return;
  }
  ResolvePendingClock(now);
  if (timeUnset_) {
    // The first time the receiver vouches for: what it reported before (the power-up sky)
    // is an untimed epoch of its own, not part of this one.
    timeUnset_ = false;
    if (fix_.CurrentEpochTime() == FixState::kNoTime) fix_.CompleteEpoch(now);
  }
  fix_.NoteTime(t, now);
  kind_ = EpochKind::Fix;
  fixTime_ = t;
  NoteDate(gpsSeconds, utc);
}

// Inline, as NoteDate: each runs for most packets, from one place.
inline void TsipDecoder::MeasurementTime(double gpsSeconds, double now) {
  const double m = TimeOfDay(gpsSeconds);
  // Another satellite of the late report (HandleFrame), or a clock the receiver says is not
  // set yet.
  if (fix_.InLateReport() || timeUnset_) return;
  auto inWindow = [&](double fix) {
    const double d = DayDifference(m, fix);
    return d >= -kSameTimeSeconds && d < kMeasurementWindowSeconds;
  };
  if (clockPending_ && inWindow(reopenFixTime_)) {
    clockPending_ = false;
    fix_.NoteTime(reopenFixTime_, now);
    kind_ = EpochKind::Fix;
    fixTime_ = reopenFixTime_;
    return;
  }
  if (kind_ == EpochKind::Fix && inWindow(fixTime_)) return;
  if (kind_ == EpochKind::Fix && BackDated(m)) {
    // Measured before the fix in progress (sent after the next fix): the satellites of the
    // last completed epoch when they belong to it, else of the fix in progress; never an epoch
    // that steps back.
    // A second between the two whose fix never came (its timing packet lost) is reported
    // under its own time.
    const double latest = fix_.LatestTime();
    if (latest != FixState::kNoTime &&
        (inWindow(latest) || DayDifference(m, latest) >= kMeasurementWindowSeconds)) {
      fix_.BeginLateReport();
      lateEpochTime_ = inWindow(latest) ? latest : m;
      lateMeasurement_ = m;
    }
    return;
  }
  if (kind_ == EpochKind::Satellites && SameTimeOfDay(m, fix_.CurrentEpochTime())) return;
  ResolvePendingClock(now);
  fix_.NoteTime(m, now);
  kind_ = EpochKind::Satellites;
}

bool TsipDecoder::BackDated(double measuredAt) const {
  const double behind = DayDifference(fixTime_, measuredAt);
  return behind > kSameTimeSeconds && behind <= kBackDatedSeconds;
}

bool TsipDecoder::PartOfLateReport(const TrackingReport& t) const {
  return t.gpsSeconds > 0.0 && SameTimeOfDay(TimeOfDay(t.gpsSeconds), lateMeasurement_);
}

void TsipDecoder::ClockTime(double gpsSeconds, double now) {
  const double t = TimeOfDay(gpsSeconds);
  ResolvePendingClock(now);
  if (kind_ == EpochKind::Fix && fix_.EpochHasData()) {
    fix_.CompleteEpoch(now);
    clockPending_ = true;
    pendingClockTime_ = t;
    reopenFixTime_ = fixTime_;
    kind_ = EpochKind::None;
    return;
  }
  fix_.NoteTime(t, now);
  kind_ = EpochKind::Clock;
}

void TsipDecoder::NoteLeapSeconds(int leapSeconds) {
  if (leapSeconds >= kLeastPlausibleLeapSeconds && leapSeconds < 100) leapSeconds_ = leapSeconds;
}

void TsipDecoder::NoteWeek(int reportedWeek) {
  const int week = ResolveGpsWeek(reportedWeek, leapSeconds_);
  if (week >= 0) week_ = week;
}

inline void TsipDecoder::NoteDate(double gpsSeconds, bool utc) {
  if (week_ < 0 || !std::isfinite(gpsSeconds)) return;
  const int offset = utc ? 0 : leapSeconds_;
  // A time within the day of date_ keeps it without a conversion (the day's bounds are whole
  // seconds: the floor of GpsToUnixSeconds stays within them; a time its clamp would move lies
  // outside any day but the clamped one, which gives that same day).
  const double total = GpsSecondsSinceEpoch(week_, gpsSeconds, offset);
  if (!(total >= dateFrom_ && total < dateFrom_ + 86400.0)) {
    const int64_t unixSeconds = GpsToUnixSeconds(week_, gpsSeconds, offset);
    const int64_t day = unixSeconds >= 0 ? unixSeconds / 86400 : (unixSeconds - 86399) / 86400;
    if (day != dateDay_) {  // the calendar once a day
      dateDay_ = day;
      date_ = CivilDateOf(unixSeconds);
    }
    dateFrom_ = static_cast<double>(day * 86400 - kGpsEpochUnixSeconds);
  }
  fix_.SetDate(date_.year, date_.month, date_.day);
}

// --- Values ------------------------------------------------------------------------------

void TsipDecoder::ApplyPosition(const PositionReport& p, bool reference) {
  if (reference) {
    fix_.SetReferencePosition(p.latitudeDeg, p.longitudeDeg);
  } else {
    fix_.SetPosition(p.latitudeDeg, p.longitudeDeg);
  }
  if (std::isfinite(p.latitudeDeg) && std::isfinite(p.longitudeDeg)) {
    hasPosition_ = true;
    latitudeDeg_ = p.latitudeDeg;
    longitudeDeg_ = p.longitudeDeg;
  }
  if (dimension_ >= 2) fix_.SetFix(dimension_, differential_);
  if (p.heightIsMsl) {
    fix_.SetMslHeight(p.heightMetres);
  } else {
    fix_.SetEllipsoidHeight(p.heightMetres);
  }
  if (differential_) fix_.SetDifferential(true);
}

void TsipDecoder::ApplyVelocity(double east, double north) {
  if (!std::isfinite(east) || !std::isfinite(north)) return;
  fix_.SetSpeed(std::hypot(east, north));
  // Course of the velocity vector; a receiver at rest reports zero velocity, course 0.
  double track = std::atan2(east, north) * kDegPerRad;
  if (track < 0) track += 360.0;
  if (track >= 360.0) track = 0.0;
  fix_.SetTrack(track);
}

void TsipDecoder::ApplyHealth(uint8_t statusCode) {
  using pelmora::ReceiverStatus;
  switch (statusCode) {
    case 0x00:  // doing position fixes
    case 0xBB:  // time fix in overdetermined clock mode (timing receivers)
      fix_.SetReceiverStatus(ReceiverStatus::DoingFixes);
      return;
    case 0x01:
      fix_.SetReceiverStatus(ReceiverStatus::NoGpsTime);
      break;
    case 0x02:  // needs initialisation: still searching
      fix_.SetReceiverStatus(ReceiverStatus::Acquiring);
      break;
    case 0x03:
      fix_.SetReceiverStatus(ReceiverStatus::PdopTooHigh);
      break;
    case 0x08:
    case 0x10:  // TRAIM rejected the fix: no usable satellites for it
      fix_.SetReceiverStatus(ReceiverStatus::NoUsableSats);
      break;
    case 0x09:
      fix_.SetReceiverStatus(ReceiverStatus::OneUsableSat);
      break;
    case 0x0A:
      fix_.SetReceiverStatus(ReceiverStatus::TwoUsableSats);
      break;
    case 0x0B:
      fix_.SetReceiverStatus(ReceiverStatus::ThreeUsableSats);
      break;
    case 0x0C:
      fix_.SetReceiverStatus(ReceiverStatus::ChosenSatUnusable);
      break;
    default:
      return;  // an unknown code says nothing about the fix
  }
  dimension_ = 0;
  fix_.SetNoFix();
}

void TsipDecoder::ApplySelection(const SelectionReport& s) {
  if (s.hasDops) fix_.SetDops(s.pdop, s.hdop, s.vdop);
  // 1 and 5: clock-only fix of a timing receiver at a known (surveyed) position: the
  // satellites solve for time, none for a position.
  const bool clockFix = s.dimension == 1 || s.dimension == 5;
  switch (s.dimension) {
    case 1:
    case 5:
    case 4:
      dimension_ = 3;
      fix_.SetFix(3, differential_);
      break;
    case 3:
      dimension_ = 2;
      fix_.SetFix(2, differential_);
      break;
    case 6:  // 3D with differential corrections
      dimension_ = 3;
      fix_.SetFix(3, true);
      break;
    default:
      break;  // 0 and 2: no dimension stated (auto mode before a fix)
  }
  // A clock-only solution says nothing about which satellites a position would use: the
  // receiver's own used flags (0x5D, A2-00) stand.
  if (!s.hasPrns || clockFix) return;
  std::array<int, kMaxTsipSats> prns;  // the first `used` are filled
  std::size_t used = 0;
  for (std::size_t i = 0; i < s.count && i < prns.size(); ++i) {
    // a negative PRN is one the receiver set aside as unhealthy: not in the solution
    if (s.prns[i] > 0) prns[used++] = s.prns[i];
  }
  fix_.SetSatellitesUsedCount(static_cast<int>(used));
  if (used == 0) {
    fix_.AddSatellitesUsed(GnssSystem::Gps, prns.data(), 0);
    return;
  }
  // In runs of one system, in the receiver's order.
  for (std::size_t i = 0; i < used;) {
    const GnssSystem system = SystemOfTsipNumber(prns[i]);
    std::size_t end = i + 1;
    while (end < used && SystemOfTsipNumber(prns[end]) == system)
      ++end;
    fix_.AddSatellitesUsed(system, &prns[i], end - i);
    i = end;
  }
}

void TsipDecoder::ApplyTracking(const TrackingReport& t, double now) {
  if (t.prn == 0) return;
  if (t.gpsSeconds > 0.0) {
    MeasurementTime(t.gpsSeconds, now);
    NoteReportPeriod(t.gpsSeconds);
  }
  const int el = t.hasAngles ? RoundAngle(t.elevationDeg) : FixState::kNoValue;
  const int az = t.hasAngles ? RoundAngle(t.azimuthDeg) : FixState::kNoValue;
  const int snr = RoundAngle(t.signal > 0.0 ? t.signal : 0.0);
  const GnssSystem system = SystemOfTracking(t);
  const int prn = TsipKeptNumber(system, t.prn, t.prnWithinSystem);
  if (t.burst) fix_.MarkCompleteSatelliteView();
  fix_.UpdateSatellite(system, prn, el, az, snr);
  if (t.usedKnown) fix_.AddSatellitesUsed(system, &prn, t.usedInFix ? 1 : 0);
}

void TsipDecoder::NoteReportPeriod(double gpsSeconds) {
  // Satellites missing from one report stay until the next one is due: receivers such as the
  // Lassen send their tracking reports every 5 to 8 s.
  constexpr double kLongestPeriod = 30.0;
  constexpr double kReportsMissed = 2.5;
  if (lastReportTow_ >= 0.0 && std::fabs(gpsSeconds - lastReportTow_) > kSameTimeSeconds) {
    double period = gpsSeconds - lastReportTow_;
    if (period < 0) period += kSecondsPerWeek;
    if (period <= kLongestPeriod) reportPeriod_ = period;
  }
  lastReportTow_ = gpsSeconds;
  fix_.SetSatelliteReportAge(kReportsMissed * reportPeriod_);
}

void TsipDecoder::On(const GpsTimeReport& r, double now) {
  NoteLeapSeconds(static_cast<int>(std::lround(r.utcOffsetSeconds)));
  if (r.gpsSeconds < 0.0) return;  // no GPS time yet
  NoteWeek(r.week);
  ClockTime(r.gpsSeconds, now);
}

// Position and velocity reports carry the time of fix in the time base the I/O options chose.
void TsipDecoder::On(const PositionReport& r, double now) {
  if (r.hasTime) FixTime(r.gpsSeconds, now, utcTimes_);
  ApplyPosition(r);
}

void TsipDecoder::On(const VelocityReport& r, double now) {
  FixTime(r.gpsSeconds, now, utcTimes_);
  ApplyVelocity(r.east, r.north);
}

void TsipDecoder::On(const EcefVelocityReport& r, double now) {
  FixTime(r.gpsSeconds, now, utcTimes_);
  if (!hasPosition_) return;  // east and north need a position
  const Enu v = EcefVectorToEnu({r.x, r.y, r.z}, latitudeDeg_, longitudeDeg_);
  ApplyVelocity(v.east, v.north);
}

void TsipDecoder::On(const SuperFixReport& r, double now) {
  NoteLeapSeconds(r.utcOffsetSeconds);
  NoteWeek(r.week);
  FixTime(r.gpsSeconds, now);
  if (!r.fixAvailable) {
    dimension_ = 0;
    fix_.SetNoFix();
    return;
  }
  dimension_ = r.twoD ? 2 : 3;
  PositionReport p;
  p.latitudeDeg = r.latitudeDeg;
  p.longitudeDeg = r.longitudeDeg;
  p.heightMetres = r.ellipsoidHeightMetres;
  ApplyPosition(p);
  if (r.velocityValid) ApplyVelocity(r.east, r.north);
  fix_.SetFix(dimension_, r.differential || differential_);
}

void TsipDecoder::On(const TimingReport& r, double now) {
  if (r.utcOffsetValid) NoteLeapSeconds(r.utcOffsetSeconds);
  if (!r.timeValid) {
    timeUnset_ = true;
    return;
  }
  NoteWeek(r.week);
  FixTime(r.gpsSeconds, now, r.utcTime);
}

void TsipDecoder::On(const TimingStatusReport& r, double) {
  ApplyHealth(r.decodingStatus);
  const uint8_t status = r.decodingStatus;
  int dimension = 0;
  switch (r.receiverMode & 0x07) {
    case 0:  // automatic: the decoding status tells
      dimension = status == 0x00 ? 3 : (status == 0x0B ? 2 : 0);
      break;
    case 1:  // single-satellite time
    case 7:  // overdetermined clock
      dimension = status == 0x00 ? 3 : (status >= 0x09 && status <= 0x0B ? 2 : 0);
      break;
    case 3:
    case 6:
      dimension = 2;
      break;
    case 4:
      dimension = 3;
      break;
    default:
      break;
  }
  if (dimension >= 2) {
    dimension_ = dimension;
    ApplyPosition(r.position);
  } else if (HoldsReferencePosition(r)) {
    // Overdetermined clock with its survey done: the stored antenna position stays valid
    // while the receiver has no fix of its own (holdover); the fix mode stays "no fix".
    ApplyPosition(r.position, true);
  }
}

void TsipDecoder::On(const HealthReport& r, double) {
  ApplyHealth(r.statusCode);
}

void TsipDecoder::On(const SignalLevelsReport& r, double) {
  for (std::size_t i = 0; i < r.count && i < r.prns.size(); ++i) {
    const double level = r.levels[i] > 0.0f ? r.levels[i] : 0.0;
    fix_.UpdateSatellite(SystemOfTsipNumber(r.prns[i]), r.prns[i], FixState::kNoValue,
                         FixState::kNoValue, RoundAngle(level));
  }
}

void TsipDecoder::On(const DifferentialReport& r, double) {
  differential_ = r.differentialInUse();
  fix_.SetDifferential(differential_);
}

void TsipDecoder::On(const V1TimingReport& r, double now) {
  NoteLeapSeconds(r.utcOffsetSeconds);
  v1PositionSeen_ = false;  // the A1-11 that follows is this second's
  if (!r.timeValid) {
    timeUnset_ = true;
    return;
  }
  NoteWeek(r.week);
  // The receiver's cycle: the time between two A1-00 of consecutive fixes (one second, the
  // default of TSIPv1 receivers, until two have shown it). A longer gap is a lost packet, not
  // the cycle: they report once a second or faster.
  constexpr double kLongestCycleSeconds = 1.0;
  double cycle = r.gpsSeconds - v1FixSeconds_;
  if (cycle < 0.0) cycle += kSecondsPerWeek;
  if (v1FixSeconds_ >= 0.0 && cycle > kSameTimeSeconds && cycle <= kLongestCycleSeconds) {
    v1CycleSeconds_ = cycle;
  }
  v1FixSeconds_ = r.gpsSeconds;
  FixTime(r.gpsSeconds, now);
}

void TsipDecoder::NextV1Second(double now) {
  // A1-11 carries no time of its own. The receiver sends one per cycle, so this is the fix of
  // the cycle after the last A1-00: its time is one cycle later.
  v1FixSeconds_ += v1CycleSeconds_;
  if (v1FixSeconds_ >= kSecondsPerWeek) v1FixSeconds_ -= kSecondsPerWeek;
  FixTime(v1FixSeconds_, now);
}

void TsipDecoder::On(const V1PositionReport& r, double now) {
  // A second A1-11 without an A1-00 between: the timing packet of its second was lost, and
  // this fix is that second's, not a correction of the one before.
  if (v1PositionSeen_ && kind_ == EpochKind::Fix) NextV1Second(now);
  v1PositionSeen_ = true;
  if (r.fixType == 0) {
    dimension_ = 0;
    fix_.SetNoFix();
    // Coasting on dead reckoning, the receiver keeps sending a position: valid beside the
    // no-fix mode. A zero position is none.
    if (r.position.latitudeDeg == 0.0 && r.position.longitudeDeg == 0.0) return;
    ApplyPosition(r.position, true);
  } else {
    dimension_ = r.fixType == 1 ? 2 : 3;
    ApplyPosition(r.position);
  }
  if (r.velocityEnu) {
    ApplyVelocity(r.east, r.north);
  } else {
    const Enu v = EcefVectorToEnu({r.east, r.north, r.up}, latitudeDeg_, longitudeDeg_);
    ApplyVelocity(v.east, v.north);
  }
  fix_.SetDops(r.pdop, FixState::kNoDop, FixState::kNoDop);
}

void TsipDecoder::On(const V1StatusReport& r, double) {
  ApplyHealth(r.health.statusCode);
  ApplySelection(r.dops);
}

void TsipDecoder::On(const IoOptionsReport& r, double) {
  options_.heightsAreMsl = r.heightsAreMsl();
  utcTimes_ = r.utcTimes();
}

}  // namespace navlib::tsip
