// The satellite graphs' GDI painting. Every pen, brush and font is made per paint at the DPI
// scale and released at its end; a paint makes a few dozen objects whatever the satellites.
#include "app/workbench/SatelliteGraphs_win.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "app/ui/FormRenderer_win.h"
#include "app/workbench/Graph_win.h"
#include "app/workbench/SatelliteGraphs.h"

namespace pelmora::workbench {
namespace {

constexpr COLORREF kText = RGB(0x2B, 0x30, 0x36);
constexpr COLORREF kMuted = RGB(0x6B, 0x72, 0x7B);
constexpr COLORREF kGrid = RGB(0xE2, 0xE6, 0xEA);
constexpr COLORREF kRing = RGB(0xC9, 0xD0, 0xD8);
constexpr COLORREF kAxis = RGB(0x9A, 0xA3, 0xAD);
constexpr COLORREF kSky = RGB(0xF6, 0xF8, 0xFB);
constexpr uint32_t kNeutral = 0x6B727B;  // the used / not used key

// Owns a GDI object; deletes it after the DC let go of it (declare before any Selected).
class Owned {
 public:
  explicit Owned(HGDIOBJ object = nullptr) : object_(object) {}
  ~Owned() {
    if (object_ != nullptr) DeleteObject(object_);
  }
  Owned(Owned&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned& operator=(Owned&& other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  HGDIOBJ get() const { return object_; }

 private:
  HGDIOBJ object_;
};

// Keeps the DC's state (selected objects, clipping, text settings) for a scope; declared after
// the objects it will have selected, so they are let go of before they are deleted.
class SavedDc {
 public:
  explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDc() { RestoreDC(dc_, saved_); }
  SavedDc(const SavedDc&) = delete;
  SavedDc& operator=(const SavedDc&) = delete;

 private:
  HDC dc_;
  int saved_;
};

// Selects an object into the DC for a scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

COLORREF Colour(uint32_t rgb) {
  return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
}

// The colour moved toward white (t > 0) or black (t < 0) by |t|.
COLORREF Shade(uint32_t rgb, double t) {
  auto channel = [t](uint32_t c) {
    const double target = t > 0 ? 255.0 : 0.0;
    return static_cast<BYTE>(std::lround(c + (target - c) * std::abs(t)));
  };
  return RGB(channel(rgb >> 16 & 0xFF), channel(rgb >> 8 & 0xFF), channel(rgb & 0xFF));
}

Owned Pen(COLORREF colour, int width) {
  return Owned(CreatePen(PS_SOLID, width, colour));
}

Owned Brush(COLORREF colour) {
  return Owned(CreateSolidBrush(colour));
}

// The pens and brushes of one system: filled for used satellites, pale with an outline for
// the others, and its trail.
struct Look {
  Owned usedPen, usedBrush, unusedPen, unusedBrush, trailPen;
};

std::array<Look, kConstellationCount + 1> Looks(double scale) {
  std::array<Look, kConstellationCount + 1> looks;
  for (int i = 0; i <= kConstellationCount; ++i) {
    const uint32_t rgb = kConstellations[i].rgb;
    looks[i] = {Pen(Shade(rgb, -0.3), Scaled(scale, 1)), Brush(Colour(rgb)),
                Pen(Colour(rgb), Scaled(scale, 1.5)), Brush(Shade(rgb, 0.82)),
                Pen(Shade(rgb, 0.5), Scaled(scale, 2))};
  }
  return looks;
}

// The symbol of a system around (x, y) with the DC's pen and brush; r is the radius of the
// circle, the other shapes are sized to about its area.
void Symbol(HDC dc, SkySymbol symbol, int x, int y, double r) {
  struct Shape {
    int corners;
    double firstDeg;  // the first corner's direction, clockwise from up
    double size;      // corner distance over r
  };
  Shape shape{};
  switch (symbol) {
    case SkySymbol::Circle: {
      const int d = static_cast<int>(std::lround(r));
      Ellipse(dc, x - d, y - d, x + d + 1, y + d + 1);
      return;
    }
    case SkySymbol::Cross: {
      const int d = static_cast<int>(std::lround(r * 0.85));
      MoveToEx(dc, x - d, y - d, nullptr);
      LineTo(dc, x + d + 1, y + d + 1);
      MoveToEx(dc, x + d, y - d, nullptr);
      LineTo(dc, x - d - 1, y + d + 1);
      return;
    }
    case SkySymbol::Square:
      shape = {4, 45.0, 1.25};
      break;
    case SkySymbol::Diamond:
      shape = {4, 0.0, 1.35};
      break;
    case SkySymbol::TriangleUp:
      shape = {3, 0.0, 1.5};
      break;
    case SkySymbol::TriangleDown:
      shape = {3, 180.0, 1.5};
      break;
    case SkySymbol::Hexagon:
      shape = {6, 0.0, 1.12};
      break;
    case SkySymbol::Pentagon:
      shape = {5, 0.0, 1.18};
      break;
  }
  POINT corners[6];
  for (int k = 0; k < shape.corners; ++k) {
    const double a = (shape.firstDeg + 360.0 * k / shape.corners) * std::numbers::pi / 180.0;
    corners[k] = {x + static_cast<int>(std::lround(std::sin(a) * r * shape.size)),
                  y - static_cast<int>(std::lround(std::cos(a) * r * shape.size))};
  }
  Polygon(dc, corners, shape.corners);
}

bool HasPlace(const EpochSat& sat) {
  return !(sat.elevation == 0 && sat.azimuth == 0) && sat.elevation >= 0 && sat.elevation <= 90;
}

void Centred(HDC dc, const RECT& area, COLORREF colour, const wchar_t* text) {
  GraphText(dc, (area.left + area.right) / 2, (area.top + area.bottom) / 2, TA_CENTER | TA_BASELINE,
            colour, text);
}

}  // namespace

void PaintSignalBars(HDC dc, const RECT& area, double scale, std::span<const EpochSat> sats) {
  const Owned labelFont(GraphFont(scale, 11));
  const Owned smallFont(GraphFont(scale, 10));
  const Owned upFont(GraphFont(scale, 10, FW_NORMAL, 900));  // reads bottom to top
  const Owned gridPen = Pen(kGrid, 1), axisPen = Pen(kAxis, 1);
  const auto looks = Looks(scale);
  const SavedDc state(dc);
  SetBkMode(dc, TRANSPARENT);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);

