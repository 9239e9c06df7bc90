// The workbench's Messages tab: the receiver's sentences and packets as they arrive, in a
// virtual report list (its cells asked for as they are drawn) that follows the newest row unless
// the user scrolled away, with a Pause check box, a type filter and the counts.
#pragma once

#include <string>
#include <vector>

#include "app/workbench/Page_win.h"

namespace pelmora::workbench {

class MessagesPage : public Page {
 public:
  using Page::Page;
  // Cheap when the console has not changed: the window calls it after every tick.
  void Fill() override;

 private:
  void CreateControls() override;
  void Layout(int width, int height) override;
  void OnNotify(const NMHDR& header) override;
  void OnCommand(int id, int code, HWND control) override;
  void FillFilters();
  void FillList();

  HWND pause_ = nullptr, typeCaption_ = nullptr, type_ = nullptr, counts_ = nullptr;
  HWND list_ = nullptr;
  std::vector<std::string> filters_;  // the combo's items
  uint64_t version_ = UINT64_MAX;     // of the console, when filled
  uint64_t trimmed_ = 0;              // the console's Trimmed() when filled
  bool follow_ = true;                // show the newest row at the next fill
};

}  // namespace pelmora::workbench
