// The workbench window's Win32 side: class, native child controls (tab control, report-style
// list views, one static per figure), layout on resize, and the options of its place and tab.
#include "app/WorkbenchWindow_win.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "app/settings/OptionKeys.h"
#include "app/ui/FormRenderer_win.h"

namespace pelmora {
namespace {

using workbench::kCountedSystems;
using workbench::kSatColumnCount;
using workbench::kStatCount;
using workbench::SatColumn;
using workbench::WorkbenchModel;

constexpr wchar_t kClass[] = L"PelmoraWorkbench";
constexpr wchar_t kCaption[] = L"Pelmora Workbench";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr int kMinWidth = 480;
constexpr int kMinHeight = 320;
constexpr int kMargin = 6;
constexpr int kRow = 22;             // height of a caption and value row
constexpr int kCaptionWidth = 110;   // the captions of the statistics and counts
constexpr int kCountsWidth = 200;    // the counts column beside the satellite table
constexpr int kSatColumnWidth = 80;  // each column of the satellite table
constexpr int kOutageColumnWidth = 130;
constexpr const char* kTabTitles[] = {"Satellites", "Accuracy", "History"};
constexpr int kTabCount = 3;

void SetTextIfChanged(HWND hwnd, const std::string& cp1252) {
  const std::wstring text = ui::ToWide(cp1252);
  wchar_t current[256] = {};
  GetWindowTextW(hwnd, current, 256);
  if (text != current) SetWindowTextW(hwnd, text.c_str());
}

void AddColumn(HWND list, int index, const char* title, int width) {
  std::wstring text = ui::ToWide(title);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.cx = width;
  column.pszText = text.data();
  column.iSubItem = index;
  SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

// Makes the list hold exactly the rows, each cell's text set, drawn once at the end.
template <typename Row>
void FillList(HWND list, const std::vector<Row>& rows) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  auto count = static_cast<std::size_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (; count > rows.size(); --count)
    SendMessageW(list, LVM_DELETEITEM, count - 1, 0);
  for (; count < rows.size(); ++count) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(count);
    item.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t c = 0; c < rows[i].size(); ++c) {
      std::wstring text = ui::ToWide(rows[i][c]);
      LVITEMW item{};
      item.iSubItem = static_cast<int>(c);
      item.pszText = text.data();
      SendMessageW(list, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
    }
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, FALSE);
}

int ReadInt(const OptionStore& store, const char* name) {
  return store.ReadOptionInt(name, 0);
}

}  // namespace

WorkbenchWindow::WorkbenchWindow(HINSTANCE instance, WorkbenchModel& model,
                                 const OptionStore& store)
    : instance_(instance), model_(model), store_(store) {}

WorkbenchWindow::~WorkbenchWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

