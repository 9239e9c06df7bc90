// The History tab's strip charts as numbers: the windows to choose from, the pixel columns of a
// window, the time axis's ticks, each chart's y scale, the segments that draw a series decimated
// per column, and where the player goes for an outage. Portable: standard C++ only.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/workbench/History.h"

namespace pelmora::workbench {

struct ChartWindow {
  int seconds;
  const char* label;
};

inline constexpr std::array<ChartWindow, 6> kChartWindows = {{{60, "1 min"},
                                                              {300, "5 min"},
                                                              {900, "15 min"},
                                                              {3600, "1 h"},
                                                              {21600, "6 h"},
                                                              {86400, "24 h"}}};
inline constexpr int kDefaultChartWindow = 2;  // 15 min

// The index of the window of that many seconds (as the option stores it); else the default.
int ChartWindowIndex(int seconds);

// A window of the time axis cut into equal columns, one per pixel. The columns lie on whole
// multiples of their width, so an epoch keeps its column while the window moves on and the
// decimated lines stand still between redraws.
struct ChartSpan {
  double from = 0.0;  // axis seconds; the last column ends at from + columns * width
  double width = 1.0;
  int columns = 0;

  double To() const { return from + width * columns; }
  // The column of an axis time, unclamped (floor).
  int Column(double time) const;
};

// The window of that many seconds ending with the column of last (the history's last time; NaN
// when empty: the window starts at 0).
ChartSpan ChooseColumns(double last, double seconds, int columns);

struct TimeTick {
  double time;  // axis seconds
  std::string label;
};

// Ticks on round times of day in [from, to], the step the smallest of 1, 2, 5, 10, 15, 30 s,
// 1, 2, 5, 10, 15, 30 min, 1, 2, 3, 6, 12, 24 h that gives at most maxTicks. Labels are the time
// of day, hh:mm:ss for steps under a minute, else hh:mm.
std::vector<TimeTick> TimeTicks(double from, double to, int maxTicks);

// A y scale in round steps (1, 2 or 5 times a power of ten), at most kMaxSteps of them.
struct YScale {
  double low = 0.0, high = 1.0, step = 1.0;
};
inline constexpr int kMaxSteps = 4;

// The scale holding range (empty: 0 up to minSpan); from 0 when zeroBased, at least minSpan high.
YScale NiceScale(const SeriesRange& range, bool zeroBased, double minSpan);

struct ChartSpec {
  const char* title;
  std::array<Series, 2> series;
  int seriesCount;
  bool zeroBased;
  double minSpan;
  bool fixedScale;  // fix mode: always 0..5
};

// The stacked charts, top to bottom. HDOP and VDOP are not charted: the engine's epoch carries
// the PDOP only.
inline constexpr std::array<ChartSpec, 5> kCharts = {{
    {"Satellites used / in view", {Series::SatsUsed, Series::SatsInView}, 2, true, 4.0, false},
    {"PDOP", {Series::Pdop, Series::Pdop}, 1, true, 2.0, false},
    {"Fix mode (0 none, 2 2D, 3 3D, 4/5 DGPS)",
     {Series::FixMode, Series::FixMode},
     1,
     true,
     5.0,
     true},
    {"Mean signal of used satellites (dB-Hz)",
     {Series::MeanSignal, Series::MeanSignal},
     1,
     false,
     10.0,
     false},
    {"Horizontal deviation (m)", {Series::Deviation, Series::Deviation}, 1, true, 1.0, false},
}};

// The scale of a chart over the columns shown.
YScale ChartScale(const ChartSpec& chart, std::span<const HistoryColumn> columns);

struct Segment {
  int x0, y0, x1, y1;  // drawn from the first point to the second, the second excluded
};

// A chart's plot area in pixels and its scale: y of a value, clamped to the area.
struct Plot {
  int left, top, bottom;
  YScale scale;
  int Y(double value) const;
};

// Appends the segments of one series: per column with a value a vertical line from its minimum
// to its maximum (spikes are never lost), stretched to meet the column before it; a value after
// at most bridge columns without epochs is joined to the last one by a line (epochs sparser than
// the pixels). A column with epochs but no value of the series is a gap.
void SeriesSegments(std::span<const HistoryColumn> columns, Series series, const Plot& plot,
                    int bridge, std::vector<Segment>& out);

// The columns without epochs to bridge: those within one and a half intervals between epochs.
int BridgeColumns(double interval, double columnWidth);

// The columns an outage covers on the span, clipped to it; nothing when it lies outside. A fix
// still lost runs to last.
std::optional<std::pair<int, int>> OutageColumns(const Outage& outage, const ChartSpan& span,
                                                 double last);

// Where the player goes for an outage of a replayed log: the number (from 0, Epoch::sequence - 1)
// of the epoch that showed it (the first without a fix, the one after a gap, the one whose time
// stepped back). Nothing for one seen live.
std::optional<int64_t> OutageSeekEpoch(const Outage& outage);

}  // namespace pelmora::workbench
