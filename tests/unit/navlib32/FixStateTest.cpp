// FixState: epoch boundaries, validity and ageing, heights, magnetic variation, fix mode,
// status and the choice of satellites.
#include "RecordChecks.h"
#include "navlib32/FixState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace navlib {
namespace {

using pelmora::FixRecord;

FixRecord Record(const FixState& state, double now) {
  FixRecord r;
  state.MakeRecord(r, now);
  return r;
}

using recordcheck::Has;

// One epoch with a 3D position at time t, completed by the start of the next one.
void PositionEpoch(FixState& s, double t, double now) {
  s.NoteTime(t, now);
  s.SetPosition(48.1, 11.5);
  s.SetMslHeight(545.4);
  s.SetGeoidSeparation(46.9);
}

TEST(FixState, NothingReceived_OnlyStatusNoData) {
  FixState s;
  const FixRecord r = Record(s, 0.0);
  EXPECT_EQ(r.validFlags, pelmora::kValidStatus);
  EXPECT_EQ(r.status, static_cast<int16_t>(pelmora::ReceiverStatus::NoData));
  EXPECT_EQ(s.CompletedEpochs(), 0u);
}

TEST(FixState, NewTimeCompletesEpoch_SameTimeDoesNot) {
  FixState s;
  EXPECT_EQ(s.NoteTime(100.0, 0.0), EpochTime::SameEpoch);
  s.SetPosition(1.0, 2.0);
  EXPECT_EQ(s.NoteTime(100.0005, 0.1), EpochTime::SameEpoch);
  EXPECT_FALSE(s.EpochCompleted());
  EXPECT_EQ(s.NoteTime(101.0, 1.0), EpochTime::NewEpoch);
  EXPECT_TRUE(s.EpochCompleted());
  EXPECT_EQ(s.CompletedEpochs(), 1u);
  const FixRecord r = Record(s, 1.0);
  EXPECT_DOUBLE_EQ(r.utcSeconds, 100.0);  // the completed epoch, not the one in progress
  EXPECT_TRUE(Has(r, pelmora::kValidTime | pelmora::kValidPosition));
  s.TakeEpoch();
  EXPECT_FALSE(s.EpochCompleted());
}

TEST(FixState, TimeJumpingBack_StartsNewEpochAndDropsFutureValues) {
  FixState s;
  PositionEpoch(s, 5000.0, 0.0);
  s.AddSatelliteInView(GnssSystem::Gps, 7, 45, 90, 40);
  // The receiver reboots: its clock restarts at an earlier time with nothing but the time.
  EXPECT_EQ(s.NoteTime(10.0, 1.0), EpochTime::NewEpoch);
  s.CompleteEpoch(2.0);
  const FixRecord r = Record(s, 2.0);
  EXPECT_DOUBLE_EQ(r.utcSeconds, 10.0);
  EXPECT_TRUE(Has(r, pelmora::kValidTime));
  EXPECT_FALSE(r.validFlags & pelmora::kValidPosition);
  EXPECT_FALSE(r.validFlags & pelmora::kValidSignal);
}

TEST(FixState, MidnightIsNoJump) {
  FixState s;
  PositionEpoch(s, 86399.0, 0.0);
  s.NoteTime(0.0, 1.0);  // the next day's first second
  s.SetSpeed(1.0);
  s.CompleteEpoch(1.0);
  const FixRecord r = Record(s, 1.0);
  EXPECT_DOUBLE_EQ(r.utcSeconds, 0.0);
  EXPECT_TRUE(Has(r, pelmora::kValidPosition | pelmora::kValidSpeed));
}

// One rule says whether two times of day are one epoch, for the fix state and both decoders:
// within 1 ms of each other on the clock face, so also across midnight.
TEST(FixState, SameTimeOfDay_WithinAMillisecondAlsoAcrossMidnight) {
  struct Case {
    double epoch, next;
    bool same;
  };
  const Case cases[] = {{100.0, 100.0008, true},    {100.0, 99.9992, true},
                        {100.0, 100.0015, false},   {86399.9996, 0.0, true},
                        {0.0003, 86399.9999, true}, {86399.0, 0.0, false}};
  for (const Case& c : cases) {
    FixState s;
    s.NoteTime(c.epoch, 0.0);
    s.SetSpeed(1.0);
    EXPECT_EQ(s.NoteTime(c.next, 0.0), c.same ? EpochTime::SameEpoch : EpochTime::NewEpoch)
        << c.epoch << " then " << c.next;
    EXPECT_EQ(SameTimeOfDay(c.epoch, c.next), c.same);
    EXPECT_LE(std::fabs(DayDifference(c.next, c.epoch)), 1.0);
  }
}

TEST(FixState, CompleteEpochWithoutData_DoesNothing) {
  FixState s;
  s.CompleteEpoch(0.0);
  EXPECT_FALSE(s.EpochCompleted());
  EXPECT_EQ(s.CompletedEpochs(), 0u);
}

TEST(FixState, SilenceMakesEverythingInvalid) {
  FixState s;
  PositionEpoch(s, 100.0, 10.0);
  s.SetSpeed(3.0);
  s.CompleteEpoch(10.0);
  FixRecord r = Record(s, 10.0 + FixState::kStaleSeconds);
  EXPECT_TRUE(Has(r, pelmora::kValidPosition | pelmora::kValidSpeed | pelmora::kValidTime));
  r = Record(s, 10.0 + FixState::kStaleSeconds + 0.5);
  EXPECT_EQ(r.validFlags, pelmora::kValidStatus);
  EXPECT_EQ(r.status, static_cast<int16_t>(pelmora::ReceiverStatus::NoData));
  EXPECT_DOUBLE_EQ(r.latitude, 48.1);  // last value kept for a grey display
}

TEST(FixState, FieldNotRepeated_AgesOutByDataTime) {
  FixState s;
  PositionEpoch(s, 100.0, 0.0);
  s.SetDops(2.5, FixState::kNoDop, FixState::kNoDop);
  // Later epochs carry positions but no DOP; the clock stands still (a replayed log).
  for (int i = 1; i <= 7; ++i)
    PositionEpoch(s, 100.0 + i, 0.0);
  s.CompleteEpoch(0.0);  // epoch 107 held
  const FixRecord r = Record(s, 0.0);
  EXPECT_TRUE(Has(r, pelmora::kValidPosition));
  EXPECT_FALSE(r.validFlags & pelmora::kValidGeometry);
  EXPECT_FLOAT_EQ(r.pdop, 0.0f);
}

TEST(FixState, NoFixDropsEarlierPosition) {
  FixState s;
  PositionEpoch(s, 100.0, 0.0);
  s.SetSpeed(2.0);
  s.SetTrack(90.0);
  s.NoteTime(101.0, 1.0);
  s.SetNoFix();
  s.CompleteEpoch(1.0);
  const FixRecord r = Record(s, 1.0);
  EXPECT_FALSE(r.validFlags &
               (pelmora::kValidPosition | pelmora::kValidSpeed | pelmora::kValidHeading |
                pelmora::kValidGeoidHeight | pelmora::kValidEllipsoidHeight));
  EXPECT_TRUE(Has(r, pelmora::kValidFixMode | pelmora::kValidTime));
  EXPECT_EQ(r.fixMode, 1);
}

struct HeightCase {
  const char* legend;
  bool msl, ellipsoid, separation;
  uint16_t bits;
  double geoidHeight, ellipsoidHeight;
};

TEST(FixState, HeightsDerivedThroughGeoidSeparation) {
  const HeightCase cases[] = {
      {"msl+sep", true, false, true, pelmora::kValidGeoidHeight | pelmora::kValidEllipsoidHeight,
       100.0, 130.0},
      {"ell+sep", false, true, true, pelmora::kValidGeoidHeight | pelmora::kValidEllipsoidHeight,
       220.0, 250.0},
      {"msl only", true, false, false, pelmora::kValidGeoidHeight, 100.0, 0.0},
      {"ell only", false, true, false, pelmora::kValidEllipsoidHeight, 0.0, 250.0},
      {"both given", true, true, true, pelmora::kValidGeoidHeight | pelmora::kValidEllipsoidHeight,
       100.0, 250.0},
      {"sep only", false, false, true, 0, 0.0, 0.0},
  };
  for (const HeightCase& c : cases) {
    SCOPED_TRACE(c.legend);
    FixState s;
    s.NoteTime(10.0, 0.0);
    s.SetPosition(1.0, 1.0);
    if (c.msl) s.SetMslHeight(100.0);
    if (c.ellipsoid) s.SetEllipsoidHeight(250.0);
    if (c.separation) s.SetGeoidSeparation(30.0);
    s.CompleteEpoch(0.0);
    const FixRecord r = Record(s, 0.0);
    EXPECT_EQ(r.validFlags & (pelmora::kValidGeoidHeight | pelmora::kValidEllipsoidHeight), c.bits);
    EXPECT_DOUBLE_EQ(r.geoidHeight, c.geoidHeight);
    EXPECT_DOUBLE_EQ(r.ellipsoidHeight, c.ellipsoidHeight);
  }
}

TEST(FixState, MagVariationEastIsStoredNegative) {
  for (const double east : {3.5, -12.25}) {
    FixState s;
    s.NoteTime(10.0, 0.0);
    s.SetTrack(100.0);
    s.SetMagVariationEast(east);
    s.CompleteEpoch(0.0);
    const FixRecord r = Record(s, 0.0);
    EXPECT_DOUBLE_EQ(r.magVariation, -east);
    // magnetic heading = true heading + variation: east of true north means a smaller bearing
    EXPECT_DOUBLE_EQ(r.trueHeading + r.magVariation, 100.0 - east);
  }
}

TEST(FixState, HeadingUsedOnlyWithoutCourse) {
  FixState s;
  s.NoteTime(10.0, 0.0);
  s.SetHeading(270.0);
  s.CompleteEpoch(0.0);
  FixRecord r = Record(s, 0.0);
  EXPECT_TRUE(Has(r, pelmora::kValidHeading));
  EXPECT_DOUBLE_EQ(r.trueHeading, 270.0);
  s.NoteTime(11.0, 1.0);
  s.SetHeading(271.0);
  s.SetTrack(45.0);
  s.CompleteEpoch(1.0);
  r = Record(s, 1.0);
  EXPECT_DOUBLE_EQ(r.trueHeading, 45.0);
}

struct FixModeCase {
  const char* legend;
  int gsaDimension;  // 0: none
  bool height;
  bool differential;
  int fixMode;
};

TEST(FixState, FixModeFromDimensionAndCorrections) {
  const FixModeCase cases[] = {
      {"3D stated", 3, false, false, 3},   {"2D stated", 2, true, false, 2},
      {"3D DGPS", 3, true, true, 5},       {"2D DGPS", 2, false, true, 4},
      {"height -> 3D", 0, true, false, 3}, {"bare position -> 2D", 0, false, false, 2},
  };
  for (const FixModeCase& c : cases) {
    SCOPED_TRACE(c.legend);
    FixState s;
    s.NoteTime(10.0, 0.0);
    s.SetPosition(1.0, 1.0);
    if (c.height) s.SetMslHeight(5.0);
    if (c.gsaDimension) s.SetFix(c.gsaDimension, false);
    s.SetDifferential(c.differential);
    s.CompleteEpoch(0.0);
    const FixRecord r = Record(s, 0.0);
    EXPECT_TRUE(Has(r, pelmora::kValidFixMode));
    EXPECT_EQ(r.fixMode, c.fixMode);
    EXPECT_EQ(r.status, static_cast<int16_t>(pelmora::ReceiverStatus::DoingFixes));
  }
}

TEST(FixState, StatusDerivedWithoutFix) {
  struct Case {
    int used;
    bool time;
    pelmora::ReceiverStatus status;
  };
  const Case cases[] = {
      {0, true, pelmora::ReceiverStatus::Acquiring},
      {1, true, pelmora::ReceiverStatus::OneUsableSat},
      {2, true, pelmora::ReceiverStatus::TwoUsableSats},
      {3, false, pelmora::ReceiverStatus::ThreeUsableSats},
      {0, false, pelmora::ReceiverStatus::NoGpsTime},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.used);
    FixState s;
    s.NoteActivity(0.0);
    if (c.time) s.NoteTime(10.0, 0.0);
    s.SetNoFix();
    s.SetSatellitesUsedCount(c.used);
    s.CompleteEpoch(0.0);
    const FixRecord r = Record(s, 0.0);
    EXPECT_EQ(r.status, static_cast<int16_t>(c.status));
    EXPECT_TRUE(Has(r, pelmora::kValidStatus));
  }
}

