// The History tab's strip charts: GDI over the portable chart numbers (HistoryChart).
#include "app/workbench/HistoryCharts_win.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/FormRenderer_win.h"
#include "app/workbench/Graph_win.h"
#include "app/workbench/HistoryChart.h"

namespace pelmora::workbench {
namespace {

constexpr COLORREF kPlotBack = RGB(255, 255, 255);
constexpr COLORREF kFrame = RGB(160, 160, 160);
constexpr COLORREF kGrid = RGB(228, 228, 228);
constexpr COLORREF kText = RGB(0, 0, 0);

// Per OutageKind (FixLost, TimeJump, EpochsMissing): shading, and shading when selected.
constexpr COLORREF kOutageShade[3] = {RGB(255, 218, 218), RGB(250, 170, 60), RGB(222, 222, 238)};
constexpr COLORREF kOutageSelected[3] = {RGB(250, 150, 150), RGB(240, 130, 0), RGB(170, 170, 215)};
constexpr int kTimeJump = static_cast<int>(OutageKind::TimeJump);

COLORREF SeriesColour(Series s) {
  switch (s) {
    case Series::SatsUsed:
      return RGB(0, 140, 0);
    case Series::SatsInView:
      return RGB(80, 110, 210);
    case Series::Pdop:
      return RGB(200, 100, 0);
    case Series::FixMode:
      return RGB(130, 0, 170);
    case Series::MeanSignal:
      return RGB(0, 120, 170);
    case Series::Deviation:
      return RGB(200, 0, 0);
  }
  return kText;
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  const RECT r{left, top, right, bottom};
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);  // a solid fill, no brush
}

std::string ScaleLabel(double value, double step) {
  char text[24];
  std::snprintf(text, sizeof text, step >= 1.0 ? "%.0f" : step >= 0.1 ? "%.1f" : "%.2f", value);
  return text;
}

// Which columns each outage kind shades, as runs [first, last]; the selected outage apart.
struct Shading {
  std::array<std::vector<std::pair<int, int>>, 3> runs;
  std::optional<std::pair<int, int>> selected;
  int selectedKind = 0;
};

Shading ShadeOutages(const History& history, const ChartSpan& span, int selectedOutage) {
  Shading shading;
  std::array<std::vector<int>, 3> depth;
  for (auto& d : depth)
    d.assign(static_cast<std::size_t>(span.columns) + 1, 0);
  const auto& outages = history.outages();
  for (std::size_t i = 0; i < outages.size(); ++i) {
    const auto columns = OutageColumns(outages[i], span, history.LastTime());
    if (!columns) continue;
    const int kind = static_cast<int>(outages[i].kind);
    if (static_cast<int>(i) == selectedOutage) {
      shading.selected = columns;
      shading.selectedKind = kind;
    }
    ++depth[kind][columns->first];
    --depth[kind][columns->second + 1];
  }
  for (int kind = 0; kind < 3; ++kind) {
    int covered = 0, start = -1;
    for (int c = 0; c <= span.columns; ++c) {
      covered += depth[kind][c];
      if (covered > 0 && start < 0) start = c;
      if ((covered <= 0 || c == span.columns) && start >= 0) {
        shading.runs[kind].push_back({start, c - 1});
        start = -1;
      }
    }
  }
  return shading;
}

void DrawSegments(HDC dc, const std::vector<Segment>& segments, COLORREF colour, int width) {
  if (segments.empty()) return;
  std::vector<POINT> points;
  points.reserve(segments.size() * 2);
  for (const Segment& s : segments) {
    points.push_back({s.x0, s.y0});
    points.push_back({s.x1, s.y1});
  }
  const std::vector<DWORD> counts(segments.size(), 2);
  SelectedObject pen(dc, CreatePen(PS_SOLID, width, colour));
  PolyPolyline(dc, points.data(), counts.data(), static_cast<DWORD>(counts.size()));
}

}  // namespace

