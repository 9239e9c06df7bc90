// The History tab's controls and layout.
#include "app/workbench/HistoryPage_win.h"

#include "app/ControlIds.h"

namespace pelmora::workbench {
namespace {

constexpr int kColumnWidth = 130;

}  // namespace

void HistoryPage::CreateControls() {
  outages_ = ReportList(IDC_WorkbenchOutageList);
  for (int c = 0; c < kOutageColumnCount; ++c)
    AddColumn(outages_, c, WorkbenchModel::OutageColumnTitle(c), kColumnWidth);
}

void HistoryPage::Layout(int width, int height) {
  MoveWindow(outages_, 0, 0, width, height, TRUE);
}

void HistoryPage::Fill() {
  FillList(outages_, model_.OutageRows());
}

}  // namespace pelmora::workbench
