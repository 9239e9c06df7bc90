// The graph control's window class and its double-buffered painting.
#include "app/workbench/Graph_win.h"

#include <algorithm>
#include <cmath>

#include "app/ui/FormRenderer_win.h"
#include "app/ui/WindowObject_win.h"

namespace pelmora::workbench {
namespace {

constexpr wchar_t kGraphClass[] = L"PelmoraGraph";

}  // namespace

double DpiScale(HDC dc) {
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  return dpi > 0 ? dpi / 96.0 : 1.0;
}

int Scaled(double scale, double pixelsAt96) {
  return std::max(1, static_cast<int>(std::lround(scale * pixelsAt96)));
}

bool Graph::Create(HWND parent, HINSTANCE instance, int id, const std::string& name,
                   Painter painter) {
  painter_ = std::move(painter);
  WNDCLASSW wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kGraphClass;
  RegisterClassW(&wc);  // fails harmlessly when already registered
  CreateWindowExW(0, kGraphClass, ui::ToWide(name).c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
  return hwnd_ != nullptr;
}

void Graph::Redraw() const {
  if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Graph::PaintTo(HDC dc, const RECT& area) const {
  FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
  if (painter_) painter_(dc, area, DpiScale(dc));
}

void Graph::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  if (client.right > 0 && client.bottom > 0) {
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PaintTo(memory, client);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
  }
  EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK Graph::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Graph* self = ui::WindowObject(hwnd, msg, lp, &Graph::hwnd_);
  if (self == nullptr || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    switch (msg) {
      case WM_ERASEBKGND:
        return 1;  // the paint covers every pixel
      case WM_PAINT:
        self->OnPaint();
        return 0;
      case WM_SIZE:
        self->Redraw();
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

}  // namespace pelmora::workbench