TEST(FixState, ExplicitStatusWins) {
  FixState s;
  PositionEpoch(s, 10.0, 0.0);
  s.SetReceiverStatus(pelmora::ReceiverStatus::PdopTooHigh);
  s.CompleteEpoch(0.0);
  EXPECT_EQ(Record(s, 0.0).status, static_cast<int16_t>(pelmora::ReceiverStatus::PdopTooHigh));
}

TEST(FixState, PdopFromHdopAndVdop) {
  FixState s;
  s.NoteTime(10.0, 0.0);
  s.SetDops(FixState::kNoDop, 3.0, 4.0);
  s.CompleteEpoch(0.0);
  const FixRecord r = Record(s, 0.0);
  EXPECT_TRUE(Has(r, pelmora::kValidGeometry));
  EXPECT_FLOAT_EQ(r.pdop, 5.0f);
}

TEST(FixState, SatelliteSelection_UsedFirstThenSignal_SatCountIsUsed) {
  FixState s;
  s.NoteTime(10.0, 0.0);
  // 20 GPS satellites in view with signals 20..39; the four weakest are used.
  for (int prn = 1; prn <= 20; ++prn)
    s.AddSatelliteInView(GnssSystem::Gps, prn, 30, 10 * prn, 19 + prn);
  const int used[] = {1, 2, 3, 4};
  s.AddSatellitesUsed(GnssSystem::Gps, used, 4);
  s.CompleteEpoch(0.0);
  const FixRecord r = Record(s, 0.0);
  EXPECT_EQ(r.satCount, 4);
  EXPECT_TRUE(Has(r, pelmora::kValidGeometry | pelmora::kValidSignal));
  std::vector<int> prns;
  int usedSlots = 0;
  for (const pelmora::SatInfo& sat : r.sats) {
    prns.push_back(sat.prn);
    usedSlots += sat.used;
    if (sat.prn >= 1 && sat.prn <= 4) {
      EXPECT_EQ(sat.used, 1);
    }
    EXPECT_EQ(sat.snr, 19 + sat.prn);
    EXPECT_EQ(sat.azimuth, 10 * sat.prn);
  }
  EXPECT_EQ(usedSlots, 4);
  // Used 1-4, then the eight strongest (13-20), in number order.
  EXPECT_EQ(prns, (std::vector<int>{1, 2, 3, 4, 13, 14, 15, 16, 17, 18, 19, 20}));
}

