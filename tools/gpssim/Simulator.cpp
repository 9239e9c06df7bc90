// A GPS constellation of circular orbits (six planes inclined 55 degrees, about twelve-hour
// periods) seen from a receiver moving at constant speed on a great-circle-ish track. Azimuth,
// elevation and signal follow from the geometry; the DOPs from the satellites in use.
#include "tools/gpssim/Simulator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "navlib32/Calendar.h"

namespace gpssim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kEarthRadiusMetres = 6371000.0;  // mean radius, for moving along the track
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84E2 = 6.69437999014e-3;
constexpr double kEarthMu = 3.986004418e14;
constexpr double kEarthRotationRadPerSec = 7.2921151467e-5;
constexpr int kMaxUsed = 12;  // what a twelve-channel receiver uses at most, per system

// GPS PRN of each orbit slot, plane by plane (a few PRNs are absent, as in the real
// constellation).
constexpr std::array<int, 30> kGpsPrns = {2, 5, 13, 20, 31, 1, 8,  14, 26, 30, 4, 10, 16, 21, 32,
                                          6, 9, 18, 23, 29, 3, 11, 19, 24, 28, 7, 12, 15, 17, 25};

// A constellation of circular orbits: planes evenly spread in right ascension, slots evenly
// spread along each plane, each plane's slots shifted by phaseStep.
struct Constellation {
  System system;
  int planes;
  int slots;
  double inclinationDeg;
  double radiusMetres;
  double raanOffsetDeg;
  double phaseStepDeg;
  int firstPrn;  // PRN of slot 0 of plane 0, counting on (GPS: kGpsPrns)
};

constexpr Constellation kConstellations[] = {
    {System::Gps, 6, 5, 55.0, 26559700.0, 17.0, 13.0, 0},
    {System::Glonass, 3, 8, 64.8, 25508200.0, 40.0, 15.0, 65},
    {System::Galileo, 3, 8, 56.0, 29600300.0, 75.0, 5.0, 1},
    {System::Beidou, 3, 8, 55.0, 27906100.0, 105.0, 7.5, 19},
};

int PrnOf(const Constellation& c, int plane, int slot) {
  const int index = plane * c.slots + slot;
  return c.system == System::Gps ? kGpsPrns[index] : c.firstPrn + index;
}

struct Vec3 {
  double x, y, z;
};

Vec3 GeodeticToEcef(double latDeg, double lonDeg, double h) {
  const double lat = latDeg * kDegToRad, lon = lonDeg * kDegToRad;
  const double n = kWgs84A / std::sqrt(1.0 - kWgs84E2 * std::sin(lat) * std::sin(lat));
  return {(n + h) * std::cos(lat) * std::cos(lon), (n + h) * std::cos(lat) * std::sin(lon),
          (n * (1.0 - kWgs84E2) + h) * std::sin(lat)};
}

Vec3 SatelliteEcef(const Constellation& c, int plane, int slot, double t) {
  const double radius = c.radiusMetres;
  const double inclination = c.inclinationDeg * kDegToRad;
  const double meanMotion = std::sqrt(kEarthMu / std::pow(radius, 3));
  const double u = (slot * 360.0 / c.slots + plane * c.phaseStepDeg) * kDegToRad + meanMotion * t;
  const double raan =
      (plane * 360.0 / c.planes + c.raanOffsetDeg) * kDegToRad - kEarthRotationRadPerSec * t;
  const double xp = radius * std::cos(u), yp = radius * std::sin(u);
  return {xp * std::cos(raan) - yp * std::cos(inclination) * std::sin(raan),
          xp * std::sin(raan) + yp * std::cos(inclination) * std::cos(raan),
          yp * std::sin(inclination)};
}

// Inverts a symmetric 4x4 matrix by Gauss-Jordan elimination; false when singular.
bool Invert4(std::array<std::array<double, 8>, 4>& m) {
  for (int c = 0; c < 4; ++c) {
    int pivot = c;
    for (int r = c + 1; r < 4; ++r)
      if (std::fabs(m[r][c]) > std::fabs(m[pivot][c])) pivot = r;
    if (std::fabs(m[pivot][c]) < 1e-12) return false;
    std::swap(m[c], m[pivot]);
    const double d = m[c][c];
    for (double& v : m[c])
      v /= d;
    for (int r = 0; r < 4; ++r) {
      if (r == c) continue;
      const double f = m[r][c];
      for (int k = 0; k < 8; ++k)
        m[r][k] -= f * m[c][k];
    }
  }
  return true;
}

