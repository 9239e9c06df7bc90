// The poll cycle on a scripted engine and a fake wall clock: the update rhythm, pause, poll
// failure, every panel with its colour, the clamps, the update command and the observers.
#include "app/PollCycle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "navlib32/navlib32.h"
#include "tests/unit/app/MainFormFixture.h"

namespace pelmora {
namespace {

using ui::Color;
using ui::Control;
namespace colors = ui::colors;

constexpr uint16_t kAllValid = kValidStatus | kValidFixMode | kValidTime | kValidPosition |
                               kValidGeoidHeight | kValidEllipsoidHeight | kValidSpeed |
                               kValidHeading | kValidGeometry | kValidSignal;

// A 3D fix at noon UTC with three satellites: east on the horizon (used), south on the
// horizon (no signal), and one at the zenith whose signal is beyond the scale.
FixRecord FullFix() {
  FixRecord f{};
  f.validFlags = kAllValid;
  f.status = 1;
  f.fixMode = 3;
  f.utcSeconds = 43200.25;
  f.latitude = -33.87;
  f.longitude = 151.21;
  f.ellipsoidHeight = 30;
  f.geoidHeight = 10;
  f.speed = 10;
  f.trueHeading = 350;
  f.magVariation = 15;
  f.depth = 4.5;
  f.pdop = 2.5f;
  f.satCount = 7;
  f.sats[0] = {5, 1, 90, 0, 40};
  f.sats[1] = {12, 0, 180, 0, 0};
  f.sats[2] = {23, 1, 0, 90, 150};
  return f;
}

class RecordingConsumer : public EpochConsumer {
 public:
  explicit RecordingConsumer(fakes::Log& log) : log_(log) {}
  void OnEpoch(const Epoch& epoch, std::string_view) override {
    log_.push_back("Epoch pdop " + std::to_string(epoch.fix.pdop).substr(0, 4));
  }
  void OnUpdate(const Epoch& shown, const dde::FixQuantities& q) override {
    log_.push_back("Updated " + dde::ComposeUpdateCommand(q) + " record pdop " +
                   std::to_string(shown.fix.pdop).substr(0, 4));
  }

