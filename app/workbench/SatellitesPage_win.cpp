// The Satellites tab's controls and layout.
#include "app/workbench/SatellitesPage_win.h"

#include "app/ControlIds.h"

namespace pelmora::workbench {
namespace {

constexpr int kMargin = 6;
constexpr int kRow = 22;
constexpr int kCaptionWidth = 70;
constexpr int kCountsWidth = 200;  // the counts column beside the table
constexpr int kColumnWidth = 80;

}  // namespace

void SatellitesPage::CreateControls() {
  list_ = ReportList(IDC_WorkbenchSatList);
  for (int c = 0; c < kSatColumnCount; ++c)
    AddColumn(list_, c, WorkbenchModel::ColumnTitle(static_cast<SatColumn>(c)), kColumnWidth);
  const auto counts = model_.SystemCounts();
  for (int i = 0; i < kCountedSystems; ++i) {
    captions_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX,
                         IDC_WorkbenchCount0 + i + kWorkbenchCaptionOffset, counts[i].caption);
    counts_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX, IDC_WorkbenchCount0 + i);
  }
}

void SatellitesPage::Layout(int width, int height) {
  const int listWidth = width - kCountsWidth - kMargin;
  MoveWindow(list_, 0, 0, listWidth, height, TRUE);
  const int left = listWidth + kMargin;
  for (int i = 0; i < kCountedSystems; ++i) {
    const int y = i * kRow;
    MoveWindow(captions_[i], left, y, kCaptionWidth, kRow - 4, TRUE);
    MoveWindow(counts_[i], left + kCaptionWidth, y, kCountsWidth - kCaptionWidth, kRow - 4, TRUE);
  }
}

void SatellitesPage::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != list_ || header.code != LVN_COLUMNCLICK) return;
  const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
  if (column < 0 || column >= kSatColumnCount) return;
  model_.SortBy(static_cast<SatColumn>(column));
  FillTable();
}

void SatellitesPage::Fill() {
  FillTable();
  const auto counts = model_.SystemCounts();
  for (int i = 0; i < kCountedSystems; ++i)
    SetTextIfChanged(counts_[i], counts[i].value);
}

void SatellitesPage::FillTable() {
  std::vector<std::array<std::string, kSatColumnCount>> rows;
  for (SatRow& row : model_.SatelliteRows())
    rows.push_back(std::move(row.cells));
  FillList(list_, rows);
}

}  // namespace pelmora::workbench
