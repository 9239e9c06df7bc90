// The workbench's Accuracy tab: the session's statistics, a caption and a value a row.
#pragma once

#include <array>

#include "app/workbench/Page_win.h"

namespace pelmora::workbench {

class AccuracyPage : public Page {
 public:
  using Page::Page;
  void Fill() override;

 private:
  void CreateControls() override;
  void Layout(int width, int height) override;

  std::array<HWND, kStatCount> captions_{}, values_{};
};

}  // namespace pelmora::workbench
