// The main window's operations behind the macro handler, recorded in order: the fake of the
// macro handler's, the server model's and the DDEML glue's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/dde/MacroHandler.h"

namespace pelmora::dde {

// Every operation as one line; a command sent while the macro-echo flag is set is marked.
class RecordingMacroActions : public MacroActions {
 public:
  void SetTestLabel(const std::string& caption) override { log.push_back("Label " + caption); }
  void FileOff() override { log.push_back("FileOff"); }
  void FileLive() override { log.push_back("FileLive"); }
  int32_t OpenSource(const std::string& source) override {
    log.push_back("Open " + source);
    return openStatus;
  }
  void SetPauseButtonDown(bool down) override { log.push_back(down ? "Down" : "Up"); }
  void SetPaused(bool paused) override { log.push_back(paused ? "Paused" : "Running"); }
  void SetMacroEcho(bool on) override { echo = on; }
  void SendLinkCommand(const std::string& command) override {
    log.push_back("Send " + command + (echo ? " (echo)" : ""));
  }
  void Exit() override { log.push_back("Exit"); }
  void SetReplaySpeed(ReplaySpeed speed) override {
    log.push_back("Speed " + std::string(ReplaySpeedText(speed)));
  }
  void SeekReplay(const SeekTarget& t) override {
    log.push_back("Seek " + std::to_string(static_cast<int>(t.kind)) + " " +
                  std::to_string(t.time.utcSeconds) + " " +
                  std::to_string(t.time.year * 10000 + t.time.month * 100 + t.time.day));
  }
  void StepReplay(bool forward) override { log.push_back(forward ? "Step" : "Back"); }

  // The captions TestLabel was given, in order.
  std::vector<std::string> Labels() const {
    std::vector<std::string> labels;
    for (const std::string& line : log)
      if (line.rfind("Label ", 0) == 0) labels.push_back(line.substr(6));
    return labels;
  }

  std::vector<std::string> log;
  int32_t openStatus = 0;
  bool echo = false;
};

}  // namespace pelmora::dde