  SelectObject(dc, labelFont.get());
  const int textHeight = TextSize(dc, L"0").cy;
  const int pad = Scaled(scale, 4);
  GraphText(dc, area.left + pad, area.top + pad, TA_LEFT | TA_TOP, kMuted, L"dB-Hz");
  if (sats.empty()) {
    Centred(dc, area, kMuted, L"No satellites");
    return;
  }

  // The key at the top right: a filled and an outlined box.
  {
    const int box = textHeight * 2 / 3;
    int x = area.right - pad - TextSize(dc, L"not used").cx;
    GraphText(dc, x, area.top + pad, TA_LEFT | TA_TOP, kMuted, L"not used");
    const Owned outline = Pen(Colour(kNeutral), Scaled(scale, 1.5)),
                pale = Brush(Shade(kNeutral, 0.82));
    const int boxTop = area.top + pad + (textHeight - box) / 2;
    x -= box + pad;
    {
      Selected pen(dc, outline.get()), brush(dc, pale.get());
      Rectangle(dc, x, boxTop, x + box, boxTop + box);
    }
    x -= 3 * pad + TextSize(dc, L"used").cx;
    GraphText(dc, x, area.top + pad, TA_LEFT | TA_TOP, kMuted, L"used");
    const Owned solid = Brush(Colour(kNeutral));
    x -= box + pad;
    Selected pen(dc, GetStockObject(NULL_PEN)), brush(dc, solid.get());
    Rectangle(dc, x, boxTop, x + box + 1, boxTop + box + 1);
  }

