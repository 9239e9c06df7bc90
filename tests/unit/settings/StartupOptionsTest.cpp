#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "app/settings/StartupOptions.h"
#include "tests/unit/settings/FakeOptionBackend.h"

namespace pelmora {
namespace {

using test::FakeOptionBackend;

constexpr const char* kDir = "C:\\Program Files\\Halvorn\\Pelmora";

// The presentation options in the key table's order.
std::vector<int32_t> DisplayFields(const DisplayOptions& d) {
  return {d.updateInterval, d.elevUnits, d.speedUnits,   d.trackTrue, d.timeUtc, d.utcOffset,
          d.beep,           d.geoFormat, d.geoPrecision, d.minimize,  d.onTop,   d.ddeIgnore};
}

class StartupOptionsTest : public ::testing::Test {
 protected:
  void Set(const std::string& key, const std::string& value) {
    backend_.values[{"Pelmora", key}] = value;
  }
  FakeOptionBackend backend_;
  OptionStore store_{backend_, "Pelmora"};
};

TEST_F(StartupOptionsTest, FreshStoreGivesExactlyTheDefaults) {
  const StartupOptions o = LoadStartupOptions(store_, kDir);
  EXPECT_EQ(o.receiverType, 1);
  EXPECT_EQ(o.comPort, 1);
  EXPECT_EQ(o.commInfo.baudRate, 4800);
  EXPECT_EQ(o.commInfo.parity, 0);
  EXPECT_EQ(o.commInfo.dataBits, 8);
  EXPECT_EQ(o.commInfo.stopBits, 0);
  EXPECT_EQ(DisplayFields(o.display), (std::vector<int32_t>{2, 0, 0, 1, 1, 0, 0, 3, 2, 0, 0, 0}));

  const ReceiverSettings& r = o.receiverSettings;
  EXPECT_EQ(r.changed, 1);
  EXPECT_EQ(r.fixMode, 0);
  EXPECT_EQ(r.fixedTwo, 2);
  EXPECT_EQ(r.trackMode, 1);
  EXPECT_EQ(r.heightReference, 0);
  EXPECT_EQ(r.dynamics, 1);
  EXPECT_EQ(r.reserved12, 0);
  EXPECT_EQ(r.initLatitude, 0.0);
  EXPECT_EQ(r.initLongitude, 0.0);
  EXPECT_EQ(r.reserved32, 0.0);
  EXPECT_EQ(r.altitude2d, 0.0);
  EXPECT_EQ(r.elevationMask, 10);
  EXPECT_EQ(r.signalMask, 4);
  EXPECT_EQ(r.pdopMask, 12);
  EXPECT_EQ(r.pdopSwitch, 5);
  EXPECT_STREQ(r.almanacPath, "C:\\Program Files\\Halvorn\\Pelmora\\tsipalm.dat");
  EXPECT_STREQ(r.nmeaSettingsPath, "");
  for (uint8_t b : r.padding)
    EXPECT_EQ(b, 0);
}

TEST_F(StartupOptionsTest, ReadsEveryStartOptionOnceInTheKeyTablesOrder) {
  LoadStartupOptions(store_, kDir);
  std::vector<std::string> expected;
  for (const OptionKey& key : kOptionKeys) {
    if (key.atStart) expected.push_back(key.name);
  }
  EXPECT_EQ(expected.size(), 30u);
  ASSERT_EQ(backend_.reads.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(backend_.reads[i].second, expected[i]) << i;
    EXPECT_EQ(backend_.reads[i].first, "Pelmora");
  }
  EXPECT_TRUE(backend_.writes.empty());
}

TEST_F(StartupOptionsTest, TheRecordsStartWithAFreshStoresValues) {
  const StartupOptions fresh = LoadStartupOptions(store_, kDir);
  const StartupOptions initial;
  EXPECT_EQ(initial.receiverType, fresh.receiverType);
  EXPECT_EQ(initial.comPort, fresh.comPort);
  EXPECT_EQ(std::memcmp(&initial.commInfo, &fresh.commInfo, sizeof(CommInfo)), 0);
  EXPECT_EQ(DisplayFields(initial.display), DisplayFields(fresh.display));
}

TEST_F(StartupOptionsTest, StoredValuesReachEveryField) {
  const std::pair<const char*, const char*> stored[] = {{"UpdateInterval", "10"},
                                                        {"GpsType", "2"},
                                                        {"ComPort", "7"},
                                                        {"BaudRate", " 9600"},
                                                        {"Parity", "2"},
                                                        {"DataBits", "7"},
                                                        {"StopBits", "1"},
                                                        {"ElevUnits", "1"},
                                                        {"SpeedUnits", "3"},
                                                        {"TrackTrue", "0"},
                                                        {"TimeUTC", "0"},
                                                        {"UTCOffset", "-5"},
                                                        {"Beep", "1"},
                                                        {"GeoFormat", "5"},
                                                        {"GeoPrecision", "$A"},
                                                        {"Minimize", "1"},
                                                        {"OnTop", "1"},
                                                        {"DDEIgnore", "1"},
                                                        {"GPSMode", "4"},
                                                        {"GPSDynamics", "3"},
                                                        {"GPSTrackMode", "0"},
                                                        {"GPSHtReference", "1"},
                                                        {"GPSElevMask", "15"},
                                                        {"GPSSignalMask", "6"},
                                                        {"GPSPDOPMask", "8"},
                                                        {"GPS2DElev", "-120"},
                                                        {"GPSPDOPSwitch", "7"},
                                                        {"GPSInitLat", "-33"},
                                                        {"GPSInitLon", "151"},
                                                        {"GPSNMEASettingsFile", "D:\\a.nsf"}};
  for (const auto& [key, value] : stored)
    Set(key, value);
  const StartupOptions o = LoadStartupOptions(store_, "D:");
  EXPECT_EQ(o.receiverType, 2);
  EXPECT_EQ(o.comPort, 7);
  EXPECT_EQ(o.commInfo.baudRate, 9600);
  EXPECT_EQ(o.commInfo.parity, 2);
  EXPECT_EQ(o.commInfo.dataBits, 7);
  EXPECT_EQ(o.commInfo.stopBits, 1);
  EXPECT_EQ(DisplayFields(o.display),
            (std::vector<int32_t>{10, 1, 3, 0, 0, -5, 1, 5, 10, 1, 1, 1}));
  const ReceiverSettings& r = o.receiverSettings;
  EXPECT_EQ(r.fixMode, 4);
  EXPECT_EQ(r.dynamics, 3);
  EXPECT_EQ(r.trackMode, 0);
  EXPECT_EQ(r.heightReference, 1);
  EXPECT_EQ(r.elevationMask, 15);
  EXPECT_EQ(r.signalMask, 6);
  EXPECT_EQ(r.pdopMask, 8);
  EXPECT_EQ(r.altitude2d, -120.0);
  EXPECT_EQ(r.pdopSwitch, 7);
  EXPECT_EQ(r.initLatitude, -33.0);
  EXPECT_EQ(r.initLongitude, 151.0);
  EXPECT_EQ(r.changed, 1);
  EXPECT_EQ(r.fixedTwo, 2);
  EXPECT_STREQ(r.almanacPath, "D:\\tsipalm.dat");
  EXPECT_STREQ(r.nmeaSettingsPath, "D:\\a.nsf");
}

TEST_F(StartupOptionsTest, SixteenBitFieldsKeepTheLowSixteenBits) {
  Set("BaudRate", "70000");        // 0x11170 -> 0x1170
  Set("Parity", "65537");          // 0x10001 -> 1
  Set("DataBits", "-1");           // 0xFFFF
  Set("StopBits", "$12345678");    // 0x5678
  Set("GPSElevMask", "32768");     // 0x8000 -> -32768
  Set("GPS2DElev", "2147483647");  // doubles take the whole value
  const StartupOptions o = LoadStartupOptions(store_, kDir);
  EXPECT_EQ(o.commInfo.baudRate, 0x1170);
  EXPECT_EQ(o.commInfo.parity, 1);
  EXPECT_EQ(o.commInfo.dataBits, -1);
  EXPECT_EQ(o.commInfo.stopBits, 0x5678);
  EXPECT_EQ(o.receiverSettings.elevationMask, -32768);
  EXPECT_EQ(o.receiverSettings.altitude2d, 2147483647.0);
}

TEST_F(StartupOptionsTest, PathsThatDoNotFitTheirFieldAreLeftEmpty) {
  // The longest value the store reads back is 254 characters; it fits the field.
  Set("GPSNMEASettingsFile", std::string(254, 'n'));
  StartupOptions o = LoadStartupOptions(store_, std::string(256 - 12, 'd'));
  EXPECT_EQ(std::strlen(o.receiverSettings.almanacPath), 256u);
  EXPECT_EQ(std::string(o.receiverSettings.nmeaSettingsPath), std::string(254, 'n'));

  o = LoadStartupOptions(store_, std::string(256 - 11, 'd'));  // one character too long
  EXPECT_STREQ(o.receiverSettings.almanacPath, "");
  EXPECT_EQ(o.receiverSettings.padding[0], 0);
  EXPECT_EQ(std::string(o.receiverSettings.nmeaSettingsPath), std::string(254, 'n'));
}

TEST_F(StartupOptionsTest, EmptyAppDirectoryStillNamesTheAlmanac) {
  const StartupOptions o = LoadStartupOptions(store_, "");
  EXPECT_STREQ(o.receiverSettings.almanacPath, "\\tsipalm.dat");
}

struct PositionCase {
  double lat, lon;
  const char* latText;
  const char* lonText;
};

TEST_F(StartupOptionsTest, StoreStartPosition_TruncatesTowardZeroLatitudeFirst) {
  const PositionCase cases[] = {{-33.87, 151.21, "-33", "151"},
                                {0.0, 0.0, "0", "0"},
                                {-0.99, 0.99, "0", "0"},
                                {89.999, -179.999, "89", "-179"},
                                {-90.0, 180.0, "-90", "180"}};
  for (const PositionCase& c : cases) {
    backend_.writes.clear();
    EXPECT_TRUE(StoreStartPosition(store_, c.lat, c.lon));
    ASSERT_EQ(backend_.writes.size(), 2u);
    EXPECT_EQ(backend_.writes[0].first, "GPSInitLat");
    EXPECT_EQ(backend_.writes[0].second, c.latText);
    EXPECT_EQ(backend_.writes[1].first, "GPSInitLon");
    EXPECT_EQ(backend_.writes[1].second, c.lonText);
  }
  const StartupOptions o = LoadStartupOptions(store_, kDir);
  EXPECT_EQ(o.receiverSettings.initLatitude, -90.0);
  EXPECT_EQ(o.receiverSettings.initLongitude, 180.0);
}

TEST_F(StartupOptionsTest, StoreStartPosition_UnusableCoordinatesWriteNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<double, double> cases[] = {{nan, 0},  {0, nan},   {inf, 0},
                                             {0, -inf}, {1e300, 0}, {0, -181.0}};
  for (const auto& [lat, lon] : cases)
    EXPECT_FALSE(StoreStartPosition(store_, lat, lon));
  EXPECT_TRUE(backend_.writes.empty());
}

}  // namespace
}  // namespace pelmora
