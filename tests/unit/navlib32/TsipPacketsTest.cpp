// TSIP framing, stuffing, length and checksum checks, and the packet parsers.
#include <gtest/gtest.h>

#include <random>
#include <span>
#include <variant>

#include "TsipTestSupport.h"
#include "navlib32/tsip/TsipFramer.h"
#include "navlib32/tsip/TsipPackets.h"
#include "navlib32/tsip/TsipWriter.h"

namespace {

using namespace navlib::tsip;
using namespace tsiptest;

std::vector<std::vector<uint8_t>> Frames(TsipFramer& framer, const std::vector<uint8_t>& bytes) {
  std::vector<std::vector<uint8_t>> frames;
  for (uint8_t b : bytes) {
    if (framer.Push(b)) {
      const auto f = framer.Frame();
      frames.emplace_back(f.begin(), f.end());
    }
  }
  return frames;
}

// Pushes the stream byte by byte, and in random chunks through the bulk Push: the same frames
// and the same counters.
void ExpectBulkMatchesBytewise(const std::vector<uint8_t>& stream, std::mt19937& rng) {
  std::uniform_int_distribution<int> chunkSize(1, 300);
  TsipFramer single;
  const auto expected = Frames(single, stream);
  TsipFramer bulk;
  std::vector<std::vector<uint8_t>> got;
  for (std::size_t at = 0; at < stream.size();) {
    const int pick = chunkSize(rng);
    const std::size_t chunk = std::min<std::size_t>(
        pick < 30 ? static_cast<std::size_t>(pick % 10 + 1) : static_cast<std::size_t>(pick),
        stream.size() - at);
    std::size_t done = 0;
    while (done < chunk) {
      bool completed = false;
      done += bulk.Push(stream.data() + at + done, chunk - done, completed);
      if (completed) got.emplace_back(bulk.Frame().begin(), bulk.Frame().end());
    }
    at += chunk;
  }
  EXPECT_EQ(got, expected);
  EXPECT_EQ(bulk.Counters().bytes, single.Counters().bytes);
  EXPECT_EQ(bulk.Counters().frames, single.Counters().frames);
  EXPECT_EQ(bulk.Counters().skipped, single.Counters().skipped);
  EXPECT_EQ(bulk.Counters().overlong, single.Counters().overlong);
  EXPECT_EQ(bulk.Counters().interrupted, single.Counters().interrupted);
  EXPECT_GT(single.Counters().overlong, 0u);
}

template <typename T>
T ParseAs(const Payload& p, FrameCheck expected = FrameCheck::Ok) {
  TsipReport report;
  EXPECT_EQ(ParseFrame(p.Packet(), {}, report), expected);
  const T* r = std::get_if<T>(&report);
  EXPECT_NE(r, nullptr);
  return r ? *r : T{};
}

TEST(TsipRead, BigEndianFields) {
  const std::vector<uint8_t> d{0x12, 0x34, 0xFF, 0xFE, 0x3F, 0xC0, 0x00, 0x00,
                               0xC0, 0x09, 0x21, 0xFB, 0x54, 0x44, 0x2D, 0x18};
  EXPECT_EQ(ReadBeU16(d, 0), 0x1234);
  EXPECT_EQ(ReadBeI16(d, 2), -2);
  EXPECT_EQ(ReadBeU32(d, 0), 0x1234FFFEu);
  EXPECT_EQ(ReadBeI32(d, 2), static_cast<int32_t>(0xFFFE3FC0u));
  EXPECT_FLOAT_EQ(ReadBeF32(d, 4), 1.5f);
  EXPECT_DOUBLE_EQ(ReadBeF64(d, 8), -3.141592653589793);
  // Reads past the end give 0 instead of touching memory beyond the data.
  EXPECT_EQ(ReadBeU32(d, 14), 0u);
  EXPECT_EQ(ReadU8(d, 16), 0);
}

TEST(TsipFramer, EncodeRoundTripsEveryByteValue) {
  std::vector<uint8_t> payload{0x8F};
  for (int b = 0; b < 251; ++b)
    payload.push_back(static_cast<uint8_t>(b));
  payload.push_back(0x10);
  payload.push_back(0x10);
  payload.push_back(0x03);
  const std::vector<uint8_t> wire = Wire(payload);
  // the three DLEs of the payload doubled, plus DLE before and DLE ETX after
  EXPECT_EQ(wire.size(), payload.size() + 3 + 3);
  TsipFramer framer;
  const auto frames = Frames(framer, wire);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], payload);
  EXPECT_EQ(framer.Counters().frames, 1u);
}

