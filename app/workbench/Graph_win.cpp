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

HFONT GraphFont(double scale, double pixelsAt96, int weight, int tenthsDegrees) {
  return CreateFontW(-Scaled(scale, pixelsAt96), 0, tenthsDegrees, tenthsDegrees, weight, FALSE,
                     FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

void GraphText(HDC dc, int x, int y, UINT align, COLORREF colour, const std::wstring& text) {
  SetTextAlign(dc, align);
  SetTextColor(dc, colour);
  TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void GraphText(HDC dc, int x, int y, UINT align, COLORREF colour, const std::string& cp1252) {
  GraphText(dc, x, y, align, colour, ui::ToWide(cp1252));
}

SIZE TextSize(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

SIZE TextSize(HDC dc, const std::string& cp1252) {
  return TextSize(dc, ui::ToWide(cp1252));
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
