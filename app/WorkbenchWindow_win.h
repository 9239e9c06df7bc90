// The "Pelmora Workbench" window: a resizable top-level window with a tab control over its pages
// (satellites, accuracy, history, messages), each a child window of native controls and graphs
// showing WorkbenchModel, and below them the player bar while a log replays. It owns no logic: it
// fills the pages after update steps (the message console after every tick) and keeps its place
// and tab in options of their own. Closing it hides it.
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
  // player: the program's player, driven by the player bar; seek: the replay player's, for the
  // History tab's outages.
  WorkbenchWindow(HINSTANCE instance, workbench::WorkbenchModel& model, const OptionStore& store,
                  workbench::PlayerCommands& player);
  ~WorkbenchWindow();
  WorkbenchWindow(const WorkbenchWindow&) = delete;
  WorkbenchWindow& operator=(const WorkbenchWindow&) = delete;

  // Creates the window on first use, fills it and brings it to the front.
  void Show();
  // After a tick or a player command: the player bar, the pages when the model heard an update
  // step since the last fill, and the message console when it changed.
  void Refresh();
  // The message loop's hook for the window's keys: Ctrl+Tab and Ctrl+PageDown to the next tab,
  // with Shift or PageUp to the previous; Tab between the controls. True when it took the message.
  bool PreTranslate(MSG& msg);

 private:
  int Px(int pixelsAt96) const;
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
  workbench::PlayerCommands& player_;
  HWND hwnd_ = nullptr;
  HWND tabs_ = nullptr;
  std::vector<std::unique_ptr<workbench::Page>> pages_;
  workbench::Page* messages_ = nullptr;  // one of pages_
  std::unique_ptr<workbench::PlayerBar> bar_;
  int tab_ = 0;
  double scale_ = 1.0;  // the screen's DPI over 96: sizes below are given at 96 DPI
  uint64_t filledUpdates_ = 0;
  bool filled_ = false;
};

}  // namespace pelmora