  // Across: the scale's labels, then the bars.
  const int axisWidth = TextSize(dc, L"100").cx + 2 * pad;
  const int left = area.left + axisWidth, right = area.right - pad;
  std::array<int, kConstellationCount + 1> groups{};
  for (const EpochSat& s : sats)
    ++groups[ConstellationIndex(s.system)];
  const std::vector<BarSlot> slots =
      LayoutBars(groups, right - left - 2 * pad, {Scaled(scale, 26), Scaled(scale, 14), 0.25});
  const int room = static_cast<int>(slots.front().width / 0.75);  // a slot's width

  // Down: the key, the plot, the numbers, the groups. Numbers wider than a slot go in two
  // staggered rows, wider than two slots turned up.
  SelectObject(dc, smallFont.get());
  std::vector<std::wstring> numbers;
  int widest = 0;
  for (const EpochSat& s : sats) {
    numbers.push_back(std::to_wstring(s.svid));
    widest = std::max<int>(widest, TextSize(dc, numbers.back()).cx);
  }
  const bool staggered = widest > room && widest < 2 * room - pad / 2;
  const bool turned = widest > room && !staggered;
  const int smallHeight = TextSize(dc, L"0").cy;
  const int top = area.top + textHeight + 3 * pad;
  const int groupRow = textHeight + 3 * pad;
  const int numbersHeight = turned ? widest : staggered ? 2 * smallHeight : smallHeight;
  const int bottom = area.bottom - groupRow - numbersHeight - pad;
  if (bottom - top < Scaled(scale, 16)) return;

  const int scaleTop = SignalScaleTop(sats);
  const double perDbHz = static_cast<double>(bottom - top) / scaleTop;
  int labelStep = 10;  // dB-Hz between labels, as many as fit
  while (labelStep < scaleTop && labelStep * perDbHz < textHeight)
    labelStep *= 2;
  SelectObject(dc, labelFont.get());
  for (int v = 0; v <= scaleTop; v += 10) {
    const int y = bottom - static_cast<int>(std::lround(v * perDbHz));
    Selected pen(dc, (v == 0 ? axisPen : gridPen).get());
    MoveToEx(dc, left, y, nullptr);
    LineTo(dc, right, y);
    if (v % labelStep == 0)
      GraphText(dc, left - pad, y - textHeight / 2, TA_RIGHT | TA_TOP, kMuted, std::to_wstring(v));
  }

  const int x0 = left + pad;
  SelectObject(dc, smallFont.get());
  for (std::size_t i = 0; i < sats.size(); ++i) {
    const EpochSat& sat = sats[i];
    const Look& look = looks[ConstellationIndex(sat.system)];
    const int barLeft = x0 + slots[i].left, barRight = barLeft + slots[i].width;
    const int centre = (barLeft + barRight) / 2;
    const bool used = sat.used != 0;
    if (sat.snr > 0) {
      const int height =
          std::max(1, static_cast<int>(std::lround(std::min<int>(sat.snr, scaleTop) * perDbHz)));
      Selected pen(dc, (used ? look.usedPen : look.unusedPen).get());
      Selected brush(dc, (used ? look.usedBrush : look.unusedBrush).get());
      Rectangle(dc, barLeft, bottom - height, barRight, bottom + 1);
      const std::wstring value = std::to_wstring(sat.snr);
      if (TextSize(dc, value).cx <= room)
        GraphText(dc, centre, bottom - height - 1, TA_CENTER | TA_BOTTOM, kMuted, value);
    }
    const COLORREF colour = used ? kText : kMuted;
    if (turned) {
      Selected font(dc, upFont.get());
      const int width = TextSize(dc, numbers[i]).cx;
      GraphText(dc, centre - smallHeight / 2, bottom + pad + width, TA_LEFT | TA_TOP, colour,
                numbers[i]);
    } else {
      const int row = staggered ? static_cast<int>(i % 2) * smallHeight : 0;
      GraphText(dc, centre, bottom + pad / 2 + row, TA_CENTER | TA_TOP, colour, numbers[i]);
    }
  }