TEST(TsipWriter, BigEndianFieldsAndStuffedFrame) {
  const TsipWriter w = std::move(TsipWriter(0x41).PutU8(0x10).PutBeU16(0x0310).PutBeI16(-2));
  EXPECT_EQ(w.Packet(), (std::vector<uint8_t>{0x41, 0x10, 0x03, 0x10, 0xFF, 0xFE}));
  std::string text = "x";
  w.AppendFrame(text);
  EXPECT_EQ(text, std::string("x\x10\x41\x10\x10\x03\x10\x10\xFF\xFE\x10\x03", 12));
}

TEST(TsipFramer, DleAndEtxInsideFloatDataSurvive) {
  // 0x10 0x03 0x10 0x10 as float bytes: a stuffed DLE followed by ETX must not end the frame.
  const float tricky = std::bit_cast<float>(uint32_t{0x10031010});
  const Payload p = P4A(tricky, 12.5, 1000.0, 360000.0);
  TsipFramer framer;
  const auto frames = Frames(framer, Wire(p));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], p.Packet());
  TsipReport report;
  ASSERT_EQ(ParseFrame(frames[0], {}, report), FrameCheck::Ok);
  EXPECT_EQ(ReadBeU32(frames[0], 1),
            std::bit_cast<uint32_t>(static_cast<float>(tricky * kRadPerDeg)));
}

TEST(TsipFramer, ResynchronisesAfterGarbageAndInterruptedFrames) {
  struct Case {
    const char* legend;
    std::vector<uint8_t> prefix;
    uint64_t interrupted;
  };
  const Case cases[] = {
      {"text noise", {'h', 'e', 'l', 'l', 'o', 0x03}, 0},
      {"tail of a frame joined late", {0x12, 0x34, 0x10, 0x03}, 0},
      {"stuffed DLE seen from outside", {0x55, 0x10, 0x10, 0x66, 0x10, 0x03}, 0},
      {"frame cut short by a restart", {0x10, 0x84, 0x01, 0x02, 0x03}, 1},
      {"lone DLE before the start", {0x10}, 0},
  };
  const std::vector<uint8_t> good = Wire(P46(0x00, 0x01));
  for (const Case& c : cases) {
    std::vector<uint8_t> stream = c.prefix;
    Append(stream, good);
    TsipFramer framer;
    const auto frames = Frames(framer, stream);
    ASSERT_FALSE(frames.empty()) << c.legend;
    EXPECT_EQ(frames.back(), P46(0x00, 0x01).Packet()) << c.legend;
    EXPECT_EQ(framer.Counters().interrupted, c.interrupted) << c.legend;
  }
}

TEST(TsipFramer, OverlongFrameIsDroppedAndTheNextOneKept) {
  std::vector<uint8_t> stream{0x10, 0x5A};
  stream.insert(stream.end(), kMaxTsipPacket + 10, 0x22);
  stream.push_back(0x10);
  stream.push_back(0x03);
  Append(stream, P82(3));
  TsipFramer framer;
  const auto frames = Frames(framer, stream);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], P82(3).Packet());
  EXPECT_EQ(framer.Counters().overlong, 1u);
}