TEST(FixState, MultiConstellationViews_MergeAndReplacePerSystem) {
  FixState s;
  s.NoteTime(10.0, 0.0);
  s.AddSatelliteInView(GnssSystem::Gps, 5, 10, 20, 30);
  s.AddSatelliteInView(GnssSystem::Glonass, 70, 11, 21, 31);
  s.AddSatelliteInView(GnssSystem::Galileo, 5, 12, 22, 32);  // same number, other system
  const int gps[] = {5};
  const int gal[] = {5};
  s.AddSatellitesUsed(GnssSystem::Gps, gps, 1);
  s.AddSatellitesUsed(GnssSystem::Galileo, gal, 1);
  s.NoteTime(11.0, 1.0);
  // Next epoch: only GLONASS reports its view again, now without satellite 70.
  s.AddSatelliteInView(GnssSystem::Glonass, 71, 40, 50, 45);
  s.CompleteEpoch(1.0);
  const FixRecord r = Record(s, 1.0);
  int found = 0;
  for (const pelmora::SatInfo& sat : r.sats) {
    if (sat.prn == 0) continue;
    ++found;
    EXPECT_NE(sat.prn, 70);
    if (sat.prn == 5) {
      EXPECT_EQ(sat.used, 1);  // epoch 10's used list holds until it ages out
    }
  }
  EXPECT_EQ(found, 3);  // GPS 5, Galileo 5 (held), GLONASS 71
}