void WorkbenchWindow::Show() {
  if (hwnd_ == nullptr && !Create()) return;
  Fill();
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void WorkbenchWindow::Refresh() {
  if (hwnd_ == nullptr || !IsWindowVisible(hwnd_)) return;
  if (filled_ && model_.Updates() == filledUpdates_) return;
  Fill();
}

// Unowned: the workbench has its own taskbar button and may lie behind the small main window or
// on another screen; neither window ever blocks or minimises the other.
bool WorkbenchWindow::Create() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance_;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  RegisterClassW(&wc);  // fails harmlessly when already registered
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);

  // The stored place when it lies on a screen, else a default one.
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, w = kDefaultWidth, h = kDefaultHeight;
  const int storedWidth = ReadInt(store_, OptionNamed("WorkbenchWidth").name);
  const int storedHeight = ReadInt(store_, OptionNamed("WorkbenchHeight").name);
  if (storedWidth >= kMinWidth && storedHeight >= kMinHeight) {
    const RECT stored{ReadInt(store_, OptionNamed("WorkbenchLeft").name),
                      ReadInt(store_, OptionNamed("WorkbenchTop").name), 0, 0};
    RECT place{stored.left, stored.top, stored.left + storedWidth, stored.top + storedHeight};
    if (MonitorFromRect(&place, MONITOR_DEFAULTTONULL) != nullptr) {
      x = place.left;
      y = place.top;
      w = storedWidth;
      h = storedHeight;
    }
  }
  tab_ = ReadInt(store_, OptionNamed("WorkbenchTab").name);
  if (tab_ < 0 || tab_ >= kTabCount) tab_ = 0;

  hwnd_ =
      CreateWindowExW(0, kClass, kCaption, kStyle, x, y, w, h, nullptr, nullptr, instance_, this);
  if (hwnd_ == nullptr) return false;

  tabs_ = Child(WC_TABCONTROLW, WS_CLIPSIBLINGS | WS_TABSTOP, IDC_WorkbenchTabs);
  for (int i = 0; i < kTabCount; ++i) {
    std::wstring title = ui::ToWide(kTabTitles[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = title.data();
    SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  const DWORD listStyle = LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP;
  const LPARAM listExStyle = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
  satList_ = Child(WC_LISTVIEWW, listStyle, IDC_WorkbenchSatList);
  SendMessageW(satList_, LVM_SETEXTENDEDLISTVIEWSTYLE, listExStyle, listExStyle);
  for (int c = 0; c < kSatColumnCount; ++c)
    AddColumn(satList_, c, WorkbenchModel::ColumnTitle(static_cast<SatColumn>(c)), kSatColumnWidth);
  const auto counts = model_.SystemCounts();
  for (int i = 0; i < kCountedSystems; ++i) {
    countCaptions_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX,
                              IDC_WorkbenchCount0 + i + kWorkbenchCaptionOffset, counts[i].caption);
    counts_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX, IDC_WorkbenchCount0 + i);
  }
  const auto stats = model_.Statistics();
  for (int i = 0; i < kStatCount; ++i) {
    statCaptions_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX,
                             IDC_WorkbenchStat0 + i + kWorkbenchCaptionOffset, stats[i].caption);
    stats_[i] = Child(L"STATIC", SS_LEFT | SS_NOPREFIX, IDC_WorkbenchStat0 + i);
  }
  outageList_ = Child(WC_LISTVIEWW, listStyle, IDC_WorkbenchOutageList);
  SendMessageW(outageList_, LVM_SETEXTENDEDLISTVIEWSTYLE, listExStyle, listExStyle);
  for (int c = 0; c < workbench::kOutageColumnCount; ++c)
    AddColumn(outageList_, c, WorkbenchModel::OutageColumnTitle(c), kOutageColumnWidth);
  // The pages lie over the tab control's display area.
  SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(tabs_, TCM_SETCURSEL, tab_, 0);
  RECT client;
  GetClientRect(hwnd_, &client);
  OnSize(client.right, client.bottom);
  ShowTab(tab_);
  return true;
}

HWND WorkbenchWindow::Child(const wchar_t* cls, DWORD style, int id, const std::string& text) {
  HWND child =
      CreateWindowExW(0, cls, ui::ToWide(text).c_str(), WS_CHILD | style, 0, 0, 0, 0, hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
  return child;
}

LRESULT CALLBACK WorkbenchWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WorkbenchWindow* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<WorkbenchWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<WorkbenchWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (self == nullptr || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (...) {
    return 0;  // nothing escapes a window procedure
  }
}

LRESULT WorkbenchWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      OnSize(LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {kMinWidth, kMinHeight};
      return 0;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lp));
      return 0;
    case WM_EXITSIZEMOVE:
      SavePlacement();
      return 0;
    case WM_CLOSE:
      SavePlacement();
      ShowWindow(hwnd_, SW_HIDE);
      return 0;
    case WM_DESTROY:
      hwnd_ = nullptr;
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