 private:
  fakes::Log& log_;
};

class PollCycleTest : public fakes::MainFormFixture {
 protected:
  // A new run with the options given, in Live or Simulated mode, delivering `fix`.
  void Start(bool live, const FixRecord& fix = FullFix()) {
    engine_.info = fix;
    if (live) {
      StartLive();
    } else {
      StartReplay();
    }
  }
  Color TextColor(const std::string& name) { return C(name).TextColor(); }
};

TEST_F(PollCycleTest, UpdatesFallOnTicksWhoseClockSecondIsAMultipleOfTheInterval) {
  struct Case {
    const char* legend;
    int interval;
    bool live;
    std::vector<WallClockTime> ticks;
    const char* expected;  // per tick: '-' nothing, 'p' a poll only, 'u' a poll and an update
  } cases[] = {
      {"2, live: a poll every tick, updates on even seconds",
       2,
       true,
       {{0, 3}, {0, 4}, {0, 5}, {0, 6}},
       "pupu"},
      {"2, replay: one poll per update tick", 2, false, {{0, 3}, {0, 4}, {0, 5}, {0, 6}}, "-u-u"},
      {"a late tick skips the update of second 12",
       2,
       true,
       {{0, 10}, {0, 11}, {0, 13}, {0, 14}},
       "uppu"},
      {"7 restarts at the top of the hour",
       7,
       true,
       {{59, 57}, {59, 58}, {59, 59}, {0, 0}, {0, 1}, {0, 7}},
       "pupupu"},
      {"600: minutes 0, 10, 20", 600, false, {{10, 0}, {10, 1}, {19, 59}, {20, 0}}, "u--u"},
      {"1: every tick", 1, false, {{0, 1}, {0, 2}}, "uu"},
      {"0 ends every tick before the poll", 0, true, {{0, 0}, {0, 1}}, "--"},
      {"-5 keeps the rhythm of 5", -5, true, {{0, 5}, {0, 6}}, "up"},
  };
  fakes::Log updates;
  RecordingConsumer consumer(updates);
  form_.Feed().Add(consumer);
  for (const Case& c : cases) {
    host_.options.display.updateInterval = c.interval;
    Start(c.live);
    std::string got;
    for (const WallClockTime& t : c.ticks) {
      const int polls = engine_.polls;
      const std::size_t logged = updates.size();
      TickAt(t.minute, t.second);
      const bool updated =
          std::any_of(updates.begin() + static_cast<std::ptrdiff_t>(logged), updates.end(),
                      [](const std::string& e) { return e.starts_with("Updated"); });
      got += updated ? 'u' : engine_.polls > polls ? 'p' : '-';
    }
    EXPECT_EQ(got, c.expected) << c.legend;
  }
}

TEST_F(PollCycleTest, TicksDoNothingWithTheEngineClosedOrWhileClosing) {
  Create();
  TickAt(0, 2);
  StartLive();
  form_.Modes().FileExit_Click();
  TickAt(0, 4);
  EXPECT_EQ(engine_.polls, 0);
}

TEST_F(PollCycleTest, APausedReplayNeitherPollsNorUpdatesAndLiveIgnoresThePausedFlag) {
  Start(false);
  TickAt(0, 2);
  const FixRecord before = form_.Fix();
  const std::string shown = C("lblLatitude").Caption();
  form_.Modes().SimulatePauseButtonClick();
  ASSERT_TRUE(form_.Modes().Paused());
  engine_.info.latitude = 10;
  TickAt(0, 4);
  TickAt(0, 6);
  EXPECT_EQ(engine_.polls, 1);
  EXPECT_EQ(std::memcmp(&before, &form_.Fix(), sizeof before), 0) << "the record stays";
  EXPECT_EQ(C("lblLatitude").Caption(), shown) << "the panels freeze";
  form_.Modes().SimulatePauseButtonClick();
  TickAt(0, 8);
  EXPECT_EQ(engine_.polls, 2);
  EXPECT_EQ(C("lblLatitude").Caption(), "10.0000 lat");

  Start(true, engine_.info);
  form_.Macros().SetPaused(true);
  const int polls = engine_.polls;
  TickAt(0, 1);
  TickAt(0, 2);
  EXPECT_EQ(engine_.polls, polls + 2);
  EXPECT_EQ(C("lblLatitude").Caption(), "10.0000 lat");
}

TEST_F(PollCycleTest, PollFailureWhileRecordingStopsTheLogAndGoesOff) {
  Start(true);
  LinkUp();
  host_.chosen = "C:\\Logs\\rec.gps";
  form_.Modes().FileRecord_Click();
  ASSERT_TRUE(form_.Form().Checked("FileRecord"));
  TickAt(0, 2);
  log_.clear();
  engine_.pollResults = {2};

  TickAt(0, 4);

  // The box first, then Off as F2 enters it: the GIS hears OFF.
  const fakes::Log expected = {"Poll",  "Error S33", "StopLog", "Disable",
                               "Close", "Enable",    "Send OFF"};
  EXPECT_EQ(log_, expected);
  EXPECT_FALSE(form_.Modes().EngineOpen());
  EXPECT_FALSE(form_.Form().Checked("FileRecord"));
  EXPECT_EQ(C("lblGPSStatus").Caption(), "S3") << "the display is reset";
  EXPECT_EQ(C("lblLatitude").TextColor(), colors::kIdleGrey);
  // The menus say Off, and Record is no longer offered.
  EXPECT_TRUE(form_.Form().Checked("FileOff") && !form_.Form().MenuEnabled("FileRecord"));
  log_.clear();
  TickAt(0, 6);
  EXPECT_TRUE(log_.empty()) << "the closed engine is not polled";
}

// A failed log write stops recording with its own message; live goes on (last status: GetInfo's).
TEST_F(PollCycleTest, AFailedLogWriteStopsRecordingAndLiveGoesOn) {
  Start(true);
  form_.Form().SetChecked("FileRecord", true);
  engine_.pollResults = {kNavPollLogFailed};
  TickAt(0, 2);
  EXPECT_EQ(log_, (fakes::Log{"Poll", "StopLog", "Error S52"}));
  EXPECT_TRUE(form_.Modes().EngineOpen() && !form_.Form().Checked("FileRecord"));
  TickAt(0, 4);
  EXPECT_EQ(form_.Modes().LastStatus(), 1);
}

TEST_F(PollCycleTest, WhileItsBoxIsOpenTicksDoNothingAndWhatTheBoxsLoopDidStands) {
  struct Case {
    const char* legend;
    std::function<void()> duringBox;
    bool openAfter;
    int closes;  // Pelmora_Close calls in all
  } cases[] = {
      {"further ticks",
       [this] {
         TickAt(0, 5);
         TickAt(0, 6);
       },
       false, 1},
      {"an OFF macro", [this] { form_.Modes().FileOff_Click(); }, false, 1},
      {"a PLAY macro opens a log", [this] { form_.Modes().ReplayLog("C:\\b.gps"); }, true, 1},
      {"the program closes", [this] { form_.FormClose(); }, false, 1},
  };
  for (const Case& c : cases) {
    Start(true);
    engine_.pollResults = {2, 2, 2};
    host_.duringBox = c.duringBox;
    TickAt(0, 4);
    host_.duringBox = nullptr;
    EXPECT_EQ(std::count(log_.begin(), log_.end(), "Error S33"), 1) << c.legend;
    EXPECT_EQ(std::count(log_.begin(), log_.end(), "Close"), c.closes) << c.legend;
    EXPECT_EQ(form_.Modes().EngineOpen(), c.openAfter) << c.legend;
  }
}

TEST_F(PollCycleTest, AnUpdateStepWritesEveryPanelAndSendsTheFix) {
  Start(true);
  LinkUp();
  const int repaints = form_.Form().RepaintCount();
  TickAt(0, 2);

  EXPECT_EQ(C("GPSStatusLight").BackColor(), colors::kLime);
  const std::pair<const char*, std::string> texts[] = {
      {"lblGPSStatus", "Status1, 7 satellites"},
      {"lblMode", "3D"},
      {"lblLatitude", "-33.8700 lat"},
      {"lblLongitude", "151.2100 lon"},
      {"lblAltitude", "98.43 feet"},  // 30 m above the ellipsoid
      {"lblSpeed", "22.4 mph"},
      {"lblHeading", "350.0\xB0 true"},
      {"lblTime", "12:00:00 UTC"},
      {"lblSatSignalStatus", "S45 12:00:00 UTC"},
      {"lblSatConfigStatus", "S46 12:00:00 UTC"},
      {"lblPDOP", "2.5"},
  };
  for (const auto& [name, text] : texts)
    EXPECT_EQ(C(name).Caption(), text) << name;
  EXPECT_EQ(form_.Form().RepaintCount(), repaints + 2) << "bars and sky plot, each at once";
  // Converted heights (feet) and speed (mph), the true heading, the clamped PDOP, displayed time.
  EXPECT_EQ(log_.back(),
            "Send UPDATE 2,-33.870000000000,151.210000000000,32.808399,98.425197,22.37,350.00,"
            "2.50,43200.25,4.500000,");
  engine_.infoResult = 0;
  TickAt(0, 4);
  EXPECT_EQ(C("GPSStatusLight").BackColor(), colors::kRed) << "no current fix: red, no failure";
}

TEST_F(PollCycleTest, EachValueIsGreyWhileItsValidityBitIsClear) {
  struct Row {
    const char* label;
    uint16_t bit;
  } rows[] = {
      {"lblGPSStatus", kValidStatus},   {"lblMode", kValidFixMode},
      {"lblTime", kValidTime},          {"lblLatitude", kValidPosition},
      {"lblLongitude", kValidPosition}, {"lblAltitude", kValidEllipsoidHeight},
      {"lblSpeed", kValidSpeed},        {"lblHeading", kValidHeading},
  };
  Start(true);
  for (const Row& clear : rows) {
    engine_.info.validFlags = kAllValid & ~clear.bit;
    TickAt(0, 2);
    for (const Row& row : rows) {
      EXPECT_EQ(TextColor(row.label), (row.bit == clear.bit) ? colors::kGrey : colors::kBlack)
          << row.label << " with bit " << clear.bit << " clear";
    }
  }
  // Heights above mean sea level follow their own bit.
  host_.options.receiverSettings.heightReference = 1;
  Start(true);
  engine_.info.validFlags = kAllValid & ~kValidEllipsoidHeight;
  TickAt(0, 2);
  EXPECT_EQ(TextColor("lblAltitude"), colors::kBlack);
  engine_.info.validFlags = kAllValid & ~kValidGeoidHeight;
  TickAt(0, 4);
  EXPECT_EQ(TextColor("lblAltitude"), colors::kGrey);
}

TEST_F(PollCycleTest, StatusTextShowsTheSatelliteCountOnlyWhileDoingFixes) {
  struct Case {
    int16_t status, satCount;
    const char* text;
  } cases[] = {
      {1, 7, "Status1, 7 satellites"},
      {1, 12, "Status1, 12 satellites"},
      {1, 0, "Status1."},
      {3, 7, "Status3."},
      {9, 0, "Status9."},
      {0, 4, "Status0."},
      {12, 3, "."},  // not expected from the engine: the suffix alone
      {-1, 0, "."},
  };
  Start(true);
  for (const Case& c : cases) {
    engine_.info.status = c.status;
    engine_.info.satCount = c.satCount;
    TickAt(0, 2);
    EXPECT_EQ(C("lblGPSStatus").Caption(), c.text) << c.status << " " << c.satCount;
  }
}

TEST_F(PollCycleTest, FixModeTexts) {
  const char* texts[] = {"", "", "2D", "3D", "2D DGPS", "3D DGPS", "", ""};
  const int16_t modes[] = {0, 1, 2, 3, 4, 5, 6, -1};
  Start(true);
  for (int i = 0; i < 8; ++i) {
    engine_.info.fixMode = modes[i];
    TickAt(0, 2);
    EXPECT_EQ(C("lblMode").Caption(), texts[i]) << modes[i];
  }
}

TEST_F(PollCycleTest, SignalBarsStandOnTheBaselineWithSnrClampedIntoTheRecord) {
  struct Case {
    int16_t snr, used;
    int16_t clamped;
    int top, height;
    Color color;
    bool labelShown;
    const char* caption;  // the bar's; "41" is the caption left from before
  } cases[] = {
      {0, 1, 0, 150, 15, colors::kLime, false, "41"},
      {150, 0, 99, 51, 114, colors::kGrey, true, "99"},
      {-5, 1, 0, 150, 15, colors::kLime, false, "41"},
      {40, 1, 40, 110, 55, colors::kLime, true, "40"},
  };
  Start(true);
  for (const Case& c : cases) {
    for (int i = 0; i < kMaxSats; ++i)
      engine_.info.sats[i] = {static_cast<int16_t>(i + 1), c.used, 0, 10, c.snr};
    C("SignalBarIndeX11").SetCaption("41");
    TickAt(0, 2);
    for (int i = 0; i < kMaxSats; ++i)
      EXPECT_EQ(form_.Fix().sats[i].snr, c.clamped) << c.snr;
    const Control& bar = *form_.Panels().FindSignalBar(11);
    const Control& label = *form_.Panels().FindSignalSatLabel(11);
    EXPECT_EQ(bar.Bounds().top, c.top) << c.snr;
    EXPECT_EQ(bar.Bounds().height, c.height) << c.snr;
    EXPECT_EQ(bar.BackColor(), c.color) << c.snr;
    EXPECT_EQ(bar.Caption(), c.caption) << c.snr;
    EXPECT_EQ(label.Visible(), c.labelShown) << c.snr;
    if (c.labelShown) {
      EXPECT_EQ(label.Caption(), "12");
    }
  }
}

TEST_F(PollCycleTest, SkyPlotPlacesSatellitesFromTheZenithToTheHorizon) {
  struct Case {
    int16_t prn, used, azimuth, elevation;
    bool shown;
    int left, top;
    Color back, text;
  } cases[] = {
      {23, 1, 0, 90, true, 100, 100, colors::kLime, colors::kBlack},   // zenith
      {5, 0, 90, 0, true, 180, 100, colors::kWhite, colors::kGrey},    // east horizon
      {7, 1, 180, 0, true, 100, 180, colors::kLime, colors::kBlack},   // south horizon
      {9, 0, 270, -10, true, 20, 100, colors::kWhite, colors::kGrey},  // below: on the horizon
      {11, 0, 45, 45, true, 128, 72, colors::kWhite, colors::kGrey},   // r 40: 28.28 cut to 28
      {13, 0, 400, 0, true, 99, 21, colors::kWhite, colors::kGrey},    // azimuth taken as 359
      {0, 1, 90, 45, false, 0, 0, colors::kLime, colors::kBlack},      // empty slot
  };
  FixRecord fix = FullFix();
  for (int i = 0; i < 7; ++i) {
    const Case& c = cases[i];
    fix.sats[i] = {c.prn, c.used, c.azimuth, c.elevation, 30};
  }
  Start(true, fix);
  form_.Panels().FindConfigSatLabel(6)->SetVisible(true);
  TickAt(0, 2);
  for (int i = 0; i < 7; ++i) {
    const Case& c = cases[i];
    const Control& label = *form_.Panels().FindConfigSatLabel(i);
    EXPECT_EQ(label.Visible(), c.shown) << c.prn;
    if (!c.shown) continue;
    EXPECT_EQ(label.Bounds().left, c.left) << c.prn;
    EXPECT_EQ(label.Bounds().top, c.top) << c.prn;
    EXPECT_EQ(label.Bounds().width, 16) << c.prn;
    EXPECT_EQ(label.Caption(), std::to_string(c.prn));
    EXPECT_EQ(label.BackColor(), c.back) << c.prn;
    EXPECT_EQ(label.TextColor(), c.text) << c.prn;
  }
  EXPECT_FALSE(form_.Panels().FindConfigSatLabel(7)->Visible()) << "slots without a prn";
}

TEST_F(PollCycleTest, PdopGaugeLabelAndTheClampSentOnTheLink) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double pdop;
    bool gauge;
    int red;  // 119 / level
    const char* label;
    float stored;
    const char* sent;
  } cases[] = {
      {2.5, true, 9, "2.5", 2.5f, "2.50"},    // level 12
      {35, true, 1, "20.0", 20.0f, "20.00"},  // level 100
      {20, true, 1, "20.0", 20.0f, "20.00"},  // level 100
      {0.1, false, 0, "0.1", 0.1f, "0.10"},   // level 0 hides the bar
      {0, false, 0, "", 0.0f, "0.00"},       {-1, false, 0, "", -1.0f, "-1.00"},
      {nan, false, 0, "", 0.0f, "NAN"},
  };
  Start(true);
  LinkUp();
  for (const Case& c : cases) {
    engine_.info.pdop = static_cast<float>(c.pdop);
    TickAt(0, 2);
    EXPECT_EQ(C("FloodBarBadPanel").Visible(), c.gauge) << c.pdop;
    EXPECT_EQ(C("FloodBarGoodPanel").Visible(), c.gauge) << c.pdop;
    if (c.gauge) {
      EXPECT_EQ(C("FloodBarBadPanel").Bounds().height, c.red) << c.pdop;
    }
    EXPECT_EQ(C("lblPDOP").Caption(), c.label) << c.pdop;
    if (!std::isnan(c.pdop)) {
      EXPECT_EQ(form_.Fix().pdop, c.stored) << c.pdop;
    }
    EXPECT_NE(log_.back().find(std::string(",") + c.sent + ",43200.25,"), std::string::npos)
        << c.pdop << ": " << log_.back();
  }
}

