// NMEA 0183 (version 2.3 style, talker GP) for one simulated epoch: GGA, GSA, GSV, RMC, VTG, ZDA,
// in the order many receivers use. Numbers are written with std::to_chars, so the output never
// depends on the C locale.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "navlib32/nmea/NmeaChecksum.h"
#include "tools/gpssim/Simulator.h"

namespace gpssim {
namespace {

constexpr double kKnotsPerMps = 3600.0 / 1852.0;
constexpr int kSatsPerGsv = 4;

// Concatenation by appending (chains of operator+ trip a false -Wrestrict in GCC 12).
template <class... Parts>
std::string Cat(const Parts&... parts) {
  std::string s;
  (s.append(std::string_view(parts)), ...);
  return s;
}

std::string Fixed(double value, int decimals) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  return std::string(buf, r.ptr);
}

std::string Padded(long long value, int width) {
  std::string s = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), '0');
  if (value < 0) s.insert(s.begin(), '-');
  return s;
}

// ddmm.mmmmm (latitude) or dddmm.mmmmm (longitude) and the hemisphere letter.
std::string Angle(double deg, int degreeDigits, char positive, char negative) {
  constexpr long long kScale = 100000;  // five decimals of a minute: about 2 cm
  const long long total = std::llround(std::fabs(deg) * 60.0 * kScale);
  const long long whole = total / (60 * kScale);
  const long long rem = total % (60 * kScale);
  return Cat(Padded(whole, degreeDigits), Padded(rem / kScale, 2), ".", Padded(rem % kScale, 5),
             ",", std::string(1, deg < 0 ? negative : positive));
}

std::string Time(const Epoch& e) {
  const long long s = std::llround(e.utcSecondsOfDay);
  return Cat(Padded(s / 3600, 2), Padded(s / 60 % 60, 2), Padded(s % 60, 2), ".00");
}

double Wrap360(double deg) {
  double r = std::fmod(deg, 360.0);
  return r < 0 ? r + 360.0 : r;
}

}  // namespace

std::string EncodeNmea(const Epoch& e, int badChecksumEvery, int* sentenceCounter, bool* damaged) {
  std::string out;
  auto emit = [&](const std::string& body) {
    std::string s = navlib::nmea::NmeaSentenceOf(body);
    ++*sentenceCounter;
    if (badChecksumEvery > 0 && *sentenceCounter % badChecksumEvery == 0) {
      // Replace the last checksum digit: still a hex digit, but a wrong value.
      const std::size_t star = s.rfind('*');
      s[star + 2] = s[star + 2] == '0' ? '1' : '0';
      *damaged = true;
    }
    out += s;
  };
  const bool fix = e.fixMode >= 2;
  const std::string lat = Angle(e.latitudeDeg, 2, 'N', 'S');
  const std::string lon = Angle(e.longitudeDeg, 3, 'E', 'W');

  // GGA: time, position, quality, satellites used, HDOP, MSL altitude, geoid separation.
  const std::string position = fix ? Cat(lat, ",", lon) : std::string(",,,");
  emit(Cat("GPGGA,", Time(e), ",", position, ",", fix ? "1" : "0", ",", Padded(e.usedCount, 2), ",",
           Fixed(e.hdop, 2), ",", Fixed(e.geoidHeightMetres, 2), ",M,",
           Fixed(e.geoidSeparationMetres, 1), ",M,,"));

  // GSA: automatic mode, fix dimension, up to twelve PRNs used, PDOP, HDOP, VDOP.
  std::string gsa = Cat("GPGSA,A,", std::to_string(fix ? e.fixMode : 1));
  int listed = 0;
  for (const SimSat& s : e.sats) {
    if (!s.used || listed == 12) continue;
    gsa += ',';
    gsa += Padded(s.prn, 2);
    ++listed;
  }
  for (; listed < 12; ++listed)
    gsa += ",";
  gsa += Cat(",", Fixed(e.pdop, 2), ",", Fixed(e.hdop, 2), ",", Fixed(e.vdop, 2));
  emit(gsa);

  // GSV: satellites in view, four per sentence; an untracked satellite has an empty SNR.
  const int inView = static_cast<int>(e.sats.size());
  const int messages = std::max(1, (inView + kSatsPerGsv - 1) / kSatsPerGsv);
  for (int m = 0; m < messages; ++m) {
    std::string gsv =
        Cat("GPGSV,", std::to_string(messages), ",", std::to_string(m + 1), ",", Padded(inView, 2));
    for (int i = m * kSatsPerGsv; i < std::min(inView, (m + 1) * kSatsPerGsv); ++i) {
      const SimSat& s = e.sats[i];
      gsv += ',';
      gsv += Padded(s.prn, 2);
      gsv += ',';
      gsv += Padded(std::lround(s.elevationDeg), 2);
      gsv += ',';
      gsv += Padded(std::lround(s.azimuthDeg), 3);
      gsv += ',';
      if (s.snrDbHz > 0) gsv += Padded(std::lround(s.snrDbHz), 2);
    }
    emit(gsv);
  }

  // RMC: time, status, position, speed in knots, course, date, magnetic variation, mode.
  const double var = e.magVariationDeg;  // positive: magnetic = true + var, a westerly variation
  const std::string date = Cat(Padded(e.day, 2), Padded(e.month, 2), Padded(e.year % 100, 2));
  emit(Cat("GPRMC,", Time(e), ",", fix ? Cat("A,", lat, ",", lon) : std::string("V,,,,"), ",",
           Fixed(e.speedMps * kKnotsPerMps, 3), ",", Fixed(e.trueHeadingDeg, 2), ",", date, ",",
           Fixed(std::fabs(var), 1), ",", var > 0 ? "W" : "E", ",", fix ? "A" : "N"));

  // VTG: true and magnetic course, speed in knots and km/h, mode.
  emit(Cat("GPVTG,", Fixed(e.trueHeadingDeg, 2), ",T,", Fixed(Wrap360(e.trueHeadingDeg + var), 2),
           ",M,", Fixed(e.speedMps * kKnotsPerMps, 3), ",N,", Fixed(e.speedMps * 3.6, 3), ",K,",
           fix ? "A" : "N"));

  // ZDA: time and full date, local zone 00:00.
  emit(Cat("GPZDA,", Time(e), ",", Padded(e.day, 2), ",", Padded(e.month, 2), ",",
           Padded(e.year, 4), ",00,00"));
  return out;
}

}  // namespace gpssim
