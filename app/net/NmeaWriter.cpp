// NMEA sentence writers. Numbers are formatted with snprintf's "C" conventions ('.' decimal
// point); non-finite values are written as empty fields.
#include "app/net/NmeaWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pelmora::net {
namespace {

constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;
constexpr double kKmhPerMetrePerSecond = 3.6;
constexpr int kSatsPerGsv = 4;
constexpr int kMaxGsvSentences = 9;  // the sentence count is one digit
constexpr int kSatsPerGsa = 12;

bool Has(const FixRecord& fix, uint16_t bits) {
  return (fix.validFlags & bits) == bits;
}

void Field(std::string& body) {
  body += ',';
}

void Number(std::string& body, double value, int decimals) {
  body += ',';
  if (!std::isfinite(value)) return;
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  body += text;
}

void Int(std::string& body, int value, int width) {
  char text[48];
  std::snprintf(text, sizeof text, ",%0*d", width, value);
  body += text;
}

// hhmmss.ss of the UTC time of day; empty when invalid.
void Time(std::string& body, const FixRecord& fix) {
  body += ',';
  const double t = fix.utcSeconds;
  if (!Has(fix, kValidTime) || !std::isfinite(t) || t < 0 || t >= 86400.0) return;
  // Round to the hundredth first so that 59.999 becomes the next minute, not "59.100".
  const long long centis = std::llround(t * 100.0) % (86400LL * 100);
  char text[48];
  std::snprintf(text, sizeof text, "%02lld%02lld%02lld.%02lld", centis / 360000, centis / 6000 % 60,
                centis / 100 % 60, centis % 100);
  body += text;
}

// ddmm.mmmmm,N or dddmm.mmmmm,E; both empty when invalid.
void Coordinate(std::string& body, double degrees, bool latitude, bool valid) {
  const double limit = latitude ? 90.0 : 180.0;
  if (!valid || !std::isfinite(degrees) || std::fabs(degrees) > limit) {
    body += ",,";
    return;
  }
  const char hemisphere = latitude ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E');
  // Whole minutes in units of 1e-5, rounded once, so that 59.999995' carries into the degrees.
  const long long units = std::llround(std::fabs(degrees) * 60.0 * 100000.0);
  const long long deg = units / (60LL * 100000);
  const long long minUnits = units % (60LL * 100000);
  char text[40];
  std::snprintf(text, sizeof text, ",%0*lld%02lld.%05lld,%c", latitude ? 2 : 3, deg,
                minUnits / 100000, minUnits % 100000, hemisphere);
  body += text;
}

// FAA mode indicator of RMC and VTG: A autonomous, D differential, N no fix.
char ModeIndicator(const FixRecord& fix) {
  if (!HasFix(fix)) return 'N';
  return Differential(fix) ? 'D' : 'A';
}

const char* Talker(Gnss system) {
  switch (system) {
    case Gnss::Glonass:
      return "GL";
    case Gnss::Galileo:
      return "GA";
    case Gnss::Beidou:
      return "GB";
    case Gnss::Qzss:
      return "GQ";
    case Gnss::Navic:
      return "GI";
    case Gnss::Gps:
    case Gnss::Sbas:
      break;
  }
  return "GP";
}

// The number a satellite has in NMEA sentences: SBAS 33..64, GLONASS 65..96, the others their
// number within the system under their own talker.
int NmeaNumber(const SkySatellite& s) {
  if (s.system == Gnss::Sbas) return s.svid >= 120 ? s.svid - 87 : s.svid;
  if (s.system == Gnss::Glonass) return s.svid <= 32 ? s.svid + 64 : s.svid;
  return s.svid;
}

}  // namespace

void WriteGga(std::string& out, const FixRecord& fix) {
  std::string b = "GPGGA";
  Time(b, fix);
  const bool position = Has(fix, kValidPosition);
  Coordinate(b, fix.latitude, true, position);
  Coordinate(b, fix.longitude, false, position);
  b += HasFix(fix) ? (Differential(fix) ? ",2" : ",1") : ",0";
  Int(b, std::clamp<int>(fix.satCount, 0, 99), 2);
  Field(b);  // HDOP: the record has PDOP only
  const bool msl = Has(fix, kValidGeoidHeight);
  const bool hae = Has(fix, kValidEllipsoidHeight);
  if (msl)
    Number(b, fix.geoidHeight, 1);
  else
    Field(b);
  b += ",M";
  if (msl && hae)
    Number(b, fix.ellipsoidHeight - fix.geoidHeight, 1);
  else
    Field(b);
  b += ",M,,";  // no differential age or station
  AppendSentence(out, b);
}

