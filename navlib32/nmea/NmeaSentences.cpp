// NMEA 0183 sentence handlers: a dispatch table from sentence type to minimum field counts and
// a handler that parses into locals and commits to FixState only when everything parsed.
#include "navlib32/nmea/NmeaSentences.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

#include "navlib32/SatNumbers.h"
#include "navlib32/TimeOfDay.h"

namespace navlib::nmea {
namespace {

constexpr double kKnotsToMetresPerSecond = 1852.0 / 3600.0;
constexpr double kKmhToMetresPerSecond = 1.0 / 3.6;
constexpr double kFeetToMetres = 0.3048;
constexpr double kFathomsToMetres = 1.8288;

// GSV carries at most 4 satellites (16 fields) after 3 header fields, plus a signal id:
// 21 with the address. Proprietary sentences may have more; extra fields are ignored.
constexpr int kMaxFields = 32;

// The fields of a sentence as offsets into its body (left uninitialised beyond n: filling a
// table of views for every sentence would cost more than splitting it).
struct Fields {
  std::string_view body;
  std::array<uint8_t, kMaxFields + 1> start;  // start[i + 1] - 1 is the end of field i
  int n = 0;
  std::string_view operator[](int i) const {
    if (i >= n) return std::string_view();
    return std::string_view(body.data() + start[i],
                            static_cast<std::size_t>(start[i + 1] - 1 - start[i]));
  }
};

// Bit 7 of every byte of word that equals c (and no other bit).
inline uint64_t BytesEqual(uint64_t word, char c) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  const uint64_t x = word ^ (0x0101010101010101ull * static_cast<uint8_t>(c));
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

void Split(std::string_view body, Fields& out) {
  // Bodies are at most kMaxNmeaSentence (< 255) long, so offsets fit a byte.
  out.body = body.substr(0, 254);
  const char* text = out.body.data();
  const std::size_t size = out.body.size();
  int n = 0;
  out.start[0] = 0;
  std::size_t i = 0;
  // Eight bytes at a time: the commas of a word as a bit mask, lowest address in the lowest
  // byte on a little-endian machine.
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 8 <= size && n < kMaxFields - 1; i += 8) {
      uint64_t word;
      std::memcpy(&word, text + i, 8);
      for (uint64_t commas = BytesEqual(word, ','); commas != 0 && n < kMaxFields - 1;
           commas &= commas - 1) {
        out.start[++n] = static_cast<uint8_t>(i + std::countr_zero(commas) / 8 + 1);
      }
    }
  }
  for (; i < size && n < kMaxFields - 1; ++i) {
    if (text[i] == ',') out.start[++n] = static_cast<uint8_t>(i + 1);
  }
  out.start[++n] = static_cast<uint8_t>(size + 1);
  out.n = n;
}

constexpr std::array<double, 16> kPowersOfTen = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

}  // namespace

// Up to 15 digits the value is the digits as an integer divided by a power of ten: both exact
// in a double, so the one rounding of the division gives the correctly rounded result that
// std::from_chars gives, without the library call. Anything else goes to std::from_chars.
bool ParseDecimal(std::string_view s, double& out) {
  const char* p = s.data();
  const char* end = p + s.size();
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  uint64_t mantissa = 0;
  int digits = 0;
  int decimals = 0;
  bool point = false;
  for (const char* q = p; q != end; ++q) {
    const char c = *q;
    if (c >= '0' && c <= '9') {
      mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
      ++digits;
      decimals += point;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      digits = 99;  // not plain decimal: let the library judge
      break;
    }
  }
  if (digits > 0 && digits <= 15) {
    const double value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    out = negative ? -value : value;
    return true;
  }
  const auto [ptr, ec] = std::from_chars(s.data(), end, out);
  return ec == std::errc() && ptr == end && std::isfinite(out);
}

namespace {

// Reads typed values out of the fields. An empty field gives no value; a malformed one gives
// no value and marks the whole sentence bad.
class Reader {
 public:
  explicit Reader(const Fields& fields) : f_(fields) {}
  bool Bad() const { return bad_; }

  std::optional<double> Num(int i) {
    std::string_view s = f_[i];
    if (s.empty()) return std::nullopt;
    if (s.front() == '+') s.remove_prefix(1);
    double v = 0.0;
    if (!ParseDecimal(s, v)) {
      bad_ = true;
      return std::nullopt;
    }
    return v;
  }

