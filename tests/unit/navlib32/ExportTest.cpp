// navdump's export writers on hand-made epochs, and the time range.
#include "app/export/Export.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace navdump {
namespace {

using pelmora::Epoch;

constexpr uint16_t kFull = pelmora::kValidTime | pelmora::kValidPosition |
                           pelmora::kValidGeoidHeight | pelmora::kValidEllipsoidHeight |
                           pelmora::kValidSpeed | pelmora::kValidHeading | pelmora::kValidFixMode |
                           pelmora::kValidGeometry | pelmora::kValidSignal;

// An epoch at seconds of day; date 0: unknown.
Epoch Make(double seconds, uint16_t valid = kFull, int year = 2024, int month = 2, int day = 29) {
  Epoch e{};
  e.fix.validFlags = valid | pelmora::kValidStatus;
  e.fix.fixMode = 3;
  e.fix.utcSeconds = seconds;
  e.fix.latitude = -45.123456789;
  e.fix.longitude = 170.000000001;
  e.fix.ellipsoidHeight = 16.25;
  e.fix.geoidHeight = 2.5;
  e.fix.speed = 1e-9;  // prints as 0.000, never in exponent form
  e.fix.trueHeading = 359.94;
  e.fix.pdop = 1.5f;
  e.fix.satCount = 7;
  e.satCount = 1;
  e.sats[0] = {0, 5, 40, 120, 44, 1};
  if (year != 0) {
    e.flags = pelmora::kEpochHasDate;
    e.utcYear = static_cast<int16_t>(year);
    e.utcMonth = static_cast<int16_t>(month);
    e.utcDay = static_cast<int16_t>(day);
  }
  return e;
}

const Epoch kNoFix = Make(5.0, pelmora::kValidTime);

std::string Export(ExportFormat format, const std::vector<Epoch>& epochs) {
  std::string out;
  const auto writer = MakeExportWriter(format);
  writer->Begin(out);
  for (const Epoch& e : epochs)
    writer->Add(e, out);
  writer->End(out);
  return out;
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++n;
  return n;
}

struct FormatCase {
  const char* name;
  ExportFormat format;
  std::vector<Epoch> epochs;
  std::vector<std::pair<std::string, int>> counts;  // text, times it occurs
};

TEST(Export, EachFormatOnEdgeCases) {
  const Epoch noHeight =
      Make(1.0, kFull & ~(pelmora::kValidGeoidHeight | pelmora::kValidEllipsoidHeight));
  const Epoch undated = Make(43200.5, kFull, 0);
  const std::vector<FormatCase> cases = {
      {"gpx: gap splits the segment; no date, no time",
       ExportFormat::Gpx,
       {Make(0.0), kNoFix, Make(2.0), undated},
       {{"<trkpt lat=\"-45.12345679\" lon=\"170.00000000\">", 3},
        {"</trkseg><trkseg>", 1},
        {"<time>2024-02-29T00:00:00.000Z</time>", 1},
        {"<time>", 2},
        {"<ele>2.500</ele>", 3},
        {"</gpx>", 1}}},
      {"gpx: no height, no elevation", ExportFormat::Gpx, {noHeight}, {{"<ele>", 0}}},
      {"kml: one line across a gap",
       ExportFormat::Kml,
       {Make(0.0), noHeight, kNoFix, Make(3.0)},
       {{"<LineString>", 1},
        {"<coordinates>\n170.000000001,-45.123456789,2.500\n170.000000001,-45.123456789\n170.", 1},
        {"<Point>", 0},
        {"</coordinates></LineString></Placemark>\n</Document>\n</kml>\n", 1}}},
      {"kml: a lone position",
       ExportFormat::Kml,
       {kNoFix, Make(0.0)},
       {{"<Point><altitudeMode>absolute</altitudeMode><coordinates>170.000000001,-45.123456789,"
         "2.500</coordinates></Point>",
         1},
        {"<LineString>", 0}}},
      {"kml: nothing to draw", ExportFormat::Kml, {kNoFix}, {{"<Placemark>", 0}, {"</kml>", 1}}},
      {"csv: header, rows for positions only, empty unknowns",
       ExportFormat::Csv,
       {Make(86400.5), kNoFix, noHeight, undated},
       {{"time,latitude,longitude,ellipsoid_height_m,msl_height_m,speed_mps,heading_deg,"
         "fix_mode,sats_used,pdop\n",
         1},
        {"2024-02-29T23:59:60.500Z,-45.123456789,170.000000001,16.250,2.500,0.000,359.94,3D,7,"
         "1.50\n",
         1},
        {"T00:00:01.000Z,-45.123456789,170.000000001,,,0.000,", 1},
        {"\n12:00:00.500,-45.", 1},
        {"\n", 4}}},
      {"geojson: points with properties; height only when known",
       ExportFormat::GeoJson,
       {Make(86399.9996), kNoFix, noHeight, undated},
       {{"{\"type\":\"FeatureCollection\",\"features\":[\n", 1},
        {"\"coordinates\":[170.000000001,-45.123456789,16.250]", 2},
        {"\"coordinates\":[170.000000001,-45.123456789]}", 1},
        {"\"time\":\"12:00:00.500\"", 1},
        {"\"time\":\"2024-02-29T23:59:59.999Z\"", 1},
        {"\"mslHeight\":null", 1},
        {"\"fixMode\":\"3D\",\"satsUsed\":7,\"pdop\":1.50}}", 3},
        {"}},\n{", 2},
        {"\n]}\n", 1}}},
      {"geojson: empty collection", ExportFormat::GeoJson, {}, {{"\"features\":[\n]}\n", 1}}},
      {"nmea: every epoch with data, none without",
       ExportFormat::Nmea,
       {Make(0.0), Make(1.0, 0), undated},
       {{"$GPGGA,000000.00,4507.40741,S,17000.00000,E,1,07,,2.5,M,13.8,M,,*", 1},
        {"$GPRMC,000000.00,A,4507.40741,S,17000.00000,E,0.00,359.9,290224,,,A*", 1},
        {"$GPRMC,120000.50,A,4507.40741,S,17000.00000,E,0.00,359.9,,,,A*", 1},
        {"$GPGSA,A,3,05,", 2},
        {"$GPGSV,1,1,01,05,40,120,44*", 2},
        {"$GPVTG,", 2}}},
  };
  for (const FormatCase& c : cases) {
    const std::string text = Export(c.format, c.epochs);
    for (const auto& [part, times] : c.counts)
      EXPECT_EQ(Count(text, part), times) << c.name << ": " << part << "\n" << text;
  }
}

TEST(Export, FormatNames) {
  EXPECT_EQ(ParseExportFormat("geojson"), ExportFormat::GeoJson);
  EXPECT_EQ(ParseExportFormat("nmea"), ExportFormat::Nmea);
  EXPECT_FALSE(ParseExportFormat("GPX"));
  EXPECT_FALSE(ParseExportFormat(""));
}

TEST(Export, TimeBounds) {
  struct Case {
    const char* text;
    bool ok, dated;
    int64_t micros;
  };
  constexpr int64_t kDay20240229 = 19782LL * 86400 * 1000000;
  const Case cases[] = {
      {"00:00:00", true, false, 0},
      {"23:59:60.5", true, false, 86400500000},
      {"12:34:56.000001Z", true, false, 45296000001},
      {"2024-02-29T00:00:01.25", true, true, kDay20240229 + 1250000},
      {"1970-01-01T00:00:00", false, false, 0},  // before GPS time
      {"2023-02-29T00:00:00", false, false, 0},
      {"24:00:00", false, false, 0},
      {"12:60:00", false, false, 0},
      {"12:00:61", false, false, 0},
      {"12:00:00.", false, false, 0},
      {"12:00:00.1234567", false, false, 0},
      {"12:00", false, false, 0},
      {"12:00:00 ", false, false, 0},
      {"2024-02-29 12:00:00", false, false, 0},
      {"", false, false, 0},
  };
  for (const Case& c : cases) {
    const auto bound = ParseTimeBound(c.text);
    ASSERT_EQ(bound.has_value(), c.ok) << c.text;
    if (!bound) continue;
    EXPECT_EQ(bound->dated, c.dated) << c.text;
    EXPECT_EQ(bound->micros, c.micros) << c.text;
  }
}

TEST(Export, TimeRangeIncludesBothEnds) {
  const auto at = [](const char* text) { return ParseTimeBound(text); };
  struct Case {
    const char* name;
    TimeRange range;
    Epoch epoch;
    bool in;
  };
  const Case cases[] = {
      {"no range", {}, Make(1.0, 0), true},
      {"start included", {at("10:00:00"), at("10:00:05")}, Make(36000.0), true},
      {"end included", {at("10:00:00"), at("10:00:05")}, Make(36005.0), true},
      {"just after", {at("10:00:00"), at("10:00:05")}, Make(36005.001), false},
      {"just before", {at("10:00:00.5"), {}}, Make(36000.4), false},
      {"time of day on any date", {at("10:00:00"), {}}, Make(36000.0, kFull, 1999, 1, 1), true},
      {"undated epoch, time of day", {{}, at("10:00:00")}, Make(100.0, kFull, 0), true},
      {"undated epoch, dated end", {at("2024-02-29T00:00:00"), {}}, Make(100.0, kFull, 0), false},
      {"dated, next day", {{}, at("2024-02-29T23:59:59")}, Make(0.0, kFull, 2024, 3, 1), false},
      {"dated, same day", {at("2024-02-29T23:59:59"), {}}, Make(86399.0), true},
      {"no time", {at("00:00:00"), {}}, Make(1.0, pelmora::kValidPosition), false},
      {"wraps midnight, after", {at("23:00:00"), at("01:00:00")}, Make(86000.0), true},
      {"wraps midnight, before", {at("23:00:00"), at("01:00:00")}, Make(3600.0), true},
      {"wraps midnight, outside", {at("23:00:00"), at("01:00:00")}, Make(3601.0), false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.range.Contains(c.epoch), c.in) << c.name;
}

}  // namespace
}  // namespace navdump