void WriteRmc(std::string& out, const FixRecord& fix, std::optional<CivilDate> date) {
  std::string b = "GPRMC";
  Time(b, fix);
  b += HasFix(fix) ? ",A" : ",V";
  const bool position = Has(fix, kValidPosition);
  Coordinate(b, fix.latitude, true, position);
  Coordinate(b, fix.longitude, false, position);
  if (Has(fix, kValidSpeed))
    Number(b, fix.speed * kKnotsPerMetrePerSecond, 2);
  else
    Field(b);
  if (Has(fix, kValidHeading))
    Number(b, fix.trueHeading, 1);
  else
    Field(b);
  if (date) {
    char text[48];
    std::snprintf(text, sizeof text, ",%02d%02d%02d", date->day, date->month, date->year % 100);
    b += text;
  } else {
    Field(b);
  }
  // Variation east is positive; the record's magVariation is the opposite (magnetic = true + it).
  const double east = -fix.magVariation;
  if (fix.magVariation != 0.0 && std::isfinite(east)) {
    Number(b, std::fabs(east), 1);
    b += east < 0 ? ",W" : ",E";
  } else {
    b += ",,";
  }
  b += ',';
  b += ModeIndicator(fix);
  AppendSentence(out, b);
}

void WriteGsa(std::string& out, const FixRecord& fix, const std::vector<SkySatellite>& sats) {
  std::vector<int> used;
  for (const SkySatellite& s : sats)
    if (s.used) used.push_back(NmeaNumber(s));
  const char mode = static_cast<char>('0' + FixDimension(fix));
  std::size_t next = 0;
  do {
    std::string b = "GPGSA,A,";
    b += mode;
    for (int i = 0; i < kSatsPerGsa; ++i, ++next) {
      if (next < used.size())
        Int(b, used[next], 2);
      else
        Field(b);
    }
    if (Has(fix, kValidGeometry) && fix.pdop > 0)
      Number(b, fix.pdop, 1);
    else
      Field(b);
    b += ",,";  // HDOP, VDOP
    AppendSentence(out, b);
  } while (next < used.size());
}

void WriteGsv(std::string& out, const FixRecord& fix, const std::vector<SkySatellite>& sats) {
  const bool geometry = Has(fix, kValidGeometry);
  const bool signal = Has(fix, kValidSignal);
  if (!geometry && !signal) return;
  for (const char* talker : {"GP", "GL", "GA", "GB", "GQ"}) {
    std::vector<const SkySatellite*> group;
    for (const SkySatellite& s : sats)
      if (std::string_view(Talker(s.system)) == talker &&
          group.size() < std::size_t{kSatsPerGsv * kMaxGsvSentences})
        group.push_back(&s);
    // GPS always reports its view, empty or not; other systems only when they have one.
    if (group.empty() && std::string_view(talker) != "GP") continue;
    const int total =
        std::max<int>(1, (static_cast<int>(group.size()) + kSatsPerGsv - 1) / kSatsPerGsv);
    for (int n = 0; n < total; ++n) {
      std::string b = talker;
      b += "GSV";
      char head[40];
      std::snprintf(head, sizeof head, ",%d,%d,%02d", total, n + 1, static_cast<int>(group.size()));
      b += head;
      for (std::size_t i = n * kSatsPerGsv; i < group.size() && i < (n + 1u) * kSatsPerGsv; ++i) {
        const SkySatellite& s = *group[i];
        Int(b, NmeaNumber(s), 2);
        if (geometry) {
          Int(b, std::clamp(s.elevation, -90, 90), 2);
          Int(b, ((s.azimuth % 360) + 360) % 360, 3);
        } else {
          b += ",,";
        }
        if (signal && s.snr > 0)
          Int(b, std::clamp(s.snr, 0, 99), 2);
        else
          Field(b);
      }
      AppendSentence(out, b);
    }
  }
}

void WriteVtg(std::string& out, const FixRecord& fix) {
  std::string b = "GPVTG";
  if (Has(fix, kValidHeading)) {
    Number(b, fix.trueHeading, 1);
    b += ",T";
    if (fix.magVariation != 0.0)
      Number(b, std::fmod(fix.trueHeading + fix.magVariation + 360.0, 360.0), 1);
    else
      Field(b);
    b += ",M";
  } else {
    b += ",,T,,M";
  }
  if (Has(fix, kValidSpeed)) {
    Number(b, fix.speed * kKnotsPerMetrePerSecond, 2);
    b += ",N";
    Number(b, fix.speed * kKmhPerMetrePerSecond, 2);
    b += ",K";
  } else {
    b += ",,N,,K";
  }
  b += ',';
  b += ModeIndicator(fix);
  AppendSentence(out, b);
}

std::string WriteNmeaEpoch(const FixRecord& fix, std::optional<CivilDate> date,
                           const std::vector<SkySatellite>& sats) {
  std::string out;
  if (!HoldsData(fix)) return out;
  WriteGga(out, fix);
  WriteRmc(out, fix, date);
  WriteGsa(out, fix, sats);
  WriteGsv(out, fix, sats);
  WriteVtg(out, fix);
  return out;
}

}  // namespace pelmora::net
