// The workbench pages' window class and the helpers their controls share.
#include "app/workbench/Page_win.h"

#include "app/ui/FormRenderer_win.h"
#include "app/ui/WindowObject_win.h"
#include "app/workbench/Graph_win.h"

namespace pelmora::workbench {
namespace {

constexpr wchar_t kPageClass[] = L"PelmoraWorkbenchPage";

}  // namespace

bool Page::Create(HWND parent) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance_;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kPageClass;
  RegisterClassW(&wc);  // fails harmlessly when already registered
  CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0,
                  parent, nullptr, instance_, this);
  if (hwnd_ == nullptr) return false;
  if (HDC dc = GetDC(hwnd_)) {
    scale_ = DpiScale(dc);
    ReleaseDC(hwnd_, dc);
  }
  CreateControls();
  return true;
}

void Page::Place(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  MoveWindow(hwnd_, area.left, area.top, width, height, TRUE);
  Layout(width, height);
}

void Page::Show(bool on) {
  ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE);
}

HWND Page::Child(const wchar_t* cls, DWORD style, int id, const std::string& text) {
  HWND child =
      CreateWindowExW(0, cls, ui::ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                      hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
  return child;
}

int Page::Px(double pixelsAt96) const {
  return Scaled(scale_, pixelsAt96);
}

HWND Page::ReportList(int id) {
  const DWORD style = LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP;
  const LPARAM exStyle = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
  HWND list = Child(WC_LISTVIEWW, style, id);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, exStyle, exStyle);
  return list;
}

LRESULT CALLBACK Page::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Page* self = ui::WindowObject(hwnd, msg, lp, &Page::hwnd_);
  if (self == nullptr || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    LRESULT result = 0;
    if (self->OnMessage(msg, wp, lp, result)) return result;
    switch (msg) {
      case WM_NOTIFY:
        self->OnNotify(*reinterpret_cast<const NMHDR*>(lp));
        return 0;
      case WM_COMMAND:
        self->OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
      case WM_DESTROY:
        self->hwnd_ = nullptr;
        return 0;
      default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
  } catch (...) {
    return 0;  // nothing escapes a window procedure
  }
}

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

void FillList(HWND list, const std::vector<std::vector<std::string>>& rows) {
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
  // Only the cells that changed are set: a list refilled every second mostly keeps its texts.
  wchar_t shown[256];
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t c = 0; c < rows[i].size(); ++c) {
      std::wstring text = ui::ToWide(rows[i][c]);
      LVITEMW item{};
      item.iSubItem = static_cast<int>(c);
      item.pszText = shown;
      item.cchTextMax = 256;
      shown[0] = L'\0';
      SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
      if (text == shown) continue;
      item.pszText = text.data();
      SendMessageW(list, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
    }
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, FALSE);
}

}  // namespace pelmora::workbench