TEST(TsipFramer, FrameOfExactlyTheCapacityIsKept) {
  std::vector<uint8_t> payload(kMaxTsipPacket, 0x44);
  TsipFramer framer;
  const auto frames = Frames(framer, Wire(payload));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].size(), kMaxTsipPacket);
}

TEST(TsipFramer, RandomNoiseNeverOverrunsAndFramesStayBounded) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> byte(0, 255);
  TsipFramer framer;
  for (int i = 0; i < 200000; ++i) {
    // DLE and ETX often, so that the machine visits every state
    const int r = byte(rng);
    const uint8_t b = r < 40 ? 0x10 : (r < 60 ? 0x03 : static_cast<uint8_t>(byte(rng)));
    if (framer.Push(b)) {
      ASSERT_GE(framer.Frame().size(), 1u);
      ASSERT_LE(framer.Frame().size(), kMaxTsipPacket);
    }
  }
  EXPECT_EQ(framer.Counters().bytes, 200000u);
  EXPECT_GT(framer.Counters().frames, 0u);
}

TEST(TsipFramer, BulkPushMatchesBytewisePush) {
  std::mt19937 rng(77);
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<uint8_t> stream;
  for (int i = 0; i < 400; ++i) {
    const int kind = byte(rng) % 5;
    if (kind == 0) {
      for (int k = byte(rng) % 30; k > 0; --k)
        stream.push_back(static_cast<uint8_t>(byte(rng)));
    } else if (kind == 1) {
      stream.push_back(0x10);
      stream.push_back(0x8F);
      stream.insert(stream.end(), kMaxTsipPacket + byte(rng) % 20, 0x21);  // overlong
      stream.push_back(0x10);
      stream.push_back(0x03);
    } else {
      Append(stream, P84(byte(rng), byte(rng), byte(rng), byte(rng) * 16.0 + 0.0625));
    }
  }
  ExpectBulkMatchesBytewise(stream, rng);
}

TEST(TsipFramer, BulkPushMatchesBytewisePushOnDenseDleAndEtx) {
  // DLE and ETX as often as data, runs of every length around the eight-byte copies, frames
  // that end exactly at the capacity or one byte beyond it: every state, every way in and out.
  std::mt19937 rng(4242);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 20; ++round) {
    std::vector<uint8_t> stream;
    for (int i = 0; i < 300; ++i) {
      const int kind = byte(rng) % 4;
      if (kind == 0) {
        for (int k = byte(rng) % 40; k > 0; --k) {
          const int r = byte(rng);
          stream.push_back(r < 60 ? 0x10 : (r < 90 ? 0x03 : static_cast<uint8_t>(byte(rng))));
        }
      } else if (kind == 1) {
        // a frame of kMaxTsipPacket - 2 .. + 1 bytes, some of them stuffed DLEs
        std::vector<uint8_t> payload{0x8F};
        const std::size_t length = kMaxTsipPacket - 3 + static_cast<std::size_t>(byte(rng) % 5);
        while (payload.size() < length)
          payload.push_back(byte(rng) < 20 ? 0x10 : 0x44);
        Append(stream, Wire(payload));
      } else {
        Append(stream, P84(byte(rng), byte(rng), byte(rng), byte(rng) * 16.0 + 0.0625));
      }
    }
    ExpectBulkMatchesBytewise(stream, rng);
  }
}

struct CheckCase {
  const char* legend;
  std::vector<uint8_t> frame;
  FrameCheck expected;
};

std::vector<uint8_t> Sized(uint8_t id, std::size_t dataLength, int subcode = -1) {
  std::vector<uint8_t> f{id};
  if (subcode >= 0) f.push_back(static_cast<uint8_t>(subcode));
  f.resize(1 + dataLength, 0);
  return f;
}

