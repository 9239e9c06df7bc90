// MessageTap: the framers' verdicts as records, bounded.
#include "navlib32/MessageTap.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "navlib32/nmea/NmeaChecksum.h"
#include "navlib32/nmea/NmeaFramer.h"
#include "navlib32/tsip/TsipFramer.h"

namespace navlib {
namespace {

using pelmora::MessageHeader;
using pelmora::MessageProtocol;
using pelmora::MessageStatus;

bool Printable(char c) {
  return c >= 0x20 && c <= 0x7E;
}

bool LineEndOrBlank(char c) {
  return c == '\r' || c == '\n' || c == ' ' || c == '\t';
}

std::string_view AsText(std::span<const uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

void MessageTap::Keep(MessageProtocol protocol, MessageStatus status, std::string_view bytes,
                      std::size_t wireBytes) {
  bytes = bytes.substr(0, pelmora::kMaxMessageBytes);
  const MessageHeader header{static_cast<uint16_t>(bytes.size()), static_cast<uint8_t>(protocol),
                             static_cast<uint8_t>(status),
                             static_cast<uint32_t>(std::min<std::size_t>(wireBytes, UINT32_MAX))};
  const auto* h = reinterpret_cast<const uint8_t*>(&header);
  records_.insert(records_.end(), h, h + sizeof header);
  records_.insert(records_.end(), bytes.begin(), bytes.end());
  while (PendingBytes() > kMaxPending) {
    MessageHeader oldest;
    std::memcpy(&oldest, records_.data() + front_, sizeof oldest);
    front_ += sizeof oldest + oldest.length;
    ++dropped_;
  }
  // Read and dropped records are let go once they are the larger part.
  if (front_ > kMaxPending / 4 && front_ * 2 > records_.size()) {
    records_.erase(records_.begin(), records_.begin() + static_cast<std::ptrdiff_t>(front_));
    front_ = 0;
  }
}

void MessageTap::KeepNoise(MessageProtocol protocol, std::string_view bytes) {
  const std::size_t wire = bytes.size();
  while (!bytes.empty() && LineEndOrBlank(bytes.front()))
    bytes.remove_prefix(1);
  while (!bytes.empty() && LineEndOrBlank(bytes.back()))
    bytes.remove_suffix(1);
  if (!bytes.empty()) Keep(protocol, MessageStatus::Noise, bytes, wire);
}

// piece: from a '$' up to the next one (or the end of what is held).
void MessageTap::KeepDamagedSentence(std::string_view piece) {
  std::size_t run = 1;
  while (run < piece.size() && Printable(piece[run]))
    ++run;
  const std::string_view text = piece.substr(0, run);
  const std::size_t star = text.find('*');
  const std::size_t body = (star == std::string_view::npos ? run : star) - 1;
  MessageStatus status;
  if (body > nmea::kMaxNmeaSentence)
    status = MessageStatus::Framing;  // overlong
  else if (star != std::string_view::npos)
    status = MessageStatus::BadChecksum;
  else if (run == piece.size())
    status = MessageStatus::Cut;  // by the next '$', or the end of the input
  else
    status = MessageStatus::Framing;  // a non-printable byte (or a rejoined sentence's line end)
  Keep(MessageProtocol::Nmea, status, text, run);
  KeepNoise(MessageProtocol::Nmea, piece.substr(run));
}

void MessageTap::Nmea(const NmeaStep& step) {
  held_.append(AsText(step.consumed));
  const std::string_view held(held_);
  std::size_t pos = held.find('$');
  if (pos == std::string_view::npos && !step.completed) {
    if (held.size() > kMaxHeld) {  // no sentence in sight: noise
      KeepNoise(MessageProtocol::Nmea, held);
      held_.clear();
    }
    return;
  }
  // Before the first '$': noise, or the rest of a cut sentence that the step rejoined.
  if (!step.rejoined) KeepNoise(MessageProtocol::Nmea, held.substr(0, pos));
  // Every '$' starts a sentence and each one completed empties what is held: a sentence
  // followed by another one held was dropped by the framer.
  while (pos != std::string_view::npos) {
    const std::size_t next = held.find('$', pos + 1);
    if (next == std::string_view::npos) break;
    KeepDamagedSentence(held.substr(pos, next - pos));
    pos = next;
  }
  if (step.completed) {
    std::string text;
    if (step.hasChecksum) {
      nmea::AppendNmeaSentence(step.body, text);
      text.resize(text.size() - 2);  // its CR LF
    } else {
      text += '$';
      text += step.body;
    }
    Keep(MessageProtocol::Nmea, step.hasChecksum ? MessageStatus::Ok : MessageStatus::NoChecksum,
         text, text.size());
    held_.clear();
    return;
  }
  // The last sentence held is in progress, or dropped: its end shows when the next one starts.
  held_.erase(0, pos);
  if (held_.size() > kMaxHeld) {  // longer than any sentence: the framer has let it go
    KeepDamagedSentence(held_);
    held_.clear();
  }
}

void MessageTap::KeepDamagedFrame(std::string_view bytes) {
  const MessageStatus status = tsipCut_ > 0    ? MessageStatus::Cut
                               : tsipLong_ > 0 ? MessageStatus::Framing
                                               : MessageStatus::Noise;
  tsipCut_ = tsipLong_ = 0;
  if (!bytes.empty()) Keep(MessageProtocol::Tsip, status, bytes, bytes.size());
}

void MessageTap::Tsip(const TsipStep& step) {
  held_.append(AsText(step.consumed));
  tsipCut_ += step.cut;
  tsipLong_ += step.overlong;
  if (step.frame.empty()) {
    if (held_.size() > 2 * kMaxHeld) {
      const std::size_t old = held_.size() - kMaxHeld;
      KeepDamagedFrame(std::string_view(held_).substr(0, old));
      held_.erase(0, old);
    }
    return;
  }
  // The frame as sent ends what is held: DLE, id, data with each DLE doubled, DLE, ETX.
  const std::size_t sent =
      3 + step.frame.size() + std::count(step.frame.begin() + 1, step.frame.end(), tsip::kDle);
  KeepDamagedFrame(std::string_view(held_).substr(0, held_.size() - std::min(sent, held_.size())));
  Keep(MessageProtocol::Tsip, step.verdict, AsText(step.frame), sent);
  held_.clear();
}

void MessageTap::End(MessageProtocol protocol) {
  const std::string_view held(held_);
  if (protocol == MessageProtocol::Nmea) {
    const std::size_t pos = held.find('$');
    KeepNoise(protocol, held.substr(0, pos));
    if (pos != std::string_view::npos) KeepDamagedSentence(held.substr(pos));
  } else {
    ++tsipCut_;
    KeepDamagedFrame(held);
  }
  held_.clear();
}

std::size_t MessageTap::Take(uint8_t* out, std::size_t capacity) {
  std::size_t written = 0;
  while (front_ < records_.size()) {
    MessageHeader header;
    std::memcpy(&header, records_.data() + front_, sizeof header);
    const std::size_t size = sizeof header + header.length;
    if (size > capacity - written) break;
    std::memcpy(out + written, records_.data() + front_, size);
    written += size;
    front_ += size;
  }
  if (front_ == records_.size()) {
    records_.clear();
    front_ = 0;
  }
  return written;
}

uint64_t MessageTap::TakeDropped() {
  return std::exchange(dropped_, 0);
}

void MessageTap::Clear() {
  held_.clear();
  records_.clear();
  front_ = 0;
  tsipCut_ = tsipLong_ = 0;
}

}  // namespace navlib
