// FileByteSource: a log read with stdio, in binary mode so that CR LF reaches the decoder as is.
#include "navlib32/ByteSource.h"

#include <cstdint>

namespace navlib {

std::unique_ptr<FileByteSource> FileByteSource::Open(const std::string& path) {
  if (path.empty()) return nullptr;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return nullptr;
  std::setvbuf(f, nullptr, _IONBF, 0);  // the caller reads in large chunks of its own
  return std::unique_ptr<FileByteSource>(new FileByteSource(f));
}

FileByteSource::~FileByteSource() {
  std::fclose(file_);
}

ReadStatus FileByteSource::Read(uint8_t* data, std::size_t size, std::size_t* got) {
  *got = std::fread(data, 1, size, file_);
  if (*got > 0) return ReadStatus::Ok;
  return std::ferror(file_) ? ReadStatus::Failed : ReadStatus::End;
}

bool FileByteSource::Seek(uint64_t offset) {
  if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
  std::clearerr(file_);
#ifdef _WIN32
  return _fseeki64(file_, static_cast<int64_t>(offset), SEEK_SET) == 0;
#else
  return fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

}  // namespace navlib