TEST(TsipCheck, LengthRulesPerPacketId) {
  std::vector<uint8_t> v1 = V1Payload(0xA1, 0x11, std::vector<uint8_t>(50, 0));
  ASSERT_FALSE(v1.empty());
  // The last byte flipped, built by appending (mingw's GCC 12 misreads back() on a copy).
  std::vector<uint8_t> v1BadSum(v1.begin(), v1.end() - 1);
  v1BadSum.push_back(static_cast<uint8_t>(v1.back() ^ 0x01));
  std::vector<uint8_t> v1BadLength = v1;
  v1BadLength[3] += 1;
  const CheckCase cases[] = {
      {"0x41 exact", Sized(0x41, 10), FrameCheck::Ok},
      {"0x41 short", Sized(0x41, 9), FrameCheck::BadLength},
      {"0x41 long", Sized(0x41, 11), FrameCheck::BadLength},
      {"0x84 exact", Sized(0x84, 36), FrameCheck::Ok},
      {"0x84 truncated", Sized(0x84, 35), FrameCheck::BadLength},
      {"0x5C exact", Sized(0x5C, 24), FrameCheck::Ok},
      {"0x5C overlong", Sized(0x5C, 25), FrameCheck::BadLength},
      {"0x6D with 4 PRNs", P6D(4, 2.0, {1, 2, 3, 4}).Packet(), FrameCheck::Ok},
      {"0x6D count says 4, 3 PRNs", Sized(0x6D, 20), FrameCheck::BadLength},
      {"0x47 empty", {0x47, 0x00}, FrameCheck::Ok},
      {"0x47 count 2, 1 pair", {0x47, 0x02, 1, 0, 0, 0, 0}, FrameCheck::BadLength},
      {"0x8F-20 short form", Sized(0x8F, 56, 0x20), FrameCheck::Ok},
      {"0x8F-20 long form", Sized(0x8F, 64, 0x20), FrameCheck::Ok},
      {"0x8F-20 in between", Sized(0x8F, 60, 0x20), FrameCheck::BadLength},
      {"0x8F-AB", Sized(0x8F, 17, 0xAB), FrameCheck::Ok},
      {"0x8F-AC truncated", Sized(0x8F, 67, 0xAC), FrameCheck::BadLength},
      {"superpacket not decoded", Sized(0x8F, 10, 0x15), FrameCheck::Unknown},
      {"id not decoded", Sized(0x13, 2), FrameCheck::Unknown},
      {"empty frame", {}, FrameCheck::BadLength},
      {"TSIPv1 report", v1, FrameCheck::Ok},
      {"TSIPv1 bad checksum", v1BadSum, FrameCheck::BadChecksum},
      {"TSIPv1 length field off", v1BadLength, FrameCheck::BadLength},
      {"TSIPv1 query", V1Payload(0xA1, 0x11, {}, 0), FrameCheck::NotReport},
      {"TSIPv1 too short for its subcode", V1Payload(0xA1, 0x11, std::vector<uint8_t>(10, 0)),
       FrameCheck::BadLength},
      {"TSIPv1 runt", {0xA1, 0x11, 0x00}, FrameCheck::BadLength},
      {"TSIPv1 unknown subcode", V1Payload(0x90, 0x01, std::vector<uint8_t>(12, 0)),
       FrameCheck::Unknown},
  };
  for (const CheckCase& c : cases) {
    EXPECT_EQ(CheckFrame(c.frame), c.expected) << c.legend;
    TsipReport report;
    ParseFrame(c.frame, {}, report);
    EXPECT_EQ(std::holds_alternative<std::monostate>(report), c.expected != FrameCheck::Ok)
        << c.legend;
  }
}

TEST(TsipParse, DoublePrecisionLla) {
  const auto r = ParseAs<PositionReport>(P84(-33.8568, 151.2153, 58.25, 345600.5));
  EXPECT_NEAR(r.latitudeDeg, -33.8568, 1e-12);
  EXPECT_NEAR(r.longitudeDeg, 151.2153, 1e-12);
  EXPECT_DOUBLE_EQ(r.heightMetres, 58.25);
  EXPECT_FALSE(r.heightIsMsl);
  EXPECT_TRUE(r.hasTime);
  EXPECT_DOUBLE_EQ(r.gpsSeconds, 345600.5);
  TsipReport report;
  ParseFrame(P84(1, 2, 3, 4).Packet(), ParseOptions{true}, report);
  EXPECT_TRUE(std::get<PositionReport>(report).heightIsMsl);
}

