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

// The options from UpdateInterval to DDEIgnore, in the key table's order.
std::vector<int32_t> IntFields(const StartupOptions& o) {
  const DisplayOptions& d = o.display;
  const CommInfo& c = o.commInfo;
  return {d.updateInterval, o.receiverType, o.comPort,      c.baudRate,  c.parity,  c.dataBits,
          c.stopBits,       d.elevUnits,    d.speedUnits,   d.trackTrue, d.timeUtc, d.utcOffset,
          d.beep,           d.geoFormat,    d.geoPrecision, d.minimize,  d.onTop,   d.ddeIgnore};
}

// The receiver options from GPSMode to GPSInitLon, in the key table's order.
std::vector<double> ReceiverFields(const ReceiverSettings& r) {
  return {static_cast<double>(r.fixMode),
          static_cast<double>(r.dynamics),
          static_cast<double>(r.trackMode),
          static_cast<double>(r.heightReference),
          static_cast<double>(r.elevationMask),
          static_cast<double>(r.signalMask),
          static_cast<double>(r.pdopMask),
          r.altitude2d,
          static_cast<double>(r.pdopSwitch),
          r.initLatitude,
          r.initLongitude};
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
  EXPECT_EQ(IntFields(o),
            (std::vector<int32_t>{2, 1, 1, 4800, 0, 8, 0, 0, 0, 1, 1, 0, 0, 3, 2, 0, 0, 0}));

  const ReceiverSettings& r = o.receiverSettings;
  EXPECT_EQ(ReceiverFields(r), (std::vector<double>{0, 1, 1, 0, 10, 4, 12, 0, 5, 0, 0}));
  EXPECT_EQ(r.changed, 1);
  EXPECT_EQ(r.fixedTwo, 2);
  EXPECT_EQ(r.reserved12, 0);
  EXPECT_EQ(r.reserved32, 0.0);
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
  EXPECT_EQ(IntFields(StartupOptions{}), IntFields(fresh));
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
  EXPECT_EQ(IntFields(o),
            (std::vector<int32_t>{10, 2, 7, 9600, 2, 7, 1, 1, 3, 0, 0, -5, 1, 5, 10, 1, 1, 1}));
  const ReceiverSettings& r = o.receiverSettings;
  EXPECT_EQ(ReceiverFields(r), (std::vector<double>{4, 3, 0, 1, 15, 6, 8, -120, 7, -33, 151}));
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