// A dual-band receiver lists a satellite once per signal: one satellite with its strongest
// signal. The same signal reported again (a lost epoch boundary) does not overwrite the first.
TEST(FixState, SeveralSignalsOfOneSatellite_KeptOnceWithTheStrongest) {
  FixState s;
  s.NoteTime(10.0, 0.0);
  s.AddSatelliteInView(GnssSystem::Gps, 9, 40, 100, FixState::kNoValue, 1);
  s.AddSatelliteInView(GnssSystem::Gps, 9, 40, 100, 29, 1);
  s.AddSatelliteInView(GnssSystem::Gps, 9, 40, 100, 33, 7);
  s.AddSatelliteInView(GnssSystem::Gps, 9, 40, 100, 31, 8);
  s.AddSatelliteInView(GnssSystem::Gps, 4, 20, 200, 35, 1);
  s.AddSatelliteInView(GnssSystem::Gps, 4, 20, 200, 38, 1);
  s.CompleteEpoch(0.0);
  const FixRecord r = Record(s, 0.0);
  EXPECT_EQ(r.sats[0].prn, 4);
  EXPECT_EQ(r.sats[0].snr, 35);
  EXPECT_EQ(r.sats[1].prn, 9);
  EXPECT_EQ(r.sats[1].snr, 33);
  EXPECT_EQ(r.sats[2].prn, 0);
}