TEST(TsipParse, SinglePrecisionLla) {
  const auto r = ParseAs<PositionReport>(P4A(47.25, -122.5, 12.0, 1000.0));
  EXPECT_NEAR(r.latitudeDeg, 47.25, 1e-5);
  EXPECT_NEAR(r.longitudeDeg, -122.5, 1e-5);
  EXPECT_FLOAT_EQ(r.heightMetres, 12.0f);
  EXPECT_EQ(r.source, 0x4A);
}

TEST(TsipParse, EcefBecomesLla) {
  // A point on the equator at the prime meridian, 100 m up.
  const auto r = ParseAs<PositionReport>(P83(6378237.0, 0.0, 0.0, 500.0));
  EXPECT_NEAR(r.latitudeDeg, 0.0, 1e-12);
  EXPECT_NEAR(r.longitudeDeg, 0.0, 1e-12);
  EXPECT_NEAR(r.heightMetres, 100.0, 1e-6);
  const auto s = ParseAs<PositionReport>(
      Payload(0x42).PutBeF32(0.0).PutBeF32(6378137.0).PutBeF32(0.0).PutBeF32(7.0));
  EXPECT_NEAR(s.longitudeDeg, 90.0, 1e-9);
  EXPECT_NEAR(s.heightMetres, 0.0, 1e-3);
  EXPECT_DOUBLE_EQ(s.gpsSeconds, 7.0);
}

TEST(TsipParse, SuperFixWithExtraInformation) {
  const auto r = ParseAs<SuperFixReport>(
      P8F20(37.3861, -122.0839, 32.5, 1.5, -2.0, 123456789, 0x06, 18, 2100));
  EXPECT_NEAR(r.latitudeDeg, 37.3861, 1e-7);
  EXPECT_NEAR(r.longitudeDeg, -122.0839, 1e-7);  // sent as 237.9161 semicircle units
  EXPECT_DOUBLE_EQ(r.ellipsoidHeightMetres, 32.5);
  EXPECT_NEAR(r.east, 1.5, 1e-9);
  EXPECT_NEAR(r.north, -2.0, 1e-9);
  EXPECT_TRUE(r.velocityValid);
  EXPECT_DOUBLE_EQ(r.gpsSeconds, 123456.789);
  EXPECT_TRUE(r.fixAvailable);
  EXPECT_TRUE(r.differential);
  EXPECT_TRUE(r.twoD);
  EXPECT_EQ(r.utcOffsetSeconds, 18);
  EXPECT_EQ(r.week, 2100);
  // 64-byte form, coarse velocity unit, no fix
  Payload coarse = P8F20(0, 0, 0, 0, 0, 0, 0x01, 18, 2100, true);
  std::vector<uint8_t> bytes = coarse.Packet();
  bytes[1 + 24] = 0x01;  // velocity unit 0.020 m/s
  bytes[1 + 2] = 0x00;
  bytes[1 + 3] = 0x64;  // east = 100 units
  TsipReport report;
  ASSERT_EQ(ParseFrame(bytes, {}, report), FrameCheck::Ok);
  const auto& c = std::get<SuperFixReport>(report);
  EXPECT_DOUBLE_EQ(c.east, 2.0);
  EXPECT_FALSE(c.fixAvailable);
  // 0x8000 marks a velocity out of range
  bytes[1 + 2] = 0x80;
  bytes[1 + 3] = 0x00;
  ASSERT_EQ(ParseFrame(bytes, {}, report), FrameCheck::Ok);
  EXPECT_FALSE(std::get<SuperFixReport>(report).velocityValid);
}

