// The "Pelmora Workbench" window: a resizable top-level window with a tab control over its pages
// (satellites, accuracy, history), each a child window of native controls and graphs showing
// WorkbenchModel, and below them the player bar while a log replays. It owns no logic: it fills
// the shown page after update steps and keeps its place and tab in options of their own.
// Closing it hides it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/settings/OptionStore.h"
#include "app/workbench/Page_win.h"
#include "app/workbench/PlayerBar_win.h"
#include "app/workbench/WorkbenchModel.h"

namespace pelmora {

class WorkbenchWindow {
 public:
  // player: the program's player, driven by the player bar.
  WorkbenchWindow(HINSTANCE instance, workbench::WorkbenchModel& model, const OptionStore& store,
                  workbench::PlayerCommands& player);
  ~WorkbenchWindow();
  WorkbenchWindow(const WorkbenchWindow&) = delete;
  WorkbenchWindow& operator=(const WorkbenchWindow&) = delete;

  // Creates the window on first use, fills it and brings it to the front.
  void Show();
  // After a tick or a player command: the player bar, and the pages when the model heard an
  // update step since the last fill.
  void Refresh();

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  bool Create();
  void OnSize(int width, int height);
  void OnNotify(const NMHDR& header);
  void ShowTab(int tab);
  void Fill();
  // Shows the player bar while a log replays and brings it up to date.
  void FillPlayerBar();
  void SavePlacement();

  HINSTANCE instance_;
  workbench::WorkbenchModel& model_;
  const OptionStore& store_;
  HWND hwnd_ = nullptr;
  HWND tabs_ = nullptr;
  std::vector<std::unique_ptr<workbench::Page>> pages_;
  workbench::PlayerCommands& player_;
  std::unique_ptr<workbench::PlayerBar> bar_;
  int tab_ = 0;
  uint64_t filledUpdates_ = 0;
  bool filled_ = false;
};

}  // namespace pelmora
