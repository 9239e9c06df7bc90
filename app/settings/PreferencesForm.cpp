// The preferences dialog: layout, the lists' selection rules and OK's stores in their order.
#include "app/settings/PreferencesForm.h"

#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "app/settings/DialogIds.h"
#include "app/settings/DialogStyles.h"
#include "app/settings/OptionKeys.h"

namespace pelmora {
namespace {

using namespace dialog_styles;
using ui::ControlSpec;

constexpr int32_t kIntervals[] = {1, 2, 3, 4, 5, 10, 30, 60, 120, 600};
const char* const kGeoFormats[] = {"+/- Degrees",
                                   "Degrees, Direction",
                                   "+/- Degrees, Minutes",
                                   "Degrees, Minutes, Direction",
                                   "+/- Degrees, Minutes, Seconds",
                                   "Degrees, Minutes, Seconds, Dir"};
constexpr int kMaxDecimals = 10;
constexpr int kMaxOffsetHours = 12;

const char* const kSpeedUnits[] = {"SpeedUnitsOptionIndeX0", "SpeedUnitsOptionIndeX1",
                                   "SpeedUnitsOptionIndeX2", "SpeedUnitsOptionIndeX3"};

// clang-format off
const ControlSpec kControls[] = {
    {.name = "IntervalFrame", .id = IDC_IntervalFrame, .bounds = {8, 6, 150, 78}, .style = &kFrame, .caption = "Update Interval"},
    {.name = "lblSeconds", .parent = "IntervalFrame", .id = IDC_lblSeconds, .bounds = {14, 24, 48, 13}, .style = &kText, .caption = "Seconds:"},
    {.name = "IntervalList", .parent = "IntervalFrame", .id = IDC_IntervalList, .bounds = {66, 20, 66, 21}, .style = &kList},
    {.name = "BeepOption", .parent = "IntervalFrame", .id = IDC_BeepOption, .bounds = {14, 52, 100, 17}, .style = &kCheck, .caption = "Beep"},
    {.name = "DisplayFormatFrame", .id = IDC_DisplayFormatFrame, .bounds = {166, 6, 240, 78}, .style = &kFrame, .caption = "Latitude/Longitude Display Format"},
    {.name = "GeoFormatList", .parent = "DisplayFormatFrame", .id = IDC_GeoFormatList, .bounds = {14, 20, 212, 21}, .style = &kList},
    {.name = "DecPlacesLbl", .parent = "DisplayFormatFrame", .id = IDC_DecPlacesLbl, .bounds = {14, 52, 84, 13}, .style = &kText, .caption = "Decimal Places:"},
    {.name = "PrecisionList", .parent = "DisplayFormatFrame", .id = IDC_PrecisionList, .bounds = {100, 48, 56, 21}, .style = &kList},
    {.name = "TimeFrame", .id = IDC_TimeFrame, .bounds = {8, 90, 240, 112}, .style = &kFrame, .caption = "Time"},
    {.name = "TimeOptionIndeX0", .parent = "TimeFrame", .id = IDC_TimeOptionIndeX0, .bounds = {14, 20, 100, 17}, .style = &kRadio, .caption = "Local Time"},
    {.name = "TimeOptionIndeX1", .parent = "TimeFrame", .id = IDC_TimeOptionIndeX0 + 1, .bounds = {124, 20, 100, 17}, .style = &kRadio, .caption = "UTC Time"},
    {.name = "lblOffset", .parent = "TimeFrame", .id = IDC_lblOffset, .bounds = {14, 52, 104, 13}, .style = &kText, .caption = "UTC Offset (hours):"},
    {.name = "OffsetList", .parent = "TimeFrame", .id = IDC_OffsetList, .bounds = {124, 48, 56, 21}, .style = &kList},
    {.name = "lblTimeExplain", .parent = "TimeFrame", .id = IDC_lblTimeExplain, .bounds = {14, 82, 216, 13}, .style = &kText, .caption = "(Local Time + UTC Offset = UTC Time)"},
    {.name = "HeadingFrame", .id = IDC_HeadingFrame, .bounds = {256, 90, 150, 68}, .style = &kFrame, .caption = "Heading"},
    {.name = "TrackOptionIndeX0", .parent = "HeadingFrame", .id = IDC_TrackOptionIndeX0, .bounds = {14, 20, 120, 17}, .style = &kRadio, .caption = "Magnetic"},
    {.name = "TrackOptionIndeX1", .parent = "HeadingFrame", .id = IDC_TrackOptionIndeX0 + 1, .bounds = {14, 42, 120, 17}, .style = &kRadio, .caption = "True"},
    {.name = "SpeedUnitsFrame", .id = IDC_SpeedUnitsFrame, .bounds = {8, 208, 240, 68}, .style = &kFrame, .caption = "Speed Units"},
    {.name = "SpeedUnitsOptionIndeX0", .parent = "SpeedUnitsFrame", .id = IDC_SpeedUnitsOptionIndeX0, .bounds = {14, 20, 100, 17}, .style = &kRadio, .caption = "miles/hour"},
    {.name = "SpeedUnitsOptionIndeX1", .parent = "SpeedUnitsFrame", .id = IDC_SpeedUnitsOptionIndeX0 + 1, .bounds = {14, 42, 100, 17}, .style = &kRadio, .caption = "knots"},
    {.name = "SpeedUnitsOptionIndeX2", .parent = "SpeedUnitsFrame", .id = IDC_SpeedUnitsOptionIndeX0 + 2, .bounds = {124, 20, 110, 17}, .style = &kRadio, .caption = "meters/second"},
    {.name = "SpeedUnitsOptionIndeX3", .parent = "SpeedUnitsFrame", .id = IDC_SpeedUnitsOptionIndeX0 + 3, .bounds = {124, 42, 110, 17}, .style = &kRadio, .caption = "kilometers/hour"},
    {.name = "ElevUnitsFrame", .id = IDC_ElevUnitsFrame, .bounds = {256, 164, 150, 68}, .style = &kFrame, .caption = "Elevation Units"},
    {.name = "ElevUnitsOptionIndeX0", .parent = "ElevUnitsFrame", .id = IDC_ElevUnitsOptionIndeX0, .bounds = {14, 20, 120, 17}, .style = &kRadio, .caption = "feet"},
    {.name = "ElevUnitsOptionIndeX1", .parent = "ElevUnitsFrame", .id = IDC_ElevUnitsOptionIndeX0 + 1, .bounds = {14, 42, 120, 17}, .style = &kRadio, .caption = "meters"},
    {.name = "MinimizeOption", .id = IDC_MinimizeOption, .bounds = {264, 238, 140, 17}, .style = &kCheck, .caption = "Minimize at Startup"},
    {.name = "OnTopOption", .id = IDC_OnTopOption, .bounds = {264, 278, 140, 17}, .style = &kCheck, .caption = "Keep on Top", .visible = false},
    {.name = "DDEIgnore", .id = IDC_DDEIgnore, .bounds = {264, 258, 140, 17}, .style = &kCheck, .caption = "DDE ignore Invalid"},
    {.name = "Ok", .id = IDC_Preferences_Ok, .bounds = {167, 286, kButtonWidth, kButtonHeight}, .style = &kButton, .caption = "OK"},
    {.name = "Cancel", .id = IDC_Preferences_Cancel, .bounds = {249, 286, kButtonWidth, kButtonHeight}, .style = &kButton, .caption = "Cancel"},
    {.name = "Help", .id = IDC_Preferences_Help, .bounds = {331, 286, kButtonWidth, kButtonHeight}, .style = &kButton, .caption = "Help"},
};
// clang-format on

std::vector<std::string> Numbers(int32_t first, int32_t last) {
  std::vector<std::string> out;
  for (int32_t n = first; n <= last; ++n)
    out.push_back(std::to_string(n));
  return out;
}

// The position the value selects; -1 (no selection) when the list does not hold it.
int Position(int64_t position, int count) {
  return position >= 0 && position < count ? static_cast<int>(position) : -1;
}

// The number a list shows; the fallback with no selection.
int32_t SelectedNumber(const ui::Control& list, int32_t fallback) {
  const std::string text = list.ItemText();
  return text.empty() ? fallback : ConvertOptionInt(text);
}

int IntervalPosition(int32_t seconds) {
  // 1 to 5 select their own entries; any other value v selects position v - 1.
  for (int i = 5; i < static_cast<int>(std::size(kIntervals)); ++i) {
    if (kIntervals[i] == seconds) return i;
  }
  return Position(static_cast<int64_t>(seconds) - 1, static_cast<int>(std::size(kIntervals)));
}

}  // namespace

TPreferencesForm::TPreferencesForm(DisplayOptions& options, const OptionStore& store,
                                   SettingsDialogHost& host)
    : Dialog("PreferencesForm", "Set Preferences", {414, 319}),
      options_(options),
      store_(store),
      host_(host) {
  GetForm().AddControls(kControls);
  C("OnTopOption").SetEnabled(false);
  SetDefaultButton("Ok");
  SetCancelButton("Cancel");
  SetHelpButton("Help");
  SetFocusControl("IntervalList");
  On("TimeOptionIndeX0", ui::ControlEvent::Click, [this] { TimeOptionLocal_Click(); });
  On("TimeOptionIndeX1", ui::ControlEvent::Click, [this] { TimeOptionUTC_Click(); });
  On("Ok", ui::ControlEvent::Click, [this] { Ok_Click(); });
  On("Cancel", ui::ControlEvent::Click, [this] { Cancel_Click(); });
  On("Help", ui::ControlEvent::Click, [this] { Help_Click(); });
  FormCreate();
}

void TPreferencesForm::FormCreate() {
  const DisplayOptions& o = options_;
  std::vector<std::string> intervals;
  for (int32_t seconds : kIntervals)
    intervals.push_back(std::to_string(seconds));
  C("IntervalList").SetItems(std::move(intervals));
  C("IntervalList").SetItemIndex(IntervalPosition(o.updateInterval));

  C("GeoFormatList").SetItems({std::begin(kGeoFormats), std::end(kGeoFormats)});
  C("GeoFormatList").SetItemIndex(Position(o.geoFormat, static_cast<int>(std::size(kGeoFormats))));
  C("PrecisionList").SetItems(Numbers(1, kMaxDecimals));
  C("PrecisionList").SetItemIndex(Position(static_cast<int64_t>(o.geoPrecision) - 1, kMaxDecimals));
  C("BeepOption").SetChecked(o.beep == 1);

  const auto checkFor = [this](int32_t value, std::initializer_list<const char*> buttons) {
    if (value >= 0 && static_cast<size_t>(value) < buttons.size()) {
      C(*(buttons.begin() + value)).SetChecked(true);
    }
  };
  checkFor(o.elevUnits, {"ElevUnitsOptionIndeX0", "ElevUnitsOptionIndeX1"});
  checkFor(o.speedUnits, {kSpeedUnits[0], kSpeedUnits[1], kSpeedUnits[2], kSpeedUnits[3]});
  checkFor(o.trackTrue, {"TrackOptionIndeX0", "TrackOptionIndeX1"});
  checkFor(o.timeUtc, {"TimeOptionIndeX0", "TimeOptionIndeX1"});

  C("OffsetList").SetItems(Numbers(-kMaxOffsetHours, kMaxOffsetHours));
  C("OffsetList")
      .SetItemIndex(
          Position(static_cast<int64_t>(o.utcOffset) + kMaxOffsetHours, 2 * kMaxOffsetHours + 1));
  if (o.timeUtc == 1) C("OffsetList").SetEnabled(false);

  C("MinimizeOption").SetChecked(o.minimize == 1);
  C("OnTopOption").SetChecked(o.onTop == 1);
  C("DDEIgnore").SetChecked(o.ddeIgnore == 1);
}

void TPreferencesForm::Ok_Click() {
  DisplayOptions& o = options_;
  // A list left without a selection (a stored value it cannot show) keeps that value.
  o.updateInterval = SelectedNumber(C("IntervalList"), o.updateInterval);
  o.beep = IsChecked("BeepOption") ? 1 : 0;
  const int format = C("GeoFormatList").ItemIndex();
  if (format >= 0) o.geoFormat = format;
  o.geoPrecision = SelectedNumber(C("PrecisionList"), o.geoPrecision);
  o.elevUnits = IsChecked("ElevUnitsOptionIndeX0") ? 0 : 1;
  o.speedUnits = 3;
  for (int i = 0; i < 3; ++i) {
    if (IsChecked(kSpeedUnits[i])) {
      o.speedUnits = i;
      break;
    }
  }
  o.trackTrue = IsChecked("TrackOptionIndeX0") ? 0 : 1;
  const bool local = IsChecked("TimeOptionIndeX0");
  if (local) {
    o.timeUtc = 0;
    o.utcOffset = SelectedNumber(C("OffsetList"), o.utcOffset);
  } else {
    o.timeUtc = 1;
  }
  o.minimize = IsChecked("MinimizeOption") ? 1 : 0;
  o.onTop = IsChecked("OnTopOption") ? 1 : 0;  // the user cannot change it: as it was read
  o.ddeIgnore = IsChecked("DDEIgnore") ? 1 : 0;

  const auto write = [this](const char* key, int32_t value) {
    store_.WriteOption(key, std::to_string(value));
  };
  write(OptionNamed("UpdateInterval").name, o.updateInterval);
  write(OptionNamed("Beep").name, o.beep);
  write(OptionNamed("ElevUnits").name, o.elevUnits);
  write(OptionNamed("GeoFormat").name, o.geoFormat);
  write(OptionNamed("GeoPrecision").name, o.geoPrecision);
  write(OptionNamed("SpeedUnits").name, o.speedUnits);
  write(OptionNamed("TrackTrue").name, o.trackTrue);
  write(OptionNamed("TimeUTC").name, o.timeUtc);
  if (local) write(OptionNamed("UTCOffset").name, o.utcOffset);
  write(OptionNamed("Minimize").name, o.minimize);
  write(OptionNamed("OnTop").name, o.onTop);
  write(OptionNamed("DDEIgnore").name, o.ddeIgnore);
  Close(ui::ModalResult::Ok);
}

void TPreferencesForm::Help_Click() {
  host_.ShowHelp(kHelpContext);
}

}  // namespace pelmora
