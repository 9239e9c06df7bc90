// The player bar's controls, layout and commands.
#include "app/workbench/PlayerBar_win.h"

#include <algorithm>
#include <string>

#include "app/ControlIds.h"
#include "app/ui/FormRenderer_win.h"

namespace pelmora::workbench {
namespace {

constexpr UINT_PTR kDragTimer = 1;
constexpr int kGap = 4;
constexpr int kTrackHeight = 26;
constexpr int kRow = 24;
constexpr int kButtonWidth = 56;
constexpr int kTimeWidth = 60;
constexpr int kSpeedWidth = 76;
constexpr int kSpeedListHeight = 220;  // the combo's height with its list dropped down

}  // namespace

void PlayerBar::CreateControls() {
  track_ =
      Child(TRACKBAR_CLASSW, TBS_HORZ | TBS_BOTTOM | TBS_NOTICKS | WS_TABSTOP, IDC_PlayerBarTrack);
  back_ = Child(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, IDC_PlayerBarBack, "Back");
  play_ = Child(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, IDC_PlayerBarPlay, "Pause");
  step_ = Child(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, IDC_PlayerBarStep, "Step");
  time_ = Child(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, IDC_PlayerBarTime);
  span_ = Child(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, IDC_PlayerBarSpan);
  speed_ = Child(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, IDC_PlayerBarSpeed);
  for (int i = 0; i < kSpeedChoices; ++i) {
    const std::wstring text = ui::ToWide(SpeedChoiceText(static_cast<ReplaySpeed>(i)));
    SendMessageW(speed_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

int PlayerBar::Height() const {
  return Px(kHeight);
}

void PlayerBar::Layout(int width, int /*height*/) {
  MoveWindow(track_, 0, 0, width, Px(kTrackHeight), TRUE);
  const int y = Px(kTrackHeight + kGap), row = Px(kRow), gap = Px(kGap);
  int x = 0;
  for (HWND button : {back_, play_, step_}) {
    MoveWindow(button, x, y, Px(kButtonWidth), row, TRUE);
    x += Px(kButtonWidth) + gap;
  }
  x += gap;
  MoveWindow(time_, x, y, Px(kTimeWidth), row, TRUE);
  x += Px(kTimeWidth) + gap;
  const int speedX = width - Px(kSpeedWidth);
  MoveWindow(span_, x, y, std::max(0, speedX - gap - x), row, TRUE);
  MoveWindow(speed_, speedX, y, Px(kSpeedWidth), Px(kSpeedListHeight), TRUE);
}

void PlayerBar::Fill() {
  PlayerSnapshot snapshot;
  replaying_ = player_.Snapshot(snapshot);
  if (!replaying_) return;
  const PlayerBarView view = MakePlayerBarView(snapshot);
  if (SendMessageW(track_, TBM_GETRANGEMAX, 0, 0) != view.lastEpoch) {
    SendMessageW(track_, TBM_SETRANGEMAX, TRUE, view.lastEpoch);
    SendMessageW(track_, TBM_SETPAGESIZE, 0, std::max(1, view.lastEpoch / 20));
  }
  if (!dragging_ && SendMessageW(track_, TBM_GETPOS, 0, 0) != view.position)
    SendMessageW(track_, TBM_SETPOS, TRUE, view.position);
  SetTextIfChanged(time_, view.time);
  SetTextIfChanged(span_, view.span);
  SetTextIfChanged(play_, view.playText);
  EnableWindow(back_, view.stepEnabled);
  EnableWindow(step_, view.stepEnabled);
  // The list follows the program's speed when it changes (keys, macros), and leaves a choice
  // being made alone meanwhile.
  if (view.speedIndex != shownSpeed_) {
    SendMessageW(speed_, CB_SETCURSEL, view.speedIndex, 0);
    shownSpeed_ = view.speedIndex;
  }
}

void PlayerBar::OnCommand(int id, int code, HWND /*control*/) {
  if (id == IDC_PlayerBarSpeed && code == CBN_SELCHANGE) {
    const auto choice = static_cast<int>(SendMessageW(speed_, CB_GETCURSEL, 0, 0));
    if (choice >= 0 && choice < kSpeedChoices) player_.SetSpeed(static_cast<ReplaySpeed>(choice));
  } else if (code != BN_CLICKED) {
    return;
  } else if (id == IDC_PlayerBarPlay) {
    player_.TogglePause();
  } else if (id == IDC_PlayerBarBack || id == IDC_PlayerBarStep) {
    player_.Step(id == IDC_PlayerBarStep);
  } else {
    return;
  }
  Fill();
}

bool PlayerBar::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_HSCROLL && reinterpret_cast<HWND>(lp) == track_) {
    OnScroll(LOWORD(wp));
  } else if (msg == WM_TIMER && wp == kDragTimer) {
    KillTimer(hwnd_, kDragTimer);
    if (dragging_) SeekToThumb();
  } else {
    return false;
  }
  result = 0;
  return true;
}

// While the thumb is dragged, a seek at most every kDragSeekMs (the last position held back is
// sought by the timer); any other move of the thumb ends with TB_ENDTRACK.
void PlayerBar::OnScroll(int code) {
  if (code == TB_THUMBTRACK) {
    dragging_ = true;
    if (GetTickCount() - lastSeekTick_ >= kDragSeekMs)
      SeekToThumb();
    else
      SetTimer(hwnd_, kDragTimer, kDragSeekMs, nullptr);
  } else if (code == TB_ENDTRACK) {
    dragging_ = false;
    KillTimer(hwnd_, kDragTimer);
    SeekToThumb();
    seekedPosition_ = -1;  // the next move seeks wherever the replay stands then
    Fill();
  }
}

// While dragging, the thumb resting where it was last sought asks for nothing more.
void PlayerBar::SeekToThumb() {
  const auto position = static_cast<int>(SendMessageW(track_, TBM_GETPOS, 0, 0));
  lastSeekTick_ = GetTickCount();
  if (position == seekedPosition_) return;
  seekedPosition_ = position;
  player_.SeekEpoch(position);
}

}  // namespace pelmora::workbench