void ComputeDops(Epoch& e) {
  std::array<std::array<double, 8>, 4> m{};
  for (const SimSat& s : e.sats) {
    if (!s.used) continue;
    const double el = s.elevationDeg * kDegToRad, az = s.azimuthDeg * kDegToRad;
    const std::array<double, 4> h = {std::cos(el) * std::sin(az), std::cos(el) * std::cos(az),
                                     std::sin(el), 1.0};
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j)
        m[i][j] += h[i] * h[j];
  }
  for (int i = 0; i < 4; ++i)
    m[i][4 + i] = 1.0;
  if (e.usedCount < 4 || !Invert4(m)) {
    e.pdop = e.hdop = e.vdop = e.tdop = 99.9;
    return;
  }
  e.hdop = std::sqrt(m[0][4] + m[1][5]);
  e.vdop = std::sqrt(m[2][6]);
  e.pdop = std::sqrt(m[0][4] + m[1][5] + m[2][6]);
  e.tdop = std::sqrt(m[3][7]);
}

double Wrap360(double deg) {
  double r = std::fmod(deg, 360.0);
  if (r < 0) r += 360.0;
  return r;
}

}  // namespace

bool ParseSystems(const std::string& text, unsigned* systems) {
  if (text == "all") {
    *systems = kAllSystems;
    return true;
  }
  unsigned bits = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string name = text.substr(start, comma - start);
    if (name == "gps") {
      bits |= static_cast<unsigned>(System::Gps);
    } else if (name == "glonass") {
      bits |= static_cast<unsigned>(System::Glonass);
    } else if (name == "galileo") {
      bits |= static_cast<unsigned>(System::Galileo);
    } else if (name == "beidou") {
      bits |= static_cast<unsigned>(System::Beidou);
    } else {
      return false;
    }
    start = comma + 1;
  }
  *systems = bits;
  return bits != 0;
}

bool ParseUtc(const std::string& text, int64_t* unixSeconds) {
  int y, mo, d, h, mi, s;
  char t;
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[13] != ':' || text[16] != ':')
    return false;
  t = text[10];
  if (t != 'T' && t != ' ') return false;
  auto num = [&](std::size_t pos, std::size_t len, int* out) {
    int v = 0;
    for (std::size_t i = pos; i < pos + len; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      v = v * 10 + (text[i] - '0');
    }
    *out = v;
    return true;
  };
  if (!num(0, 4, &y) || !num(5, 2, &mo) || !num(8, 2, &d) || !num(11, 2, &h) || !num(14, 2, &mi) ||
      !num(17, 2, &s))
    return false;
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59 || y < 1980) return false;
  *unixSeconds = navlib::DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s;
  return true;
}

Simulator::Simulator(const SimConfig& config)
    : config_(config),
      latitudeDeg_(config.latitudeDeg),
      longitudeDeg_(config.longitudeDeg),
      heightMetres_(config.heightMetres),
      headingDeg_(Wrap360(config.headingDeg)),
      rng_(config.seed) {}

void Simulator::Advance() {
  const double heading = headingDeg_ * kDegToRad;
  const double lat = latitudeDeg_ * kDegToRad;
  const double metres = config_.speedMps;  // one second
  latitudeDeg_ += metres * std::cos(heading) / kEarthRadiusMetres / kDegToRad;
  // Keep clear of the poles, where a heading stops meaning much.
  latitudeDeg_ = std::clamp(latitudeDeg_, -89.0, 89.0);
  const double cosLat = std::max(std::cos(lat), 1e-6);
  longitudeDeg_ += metres * std::sin(heading) / (kEarthRadiusMetres * cosLat) / kDegToRad;
  if (longitudeDeg_ > 180.0) longitudeDeg_ -= 360.0;
  if (longitudeDeg_ < -180.0) longitudeDeg_ += 360.0;
  heightMetres_ += config_.climbMps;
  headingDeg_ = Wrap360(headingDeg_ + config_.turnRateDegPerSec);
}

Epoch Simulator::NextEpoch() {
  if (index_ > 0) Advance();
  Epoch e;
  e.unixSeconds = config_.startUnixSeconds + index_;
  ++index_;
  const int64_t days = e.unixSeconds >= 0 ? e.unixSeconds / 86400 : (e.unixSeconds - 86399) / 86400;
  e.utcSecondsOfDay = static_cast<double>(e.unixSeconds - days * 86400);
  navlib::CivilFromDays(days, &e.year, &e.month, &e.day);
  e.latitudeDeg = latitudeDeg_;
  e.longitudeDeg = longitudeDeg_;
  e.geoidHeightMetres = heightMetres_;
  e.geoidSeparationMetres = config_.geoidSeparationMetres;
  e.ellipsoidHeightMetres = heightMetres_ + config_.geoidSeparationMetres;
  e.speedMps = config_.speedMps;
  e.trueHeadingDeg = headingDeg_;
  e.magVariationDeg = config_.magVariationDeg;
  e.eastMps = config_.speedMps * std::sin(headingDeg_ * kDegToRad);
  e.northMps = config_.speedMps * std::cos(headingDeg_ * kDegToRad);
  e.upMps = config_.climbMps;
  AddSky(e);
  ChooseUsed(e);
  e.fixMode = e.usedCount >= 4 ? 3 : (e.usedCount == 3 ? 2 : 1);
  ComputeDops(e);
  return e;
}

