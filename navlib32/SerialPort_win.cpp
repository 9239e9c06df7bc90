// The comm port is a plain (non-overlapped) handle with read timeouts MAXDWORD/0/0: ReadFile
// returns at once with whatever is queued. ClearCommError on every read notices a vanished
// device (it fails, as WriteFile does, once the driver has gone).
#include "navlib32/SerialPort_win.h"

#include <algorithm>
#include <string>

#include "navlib32/navlib32.h"

namespace navlib {
namespace {

bool ApplyLineSettings(HANDLE h, const pelmora::CommInfo& line) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(h, &dcb)) return false;
  if (line.baudRate <= 0 || line.dataBits < 5 || line.dataBits > 8) return false;
  dcb.BaudRate = static_cast<DWORD>(line.baudRate);
  dcb.ByteSize = static_cast<BYTE>(line.dataBits);
  switch (line.parity) {
    case 0:
      dcb.Parity = NOPARITY;
      break;
    case 1:
      dcb.Parity = ODDPARITY;
      break;
    case 2:
      dcb.Parity = EVENPARITY;
      break;
    default:
      return false;
  }
  switch (line.stopBits) {
    case 0:
      dcb.StopBits = ONESTOPBIT;
      break;
    case 1:
      dcb.StopBits = TWOSTOPBITS;
      break;
    default:
      return false;
  }
  dcb.fBinary = TRUE;
  dcb.fParity = line.parity != 0;
  // A GPS receiver uses no handshake; keep DTR and RTS up for receivers powered from them.
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fNull = FALSE;
  dcb.fAbortOnError = FALSE;
  return SetCommState(h, &dcb) != 0;
}

}  // namespace

std::unique_ptr<SerialPort> SerialPort::Open(int port, const pelmora::CommInfo& line,
                                             int32_t* openResult) {
  *openResult = kNavOpenPortMissing;
  if (port < 1 || port > 255) return nullptr;
  const std::string name = "\\\\.\\COM" + std::to_string(port);
  HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  std::unique_ptr<SerialPort> serial(new SerialPort(h));
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;  // with both read totals 0: return at once
  if (!ApplyLineSettings(h, line) || !SetCommTimeouts(h, &timeouts)) {
    *openResult = kNavOpenPortSetup;
    return nullptr;
  }
  // Bytes that arrived before the open belong to nobody: start from what comes next.
  PurgeComm(h, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
  *openResult = 0;
  return serial;
}

SerialPort::~SerialPort() {
  CloseHandle(handle_);
}

ReadStatus SerialPort::Read(uint8_t* data, std::size_t size, std::size_t* got) {
  *got = 0;
  DWORD errors = 0;
  COMSTAT stat{};
  // Also clears line errors (overrun, framing), which would otherwise stop further reads.
  if (!ClearCommError(handle_, &errors, &stat)) return ReadStatus::Failed;
  DWORD n = 0;
  const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 20));
  if (!ReadFile(handle_, data, want, &n, nullptr)) return ReadStatus::Failed;
  *got = n;
  return ReadStatus::Ok;
}

bool SerialPort::Write(const uint8_t* data, std::size_t size) {
  while (size > 0) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 4096));
    if (!WriteFile(handle_, data, chunk, &n, nullptr) || n == 0) return false;
    data += n;
    size -= n;
  }
  return true;
}

}  // namespace navlib
