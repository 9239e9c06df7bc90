// The satellites of the fix state: those reported in the epoch in progress and those held from
// completed epochs, the satellites used in the solution, how an epoch's reports merge into the
// held view, which of them fill the record's twelve slots, and the full list of every satellite
// heard. Portable: no I/O, no heap.
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
  // Satellites held at once, all systems together: a multi-GNSS receiver tracks 30 to 60.
  // Reports beyond it are dropped.
  static constexpr int kMaxInView = pelmora::kMaxAllSats;
  static constexpr int kMaxUsed = 64;

  // When held satellites are looked at: the caller's clock and the time of day of the latest
  // completed epoch (kNoTime: none).
  struct Clock {
    double now;
    double latestTime;
  };

  void Reset();

  // --- The epoch in progress (see FixState for the meaning of each report) ----------------

  // One satellite of a complete in-view report of its system; prn 0 or less only marks the
  // system's view as reported.
  void AddInView(GnssSystem system, int prn, int elevation, int azimuth, int snr, int signal = 0);
  // One satellite's report on its own. signal: the receiver's signal id (0: not given). A
  // satellite reported on several signals (dual-band receivers list it once per signal) is one
  // satellite with its strongest signal; reported twice on one signal, the first report holds.
  // The first elevation and azimuth given hold. False when the number is out of range.
  bool Update(GnssSystem system, int prn, int elevation, int azimuth, int snr, int signal = 0) {
    if (prn <= 0 || prn > 999) return false;
    Sat* sat = Put(system, prn, elevation, azimuth, snr, signal);
    if (sat != nullptr) sat->single = true;
    return true;
  }
  void AddUsed(GnssSystem system, const int* prns, std::size_t count);
  // The reports of this epoch list every satellite of every system (a numbered burst): held
  // satellites they leave out are dropped when it completes.
  void MarkCompleteView();
  // How long satellites reported on their own (Update, not AddInView) stay current without a
  // new report, at least kStaleSeconds: receivers that report their satellites every few
  // seconds keep them between reports.
  void SetReportAge(double seconds) {
    reportAge_ = seconds > kStaleSeconds ? seconds : kStaleSeconds;
  }

  // The epoch completed at stamp (arrival time) with the time of day epochTime: complete views
  // replace their system's held satellites, single reports merge, satellites that are no longer
  // current at stamp are dropped (unless the current used list names them), a reported used
  // list replaces the held one.
  void CompleteEpoch(double stamp, double epochTime);

  // A report that belongs to the latest completed epoch, arriving after the next one began
  // (satellites measured at T, sent after the fix of T + 1): between BeginLateReport and
  // EndLateReport the satellite reports go to it instead of the epoch in progress, and it then
  // merges into the held satellites with the time of day measuredAt.
  void BeginLateReport();
  bool InLateReport() const { return inLate_; }
  void EndLateReport(double stamp, double measuredAt);

  // --- Held satellites ------------------------------------------------------------------

  // The held used list is current: its length, else -1.
  int CurrentUsedCount(const Clock& clock) const;

  // Fills up to `slots` record slots with the current satellites (used first, then by signal,
  // then by elevation), shown in system and number order; returns how many. geometry: some
  // chosen satellite has both elevation and azimuth.
  int Choose(const Clock& clock, pelmora::SatInfo* out, int slots, bool* geometry) const;

  // Every current satellite, in system and number order, up to capacity; returns how many.
  int All(const Clock& clock, pelmora::SatDetail* out, int capacity) const;

 private:
  struct Sat {
    GnssSystem system = GnssSystem::Other;
    int16_t prn = 0;
    int16_t elevation = kNoValue;
    int16_t azimuth = kNoValue;
    int16_t snr = kNoValue;
    uint8_t signal = 0;   // the signal snr belongs to
    bool single = false;  // reported on its own, not as part of a complete view
    bool listed = false;  // held: the held used list names it
    double setAt = 0.0;
    double dataTime = kNoTime;
  };

  struct SatId {
    GnssSystem system = GnssSystem::Other;
    int16_t prn = 0;
  };

  // A set of satellites (system and number 1..999), one bit each: membership without a search.
  class SatSet {
   public:
    void Add(GnssSystem system, int prn) { words_[Word(system, prn)] |= Bit(prn); }
    bool Has(GnssSystem system, int prn) const {
      return (words_[Word(system, prn)] & Bit(prn)) != 0;
    }
    void Remove(GnssSystem system, int prn) { words_[Word(system, prn)] &= ~Bit(prn); }

   private:
    static std::size_t Word(GnssSystem system, int prn) {
      return static_cast<std::size_t>(system) * 16 + (static_cast<unsigned>(prn) & 1023u) / 64;
    }
    static uint64_t Bit(int prn) { return uint64_t{1} << (static_cast<unsigned>(prn) % 64); }
    std::array<uint64_t, kGnssSystemCount * 16> words_{};
  };

  // Satellites in view and used: those of one report (the epoch in progress or a late report),
  // or the held ones (kept in system and number order).
  struct Lists {
    std::array<Sat, kMaxInView> sats;
    int satCount = 0;
    std::array<SatId, kMaxUsed> used;
    int usedCount = 0;
    SatSet reported;  // reports: the satellites in sats
    SatSet usedSet;   // reports: the satellites in used
    bool usedReported = false;
    uint8_t viewSystems = 0;  // bit per GnssSystem with a complete in-view report (reports)
    double usedSetAt = 0.0;   // held: when the used list was reported
    double usedDataTime = kNoTime;
  };

  // A held satellite as the record shows it.
  struct Candidate {
    const Sat* sat;
    bool used;
  };

  Sat* Put(GnssSystem system, int prn, int elevation, int azimuth, int snr, int signal);
  static bool BySystemAndNumber(const Sat& a, const Sat& b);
  static Sat* Find(Lists& report, GnssSystem system, int prn);
  // The held satellite among the first `sorted` ones (in system and number order), or null.
  Sat* FindHeld(int sorted, GnssSystem system, int prn);
  static bool Listed(const Lists& lists, GnssSystem system, int prn);
  static void ClearReport(Lists& report);
  bool UsedListCurrent(const Clock& clock) const;
  // Whether the held satellite is shown: its own report is current, or the current used list
  // names it.
  bool Shown(const Sat& s, const Clock& clock, bool usedList) const;
  // The shown satellites, in held order; returns how many.
  int Candidates(const Clock& clock, Candidate* out) const;
  void Merge(Lists& report, double stamp, double epochTime);
  // The lists the satellite reports go to now.
  Lists& Report() { return inLate_ ? late_ : cur_; }

  Lists cur_;
  Lists late_;
  Lists held_;
  bool inLate_ = false;  // reports go to late_, else cur_ (a flag: copies of the view stay whole)
  double reportAge_ = kStaleSeconds;
};

}  // namespace navlib
