// The numbers behind the Accuracy tab's graphs: nice grid steps, the equal-scale axes of the
// east/north scatter, the time steps of the height strip, and the per-pixel decimation that lets
// a day of 10 Hz samples paint in one pass (a bit per pixel for the scatter's dots, a minimum and
// maximum per pixel column for the strip). Portable: standard C++ only.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace pelmora::workbench {

// The smallest step of 1, 2 or 5 times a power of ten that divides span into at most maxSteps
// steps (at least one). span must be positive; 1 otherwise.
double NiceStep(double span, int maxSteps);

// The same for seconds: 1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min, 1, 2, 3, 6, 12 h, then
// whole days by NiceStep.
double NiceTimeStep(double seconds, int maxSteps);

// Axes symmetric about a centre, the same metres per pixel both ways.
struct PlotAxes {
  double metresPerPixel = 1.0;
  double halfRange = 1.0;  // metres from the centre to the edge of the shorter side
  double step = 1.0;       // metres between grid lines
};

// Axes that show every deviation up to extent (metres, from the centre) within halfPixels of the
// centre, at most half as far again, with grid lines at least minSpacingPixels apart. A zero or
// unknown extent shows 10 cm.
PlotAxes ChooseAxes(double extent, double halfPixels, double minSpacingPixels);

// A step as its label: "50 m", "0.2 m", "2 km".
std::string MetresText(double metres);
// Elapsed seconds as h:mm:ss.
std::string ElapsedText(double seconds);

// One bit per pixel of a width × height plot; a point marks the pixel it falls on, and the list of
// marked pixels is what gets drawn: at most one dot per pixel however many points fall there.
class PixelMask {
 public:
  PixelMask(int width, int height);

  // Marks the pixel under (x, y); false when it lies outside or was marked before.
  bool Mark(double x, double y);
  bool Marked(int x, int y) const;
  // The marked pixels in the order they were first marked, each y * width + x.
  const std::vector<uint32_t>& pixels() const { return pixels_; }

 private:
  int width_, height_, stride_;  // stride: bytes a row
  std::vector<uint8_t> bits_;
  std::vector<uint32_t> pixels_;
};

// The lowest and highest value that falls into each pixel column of a strip chart.
class ColumnRanges {
 public:
  struct Range {
    float low = std::numeric_limits<float>::infinity();
    float high = -std::numeric_limits<float>::infinity();
    bool any() const { return low <= high; }
  };
  explicit ColumnRanges(int width);
  // x in pixels; points outside 0..width are left out, as are non-finite ones.
  void Add(double x, double value);
  const std::vector<Range>& columns() const { return columns_; }

 private:
  std::vector<Range> columns_;
};

}  // namespace pelmora::workbench
