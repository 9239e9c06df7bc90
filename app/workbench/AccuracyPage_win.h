// The workbench's Accuracy tab: the reference (running average, first fix or a surveyed mark
// typed in the program's lat/lon formats), the quality gates, Start, Stop and Reset of the
// averaging session, the session's statistics (a caption and a value a row), and the east/north
// scatter with the height strip beside them. The choices are kept in options of their own.
#pragma once

#include <array>

#include "app/settings/OptionStore.h"
#include "app/workbench/AccuracySettings.h"
#include "app/workbench/Graph_win.h"
#include "app/workbench/Page_win.h"

namespace pelmora::workbench {

class AccuracyPage : public Page {
 public:
  AccuracyPage(HINSTANCE instance, WorkbenchModel& model, const OptionStore& store)
      : Page(instance, model), store_(store) {}
  void Fill() override;

 private:
  void CreateControls() override;
  void Layout(int width, int height) override;
  void OnCommand(int id, int code, HWND control) override;

  AccuracyStats& Stats() { return model_.Bench().accuracy(); }
  void ShowFields(const AccuracyFields& fields);
  AccuracyFields ReadControls() const;
  // Takes the fields into the statistics (or names the field that does not parse).
  void ApplyFields();
  void EnableMarkFields();

  const OptionStore& store_;
  AccuracySettings settings_;
  AccuracySummary summary_;

  std::array<HWND, kStatCount> captions_{}, values_{};
  HWND reference_ = nullptr, latitude_ = nullptr, longitude_ = nullptr, height_ = nullptr;
  HWND minFix_ = nullptr, maxPdop_ = nullptr, minSats_ = nullptr, apply_ = nullptr;
  HWND start_ = nullptr, stop_ = nullptr, reset_ = nullptr, state_ = nullptr, message_ = nullptr;
  // Reference, latitude, longitude, height, minimum fix, maximum PDOP, minimum satellites.
  std::array<HWND, 7> fieldCaptions_{};
  Graph scatter_, strip_;
};

}  // namespace pelmora::workbench
