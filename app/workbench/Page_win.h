// A page of the workbench window: a child window of its own over the tab control's display
// area, holding that tab's native controls and answering their notifications. Pages are
// filled from the model after update steps; the window shows one at a time.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/workbench/WorkbenchModel.h"

namespace pelmora::workbench {

class Page {
 public:
  Page(HINSTANCE instance, WorkbenchModel& model) : instance_(instance), model_(model) {}
  virtual ~Page() = default;
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  // Creates the page hidden, as a child of parent, with its controls.
  bool Create(HWND parent);
  HWND hwnd() const { return hwnd_; }
  void Place(const RECT& area);
  void Show(bool on);
  bool Visible() const { return hwnd_ != nullptr && IsWindowVisible(hwnd_); }

  // Brings the controls up to the model's latest state.
  virtual void Fill() = 0;

 protected:
  virtual void CreateControls() = 0;
  virtual void Layout(int width, int height) = 0;
  virtual void OnNotify(const NMHDR& /*header*/) {}
  virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
  // Messages the page handles itself (timers, custom ones); return true when handled.
  virtual bool OnMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) {
    return false;
  }

  // A child control of the page in the dialog font.
  HWND Child(const wchar_t* cls, DWORD style, int id, const std::string& text = {});
  // A report-style list view with full-row selection, double-buffered.
  HWND ReportList(int id);
  // A length given at 96 DPI, in pixels at the screen's DPI.
  int Px(double pixelsAt96) const;

  HINSTANCE instance_;
  WorkbenchModel& model_;
  HWND hwnd_ = nullptr;
  double scale_ = 1.0;  // the screen's DPI over 96

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

// Sets a control's text only when it differs (no flicker, no needless repaint).
void SetTextIfChanged(HWND hwnd, const std::string& cp1252);
void AddColumn(HWND list, int index, const char* title, int width);
// Makes the list hold exactly the rows (each a sequence of Windows-1252 cell texts), drawn once
// at the end.
void FillList(HWND list, const std::vector<std::vector<std::string>>& rows);

template <typename Row>
void FillList(HWND list, const std::vector<Row>& rows) {
  std::vector<std::vector<std::string>> cells;
  cells.reserve(rows.size());
  for (const Row& row : rows)
    cells.emplace_back(row.begin(), row.end());
  FillList(list, cells);
}

}  // namespace pelmora::workbench