  // Under each group a line and its symbol and name, or its letter when the name does not fit.
  SelectObject(dc, labelFont.get());
  const int lineY = area.bottom - groupRow + pad;
  for (std::size_t i = 0; i < sats.size();) {
    const int group = slots[i].group;
    std::size_t last = i;
    while (last + 1 < sats.size() && slots[last + 1].group == group)
      ++last;
    const int spanLeft = x0 + slots[i].left, spanRight = x0 + slots[last].left + slots[last].width;
    const Constellation& c = kConstellations[group];
    const Owned line = Pen(Colour(c.rgb), Scaled(scale, 2));
    {
      Selected pen(dc, line.get());
      MoveToEx(dc, spanLeft, lineY, nullptr);
      LineTo(dc, spanRight, lineY);
    }
    const int symbolSize = textHeight / 2;
    std::wstring caption = ui::ToWide(SystemName(static_cast<int>(c.system)));
    if (TextSize(dc, caption).cx + symbolSize + pad > spanRight - spanLeft)
      caption = std::wstring(1, static_cast<wchar_t>(c.letter));
    const int captionWidth = TextSize(dc, caption).cx + symbolSize + pad;
    const int cx = (spanLeft + spanRight - captionWidth) / 2;
    const int cy = lineY + pad + textHeight / 2;
    {
      Selected pen(dc, looks[group].usedPen.get()), brush(dc, looks[group].usedBrush.get());
      Symbol(dc, c.symbol, cx + symbolSize / 2, cy, symbolSize * 0.45);
    }
    GraphText(dc, cx + symbolSize + pad, cy - textHeight / 2, TA_LEFT | TA_TOP, kText, caption);
    i = last + 1;
  }
}

void PaintSkyPlot(HDC dc, const RECT& area, double scale, std::span<const EpochSat> sats,
                  const SkyTrails& trails, ConstellationFilter filter) {
  const Owned labelFont(GraphFont(scale, 11)), compassFont(GraphFont(scale, 12, FW_BOLD));
  const Owned smallFont(GraphFont(scale, 10));
  const Owned skyBrush = Brush(kSky), horizonBrush = Brush(kAxis);
  const Owned spokePen = Pen(kGrid, 1), ringPen = Pen(kRing, 1);
  const auto looks = Looks(scale);
  const SavedDc state(dc);
  SetBkMode(dc, TRANSPARENT);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);

  SelectObject(dc, compassFont.get());
  const int compassHeight = TextSize(dc, L"W").cy;
  const int gap = Scaled(scale, 3);
  const int width = area.right - area.left, height = area.bottom - area.top;
  const int radius = (std::min(width, height - 2 * gap) - 2 * (compassHeight + gap)) / 2;
  if (radius < Scaled(scale, 16)) {
    return;
  }
  const int cx = area.left + width / 2, cy = area.top + height / 2;
  auto place = [&](double elevation, double azimuth) {
    const SkyPoint p = ProjectSky(elevation, azimuth);
    return POINT{cx + static_cast<int>(std::lround(p.x * radius)),
                 cy + static_cast<int>(std::lround(p.y * radius))};
  };
  auto circle = [&](int r) { Ellipse(dc, cx - r, cy - r, cx + r + 1, cy + r + 1); };

  // The sky: the horizon and the disc within it, a spoke every 30 degrees of azimuth, rings at
  // 30 and 60 degrees. The horizon is a disc under the sky's: a wide pen's circle costs Wine
  // some 25 ms at full-screen sizes, a fill well under one.
  SelectObject(dc, GetStockObject(NULL_PEN));
  SelectObject(dc, horizonBrush.get());
  circle(radius + 1);
  SelectObject(dc, skyBrush.get());
  circle(radius + 1 - Scaled(scale, 1));
  SelectObject(dc, spokePen.get());
  for (int azimuth = 0; azimuth < 360; azimuth += 30) {
    const POINT edge = place(0, azimuth);
    MoveToEx(dc, cx, cy, nullptr);
    LineTo(dc, edge.x, edge.y);
  }
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  SelectObject(dc, ringPen.get());
  for (int elevation : {30, 60})
    circle(static_cast<int>(std::lround(radius * (90 - elevation) / 90.0)));
  GraphText(dc, cx, cy - radius - gap, TA_CENTER | TA_BOTTOM, kText, L"N");
  GraphText(dc, cx, cy + radius + gap, TA_CENTER | TA_TOP, kText, L"S");
  GraphText(dc, cx + radius + gap, cy - compassHeight / 2, TA_LEFT | TA_TOP, kText, L"E");
  GraphText(dc, cx - radius - gap, cy - compassHeight / 2, TA_RIGHT | TA_TOP, kText, L"W");
  const bool named = radius >= Scaled(scale, 70);  // room for texts among the symbols
  SelectObject(dc, smallFont.get());
  for (int elevation : {30, 60}) {
    if (!named) continue;
    const int r = static_cast<int>(std::lround(radius * (90 - elevation) / 90.0));
    std::wstring label = std::to_wstring(elevation);
    label += L'\xB0';
    GraphText(dc, cx + gap, cy - r + 1, TA_LEFT | TA_TOP, kMuted, label);
  }

