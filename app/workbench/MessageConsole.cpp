// The message console's rows, filter and texts.
#include "app/workbench/MessageConsole.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace pelmora::workbench {
namespace {

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[96];
  const int n = std::snprintf(buffer, sizeof buffer, format, args...);
  return n < 0 ? std::string() : std::string(buffer, std::min<std::size_t>(n, sizeof buffer - 1));
}

double LocalSecondsOfDay() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  const std::tm* local = std::localtime(&t);  // the GUI thread's only
  if (local == nullptr) return -1;
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return local->tm_hour * 3600.0 + local->tm_min * 60.0 + local->tm_sec + ms / 1000.0;
}

// hh:mm:ss.mmm
std::string TimeText(double seconds) {
  if (!(seconds >= 0 && seconds < 86400)) return {};
  const auto ms = static_cast<long long>(seconds * 1000.0 + 0.5) % 86400000;
  return Format("%02lld:%02lld:%02lld.%03lld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                ms % 1000);
}

bool Printable(unsigned char c) {
  return c >= 0x20 && c <= 0x7E;
}

bool Good(MessageStatus status) {
  return status == MessageStatus::Ok || status == MessageStatus::NoChecksum;
}

// NMEA text as it came; TSIP and binary noise as hex bytes; a long stretch says its length.
std::string Text(const ConsoleRow& row) {
  const std::string& b = row.bytes;
  const bool text = row.protocol == MessageProtocol::Nmea &&
                    std::all_of(b.begin(), b.end(), [](char c) { return Printable(c); });
  std::string out;
  if (text) {
    out = b;
  } else {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : b) {
      if (out.size() > MessageConsole::kMaxCellChars) break;
      if (!out.empty()) out += ' ';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  if (row.status == MessageStatus::Noise && row.wireBytes > kMaxMessageBytes)  // cut short
    out += Format(" (%lu bytes)", static_cast<unsigned long>(row.wireBytes));
  if (out.size() > MessageConsole::kMaxCellChars) {
    out.resize(MessageConsole::kMaxCellChars - 3);
    out += "...";
  }
  return out;
}

}  // namespace

MessageConsole::MessageConsole(std::size_t capacity, Clock clock)
    : capacity_(std::max<std::size_t>(capacity, 1)),
      clock_(clock ? std::move(clock) : Clock(LocalSecondsOfDay)) {}

void MessageConsole::Add(std::span<const uint8_t> records, uint64_t dropped) {
  if (records.empty() && dropped == 0) return;
  lost_ += dropped;
  ++version_;
  const double now = clock_();
  ForEachMessage(records.data(), records.size(), [&](const MessageHeader& h, const uint8_t* p) {
    ConsoleRow row{received_++,
                   now,
                   static_cast<MessageProtocol>(h.protocol),
                   static_cast<MessageStatus>(h.status),
                   h.wireBytes,
                   {},
                   std::string(reinterpret_cast<const char*>(p), h.length)};
    row.type = TypeOf(row.protocol, row.status, row.bytes);
    if (!Good(row.status)) ++damaged_;
    if (Good(row.status) && !row.type.empty() && types_.size() < kMaxTypes) types_.insert(row.type);
    if (paused_) {
      ++notShown_;
      return;
    }
    if (Passes(row)) shown_.push_back(row.number);
    rows_.push_back(std::move(row));
    if (rows_.size() > capacity_) {
      if (!shown_.empty() && shown_.front() == rows_.front().number) {
        shown_.pop_front();
        ++trimmed_;
      }
      rows_.pop_front();
    }
  });
}

void MessageConsole::SetPaused(bool paused) {
  if (paused == paused_) return;
  paused_ = paused;
  ++version_;
}

void MessageConsole::SetFilter(const std::string& filter) {
  filter_ = filter;
  shown_.clear();
  for (const ConsoleRow& row : rows_)
    if (Passes(row)) shown_.push_back(row.number);
  trimmed_ = 0;
  ++version_;
}

bool MessageConsole::Passes(const ConsoleRow& row) const {
  if (filter_ == kAll) return true;
  if (filter_ == kDamaged) return !Good(row.status);
  return row.type == filter_;
}

std::vector<std::string> MessageConsole::Filters() const {
  std::vector<std::string> filters{kAll, kDamaged};
  filters.insert(filters.end(), types_.begin(), types_.end());
  return filters;
}

const ConsoleRow& MessageConsole::Shown(std::size_t index) const {
  return rows_[shown_[index] - rows_.front().number];
}

std::string MessageConsole::Cell(std::size_t index, ConsoleColumn column) const {
  if (index >= shown_.size()) return {};
  const ConsoleRow& row = Shown(index);
  switch (column) {
    case ConsoleColumn::Time:
      return TimeText(row.receivedSeconds);
    case ConsoleColumn::Type:
      return row.type;
    case ConsoleColumn::Status:
      return StatusText(row.status);
    case ConsoleColumn::Text:
      return Text(row);
  }
  return {};
}

std::string MessageConsole::Counts() const {
  std::string counts =
      Format("%llu received, %llu damaged, %llu lost", static_cast<unsigned long long>(received_),
             static_cast<unsigned long long>(damaged_), static_cast<unsigned long long>(lost_));
  if (notShown_ > 0)
    counts += Format(", %llu not shown (paused)", static_cast<unsigned long long>(notShown_));
  return counts;
}

const char* MessageConsole::ColumnTitle(int column) {
  static constexpr const char* kTitles[kConsoleColumnCount] = {"Time received", "Type", "Status",
                                                               "Text"};
  return column >= 0 && column < kConsoleColumnCount ? kTitles[column] : "";
}

const char* MessageConsole::StatusText(MessageStatus status) {
  switch (status) {
    case MessageStatus::Ok:
      return "ok";
    case MessageStatus::NoChecksum:
      return "no checksum";
    case MessageStatus::BadChecksum:
      return "bad checksum";
    case MessageStatus::Cut:
      return "cut";
    case MessageStatus::Framing:
      return "framing error";
    case MessageStatus::BadLength:
      return "bad length";
    case MessageStatus::Implausible:
      return "implausible";
    case MessageStatus::Noise:
      return "noise";
  }
  return "?";
}

std::string MessageConsole::TypeOf(MessageProtocol protocol, MessageStatus status,
                                   std::string_view bytes) {
  if (status == MessageStatus::Noise || bytes.empty()) return {};
  if (protocol == MessageProtocol::Tsip) {
    // Damaged stretches begin with DLE, frames with their id.
    if (status == MessageStatus::Cut || status == MessageStatus::Framing) return {};
    const auto id = static_cast<unsigned char>(bytes[0]);
    const bool subcoded = id == 0x8E || id == 0x8F || (id >= 0x90 && id <= 0xA3);  // TSIPv1
    if (subcoded && bytes.size() >= 2)
      return Format("0x%02X-%02X", id, static_cast<unsigned char>(bytes[1]));
    return Format("0x%02X", id);
  }
  // "$" address ("," or "*" or the end): letters and digits, a few of them.
  constexpr std::size_t kLongestAddress = 8;
  std::size_t end = 1;
  while (end < bytes.size() && end <= kLongestAddress &&
         std::isalnum(static_cast<unsigned char>(bytes[end])))
    ++end;
  const bool ended = end == bytes.size() || bytes[end] == ',' || bytes[end] == '*';
  if (bytes[0] != '$' || end == 1 || !ended) return {};
  const std::string_view address = bytes.substr(1, end - 1);
  // A talker is two characters before the formatter; proprietary sentences have none.
  if (address[0] == 'P' || address.size() < 5) return std::string(address);
  return std::string(address.substr(2));
}

}  // namespace pelmora::workbench
