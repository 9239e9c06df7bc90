// The Accuracy tab's options and fields: round trips through the store and the fields, odd stored
// values, fields that do not parse.
#include "app/workbench/AccuracySettings.h"

#include <gtest/gtest.h>

#include "tests/unit/settings/FakeOptionBackend.h"

namespace pelmora::workbench {
namespace {

class AccuracySettingsTest : public ::testing::Test {
 protected:
  void Store(const char* name, const char* value) { backend_.values[{"Pelmora", name}] = value; }
  test::FakeOptionBackend backend_;
  OptionStore store_{backend_, "Pelmora"};
};

TEST_F(AccuracySettingsTest, OptionsRoundTrip) {
  AccuracySettings s;
  EXPECT_EQ(LoadAccuracySettings(store_), s);  // nothing stored: the defaults
  s.reference = ReferenceKind::Surveyed;
  s.mark = Geodetic{-33.856789123, 151.215300456, 58.125};
  s.markHasHeight = true;
  s.gates = {.minFixDimension = 3, .maxPdop = 2.5, .minSatsUsed = 6};
  SaveAccuracySettings(store_, s);
  EXPECT_EQ(LoadAccuracySettings(store_), s);
  s.reference = ReferenceKind::FirstFix;
  s.markHasHeight = false;
  s.mark->height = 0;
  s.gates = {.minFixDimension = 0, .maxPdop = 0, .minSatsUsed = 0};
  SaveAccuracySettings(store_, s);
  EXPECT_EQ(LoadAccuracySettings(store_), s);
}

TEST_F(AccuracySettingsTest, OddStoredValuesTakeTheDefaults) {
  Store("WorkbenchReference", "2");  // surveyed, but no usable mark
  Store("WorkbenchMark", "91,13.4");
  Store("WorkbenchMinFix", "1");
  Store("WorkbenchMaxPdop", "-3");
  Store("WorkbenchMinSats", "300");
  EXPECT_EQ(LoadAccuracySettings(store_), AccuracySettings{});
  Store("WorkbenchReference", "7");
  Store("WorkbenchMark", "52.5,13.4,12,4");
  EXPECT_EQ(LoadAccuracySettings(store_), AccuracySettings{});
}

TEST_F(AccuracySettingsTest, FieldsReadBackAndBadFieldsChangeNothing) {
  AccuracySettings s;
  s.reference = ReferenceKind::Surveyed;
  s.mark = Geodetic{52.520044731, 13.405, 45.5};
  s.markHasHeight = true;
  s.gates = {.minFixDimension = 2, .maxPdop = 4, .minSatsUsed = 5};
  const AccuracyFields fields = FieldsOf(s, 5);
  EXPECT_EQ(fields.latitude, "52\xB0 31' 12.1610\" N");
  EXPECT_EQ(fields.minFix, 1);
  FieldsReading r = ReadFields(fields, AccuracySettings{});
  ASSERT_TRUE(r.error.empty()) << r.error;
  EXPECT_NEAR(r.settings.mark->latitude, s.mark->latitude, 3e-8);
  EXPECT_EQ(r.settings.gates.maxPdop, 4);
  EXPECT_EQ(r.settings.gates.minSatsUsed, 5);

  const struct {
    void (*edit)(AccuracyFields&);
    const char* errorStart;
  } bad[] = {{[](AccuracyFields& f) { f.latitude = "52.5 W"; }, "Latitude"},
             {[](AccuracyFields& f) { f.maxPdop = "-1"; }, "Max. PDOP"},
             {[](AccuracyFields& f) { f.minSats = "4.5"; }, "Min. satellites"}};
  for (const auto& b : bad) {
    AccuracyFields f = fields;
    b.edit(f);
    r = ReadFields(f, s);
    EXPECT_EQ(r.error.rfind(b.errorStart, 0), 0u) << r.error;
    EXPECT_EQ(r.settings, s);
  }
  // Another reference leaves a bad mark unread and keeps the last one.
  AccuracyFields other = fields;
  other.reference = 1;
  other.latitude = "junk";
  r = ReadFields(other, s);
  EXPECT_TRUE(r.error.empty());
  EXPECT_EQ(r.settings.reference, ReferenceKind::FirstFix);
  EXPECT_EQ(r.settings.mark->latitude, s.mark->latitude);
}

TEST_F(AccuracySettingsTest, AppliedSettingsSetTheStatistics) {
  AccuracyStats stats;
  AccuracySettings s;
  s.reference = ReferenceKind::Surveyed;  // without a mark: the running average
  s.gates.maxPdop = 3;
  ApplyAccuracySettings(s, stats);
  EXPECT_EQ(stats.referenceKind(), ReferenceKind::RunningAverage);
  EXPECT_EQ(stats.gates().maxPdop, 3);
  s.mark = Geodetic{1, 2, 3};
  ApplyAccuracySettings(s, stats);
  EXPECT_EQ(stats.Reference()->longitude, 2);
}

}  // namespace
}  // namespace pelmora::workbench
