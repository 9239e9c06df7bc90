// Helpers for the DDE tests under Wine: waits that keep this thread's messages flowing (a DDE
// server on this thread answers only while it pumps), and the tools ddecmd and gispeer run as
// child processes with their output captured through a file.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace pelmora::test {

inline std::string ProgramDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path);
  return p.substr(0, p.find_last_of('\\'));
}

// Dispatches this thread's messages until condition holds or the timeout passes; the final
// value of condition.
inline bool PumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return condition();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&msg);
  }
  return true;
}

inline void Pump(std::chrono::milliseconds duration) {
  PumpUntil([] { return false; }, duration);
}

inline std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string q = "\"";
  for (char c : arg) {
    if (c == '"') q += '\\';
    q += c;
  }
  return q + "\"";
}

inline std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A tool of the build (ddecmd.exe, gispeer.exe, pelmora.exe) running as a child process, its
// standard output going to a file of its own.
class Tool {
 public:
  Tool(const std::string& exe, const std::vector<std::string>& args) {
    static int serial = 0;
    out_ = ProgramDirectory() + "\\tool-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++serial) + ".out";
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE file = CreateFileA(out_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string command = Quote(ProgramDirectory() + "\\" + exe);
    for (const std::string& a : args) {
      command += ' ';
      command += Quote(a);
    }
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = file;
    si.hStdError = file;
    si.hStdInput = nullptr;
    // A busy machine now and then refuses a process start for a moment: try again.
    for (int attempt = 0; attempt < 3 && !started_; ++attempt) {
      if (attempt > 0) Sleep(200);
      started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                nullptr, ProgramDirectory().c_str(), &si, &info_) != 0;
      if (!started_) startError_ = GetLastError();
    }
    CloseHandle(file);
  }
  ~Tool() {
    Kill();
    DeleteFileA(out_.c_str());
  }
  Tool(const Tool&) = delete;
  Tool& operator=(const Tool&) = delete;

  bool Started() const { return started_; }
  // Why it did not start (GetLastError of CreateProcess).
  DWORD StartError() const { return startError_; }
  DWORD Pid() const { return info_.dwProcessId; }
  bool Running() const {
    return started_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
  }
  // The exit code once it has ended (pumping meanwhile), STILL_ACTIVE after the timeout.
  DWORD Wait(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    if (!started_) return static_cast<DWORD>(-1);
    PumpUntil([&] { return !Running(); }, timeout);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }
  // What it has written so far.
  std::string Output() const { return ReadFileText(out_); }
  // Ends it at once, as a crash would: no DDE goodbye.
  void Kill() {
    if (!started_) return;
    if (Running()) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
    started_ = false;
  }

 private:
  std::string out_;
  PROCESS_INFORMATION info_{};
  bool started_ = false;
  DWORD startError_ = 0;
};

struct ToolResult {
  DWORD exit;
  std::string out;
};

// Runs ddecmd to its end with this thread pumping; its exit code and output.
inline ToolResult Ddecmd(const std::vector<std::string>& args) {
  Tool tool("ddecmd.exe", args);
  const DWORD exit = tool.Wait();
  std::string out = tool.Started()
                        ? tool.Output()
                        : "ddecmd did not start: error " + std::to_string(tool.StartError());
  std::string clean;
  for (char c : out)
    if (c != '\r') clean += c;
  return {exit, clean};
}

}  // namespace pelmora::test