TEST_F(PollCycleTest, PanelsWithoutTheirBitKeepTheirLook) {
  Start(true);
  TickAt(0, 2);
  engine_.info = FixRecord{};
  engine_.info.validFlags = kValidPosition;
  engine_.info.pdop = 35;
  engine_.info.sats[0].snr = 150;
  TickAt(0, 4);
  EXPECT_EQ(C("lblPDOP").Caption(), "2.5");
  EXPECT_TRUE(C("FloodBarBadPanel").Visible());
  EXPECT_EQ(form_.Fix().pdop, 35.0f) << "no clamp without the geometry bit";
  EXPECT_EQ(form_.Fix().sats[0].snr, 150) << "no clamp without the signal bit";
  EXPECT_EQ(form_.Panels().FindSignalBar(0)->Bounds().height, 55);
  EXPECT_TRUE(form_.Panels().FindConfigSatLabel(2)->Visible());
  EXPECT_EQ(C("lblSatSignalStatus").Caption(), "S45 12:00:00 UTC");
}

TEST_F(PollCycleTest, UpdateCommandGoesOnlyWithSomeValidityOrDdeIgnoreAndTheLinkUp) {
  struct Case {
    uint16_t validFlags;
    int ddeIgnore;
    bool linkUp;
    bool sent;
  } cases[] = {
      {0, 0, true, false},  {0, 1, true, true},           {kValidTime, 0, true, true},
      {0, 1, false, false}, {kAllValid, 0, false, false},
  };
  for (const Case& c : cases) {
    host_.options.display.ddeIgnore = c.ddeIgnore;
    Start(true);
    link_.accepts = true;
    if (form_.Link().LinkOpen() != c.linkUp) form_.Link().Toggle();
    engine_.info.validFlags = c.validFlags;
    log_.clear();
    TickAt(0, 2);
    const bool sent = !log_.empty() && log_.back().rfind("Send UPDATE 2,", 0) == 0;
    EXPECT_EQ(sent, c.sent) << c.validFlags << " " << c.ddeIgnore << " " << c.linkUp;
  }
}

