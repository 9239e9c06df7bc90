// Readings of the fix record shared by the NMEA and gpsd writers, and the epoch they publish.
#include "app/net/FixEpoch.h"

#include <algorithm>

namespace pelmora::net {
namespace {

bool Has(const FixRecord& fix, uint16_t bits) {
  return (fix.validFlags & bits) == bits;
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

FixEpoch FixEpochOf(const Epoch& epoch, std::string_view sentences) {
  FixEpoch e;
  e.fix = epoch.fix;
  e.receiverSpeaksNmea = (epoch.flags & kEpochNmea) != 0;
  e.sentences = sentences;
  if ((epoch.flags & kEpochHasDate) != 0)
    e.date = CivilDate{epoch.utcYear, epoch.utcMonth, epoch.utcDay};
  const int count = std::clamp<int>(epoch.satCount, 0, kMaxAllSats);
  e.satellites.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const EpochSat& s = epoch.sats[i];
    if (s.svid <= 0) continue;
    e.satellites.push_back(SkySatellite{GnssOf(static_cast<SatSystem>(s.system)), s.svid,
                                        s.elevation, s.azimuth, s.snr, s.used == 1});
  }
  return e;
}

}  // namespace pelmora::net
