// Readings of the fix record shared by the NMEA and gpsd writers.
#include "app/net/FixEpoch.h"

namespace pelmora::net {
namespace {

bool Has(const FixRecord& fix, uint16_t bits) {
  return (fix.validFlags & bits) == bits;
}

// The number within its system of a satellite the engine numbers as its system's NMEA talker
// does (SBAS 33..64, GLONASS 65..96, QZSS 193..202 in the classic ranges).
int SvidOf(Gnss system, int prn) {
  switch (system) {
    case Gnss::Sbas:
      return prn <= 64 ? prn + 87 : prn;
    case Gnss::Glonass:
      return prn > 64 ? prn - 64 : prn;
    case Gnss::Qzss:
      return prn > 192 ? prn - 192 : prn;
    default:
      return prn;
  }
}

Gnss GnssOf(SatSystem system) {
  switch (system) {
    case SatSystem::Sbas:
      return Gnss::Sbas;
    case SatSystem::Glonass:
      return Gnss::Glonass;
    case SatSystem::Galileo:
      return Gnss::Galileo;
    case SatSystem::Beidou:
      return Gnss::Beidou;
    case SatSystem::Qzss:
      return Gnss::Qzss;
    case SatSystem::Navic:
      return Gnss::Navic;
    default:
      return Gnss::Gps;
  }
}

// A record slot or an entry of the engine's full list.
template <typename Slot>
SkySatellite Sky(Gnss system, int prn, const Slot& slot) {
  SkySatellite s;
  s.system = system;
  s.svid = SvidOf(system, prn);
  s.elevation = slot.elevation;
  s.azimuth = slot.azimuth;
  s.snr = slot.snr;
  s.used = slot.used == 1;
  return s;
}

}  // namespace

bool HoldsData(const FixRecord& fix) {
  return (fix.validFlags & ~kValidStatus) != 0;
}

bool HasFix(const FixRecord& fix) {
  if (!Has(fix, kValidPosition)) return false;
  return !Has(fix, kValidFixMode) || fix.fixMode >= 2;
}

int FixDimension(const FixRecord& fix) {
  if (!HasFix(fix)) return 1;
  if (Has(fix, kValidFixMode) && fix.fixMode >= 2 && fix.fixMode <= 5)
    return fix.fixMode == 2 || fix.fixMode == 4 ? 2 : 3;
  return Has(fix, kValidGeoidHeight) || Has(fix, kValidEllipsoidHeight) ? 3 : 2;
}

bool Differential(const FixRecord& fix) {
  return Has(fix, kValidFixMode) && (fix.fixMode == 4 || fix.fixMode == 5);
}

std::vector<SkySatellite> SatellitesFromRecord(const FixRecord& fix) {
  std::vector<SkySatellite> sats;
  if ((fix.validFlags & (kValidGeometry | kValidSignal)) == 0) return sats;
  for (const SatInfo& slot : fix.sats) {
    const int prn = slot.prn;
    if (prn <= 0) continue;
    Gnss system = Gnss::Gps;
    if (prn >= 33 && prn <= 64) {
      system = Gnss::Sbas;
    } else if (prn >= 65 && prn <= 96) {
      system = Gnss::Glonass;
    } else if (prn >= 193 && prn <= 202) {
      system = Gnss::Qzss;
    }
    sats.push_back(Sky(system, prn, slot));
  }
  return sats;
}

std::vector<SkySatellite> SatellitesFromDetails(const std::vector<SatDetail>& details) {
  std::vector<SkySatellite> sats;
  sats.reserve(details.size());
  for (const SatDetail& d : details) {
    if (d.prn <= 0) continue;
    sats.push_back(Sky(GnssOf(static_cast<SatSystem>(d.system)), d.prn, d));
  }
  return sats;
}

}  // namespace pelmora::net
