// The Satellites tab's controls and layout: the table and the counts at the top left, the sky
// plot at the top right, the filter's checkboxes (each after its system's symbol) and the
// signal bars across the bottom.
#include "app/workbench/SatellitesPage_win.h"

#include <algorithm>
#include <string>

#include "app/ControlIds.h"
#include "app/settings/OptionKeys.h"
#include "app/ui/FormRenderer_win.h"
#include "app/workbench/SatelliteGraphs_win.h"

namespace pelmora::workbench {
namespace {

// The table's columns at 96 DPI: system, number, elevation, azimuth, signal, used.
constexpr int kColumnWidths[kSatColumnCount] = {64, 56, 64, 60, 72, 44};
constexpr const char* kFilterOption = OptionNamed("WorkbenchSatSystems").name;

}  // namespace

void SatellitesPage::CreateControls() {
  list_ = ReportList(IDC_WorkbenchSatList);
  for (int c = 0; c < kSatColumnCount; ++c)
    AddColumn(list_, c, WorkbenchModel::ColumnTitle(static_cast<SatColumn>(c)),
              Px(kColumnWidths[c]));
  const auto counts = model_.SystemCounts();
  for (int i = 0; i < kConstellationCount; ++i) {
    captions_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX,
                         IDC_WorkbenchCount0 + i + kWorkbenchCaptionOffset, counts[i].caption);
    counts_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX, IDC_WorkbenchCount0 + i);
  }

  filter_ = ConstellationFilter(
      store_.ReadOptionInt(kFilterOption, OptionDefault("WorkbenchSatSystems")));
  for (int i = 0; i < kConstellationCount; ++i) {
    const std::string name = SystemName(static_cast<int>(kConstellations[i].system));
    keys_[i].Create(
        hwnd_, instance_, IDC_WorkbenchSatKey0 + i, name + " symbol",
        [i](HDC dc, const RECT& area, double scale) { PaintConstellationKey(dc, area, scale, i); });
    filters_[i] = Child(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, IDC_WorkbenchSatFilter0 + i, name);
    SendMessageW(filters_[i], BM_SETCHECK, filter_.Shows(i) ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  bars_.Create(
      hwnd_, instance_, IDC_WorkbenchSatBars, "Signal bars",
      [this](HDC dc, const RECT& area, double scale) { PaintSignalBars(dc, area, scale, shown_); });
  sky_.Create(hwnd_, instance_, IDC_WorkbenchSkyPlot, "Sky plot",
              [this](HDC dc, const RECT& area, double scale) {
                PaintSkyPlot(dc, area, scale, shown_, model_.Trails(), filter_);
              });
}

// From the smallest window (about 450 x 260 pixels here) to a full screen: the bars take about
// a third of the height, the sky plot a square beside the table of at most half the width, the
// counts as many columns as fit under the table, the checkboxes as few rows as the width allows
// (without the symbols before them when dropping those saves a row).
void SatellitesPage::Layout(int width, int height) {
  HDC dc = GetDC(hwnd_);
  const HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  auto textWidth = [dc](const char* text) {
    const std::wstring wide = ui::ToWide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return static_cast<int>(size.cx);
  };
  std::array<int, kConstellationCount> names{};
  int widestName = 0;
  for (int i = 0; i < kConstellationCount; ++i) {
    names[i] = textWidth(SystemName(static_cast<int>(kConstellations[i].system)));
    widestName = std::max(widestName, names[i]);
  }
  const int valueWidth = textWidth("64 / 64");
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  const int margin = Px(6), row = Px(20), key = Px(14);
  const int box = GetSystemMetrics(SM_CXMENUCHECK) + Px(6);

  // The checkboxes' rows first: the rest shares what they leave.
  using Places = std::array<POINT, kConstellationCount>;
  auto flow = [&](int keyWidth, Places& at) {
    int x = 0, rows = 1;
    for (int i = 0; i < kConstellationCount; ++i) {
      const int item = keyWidth + box + names[i];
      if (x > 0 && x + item > width) {
        x = 0;
        ++rows;
      }
      at[i] = {x, (rows - 1) * row};
      x += item + Px(10);
    }
    return rows;
  };
  Places at{}, plain{};
  const int keyWidth = key + Px(2);
  int rows = flow(keyWidth, at);
  const bool withKeys = rows == 1 || flow(0, plain) == rows;
  if (!withKeys) rows = flow(0, at);
  const int filterHeight = rows * row;
  int barsHeight = std::clamp(height * 36 / 100, Px(96), Px(300));
  const int minTop = Px(110);
  if (height - filterHeight - barsHeight - 2 * margin < minTop)
    barsHeight = std::max(Px(70), height - filterHeight - 2 * margin - minTop);
  const int topHeight = std::max(0, height - filterHeight - barsHeight - 2 * margin);

  const int sky = std::min(topHeight, width / 2);
  const int leftWidth = std::max(0, width - sky - margin);
  const int caption = widestName + Px(6), cell = caption + valueWidth + Px(14);
  const int countRow = Px(18);
  const int columns = std::clamp(leftWidth / cell, 1, kConstellationCount);
  const int countsHeight = (kConstellationCount + columns - 1) / columns * countRow;
  const int listHeight = std::max(0, topHeight - countsHeight - margin / 2);
  MoveWindow(list_, 0, 0, leftWidth, listHeight, TRUE);
  for (int i = 0; i < kConstellationCount; ++i) {
    const int cx = i % columns * cell, cy = listHeight + margin / 2 + i / columns * countRow;
    MoveWindow(captions_[i], cx, cy, caption, countRow - Px(2), TRUE);
    MoveWindow(counts_[i], cx + caption, cy, cell - caption, countRow - Px(2), TRUE);
  }
  MoveWindow(sky_.hwnd(), width - sky, 0, sky, topHeight, TRUE);

  const int filterTop = topHeight + margin;
  for (int i = 0; i < kConstellationCount; ++i) {
    const int y = filterTop + at[i].y;
    ShowWindow(keys_[i].hwnd(), withKeys ? SW_SHOWNA : SW_HIDE);
    MoveWindow(keys_[i].hwnd(), at[i].x, y + (row - key) / 2, key, key, TRUE);
    const int left = at[i].x + (withKeys ? keyWidth : 0);
    MoveWindow(filters_[i], left, y, box + names[i], row, TRUE);
  }
  MoveWindow(bars_.hwnd(), 0, filterTop + filterHeight + margin, width, barsHeight, TRUE);
}

void SatellitesPage::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != list_ || header.code != LVN_COLUMNCLICK) return;
  const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
  if (column < 0 || column >= kSatColumnCount) return;
  model_.SortBy(static_cast<SatColumn>(column));
  FillTable();
}

void SatellitesPage::OnCommand(int id, int code, HWND /*control*/) {
  const int index = id - IDC_WorkbenchSatFilter0;
  if (code != BN_CLICKED || index < 0 || index >= kConstellationCount) return;
  filter_.Set(index, SendMessageW(filters_[index], BM_GETCHECK, 0, 0) == BST_CHECKED);
  store_.WriteOption(kFilterOption, std::to_string(filter_.Option()));
  FillGraphs();
}

void SatellitesPage::Fill() {
  FillTable();
  const auto counts = model_.SystemCounts();
  for (int i = 0; i < kConstellationCount; ++i)
    SetTextIfChanged(counts_[i], counts[i].value);
  FillGraphs();
}

void SatellitesPage::FillTable() {
  std::vector<std::array<std::string, kSatColumnCount>> rows;
  for (SatRow& row : model_.SatelliteRows())
    rows.push_back(std::move(row.cells));
  FillList(list_, rows);
}

void SatellitesPage::FillGraphs() {
  shown_ = ShownSatellites(model_.Latest(), filter_);
  bars_.Redraw();
  sky_.Redraw();
}

}  // namespace pelmora::workbench
