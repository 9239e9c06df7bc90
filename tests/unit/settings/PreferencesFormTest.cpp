// The preferences dialog as a model: what it shows for the options in memory, the lists'
// selection rules, and what OK writes into the options and the store, in which order.
#include "app/settings/PreferencesForm.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/unit/settings/FakeDialogHost.h"
#include "tests/unit/settings/FakeOptionBackend.h"

namespace pelmora {
namespace {

using Writes = std::vector<std::pair<std::string, std::string>>;

class PreferencesFormTest : public ::testing::Test {
 protected:
  std::string Shown(TPreferencesForm& d, const char* list) {
    return d.GetForm().Get(list).ItemText();
  }
  bool Checked(TPreferencesForm& d, const char* name) { return d.GetForm().Get(name).Checked(); }

  test::FakeOptionBackend backend_;
  OptionStore store_{backend_, "Pelmora"};
  DisplayOptions options_;
  test::FakeDialogHost host_;
};

TEST_F(PreferencesFormTest, TheDefaultsShowAsAFreshUserExpects) {
  TPreferencesForm dialog(options_, store_, host_);
  EXPECT_EQ(Shown(dialog, "IntervalList"), "2");
  EXPECT_EQ(Shown(dialog, "GeoFormatList"), "Degrees, Minutes, Direction");
  EXPECT_EQ(Shown(dialog, "PrecisionList"), "2");
  EXPECT_EQ(Shown(dialog, "OffsetList"), "0");
  EXPECT_FALSE(dialog.GetForm().Get("OffsetList").Enabled());
  for (const char* on : {"TimeOptionIndeX1", "TrackOptionIndeX1", "SpeedUnitsOptionIndeX0",
                         "ElevUnitsOptionIndeX0"}) {
    EXPECT_TRUE(Checked(dialog, on)) << on;
  }
  for (const char* off : {"TimeOptionIndeX0", "TrackOptionIndeX0", "ElevUnitsOptionIndeX1",
                          "BeepOption", "MinimizeOption", "OnTopOption", "DDEIgnore"}) {
    EXPECT_FALSE(Checked(dialog, off)) << off;
  }
  const ui::Control& onTop = dialog.GetForm().Get("OnTopOption");
  EXPECT_FALSE(onTop.Visible() || onTop.Enabled());
  EXPECT_EQ(dialog.GetForm().Get("OffsetList").Items().front(), "-12");
  EXPECT_EQ(dialog.GetForm().Get("OffsetList").Items().size(), 25u);
}

// The interval list selects 10 to 600 by value and any other v at position v - 1 (so 7 shows
// "30"); a value that selects nothing shows no entry. OK stores what is shown, or keeps that value.
TEST_F(PreferencesFormTest, TheIntervalListSelectsByItsRuleAndOkKeepsAValueItCannotShow) {
  const std::pair<int32_t, const char*> cases[] = {
      {1, "1"},     {5, "5"}, {6, "10"}, {7, "30"}, {9, "120"}, {10, "10"},     {30, "30"},
      {600, "600"}, {0, ""},  {-3, ""},  {15, ""},  {45, ""},   {INT32_MIN, ""}};
  for (const auto& [stored, shown] : cases) {
    options_.updateInterval = stored;
    TPreferencesForm dialog(options_, store_, host_);
    EXPECT_EQ(Shown(dialog, "IntervalList"), shown) << stored;
    dialog.Click("Ok");
    EXPECT_EQ(options_.updateInterval, *shown != '\0' ? std::stoi(shown) : stored) << stored;
    EXPECT_EQ(store_.ReadOptionText("UpdateInterval", ""), std::to_string(options_.updateInterval));
  }
}

// Format, places and (local time) offset values outside the lists show no entry; OK keeps them.
TEST_F(PreferencesFormTest, OtherValuesOutsideTheListsShowNothingAndOkKeepsThem) {
  const struct {
    int32_t geoFormat, geoPrecision, utcOffset;
    const char *format, *precision, *offset;
  } cases[] = {
      {5, 10, -12, "Degrees, Minutes, Seconds, Dir", "10", "-12"},
      {0, 1, 12, "+/- Degrees", "1", "12"},
      {6, 0, 13, "", "", ""},
      {-1, 11, -13, "", "", ""},
      {INT32_MAX, INT32_MIN, INT32_MAX, "", "", ""},
  };
  for (const auto& c : cases) {
    options_ = DisplayOptions{};
    options_.geoFormat = c.geoFormat;
    options_.geoPrecision = c.geoPrecision;
    options_.utcOffset = c.utcOffset;
    options_.timeUtc = 0;
    TPreferencesForm dialog(options_, store_, host_);
    EXPECT_EQ(Shown(dialog, "GeoFormatList"), c.format) << c.geoFormat;
    EXPECT_EQ(Shown(dialog, "PrecisionList"), c.precision) << c.geoPrecision;
    EXPECT_EQ(Shown(dialog, "OffsetList"), c.offset) << c.utcOffset;
    dialog.Click("Ok");
    EXPECT_EQ(options_.geoFormat, c.geoFormat);
    EXPECT_EQ(options_.geoPrecision, c.geoPrecision);
    EXPECT_EQ(store_.ReadOptionText("UTCOffset", ""), std::to_string(c.utcOffset));
  }
}

TEST_F(PreferencesFormTest, LocalTimeWithAnOffsetStoresBothInOrder) {
  options_.utcOffset = 3;
  TPreferencesForm dialog(options_, store_, host_);
  dialog.Click("TimeOptionIndeX0");
  EXPECT_TRUE(dialog.GetForm().Get("OffsetList").Enabled());
  dialog.Select("OffsetList", 7);
  dialog.Click("SpeedUnitsOptionIndeX2");
  dialog.Click("ElevUnitsOptionIndeX1");
  dialog.Click("DDEIgnore");
  dialog.Confirm();
  EXPECT_EQ(options_.timeUtc, 0);
  EXPECT_EQ(options_.utcOffset, -5);
  EXPECT_EQ(backend_.writes, (Writes{{"UpdateInterval", "2"},
                                     {"Beep", "0"},
                                     {"ElevUnits", "1"},
                                     {"GeoFormat", "3"},
                                     {"GeoPrecision", "2"},
                                     {"SpeedUnits", "2"},
                                     {"TrackTrue", "1"},
                                     {"TimeUTC", "0"},
                                     {"UTCOffset", "-5"},
                                     {"Minimize", "0"},
                                     {"OnTop", "0"},
                                     {"DDEIgnore", "1"}}));
}

// With UTC time the offset list is disabled; OK leaves the offset alone in memory and in the
// store. The hidden Keep-on-Top box goes back as it was read.
TEST_F(PreferencesFormTest, UtcTimeKeepsTheOffsetAndOnTopGoesBackUnchanged) {
  options_.timeUtc = 0;
  options_.utcOffset = 4;
  options_.onTop = 1;
  TPreferencesForm dialog(options_, store_, host_);
  dialog.Click("TimeOptionIndeX1");
  EXPECT_FALSE(dialog.GetForm().Get("OffsetList").Enabled());
  dialog.Click("OnTopOption");  // hidden and disabled: no effect
  dialog.Click("Ok");
  EXPECT_EQ(options_.timeUtc, 1);
  EXPECT_EQ(options_.utcOffset, 4);
  EXPECT_EQ(options_.onTop, 1);
  EXPECT_EQ(store_.ReadOptionText("UTCOffset", "none"), "none");
  EXPECT_EQ(store_.ReadOptionText("OnTop", ""), "1");
  EXPECT_EQ(backend_.writes.size(), 11u);
}

TEST_F(PreferencesFormTest, CancelChangesAndStoresNothing_HelpOpensContext14) {
  TPreferencesForm dialog(options_, store_, host_);
  dialog.Select("IntervalList", 9);
  dialog.Click("BeepOption");
  dialog.Click("Help");
  dialog.Dismiss();
  EXPECT_EQ(dialog.Result(), ui::ModalResult::Cancel);
  EXPECT_EQ(options_.updateInterval, 2);
  EXPECT_EQ(options_.beep, 0);
  EXPECT_TRUE(backend_.writes.empty());
  EXPECT_EQ(host_.log, std::vector<std::string>{"Help 14"});
}

}  // namespace
}  // namespace pelmora