TEST_F(PollCycleTest, TextsFollowThePresentationOptions) {
  struct Case {
    const char* legend;
    std::function<void(StartupOptions&, LongTimeFormat&, FixRecord&)> set;
    const char* label;
    const char* text;
  } cases[] = {
      {"metres", [](auto& o, auto&, auto& f) { o.display.elevUnits = 1, f.ellipsoidHeight = 100; },
       "lblAltitude", "100.00 metres"},
      {"negative metres",
       [](auto& o, auto&, auto& f) { o.display.elevUnits = 1, f.ellipsoidHeight = -12.3456; },
       "lblAltitude", "-12.35 metres"},
      {"mean sea level", [](auto& o, auto&, auto&) { o.receiverSettings.heightReference = 1; },
       "lblAltitude", "32.81 feet"},
      {"knots", [](auto& o, auto&, auto& f) { o.display.speedUnits = 1, f.speed = 33; }, "lblSpeed",
       "64.2 knots"},
      {"magnetic heading", [](auto& o, auto&, auto&) { o.display.trackTrue = 0; }, "lblHeading",
       "365.0\xB0 magnetic"},
      {"local time five hours behind",
       [](auto& o, auto&, auto& f) {
         o.display.timeUtc = 0, o.display.utcOffset = 5, f.utcSeconds = 5400;
       },
       "lblTime", "20:30:00 local"},
      {"12-hour clock",
       [](auto& o, auto& t, auto& f) {
         o.display.timeUtc = 0, o.display.utcOffset = 5, f.utcSeconds = 5400;
         t.twelveHour = true, t.hourLeadingZero = false;
       },
       "lblTime", "8:30:00 pm local"},
      {"designator first",
       [](auto&, auto& t, auto& f) {
         f.utcSeconds = 86399.7;
         t.twelveHour = true, t.designatorFirst = true, t.pm = "PM", t.separator = ".";
       },
       "lblTime", "PM 11.59.59 UTC"},
  };
  for (const Case& c : cases) {
    host_.options = StartupOptions{};
    host_.timeFormat = LongTimeFormat{};
    FixRecord fix = FullFix();
    c.set(host_.options, host_.timeFormat, fix);
    Start(true, fix);
    TickAt(0, 2);
    EXPECT_EQ(C(c.label).Caption(), c.text) << c.legend;
  }
}

