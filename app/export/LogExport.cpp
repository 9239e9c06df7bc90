#include "app/export/LogExport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "navlib32/MakeDecoder.h"
#include "navlib32/navlib32_records.h"

namespace pelmora {
namespace {

constexpr std::size_t kOutBuffer = 1 << 18;

std::optional<navlib::Protocol> ExpectedProtocol(int32_t receiverType) {
  if (receiverType == static_cast<int32_t>(ReceiverType::Nmea)) return navlib::Protocol::Nmea;
  if (receiverType == static_cast<int32_t>(ReceiverType::Tsip)) return navlib::Protocol::Tsip;
  return std::nullopt;
}

}  // namespace

LogExport::LogExport(const std::string& logPath, int32_t receiverType, navdump::ExportFormat format,
                     std::string outPath)
    : writer_(navdump::MakeExportWriter(format)), outPath_(std::move(outPath)) {
  std::unique_ptr<navlib::FileByteSource> file = navlib::FileByteSource::Open(logPath);
  if (!file) {
    state_ = State::ReadFailed;
    return;
  }
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(logPath), error);
  fileSize_ = error ? 0 : static_cast<uint64_t>(size);
  replay_ = std::make_unique<navlib::LogReplay>(std::move(file), navlib::MakeDecoder);
  if (replay_->Start(ExpectedProtocol(receiverType)) != navlib::LogReplay::StartResult::Ok) {
    state_ = State::ReadFailed;
    return;
  }
  out_ = std::fopen(outPath_.c_str(), "wb");
  if (out_ == nullptr) {
    state_ = State::WriteFailed;
    return;
  }
  text_.reserve(kOutBuffer + kOutBuffer / 4);
  writer_->Begin(text_);
}

LogExport::~LogExport() {
  if (state_ == State::Running) Fail(State::WriteFailed);
}

LogExport::State LogExport::Step(int epochs) {
  if (state_ != State::Running) return state_;
  Epoch epoch;
  for (int i = 0; i < epochs; ++i) {
    now_ += 1.0;
    const navlib::LogReplay::Step step = replay_->Advance(now_);
    if (step == navlib::LogReplay::Step::Failed) return Fail(State::ReadFailed);
    if (step != navlib::LogReplay::Step::Epoch) {
      writer_->End(text_);
      if (!Flush()) return Fail(State::WriteFailed);
      const bool closed = std::fclose(out_) == 0;
      out_ = nullptr;
      if (!closed) return Fail(State::WriteFailed);
      return state_ = State::Done;
    }
    navlib::FillEpoch(replay_->decoder(), now_, epoch);
    writer_->Add(epoch, text_);
    if (text_.size() >= kOutBuffer && !Flush()) return Fail(State::WriteFailed);
  }
  return state_;
}

uint64_t LogExport::BytesRead() const {
  return replay_ ? replay_->bytesRead() : 0;
}

int LogExport::Percent() const {
  if (state_ == State::Done) return 100;
  if (fileSize_ == 0) return 0;
  const uint64_t read = std::min(BytesRead(), fileSize_);
  return static_cast<int>(read * 100 / fileSize_);
}

bool LogExport::Flush() {
  const bool written = std::fwrite(text_.data(), 1, text_.size(), out_) == text_.size();
  text_.clear();
  return written;
}

LogExport::State LogExport::Fail(State failure) {
  if (out_ != nullptr) {
    std::fclose(out_);
    out_ = nullptr;
    std::remove(outPath_.c_str());
  }
  return state_ = failure;
}

}  // namespace pelmora
