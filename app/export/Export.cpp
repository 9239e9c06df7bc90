// The export writers and the time range.
#include "app/export/Export.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "app/export/FixJson.h"
#include "app/net/FixEpoch.h"
#include "app/net/NmeaWriter.h"
#include "navlib32/Calendar.h"

namespace navdump {
namespace {

using pelmora::Epoch;
using pelmora::FixRecord;

constexpr int64_t kMicrosPerSecond = 1000000;
constexpr int64_t kMicrosPerDay = 86400 * kMicrosPerSecond;
// Heights, speeds and headings beyond this are not a receiver's: written as missing.
constexpr double kMaxMagnitude = 1e7;

bool Has(const FixRecord& fix, uint16_t bits) {
  return (fix.validFlags & bits) == bits;
}

bool HasPosition(const FixRecord& fix) {
  return Has(fix, pelmora::kValidPosition) && std::isfinite(fix.latitude) &&
         std::isfinite(fix.longitude) && std::fabs(fix.latitude) <= 90.0 &&
         std::fabs(fix.longitude) <= 180.0;
}

// The value when its bit is set and it is a plausible number.
std::optional<double> Value(const FixRecord& fix, uint16_t bit, double value) {
  if (!Has(fix, bit) || !std::isfinite(value) || std::fabs(value) >= kMaxMagnitude) return {};
  return value;
}

bool ValidDate(int year, int month, int day) {
  return year >= 1980 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= navlib::DaysInMonth(year, month);
}

std::optional<int64_t> TimeOfDayMicros(const FixRecord& fix) {
  const double t = fix.utcSeconds;
  if (!Has(fix, pelmora::kValidTime) || !std::isfinite(t) || t < 0.0 || t >= 86401.0) return {};
  return std::llround(t * kMicrosPerSecond);
}

bool HasDate(const Epoch& e) {
  return (e.flags & pelmora::kEpochHasDate) && ValidDate(e.utcYear, e.utcMonth, e.utcDay);
}

// Text helpers appending to a std::string.
void Put(std::string& out, std::string_view text) {
  out.append(text);
}

void PutInt(std::string& out, long long value) {
  char text[24];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void PutDigits(std::string& out, long long value, int width) {
  char text[24];
  char* end = std::to_chars(text, text + sizeof text, value).ptr;
  for (long n = end - text; n < width; ++n)
    out += '0';
  out.append(text, end);
}

// Fixed notation; callers pass finite values below kMaxMagnitude (or coordinates).
void PutFixed(std::string& out, double value, int decimals) {
  char text[48];
  out.append(
      text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr);
}

// ISO 8601 UTC ("2024-02-29T23:59:58.250Z") when the date is known, else the time of day
// ("23:59:58.250"); false (nothing written) without a valid time.
bool PutTime(std::string& out, const Epoch& e) {
  const std::optional<int64_t> micros = TimeOfDayMicros(e.fix);
  if (!micros) return false;
  // Rounded to the millisecond, never into the next day; 86400.x is a leap second, 23:59:60.x.
  long long millis = (*micros + 500) / 1000;
  if (*micros < kMicrosPerDay) millis = std::min(millis, 86399999LL);
  if (HasDate(e)) {
    PutDigits(out, e.utcYear, 4);
    out += '-';
    PutDigits(out, e.utcMonth, 2);
    out += '-';
    PutDigits(out, e.utcDay, 2);
    out += 'T';
  }
  const long long minute = std::min(millis / 60000, 1439LL);  // a leap second ends minute 1439
  const long long secondMillis = millis - minute * 60000;
  PutDigits(out, minute / 60, 2);
  out += ':';
  PutDigits(out, minute % 60, 2);
  out += ':';
  PutDigits(out, secondMillis / 1000, 2);
  out += '.';
  PutDigits(out, secondMillis % 1000, 3);
  if (HasDate(e)) out += 'Z';
  return true;
}

const char* FixModeName(const FixRecord& fix) {
  if (!Has(fix, pelmora::kValidFixMode)) return nullptr;
  switch (fix.fixMode) {
    case 2:
      return "2D";
    case 3:
      return "3D";
    case 4:
      return "2D-DGPS";
    case 5:
      return "3D-DGPS";
    default:
      return "none";
  }
}

std::optional<double> Pdop(const FixRecord& fix) {
  if (!Has(fix, pelmora::kValidGeometry) || !std::isfinite(fix.pdop) || fix.pdop <= 0.0f ||
      fix.pdop >= 1000.0f) {
    return {};
  }
  return fix.pdop;
}

class GpxWriter : public ExportWriter {
 public:
  void Begin(std::string& out) override { Put(out, GpxHeader()); }
  void Add(const Epoch& e, std::string& out) override {
    if (!HasPosition(e.fix)) {
      gap_ = points_ > 0;
      return;
    }
    if (gap_) Put(out, "</trkseg><trkseg>\n");
    gap_ = false;
    ++points_;
    UtcDate date;
    if (HasDate(e)) date = {e.utcYear, e.utcMonth, e.utcDay};
    char text[kMaxGpxPoint];
    out.append(text, FormatGpxPoint(e.fix, date, text));
  }
  void End(std::string& out) override { Put(out, GpxFooter()); }

 private:
  long long points_ = 0;
  bool gap_ = false;
};

// One Placemark holding every position as a LineString (a gap in the fix is bridged: GPSBabel
// reads no lone Point placemark back, and a LineString needs two positions); a Point when the
// export holds one position only. The first position waits until the second comes.
class KmlWriter : public ExportWriter {
 public:
  void Begin(std::string& out) override {
    Put(out,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>navdump</name>\n");
  }
  void Add(const Epoch& e, std::string& out) override {
    if (!HasPosition(e.fix)) return;
    if (points_++ == 0) {
      Coordinates(e.fix, first_);
      return;
    }
    if (points_ == 2) {
      Put(out, "<Placemark><name>Track</name><LineString><altitudeMode>absolute</altitudeMode>");
      Put(out, "<coordinates>\n");
      out += first_;
      out += '\n';
    }
    Coordinates(e.fix, out);
    out += '\n';
  }
  void End(std::string& out) override {
    if (points_ == 1) {
      Put(out, "<Placemark><name>Track</name><Point><altitudeMode>absolute</altitudeMode>");
      Put(out, "<coordinates>");
      out += first_;
      Put(out, "</coordinates></Point></Placemark>\n");
    } else if (points_ > 1) {
      Put(out, "</coordinates></LineString></Placemark>\n");
    }
    Put(out, "</Document>\n</kml>\n");
  }

 private:
  // lon,lat[,height above mean sea level]
  static void Coordinates(const FixRecord& fix, std::string& out) {
    PutFixed(out, fix.longitude, 9);
    out += ',';
    PutFixed(out, fix.latitude, 9);
    if (const auto msl = Value(fix, pelmora::kValidGeoidHeight, fix.geoidHeight)) {
      out += ',';
      PutFixed(out, *msl, 3);
    }
  }

  std::string first_;
  long long points_ = 0;
};

void PutOptional(std::string& out, std::optional<double> value, int decimals) {
  if (value) PutFixed(out, *value, decimals);
}

class CsvWriter : public ExportWriter {
 public:
  void Begin(std::string& out) override {
    Put(out,
        "time,latitude,longitude,ellipsoid_height_m,msl_height_m,speed_mps,heading_deg,fix_mode,"
        "sats_used,pdop\n");
  }
  void Add(const Epoch& e, std::string& out) override {
    const FixRecord& f = e.fix;
    if (!HasPosition(f)) return;
    PutTime(out, e);
    out += ',';
    PutFixed(out, f.latitude, 9);
    out += ',';
    PutFixed(out, f.longitude, 9);
    out += ',';
    PutOptional(out, Value(f, pelmora::kValidEllipsoidHeight, f.ellipsoidHeight), 3);
    out += ',';
    PutOptional(out, Value(f, pelmora::kValidGeoidHeight, f.geoidHeight), 3);
    out += ',';
    PutOptional(out, Value(f, pelmora::kValidSpeed, f.speed), 3);
    out += ',';
    PutOptional(out, Value(f, pelmora::kValidHeading, f.trueHeading), 2);
    out += ',';
    if (const char* mode = FixModeName(f)) Put(out, mode);
    out += ',';
    PutInt(out, f.satCount);
    out += ',';
    PutOptional(out, Pdop(f), 2);
    out += '\n';
  }
  void End(std::string&) override {}
};

// A FeatureCollection of Point features, one per position, with the epoch's values as
// properties (null when unknown). The third coordinate is the ellipsoid height, as RFC 7946
// defines it.
class GeoJsonWriter : public ExportWriter {
 public:
  void Begin(std::string& out) override {
    Put(out, "{\"type\":\"FeatureCollection\",\"features\":[");
  }
  void Add(const Epoch& e, std::string& out) override {
    const FixRecord& f = e.fix;
    if (!HasPosition(f)) return;
    Put(out, first_ ? "\n" : ",\n");
    first_ = false;
    Put(out, "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[");
    PutFixed(out, f.longitude, 9);
    out += ',';
    PutFixed(out, f.latitude, 9);
    const auto hae = Value(f, pelmora::kValidEllipsoidHeight, f.ellipsoidHeight);
    if (hae) {
      out += ',';
      PutFixed(out, *hae, 3);
    }
    Put(out, "]},\"properties\":{\"time\":");
    out += '"';
    if (!PutTime(out, e)) {
      out.pop_back();
      Put(out, "null");
    } else {
      out += '"';
    }
    Property(out, "ellipsoidHeight", hae, 3);
    Property(out, "mslHeight", Value(f, pelmora::kValidGeoidHeight, f.geoidHeight), 3);
    Property(out, "speed", Value(f, pelmora::kValidSpeed, f.speed), 3);
    Property(out, "heading", Value(f, pelmora::kValidHeading, f.trueHeading), 2);
    Put(out, ",\"fixMode\":");
    if (const char* mode = FixModeName(f)) {
      out += '"';
      Put(out, mode);
      out += '"';
    } else {
      Put(out, "null");
    }
    Put(out, ",\"satsUsed\":");
    PutInt(out, f.satCount);
    Property(out, "pdop", Pdop(f), 2);
    Put(out, "}}");
  }
  void End(std::string& out) override { Put(out, "\n]}\n"); }

 private:
  static void Property(std::string& out, const char* name, std::optional<double> value,
                       int decimals) {
    Put(out, ",\"");
    Put(out, name);
    Put(out, "\":");
    if (value)
      PutFixed(out, *value, decimals);
    else
      Put(out, "null");
  }
  bool first_ = true;
};

// The fix server's sentence writer, on every epoch that holds data.
class NmeaExportWriter : public ExportWriter {
 public:
  void Begin(std::string&) override {}
  void Add(const Epoch& e, std::string& out) override {
    if (!pelmora::net::HoldsData(e.fix)) return;
    const pelmora::net::FixEpoch epoch = pelmora::net::FixEpochOf(e, {});
    pelmora::net::WriteGga(out, epoch.fix);
    pelmora::net::WriteRmc(out, epoch.fix, epoch.date);
    pelmora::net::WriteGsa(out, epoch.fix, epoch.satellites);
    pelmora::net::WriteGsv(out, epoch.fix, epoch.satellites);
    pelmora::net::WriteVtg(out, epoch.fix);
  }
  void End(std::string&) override {}
};

// Reads exactly n digits at text[pos]; advances pos.
std::optional<int> Digits(std::string_view text, std::size_t& pos, std::size_t n) {
  if (text.size() < pos + n) return {};
  int value = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const char c = text[pos + i];
    if (c < '0' || c > '9') return {};
    value = value * 10 + (c - '0');
  }
  pos += n;
  return value;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

}  // namespace

std::optional<ExportFormat> ParseExportFormat(std::string_view name) {
  if (name == "gpx") return ExportFormat::Gpx;
  if (name == "kml") return ExportFormat::Kml;
  if (name == "csv") return ExportFormat::Csv;
  if (name == "geojson") return ExportFormat::GeoJson;
  if (name == "nmea") return ExportFormat::Nmea;
  return {};
}

std::optional<TimeBound> ParseTimeBound(std::string_view text) {
  if (!text.empty() && text.back() == 'Z') text.remove_suffix(1);
  std::size_t pos = 0;
  TimeBound bound;
  int64_t days = 0;
  if (text.size() > 10 && text[10] == 'T') {
    const auto year = Digits(text, pos, 4);
    if (!year || !Expect(text, pos, '-')) return {};
    const auto month = Digits(text, pos, 2);
    if (!month || !Expect(text, pos, '-')) return {};
    const auto day = Digits(text, pos, 2);
    if (!day || !Expect(text, pos, 'T') || !ValidDate(*year, *month, *day)) return {};
    bound.dated = true;
    days = navlib::DaysFromCivil(*year, *month, *day);
  }
  const auto hours = Digits(text, pos, 2);
  if (!hours || !Expect(text, pos, ':')) return {};
  const auto minutes = Digits(text, pos, 2);
  if (!minutes || !Expect(text, pos, ':')) return {};
  const auto seconds = Digits(text, pos, 2);
  if (!seconds || *hours > 23 || *minutes > 59 || *seconds > 60) return {};
  int64_t micros = 0;
  if (pos < text.size()) {
    if (!Expect(text, pos, '.')) return {};
    const std::size_t decimals = text.size() - pos;
    if (decimals == 0 || decimals > 6) return {};
    const auto fraction = Digits(text, pos, decimals);
    if (!fraction) return {};
    micros = *fraction;
    for (std::size_t i = decimals; i < 6; ++i)
      micros *= 10;
  }
  bound.micros = days * kMicrosPerDay +
                 ((*hours * 60LL + *minutes) * 60 + *seconds) * kMicrosPerSecond + micros;
  return bound;
}

bool TimeRange::Contains(const Epoch& e) const {
  if (!from && !to) return true;
  const std::optional<int64_t> timeOfDay = TimeOfDayMicros(e.fix);
  if (!timeOfDay) return false;
  const bool dated = HasDate(e);
  const int64_t absolute =
      dated ? navlib::DaysFromCivil(e.utcYear, e.utcMonth, e.utcDay) * kMicrosPerDay + *timeOfDay
            : 0;
  if (from && to && !from->dated && !to->dated && from->micros > to->micros)
    return *timeOfDay >= from->micros || *timeOfDay <= to->micros;
  for (const auto* bound : {&from, &to}) {
    if (!*bound) continue;
    if ((*bound)->dated && !dated) return false;
    const int64_t value = (*bound)->dated ? absolute : *timeOfDay;
    if (bound == &from ? value < (*bound)->micros : value > (*bound)->micros) return false;
  }
  return true;
}

std::unique_ptr<ExportWriter> MakeExportWriter(ExportFormat format) {
  switch (format) {
    case ExportFormat::Gpx:
      return std::make_unique<GpxWriter>();
    case ExportFormat::Kml:
      return std::make_unique<KmlWriter>();
    case ExportFormat::Csv:
      return std::make_unique<CsvWriter>();
    case ExportFormat::GeoJson:
      return std::make_unique<GeoJsonWriter>();
    case ExportFormat::Nmea:
      return std::make_unique<NmeaExportWriter>();
  }
  return nullptr;
}

}  // namespace navdump