  std::optional<int> Int(int i) {
    const std::string_view s = f_[i];
    if (s.empty()) return std::nullopt;
    // Plain digits (the common case) without a library call.
    if (s.size() <= 6) {
      int v = 0;
      bool digits = true;
      for (char c : s) {
        digits = digits && c >= '0' && c <= '9';
        v = v * 10 + (c - '0');
      }
      if (digits) return v;
    }
    // Some receivers print satellite angles and counts with decimals.
    const std::optional<double> d = Num(i);
    if (!d || std::fabs(*d) > 1e6) {
      bad_ = true;
      return std::nullopt;
    }
    return static_cast<int>(std::lround(*d));
  }

  char Char(int i) const {
    const std::string_view s = f_[i];
    return s.empty() ? '\0' : s.front();
  }

  // hhmmss[.sss] -> seconds of the day.
  std::optional<double> Time(int i) {
    const std::string_view s = f_[i];
    if (s.empty()) return std::nullopt;
    auto digit = [&](std::size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
    if (s.size() < 6 || !digit(0) || !digit(1) || !digit(2) || !digit(3) || !digit(4) ||
        !digit(5)) {
      bad_ = true;
      return std::nullopt;
    }
    const int hours = (s[0] - '0') * 10 + (s[1] - '0');
    const int minutes = (s[2] - '0') * 10 + (s[3] - '0');
    double seconds = 0.0;
    if (!ParseDecimal(s.substr(4), seconds) || seconds < 0.0 || hours > 23 || minutes > 59 ||
        !(seconds < 61.0)) {
      bad_ = true;
      return std::nullopt;
    }
    return hours * 3600.0 + minutes * 60.0 + seconds;
  }

  // [d]ddmm.mmmm plus hemisphere -> signed degrees. positive/negative: 'N'/'S' or 'E'/'W'.
  std::optional<double> Angle(int i, int hemisphere, char positive, char negative, double limit) {
    const std::optional<double> v = Num(i);
    const char h = Char(hemisphere);
    if (!v) return std::nullopt;
    if (*v < 0.0 || (h != positive && h != negative)) {
      bad_ = true;
      return std::nullopt;
    }
    const double degrees = std::floor(*v / 100.0);
    const double minutes = *v - degrees * 100.0;
    const double result = degrees + minutes / 60.0;
    if (minutes >= 60.0 || result > limit) {
      bad_ = true;
      return std::nullopt;
    }
    return h == positive ? result : -result;
  }

 private:
  const Fields& f_;
  bool bad_ = false;
};

struct Talker {
  char a = 0, b = 0;
  bool Is(const char* t) const { return a == t[0] && b == t[1]; }
};

// The system of a satellite reported under a talker (GSV, or GSA without system id); prn
// becomes its number within the system.
GnssSystem SystemOf(Talker talker, int& prn) {
  GnssSystem system;
  if (talker.Is("GL")) {
    system = GnssSystem::Glonass;
  } else if (talker.Is("GA")) {
    system = GnssSystem::Galileo;
  } else if (talker.Is("GB") || talker.Is("BD")) {
    system = GnssSystem::Beidou;
  } else if (talker.Is("GQ") || talker.Is("QZ")) {
    system = GnssSystem::Qzss;
  } else if (talker.Is("GI")) {
    system = GnssSystem::Navic;
  } else {
    system = SystemOfNmeaNumber(prn);
  }
  prn = NmeaNumberInSystem(system, prn);
  return system;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

bool IsDifferentialMode(char mode) {
  // D differential, P precise, R RTK fixed, F RTK float: corrections applied.
  return mode == 'D' || mode == 'P' || mode == 'R' || mode == 'F';
}

// What a sentence's time of day does to the epoch in progress.
enum class TimeUse {
  Note,    // FixState::NoteTime: the same epoch, or a new one
  Late,    // just behind the epoch in progress: the values join it, the time is ignored
  Ignore,  // a time-only sentence while fix sentences carry times: only its date counts
  Retime,  // a fix sentence's time replaces one that a time-only sentence gave the epoch
};

// When a sentence arrived, and what its time does.
struct Arrival {
  double now;
  TimeUse use;
};

void NoteTime(const std::optional<double>& time, FixState& state, const Arrival& at) {
  if (!time) return;
  if (at.use == TimeUse::Note) state.NoteTime(*time, at.now);
  if (at.use == TimeUse::Retime) state.RetimeEpoch(*time);
}

// GGA: time, position, fix quality, satellites used, HDOP, altitude and geoid separation.
// $GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47
bool DecodeGga(const Fields& f, Talker, FixState& state, const Arrival& at) {
  Reader r(f);
  const auto time = r.Time(1);
  const auto lat = r.Angle(2, 3, 'N', 'S', 90.0);
  const auto lon = r.Angle(4, 5, 'E', 'W', 180.0);
  const auto quality = r.Int(6);
  const auto used = r.Int(7);
  const auto altitude = r.Num(9);
  const auto separation = r.Num(11);
  if (r.Bad()) return false;
  NoteTime(time, state, at);
  if (used) state.SetSatellitesUsedCount(*used);
  if (separation) state.SetGeoidSeparation(*separation);
  if (quality && *quality == 0) {
    state.SetNoFix();
    return true;
  }
  if (lat && lon) {
    state.SetPosition(*lat, *lon);
    if (altitude) state.SetMslHeight(*altitude);
  }
  // 2 DGPS, 3 PPS, 4 RTK fixed, 5 RTK float, 9 SBAS: corrected fixes.
  if (quality) {
    const int q = *quality;
    state.SetDifferential(q == 2 || q == 3 || q == 4 || q == 5 || q == 9);
  }
  return true;
}

// RMC: time, status, position, speed, course, date, magnetic variation, mode (2.3+).
// $GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A
bool DecodeRmc(const Fields& f, Talker, FixState& state, const Arrival& at) {
  Reader r(f);
  const auto time = r.Time(1);
  const char status = r.Char(2);
  const auto lat = r.Angle(3, 4, 'N', 'S', 90.0);
  const auto lon = r.Angle(5, 6, 'E', 'W', 180.0);
  const auto knots = r.Num(7);
  const auto course = r.Num(8);
  const std::string_view date = f[9];
  const auto magvar = r.Num(10);
  const char magSide = r.Char(11);
  const char mode = r.Char(12);
  if (r.Bad()) return false;
  NoteTime(time, state, at);
  if (date.size() == 6) {
    int ddmmyy = 0;
    const auto [ptr, ec] = std::from_chars(date.data(), date.data() + 6, ddmmyy);
    if (ec == std::errc() && ptr == date.data() + 6) {
      const int yy = ddmmyy % 100;
      // Two-digit years: receivers of this century; 80..99 are logs of the last one.
      state.SetDate(yy < 80 ? 2000 + yy : 1900 + yy, ddmmyy / 100 % 100, ddmmyy / 10000);
    }
  }
  if (magvar && (magSide == 'E' || magSide == 'W')) {
    state.SetMagVariationEast(magSide == 'E' ? *magvar : -*magvar);
  }
  if (status != 'A' || mode == 'N') {
    state.SetNoFix();
    return true;
  }
  if (lat && lon) state.SetPosition(*lat, *lon);
  if (knots) state.SetSpeed(*knots * kKnotsToMetresPerSecond);
  if (course) state.SetTrack(*course);
  if (mode != '\0') state.SetDifferential(IsDifferentialMode(mode));
  return true;
}

// The system id of an NMEA 4.10 GSA or GSV: one hex digit, 1 and up.
bool IsSystemId(std::string_view s) {
  return s.size() == 1 && ((s[0] >= '1' && s[0] <= '9') || (s[0] >= 'A' && s[0] <= 'F'));
}

// GSA: fix dimension, satellites used (12 fields), PDOP, HDOP, VDOP, system id (4.10).
// $GNGSA,A,3,13,16,21,15,10,29,27,20,,,,,1.05,0.64,0.83,1*03
// The version a GSA claims, by its fields after the address: 17 up to 4.0; 18 from 4.10, the
// last one the system id. Vendors add a numeric field after VDOP: 18 fields whose last is no
// system id are a 4.0 GSA with one; with 19 the system id is the last field and the vendor's
// sits between VDOP and it. The DOPs stay after the 12 PRN fields.
bool DecodeGsa(const Fields& f, Talker talker, FixState& state, const Arrival&) {
  Reader r(f);
  const auto dimension = r.Int(2);
  std::array<int, 12> prns{};
  int count = 0;
  for (int i = 3; i <= 14; ++i) {
    const auto prn = r.Int(i);
    if (prn && *prn > 0) prns[count++] = *prn;
  }
  const auto pdop = r.Num(15);
  const auto hdop = r.Num(16);
  const auto vdop = r.Num(17);
  const int last = f.n - 1;
  const bool hasId = (last == 18 || last == 19) && IsSystemId(f[last]);
  const int systemId = hasId ? HexDigit(f[last][0]) : 0;
  if (r.Bad()) return false;
  if (dimension) state.SetFix(*dimension, false);
  state.SetDops(pdop.value_or(FixState::kNoDop), hdop.value_or(FixState::kNoDop),
                vdop.value_or(FixState::kNoDop));

  const std::optional<GnssSystem> idSystem = systemId > 0 ? SystemOfNmeaId(systemId) : std::nullopt;
  const GnssSystem byId = idSystem.value_or(GnssSystem::Gps);
  std::array<GnssSystem, 12> systems{};
  for (int i = 0; i < count; ++i) {
    if (byId != GnssSystem::Gps) {
      systems[i] = byId;
      prns[i] = NmeaNumberInSystem(byId, prns[i]);
    } else {
      systems[i] = SystemOf(talker, prns[i]);
    }
  }
  // One list call per system found (an empty list still says "none used").
  std::array<int, 12> group{};
  bool reported = false;
  for (int i = 0; i < count; ++i) {
    const GnssSystem system = systems[i];
    bool first = true;
    for (int j = 0; j < i && first; ++j)
      first = systems[j] != system;
    if (!first) continue;
    int n = 0;
    for (int j = i; j < count; ++j) {
      if (systems[j] == system) group[n++] = prns[j];
    }
    state.AddSatellitesUsed(system, group.data(), static_cast<std::size_t>(n));
    reported = true;
  }
  if (!reported) state.AddSatellitesUsed(byId, nullptr, 0);
  return true;
}

// GSV: satellites in view, four per sentence: number, elevation, azimuth, SNR; a trailing
// signal id from 4.10 on.
// $GPGSV,3,1,11,01,78,221,47,03,09,042,00,04,05,242,00,06,04,149,00*70
bool DecodeGsv(const Fields& f, Talker talker, FixState& state, const Arrival&) {
  Reader r(f);
  r.Int(1);
  r.Int(2);
  r.Int(3);
  const int groups = (f.n - 4) / 4;
  struct Entry {
    int prn, el, az, snr;
  };
  std::array<Entry, 4> entries{};
  int count = 0;
  for (int g = 0; g < groups && g < 4; ++g) {
    const int base = 4 + 4 * g;
    const auto prn = r.Int(base);
    const auto el = r.Int(base + 1);
    const auto az = r.Int(base + 2);
    const auto snr = r.Int(base + 3);
    if (!prn || *prn <= 0) continue;
    entries[count++] = Entry{*prn, el.value_or(FixState::kNoValue), az.value_or(FixState::kNoValue),
                             snr.value_or(FixState::kNoValue)};
  }
  // NMEA 4.10 and later: a signal id after the satellites (dual-band receivers send one group
  // per signal).
  const int signal = (f.n - 4) % 4 == 1 ? HexDigit(r.Char(f.n - 1)) : 0;
  if (r.Bad()) return false;
  // The view of the talker's system is reported even when it lists nobody.
  int none = 0;
  const GnssSystem own = SystemOf(talker, none);
  if (!talker.Is("GN")) state.AddSatelliteInView(own, 0, 0, 0, 0);
  if (talker.Is("GP")) state.AddSatelliteInView(GnssSystem::Sbas, 0, 0, 0, 0);
  for (int i = 0; i < count; ++i) {
    int prn = entries[i].prn;
    const GnssSystem system = SystemOf(talker, prn);
    state.AddSatelliteInView(system, prn, entries[i].el, entries[i].az, entries[i].snr, signal);
  }
  return true;
}

// VTG: course and speed over ground. 2.x: $GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*xx;
// 1.x without unit letters: $GPVTG,054.7,034.4,005.5,010.2
bool DecodeVtg(const Fields& f, Talker, FixState& state, const Arrival&) {
  Reader r(f);
  const bool letters = f.n >= 9 || f[2] == "T";
  const auto course = r.Num(1);
  const auto knots = r.Num(letters ? 5 : 3);
  const auto kmh = r.Num(letters ? 7 : 4);
  const char mode = letters ? r.Char(9) : '\0';
  if (r.Bad()) return false;
  if (mode == 'N') return true;
  if (course) state.SetTrack(*course);
  if (knots) {
    state.SetSpeed(*knots * kKnotsToMetresPerSecond);
  } else if (kmh) {
    state.SetSpeed(*kmh * kKmhToMetresPerSecond);
  }
  return true;
}

// GLL: position, time, status, mode. $GPGLL,4916.45,N,12311.12,W,225444,A,A*5C
bool DecodeGll(const Fields& f, Talker, FixState& state, const Arrival& at) {
  Reader r(f);
  const auto lat = r.Angle(1, 2, 'N', 'S', 90.0);
  const auto lon = r.Angle(3, 4, 'E', 'W', 180.0);
  const auto time = r.Time(5);
  const char status = r.Char(6);
  const char mode = r.Char(7);
  if (r.Bad()) return false;
  NoteTime(time, state, at);
  if (status == 'V' || mode == 'N') {
    state.SetNoFix();
    return true;
  }
  if (lat && lon) state.SetPosition(*lat, *lon);
  if (mode != '\0') state.SetDifferential(IsDifferentialMode(mode));
  return true;
}

// ZDA: time and date. $GPZDA,201530.00,04,07,2002,00,00*60
bool DecodeZda(const Fields& f, Talker, FixState& state, const Arrival& at) {
  Reader r(f);
  const auto time = r.Time(1);
  const auto day = r.Int(2);
  const auto month = r.Int(3);
  const auto year = r.Int(4);
  if (r.Bad()) return false;
  NoteTime(time, state, at);
  if (day && month && year) state.SetDate(*year, *month, *day);
  return true;
}

// GNS: multi-GNSS fix: time, position, a mode letter per system, satellites used, HDOP,
// altitude, geoid separation.
// $GNGNS,014035.00,4332.69262,S,17235.48549,E,RR,13,0.9,25.63,11.24,,*70
bool DecodeGns(const Fields& f, Talker, FixState& state, const Arrival& at) {
  Reader r(f);
  const auto time = r.Time(1);
  const auto lat = r.Angle(2, 3, 'N', 'S', 90.0);
  const auto lon = r.Angle(4, 5, 'E', 'W', 180.0);
  const std::string_view modes = f[6];
  const auto used = r.Int(7);
  const auto altitude = r.Num(9);
  const auto separation = r.Num(10);
  if (r.Bad()) return false;
  NoteTime(time, state, at);
  if (used) state.SetSatellitesUsedCount(*used);
  if (separation) state.SetGeoidSeparation(*separation);
  bool fix = false;
  bool differential = false;
  for (char m : modes) {
    fix = fix || (m != 'N' && m != 'V');
    differential = differential || IsDifferentialMode(m);
  }
  if (!fix) {
    state.SetNoFix();
    return true;
  }
  if (lat && lon) {
    state.SetPosition(*lat, *lon);
    if (altitude) state.SetMslHeight(*altitude);
  }
  state.SetDifferential(differential);
  return true;
}

// HDT: true heading of the vessel. $HEHDT,274.07,T*03
bool DecodeHdt(const Fields& f, Talker, FixState& state, const Arrival&) {
  Reader r(f);
  const auto heading = r.Num(1);
  if (r.Bad()) return false;
  if (heading) state.SetHeading(*heading);
  return true;
}

// DPT: depth below the transducer in metres, transducer offset. $SDDPT,2.4,0.0*7E
bool DecodeDpt(const Fields& f, Talker, FixState& state, const Arrival&) {
  Reader r(f);
  const auto depth = r.Num(1);
  r.Num(2);
  if (r.Bad()) return false;
  if (depth) state.SetDepth(*depth);
  return true;
}

// DBT: depth below the transducer in feet, metres and fathoms. $SDDBT,7.8,f,2.4,M,1.3,F*0D
bool DecodeDbt(const Fields& f, Talker, FixState& state, const Arrival&) {
  Reader r(f);
  const auto feet = r.Num(1);
  const auto metres = r.Num(3);
  const auto fathoms = r.Num(5);
  if (r.Bad()) return false;
  if (metres) {
    state.SetDepth(*metres);
  } else if (feet) {
    state.SetDepth(*feet * kFeetToMetres);
  } else if (fathoms) {
    state.SetDepth(*fathoms * kFathomsToMetres);
  }
  return true;
}

// GST, GBS, GRS: error statistics and residuals; only their time is used (it marks the epoch).
// $GNGST,003956.00,235111,,,,2.3,3.5,4.0*46
bool DecodeTimeOnly(const Fields& f, Talker, FixState& state, const Arrival& at) {
  Reader r(f);
  const auto time = r.Time(1);
  if (r.Bad()) return false;
  NoteTime(time, state, at);
  return true;
}

using Handler = bool (*)(const Fields&, Talker, FixState&, const Arrival&);

// Fix sentences carry the time of their fix; time-only sentences a time of their own, which
// some receivers send a second or two ahead of the fix.
enum class TimeKind { None, Fix, TimeOnly };

struct SentenceType {
  char name[4];
  int minFields;   // with a checksum: fields needed, address included
  int fullFields;  // without a checksum: the type's complete field count
  int timeField;   // field holding a time of day; 0 for none
  TimeKind timeKind;
  Handler handler;
};

constexpr std::array<SentenceType, 14> kTypes = {{
    {"GGA", 10, 15, 1, TimeKind::Fix, DecodeGga},
    {"RMC", 10, 12, 1, TimeKind::Fix, DecodeRmc},
    {"GSA", 16, 18, 0, TimeKind::None, DecodeGsa},
    {"GSV", 4, 8, 0, TimeKind::None, DecodeGsv},
    {"VTG", 5, 5, 0, TimeKind::None, DecodeVtg},
    {"GLL", 5, 7, 5, TimeKind::Fix, DecodeGll},
    {"ZDA", 5, 7, 1, TimeKind::TimeOnly, DecodeZda},
    {"GNS", 10, 13, 1, TimeKind::Fix, DecodeGns},
    {"HDT", 2, 3, 0, TimeKind::None, DecodeHdt},
    {"DPT", 2, 3, 0, TimeKind::None, DecodeDpt},
    {"DBT", 4, 7, 0, TimeKind::None, DecodeDbt},
    {"GST", 2, 9, 1, TimeKind::TimeOnly, DecodeTimeOnly},
    {"GBS", 2, 9, 1, TimeKind::TimeOnly, DecodeTimeOnly},
    {"GRS", 2, 15, 1, TimeKind::TimeOnly, DecodeTimeOnly},
}};

// A report of a time just behind the epoch in progress: a late or repeated sentence (some
// receivers send one sentence type a second behind the others). Further back is a receiver
// that restarted or a new log.
constexpr double kLateSeconds = 2.0;

bool IsLate(double epochTime, double time) {
  if (epochTime == FixState::kNoTime) return false;
  const double behind = DayDifference(epochTime, time);
  return behind > kSameTimeSeconds && behind <= kLateSeconds;
}

// What the sentence's time (when it has one) does to the epoch; *time is set when it has one.
TimeUse DecideTimeUse(const Fields& f, const SentenceType& type, const FixState& state,
                      const NmeaEpochClock& clock, double now, std::optional<double>* time) {
  if (type.timeKind == TimeKind::None || f[type.timeField].empty()) return TimeUse::Note;
  Reader r(f);
  *time = r.Time(type.timeField);
  if (!*time) return TimeUse::Note;  // the handler finds the damage
  const double epochTime = state.CurrentEpochTime();
  if (type.timeKind == TimeKind::Fix) {
    const bool provisional = epochTime != FixState::kNoTime && !clock.epochTimeFromFix;
    if (provisional && !SameTimeOfDay(epochTime, **time)) return TimeUse::Retime;
    return IsLate(epochTime, **time) ? TimeUse::Late : TimeUse::Note;
  }
  if (clock.FixTimesCurrent(now)) return TimeUse::Ignore;
  return IsLate(epochTime, **time) ? TimeUse::Late : TimeUse::Note;
}

// After a sentence was applied: who gave the epoch in progress its time.
void UpdateClock(const SentenceType& type, TimeUse use, const std::optional<double>& time,
                 double epochTimeBefore, double now, NmeaEpochClock& clock) {
  if (!time) return;
  if (type.timeKind == TimeKind::Fix) {
    clock.lastFixTimeAt = now;
    clock.anyFixTime = true;
    if (use != TimeUse::Late) clock.epochTimeFromFix = true;
  } else if (use == TimeUse::Note &&
             (epochTimeBefore == FixState::kNoTime || !SameTimeOfDay(epochTimeBefore, *time))) {
    clock.epochTimeFromFix = false;
  }
}

// What a sentence says of the receiver's clock. Until it is set, receivers count from the start
// of GPS time: a 1980 date (RMC, ZDA), or an RMC without a time or a fix, is a clock not set
// yet; a later date or a fix is one that is.
enum class ClockEvidence { None, NotSet, Set };

ClockEvidence ClockOf(const Fields& f, const SentenceType& type) {
  if (type.handler == DecodeRmc) {
    if (f[9].size() == 6 && f[9].substr(4) == "80") return ClockEvidence::NotSet;
    if (f[9].size() == 6 || f[2] == "A") return ClockEvidence::Set;
    if (f[1].empty()) return ClockEvidence::NotSet;
  } else if (type.handler == DecodeZda) {
    if (f[4] == "1980") return ClockEvidence::NotSet;
    if (f[4].size() == 4) return ClockEvidence::Set;
  } else if (type.handler == DecodeGga) {
    if (!f[6].empty() && f[6] != "0") return ClockEvidence::Set;
  } else if (type.handler == DecodeGll) {
    if (f[6] == "A") return ClockEvidence::Set;
  }
  return ClockEvidence::None;
}

// The receiver's clock was just set: what it reported before is an epoch of its own (its time
// is none), unless the epoch in progress already has this sentence's time; the satellites it
// held give way to those of the first timed epoch.
void ClockNowSet(const Fields& f, const SentenceType& type, FixState& state, double now) {
  std::optional<double> time;
  if (type.timeKind != TimeKind::None && !f[type.timeField].empty()) {
    time = Reader(f).Time(type.timeField);
  }
  const double epochTime = state.CurrentEpochTime();
  if (time && epochTime != FixState::kNoTime && SameTimeOfDay(epochTime, *time)) {
    state.SetClockSet(true);
  } else {
    state.CompleteEpoch(now);
  }
  state.MarkCompleteSatelliteView();
}

bool IsUpperAlnum(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

bool NmeaEpochClock::FixTimesCurrent(double now) const {
  return anyFixTime && now - lastFixTimeAt <= kStaleSeconds;
}

SentenceResult DecodeSentence(std::string_view body, bool hasChecksum, FixState& state,
                              double nowSeconds) {
  NmeaEpochClock clock;
  return DecodeSentence(body, hasChecksum, state, clock, nowSeconds);
}

SentenceResult DecodeSentence(std::string_view body, bool hasChecksum, FixState& state,
                              NmeaEpochClock& clock, double nowSeconds) {
  Fields f;
  Split(body, f);
  const std::string_view address = f[0];
  // Talker (2 letters) + type (3 letters); proprietary sentences start with 'P'.
  if (address.size() != 5 || address[0] == 'P') return SentenceResult::Unknown;
  for (char c : address) {
    if (!IsUpperAlnum(c)) return SentenceResult::Unknown;
  }
  const Talker talker{address[0], address[1]};
  for (const SentenceType& type : kTypes) {
    if (address[2] != type.name[0] || address[3] != type.name[1] || address[4] != type.name[2]) {
      continue;
    }
    if (f.n < (hasChecksum ? type.minFields : type.fullFields)) {
      return SentenceResult::Malformed;
    }
    state.NoteActivity(nowSeconds);
    const ClockEvidence clockSays = ClockOf(f, type);
    if (clockSays == ClockEvidence::Set && clock.clockUnset) {
      clock.clockUnset = false;
      ClockNowSet(f, type, state, nowSeconds);
    } else if (clockSays == ClockEvidence::NotSet) {
      clock.clockUnset = true;
    }
    std::optional<double> time;
    const Arrival at{nowSeconds, DecideTimeUse(f, type, state, clock, nowSeconds, &time)};
    const double epochTimeBefore = state.CurrentEpochTime();
    if (!type.handler(f, talker, state, at)) return SentenceResult::Malformed;
    UpdateClock(type, at.use, time, epochTimeBefore, nowSeconds, clock);
    if (clock.clockUnset) state.SetClockSet(false);
    return at.use == TimeUse::Late ? SentenceResult::Late : SentenceResult::Decoded;
  }
  if (hasChecksum) state.NoteActivity(nowSeconds);
  return SentenceResult::Unknown;
}

}  // namespace navlib::nmea
