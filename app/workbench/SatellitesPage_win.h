// The workbench's Satellites tab: every satellite of the latest epoch in a sortable table, and
// the "used / in view" counts per system.
#pragma once

#include <array>

#include "app/workbench/Page_win.h"

namespace pelmora::workbench {

class SatellitesPage : public Page {
 public:
  using Page::Page;
  void Fill() override;

 private:
  void CreateControls() override;
  void Layout(int width, int height) override;
  void OnNotify(const NMHDR& header) override;
  void FillTable();

  HWND list_ = nullptr;
  std::array<HWND, kCountedSystems> captions_{}, counts_{};
};

}  // namespace pelmora::workbench
