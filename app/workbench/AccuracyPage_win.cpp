// The Accuracy tab's controls and layout.
#include "app/workbench/AccuracyPage_win.h"

#include "app/ControlIds.h"

namespace pelmora::workbench {
namespace {

constexpr int kMargin = 6;
constexpr int kRow = 22;
constexpr int kCaptionWidth = 110;

}  // namespace

void AccuracyPage::CreateControls() {
  const auto stats = model_.Statistics();
  for (int i = 0; i < kStatCount; ++i) {
    captions_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX,
                         IDC_WorkbenchStat0 + i + kWorkbenchCaptionOffset, stats[i].caption);
    values_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX, IDC_WorkbenchStat0 + i);
  }
}

void AccuracyPage::Layout(int width, int /*height*/) {
  for (int i = 0; i < kStatCount; ++i) {
    const int y = kMargin + i * kRow;
    MoveWindow(captions_[i], kMargin, y, kCaptionWidth, kRow - 4, TRUE);
    MoveWindow(values_[i], kMargin + kCaptionWidth, y, width - kCaptionWidth - 2 * kMargin,
               kRow - 4, TRUE);
  }
}

void AccuracyPage::Fill() {
  const auto stats = model_.Statistics();
  for (int i = 0; i < kStatCount; ++i)
    SetTextIfChanged(values_[i], stats[i].value);
}

}  // namespace pelmora::workbench
