// A serial port opened through the Win32 comm API as the engine's ByteSource: line settings
// from CommInfo, reads that return at once with what is queued, writes to the receiver.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "navlib32/ByteSource.h"
#include "navlib32/navlib32_records.h"

namespace navlib {

class SerialPort final : public ByteSource {
 public:
  // Opens \\.\COMn; nullptr with *openResult kNavOpenPortMissing (no such port, or in use) or
  // kNavOpenPortSetup (line settings or timeouts refused). Input queued before the open is
  // discarded.
  static std::unique_ptr<SerialPort> Open(int port, const pelmora::CommInfo& line,
                                          int32_t* openResult);
  ~SerialPort() override;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  ReadStatus Read(uint8_t* data, std::size_t size, std::size_t* got) override;
  bool Write(const uint8_t* data, std::size_t size) override;

 private:
  explicit SerialPort(HANDLE handle) : handle_(handle) {}
  HANDLE handle_;
};

}  // namespace navlib
