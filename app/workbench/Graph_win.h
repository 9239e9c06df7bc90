// A graph control of the workbench: a child window that paints through its painter into an
// off-screen bitmap and shows it in one blit, so redraws never flicker. The painter gets the
// DPI scale (1.0 at 96 DPI) to size pens, fonts and marks crisply at any DPI. The window text
// is the graph's name, for screen readers.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace pelmora::workbench {

class Graph {
 public:
  using Painter = std::function<void(HDC dc, const RECT& area, double scale)>;

  Graph() = default;
  Graph(const Graph&) = delete;
  Graph& operator=(const Graph&) = delete;

  bool Create(HWND parent, HINSTANCE instance, int id, const std::string& name, Painter painter);
  HWND hwnd() const { return hwnd_; }
  // Paints again at the next WM_PAINT.
  void Redraw() const;

  // Paints once into a bitmap of the size given (benchmarks, screenshots).
  void PaintTo(HDC dc, const RECT& area) const;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void OnPaint();

  HWND hwnd_ = nullptr;
  Painter painter_;
};

// A GDI object made by the caller, selected into a DC while this lives, then deselected and
// deleted.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object)
      : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    SelectObject(dc_, old_);
    DeleteObject(object_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ object_, old_;
};

// The DPI scale of a device context: 1.0 at 96 DPI, 1.5 at 144.
double DpiScale(HDC dc);
// A length in pixels at that scale, at least one pixel.
int Scaled(double scale, double pixelsAt96);

// The graphs' font (Tahoma) of pixelsAt96 at the scale; tenthsDegrees turns it (900: bottom to
// top). The caller deletes it.
HFONT GraphFont(double scale, double pixelsAt96 = 11, int weight = FW_NORMAL,
                int tenthsDegrees = 0);
// Text at x, y placed by align (TA_ flags), in colour, in the DC's font.
void GraphText(HDC dc, int x, int y, UINT align, COLORREF colour, const std::wstring& text);
void GraphText(HDC dc, int x, int y, UINT align, COLORREF colour, const std::string& cp1252);
// The size of text in the DC's font.
SIZE TextSize(HDC dc, const std::wstring& text);
SIZE TextSize(HDC dc, const std::string& cp1252);

}  // namespace pelmora::workbench
