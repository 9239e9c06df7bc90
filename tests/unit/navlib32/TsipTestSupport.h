// TSIP packets for the tests, built with the engine's TsipWriter, and a decoder driver that
// collects the record of every completed epoch.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "navlib32/GpsDecoder.h"
#include "navlib32/navlib32_records.h"
#include "navlib32/tsip/TsipPackets.h"
#include "navlib32/tsip/TsipWriter.h"

namespace tsiptest {

constexpr double kRadPerDeg = std::numbers::pi / 180.0;

using Payload = navlib::tsip::TsipWriter;

// DLE <payload, DLE doubled> DLE ETX.
inline std::vector<uint8_t> Wire(const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> out;
  navlib::tsip::AppendTsipFrame(payload, out);
  return out;
}
inline std::vector<uint8_t> Wire(const Payload& p) {
  return p.Frame();
}

// TSIPv1: id, subcode, length (mode .. checksum), mode 2 (report), data, XOR checksum.
inline std::vector<uint8_t> V1Payload(uint8_t id, uint8_t subcode, const std::vector<uint8_t>& data,
                                      uint8_t mode = 2) {
  return navlib::tsip::TsipV1Packet(id, subcode, data, mode);
}

// --- Classic packets -----------------------------------------------------------------------

inline Payload P41(double tow, int week, double leap) {
  return std::move(Payload(0x41).PutBeF32(tow).PutBeI16(week).PutBeF32(leap));
}
inline Payload P84(double latDeg, double lonDeg, double height, double tow) {
  return std::move(Payload(0x84)
                       .PutBeF64(latDeg * kRadPerDeg)
                       .PutBeF64(lonDeg * kRadPerDeg)
                       .PutBeF64(height)
                       .PutBeF64(0)
                       .PutBeF32(tow));
}
inline Payload P4A(double latDeg, double lonDeg, double height, double tow) {
  return std::move(Payload(0x4A)
                       .PutBeF32(latDeg * kRadPerDeg)
                       .PutBeF32(lonDeg * kRadPerDeg)
                       .PutBeF32(height)
                       .PutBeF32(0)
                       .PutBeF32(tow));
}
inline Payload P83(double x, double y, double z, double tow) {
  return std::move(Payload(0x83).PutBeF64(x).PutBeF64(y).PutBeF64(z).PutBeF64(0).PutBeF32(tow));
}
inline Payload P56(double east, double north, double up, double tow) {
  return std::move(
      Payload(0x56).PutBeF32(east).PutBeF32(north).PutBeF32(up).PutBeF32(0).PutBeF32(tow));
}
inline Payload P6D(unsigned dimension, double pdop, const std::vector<int>& prns) {
  Payload p(0x6D);
  p.PutU8((prns.size() << 4) | dimension)
      .PutBeF32(pdop)
      .PutBeF32(pdop * 0.6)
      .PutBeF32(pdop * 0.8)
      .PutBeF32(1.0);
  for (int prn : prns)
    p.PutU8(static_cast<uint8_t>(prn));
  return p;
}
inline Payload P5C(int prn, int channel, double snr, double tow, double elDeg, double azDeg) {
  return std::move(Payload(0x5C)
                       .PutU8(prn)
                       .PutU8(channel << 3)
                       .PutU8(1)
                       .PutU8(19)
                       .PutBeF32(snr)
                       .PutBeF32(tow)
                       .PutBeF32(elDeg * kRadPerDeg)
                       .PutBeF32(azDeg * kRadPerDeg)
                       .PutU8(0)
                       .PutZeros(3));
}
// 0x5D multi-GNSS tracking: svType 0 GPS, 1 GLONASS, 2 BeiDou, 3 Galileo, 5 QZSS.
inline Payload P5D(int prn, double snr, double tow, double elDeg, double azDeg, bool used,
                   unsigned svType = 0) {
  return std::move(Payload(0x5D)
                       .PutU8(prn)
                       .PutU8(0)
                       .PutU8(1)
                       .PutU8(used ? 1 : 0)
                       .PutBeF32(snr)
                       .PutBeF32(tow)
                       .PutBeF32(elDeg * kRadPerDeg)
                       .PutBeF32(azDeg * kRadPerDeg)
                       .PutZeros(5)
                       .PutU8(svType));
}
inline Payload P46(unsigned status, unsigned errors = 0) {
  return std::move(Payload(0x46).PutU8(status).PutU8(errors));
}
inline Payload P82(unsigned mode) {
  return std::move(Payload(0x82).PutU8(mode));
}

// 0x8F-20: velocities in 0.005 m/s units, flags bit 0 no fix, 1 DGPS, 2 2D.
inline Payload P8F20(double latDeg, double lonDeg, double heightM, double east, double north,
                     uint32_t towMs, unsigned flags, int leap, int week, bool longForm = false) {
  Payload p(0x8F);
  const double unitsPerDeg = 2147483648.0 / 180.0;
  double lon = lonDeg < 0 ? lonDeg + 360.0 : lonDeg;
  p.PutU8(0x20).PutU8(0);
  p.PutBeI16(static_cast<int>(std::lround(east / 0.005)));
  p.PutBeI16(static_cast<int>(std::lround(north / 0.005)));
  p.PutBeI16(0);
  p.PutBeU32(towMs);
  p.PutBeI32(static_cast<int32_t>(std::llround(latDeg * unitsPerDeg)));
  p.PutBeU32(static_cast<uint32_t>(std::llround(lon * unitsPerDeg)));
  p.PutBeI32(static_cast<int32_t>(std::llround(heightM * 1000.0)));
  p.PutU8(0).PutU8(0).PutU8(0).PutU8(flags).PutU8(4).PutU8(leap).PutBeU16(week);
  p.PutZeros(longForm ? 32 : 24);
  return p;
}
inline Payload P8FAB(uint32_t tow, int week, int leap, unsigned flags = 0) {
  return std::move(
      Payload(0x8F).PutU8(0xAB).PutBeU32(tow).PutBeU16(week).PutBeI16(leap).PutU8(flags).PutZeros(
          7));
}
// TSIPv1 A1-00 timing data (without the id byte: Payload(0) carries a dummy one): GPS week 2200,
// time of day 12:00:00, month 3, day 4 of 2022, UTC offset 18 s, time and UTC offset valid.
inline Payload V1Timing(uint32_t tow, unsigned flags = 0x03) {
  return std::move(Payload(0)
                       .PutBeU32(tow)
                       .PutBeU16(2200)
                       .PutU8(12)
                       .PutU8(0)
                       .PutU8(0)
                       .PutU8(3)
                       .PutU8(4)
                       .PutBeU16(2022)
                       .PutU8(0)
                       .PutU8(0)
                       .PutU8(flags)
                       .PutBeI16(18)
                       .PutZeros(12));
}
// TSIPv1 reports, framed: A1-00 timing (V1Timing), A1-11 position (degrees, ENU velocity),
// A2-00 one satellite of a numbered burst (flags bit 0 acquired, bit 1 used), A3-11 status.
inline std::vector<uint8_t> V1Data(const Payload& p) {
  return std::vector<uint8_t>(p.Packet().begin() + 1, p.Packet().end());
}
inline std::vector<uint8_t> A100(uint32_t tow, unsigned flags = 0x03) {
  return Wire(V1Payload(0xA1, 0x00, V1Data(V1Timing(tow, flags))));
}
inline std::vector<uint8_t> A111(double latDeg, double lonDeg, double height, unsigned fixType,
                                 double north = 0.0, double pdop = 1.8) {
  Payload p(0);
  p.PutU8(0x00).PutU8(fixType).PutBeF64(latDeg).PutBeF64(lonDeg).PutBeF64(height);
  p.PutBeF32(0.0).PutBeF32(north).PutBeF32(0.0).PutBeF32(pdop).PutZeros(8);
  return Wire(V1Payload(0xA1, 0x11, V1Data(p)));
}
inline std::vector<uint8_t> A200(unsigned message, unsigned svType, int prn, double azDeg,
                                 double elDeg, double snr, uint32_t flags, uint32_t tow) {
  Payload p(0);
  p.PutU8(message).PutU8(svType).PutU8(prn).PutBeF32(azDeg).PutBeF32(elDeg).PutBeF32(snr);
  p.PutBeU32(flags).PutBeU32(tow);
  return Wire(V1Payload(0xA2, 0x00, V1Data(p)));
}
inline std::vector<uint8_t> A311(unsigned status, double pdop) {
  Payload p(0);
  p.PutU8(3).PutU8(status).PutU8(100).PutBeF32(pdop).PutBeF32(1.0).PutBeF32(1.6).PutBeF32(1.0);
  p.PutBeF32(40.0);
  return Wire(V1Payload(0xA3, 0x11, V1Data(p)));
}

inline Payload P8FAC(unsigned receiverMode, unsigned decodingStatus, double latDeg, double lonDeg,
                     double height) {
  Payload p(0x8F);
  p.PutU8(0xAC)
      .PutU8(receiverMode)
      .PutU8(0)
      .PutU8(100)
      .PutBeU32(0)
      .PutBeU16(0)
      .PutBeU16(0)
      .PutU8(decodingStatus);
  p.PutZeros(23);  // to offset 36
  p.PutBeF64(latDeg * kRadPerDeg).PutBeF64(lonDeg * kRadPerDeg).PutBeF64(height).PutZeros(8);
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
  for (decoder.Flush(); decoder.EpochComplete(); decoder.Flush())
    take();
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