// The satellites above the horizon of every configured system, whole degrees as NMEA carries
// them; carrier-to-noise rises with elevation, each satellite with its own offset and a slow
// wobble.
void Simulator::AddSky(Epoch& e) const {
  const Vec3 rx = GeodeticToEcef(e.latitudeDeg, e.longitudeDeg, e.ellipsoidHeightMetres);
  const double lat = e.latitudeDeg * kDegToRad, lon = e.longitudeDeg * kDegToRad;
  const double t = static_cast<double>(e.unixSeconds - 946684800);  // seconds since 2000
  for (const Constellation& c : kConstellations) {
    if ((config_.systems & static_cast<unsigned>(c.system)) == 0) continue;
    for (int p = 0; p < c.planes; ++p) {
      for (int s = 0; s < c.slots; ++s) {
        const Vec3 sat = SatelliteEcef(c, p, s, t);
        const double dx = sat.x - rx.x, dy = sat.y - rx.y, dz = sat.z - rx.z;
        const double east = -std::sin(lon) * dx + std::cos(lon) * dy;
        const double north = -std::sin(lat) * std::cos(lon) * dx -
                             std::sin(lat) * std::sin(lon) * dy + std::cos(lat) * dz;
        const double up = std::cos(lat) * std::cos(lon) * dx + std::cos(lat) * std::sin(lon) * dy +
                          std::sin(lat) * dz;
        const double el = std::atan2(up, std::hypot(east, north)) / kDegToRad;
        if (el < 0.0) continue;
        SimSat sv;
        sv.system = c.system;
        sv.prn = PrnOf(c, p, s);
        sv.elevationDeg = std::round(el);
        sv.azimuthDeg = std::fmod(std::round(Wrap360(std::atan2(east, north) / kDegToRad)), 360.0);
        const double snr = 30.0 + 18.0 * std::sin(el * kDegToRad) + (sv.prn % 5) - 2.0 +
                           1.5 * std::sin(t / 37.0 + sv.prn);
        sv.snrDbHz = el < 3.0 ? 0.0 : std::round(snr);
        e.sats.push_back(sv);
      }
    }
  }
  std::sort(e.sats.begin(), e.sats.end(), [](const SimSat& a, const SimSat& b) {
    if (a.system != b.system) return a.system < b.system;
    return a.prn < b.prn;
  });
}

// Uses the highest satellites above the mask with a usable signal, at most twelve a system.
void Simulator::ChooseUsed(Epoch& e) const {
  std::vector<SimSat*> candidates;
  for (SimSat& sv : e.sats)
    if (sv.elevationDeg >= config_.elevationMaskDeg && sv.snrDbHz >= 30.0)
      candidates.push_back(&sv);
  std::stable_sort(candidates.begin(), candidates.end(), [](const SimSat* a, const SimSat* b) {
    return a->elevationDeg > b->elevationDeg;
  });
  std::map<System, int> perSystem;
  for (SimSat* sv : candidates) {
    if (perSystem[sv->system] == kMaxUsed) continue;
    ++perSystem[sv->system];
    sv->used = true;
    ++e.usedCount;
  }
}

std::string Simulator::NoiseBurst() {
  // Printable and binary junk, but neither '$' nor DLE so that no frame starts inside it.
  std::string noise;
  const int length = 8 + static_cast<int>(rng_() % 48);
  for (int i = 0; i < length; ++i) {
    uint8_t b = static_cast<uint8_t>(rng_() & 0xFF);
    if (b == '$' || b == 0x10) b = '#';
    noise.push_back(static_cast<char>(b));
  }
  noise += "\r\n";
  return noise;
}

EncodedEpoch Simulator::Next() {
  EncodedEpoch out;
  out.epoch = NextEpoch();
  if (config_.faults.noiseEvery > 0 && index_ % config_.faults.noiseEvery == 0) {
    out.bytes = NoiseBurst();
    out.damaged = true;
  }
  if (config_.protocol == Protocol::Nmea) {
    out.bytes +=
        EncodeNmea(out.epoch, config_.faults.badChecksumEvery, &sentenceCounter_, &out.damaged);
  } else {
    out.bytes += EncodeTsip(out.epoch, config_.leapSeconds);
  }
  return out;
}

}  // namespace gpssim