TEST_F(PollCycleTest, ATimeOutsideTheDayKeepsThePreviousTextButTakesItsColour) {
  Start(true);
  TickAt(0, 2);
  engine_.info.utcSeconds = 86400;
  engine_.info.validFlags = kAllValid & ~kValidTime;
  TickAt(0, 4);
  EXPECT_EQ(C("lblTime").Caption(), "12:00:00 UTC");
  EXPECT_EQ(TextColor("lblTime"), colors::kGrey);
}

TEST_F(PollCycleTest, NonFiniteValuesFromTheEngineGiveTextsNotFaults) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  FixRecord fix = FullFix();
  fix.latitude = nan;
  fix.speed = inf;
  fix.ellipsoidHeight = -inf;
  fix.trueHeading = nan;
  fix.utcSeconds = nan;
  fix.pdop = std::numeric_limits<float>::infinity();
  Start(true, fix);
  LinkUp();
  TickAt(0, 2);
  EXPECT_EQ(C("lblLatitude").Caption(), "NAN lat");
  EXPECT_EQ(C("lblSpeed").Caption(), "INF mph");
  EXPECT_EQ(C("lblAltitude").Caption(), "-INF feet");
  EXPECT_EQ(C("lblPDOP").Caption(), "20.0") << "an infinite PDOP is clamped like any other";
  EXPECT_EQ(log_.back(),
            "Send UPDATE 2,NAN,151.210000000000,32.808399,-INF,INF,NAN,20.00,NAN,4.500000,");
}

