// The export of a GPS log to a file in one of the export formats, run in steps so that the window
// can show progress between them. It replays the log with a LogReplay of its own, on its own file
// handle (never the engine the window reads), with the engine's clock of one second per epoch,
// and streams the text to the file a buffer at a time. A failed or abandoned export removes its
// partial file. Portable.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "app/export/Export.h"
#include "navlib32/LogReplay.h"

namespace pelmora {

class LogExport {
 public:
  enum class State { Running, Done, ReadFailed, WriteFailed };
  static constexpr int kEpochsPerStep = 500;

  // Opens the log (as receiverType, 1 NMEA or 2 TSIP, expects; any other detects the protocol)
  // and creates outPath. ReadFailed when the log cannot be opened or holds no GPS data (outPath
  // is then not created), WriteFailed when outPath cannot be created.
  LogExport(const std::string& logPath, int32_t receiverType, navdump::ExportFormat format,
            std::string outPath);
  // An export still running is abandoned: its partial file is removed.
  ~LogExport();
  LogExport(const LogExport&) = delete;
  LogExport& operator=(const LogExport&) = delete;

  // Exports up to `epochs` epochs; Done once the log is exhausted and the file closed.
  State Step(int epochs = kEpochsPerStep);
  State state() const { return state_; }
  // Progress: bytes of the log read so far, of its size (0 when unknown); 0..100.
  uint64_t BytesRead() const;
  uint64_t FileSize() const { return fileSize_; }
  int Percent() const;

 private:
  bool Flush();
  // Closes and removes the output after a failure.
  State Fail(State failure);

  std::unique_ptr<navlib::LogReplay> replay_;
  std::unique_ptr<navdump::ExportWriter> writer_;
  std::string outPath_;
  std::FILE* out_ = nullptr;
  std::string text_;
  uint64_t fileSize_ = 0;
  double now_ = 0.0;
  State state_ = State::Running;
};

}  // namespace pelmora
