// The workbench's Satellites tab: every satellite of the latest epoch in a sortable table with
// the "used / in view" counts per system, and the signal bars and sky plot with trails of the
// systems the filter's checkboxes show (kept in the option WorkbenchSatSystems).
#pragma once

#include <array>
#include <vector>

#include "app/settings/OptionStore.h"
#include "app/workbench/Constellations.h"
#include "app/workbench/Graph_win.h"
#include "app/workbench/Page_win.h"

namespace pelmora::workbench {

class SatellitesPage : public Page {
 public:
  SatellitesPage(HINSTANCE instance, WorkbenchModel& model, const OptionStore& store)
      : Page(instance, model), store_(store) {}
  void Fill() override;

 private:
  void CreateControls() override;
  void Layout(int width, int height) override;
  void OnNotify(const NMHDR& header) override;
  void OnCommand(int id, int code, HWND control) override;
  void FillTable();
  void FillGraphs();

  const OptionStore& store_;
  ConstellationFilter filter_;
  std::vector<EpochSat> shown_;  // the latest epoch's satellites the filter shows
  HWND list_ = nullptr;
  std::array<HWND, kConstellationCount> captions_{}, counts_{};
  std::array<HWND, kConstellationCount> filters_{};
  std::array<Graph, kConstellationCount> keys_;
  Graph bars_, sky_;
};

}  // namespace pelmora::workbench
