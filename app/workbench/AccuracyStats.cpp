// Accuracy statistics of an averaging session.
#include "app/workbench/AccuracyStats.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pelmora::workbench {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

double Percentile(std::vector<float>& values, double p) {
  if (values.empty()) return kNaN;
  const double rank = std::clamp(p, 0.0, 1.0) * static_cast<double>(values.size() - 1);
  const std::size_t low = static_cast<std::size_t>(rank);
  const auto lowIt = values.begin() + static_cast<std::ptrdiff_t>(low);
  std::nth_element(values.begin(), lowIt, values.end());
  const double a = *lowIt;
  if (low + 1 >= values.size()) return a;
  const double b = *std::min_element(lowIt + 1, values.end());
  return a + (rank - static_cast<double>(low)) * (b - a);
}

AccuracyStats::AccuracyStats(std::size_t maxStored)
    : maxStored_(std::max<std::size_t>(2, maxStored + (maxStored & 1))) {}

void AccuracyStats::SetReference(ReferenceKind kind, const Geodetic& mark, bool markHasHeight) {
  kind_ = kind;
  mark_ = mark;
  markHasHeight_ = markHasHeight;
}

void AccuracyStats::Reset() {
  origin_.reset();
  count_ = excluded_ = 0;
  std::fill(std::begin(mean_), std::end(mean_), 0.0);
  for (auto& row : comoment_)
    std::fill(std::begin(row), std::end(row), 0.0);
  timed_ = false;
  stored_.clear();
  stride_ = 1;
}

bool AccuracyStats::Passes(const EpochSample& s) const {
  if (!s.hasFix || s.fixDimension < gates_.minFixDimension) return false;
  if (gates_.maxPdop > 0.0 && (s.pdop <= 0.0 || s.pdop > gates_.maxPdop)) return false;
  return s.satsUsed >= gates_.minSatsUsed;
}

AccuracyStats::Outcome AccuracyStats::Add(const EpochSample& s) {
  if (!running_) return Outcome::NotRunning;
  if (!Passes(s)) {
    ++excluded_;
    return Outcome::Excluded;
  }
  if (!origin_) origin_.emplace(s.position);
  const Enu v = origin_->ToEnu(s.position);
  const double x[3] = {v.east, v.north, v.up};
  ++count_;
  double delta[3];
  for (int i = 0; i < 3; ++i) {
    delta[i] = x[i] - mean_[i];
    mean_[i] += delta[i] / static_cast<double>(count_);
  }
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      comoment_[r][c] += delta[r] * (x[c] - mean_[c]);
  if (std::isfinite(s.time)) {
    if (!timed_) firstTime_ = s.time;
    lastTime_ = s.time;
    timed_ = true;
  }
  const uint64_t index = count_ - 1;
  if (index % stride_ == 0 && stored_.size() == maxStored_) {
    // Thin to every other kept sample; the kept ones stay evenly spaced in the session.
    for (std::size_t i = 0; 2 * i < stored_.size(); ++i)
      stored_[i] = stored_[2 * i];
    stored_.resize(stored_.size() / 2);
    stride_ *= 2;
  }
  if (index % stride_ == 0) {
    if (stored_.capacity() == 0) stored_.reserve(std::min<std::size_t>(maxStored_, 4096));
    const double seconds = std::isfinite(s.time) ? s.time - firstTime_ : kNaN;
    stored_.push_back({static_cast<float>(v.east), static_cast<float>(v.north),
                       static_cast<float>(v.up), static_cast<float>(seconds)});
  }
  return Outcome::Used;
}

std::optional<Geodetic> AccuracyStats::Reference() const {
  if (kind_ == ReferenceKind::Surveyed && (markHasHeight_ || !origin_)) return mark_;
  if (!origin_) return std::nullopt;
  if (kind_ == ReferenceKind::FirstFix) return origin_->origin();
  const Geodetic mean = origin_->ToGeodetic({mean_[0], mean_[1], mean_[2]});
  if (kind_ == ReferenceKind::Surveyed)
    return Geodetic{mark_.latitude, mark_.longitude, mean.height};
  return mean;
}

double AccuracyStats::HorizontalDeviation(const Geodetic& position) const {
  const std::optional<Geodetic> reference = Reference();
  if (!reference) return kNaN;
  const Enu v = LocalFrame(*reference).ToEnu(position);
  return std::hypot(v.east, v.north);
}

LocalFrame::Transform AccuracyStats::ToReference(Geodetic* reference) const {
  *reference = *Reference();
  return LocalFrame(*reference).From(*origin_);
}

AccuracySummary AccuracyStats::Summary() const {
  AccuracySummary out;
  out.samples = count_;
  out.excluded = excluded_;
  if (!origin_) {
    out.reference = kind_ == ReferenceKind::Surveyed ? mark_ : Geodetic{kNaN, kNaN, kNaN};
    out.mean = {kNaN, kNaN, kNaN};
    out.sigmaE = out.sigmaN = out.sigmaU = kNaN;
    out.cep50 = out.cep95 = out.twoDrms = out.vertical95 = kNaN;
    out.maxHorizontalAxis = out.maxVertical = kNaN;
    return out;
  }
  out.duration = timed_ ? lastTime_ - firstTime_ : 0.0;
  out.mean = origin_->ToGeodetic({mean_[0], mean_[1], mean_[2]});
  const LocalFrame::Transform t = ToReference(&out.reference);
  // Covariance in the reference frame: R C Rᵀ / n.
  double sigma2[3];
  for (int k = 0; k < 3; ++k) {
    double sum = 0.0;
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c)
        sum += t.rotation[k][r] * comoment_[r][c] * t.rotation[k][c];
    sigma2[k] = std::max(0.0, sum / static_cast<double>(count_));
  }
  out.sigmaE = std::sqrt(sigma2[0]);
  out.sigmaN = std::sqrt(sigma2[1]);
  out.sigmaU = std::sqrt(sigma2[2]);
  out.twoDrms = 2.0 * std::sqrt(sigma2[0] + sigma2[1]);

  std::vector<float> horizontal(stored_.size()), vertical(stored_.size());
  for (std::size_t i = 0; i < stored_.size(); ++i) {
    const Enu d = t.Apply(stored_[i].east, stored_[i].north, stored_[i].up);
    horizontal[i] = static_cast<float>(std::hypot(d.east, d.north));
    vertical[i] = static_cast<float>(std::fabs(d.up));
    out.maxHorizontalAxis =
        std::max({out.maxHorizontalAxis, std::fabs(d.east), std::fabs(d.north)});
    out.maxVertical = std::max(out.maxVertical, std::fabs(d.up));
  }
  out.cep50 = Percentile(horizontal, 0.50);
  out.cep95 = Percentile(horizontal, 0.95);
  out.vertical95 = Percentile(vertical, 0.95);
  return out;
}

std::vector<Enu> AccuracyStats::Deviations() const {
  std::vector<Enu> out;
  out.reserve(stored_.size());
  ForEachDeviation([&out](const Enu& d, float) { out.push_back(d); });
  return out;
}

}  // namespace pelmora::workbench