void WorkbenchWindow::OnSize(int width, int height) {
  if (tabs_ == nullptr) return;
  MoveWindow(tabs_, kMargin, kMargin, width - 2 * kMargin, height - 2 * kMargin, TRUE);
  RECT page{0, 0, width - 2 * kMargin, height - 2 * kMargin};
  SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  OffsetRect(&page, kMargin, kMargin);
  const int pageWidth = page.right - page.left - kMargin;
  const int pageHeight = page.bottom - page.top - kMargin;
  // Satellites: the table, and the counts in a column at its right.
  const int listWidth = pageWidth - kCountsWidth - kMargin;
  MoveWindow(satList_, page.left, page.top, listWidth, pageHeight, TRUE);
  const int countsLeft = page.left + listWidth + kMargin;
  for (int i = 0; i < kCountedSystems; ++i) {
    const int y = page.top + i * kRow;
    MoveWindow(countCaptions_[i], countsLeft, y, kCaptionWidth - 40, kRow - 4, TRUE);
    MoveWindow(counts_[i], countsLeft + kCaptionWidth - 40, y, kCountsWidth - kCaptionWidth + 40,
               kRow - 4, TRUE);
  }
  // Accuracy: a caption and a value a row.
  for (int i = 0; i < kStatCount; ++i) {
    const int y = page.top + kMargin + i * kRow;
    MoveWindow(statCaptions_[i], page.left + kMargin, y, kCaptionWidth, kRow - 4, TRUE);
    MoveWindow(stats_[i], page.left + kMargin + kCaptionWidth, y, pageWidth - kCaptionWidth,
               kRow - 4, TRUE);
  }
  // History: the outage list.
  MoveWindow(outageList_, page.left, page.top, pageWidth, pageHeight, TRUE);
}

void WorkbenchWindow::OnNotify(const NMHDR& header) {
  if (header.hwndFrom == tabs_ && header.code == TCN_SELCHANGE) {
    ShowTab(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
    store_.WriteOption(OptionNamed("WorkbenchTab").name, std::to_string(tab_));
  } else if (header.hwndFrom == satList_ && header.code == LVN_COLUMNCLICK) {
    const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
    if (column >= 0 && column < kSatColumnCount) {
      model_.SortBy(static_cast<SatColumn>(column));
      FillSatellites();
    }
  }
}

void WorkbenchWindow::ShowTab(int tab) {
  tab_ = tab < 0 || tab >= kTabCount ? 0 : tab;
  auto show = [](HWND hwnd, bool on) { ShowWindow(hwnd, on ? SW_SHOWNA : SW_HIDE); };
  show(satList_, tab_ == 0);
  for (int i = 0; i < kCountedSystems; ++i) {
    show(countCaptions_[i], tab_ == 0);
    show(counts_[i], tab_ == 0);
  }
  for (int i = 0; i < kStatCount; ++i) {
    show(statCaptions_[i], tab_ == 1);
    show(stats_[i], tab_ == 1);
  }
  show(outageList_, tab_ == 2);
}

void WorkbenchWindow::Fill() {
  filledUpdates_ = model_.Updates();
  filled_ = true;
  FillSatellites();
  const auto counts = model_.SystemCounts();
  for (int i = 0; i < kCountedSystems; ++i)
    SetTextIfChanged(counts_[i], counts[i].value);
  const auto stats = model_.Statistics();
  for (int i = 0; i < kStatCount; ++i)
    SetTextIfChanged(stats_[i], stats[i].value);
  FillList(outageList_, model_.OutageRows());
}

void WorkbenchWindow::FillSatellites() {
  std::vector<std::array<std::string, kSatColumnCount>> rows;
  for (workbench::SatRow& row : model_.SatelliteRows())
    rows.push_back(std::move(row.cells));
  FillList(satList_, rows);
}

void WorkbenchWindow::SavePlacement() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (hwnd_ == nullptr || !GetWindowPlacement(hwnd_, &placement)) return;
  const RECT& r = placement.rcNormalPosition;
  store_.WriteOption(OptionNamed("WorkbenchLeft").name, std::to_string(r.left));
  store_.WriteOption(OptionNamed("WorkbenchTop").name, std::to_string(r.top));
  store_.WriteOption(OptionNamed("WorkbenchWidth").name, std::to_string(r.right - r.left));
  store_.WriteOption(OptionNamed("WorkbenchHeight").name, std::to_string(r.bottom - r.top));
}

}  // namespace pelmora
