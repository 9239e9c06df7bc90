// The sky plot's trails: where each satellite stood over the last minutes, one point per step
// of the receiver's clock. Points older than the window age out, and with them the tracks of
// satellites no longer reported. Portable: standard C++ only.
//
// Memory: at most kMaxTracks tracks of at most window / step + 1 points of 16 bytes; 128 tracks
// of 121 points (30 minutes every 15 s) are 248 KB. Thirty minutes, because a satellite crosses
// about half a degree of sky a minute: a shorter trail hides under its symbol.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "navlib32/navlib32_epoch.h"

namespace pelmora::workbench {

struct TrailPoint {
  double time;  // seconds (EpochClock)
  float elevationDeg;
  float azimuthDeg;
};

struct SkyTrack {
  int16_t system;
  int16_t svid;
  std::vector<TrailPoint> points;  // oldest first
};

class SkyTrails {
 public:
  static constexpr double kDefaultWindowSeconds = 1800.0;
  static constexpr double kDefaultStepSeconds = 15.0;
  // Twice an epoch's satellites: a whole sky set and a new one risen within the window.
  static constexpr std::size_t kMaxTracks = 2 * kMaxAllSats;

  explicit SkyTrails(double windowSeconds = kDefaultWindowSeconds,
                     double stepSeconds = kDefaultStepSeconds);

  // The satellites of an epoch at time. A satellite without a position (elevation and azimuth
  // both 0, or out of range) adds nothing. A time before the last one (a seek back, a new
  // source) starts the trails again; a time that is not finite is ignored.
  void Add(double time, const EpochSat* sats, int count);
  void Clear();

  const std::vector<SkyTrack>& Tracks() const { return tracks_; }
  std::size_t PointCount() const;

 private:
  SkyTrack& TrackOf(int16_t system, int16_t svid);
  void AgeOut(double now);

  double window_;
  double step_;
  double last_ = 0.0;
  bool started_ = false;
  std::vector<SkyTrack> tracks_;
};

}  // namespace pelmora::workbench
