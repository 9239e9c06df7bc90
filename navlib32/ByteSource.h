// Where the engine's bytes come from: a serial port (Win32, SerialPort_win.h) or a log file
// (FileByteSource, portable). Reads never block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace navlib {

enum class ReadStatus {
  Ok,      // *got bytes were read; 0 means nothing is waiting (a quiet receiver)
  End,     // a log has no more bytes
  Failed,  // read error, or the device vanished
};

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads what is available now, at most size bytes.
  virtual ReadStatus Read(uint8_t* data, std::size_t size, std::size_t* got) = 0;
  // Sends bytes to the receiver; false when they could not be written.
  virtual bool Write(const uint8_t* data, std::size_t size) = 0;
  // Moves the read position to offset bytes from the start; false when the source cannot
  // (a serial port) or the offset cannot be reached.
  virtual bool Seek(uint64_t offset) {
    (void)offset;
    return false;
  }
};

// A log file read front to back.
class FileByteSource final : public ByteSource {
 public:
  // nullptr when the file cannot be opened for reading.
  static std::unique_ptr<FileByteSource> Open(const std::string& path);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  ReadStatus Read(uint8_t* data, std::size_t size, std::size_t* got) override;
  bool Write(const uint8_t*, std::size_t) override { return false; }
  bool Seek(uint64_t offset) override;

 private:
  explicit FileByteSource(std::FILE* file) : file_(file) {}
  std::FILE* file_;
};

}  // namespace navlib
