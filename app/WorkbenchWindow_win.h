// The "Pelmora Workbench" window: a resizable top-level window of native controls showing
// WorkbenchModel's texts on three tabs (satellites, accuracy, history). It owns no logic: it
// renders the model after update steps, forwards column clicks, and keeps its place and tab
// in options of their own. Closing it hides it.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "app/settings/OptionStore.h"
#include "app/workbench/WorkbenchModel.h"

namespace pelmora {

class WorkbenchWindow {
 public:
  WorkbenchWindow(HINSTANCE instance, workbench::WorkbenchModel& model, const OptionStore& store);
  ~WorkbenchWindow();
  WorkbenchWindow(const WorkbenchWindow&) = delete;
  WorkbenchWindow& operator=(const WorkbenchWindow&) = delete;

  // Creates the window on first use, fills it and brings it to the front.
  void Show();
  // After a tick: refills the controls when the model heard an update step since the last fill.
  void Refresh();

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  bool Create();
  HWND Child(const wchar_t* cls, DWORD style, int id, const std::string& text = {});
  void OnSize(int width, int height);
  void OnNotify(const NMHDR& header);
  void ShowTab(int tab);
  void Fill();
  void FillSatellites();
  void SavePlacement();

  HINSTANCE instance_;
  workbench::WorkbenchModel& model_;
  const OptionStore& store_;
  HWND hwnd_ = nullptr;
  HWND tabs_ = nullptr;
  HWND satList_ = nullptr;
  HWND outageList_ = nullptr;
  std::array<HWND, workbench::kCountedSystems> countCaptions_{}, counts_{};
  std::array<HWND, workbench::kStatCount> statCaptions_{}, stats_{};
  int tab_ = 0;
  uint64_t filledUpdates_ = 0;
  bool filled_ = false;
};

}  // namespace pelmora
