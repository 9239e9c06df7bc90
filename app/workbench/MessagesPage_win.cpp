// The Messages tab's controls, its virtual list and their commands.
#include "app/workbench/MessagesPage_win.h"

#include <algorithm>

#include "app/ControlIds.h"
#include "app/ui/FormRenderer_win.h"
#include "app/workbench/Graph_win.h"

namespace pelmora::workbench {
namespace {

constexpr int kBar = 28;  // the row of controls above the list
constexpr int kGap = 8;
constexpr int kPauseWidth = 64;
constexpr int kCaptionWidth = 32;
constexpr int kComboWidth = 110;
constexpr int kComboDropHeight = 320;
// Time received, type and status; the text takes the rest, at least kMinTextWidth.
constexpr int kColumnWidths[kConsoleColumnCount - 1] = {90, 70, 90};
constexpr int kMinTextWidth = 200;
// Heights of the check box and the texts beside it.
constexpr int kCheckHeight = 20;
constexpr int kTextHeight = 16;

}  // namespace

void MessagesPage::CreateControls() {
  pause_ = Child(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, IDC_WorkbenchMsgPause, "Pause");
  typeCaption_ = Child(L"STATIC", SS_LEFT | SS_NOPREFIX, IDC_WorkbenchMsgTypeCaption, "Type:");
  type_ = Child(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, IDC_WorkbenchMsgType);
  counts_ = Child(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, IDC_WorkbenchMsgCounts);
  // Owner data: the list holds no texts, it asks for the cells it draws (LVN_GETDISPINFO).
  const DWORD style =
      LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP;
  list_ = Child(WC_LISTVIEWW, style, IDC_WorkbenchMsgList);
  const LPARAM exStyle = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, exStyle, exStyle);
  for (int c = 0; c < kConsoleColumnCount; ++c)
    AddColumn(list_, c, MessageConsole::ColumnTitle(c),
              Px(c < kConsoleColumnCount - 1 ? kColumnWidths[c] : kMinTextWidth));
}

void MessagesPage::Layout(int width, int height) {
  const int bar = Px(kBar);
  int x = 0;
  MoveWindow(pause_, x, (bar - Px(kCheckHeight)) / 2, Px(kPauseWidth), Px(kCheckHeight), TRUE);
  x += Px(kPauseWidth + kGap);
  const int textTop = (bar - Px(kTextHeight)) / 2;
  MoveWindow(typeCaption_, x, textTop, Px(kCaptionWidth), Px(kTextHeight), TRUE);
  x += Px(kCaptionWidth);
  MoveWindow(type_, x, textTop - Px(4), Px(kComboWidth), Px(kComboDropHeight), TRUE);
  x += Px(kComboWidth + 2 * kGap);
  MoveWindow(counts_, x, textTop, std::max(0, width - x), Px(kTextHeight), TRUE);
  MoveWindow(list_, 0, bar, width, std::max(0, height - bar), TRUE);
  int fixed = GetSystemMetrics(SM_CXVSCROLL) + Px(4);
  for (int w : kColumnWidths)
    fixed += Px(w);
  SendMessageW(list_, LVM_SETCOLUMNWIDTH, kConsoleColumnCount - 1,
               std::max(Px(kMinTextWidth), width - fixed));
}

void MessagesPage::Fill() {
  const MessageConsole& console = model_.Messages();
  if (console.Version() == version_) return;
  version_ = console.Version();
  FillFilters();
  SetTextIfChanged(counts_, console.Counts());
  FillList();
}

// The choices change seldom (a new type); never under an open drop-down.
void MessagesPage::FillFilters() {
  const MessageConsole& console = model_.Messages();
  std::vector<std::string> filters = console.Filters();
  if (filters == filters_ || SendMessageW(type_, CB_GETDROPPEDSTATE, 0, 0) != 0) return;
  filters_ = std::move(filters);
  SendMessageW(type_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(type_, CB_RESETCONTENT, 0, 0);
  for (const std::string& filter : filters_)
    SendMessageW(type_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::ToWide(filter).c_str()));
  const auto chosen = std::find(filters_.begin(), filters_.end(), console.Filter());
  SendMessageW(type_, CB_SETCURSEL, chosen == filters_.end() ? 0 : chosen - filters_.begin(), 0);
  SendMessageW(type_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(type_, nullptr, TRUE);
}

// Follows the newest row while it was in view; else keeps the rows in view where they are,
// though older ones fell out above them.
void MessagesPage::FillList() {
  const MessageConsole& console = model_.Messages();
  const auto before = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  const auto top = static_cast<int>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
  const auto perPage = static_cast<int>(SendMessageW(list_, LVM_GETCOUNTPERPAGE, 0, 0));
  const bool follow = follow_ || top + perPage >= before;
  follow_ = false;
  const uint64_t gone = console.Trimmed() >= trimmed_ ? console.Trimmed() - trimmed_ : 0;
  trimmed_ = console.Trimmed();
  const auto count = static_cast<int>(console.ShownCount());
  SendMessageW(list_, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
  if (count == 0) return;
  if (follow) {
    SendMessageW(list_, LVM_ENSUREVISIBLE, count - 1, FALSE);
  } else if (gone > 0 && top > 0) {
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (SendMessageW(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) == 0) return;
    const auto rows = static_cast<int>(std::min<uint64_t>(gone, static_cast<uint64_t>(top)));
    SendMessageW(list_, LVM_SCROLL, 0, -rows * (row.bottom - row.top));
  }
}

void MessagesPage::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != list_ || header.code != LVN_GETDISPINFOW) return;
  // The list's own request: its item is ours to fill.
  LVITEMW& item = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header)).item;
  if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
  item.pszText[0] = L'\0';
  if (item.iItem < 0 || item.iSubItem < 0 || item.iSubItem >= kConsoleColumnCount) return;
  const std::wstring text = ui::ToWide(model_.Messages().Cell(
      static_cast<std::size_t>(item.iItem), static_cast<ConsoleColumn>(item.iSubItem)));
  lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
}

void MessagesPage::OnCommand(int id, int code, HWND /*control*/) {
  MessageConsole& console = model_.Messages();
  if (id == IDC_WorkbenchMsgPause && code == BN_CLICKED) {
    console.SetPaused(SendMessageW(pause_, BM_GETCHECK, 0, 0) == BST_CHECKED);
  } else if (id == IDC_WorkbenchMsgType && code == CBN_SELCHANGE) {
    const auto chosen = SendMessageW(type_, CB_GETCURSEL, 0, 0);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= filters_.size()) return;
    console.SetFilter(filters_[static_cast<std::size_t>(chosen)]);
    trimmed_ = console.Trimmed();
    follow_ = true;
  } else if (id == IDC_WorkbenchMsgType && code == CBN_CLOSEUP) {
    version_ = UINT64_MAX;  // choices that waited for the drop-down to close
  } else {
    return;
  }
  Fill();
}

}  // namespace pelmora::workbench
