// Satellite number ranges of NMEA, TSIP and the epoch.
#include "navlib32/SatNumbers.h"

namespace navlib {

GnssSystem SystemOfNmeaNumber(int prn) {
  if (prn >= 1 && prn <= 32) return GnssSystem::Gps;
  if ((prn >= 33 && prn <= 64) || (prn >= 120 && prn <= 158)) return GnssSystem::Sbas;
  if (prn >= 65 && prn <= 96) return GnssSystem::Glonass;
  if (prn >= 193 && prn <= 202) return GnssSystem::Qzss;
  if ((prn >= 201 && prn <= 263) || (prn >= 401 && prn <= 463)) return GnssSystem::Beidou;
  if (prn >= 301 && prn <= 336) return GnssSystem::Galileo;
  return GnssSystem::Gps;
}

int NmeaNumberInSystem(GnssSystem system, int prn) {
  switch (system) {
    case GnssSystem::Sbas:
      return prn >= 120 && prn <= 158 ? prn - 87 : prn;
    case GnssSystem::Galileo:
      if (prn > 300) return prn - 300;
      if (prn > 210 && prn <= 246) return prn - 210;
      return prn > 100 && prn <= 136 ? prn - 100 : prn;
    case GnssSystem::Beidou:
      return prn > 400 ? prn - 400 : (prn > 200 ? prn - 200 : prn);
    case GnssSystem::Qzss:
      return prn > 192 ? prn - 192 : prn;
    default:
      return prn;
  }
}

std::optional<GnssSystem> SystemOfNmeaId(int id) {
  switch (id) {
    case 1:
      return GnssSystem::Gps;
    case 2:
      return GnssSystem::Glonass;
    case 3:
      return GnssSystem::Galileo;
    case 4:
      return GnssSystem::Beidou;
    case 5:
      return GnssSystem::Qzss;
    case 6:
      return GnssSystem::Navic;
    default:
      return std::nullopt;
  }
}

GnssSystem SystemOfTsipNumberAboveGps(int prn) {
  if (prn >= 33 && prn <= 54) return GnssSystem::Sbas;
  if (prn >= 65 && prn <= 96) return GnssSystem::Glonass;
  if (prn >= 97 && prn <= 119) return GnssSystem::Galileo;
  if (prn >= 120 && prn <= 158) return GnssSystem::Sbas;
  if (prn >= 183 && prn <= 200) return GnssSystem::Qzss;
  if (prn >= 201 && prn <= 237) return GnssSystem::Beidou;
  return GnssSystem::Other;
}

int TsipKeptNumber(GnssSystem system, int prn, bool withinSystem) {
  if (withinSystem) {
    switch (system) {
      case GnssSystem::Glonass:
        return prn <= 32 ? prn + 64 : prn;
      case GnssSystem::Galileo:
        return prn + 300;
      case GnssSystem::Beidou:
        return prn + 200;
      case GnssSystem::Qzss:
        return prn <= 10 ? prn + 192 : prn;
      case GnssSystem::Sbas:
        return prn < 100 ? prn + 87 : prn;
      default:
        return prn;
    }
  }
  if (system == GnssSystem::Galileo && prn >= 97 && prn <= 133) return prn - 96 + 300;
  return prn;
}

int SvidOf(GnssSystem system, int keptNumber) {
  const int n = keptNumber;
  switch (system) {
    case GnssSystem::Sbas:
      return n <= 64 ? n + 87 : n;
    case GnssSystem::Glonass:
      return n > 64 && n <= 96 ? n - 64 : n;
    case GnssSystem::Galileo:
      return n > 300 ? n - 300 : n;
    case GnssSystem::Beidou:
      return n > 400 ? n - 400 : (n > 200 ? n - 200 : n);
    case GnssSystem::Qzss:
      return n > 192 ? n - 192 : n;
    default:
      return n;
  }
}

}  // namespace navlib
