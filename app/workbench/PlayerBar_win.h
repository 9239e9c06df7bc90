// The workbench's player bar: a strip below the tabs, shown while a log replays, with a track
// bar over the epochs (seeking while dragged, at most every kDragSeekMs, and where released), the
// current receiver time and the log's first and last, back, play/pause, step and the speed.
// Every command goes to PlayerCommands; the bar then shows the replay's new state.
#pragma once

#include "app/workbench/Page_win.h"
#include "app/workbench/PlayerBar.h"

namespace pelmora::workbench {

class PlayerBar : public Page {
 public:
  static constexpr int kHeight = 58;  // at 96 DPI
  static constexpr UINT kDragSeekMs = 200;

  PlayerBar(HINSTANCE instance, WorkbenchModel& model, PlayerCommands& player)
      : Page(instance, model), player_(player) {}

  // Brings the controls up to the replay's state (Replaying() tells whether one runs).
  void Fill() override;
  bool Replaying() const { return replaying_; }
  // The bar's height at the screen's DPI.
  int Height() const;

 private:
  void CreateControls() override;
  void Layout(int width, int height) override;
  void OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnScroll(int code);
  // Seeks to the thumb's epoch unless it is there already.
  void SeekToThumb();

  PlayerCommands& player_;
  HWND track_ = nullptr, time_ = nullptr, span_ = nullptr;
  HWND back_ = nullptr, play_ = nullptr, step_ = nullptr, speed_ = nullptr;
  bool replaying_ = false;
  bool dragging_ = false;
  DWORD lastSeekTick_ = 0;
  int seekedPosition_ = -1;
  int shownSpeed_ = -1;  // the speed the list was last set to
};

}  // namespace pelmora::workbench
