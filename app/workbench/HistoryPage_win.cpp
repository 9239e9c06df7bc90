// The History tab's controls and layout.
#include "app/workbench/HistoryPage_win.h"

#include <algorithm>
#include <string>

#include "app/ControlIds.h"
#include "app/settings/OptionKeys.h"
#include "app/ui/FormRenderer_win.h"
#include "app/workbench/HistoryCharts_win.h"

namespace pelmora::workbench {
namespace {

// Pixels at 96 DPI.
constexpr int kColumnWidth = 130;
constexpr int kRow = 24;
constexpr int kCaptionWidth = 50;
constexpr int kComboWidth = 90;
constexpr int kComboDropHeight = 200;
constexpr int kMinListHeight = 90;
constexpr int kMargin = 6;
constexpr const char* kWindowKey = OptionNamed("WorkbenchHistoryWindow").name;

}  // namespace

HistoryPage::HistoryPage(HINSTANCE instance, WorkbenchModel& model, const OptionStore& store,
                         PlayerCommands& player)
    : Page(instance, model), store_(store), player_(player) {}

void HistoryPage::CreateControls() {
  windowIndex_ =
      ChartWindowIndex(store_.ReadOptionInt(kWindowKey, OptionDefault("WorkbenchHistoryWindow")));
  windowText_ = Child(L"STATIC", SS_LEFT | SS_NOPREFIX, IDC_WorkbenchHistoryWindowText, "Window:");
  window_ =
      Child(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, IDC_WorkbenchHistoryWindow);
  for (const ChartWindow& w : kChartWindows) {
    const std::wstring label = ui::ToWide(w.label);
    SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
  }
  SendMessageW(window_, CB_SETCURSEL, windowIndex_, 0);
  charts_.Create(hwnd_, instance_, IDC_WorkbenchHistoryCharts, "History charts",
                 [this](HDC dc, const RECT& area, double scale) {
                   PaintHistoryCharts(dc, area, scale, model_.Bench().history(),
                                      kChartWindows[windowIndex_].seconds, selected_);
                 });
  outages_ = ReportList(IDC_WorkbenchOutageList);
  for (int c = 0; c < kOutageColumnCount; ++c)
    AddColumn(outages_, c, WorkbenchModel::OutageColumnTitle(c), Px(kColumnWidth));
}

void HistoryPage::Layout(int width, int height) {
  MoveWindow(windowText_, 0, Px(4), Px(kCaptionWidth), Px(kRow - 8), TRUE);
  MoveWindow(window_, Px(kCaptionWidth), 0, Px(kComboWidth), Px(kComboDropHeight), TRUE);
  const int rest = std::max(0, height - Px(kRow + kMargin));
  const int listHeight = std::min(rest, std::max(Px(kMinListHeight), rest * 3 / 10));
  const int chartsHeight = std::max(0, rest - listHeight - Px(kMargin));
  MoveWindow(charts_.hwnd(), 0, Px(kRow), width, chartsHeight, TRUE);
  MoveWindow(outages_, 0, height - listHeight, width, listHeight, TRUE);
}

void HistoryPage::Fill() {
  std::vector<OutageRow> rows = model_.OutageRows();
  if (rows != rows_) {
    FillList(outages_, rows);
    rows_ = std::move(rows);
    selected_ = static_cast<int>(SendMessageW(outages_, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
  }
  charts_.Redraw();
}

void HistoryPage::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != outages_ || header.code != LVN_ITEMCHANGED) return;
  const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
  const bool selected = (change.uChanged & LVIF_STATE) != 0 &&
                        (change.uNewState & LVIS_SELECTED) != 0 &&
                        (change.uOldState & LVIS_SELECTED) == 0;
  if (selected) SelectOutage(change.iItem);
}

void HistoryPage::OnCommand(int id, int code, HWND /*control*/) {
  if (id != IDC_WorkbenchHistoryWindow || code != CBN_SELCHANGE) return;
  const int index = static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0));
  if (index < 0 || index >= static_cast<int>(kChartWindows.size())) return;
  windowIndex_ = index;
  store_.WriteOption(kWindowKey, std::to_string(kChartWindows[index].seconds));
  charts_.Redraw();
}

// The player jumps while replaying; live, or with the log closed, the seek changes nothing.
void HistoryPage::SelectOutage(int row) {
  selected_ = row;
  charts_.Redraw();
  const auto& outages = model_.Bench().history().outages();
  if (row < 0 || static_cast<std::size_t>(row) >= outages.size()) return;
  if (const std::optional<int64_t> epoch = OutageSeekEpoch(outages[row])) player_.SeekEpoch(*epoch);
}

}  // namespace pelmora::workbench
