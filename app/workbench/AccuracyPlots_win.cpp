// Painting the Accuracy tab's scatter and height strip with GDI. The scatter's grid and dots are
// an 8-bit raster blitted once, so a day of 10 Hz samples costs one pass and one blit; the strip
// draws one vertical stroke per pixel column in one call.
#include "app/workbench/AccuracyPlots_win.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ui/FormRenderer_win.h"
#include "app/workbench/DeviationPlot.h"
#include "app/workbench/Graph_win.h"

namespace pelmora::workbench {
namespace {

const COLORREF kGrid = RGB(228, 228, 228);
const COLORREF kAxis = RGB(160, 160, 160);
const COLORREF kDots = RGB(30, 90, 200);
const COLORREF kCep50 = RGB(0, 140, 0);
const COLORREF kCep95 = RGB(210, 80, 0);
const COLORREF kReference = RGB(0, 0, 0);
const COLORREF kText = RGB(0, 0, 0);

void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

// A radius as the statistics show it.
std::string Metres(double metres) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f m", metres);
  return text;
}

int TextHeight(HDC dc) {
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  return metrics.tmHeight;
}

void Frame(HDC dc, const RECT& area) {
  FrameRect(dc, &area, GetSysColorBrush(COLOR_BTNSHADOW));
}

// The scatter's background, grid, axes and dots as an 8-bit raster shown in one blit: a pixel
// write per dot instead of a GDI call, so a day of samples costs one pass.
class Raster {
 public:
  enum Colour : uint8_t { Background, Grid, Axis, Dot, kColours };

  Raster(int width, int height)
      : width_(width),
        height_(height),
        stride_((width + 3) / 4 * 4),
        pixels_(static_cast<std::size_t>(stride_) * height, Background) {}

  void Row(int y, Colour c) {
    if (y >= 0 && y < height_) std::fill_n(&pixels_[Index(0, y)], width_, c);
  }
  void Column(int x, Colour c) {
    if (x < 0 || x >= width_) return;
    for (int y = 0; y < height_; ++y)
      pixels_[Index(x, y)] = c;
  }
  // A size × size block centred on x, y, clipped.
  void Block(int x, int y, int size, Colour c) {
    const int x0 = std::max(0, x - size / 2), y0 = std::max(0, y - size / 2);
    const int x1 = std::min(width_, x - size / 2 + size),
              y1 = std::min(height_, y - size / 2 + size);
    for (int yy = y0; yy < y1; ++yy)
      for (int xx = x0; xx < x1; ++xx)
        pixels_[Index(xx, yy)] = c;
  }
  void Show(HDC dc, int x, int y) const {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[kColours];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width_;
    info.header.biHeight = -height_;  // top-down rows
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = kColours;
    const COLORREF colours[kColours] = {GetSysColor(COLOR_WINDOW), kGrid, kAxis, kDots};
    for (int i = 0; i < kColours; ++i)
      info.colours[i] = {GetBValue(colours[i]), GetGValue(colours[i]), GetRValue(colours[i]), 0};
    StretchDIBits(dc, x, y, width_, height_, 0, 0, width_, height_, pixels_.data(),
                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
  }

 private:
  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * stride_ + x; }
  int width_, height_, stride_;
  std::vector<uint8_t> pixels_;
};

// A circle drawn with a one-pixel pen width times (a wide pen's ellipse is slow in GDI).
void Circle(HDC dc, int cx, int cy, int radius, int width, COLORREF colour) {
  SelectedObject pen(dc, CreatePen(PS_SOLID, 1, colour));
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  for (int k = 0; k < width; ++k) {
    const int r = radius - width / 2 + k;
    if (r > 0) Ellipse(dc, cx - r, cy - r, cx + r + 1, cy + r + 1);
  }
}

}  // namespace