TEST(TsipParse, TimingSuperpackets) {
  const auto t = ParseAs<TimingReport>(P8FAB(72891, 2085, 18, 0x00));
  EXPECT_DOUBLE_EQ(t.gpsSeconds, 72891.0);
  EXPECT_EQ(t.week, 2085);
  EXPECT_EQ(t.utcOffsetSeconds, 18);
  EXPECT_TRUE(t.timeValid);
  EXPECT_TRUE(t.utcOffsetValid);
  const auto unset = ParseAs<TimingReport>(P8FAB(5, 2085, 0, 0x0C));
  EXPECT_FALSE(unset.timeValid);
  EXPECT_FALSE(unset.utcOffsetValid);
  const auto s = ParseAs<TimingStatusReport>(P8FAC(7, 0x00, 41.3394, -75.7061, 218.7));
  EXPECT_EQ(s.receiverMode, 7);
  EXPECT_EQ(s.decodingStatus, 0);
  EXPECT_NEAR(s.position.latitudeDeg, 41.3394, 1e-12);
  EXPECT_NEAR(s.position.longitudeDeg, -75.7061, 1e-12);
  EXPECT_DOUBLE_EQ(s.position.heightMetres, 218.7);
}

TEST(TsipParse, TimeVelocityHealthAndDifferential) {
  const auto t = ParseAs<GpsTimeReport>(P41(446991.5, 1406, 14.0));
  EXPECT_DOUBLE_EQ(t.gpsSeconds, 446991.5);
  EXPECT_EQ(t.week, 1406);
  EXPECT_DOUBLE_EQ(t.utcOffsetSeconds, 14.0);
  const auto v = ParseAs<VelocityReport>(P56(3.0, 4.0, -0.5, 99.0));
  EXPECT_DOUBLE_EQ(v.east, 3.0);
  EXPECT_DOUBLE_EQ(v.north, 4.0);
  EXPECT_DOUBLE_EQ(v.up, -0.5);
  EXPECT_DOUBLE_EQ(v.gpsSeconds, 99.0);
  const auto h = ParseAs<HealthReport>(P46(0x08, 0x10));
  EXPECT_EQ(h.statusCode, 0x08);
  EXPECT_EQ(h.errorCode, 0x10);
  const struct {
    unsigned mode;
    bool inUse;
  } dgps[] = {{0, false}, {1, true}, {2, false}, {3, true}};
  for (const auto& c : dgps) {
    EXPECT_EQ(ParseAs<DifferentialReport>(P82(c.mode)).differentialInUse(), c.inUse) << c.mode;
  }
  const auto io =
      ParseAs<IoOptionsReport>(std::move(Payload(0x55).PutU8(0x16).PutU8(2).PutU8(0).PutU8(8)));
  EXPECT_TRUE(io.heightsAreMsl());
}

TEST(TsipParse, SelectionAndSatellites) {
  const auto s = ParseAs<SelectionReport>(P6D(4, 2.5, {3, -7, 12}));
  EXPECT_EQ(s.dimension, 4);
  EXPECT_FLOAT_EQ(s.pdop, 2.5f);
  ASSERT_EQ(s.count, 3);
  EXPECT_EQ(s.prns[0], 3);
  EXPECT_EQ(s.prns[1], -7);  // set aside as unhealthy
  EXPECT_EQ(s.prns[2], 12);
  const auto t = ParseAs<TrackingReport>(P5C(19, 5, 29.0, 25060.584, 25.99, 249.7));
  EXPECT_EQ(t.prn, 19);
  EXPECT_EQ(t.channel, 5);
  EXPECT_TRUE(t.acquired);
  EXPECT_FALSE(t.usedKnown);
  EXPECT_DOUBLE_EQ(t.signal, 29.0);
  EXPECT_NEAR(t.gpsSeconds, 25060.584, 1e-3);
  EXPECT_NEAR(t.elevationDeg, 25.99, 1e-4);
  EXPECT_NEAR(t.azimuthDeg, 249.7, 1e-4);
  const auto l = ParseAs<SignalLevelsReport>(
      std::move(Payload(0x47).PutU8(2).PutU8(5).PutBeF32(40).PutU8(9).PutBeF32(-1)));
  ASSERT_EQ(l.count, 2);
  EXPECT_EQ(l.prns[1], 9);
  EXPECT_FLOAT_EQ(l.levels[0], 40.0f);
}

