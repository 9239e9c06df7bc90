// The trails' tracks: a point per step, aged out by the window.
#include "app/workbench/SkyTrails.h"

#include <algorithm>
#include <cmath>

namespace pelmora::workbench {
namespace {

bool HasPosition(const EpochSat& sat) {
  if (sat.elevation == 0 && sat.azimuth == 0) return false;  // the engine's "unknown"
  return sat.elevation >= 0 && sat.elevation <= 90 && sat.azimuth >= 0 && sat.azimuth <= 360;
}

}  // namespace

SkyTrails::SkyTrails(double windowSeconds, double stepSeconds)
    : window_(windowSeconds > 0 ? windowSeconds : kDefaultWindowSeconds),
      step_(stepSeconds > 0 ? stepSeconds : kDefaultStepSeconds) {}

void SkyTrails::Add(double time, const EpochSat* sats, int count) {
  if (!std::isfinite(time)) return;
  if (started_ && time < last_) Clear();
  started_ = true;
  last_ = time;
  AgeOut(time);
  count = std::clamp(count, 0, kMaxAllSats);
  for (int i = 0; i < count; ++i) {
    const EpochSat& sat = sats[i];
    if (!HasPosition(sat)) continue;
    SkyTrack& track = TrackOf(sat.system, sat.svid);
    if (!track.points.empty() && time - track.points.back().time < step_) continue;
    track.points.push_back(
        {time, static_cast<float>(sat.elevation), static_cast<float>(sat.azimuth % 360)});
  }
}

void SkyTrails::Clear() {
  tracks_.clear();
  started_ = false;
}

std::size_t SkyTrails::PointCount() const {
  std::size_t n = 0;
  for (const SkyTrack& t : tracks_)
    n += t.points.size();
  return n;
}

SkyTrack& SkyTrails::TrackOf(int16_t system, int16_t svid) {
  for (SkyTrack& t : tracks_)
    if (t.system == system && t.svid == svid) return t;
  if (tracks_.size() >= kMaxTracks) {
    // Full: the track seen last longest ago makes way.
    auto oldest = std::min_element(
        tracks_.begin(), tracks_.end(),
        [](const auto& a, const auto& b) { return a.points.back().time < b.points.back().time; });
    tracks_.erase(oldest);
  }
  SkyTrack& track = tracks_.emplace_back(SkyTrack{system, svid, {}});
  track.points.reserve(static_cast<std::size_t>(window_ / step_) + 1);
  return track;
}

// Drops the points that left the window, then the tracks left without one. Tracks are never
// empty otherwise: a track is made only to take a point.
void SkyTrails::AgeOut(double now) {
  const double oldest = now - window_;
  for (SkyTrack& t : tracks_) {
    auto keep = std::find_if(t.points.begin(), t.points.end(),
                             [oldest](const TrailPoint& p) { return p.time >= oldest; });
    t.points.erase(t.points.begin(), keep);
  }
  std::erase_if(tracks_, [](const SkyTrack& t) { return t.points.empty(); });
}

}  // namespace pelmora::workbench