void PaintScatter(HDC dc, const RECT& area, double scale, const AccuracyStats& stats,
                  const AccuracySummary& summary) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width < 8 || height < 8) return;
  SelectedObject font(dc, GraphFont(scale));
  SetBkMode(dc, TRANSPARENT);
  const int textHeight = TextHeight(dc);
  const int cx = area.left + width / 2, cy = area.top + height / 2;
  const double halfPixels = std::min(width, height) / 2.0 - Scaled(scale, 6);
  const bool any = summary.samples > 0;
  double extent = any ? summary.maxHorizontalAxis : 0.0;
  if (any && std::isfinite(summary.cep95)) extent = std::max(extent, summary.cep95);
  const PlotAxes axes = ChooseAxes(extent, halfPixels, Scaled(scale, 36));
  const double pixelsPerMetre = 1.0 / axes.metresPerPixel;

  // The grid at whole steps from the reference, the axes through it, then the dots: one bit per
  // pixel, so at most one dot per pixel however many samples fall there.
  Raster raster(width, height);
  const int x0 = cx - area.left, y0 = cy - area.top;
  const double stepPixels = axes.step * pixelsPerMetre;
  const int lines = static_cast<int>(std::max(width, height) / stepPixels) + 1;
  for (int k = -lines; k <= lines; ++k) {
    const int offset = static_cast<int>(std::lround(k * stepPixels));
    raster.Column(x0 + offset, k == 0 ? Raster::Axis : Raster::Grid);
    raster.Row(y0 - offset, k == 0 ? Raster::Axis : Raster::Grid);
  }
  PixelMask mask(width, height);
  stats.ForEachDeviation([&](const Enu& d, float) {
    mask.Mark(x0 + 0.5 + d.east * pixelsPerMetre, y0 + 0.5 - d.north * pixelsPerMetre);
  });
  const int dot = Scaled(scale, 2);
  for (const uint32_t p : mask.pixels())
    raster.Block(static_cast<int>(p % width), static_cast<int>(p / width), dot, Raster::Dot);
  raster.Show(dc, area.left, area.top);
  GraphText(dc, cx + Scaled(scale, 3), area.top + Scaled(scale, 2), TA_LEFT | TA_TOP, kAxis, "N");
  GraphText(dc, area.right - Scaled(scale, 4), cy - textHeight - Scaled(scale, 1),
            TA_RIGHT | TA_TOP, kAxis, "E");

  const struct {
    const char* name;
    double radius;
    COLORREF colour;
    int side;  // the label's side: 1 above right, -1 below right
  } circles[] = {{"CEP50 ", summary.cep50, kCep50, 1}, {"CEP95 ", summary.cep95, kCep95, -1}};
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  for (const auto& c : circles) {
    if (!any || !std::isfinite(c.radius)) continue;
    const int r = static_cast<int>(std::lround(c.radius * pixelsPerMetre));
    Circle(dc, cx, cy, r, Scaled(scale, 2), c.colour);
    const int diagonal = static_cast<int>(std::lround(r * 0.7071));
    const int y = c.side > 0 ? cy - diagonal - textHeight : cy + diagonal;
    GraphText(dc, cx + diagonal + Scaled(scale, 3), y, TA_LEFT | TA_TOP, c.colour,
              std::string(c.name).append(Metres(c.radius)));
  }
  {
    // The reference: a cross at the centre.
    const int arm = Scaled(scale, 7);
    SelectedObject pen(dc, CreatePen(PS_SOLID, Scaled(scale, 2), kReference));
    Line(dc, cx - arm, cy, cx + arm + 1, cy);
    Line(dc, cx, cy - arm, cx, cy + arm + 1);
  }
  {
    // The metre scale: a bar one grid step long, bottom left.
    const int barLength = static_cast<int>(std::lround(axes.step * pixelsPerMetre));
    const int left = area.left + Scaled(scale, 8), y = area.bottom - Scaled(scale, 8);
    const int tick = Scaled(scale, 4);
    SelectedObject pen(dc, CreatePen(PS_SOLID, Scaled(scale, 2), kText));
    Line(dc, left, y, left + barLength, y);
    Line(dc, left, y - tick, left, y + 1);
    Line(dc, left + barLength, y - tick, left + barLength, y + 1);
    GraphText(dc, left, y - tick - textHeight, TA_LEFT | TA_TOP, kText,
              std::string("grid ").append(MetresText(axes.step)));
  }
  GraphText(dc, area.left + Scaled(scale, 4), area.top + Scaled(scale, 2), TA_LEFT | TA_TOP, kText,
            any ? "East / north" : "East / north: no samples yet");
  Frame(dc, area);
}