TEST(TsipParse, CompactSuperPacket) {
  Payload p(0x8F);
  const double unitsPerDeg = 2147483648.0 / 180.0;
  p.PutU8(0x23).PutBeU32(86400500).PutBeU16(2100).PutU8(18).PutU8(0x20 | 0x02);
  p.PutBeI32(static_cast<int32_t>(std::llround(-12.5 * unitsPerDeg)));
  p.PutBeU32(static_cast<uint32_t>(std::llround((360.0 - 45.25) * unitsPerDeg)));
  p.PutBeI32(-15500).PutBeI16(100).PutBeI16(-50).PutBeI16(0).PutU8(0).PutU8(0);
  const auto r = ParseAs<SuperFixReport>(p);
  EXPECT_DOUBLE_EQ(r.gpsSeconds, 86400.5);
  EXPECT_EQ(r.week, 2100);
  EXPECT_EQ(r.utcOffsetSeconds, 18);
  EXPECT_TRUE(r.fixAvailable);
  EXPECT_TRUE(r.differential);
  EXPECT_FALSE(r.twoD);
  EXPECT_NEAR(r.latitudeDeg, -12.5, 1e-7);
  EXPECT_NEAR(r.longitudeDeg, -45.25, 1e-7);
  EXPECT_DOUBLE_EQ(r.ellipsoidHeightMetres, -15.5);
  EXPECT_DOUBLE_EQ(r.east, 2.0);  // 0.020 m/s units by flag bit 5
  EXPECT_DOUBLE_EQ(r.north, -1.0);
}

TEST(TsipParse, MultiGnssTrackingAndSelection) {
  Payload t(0x5D);
  t.PutU8(70)
      .PutU8(11)
      .PutU8(1)
      .PutU8(1)
      .PutBeF32(44.0)
      .PutBeF32(1234.5)
      .PutBeF32(0.5)
      .PutBeF32(1.0)
      .PutZeros(5)
      .PutU8(1);
  const auto r = ParseAs<TrackingReport>(t);
  EXPECT_EQ(r.prn, 70);
  EXPECT_EQ(r.channel, 11);
  EXPECT_TRUE(r.usedKnown);
  EXPECT_TRUE(r.usedInFix);
  EXPECT_EQ(r.system, navlib::GnssSystem::Glonass);
  EXPECT_NEAR(r.elevationDeg, 0.5 * 180 / std::numbers::pi, 1e-5);

  Payload c(0x6C);
  c.PutU8(0x04)
      .PutBeF32(1.5)
      .PutBeF32(0.9)
      .PutBeF32(1.2)
      .PutBeF32(1.0)
      .PutU8(3)
      .PutU8(5)
      .PutU8(70)
      .PutU8(0xF9);
  const auto s = ParseAs<SelectionReport>(c);
  EXPECT_EQ(s.dimension, 4);
  EXPECT_FLOAT_EQ(s.pdop, 1.5f);
  ASSERT_EQ(s.count, 3);
  EXPECT_EQ(s.prns[1], 70);
  EXPECT_EQ(s.prns[2], -7);
  Payload wrong(0x6C);
  wrong.PutU8(0x04).PutBeF32(1.5).PutBeF32(0.9).PutBeF32(1.2).PutBeF32(1.0).PutU8(4).PutU8(5);
  EXPECT_EQ(CheckFrame(wrong.Packet()), FrameCheck::BadLength);

  const auto v = ParseAs<EcefVelocityReport>(std::move(
      Payload(0x43).PutBeF32(1.0).PutBeF32(2.0).PutBeF32(3.0).PutBeF32(0.0).PutBeF32(77.0)));
  EXPECT_DOUBLE_EQ(v.z, 3.0);
  EXPECT_DOUBLE_EQ(v.gpsSeconds, 77.0);
}

