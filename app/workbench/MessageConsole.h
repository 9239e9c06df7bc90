// The Messages tab as texts: the receiver's messages as the rows of a console (time received,
// type, status, text), the newest ones kept, with a filter by type, a pause, and the counts.
// Fed with the records of Pelmora_GetMessages after every poll. Portable: standard C++ only;
// texts are Windows-1252.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "navlib32/navlib32_messages.h"

namespace pelmora::workbench {

enum class ConsoleColumn { Time, Type, Status, Text };
constexpr int kConsoleColumnCount = 4;

struct ConsoleRow {
  uint64_t number;         // messages added before it: stays with the row
  double receivedSeconds;  // local time of day it was read; negative when unknown
  MessageProtocol protocol;
  MessageStatus status;
  uint32_t wireBytes;
  std::string type;  // "GGA", "PGRMT", "0x8F-AB"; empty for noise and damaged TSIP
  std::string bytes;
};

class MessageConsole {
 public:
  static constexpr std::size_t kDefaultCapacity = 2000;
  // Types offered by the filter at most (damage can invent any number of them).
  static constexpr std::size_t kMaxTypes = 64;
  // Text cells end after this many characters (a list view shows no more), with "...".
  static constexpr std::size_t kMaxCellChars = 255;
  static constexpr const char* kAll = "All";
  static constexpr const char* kDamaged = "Damaged";
  // The local time of day, seconds.
  using Clock = std::function<double()>;

  // Without a clock: the computer's local time.
  explicit MessageConsole(std::size_t capacity = kDefaultCapacity, Clock clock = {});

  // Records as Pelmora_GetMessages lays them out, and the records the engine let go unread.
  void Add(std::span<const uint8_t> records, uint64_t dropped);

  // While paused messages are counted, not shown.
  void SetPaused(bool paused);
  bool Paused() const { return paused_; }
  // kAll, kDamaged (anything but ok and no checksum) or one type.
  void SetFilter(const std::string& filter);
  const std::string& Filter() const { return filter_; }
  // The filter's choices: kAll, kDamaged, then the types of the good messages seen, sorted.
  std::vector<std::string> Filters() const;

  // The rows the filter passes, oldest first.
  std::size_t ShownCount() const { return shown_.size(); }
  const ConsoleRow& Shown(std::size_t index) const;
  std::string Cell(std::size_t index, ConsoleColumn column) const;
  // Shown rows that fell out of the console since the filter was set: a list keeps its place
  // by this much.
  uint64_t Trimmed() const { return trimmed_; }

  // "N received, N damaged, N lost", and "N not shown (paused)" once there are some.
  std::string Counts() const;
  // Changes whenever the rows, the filter or the counts change.
  uint64_t Version() const { return version_; }

  static const char* ColumnTitle(int column);
  static const char* StatusText(MessageStatus status);
  // The type of a message: NMEA the sentence formatter without its talker (proprietary ones
  // whole), TSIP the id ("0x41") or id and subcode ("0x8F-AB"); empty when it has none.
  static std::string TypeOf(MessageProtocol protocol, MessageStatus status, std::string_view bytes);

 private:
  bool Passes(const ConsoleRow& row) const;

  std::size_t capacity_;
  Clock clock_;
  std::deque<ConsoleRow> rows_;
  std::deque<uint64_t> shown_;  // numbers of the rows the filter passes
  std::set<std::string> types_;
  std::string filter_ = kAll;
  bool paused_ = false;
  uint64_t received_ = 0, damaged_ = 0, lost_ = 0, notShown_ = 0;
  uint64_t trimmed_ = 0;
  uint64_t version_ = 0;
};

}  // namespace pelmora::workbench
