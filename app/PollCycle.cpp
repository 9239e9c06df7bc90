// One tick of the poll cycle, in its fixed order: guard, phase, poll, failure, then on update
// ticks beep, read, status light and texts, position, elevation, speed, heading, time, signal
// bars, sky plot and PDOP, the update command and the observers.
#include "app/PollCycle.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "app/MainLayout.h"
#include "app/format/CheckedMath.h"
#include "app/format/FormatFixed.h"
#include "navlib32/navlib32.h"
#include "navres32/StringIds.h"

namespace pelmora {
namespace {

using ui::Color;
namespace colors = ui::colors;

constexpr int32_t kSecondsPerMinute = 60;
// The texts of fixMode 0..5 in the mode panel.
constexpr std::array<const char*, 6> kFixModeTexts = {"", "", "2D", "3D", "2D DGPS", "3D DGPS"};
// Signal levels are shown in 0..99; a bar of level s is s + 15 high on the baseline.
constexpr int16_t kMaxSnr = 99;
// Sky plot: the zenith at (100, 100), the horizon 80 pixels away.
constexpr int kSkyCentre = 100;
constexpr double kSkyHorizonRadius = 80.0;
constexpr double kRadiansPerDegree = 0.017453292519943334;
constexpr int16_t kMaxAzimuth = 359;
// PDOP is shown up to 20; the gauge's level is PDOP / 20 * 100.
constexpr float kMaxPdop = 20.0f;

// Black for a value whose validity bit is set, grey otherwise.
Color ValidityColor(uint16_t validFlags, uint16_t bit) {
  return (validFlags & bit) != 0 ? colors::kBlack : colors::kGrey;
}

// Sets a flag for the lifetime of a scope.
class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~ScopedFlag() { flag_ = false; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void PollCycle::Timer1_Timer() {
  if (inTick_) return;  // a box of the cycle is open: no box inside a box
  if (!p_.host.EngineOpen() || p_.host.Closing()) return;
  const ScopedFlag tick(inTick_);

