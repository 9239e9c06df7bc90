// Grid steps, axes and per-pixel decimation of the Accuracy tab's graphs.
#include "app/workbench/DeviationPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pelmora::workbench {
namespace {

constexpr double kMinExtentMetres = 0.1;  // the scatter of a single fix still has a grid
// A step is taken when it is within this fraction of the raw step: 0.1·2 must count as 0.2.
constexpr double kStepSlack = 1e-9;

}  // namespace

double NiceStep(double span, int maxSteps) {
  if (!(span > 0.0) || !std::isfinite(span)) return 1.0;
  const double raw = span / std::max(1, maxSteps);
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 5.0})
    if (m * magnitude >= raw * (1.0 - kStepSlack)) return m * magnitude;
  return 10.0 * magnitude;
}

double NiceTimeStep(double seconds, int maxSteps) {
  static constexpr double kSteps[] = {1,   2,   5,    10,   15,   30,    60,    120,  300,
                                      600, 900, 1800, 3600, 7200, 10800, 21600, 43200};
  const double raw = seconds / std::max(1, maxSteps);
  for (const double step : kSteps)
    if (step >= raw * (1.0 - kStepSlack)) return step;
  return 86400.0 * std::max(1.0, NiceStep(seconds / 86400.0, maxSteps));
}

PlotAxes ChooseAxes(double extent, double halfPixels, double minSpacingPixels) {
  if (!(extent >= kMinExtentMetres) || !std::isfinite(extent)) extent = kMinExtentMetres;
  // The range rounds the extent up to a fifth of it at most (a nice step of up to 2.5 times the
  // extent / 5), so the points fill at least two thirds of the plot; the grid takes the finest
  // nice step its spacing allows.
  const double rangeStep = NiceStep(extent, 5);
  PlotAxes axes;
  axes.halfRange = std::max(1.0, std::ceil(extent / rangeStep * (1.0 - kStepSlack))) * rangeStep;
  axes.metresPerPixel = axes.halfRange / std::max(1.0, halfPixels);
  axes.step = NiceStep(std::max(1.0, minSpacingPixels) * axes.metresPerPixel, 1);
  return axes;
}

std::string MetresText(double metres) {
  char text[32];
  if (std::fabs(metres) >= 1000.0)
    std::snprintf(text, sizeof text, "%g km", metres / 1000.0);
  else
    std::snprintf(text, sizeof text, "%g m", metres);
  return text;
}

std::string ElapsedText(double seconds) {
  const long long whole = std::isfinite(seconds) ? std::llround(std::max(0.0, seconds)) : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
  return text;
}

PixelMask::PixelMask(int width, int height)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      stride_((width_ + 7) / 8),
      bits_(static_cast<std::size_t>(stride_) * height_, 0) {}

bool PixelMask::Mark(double x, double y) {
  if (!(x >= 0.0 && x < width_ && y >= 0.0 && y < height_)) return false;  // NaN too
  const int xi = static_cast<int>(x), yi = static_cast<int>(y);
  uint8_t& byte = bits_[static_cast<std::size_t>(yi) * stride_ + xi / 8];
  const uint8_t bit = static_cast<uint8_t>(0x80 >> (xi % 8));
  if ((byte & bit) != 0) return false;
  byte |= bit;
  pixels_.push_back(static_cast<uint32_t>(yi) * static_cast<uint32_t>(width_) +
                    static_cast<uint32_t>(xi));
  return true;
}

bool PixelMask::Marked(int x, int y) const {
  if (x < 0 || x >= width_ || y < 0 || y >= height_) return false;
  return (bits_[static_cast<std::size_t>(y) * stride_ + x / 8] & (0x80 >> (x % 8))) != 0;
}

ColumnRanges::ColumnRanges(int width) : columns_(static_cast<std::size_t>(std::max(0, width))) {}

void ColumnRanges::Add(double x, double value) {
  if (!(x >= 0.0 && x < static_cast<double>(columns_.size())) || !std::isfinite(value)) return;
  Range& r = columns_[static_cast<std::size_t>(x)];
  const float v = static_cast<float>(value);
  r.low = std::min(r.low, v);
  r.high = std::max(r.high, v);
}

}  // namespace pelmora::workbench
