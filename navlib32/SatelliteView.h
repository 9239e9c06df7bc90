// The satellites of the fix state: those reported in the epoch in progress and those held from
// completed epochs, the satellites used in the solution, how an epoch's reports merge into the
// held view, and which of them fill the record's twelve slots. Portable: no I/O, no heap.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "navlib32/GnssSystem.h"
#include "navlib32/TimeOfDay.h"
#include "navlib32/navlib32_records.h"

namespace navlib {

class SatelliteView {
 public:
  // Marks an absent azimuth, elevation or signal.
  static constexpr int kNoValue = -32768;
  // Satellites in view held at once, all systems together: a multi-GNSS receiver sees about
  // 40; the rest is slack. Reports beyond it are dropped.
  static constexpr int kMaxInView = 96;
  static constexpr int kMaxUsed = 64;

  // When held satellites are looked at: the caller's clock and the time of day of the latest
  // completed epoch (kNoTime: none). Reports older than kStaleSeconds are not current.
  struct Clock {
    double now;
    double latestTime;
  };

  void Reset();

  // --- The epoch in progress (see FixState for the meaning of each report) ----------------

  // One satellite of a complete in-view report of its system; prn 0 or less only marks the
  // system's view as reported.
  void AddInView(GnssSystem system, int prn, int elevation, int azimuth, int snr);
  // One satellite's report on its own. False when the number is out of range.
  bool Update(GnssSystem system, int prn, int elevation, int azimuth, int snr);
  void AddUsed(GnssSystem system, const int* prns, std::size_t count);

  // The epoch completed at stamp (arrival time) with the time of day epochTime: complete views
  // replace their system's held satellites, single reports merge, satellites that are no longer
  // current at stamp are dropped, a reported used list replaces the held one.
  void CompleteEpoch(double stamp, double epochTime);

  // --- Held satellites ------------------------------------------------------------------

  // The held used list is current: its length, else -1.
  int CurrentUsedCount(const Clock& clock) const;

  // Fills up to `slots` record slots with the current satellites (used first, then by signal,
  // then by elevation), shown in system and number order; returns how many. geometry: some
  // chosen satellite has both elevation and azimuth.
  int Choose(const Clock& clock, pelmora::SatInfo* out, int slots, bool* geometry) const;

 private:
  struct Sat {
    GnssSystem system = GnssSystem::Other;
    int16_t prn = 0;
    int16_t elevation = kNoValue;
    int16_t azimuth = kNoValue;
    int16_t snr = kNoValue;
    double setAt = 0.0;
    double dataTime = kNoTime;
  };

  struct SatId {
    GnssSystem system = GnssSystem::Other;
    int16_t prn = 0;
  };

  // Satellites in view and used: those of the epoch in progress, or the held ones.
  struct Lists {
    std::array<Sat, kMaxInView> sats;
    int satCount = 0;
    std::array<SatId, kMaxUsed> used;
    int usedCount = 0;
    bool usedReported = false;
    uint8_t viewSystems = 0;  // bit per GnssSystem with a complete in-view report (epoch only)
    double usedSetAt = 0.0;   // held: when the used list was reported
    double usedDataTime = kNoTime;
  };

  static Sat* Find(Lists& lists, GnssSystem system, int prn);
  static bool Listed(const Lists& lists, GnssSystem system, int prn);
  bool UsedListCurrent(const Clock& clock) const;
  void MergeSatellites(double stamp, double epochTime);

  Lists cur_;
  Lists held_;
};

}  // namespace navlib
