// Satellite numbering, in one place: how receivers number satellites (NMEA talker ranges and the
// extended ranges of multi-GNSS receivers, NMEA 4.10 system ids, TSIP's ranges and its numbers
// within a system), the number the engine keeps for each, and the number within its system that
// an epoch reports. Portable: standard C++ only.
#pragma once

#include <optional>

#include "navlib32/GnssSystem.h"

namespace navlib {

// --- NMEA ------------------------------------------------------------------------------------

// The system of a satellite number as receivers without a system id print it: NMEA's own ranges
// (GPS 1-32, SBAS 33-64, GLONASS 65-96) and the extended ones of multi-GNSS receivers (SBAS
// PRNs, QZSS 193-202, BeiDou 201-263 and 401-463, Galileo 301-336). GPS when unknown.
GnssSystem SystemOfNmeaNumber(int prn);

// A number brought into the range its own system's talker uses (SBAS 33-64, Galileo, BeiDou and
// QZSS from 1), so that GSA and GSV of any receiver name a satellite alike. Galileo comes as
// 301-336, 211-246 or 101-136 (100 + svid) from some receivers.
int NmeaNumberInSystem(GnssSystem system, int prn);

// The system of an NMEA 4.10 system id (GSA, GSV); none for ids it does not define.
std::optional<GnssSystem> SystemOfNmeaId(int id);

// --- TSIP ------------------------------------------------------------------------------------

// The system of a classic TSIP number: GPS 1-32, SBAS 33-54 (SMT 360) or 120-158, GLONASS
// 65-96, Galileo 97-119 as far as it does not clash with SBAS, QZSS 183-200, BeiDou 201-237.
// GPS, the usual case, inline: it is asked for every satellite of every report.
GnssSystem SystemOfTsipNumberAboveGps(int prn);
inline GnssSystem SystemOfTsipNumber(int prn) {
  return prn >= 1 && prn <= 32 ? GnssSystem::Gps : SystemOfTsipNumberAboveGps(prn);
}

// The number the engine keeps for a TSIP satellite, in the one range NMEA 4.x tools use: GPS
// 1-32, SBAS 120-158, GLONASS 65-96, Galileo 301-336, BeiDou 201-263, QZSS 193-202. Classic TSIP
// already numbers this way except Galileo (97-133); TSIPv1 numbers within each system
// (withinSystem).
int TsipKeptNumber(GnssSystem system, int prn, bool withinSystem);

// --- Epochs ----------------------------------------------------------------------------------

// The number within its system (gpsd's svid) of a satellite the engine keeps under either
// convention above: SBAS as its PRN 120-158, GLONASS 1-32, Galileo, BeiDou and QZSS from 1.
int SvidOf(GnssSystem system, int keptNumber);

}  // namespace navlib
