// NMEA 0183 for one simulated epoch: GGA, GSA, GSV, RMC, VTG, ZDA, in the order many receivers
// use; version 2.3 style with the GP talker for GPS alone, NMEA 4.10 style (GN talker, a GSA
// per system with its system id, GSV groups under each system's talker) for several systems.
// Numbers are written with std::to_chars, so the output never depends on the C locale.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

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

// Talker and NMEA 4.10 system id of a system's sentences.
struct SystemTalker {
  System system;
  const char* talker;
  const char* id;
};
constexpr SystemTalker kTalkers[] = {{System::Gps, "GP", "1"},
                                     {System::Glonass, "GL", "2"},
                                     {System::Galileo, "GA", "3"},
                                     {System::Beidou, "GB", "4"}};

// Sentences are emitted through a sink that counts them and injects the checksum fault.
class Sink {
 public:
  Sink(int badChecksumEvery, int* counter, bool* damaged)
      : every_(badChecksumEvery), counter_(counter), damaged_(damaged) {}
  void Emit(const std::string& body) {
    std::string s = navlib::nmea::NmeaSentenceOf(body);
    ++*counter_;
    if (every_ > 0 && *counter_ % every_ == 0) {
      // Replace the last checksum digit: still a hex digit, but a wrong value.
      const std::size_t star = s.rfind('*');
      s[star + 2] = s[star + 2] == '0' ? '1' : '0';
      *damaged_ = true;
    }
    out_ += s;
  }
  std::string Take() { return std::move(out_); }

 private:
  int every_;
  int* counter_;
  bool* damaged_;
  std::string out_;
};

// GSA: automatic mode, fix dimension, up to twelve PRNs used, PDOP, HDOP, VDOP; with several
// systems one sentence a system, with its system id.
void EmitGsa(const Epoch& e, bool multi, Sink& sink) {
  const bool fix = e.fixMode >= 2;
  for (const SystemTalker& st : kTalkers) {
    if (!multi && st.system != System::Gps) continue;
    std::string gsa = Cat(multi ? "GNGSA,A," : "GPGSA,A,", std::to_string(fix ? e.fixMode : 1));
    int listed = 0;
    for (const SimSat& s : e.sats) {
      if (!s.used || s.system != st.system || listed == 12) continue;
      gsa += ',';
      gsa += Padded(s.prn, 2);
      ++listed;
    }
    if (multi && listed == 0) continue;
    for (; listed < 12; ++listed)
      gsa += ",";
    gsa += Cat(",", Fixed(e.pdop, 2), ",", Fixed(e.hdop, 2), ",", Fixed(e.vdop, 2));
    if (multi) gsa += Cat(",", st.id);
    sink.Emit(gsa);
  }
}

// GSV: satellites in view, four per sentence, a group per system under its talker (with the
// signal id 1 when there are several systems); an untracked satellite has an empty SNR.
void EmitGsv(const Epoch& e, bool multi, Sink& sink) {
  for (const SystemTalker& st : kTalkers) {
    std::vector<const SimSat*> sats;
    for (const SimSat& s : e.sats)
      if (s.system == st.system) sats.push_back(&s);
    if (sats.empty() && st.system != System::Gps) continue;
    const int inView = static_cast<int>(sats.size());
    const int messages = std::max(1, (inView + kSatsPerGsv - 1) / kSatsPerGsv);
    for (int m = 0; m < messages; ++m) {
      std::string gsv = Cat(st.talker, "GSV,", std::to_string(messages), ",", std::to_string(m + 1),
                            ",", Padded(inView, 2));
      for (int i = m * kSatsPerGsv; i < std::min(inView, (m + 1) * kSatsPerGsv); ++i) {
        const SimSat& s = *sats[i];
        gsv += Cat(",", Padded(s.prn, 2), ",", Padded(std::lround(s.elevationDeg), 2), ",",
                   Padded(std::lround(s.azimuthDeg), 3), ",");
        if (s.snrDbHz > 0) gsv += Padded(std::lround(s.snrDbHz), 2);
      }
      if (multi) gsv += ",1";
      sink.Emit(gsv);
    }
  }
}

}  // namespace

std::string EncodeNmea(const Epoch& e, int badChecksumEvery, int* sentenceCounter, bool* damaged) {
  Sink sink(badChecksumEvery, sentenceCounter, damaged);
  bool multi = false;
  for (const SimSat& s : e.sats)
    multi = multi || s.system != System::Gps;
  const std::string talker = multi ? "GN" : "GP";
  const bool fix = e.fixMode >= 2;
  const std::string lat = Angle(e.latitudeDeg, 2, 'N', 'S');
  const std::string lon = Angle(e.longitudeDeg, 3, 'E', 'W');

  // GGA: time, position, quality, satellites used, HDOP, MSL altitude, geoid separation.
  const std::string position = fix ? Cat(lat, ",", lon) : std::string(",,,");
  sink.Emit(Cat(talker, "GGA,", Time(e), ",", position, ",", fix ? "1" : "0", ",",
                Padded(e.usedCount, 2), ",", Fixed(e.hdop, 2), ",", Fixed(e.geoidHeightMetres, 2),
                ",M,", Fixed(e.geoidSeparationMetres, 1), ",M,,"));
  EmitGsa(e, multi, sink);
  EmitGsv(e, multi, sink);

  // RMC: time, status, position, speed in knots, course, date, magnetic variation, mode.
  const double var = e.magVariationDeg;  // positive: magnetic = true + var, a westerly variation
  const std::string date = Cat(Padded(e.day, 2), Padded(e.month, 2), Padded(e.year % 100, 2));
  sink.Emit(Cat(talker, "RMC,", Time(e), ",", fix ? Cat("A,", lat, ",", lon) : std::string("V,,,,"),
                ",", Fixed(e.speedMps * kKnotsPerMps, 3), ",", Fixed(e.trueHeadingDeg, 2), ",",
                date, ",", Fixed(std::fabs(var), 1), ",", var > 0 ? "W" : "E", ",",
                fix ? "A" : "N"));

  // VTG: true and magnetic course, speed in knots and km/h, mode.
  sink.Emit(Cat(talker, "VTG,", Fixed(e.trueHeadingDeg, 2), ",T,",
                Fixed(Wrap360(e.trueHeadingDeg + var), 2), ",M,",
                Fixed(e.speedMps * kKnotsPerMps, 3), ",N,", Fixed(e.speedMps * 3.6, 3), ",K,",
                fix ? "A" : "N"));

  // ZDA: time and full date, local zone 00:00.
  sink.Emit(Cat(talker, "ZDA,", Time(e), ",", Padded(e.day, 2), ",", Padded(e.month, 2), ",",
                Padded(e.year, 4), ",00,00"));
  return sink.Take();
}

}  // namespace gpssim