TEST(TsipParse, TsipV1Reports) {
  Payload pos(0);
  pos.PutU8(0x00)
      .PutU8(2)
      .PutBeF64(52.5)
      .PutBeF64(13.4)
      .PutBeF64(80.0)
      .PutBeF32(1.0)
      .PutBeF32(2.0)
      .PutBeF32(0.0)
      .PutBeF32(1.8)
      .PutZeros(8);
  std::vector<uint8_t> posData(pos.Packet().begin() + 1, pos.Packet().end());
  TsipReport report;
  ASSERT_EQ(ParseFrame(V1Payload(0xA1, 0x11, posData), {}, report), FrameCheck::Ok);
  const auto& p = std::get<V1PositionReport>(report);
  EXPECT_EQ(p.fixType, 2);
  EXPECT_DOUBLE_EQ(p.position.latitudeDeg, 52.5);
  EXPECT_DOUBLE_EQ(p.position.longitudeDeg, 13.4);
  EXPECT_DOUBLE_EQ(p.position.heightMetres, 80.0);
  EXPECT_FALSE(p.position.heightIsMsl);
  EXPECT_TRUE(p.velocityEnu);
  EXPECT_FLOAT_EQ(p.pdop, 1.8f);

  Payload sat(0);
  sat.PutU8(1)
      .PutU8(1)
      .PutU8(17)
      .PutBeF32(120.0)
      .PutBeF32(45.0)
      .PutBeF32(42.0)
      .PutBeU32(0x03)
      .PutBeU32(300000);
  std::vector<uint8_t> satData(sat.Packet().begin() + 1, sat.Packet().end());
  ASSERT_EQ(ParseFrame(V1Payload(0xA2, 0x00, satData), {}, report), FrameCheck::Ok);
  const auto& s = std::get<TrackingReport>(report);
  EXPECT_EQ(s.prn, 17);
  EXPECT_TRUE(s.usedInFix);
  EXPECT_DOUBLE_EQ(s.elevationDeg, 45.0);
  EXPECT_DOUBLE_EQ(s.azimuthDeg, 120.0);
  EXPECT_DOUBLE_EQ(s.gpsSeconds, 300000.0);

  Payload st(0);
  st.PutU8(3).PutU8(4).PutU8(100).PutBeF32(2.2).PutBeF32(1.1).PutBeF32(1.9).PutBeF32(1.0).PutBeF32(
      35.0);
  std::vector<uint8_t> stData(st.Packet().begin() + 1, st.Packet().end());
  ASSERT_EQ(ParseFrame(V1Payload(0xA3, 0x11, stData), {}, report), FrameCheck::Ok);
  const auto& r = std::get<V1StatusReport>(report);
  EXPECT_EQ(r.health.statusCode, 0x09);  // 1 usable satellite, as 0x46 says it
  EXPECT_FLOAT_EQ(r.dops.pdop, 2.2f);

  Payload tm = V1Timing(302400);
  std::vector<uint8_t> tmData(tm.Packet().begin() + 1, tm.Packet().end());
  ASSERT_EQ(ParseFrame(V1Payload(0xA1, 0x00, tmData), {}, report), FrameCheck::Ok);
  const auto& t = std::get<V1TimingReport>(report);
  EXPECT_DOUBLE_EQ(t.gpsSeconds, 302400.0);
  EXPECT_EQ(t.week, 2200);
  EXPECT_EQ(t.utcOffsetSeconds, 18);
  EXPECT_TRUE(t.timeValid);
}

}  // namespace
