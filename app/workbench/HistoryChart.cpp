// The History tab's charts as numbers.
#include "app/workbench/HistoryChart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace pelmora::workbench {
namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kTickSteps[] = {1,   2,   5,    10,   15,   30,    60,    120,   300,
                                 600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};

std::string TimeOfDayLabel(double time, bool seconds) {
  const auto whole = static_cast<long long>(std::llround(std::fmod(time, kSecondsPerDay)));
  const long long day = (whole % 86400 + 86400) % 86400;
  char text[16];
  if (seconds) {
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", day / 3600, day / 60 % 60, day % 60);
  } else {
    std::snprintf(text, sizeof text, "%02lld:%02lld", day / 3600, day / 60 % 60);
  }
  return text;
}

int ClampToInt(double value) {
  constexpr double kLimit = 1e9;
  return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

}  // namespace

int ChartWindowIndex(int seconds) {
  for (std::size_t i = 0; i < kChartWindows.size(); ++i)
    if (kChartWindows[i].seconds == seconds) return static_cast<int>(i);
  return kDefaultChartWindow;
}

int ChartSpan::Column(double time) const {
  return ClampToInt(std::floor((time - from) / width));
}

ChartSpan ChooseColumns(double last, double seconds, int columns) {
  ChartSpan span;
  if (columns <= 0 || !(seconds > 0.0) || !std::isfinite(seconds)) return span;
  span.columns = columns;
  span.width = seconds / columns;
  const double end = std::isfinite(last) ? std::floor(last / span.width) + 1.0 : columns;
  span.from = (end - columns) * span.width;
  return span;
}

std::vector<TimeTick> TimeTicks(double from, double to, int maxTicks) {
  std::vector<TimeTick> ticks;
  if (!std::isfinite(from) || !std::isfinite(to) || to < from || maxTicks < 1) return ticks;
  double step = kTickSteps[0], first = 0.0;
  for (const double candidate : kTickSteps) {
    step = candidate;
    first = std::ceil(from / step) * step;
    if (std::floor((to - first) / step) + 1.0 <= maxTicks) break;
  }
  for (double t = first; t <= to && static_cast<int>(ticks.size()) < maxTicks; t += step)
    ticks.push_back({t, TimeOfDayLabel(t, step < 60.0)});
  return ticks;
}

YScale NiceScale(const SeriesRange& range, bool zeroBased, double minSpan) {
  double lo = range.empty() ? 0.0 : range.min;
  double hi = range.empty() ? minSpan : range.max;
  if (zeroBased) lo = std::min(lo, 0.0);
  if (hi - lo < minSpan) {
    if (zeroBased) {
      hi = lo + minSpan;
    } else {
      const double mid = (lo + hi) / 2.0;
      lo = std::max(range.min >= 0.0 ? 0.0 : lo, mid - minSpan / 2.0);
      hi = lo + minSpan;
    }
  }
  if (!(hi > lo)) hi = lo + 1.0;
  YScale scale;
  double magnitude = std::pow(10.0, std::floor(std::log10((hi - lo) / kMaxSteps)));
  for (int round = 0; round < 12; ++round, magnitude *= 10.0) {
    for (const double m : {1.0, 2.0, 5.0}) {
      scale.step = m * magnitude;
      scale.low = std::floor(lo / scale.step) * scale.step;
      scale.high = std::ceil(hi / scale.step) * scale.step;
      if ((scale.high - scale.low) / scale.step <= kMaxSteps + 1e-9) return scale;
    }
  }
  return {lo, hi, hi - lo};
}

YScale ChartScale(const ChartSpec& chart, std::span<const HistoryColumn> columns) {
  if (chart.fixedScale) return {0.0, chart.minSpan, 1.0};
  SeriesRange range;
  for (const HistoryColumn& column : columns)
    for (int s = 0; s < chart.seriesCount; ++s)
      range.Merge(column[chart.series[s]]);
  return NiceScale(range, chart.zeroBased, chart.minSpan);
}

int Plot::Y(double value) const {
  const double span = scale.high - scale.low;
  const double f = span > 0.0 ? std::clamp((value - scale.low) / span, 0.0, 1.0) : 0.0;
  return bottom - static_cast<int>(std::lround(f * (bottom - top)));
}

void SeriesSegments(std::span<const HistoryColumn> columns, Series series, const Plot& plot,
                    int bridge, std::vector<Segment>& out) {
  int last = -1, lastTop = 0, lastBottom = 0;
  bool blocked = false;  // epochs without a value since the last one
  for (int j = 0; j < static_cast<int>(columns.size()); ++j) {
    const HistoryColumn& column = columns[j];
    const SeriesRange& range = column[series];
    if (range.empty()) {
      blocked = blocked || column.epochs > 0;
      continue;
    }
    const int ownTop = plot.Y(range.max), ownBottom = plot.Y(range.min);
    int top = ownTop, bottom = ownBottom;
    const int x = plot.left + j;
    if (last >= 0 && !blocked) {
      if (last == j - 1) {
        top = std::min(top, lastBottom);
        bottom = std::max(bottom, lastTop);
      } else if (j - last <= bridge) {
        out.push_back({plot.left + last, (lastTop + lastBottom) / 2, x, (top + bottom) / 2});
      }
    }
    out.push_back({x, top, x, bottom + 1});
    last = j;
    lastTop = ownTop;
    lastBottom = ownBottom;
    blocked = false;
  }
}

int BridgeColumns(double interval, double columnWidth) {
  if (!(columnWidth > 0.0)) return 1;
  const double step = interval > 0.0 ? interval : 1.0;
  return std::max(1, ClampToInt(std::ceil(1.5 * step / columnWidth)));
}

std::optional<std::pair<int, int>> OutageColumns(const Outage& outage, const ChartSpan& span,
                                                 double last) {
  const double begin = outage.axis;
  double end = outage.ongoing ? last : outage.axisEnd;
  if (!std::isfinite(begin) || span.columns <= 0) return std::nullopt;
  if (!std::isfinite(end) || end < begin) end = begin;
  const int first = span.Column(begin), lastColumn = span.Column(end);
  if (lastColumn < 0 || first >= span.columns) return std::nullopt;
  return std::pair{std::max(first, 0), std::min(lastColumn, span.columns - 1)};
}

std::optional<int64_t> OutageSeekEpoch(const Outage& outage) {
  if (outage.logOffset < 0 || outage.sequence == 0 ||
      outage.sequence > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
    return std::nullopt;
  return static_cast<int64_t>(outage.sequence - 1);
}

}  // namespace pelmora::workbench
