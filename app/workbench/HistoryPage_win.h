// The workbench's History tab: strip charts over a chosen window (its choice kept in the option
// WorkbenchHistoryWindow) above the outages; selecting an outage of a replayed log seeks the
// player to it.
#pragma once

#include <vector>

#include "app/settings/OptionStore.h"
#include "app/workbench/Graph_win.h"
#include "app/workbench/HistoryChart.h"
#include "app/workbench/Page_win.h"
#include "app/workbench/PlayerBar.h"

namespace pelmora::workbench {

class HistoryPage : public Page {
 public:
  // player: seeks the replay to a selected outage.
  HistoryPage(HINSTANCE instance, WorkbenchModel& model, const OptionStore& store,
              PlayerCommands& player);
  void Fill() override;

 private:
  void CreateControls() override;
  void Layout(int width, int height) override;
  void OnNotify(const NMHDR& header) override;
  void OnCommand(int id, int code, HWND control) override;
  void SelectOutage(int row);

  const OptionStore& store_;
  PlayerCommands& player_;
  HWND windowText_ = nullptr;
  HWND window_ = nullptr;
  HWND outages_ = nullptr;
  Graph charts_;
  int windowIndex_ = kDefaultChartWindow;
  int selected_ = -1;  // the outage row selected, -1 none
  std::vector<OutageRow> rows_;
};

}  // namespace pelmora::workbench