void PaintHistoryCharts(HDC dc, const RECT& area, double scale, const History& history,
                        int windowSeconds, int selectedOutage) {
  SelectedObject font(dc, GraphFont(scale));
  SetBkMode(dc, TRANSPARENT);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int line = metrics.tmHeight;
  const int left = area.left + Scaled(scale, 40);
  const int right = area.right - Scaled(scale, 10);
  const int top = area.top + Scaled(scale, 4);
  const int axisTop = area.bottom - line - Scaled(scale, 6);
  const int gap = Scaled(scale, 6);
  const int count = static_cast<int>(kCharts.size());
  const int chartHeight = (axisTop - top - gap * (count - 1)) / count;
  if (right - left < 10 || chartHeight < line) return;

  const ChartSpan span = ChooseColumns(history.LastTime(), windowSeconds, right - left);
  std::vector<HistoryColumn> columns(static_cast<std::size_t>(span.columns));
  history.Decimate(span.from, span.To(), columns);
  const Shading shading = ShadeOutages(history, span, selectedOutage);
  const auto ticks =
      TimeTicks(span.from, span.To(), std::max(1, (right - left) / Scaled(scale, 72)));
  const int bridge = BridgeColumns(history.Interval(), span.width);
  const int pen = Scaled(scale, 1);
  std::vector<Segment> segments;

  for (int k = 0; k < count; ++k) {
    const ChartSpec& chart = kCharts[k];
    const int chartTop = top + k * (chartHeight + gap);
    const int chartBottom = chartTop + chartHeight;  // exclusive
    Fill(dc, left, chartTop, right, chartBottom, kPlotBack);
    // Spans under the grid, a step of the clock (a column wide) over it.
    auto shade = [&](int kind, std::pair<int, int> columns, COLORREF colour) {
      const int width = kind == kTimeJump ? Scaled(scale, 2) : 1;
      Fill(dc, left + columns.first, chartTop,
           std::min(right, left + std::max(columns.second + 1, columns.first + width)), chartBottom,
           colour);
    };
    auto shadeAll = [&](bool jumps) {
      for (int kind = 0; kind < 3; ++kind)
        for (const auto& columns : shading.runs[kind])
          if ((kind == kTimeJump) == jumps) shade(kind, columns, kOutageShade[kind]);
      if (shading.selected && (shading.selectedKind == kTimeJump) == jumps)
        shade(shading.selectedKind, *shading.selected, kOutageSelected[shading.selectedKind]);
    };
    shadeAll(false);

    // Plot area inside the frame, a line of room above for the title.
    const Plot plot{left, chartTop + line, chartBottom - 2, ChartScale(chart, columns)};
    for (const TimeTick& tick : ticks) {
      const int x = left + span.Column(tick.time);
      Fill(dc, x, chartTop, x + 1, chartBottom, kGrid);
    }
    // A label on every stride-th grid line, a line of text apart at least.
    const double stepPixels = (plot.bottom - plot.top) * plot.scale.step /
                              std::max(plot.scale.high - plot.scale.low, 1e-9);
    const int stride = std::max(1, static_cast<int>(std::ceil((line + 2) / stepPixels)));
    int index = 0;
    for (double v = plot.scale.low; v <= plot.scale.high + plot.scale.step / 2;
         v += plot.scale.step, ++index) {
      const int y = plot.Y(v);
      Fill(dc, left, y, right, y + 1, kGrid);
      if (index % stride == 0)
        GraphText(dc, left - Scaled(scale, 4), y - line / 2, TA_RIGHT | TA_TOP, kText,
                  ScaleLabel(v, plot.scale.step));
    }
    shadeAll(true);
    for (int s = 0; s < chart.seriesCount; ++s) {
      segments.clear();
      SeriesSegments(columns, chart.series[s], plot, bridge, segments);
      DrawSegments(dc, segments, SeriesColour(chart.series[s]), pen);
    }
    // The frame.
    Fill(dc, left - 1, chartTop - 1, right + 1, chartTop, kFrame);
    Fill(dc, left - 1, chartBottom, right + 1, chartBottom + 1, kFrame);
    Fill(dc, left - 1, chartTop, left, chartBottom, kFrame);
    Fill(dc, right, chartTop, right + 1, chartBottom, kFrame);
    // The title in its series' colours, each part from " / " on in the next one: the whole
    // title in the last colour, then ever shorter heads of it over it in the ones before.
    const std::string title = chart.title;
    std::size_t end = title.size();
    for (int s = chart.seriesCount - 1; s >= 0 && end != std::string::npos; --s) {
      GraphText(dc, left + Scaled(scale, 4), chartTop + 1, TA_LEFT | TA_TOP,
                SeriesColour(chart.series[s]), title.substr(0, end));
      end = end == 0 ? std::string::npos : title.rfind(" / ", end - 1);
    }
  }

  // The time axis under the last chart.
  for (const TimeTick& tick : ticks) {
    const int x = left + span.Column(tick.time);
    Fill(dc, x, axisTop, x + 1, axisTop + Scaled(scale, 3), kFrame);
    GraphText(dc, x, axisTop + Scaled(scale, 3), TA_CENTER | TA_TOP, kText, tick.label);
  }
  if (history.size() == 0)
    GraphText(dc, (left + right) / 2, top + chartHeight / 2, TA_CENTER | TA_TOP, kText,
              "No epochs yet");
}

}  // namespace pelmora::workbench
