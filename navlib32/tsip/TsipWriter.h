// Builds TSIP packets: the id, then big-endian fields (PutBe*), framed for the wire as
// DLE <id> <data with every DLE doubled> DLE ETX; TSIPv1 packets get their length field, mode
// byte and XOR checksum. The one encoder of the engine's receiver set-up, gpssim and the tests.
// Portable; allocates (not used on the decoding path).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace navlib::tsip {

class TsipWriter {
 public:
  explicit TsipWriter(uint8_t id) { packet_.push_back(id); }

  TsipWriter& PutU8(unsigned value);
  TsipWriter& PutBeU16(unsigned value);
  TsipWriter& PutBeI16(int value);
  TsipWriter& PutBeU32(uint32_t value);
  TsipWriter& PutBeI32(int32_t value);
  TsipWriter& PutBeF32(double value);  // IEEE single
  TsipWriter& PutBeF64(double value);  // IEEE double
  TsipWriter& PutZeros(std::size_t count);
  TsipWriter& PutBytes(std::span<const uint8_t> bytes);

  // The packet as the decoder's framer hands it out: id and data, unstuffed.
  const std::vector<uint8_t>& Packet() const { return packet_; }

  // The packet framed for the wire, appended to out.
  void AppendFrame(std::string& out) const;
  void AppendFrame(std::vector<uint8_t>& out) const;
  std::vector<uint8_t> Frame() const;

 private:
  std::vector<uint8_t> packet_;
};

// A TSIPv1 packet (unstuffed): id, subcode, 16-bit length (mode byte to checksum), mode (2 is a
// report, 1 a query, 0 a command), data, checksum (XOR of every byte from the id on makes 0).
std::vector<uint8_t> TsipV1Packet(uint8_t id, uint8_t subcode, std::span<const uint8_t> data,
                                  uint8_t mode = 2);

// Frames any packet (id and data) for the wire, appended to out.
void AppendTsipFrame(std::span<const uint8_t> packet, std::string& out);
void AppendTsipFrame(std::span<const uint8_t> packet, std::vector<uint8_t>& out);

}  // namespace navlib::tsip
