// MessageConsole: the rows, texts, bound, filter, pause and counts of the Messages tab, from
// records laid out as Pelmora_GetMessages gives them.
#include "app/workbench/MessageConsole.h"

#include <gtest/gtest.h>

#include <cstring>

namespace pelmora::workbench {
namespace {

using P = MessageProtocol;
using S = MessageStatus;

void Append(std::vector<uint8_t>& out, P protocol, S status, const std::string& bytes,
            uint32_t wire = 0) {
  const MessageHeader h{static_cast<uint16_t>(bytes.size()), static_cast<uint8_t>(protocol),
                        static_cast<uint8_t>(status),
                        wire != 0 ? wire : static_cast<uint32_t>(bytes.size())};
  const auto* p = reinterpret_cast<const uint8_t*>(&h);
  out.insert(out.end(), p, p + sizeof h);
  out.insert(out.end(), bytes.begin(), bytes.end());
}

MessageConsole Console(std::size_t capacity = MessageConsole::kDefaultCapacity) {
  return MessageConsole(capacity, [] { return 12 * 3600 + 61.25; });
}

std::vector<std::string> Row(const MessageConsole& c, std::size_t i) {
  std::vector<std::string> cells;
  for (int k = 0; k < kConsoleColumnCount; ++k)
    cells.push_back(c.Cell(i, static_cast<ConsoleColumn>(k)));
  return cells;
}

TEST(MessageConsole, ShowsEachMessageAsTimeTypeStatusAndText) {
  const struct {
    P protocol;
    S status;
    std::string bytes;
    uint32_t wire;
    std::vector<std::string> cells;
  } cases[] = {
      {P::Nmea, S::Ok, "$GPGGA,1*3A", 0, {"12:01:01.250", "GGA", "ok", "$GPGGA,1*3A"}},
      {P::Nmea,
       S::BadChecksum,
       "$GNGSA,A*00",
       0,
       {"12:01:01.250", "GSA", "bad checksum", "$GNGSA,A*00"}},
      {P::Nmea, S::NoChecksum, "$PGRMT,x", 0, {"12:01:01.250", "PGRMT", "no checksum", "$PGRMT,x"}},
      {P::Nmea, S::Cut, "$GP", 0, {"12:01:01.250", "GP", "cut", "$GP"}},
      {P::Nmea,
       S::Noise,
       std::string("\x00\xFF", 2),
       900,
       {"12:01:01.250", "", "noise", "00 FF (900 bytes)"}},
      {P::Tsip,
       S::Ok,
       std::string("\x8F\xAB\x00\x10", 4),
       0,
       {"12:01:01.250", "0x8F-AB", "ok", "8F AB 00 10"}},
      {P::Tsip, S::BadLength, "\x41\x01", 0, {"12:01:01.250", "0x41", "bad length", "41 01"}},
      {P::Tsip, S::Cut, "\x10\x8F", 0, {"12:01:01.250", "", "cut", "10 8F"}},
  };
  for (const auto& c : cases) {
    MessageConsole console = Console();
    std::vector<uint8_t> records;
    Append(records, c.protocol, c.status, c.bytes, c.wire);
    records.push_back(0);  // a partial record after it is let go
    console.Add(records, 0);
    ASSERT_EQ(console.ShownCount(), 1u) << c.bytes;
    EXPECT_EQ(Row(console, 0), c.cells);
  }
  MessageConsole console = Console();
  std::vector<uint8_t> records;
  Append(records, P::Tsip, S::Ok, std::string(256, '\x5C'));
  console.Add(records, 0);
  const std::string text = console.Cell(0, ConsoleColumn::Text);
  EXPECT_EQ(text.size(), MessageConsole::kMaxCellChars);
  EXPECT_EQ(text.substr(text.size() - 6), "5C ...");
}

TEST(MessageConsole, KeepsTheNewestRows_FiltersByType_AndCountsWhilePaused) {
  MessageConsole console = Console(3);
  std::vector<uint8_t> records;
  for (const char* s : {"$GPGGA,1*00", "$GPGSV,1*00", "$GPGGA,2*00", "$GPRMC,1*00", "$GPGGA,3*00"})
    Append(records, P::Nmea, S::Ok, s);
  Append(records, P::Nmea, S::BadChecksum, "$GPZDA,1*00");
  console.Add(records, 4);
  EXPECT_EQ(console.Filters(), (std::vector<std::string>{"All", "Damaged", "GGA", "GSV", "RMC"}));
  ASSERT_EQ(console.ShownCount(), 3u);
  EXPECT_EQ(console.Cell(0, ConsoleColumn::Text), "$GPRMC,1*00");
  EXPECT_EQ(console.Trimmed(), 3u);
  EXPECT_EQ(console.Counts(), "6 received, 1 damaged, 4 lost");

  console.SetFilter("GGA");
  ASSERT_EQ(console.ShownCount(), 1u);
  EXPECT_EQ(console.Cell(0, ConsoleColumn::Text), "$GPGGA,3*00");
  console.Add(records, 0);  // GGA 1 and 2 pass, GGA 3 and the rest push them out again
  EXPECT_EQ(console.ShownCount(), 1u);
  EXPECT_EQ(console.Trimmed(), 3u);
  console.SetFilter(MessageConsole::kDamaged);
  ASSERT_EQ(console.ShownCount(), 1u);
  EXPECT_EQ(console.Cell(0, ConsoleColumn::Status), "bad checksum");

  const uint64_t version = console.Version();
  console.SetPaused(true);
  console.Add(records, 0);
  EXPECT_EQ(console.ShownCount(), 1u);
  EXPECT_GT(console.Version(), version);
  EXPECT_EQ(console.Counts(), "18 received, 3 damaged, 4 lost, 6 not shown (paused)");
  console.SetPaused(false);
  console.SetFilter(MessageConsole::kAll);
  console.Add(records, 0);
  EXPECT_EQ(console.Cell(2, ConsoleColumn::Text), "$GPZDA,1*00");
}

}  // namespace
}  // namespace pelmora::workbench