TEST(FixState, UpdateSatellite_KeepsOthersUntilTheyAge) {
  FixState s;
  s.NoteTime(10.0, 0.0);
  s.UpdateSatellite(GnssSystem::Gps, 1, 10, 10, 40);
  s.UpdateSatellite(GnssSystem::Gps, 2, 20, 20, 41);
  s.NoteTime(11.0, 1.0);
  s.UpdateSatellite(GnssSystem::Gps, 2, FixState::kNoValue, FixState::kNoValue, 44);
  s.CompleteEpoch(1.0);
  FixRecord r = Record(s, 1.0);
  EXPECT_EQ(r.sats[0].prn, 1);
  EXPECT_EQ(r.sats[1].prn, 2);
  EXPECT_EQ(r.sats[1].snr, 44);
  EXPECT_EQ(r.sats[1].elevation, 20);  // kept from the earlier report
  // Ten seconds later by the data's clock only satellite 2's report... also aged out.
  s.NoteTime(17.0, 1.0);
  s.UpdateSatellite(GnssSystem::Gps, 3, 30, 30, 30);
  s.CompleteEpoch(1.0);
  r = Record(s, 1.0);
  EXPECT_EQ(r.sats[0].prn, 3);
  EXPECT_EQ(r.sats[1].prn, 0);
}

// Every satellite heard, up to the bound, in system and number order; the record keeps its 12.
TEST(FixState, AllSatellitesBoundedWhenFlooded) {
  FixState s;
  s.NoteTime(10.0, 0.0);
  for (int prn = 1; prn <= 500; ++prn)
    s.AddSatelliteInView(GnssSystem::Other, prn, 1, 1, 1);
  std::vector<int> many(500);
  for (int i = 0; i < 500; ++i)
    many[i] = i + 1;
  s.AddSatellitesUsed(GnssSystem::Other, many.data(), many.size());
  s.CompleteEpoch(0.0);
  const FixRecord r = Record(s, 0.0);
  EXPECT_EQ(r.satCount, FixState::kMaxSatsUsed);
  EXPECT_NE(r.sats[11].prn, 0);
  std::vector<pelmora::SatDetail> all(pelmora::kMaxAllSats + 10);
  const int n = s.AllSatellites(all.data(), static_cast<int>(all.size()), 0.0);
  EXPECT_EQ(n, pelmora::kMaxAllSats);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(all[i].prn, i + 1);
    EXPECT_EQ(all[i].system, static_cast<int16_t>(pelmora::SatSystem::Other));
    EXPECT_EQ(all[i].used, 1);
  }
  EXPECT_EQ(s.AllSatellites(all.data(), 3, 0.0), 3);
  EXPECT_EQ(s.AllSatellites(all.data(), 64, 60.0), 0) << "a silent receiver lists none";
}

TEST(FixState, OutOfRangeValuesRejected) {
  FixState s;
  s.NoteTime(10.0, 0.0);
  s.SetPosition(91.0, 0.0);
  s.AddSatelliteInView(GnssSystem::Gps, 3, 95, 400, -5);
  s.CompleteEpoch(0.0);
  const FixRecord r = Record(s, 0.0);
  EXPECT_FALSE(r.validFlags & pelmora::kValidPosition);
  EXPECT_EQ(r.sats[0].prn, 3);
  EXPECT_EQ(r.sats[0].elevation, 0);
  EXPECT_EQ(r.sats[0].azimuth, 0);
  EXPECT_EQ(r.sats[0].snr, 0);
  EXPECT_FALSE(r.validFlags & pelmora::kValidGeometry);  // no elevation/azimuth known
}

}  // namespace
}  // namespace navlib