  // Trails, each ending where its satellite stands now. A satellite crosses a pixel in a few
  // of the trail's steps: a point closer than a few pixels to the last one drawn is left out,
  // unless it ends the trail.
  std::vector<POINT> line;
  const int apart = Scaled(scale, 3);
  POINT end{};
  auto extend = [&](POINT p) {
    end = p;
    if (line.empty() || std::abs(p.x - line.back().x) + std::abs(p.y - line.back().y) >= apart)
      line.push_back(p);
  };
  for (const SkyTrack& track : trails.Tracks()) {
    if (!filter.ShowsSystem(track.system)) continue;
    line.clear();
    for (const TrailPoint& p : track.points)
      extend(place(p.elevationDeg, p.azimuthDeg));
    for (const EpochSat& s : sats)
      if (s.system == track.system && s.svid == track.svid && HasPlace(s))
        extend(place(s.elevation, s.azimuth));
    if (line.back().x != end.x || line.back().y != end.y) line.push_back(end);
    if (line.size() < 2) continue;
    Selected pen(dc, looks[ConstellationIndex(track.system)].trailPen.get());
    Polyline(dc, line.data(), static_cast<int>(line.size()));
  }

  // The satellites, used ones over the others, each with its letter and number beside it
  // unless the plot is too small to read them.
  const double r = std::min(5.5 * scale, radius / 14.0);
  const int textHeight = TextSize(dc, L"0").cy;
  for (const bool used : {false, true}) {
    for (const EpochSat& s : sats) {
      if ((s.used != 0) != used || !HasPlace(s)) continue;
      const int index = ConstellationIndex(s.system);
      const Look& look = looks[index];
      const POINT at = place(s.elevation, s.azimuth);
      {
        Selected pen(dc, (used ? look.usedPen : look.unusedPen).get());
        Selected brush(dc, (used ? look.usedBrush : look.unusedBrush).get());
        Symbol(dc, kConstellations[index].symbol, at.x, at.y, r);
      }
      if (!named) continue;
      std::wstring name(1, static_cast<wchar_t>(kConstellations[index].letter));
      name += std::to_wstring(s.svid);
      const int offset = static_cast<int>(r * 1.4) + Scaled(scale, 1);
      const bool leftSide = at.x + offset + TextSize(dc, name).cx > area.right;
      GraphText(dc, leftSide ? at.x - offset : at.x + offset, at.y - textHeight / 2,
                (leftSide ? TA_RIGHT : TA_LEFT) | TA_TOP, used ? kText : kMuted, name);
    }
  }
  if (sats.empty()) {
    SelectObject(dc, labelFont.get());
    Centred(dc, area, kMuted, filter.Option() == 0 ? L"No system selected" : L"No satellites");
  }
}

void PaintConstellationKey(HDC dc, const RECT& area, double scale, int index) {
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  if (index < 0 || index > kConstellationCount) return;
  const uint32_t rgb = kConstellations[index].rgb;
  const Owned pen = Pen(Shade(rgb, -0.3), Scaled(scale, 1)), brush = Brush(Colour(rgb));
  Selected p(dc, pen.get()), b(dc, brush.get());
  const int side = std::min(area.right - area.left, area.bottom - area.top);
  Symbol(dc, kConstellations[index].symbol, (area.left + area.right) / 2,
         (area.top + area.bottom) / 2, side * 0.3);
}

}  // namespace pelmora::workbench
