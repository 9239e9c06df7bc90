// Readings of the fix record shared by the NMEA and gpsd writers.
#include "app/net/FixEpoch.h"

namespace pelmora::net {
namespace {

bool Has(const FixRecord& fix, uint16_t bits) {
  return (fix.validFlags & bits) == bits;
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
    SkySatellite s;
    if (prn >= 33 && prn <= 64) {
      s.system = Gnss::Sbas;
      s.svid = prn + 87;
    } else if (prn >= 65 && prn <= 96) {
      s.system = Gnss::Glonass;
      s.svid = prn - 64;
    } else if (prn >= 193 && prn <= 202) {
      s.system = Gnss::Qzss;
      s.svid = prn - 192;
    } else {
      s.svid = prn;
    }
    s.elevation = slot.elevation;
    s.azimuth = slot.azimuth;
    s.snr = slot.snr;
    s.used = slot.used == 1;
    sats.push_back(s);
  }
  return sats;
}

}  // namespace pelmora::net
