// The message tap behind the real decoders: every message with its status, whatever the split
// of the reads, and a bounded queue that counts what it lets go.
#include "navlib32/MessageTap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navlib32/MakeDecoder.h"
#include "tests/unit/navlib32/NmeaTestSupport.h"
#include "tests/unit/navlib32/TsipTestSupport.h"

namespace navlib {
namespace {

using nmea::testing::Nmea;
using pelmora::MessageStatus;
using S = MessageStatus;

struct Row {
  MessageStatus status;
  std::string bytes;
  bool operator==(const Row&) const = default;
};

void PrintTo(const Row& r, std::ostream* os) {
  *os << static_cast<int>(r.status) << " \"" << r.bytes << "\"";
}

std::vector<Row> Rows(MessageTap& tap, pelmora::MessageProtocol protocol) {
  std::vector<uint8_t> buffer(MessageTap::kMaxPending);
  const std::size_t n = tap.Take(buffer.data(), buffer.size());
  std::vector<Row> rows;
  EXPECT_EQ(pelmora::ForEachMessage(buffer.data(), n,
                                    [&](const pelmora::MessageHeader& h, const uint8_t* bytes) {
                                      EXPECT_EQ(h.protocol, static_cast<uint8_t>(protocol));
                                      rows.push_back({static_cast<MessageStatus>(h.status),
                                                      std::string(bytes, bytes + h.length)});
                                    }),
            n);
  return rows;
}

// Feeds the bytes in reads of `chunk` bytes (0: one read) to a decoder with a tap, then ends
// the input.
std::vector<Row> Tapped(Protocol protocol, const std::string& bytes, std::size_t chunk) {
  MessageTap tap;
  std::unique_ptr<GpsDecoder> decoder = MakeDecoder(protocol);
  decoder->SetMessageTap(&tap);
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t end = chunk == 0 ? bytes.size() : std::min(bytes.size(), at + chunk);
    while (at < end) {
      at += decoder->Feed(data + at, end - at, 0.0);
      if (decoder->EpochComplete()) decoder->TakeEpoch();
    }
  }
  decoder->Flush();
  return Rows(tap, protocol == Protocol::Nmea ? pelmora::MessageProtocol::Nmea
                                              : pelmora::MessageProtocol::Tsip);
}

struct Case {
  const char* legend;
  Protocol protocol;
  std::string input;
  std::vector<Row> expected;
};

std::string Bytes(const std::vector<uint8_t>& v) {
  return {v.begin(), v.end()};
}

TEST(MessageTap, KeepsEveryMessageWithItsStatus_HoweverTheReadsSplit) {
  const std::string gga = Nmea("GPGGA,120000.00,5230.0,N,01323.0,E,1,08,1.0,34.0,M,40.0,M,,");
  const std::string rmc = Nmea("GNRMC,120000.00,A,5230.0,N,01323.0,E,0.0,0.0,010124,,,A");
  const std::string ggaText = gga.substr(0, gga.size() - 2),
                    rmcText = rmc.substr(0, rmc.size() - 2);
  const std::string overlong = "$GP" + std::string(200, 'A');
  // 0x41 GPS time, week 16 (0x0010: a DLE in the data, doubled on the wire).
  const std::vector<uint8_t> time = tsiptest::P41(302400.0, 16, 18).Packet();
  const std::string timeWire = Bytes(tsiptest::Wire(time)), timeFrame = Bytes(time);
  const std::string shortTime = "\x10\x41\x01\x02\x10\x03";
  const Case cases[] = {
      {"good sentences", Protocol::Nmea, gga + rmc, {{S::Ok, ggaText}, {S::Ok, rmcText}}},
      {"a wrong checksum",
       Protocol::Nmea,
       "$GPGSA,A,3*00\r\n" + gga,
       {{S::BadChecksum, "$GPGSA,A,3*00"}, {S::Ok, ggaText}}},
      {"no checksum", Protocol::Nmea, "$GPVTG,1,T\r\n", {{S::NoChecksum, "$GPVTG,1,T"}}},
      {"cut by the next sentence",
       Protocol::Nmea,
       "$GPGSV,3,1" + gga,
       {{S::Cut, "$GPGSV,3,1"}, {S::Ok, ggaText}}},
      {"binary noise between sentences",
       Protocol::Nmea,
       gga + std::string("\x00\xFF\x13", 3) + rmc,
       {{S::Ok, ggaText}, {S::Noise, std::string("\x00\xFF\x13", 3)}, {S::Ok, rmcText}}},
      {"a sentence broken by a binary byte",
       Protocol::Nmea,
       "$GPGGA,12\x01\x02\r\n" + rmc,
       {{S::Framing, "$GPGGA,12"}, {S::Noise, "\x01\x02"}, {S::Ok, rmcText}}},
      {"an overlong sentence",
       Protocol::Nmea,
       overlong + "*00\r\n" + gga,
       {{S::Framing, (overlong + "*00").substr(0, pelmora::kMaxMessageBytes)}, {S::Ok, ggaText}}},
      {"the input ends inside a sentence",
       Protocol::Nmea,
       gga + "$GPRMC,12",
       {{S::Ok, ggaText}, {S::Cut, "$GPRMC,12"}}},
      {"a frame, its DLE unstuffed", Protocol::Tsip, timeWire, {{S::Ok, timeFrame}}},
      {"a frame of the wrong length",
       Protocol::Tsip,
       shortTime + timeWire,
       {{S::BadLength, "\x41\x01\x02"}, {S::Ok, timeFrame}}},
      {"noise before a frame",
       Protocol::Tsip,
       "\x01\x02" + timeWire,
       {{S::Noise, "\x01\x02"}, {S::Ok, timeFrame}}},
      {"a frame cut by the next",
       Protocol::Tsip,
       "\x10\x41\x01\x02" + timeWire,
       {{S::Cut, "\x10\x41\x01\x02"}, {S::Ok, timeFrame}}},
      {"the input ends inside a frame",
       Protocol::Tsip,
       timeWire + "\x10\x41\x01",
       {{S::Ok, timeFrame}, {S::Cut, "\x10\x41\x01"}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Tapped(c.protocol, c.input, 0), c.expected) << c.legend;
    for (std::size_t chunk : {1, 5})
      EXPECT_EQ(Tapped(c.protocol, c.input, chunk), c.expected)
          << c.legend << ", reads of " << chunk;
  }
}

TEST(MessageTap, KeepsTheNewestWhenNobodyTakes_CountingTheOthers) {
  MessageTap tap;
  std::unique_ptr<GpsDecoder> decoder = MakeDecoder(Protocol::Nmea);
  decoder->SetMessageTap(&tap);
  const std::size_t sent = 2 * MessageTap::kMaxPending / 20;
  for (std::size_t i = 0; i < sent; ++i) {
    const std::string s = Nmea("GPTXT," + std::to_string(i));
    decoder->Feed(reinterpret_cast<const uint8_t*>(s.data()), s.size(), 0.0);
  }
  decoder->Flush();
  EXPECT_LE(tap.PendingBytes(), MessageTap::kMaxPending);
  const uint64_t dropped = tap.TakeDropped();
  EXPECT_GT(dropped, 0u);
  EXPECT_EQ(tap.TakeDropped(), 0u) << "told once";
  // A buffer of one record's room takes whole records only.
  std::vector<uint8_t> one(pelmora::kMaxMessageRecord);
  const std::size_t n = tap.Take(one.data(), one.size());
  ASSERT_GT(n, 0u);
  std::size_t records = 0;
  EXPECT_EQ(pelmora::ForEachMessage(one.data(), n, [&](auto&, auto*) { ++records; }), n);
  const std::vector<Row> rest = Rows(tap, pelmora::MessageProtocol::Nmea);
  EXPECT_EQ(dropped + records + rest.size(), sent);
  ASSERT_FALSE(rest.empty());
  const std::string last = Nmea("GPTXT," + std::to_string(sent - 1));
  EXPECT_EQ(rest.back().bytes, last.substr(0, last.size() - 2));
  EXPECT_EQ(tap.PendingBytes(), 0u);
}

}  // namespace
}  // namespace navlib
