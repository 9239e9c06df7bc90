// The workbench's History tab: the outages of the history.
#pragma once

#include "app/workbench/Page_win.h"

namespace pelmora::workbench {

class HistoryPage : public Page {
 public:
  using Page::Page;
  void Fill() override;

 private:
  void CreateControls() override;
  void Layout(int width, int height) override;

  HWND outages_ = nullptr;
};

}  // namespace pelmora::workbench
