// navdump --stats: the accuracy statistics of a whole log as one JSON object, computed by the
// workbench's own AccuracyStats. Its options live here, apart from navdump's others.
#pragma once

#include <optional>
#include <string>

#include "app/workbench/AccuracyStats.h"
#include "navlib32/LogReplay.h"

namespace navdump {

struct StatsOptions {
  bool enabled = false;                                   // --stats
  bool qualified = false;                                 // --reference or --gate given
  std::optional<pelmora::workbench::Geodetic> reference;  // none: the running average
  bool referenceHeight = false;                           // the reference gave a height
  pelmora::workbench::QualityGates gates;
  bool Valid() const { return enabled || !qualified; }
};

// When argv[i] is --stats, --reference LAT,LON[,HEIGHT] or --gate fix=2|3,pdop=X,sats=N (also
// with "="), takes it and its value (advancing i) and returns whether it was well formed;
// nullopt for any other argument.
std::optional<bool> TakeStatsArg(int argc, char** argv, int& i, StatsOptions& options);

// The summary as one JSON line: samples, excluded, meanLat, meanLon, meanHeight, sigmaE, sigmaN,
// sigmaU, cep50, cep95, twoDrms, vertical95 (degrees and metres; null when there are none).
std::string FormatStatsJson(const pelmora::workbench::AccuracySummary& summary);

// Replays the started log to its end and prints its statistics; returns the exit code.
int PrintStats(navlib::LogReplay& replay, const StatsOptions& options, const char* path);

}  // namespace navdump
