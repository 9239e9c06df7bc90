// gispeer.exe, the GIS stand-in, for the tests that start pelmora.exe: started first, so that
// the program's client link connects at start instead of showing message 29 before its window,
// and quit at the end (through ddecmd.exe, built beside it). A test binary whose tests start the
// program registers it once:
//   const auto* const kGis = testing::AddGlobalTestEnvironment(new systest::GisPeerEnvironment);
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace pelmora::systest {

class GisPeer {
 public:
  // The log of the executes it receives; NUL keeps none.
  explicit GisPeer(const std::string& log = "NUL") {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    dir_ = path;
    dir_ = dir_.substr(0, dir_.find_last_of('\\'));
    out_ = dir_ + "\\gispeer-" + std::to_string(GetCurrentProcessId()) + ".out";
    ready_ = Run("gispeer.exe\" --log \"" + log + "\"", out_, &peer_) &&
             WaitForOutput("ready", std::chrono::seconds(15));
  }
  ~GisPeer() {
    if (peer_.hProcess == nullptr) return;
    // Asked by a ddecmd of its own: DDE windows in this process, which does not pump messages
    // while it waits, would hold up every DDE broadcast of the program under test.
    PROCESS_INFORMATION quit{};
    if (Run("ddecmd.exe\" MapInfo gispeer execute quit", "NUL", &quit)) {
      WaitForSingleObject(quit.hProcess, 10000);
      CloseHandle(quit.hProcess);
      CloseHandle(quit.hThread);
    }
    if (WaitForSingleObject(peer_.hProcess, 5000) != WAIT_OBJECT_0)
      TerminateProcess(peer_.hProcess, 99);
    CloseHandle(peer_.hProcess);
    CloseHandle(peer_.hThread);
    DeleteFileA(out_.c_str());
  }
  GisPeer(const GisPeer&) = delete;
  GisPeer& operator=(const GisPeer&) = delete;

  bool Ready() const { return ready_; }

 private:
  // Starts a program of this directory ("name.exe\" arguments) with its output to a file.
  bool Run(const std::string& programAndArguments, const std::string& output,
           PROCESS_INFORMATION* info) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string command = "\"" + dir_ + "\\" + programAndArguments;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = file;
    si.hStdError = file;
    const bool ok = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE,
                                   CREATE_NO_WINDOW, nullptr, dir_.c_str(), &si, info) != 0;
    CloseHandle(file);
    return ok;
  }
  bool WaitForOutput(const std::string& word, std::chrono::seconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
      std::ifstream in(out_, std::ios::binary);
      const std::string text((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
      if (text.find(word) != std::string::npos) return true;
      if (WaitForSingleObject(peer_.hProcess, 50) == WAIT_OBJECT_0) return false;
    }
    return false;
  }

  std::string dir_;
  std::string out_;
  PROCESS_INFORMATION peer_{};
  bool ready_ = false;
};

// The peer for the whole test binary.
class GisPeerEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    peer_ = std::make_unique<GisPeer>();
    ASSERT_TRUE(peer_->Ready()) << "gispeer did not start";
  }
  void TearDown() override { peer_.reset(); }

 private:
  std::unique_ptr<GisPeer> peer_;
};

}  // namespace pelmora::systest