  const WallClockTime now = p_.host.LocalTime();
  // An UpdateInterval of 0 ends every tick here, before any poll.
  const std::optional<int32_t> phase = CheckedRemainder(kSecondsPerMinute * now.minute + now.second,
                                                        p_.options.display.updateInterval);
  if (!phase) return;
  // Live polls on every tick; a replay advances once per update tick and stands while paused.
  const bool live = p_.form.Checked("FileLive");
  if (!live && (*phase != 0 || p_.host.Paused())) return;
  const int32_t polled = p_.engine.Poll();
  p_.host.SetLastStatus(polled);
  if (polled == kNavPollLogFailed) {
    RecordingFailed();
    return;
  }
  if (polled != 0) {
    PollFailed();
    return;
  }
  for (PollCycleObserver* observer : observers_)
    observer->OnPolled();
  if (*phase != 0) return;
  UpdateStep();
}

void PollCycle::PollFailed() {
  const uint32_t opens = p_.host.EngineOpens();
  p_.host.ShowError(p_.strings.Get(IDS_PollFailed));
  // The box ran a message loop: a macro command or the close box may have switched the mode or
  // begun the shutdown meanwhile, and that engine is not this tick's to close.
  if (p_.host.Closing() || !p_.host.EngineOpen() || p_.host.EngineOpens() != opens) return;
  // Off in every respect: menus, FileRecord, port panel and the GIS agree.
  p_.host.FileOff();
}

void PollCycle::RecordingFailed() {
  p_.host.StopRecording();
  p_.host.ShowError(p_.strings.Get(IDS_RecordingFailed));
}

void PollCycle::UpdateStep() {
  if (p_.options.display.beep == 1) p_.host.Beep();
  const int32_t info = p_.engine.GetInfo(p_.fix);
  p_.host.SetLastStatus(info);
  p_.form.Get("GPSStatusLight").SetBackColor(info != 0 ? colors::kLime : colors::kRed);
  WriteStatus();
  WriteFixMode();
  WritePosition();
  WriteElevation();
  const FixRecord& fix = p_.fix;
  p_.form.Get("lblSpeed")
      .SetTextColor(ValidityColor(fix.validFlags, kValidSpeed))
      .SetCaption(p_.text.FormatSpeed(fix.speed));
  p_.form.Get("lblHeading")
      .SetTextColor(ValidityColor(fix.validFlags, kValidHeading))
      .SetCaption(p_.text.FormatHeading(fix.trueHeading, fix.magVariation));
  const double displayedSeconds = p_.text.DisplayTimeSeconds(fix.utcSeconds);
  WriteTime(displayedSeconds);
  if ((fix.validFlags & kValidSignal) != 0) WriteSignalBars();
  if ((fix.validFlags & kValidGeometry) != 0 && !(WriteSkyPlot() && WritePdop())) return;

  dde::FixQuantities quantities;
  quantities.latitudeDegrees = fix.latitude;
  quantities.longitudeDegrees = fix.longitude;
  quantities.geoidHeight = p_.text.ElevationInUnit(fix.geoidHeight);
  quantities.ellipsoidHeight = p_.text.ElevationInUnit(fix.ellipsoidHeight);
  quantities.speed = p_.text.SpeedInUnit(fix.speed);
  quantities.trueHeadingDegrees = fix.trueHeading;  // never the magnetic heading
  quantities.pdop = fix.pdop;
  quantities.timeOfDaySeconds = displayedSeconds;
  quantities.depth = fix.depth;
  SendUpdate(quantities);
  for (PollCycleObserver* observer : observers_)
    observer->OnUpdated(p_.fix, quantities);
}

void PollCycle::WriteStatus() {
  const FixRecord& fix = p_.fix;
  // Statuses outside 0..9 are not expected from the engine; they show the suffix alone.
  std::string text;
  if (fix.status >= 0 && fix.status < kReceiverStatusCount)
    text = p_.strings.Get(IDS_ReceiverStatus0 + fix.status);
  if (fix.satCount > 0 && fix.status == static_cast<int16_t>(ReceiverStatus::DoingFixes)) {
    text += ", " + std::to_string(fix.satCount) + " " + p_.strings.Get(IDS_Satellites);
  } else {
    text += ".";
  }
  p_.form.Get("lblGPSStatus")
      .SetTextColor(ValidityColor(fix.validFlags, kValidStatus))
      .SetCaption(std::move(text));
}

void PollCycle::WriteFixMode() {
  const FixRecord& fix = p_.fix;
  const bool known = fix.fixMode >= 0 && fix.fixMode < static_cast<int>(kFixModeTexts.size());
  p_.form.Get("lblMode")
      .SetTextColor(ValidityColor(fix.validFlags, kValidFixMode))
      .SetCaption(known ? kFixModeTexts[static_cast<size_t>(fix.fixMode)] : "");
}

void PollCycle::WritePosition() {
  const FixRecord& fix = p_.fix;
  // Both texts first, then both labels, valid or not.
  std::string latitude = p_.text.FormatLatLon(fix.latitude, false);
  std::string longitude = p_.text.FormatLatLon(fix.longitude, true);
  const Color color = ValidityColor(fix.validFlags, kValidPosition);
  p_.form.Get("lblLatitude").SetTextColor(color).SetCaption(std::move(latitude));
  p_.form.Get("lblLongitude").SetTextColor(color).SetCaption(std::move(longitude));
}

void PollCycle::WriteElevation() {
  const FixRecord& fix = p_.fix;
  // Heights above the ellipsoid (GPSHtReference 0) or above mean sea level.
  const bool ellipsoid = p_.options.receiverSettings.heightReference == 0;
  const double metres = ellipsoid ? fix.ellipsoidHeight : fix.geoidHeight;
  const uint16_t bit = ellipsoid ? kValidEllipsoidHeight : kValidGeoidHeight;
  p_.form.Get("lblAltitude")
      .SetTextColor(ValidityColor(fix.validFlags, bit))
      .SetCaption(p_.text.FormatElevation(metres));
}

void PollCycle::WriteTime(double displayedSeconds) {
  ui::Control& label = p_.form.Get("lblTime");
  label.SetTextColor(ValidityColor(p_.fix.validFlags, kValidTime));
  // A time outside the day keeps the previous text.
  if (std::optional<std::string> text = p_.text.FormatTimeOfDay(displayedSeconds))
    label.SetCaption(std::move(*text));
}

void PollCycle::WriteSignalBars() {
  for (int i = 0; i < kMaxSats; ++i) {
    SatInfo& sat = p_.fix.sats[i];
    sat.snr = std::clamp<int16_t>(sat.snr, 0, kMaxSnr);  // written back into the record
    ui::Control* bar = p_.panels.FindSignalBar(i);
    if (bar == nullptr) continue;
    bar->SetBackColor(sat.used == 1 ? colors::kLime : colors::kGrey)
        .SetHeight(sat.snr + kBarIdleHeight)
        .SetTop(kBarBaseline - kBarIdleHeight - sat.snr);
    ui::Control* label = p_.panels.FindSignalSatLabel(i);
    if (sat.snr != 0) {
      bar->SetCaption(std::to_string(sat.snr));
      if (label != nullptr) label->SetCaption(std::to_string(sat.prn)).SetVisible(true);
    } else if (label != nullptr) {
      label->SetVisible(false);  // the bar keeps its caption
    }
  }
  p_.form.Get("lblSatSignalStatus")
      .SetCaption(p_.strings.Get(IDS_SignalStatusPrefix) + " " + p_.form.Get("lblTime").Caption());
  p_.form.Repaint();
}

bool PollCycle::WriteSkyPlot() {
  for (int i = 0; i < kMaxSats; ++i) {
    ui::Control* label = p_.panels.FindConfigSatLabel(i);
    if (label == nullptr) continue;
    const SatInfo& sat = p_.fix.sats[i];
    const bool shown = sat.prn != 0;
    if (shown) {
      // North up, east right: 80 pixels from the centre at the horizon, 0 at the zenith.
      const double elevation = std::max<int16_t>(sat.elevation, 0);
      const double r = (90.0 - elevation) / 90.0 * kSkyHorizonRadius;
      const double a = std::clamp<int16_t>(sat.azimuth, 0, kMaxAzimuth) * kRadiansPerDegree;
      const std::optional<int32_t> down = TruncToInt32(r * std::cos(a));
      const std::optional<int32_t> right = TruncToInt32(r * std::sin(a));
      if (!down || !right) return false;
      const bool used = sat.used == 1;
      ui::Rect bounds = label->Bounds();
      bounds.left = kSkyCentre + *right;
      bounds.top = kSkyCentre - *down;
      label->SetCaption(std::to_string(sat.prn))
          .SetBackColor(used ? colors::kLime : colors::kWhite)
          .SetTextColor(used ? colors::kBlack : colors::kGrey)
          .SetBounds(bounds);
    }
    label->SetVisible(shown);
  }
  p_.form.Get("lblSatConfigStatus")
      .SetCaption(p_.strings.Get(IDS_ConfigStatusPrefix) + " " + p_.form.Get("lblTime").Caption());
  p_.form.Repaint();
  return true;
}

bool PollCycle::WritePdop() {
  float& pdop = p_.fix.pdop;
  ui::Control& label = p_.form.Get("lblPDOP");
  if (!(pdop > 0)) {  // zero, negative or not a number
    p_.panels.ShowPdopBar(0);
    label.SetCaption("");
    return true;
  }
  if (pdop > kMaxPdop) pdop = kMaxPdop;  // written back into the record
  const std::optional<int32_t> level = TruncToInt32(static_cast<double>(pdop) / kMaxPdop * 100);
  if (!level) return false;
  p_.panels.ShowPdopBar(*level);
  label.SetCaption(FormatFixed(pdop, 3, 1));
  return true;
}

void PollCycle::SendUpdate(const dde::FixQuantities& quantities) {
  // With no validity bit set there is nothing to send, unless DDEIgnore asks for every step.
  if (p_.options.display.ddeIgnore != 1 && p_.fix.validFlags == 0) return;
  if (p_.link.LinkOpen()) p_.link.SendUpdate(quantities);
}

}  // namespace pelmora
