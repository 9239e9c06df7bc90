// The workbench window's Win32 side: class, native child controls (tab control, report-style
// list views, one static per figure), layout on resize, and the options of its place and tab.
#include "app/WorkbenchWindow_win.h"

#include <commctrl.h>

#include <string>

#include "app/ControlIds.h"
#include "app/settings/OptionKeys.h"
#include "app/ui/FormRenderer_win.h"
#include "app/ui/WindowObject_win.h"
#include "app/workbench/AccuracyPage_win.h"
#include "app/workbench/Graph_win.h"
#include "app/workbench/HistoryPage_win.h"
#include "app/workbench/MessagesPage_win.h"
#include "app/workbench/SatellitesPage_win.h"

namespace pelmora {
namespace {

using workbench::WorkbenchModel;

constexpr wchar_t kClass[] = L"PelmoraWorkbench";
constexpr wchar_t kCaption[] = L"Pelmora Workbench";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr int kMinWidth = 480;
constexpr int kMinHeight = 320;
constexpr int kMargin = 6;
constexpr const char* kTabTitles[] = {"Satellites", "Accuracy", "History", "Messages"};
constexpr int kTabCount = 4;

int ReadInt(const OptionStore& store, const char* name) {
  return store.ReadOptionInt(name, 0);
}

}  // namespace

WorkbenchWindow::WorkbenchWindow(HINSTANCE instance, WorkbenchModel& model,
                                 const OptionStore& store, workbench::PlayerCommands& player)
    : instance_(instance), model_(model), store_(store), player_(player) {}

WorkbenchWindow::~WorkbenchWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

void WorkbenchWindow::Show() {
  if (hwnd_ == nullptr && !Create()) {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    pages_.clear();
    bar_.reset();
    return;
  }
  FillPlayerBar();
  Fill();
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void WorkbenchWindow::Refresh() {
  if (hwnd_ == nullptr || !IsWindowVisible(hwnd_)) return;
  FillPlayerBar();
  if (filled_ && model_.Updates() == filledUpdates_) {
    if (messages_ != nullptr) messages_->Fill();  // the console follows every poll
    return;
  }
  Fill();
}

bool WorkbenchWindow::PreTranslate(MSG& msg) {
  if (hwnd_ == nullptr || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  if (msg.message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000) != 0) {
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    int step = 0;
    if (msg.wParam == VK_TAB) step = shift ? -1 : 1;
    if (msg.wParam == VK_NEXT) step = 1;
    if (msg.wParam == VK_PRIOR) step = -1;
    if (step != 0) {
      const int count = static_cast<int>(pages_.size());
      SendMessageW(tabs_, TCM_SETCURSEL, (tab_ + step + count) % count, 0);
      NMHDR header{tabs_, IDC_WorkbenchTabs, TCN_SELCHANGE};
      OnNotify(header);
      return true;
    }
  }
  return IsDialogMessageW(hwnd_, &msg) != 0;
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
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);

  // The stored place when it lies on a screen, else a default one.
  if (HDC screen = GetDC(nullptr)) {
    scale_ = workbench::DpiScale(screen);
    ReleaseDC(nullptr, screen);
  }
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, w = Px(kDefaultWidth), h = Px(kDefaultHeight);
  const int storedWidth = ReadInt(store_, OptionNamed("WorkbenchWidth").name);
  const int storedHeight = ReadInt(store_, OptionNamed("WorkbenchHeight").name);
  if (storedWidth >= Px(kMinWidth) && storedHeight >= Px(kMinHeight)) {
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

  tabs_ = CreateWindowExW(
      0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 0, 0,
      hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_WorkbenchTabs)), instance_, nullptr);
  SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
  for (int i = 0; i < kTabCount; ++i) {
    std::wstring title = ui::ToWide(kTabTitles[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = title.data();
    SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  pages_.push_back(std::make_unique<workbench::SatellitesPage>(instance_, model_, store_));
  pages_.push_back(std::make_unique<workbench::AccuracyPage>(instance_, model_, store_));
  pages_.push_back(std::make_unique<workbench::HistoryPage>(instance_, model_, store_, player_));
  auto messages = std::make_unique<workbench::MessagesPage>(instance_, model_);
  messages_ = messages.get();
  pages_.push_back(std::move(messages));
  for (auto& page : pages_)
    if (!page->Create(hwnd_)) return false;
  bar_ = std::make_unique<workbench::PlayerBar>(instance_, model_, player_);
  if (!bar_->Create(hwnd_)) return false;
  // The pages lie over the tab control's display area.
  SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(tabs_, TCM_SETCURSEL, tab_, 0);
  RECT client;
  GetClientRect(hwnd_, &client);
  OnSize(client.right, client.bottom);
  ShowTab(tab_);
  return true;
}

LRESULT CALLBACK WorkbenchWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WorkbenchWindow* self = ui::WindowObject(hwnd, msg, lp, &WorkbenchWindow::hwnd_);
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
      reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {Px(kMinWidth), Px(kMinHeight)};
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

int WorkbenchWindow::Px(int pixelsAt96) const {
  return workbench::Scaled(scale_, pixelsAt96);
}

void WorkbenchWindow::OnSize(int width, int height) {
  if (tabs_ == nullptr || bar_ == nullptr) return;
  const int margin = Px(kMargin);
  // The player bar takes the bottom while a log replays.
  if (bar_->Replaying()) {
    height -= bar_->Height() + margin;
    const RECT bar{margin, height, width - margin, height + bar_->Height()};
    bar_->Place(bar);
  }
  MoveWindow(tabs_, margin, margin, width - 2 * margin, height - 2 * margin, TRUE);
  RECT page{0, 0, width - 2 * margin, height - 2 * margin};
  SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  OffsetRect(&page, margin, margin);
  page.right -= margin;
  page.bottom -= margin;
  for (auto& p : pages_)
    p->Place(page);
}

void WorkbenchWindow::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != tabs_ || header.code != TCN_SELCHANGE) return;
  ShowTab(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
  store_.WriteOption(OptionNamed("WorkbenchTab").name, std::to_string(tab_));
}

void WorkbenchWindow::ShowTab(int tab) {
  tab_ = tab < 0 || tab >= kTabCount ? 0 : tab;
  for (int i = 0; i < kTabCount; ++i)
    pages_[i]->Show(i == tab_);
  Fill();
}

// Every page's texts stay current, so scripts and screen readers read any tab; graphs on hidden
// pages cost nothing (a hidden window is not painted).
void WorkbenchWindow::Fill() {
  filledUpdates_ = model_.Updates();
  filled_ = true;
  for (auto& page : pages_)
    page->Fill();
}

void WorkbenchWindow::FillPlayerBar() {
  if (bar_ == nullptr) return;
  bar_->Fill();
  const bool shown = (GetWindowLongW(bar_->hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
  if (shown == bar_->Replaying()) return;
  bar_->Show(bar_->Replaying());
  RECT client;
  GetClientRect(hwnd_, &client);
  OnSize(client.right, client.bottom);
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
