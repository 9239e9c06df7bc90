// A main window on fakes for the tests of the tracking modes and the poll cycle: created, with
// helpers to enter a mode, bring the client link up and tick at a wall-clock time.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/MainForm.h"
#include "tests/unit/app/MainFormFakes.h"

namespace pelmora::fakes {

class MainFormFixture : public ::testing::Test {
 protected:
  MainFormFixture()
      : strings_(log_),
        engine_(log_),
        host_(log_),
        link_(log_),
        form_(host_, engine_, strings_, link_) {}

  // A start of the program: the link is down when FormCreate tries it (it connects when the
  // fake GIS accepts).
  void Create() {
    form_.Link().Close();
    ASSERT_TRUE(form_.FormCreate());
    log_.clear();
  }
  void StartLive() {
    Create();
    form_.Modes().FileLive_Click();
    ASSERT_TRUE(form_.Modes().EngineOpen());
    log_.clear();
  }
  void StartReplay(const std::string& path = "C:\\Logs\\Track1.gps") {
    Create();
    form_.Modes().ReplayLog(path);
    ASSERT_TRUE(form_.Modes().EngineOpen());
    log_.clear();
  }
  // Brings the client link up as Options > Connect would (and keeps it up across Create),
  // leaving no trace in the log.
  void LinkUp() {
    link_.accepts = true;
    const size_t entries = log_.size();
    if (!form_.Link().LinkOpen()) form_.Link().Toggle();
    log_.resize(entries);
  }
  void TickAt(int minute, int second) {
    host_.now = {minute, second};
    form_.Timer1_Timer();
  }
  ui::Control& C(const std::string& name) { return form_.Form().Get(name); }
  bool Logged(const std::string& entry) const {
    return std::find(log_.begin(), log_.end(), entry) != log_.end();
  }

  Log log_;
  FakeStrings strings_;
  FakeEngine engine_;
  FakeHost host_;
  FakeLinkTransport link_;
  TMainForm form_;
};

}  // namespace pelmora::fakes
