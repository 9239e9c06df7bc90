// The status strip and the information view.
#include "app/views/FixView.h"

#include <array>
#include <optional>
#include <string>

#include "navres32/StringIds.h"

namespace pelmora {
namespace {

constexpr char kDegree = '\xB0';  // degree sign in Windows-1252
// The texts of fixMode 0..5 in the mode panel.
constexpr std::array<const char*, 6> kFixModeTexts = {"", "", "2D", "3D", "2D DGPS", "3D DGPS"};

}  // namespace

void FixView::Reset() {
  ui::Form& form = c_.form;
  const ui::Color grey = ui::colors::kIdleGrey;
  const DisplayOptions& options = c_.options.display;
  form.Get("lblGPSStatus").SetCaption(c_.strings.Get(IDS_IdleGpsStatus));
  form.Get("GPSStatusLight").SetBackColor(grey);
  form.Get("lblComStatus").SetCaption(c_.strings.Get(IDS_IdlePortStatus));
  form.Get("lblMode").SetCaption("");
  // The fix as zeros in grey, with the units of the options: 0° 0' 0.0" N and E.
  const std::string zeroPosition = std::string("0") + kDegree + " 0' 0.0\" ";
  form.Get("lblLatitude").SetTextColor(grey).SetCaption(zeroPosition + "N");
  form.Get("lblLongitude").SetTextColor(grey).SetCaption(zeroPosition + "E");
  form.Get("lblAltitude")
      .SetTextColor(grey)
      .SetCaption("0.00" + UnitSuffixes::At(c_.suffixes.elevation, options.elevUnits));
  form.Get("lblSpeed")
      .SetTextColor(grey)
      .SetCaption("0.0" + UnitSuffixes::At(c_.suffixes.speed, options.speedUnits));
  form.Get("lblHeading")
      .SetTextColor(grey)
      .SetCaption(std::string("0.0") + kDegree +
                  UnitSuffixes::At(c_.suffixes.heading, options.trackTrue));
  form.Get("lblTime").SetTextColor(grey).SetCaption(
      "00:00:00 am" + UnitSuffixes::At(c_.suffixes.time, options.timeUtc));
}

void FixView::Show(const FixRecord& fix, bool hasFix) {
  c_.form.Get("GPSStatusLight").SetBackColor(hasFix ? ui::colors::kLime : ui::colors::kRed);
  ShowStatus(fix);
  ShowFixMode(fix);
  ShowPosition(fix);
  ShowElevation(fix);
  c_.form.Get("lblSpeed")
      .SetTextColor(ValidityColor(fix.validFlags, kValidSpeed))
      .SetCaption(c_.text.FormatSpeed(fix.speed));
  c_.form.Get("lblHeading")
      .SetTextColor(ValidityColor(fix.validFlags, kValidHeading))
      .SetCaption(c_.text.FormatHeading(fix.trueHeading, fix.magVariation));
  ShowTime(fix);
}

void FixView::ShowStatus(const FixRecord& fix) {
  // Statuses outside 0..9 are not expected from the engine; they show the suffix alone.
  std::string text;
  if (fix.status >= 0 && fix.status < kReceiverStatusCount)
    text = c_.strings.Get(IDS_ReceiverStatus0 + fix.status);
  if (fix.satCount > 0 && fix.status == static_cast<int16_t>(ReceiverStatus::DoingFixes)) {
    text += ", " + std::to_string(fix.satCount) + " " + c_.strings.Get(IDS_Satellites);
  } else {
    text += ".";
  }
  c_.form.Get("lblGPSStatus")
      .SetTextColor(ValidityColor(fix.validFlags, kValidStatus))
      .SetCaption(std::move(text));
}

void FixView::ShowFixMode(const FixRecord& fix) {
  const bool known = fix.fixMode >= 0 && fix.fixMode < static_cast<int>(kFixModeTexts.size());
  c_.form.Get("lblMode")
      .SetTextColor(ValidityColor(fix.validFlags, kValidFixMode))
      .SetCaption(known ? kFixModeTexts[static_cast<size_t>(fix.fixMode)] : "");
}

void FixView::ShowPosition(const FixRecord& fix) {
  // Both texts first, then both labels, valid or not.
  std::string latitude = c_.text.FormatLatLon(fix.latitude, false);
  std::string longitude = c_.text.FormatLatLon(fix.longitude, true);
  const ui::Color color = ValidityColor(fix.validFlags, kValidPosition);
  c_.form.Get("lblLatitude").SetTextColor(color).SetCaption(std::move(latitude));
  c_.form.Get("lblLongitude").SetTextColor(color).SetCaption(std::move(longitude));
}

void FixView::ShowElevation(const FixRecord& fix) {
  // Heights above the ellipsoid (GPSHtReference 0) or above mean sea level.
  const bool ellipsoid = c_.options.receiverSettings.heightReference == 0;
  const double metres = ellipsoid ? fix.ellipsoidHeight : fix.geoidHeight;
  const uint16_t bit = ellipsoid ? kValidEllipsoidHeight : kValidGeoidHeight;
  c_.form.Get("lblAltitude")
      .SetTextColor(ValidityColor(fix.validFlags, bit))
      .SetCaption(c_.text.FormatElevation(metres));
}

void FixView::ShowTime(const FixRecord& fix) {
  ui::Control& label = c_.form.Get("lblTime");
  label.SetTextColor(ValidityColor(fix.validFlags, kValidTime));
  // A time outside the day keeps the previous text.
  if (std::optional<std::string> text =
          c_.text.FormatTimeOfDay(c_.text.DisplayTimeSeconds(fix.utcSeconds)))
    label.SetCaption(std::move(*text));
}

}  // namespace pelmora
