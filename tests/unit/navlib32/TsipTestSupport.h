// Builders of TSIP packets for the tests: big-endian fields into a payload (id + data), wire
// framing with DLE stuffing, TSIPv1 length and checksum, and a decoder driver that collects
// the record of every completed epoch.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "navlib32/GpsDecoder.h"
#include "navlib32/navlib32_records.h"
#include "navlib32/tsip/TsipPackets.h"

namespace tsiptest {

constexpr double kRadPerDeg = std::numbers::pi / 180.0;

class Payload {
 public:
  explicit Payload(uint8_t id) { bytes_.push_back(id); }
  Payload& U8(unsigned v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    return *this;
  }
  Payload& U16(unsigned v) { return U8(v >> 8).U8(v); }
  Payload& U32(uint32_t v) { return U16(v >> 16).U16(v & 0xFFFF); }
  Payload& I16(int v) { return U16(static_cast<uint16_t>(v)); }
  Payload& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
  Payload& F32(double v) { return U32(std::bit_cast<uint32_t>(static_cast<float>(v))); }
  Payload& F64(double v) {
    const uint64_t u = std::bit_cast<uint64_t>(v);
    return U32(static_cast<uint32_t>(u >> 32)).U32(static_cast<uint32_t>(u));
  }
  Payload& Zeros(std::size_t n) {
    bytes_.insert(bytes_.end(), n, 0);
    return *this;
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// DLE <payload, DLE doubled> DLE ETX.
inline std::vector<uint8_t> Wire(const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> out(2 * payload.size() + 4);
  out.resize(navlib::tsip::EncodeTsip(payload, out));
  return out;
}
inline std::vector<uint8_t> Wire(const Payload& p) {
  return Wire(p.Bytes());
}

// TSIPv1: id, subcode, length (mode .. checksum), mode 2 (report), data, XOR checksum.
inline std::vector<uint8_t> V1Payload(uint8_t id, uint8_t subcode, const std::vector<uint8_t>& data,
                                      uint8_t mode = 2) {
  std::vector<uint8_t> p{id, subcode};
  const std::size_t length = data.size() + 2;
  p.push_back(static_cast<uint8_t>(length >> 8));
  p.push_back(static_cast<uint8_t>(length));
  p.push_back(mode);
  p.insert(p.end(), data.begin(), data.end());
  uint8_t sum = 0;
  for (uint8_t b : p)
    sum ^= b;
  p.push_back(sum);
  return p;
}

// --- Classic packets -----------------------------------------------------------------------

inline Payload P41(double tow, int week, double leap) {
  return std::move(Payload(0x41).F32(tow).I16(week).F32(leap));
}
inline Payload P84(double latDeg, double lonDeg, double height, double tow) {
  return std::move(
      Payload(0x84).F64(latDeg * kRadPerDeg).F64(lonDeg * kRadPerDeg).F64(height).F64(0).F32(tow));
}
inline Payload P4A(double latDeg, double lonDeg, double height, double tow) {
  return std::move(
      Payload(0x4A).F32(latDeg * kRadPerDeg).F32(lonDeg * kRadPerDeg).F32(height).F32(0).F32(tow));
}
inline Payload P83(double x, double y, double z, double tow) {
  return std::move(Payload(0x83).F64(x).F64(y).F64(z).F64(0).F32(tow));
}
inline Payload P56(double east, double north, double up, double tow) {
  return std::move(Payload(0x56).F32(east).F32(north).F32(up).F32(0).F32(tow));
}
inline Payload P6D(unsigned dimension, double pdop, const std::vector<int>& prns) {
  Payload p(0x6D);
  p.U8((prns.size() << 4) | dimension).F32(pdop).F32(pdop * 0.6).F32(pdop * 0.8).F32(1.0);
  for (int prn : prns)
    p.U8(static_cast<uint8_t>(prn));
  return p;
}
inline Payload P5C(int prn, int channel, double snr, double tow, double elDeg, double azDeg) {
  return std::move(Payload(0x5C)
                       .U8(prn)
                       .U8(channel << 3)
                       .U8(1)
                       .U8(19)
                       .F32(snr)
                       .F32(tow)
                       .F32(elDeg * kRadPerDeg)
                       .F32(azDeg * kRadPerDeg)
                       .U8(0)
                       .Zeros(3));
}
inline Payload P46(unsigned status, unsigned errors = 0) {
  return std::move(Payload(0x46).U8(status).U8(errors));
}
inline Payload P82(unsigned mode) {
  return std::move(Payload(0x82).U8(mode));
}

// 0x8F-20: velocities in 0.005 m/s units, flags bit 0 no fix, 1 DGPS, 2 2D.
inline Payload P8F20(double latDeg, double lonDeg, double heightM, double east, double north,
                     uint32_t towMs, unsigned flags, int leap, int week, bool longForm = false) {
  Payload p(0x8F);
  const double unitsPerDeg = 2147483648.0 / 180.0;
  double lon = lonDeg < 0 ? lonDeg + 360.0 : lonDeg;
  p.U8(0x20).U8(0);
  p.I16(static_cast<int>(std::lround(east / 0.005)));
  p.I16(static_cast<int>(std::lround(north / 0.005)));
  p.I16(0);
  p.U32(towMs);
  p.I32(static_cast<int32_t>(std::llround(latDeg * unitsPerDeg)));
  p.U32(static_cast<uint32_t>(std::llround(lon * unitsPerDeg)));
  p.I32(static_cast<int32_t>(std::llround(heightM * 1000.0)));
  p.U8(0).U8(0).U8(0).U8(flags).U8(4).U8(leap).U16(week);
  p.Zeros(longForm ? 32 : 24);
  return p;
}
inline Payload P8FAB(uint32_t tow, int week, int leap, unsigned flags = 0) {
  return std::move(Payload(0x8F).U8(0xAB).U32(tow).U16(week).I16(leap).U8(flags).Zeros(7));
}
// TSIPv1 A1-00 timing data (without the id byte: Payload(0) carries a dummy one): GPS week 2200,
// time of day 12:00:00, month 3, day 4 of 2022, UTC offset 18 s, time and UTC offset valid.
inline Payload V1Timing(uint32_t tow) {
  return std::move(Payload(0)
                       .U32(tow)
                       .U16(2200)
                       .U8(12)
                       .U8(0)
                       .U8(0)
                       .U8(3)
                       .U8(4)
                       .U16(2022)
                       .U8(0)
                       .U8(0)
                       .U8(0x03)
                       .I16(18)
                       .Zeros(12));
}
inline Payload P8FAC(unsigned receiverMode, unsigned decodingStatus, double latDeg, double lonDeg,
                     double height) {
  Payload p(0x8F);
  p.U8(0xAC).U8(receiverMode).U8(0).U8(100).U32(0).U16(0).U16(0).U8(decodingStatus);
  p.Zeros(23);  // to offset 36
  p.F64(latDeg * kRadPerDeg).F64(lonDeg * kRadPerDeg).F64(height).Zeros(8);
  return p;
}

// --- Driver --------------------------------------------------------------------------------

// Feeds bytes in chunks of chunkSize (0: all at once) and returns the record of every
// completed epoch, the last one after Flush; nowSeconds advances by 1 per epoch.
inline std::vector<pelmora::FixRecord> Decode(navlib::GpsDecoder& decoder,
                                              const std::vector<uint8_t>& bytes,
                                              std::size_t chunkSize = 0) {
  std::vector<pelmora::FixRecord> records;
  double now = 100.0;
  auto take = [&] {
    pelmora::FixRecord r{};
    decoder.GetFix(r, now);
    records.push_back(r);
    decoder.TakeEpoch();
    now += 1.0;
  };
  const std::size_t step = chunkSize == 0 ? bytes.size() : chunkSize;
  for (std::size_t begin = 0; begin < bytes.size(); begin += step) {
    const std::size_t end = std::min(bytes.size(), begin + step);
    std::size_t offset = begin;
    while (offset < end) {
      offset += decoder.Feed(bytes.data() + offset, end - offset, now);
      if (decoder.EpochComplete()) take();
    }
  }
  decoder.Flush();
  if (decoder.EpochComplete()) take();
  return records;
}

inline void Append(std::vector<uint8_t>& stream, const Payload& p) {
  const std::vector<uint8_t> w = Wire(p);
  stream.insert(stream.end(), w.begin(), w.end());
}
inline void Append(std::vector<uint8_t>& stream, const std::vector<uint8_t>& wire) {
  stream.insert(stream.end(), wire.begin(), wire.end());
}

}  // namespace tsiptest