void PaintHeightStrip(HDC dc, const RECT& area, double scale, const AccuracyStats& stats,
                      const AccuracySummary& summary) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width < 8 || height < 8) return;
  SelectedObject font(dc, GraphFont(scale));
  SetBkMode(dc, TRANSPARENT);
  const int textHeight = TextHeight(dc);
  const int inset = Scaled(scale, 3);
  const RECT plot{area.left + inset, area.top + inset, area.right - inset,
                  area.bottom - inset - textHeight};
  const int plotWidth = plot.right - plot.left, plotHeight = plot.bottom - plot.top;
  if (plotWidth < 4 || plotHeight < 4) return;
  const bool any = summary.samples > 0;
  double extent = any ? summary.maxVertical : 0.0;
  if (any && std::isfinite(summary.vertical95)) extent = std::max(extent, summary.vertical95);
  const PlotAxes axes = ChooseAxes(extent, plotHeight / 2.0, Scaled(scale, 14));
  const double pixelsPerMetre = 1.0 / axes.metresPerPixel;
  const int cy = plot.top + plotHeight / 2;
  auto yOf = [&](double up) { return cy - static_cast<int>(std::lround(up * pixelsPerMetre)); };

  // Time runs over the session's duration; samples without a time go by their order.
  const bool timed = any && summary.duration > 0.0;
  const double span = timed ? summary.duration : std::max<double>(1, stats.storedSamples() - 1);
  const double pixelsPerSecond = (plotWidth - 1) / span;
  {
    SelectedObject pen(dc, CreatePen(PS_SOLID, 1, kGrid));
    const int lines = static_cast<int>(plotHeight / 2 / (axes.step * pixelsPerMetre)) + 1;
    for (int k = -lines; k <= lines; ++k)
      if (yOf(k * axes.step) >= plot.top && yOf(k * axes.step) < plot.bottom)
        Line(dc, plot.left, yOf(k * axes.step), plot.right, yOf(k * axes.step));
    if (timed) {
      // Time lines at nice steps, each labelled below when its label has room.
      const double step = NiceTimeStep(span, std::max(1, plotWidth / Scaled(scale, 70)));
      GraphText(dc, plot.left, plot.bottom, TA_LEFT | TA_TOP, kAxis, ElapsedText(0));
      int labelsEnd = plot.left + TextSize(dc, ElapsedText(0)).cx + Scaled(scale, 6);
      for (double t = step; t <= span; t += step) {
        const int x = plot.left + static_cast<int>(std::lround(t * pixelsPerSecond));
        Line(dc, x, plot.top, x, plot.bottom);
        const std::string text = ElapsedText(t);
        const int half = TextSize(dc, text).cx / 2;
        if (x - half < labelsEnd || x + half > plot.right) continue;
        GraphText(dc, x - half, plot.bottom, TA_LEFT | TA_TOP, kAxis, text);
        labelsEnd = x + half + Scaled(scale, 6);
      }
    }
  }
  {
    SelectedObject pen(dc, CreatePen(PS_SOLID, 1, kAxis));
    Line(dc, plot.left, cy, plot.right, cy);
  }
  if (any && std::isfinite(summary.vertical95)) {
    SelectedObject pen(dc, CreatePen(PS_DOT, 1, kCep95));
    for (const int sign : {1, -1})
      Line(dc, plot.left, yOf(sign * summary.vertical95), plot.right,
           yOf(sign * summary.vertical95));
  }

  // Fewer samples than pixel columns: a line through them in order. More: one stroke per pixel
  // column from its lowest to its highest up (a day at 10 Hz fills every column).
  std::size_t index = 0;
  auto xOf = [&](float seconds) {
    return (timed ? seconds : static_cast<double>(index)) * pixelsPerSecond;
  };
  auto yIn = [&](double up) { return std::clamp<int>(yOf(up), plot.top, plot.bottom - 1); };
  std::vector<POINT> points;
  SelectedObject pen(dc, CreatePen(PS_SOLID, Scaled(scale, 1), kDots));
  if (stats.storedSamples() <= static_cast<std::size_t>(plotWidth)) {
    stats.ForEachDeviation([&](const Enu& d, float seconds) {
      const double x = xOf(seconds);
      ++index;
      if (std::isfinite(x)) points.push_back({plot.left + static_cast<int>(x), yIn(d.up)});
    });
    if (points.size() == 1) points.push_back({points[0].x + 1, points[0].y});
    Polyline(dc, points.data(), static_cast<int>(points.size()));
  } else {
    ColumnRanges columns(plotWidth);
    stats.ForEachDeviation([&](const Enu& d, float seconds) {
      columns.Add(xOf(seconds) + 0.5, d.up);
      ++index;
    });
    std::vector<DWORD> counts;
    for (std::size_t c = 0; c < columns.columns().size(); ++c) {
      const ColumnRanges::Range& r = columns.columns()[c];
      if (!r.any()) continue;
      const int x = plot.left + static_cast<int>(c);
      points.push_back({x, yIn(r.high)});
      points.push_back({x, yIn(r.low) + 1});
      counts.push_back(2);
    }
    PolyPolyline(dc, points.data(), counts.data(), static_cast<DWORD>(counts.size()));
  }

  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  std::string title = std::string("Up, grid ").append(MetresText(axes.step));
  if (any && std::isfinite(summary.vertical95))
    title.append(";  vertical 95 % ").append(Metres(summary.vertical95));
  GraphText(dc, area.left + Scaled(scale, 4), area.top + Scaled(scale, 2), TA_LEFT | TA_TOP, kText,
            title);
  Frame(dc, area);
}

}  // namespace pelmora::workbench