TEST_F(PollCycleTest, BeepSoundsOnUpdateTicksWhenAskedFor) {
  for (int beep : {0, 1}) {
    host_.options.display.beep = beep;
    Start(true);
    TickAt(0, 1);
    TickAt(0, 2);
    EXPECT_EQ(std::count(log_.begin(), log_.end(), "Beep"), beep) << beep;
  }
}

// One read per poll, handed on in order: on update ticks the views and the GIS link first (the
// shown copy clamped), then each consumer's update, then every consumer hears the epoch as read.
TEST_F(PollCycleTest, ConsumersHearEveryPollsEpochAfterTheUpdateStep) {
  RecordingConsumer consumer(log_);
  form_.Feed().Add(consumer);
  engine_.logPolls = false;
  engine_.info = FullFix();
  engine_.info.pdop = 35;
  StartReplay();
  TickAt(0, 1);  // replay: no poll off the phase
  TickAt(0, 2);
  form_.Modes().SimulatePauseButtonClick();
  TickAt(0, 4);  // paused: nothing
  form_.Modes().SimulatePauseButtonClick();
  engine_.pollResults = {3};  // the end of the log
  TickAt(0, 6);
  const std::string update =
      "Updated UPDATE 2,-33.870000000000,151.210000000000,32.808399,98.425197,22.37,350.00,"
      "20.00,43200.25,4.500000, record pdop 20.0";
  const fakes::Log replay = {update, "Epoch pdop 35.0", "Error S33", "Disable", "Close", "Enable"};
  EXPECT_EQ(log_, replay);
  EXPECT_EQ(engine_.reads, 1);

  StartLive();
  TickAt(0, 1);
  TickAt(0, 2);
  EXPECT_EQ(log_, (fakes::Log{"Epoch pdop 35.0", update, "Epoch pdop 35.0"}));
  EXPECT_EQ(engine_.reads, 3) << "one read per poll";
}

}  // namespace
}  // namespace pelmora
