// TSIP packet building and DLE-stuffed framing.
#include "navlib32/tsip/TsipWriter.h"

#include <bit>

#include "navlib32/tsip/TsipFramer.h"

namespace navlib::tsip {
namespace {

template <typename Out>
void Frame(std::span<const uint8_t> packet, Out& out) {
  out.reserve(out.size() + 2 * packet.size() + 4);
  out.push_back(static_cast<typename Out::value_type>(kDle));
  for (uint8_t b : packet) {
    if (b == kDle) out.push_back(static_cast<typename Out::value_type>(kDle));
    out.push_back(static_cast<typename Out::value_type>(b));
  }
  out.push_back(static_cast<typename Out::value_type>(kDle));
  out.push_back(static_cast<typename Out::value_type>(kEtx));
}

}  // namespace

TsipWriter& TsipWriter::PutU8(unsigned value) {
  packet_.push_back(static_cast<uint8_t>(value));
  return *this;
}

TsipWriter& TsipWriter::PutBeU16(unsigned value) {
  return PutU8(value >> 8).PutU8(value);
}

TsipWriter& TsipWriter::PutBeI16(int value) {
  return PutBeU16(static_cast<uint16_t>(value));
}

TsipWriter& TsipWriter::PutBeU32(uint32_t value) {
  return PutBeU16(value >> 16).PutBeU16(value & 0xFFFF);
}

TsipWriter& TsipWriter::PutBeI32(int32_t value) {
  return PutBeU32(static_cast<uint32_t>(value));
}

TsipWriter& TsipWriter::PutBeF32(double value) {
  return PutBeU32(std::bit_cast<uint32_t>(static_cast<float>(value)));
}

TsipWriter& TsipWriter::PutBeF64(double value) {
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  return PutBeU32(static_cast<uint32_t>(bits >> 32)).PutBeU32(static_cast<uint32_t>(bits));
}

TsipWriter& TsipWriter::PutZeros(std::size_t count) {
  packet_.insert(packet_.end(), count, 0);
  return *this;
}

TsipWriter& TsipWriter::PutBytes(std::span<const uint8_t> bytes) {
  packet_.insert(packet_.end(), bytes.begin(), bytes.end());
  return *this;
}

void TsipWriter::AppendFrame(std::string& out) const {
  AppendTsipFrame(packet_, out);
}

void TsipWriter::AppendFrame(std::vector<uint8_t>& out) const {
  AppendTsipFrame(packet_, out);
}

std::vector<uint8_t> TsipWriter::Frame() const {
  std::vector<uint8_t> out;
  AppendTsipFrame(packet_, out);
  return out;
}

std::vector<uint8_t> TsipV1Packet(uint8_t id, uint8_t subcode, std::span<const uint8_t> data,
                                  uint8_t mode) {
  const std::size_t length = data.size() + 2;  // mode byte and checksum
  TsipWriter w(id);
  w.PutU8(subcode).PutBeU16(static_cast<unsigned>(length)).PutU8(mode).PutBytes(data);
  std::vector<uint8_t> packet = w.Packet();
  uint8_t sum = 0;
  for (uint8_t b : packet)
    sum ^= b;
  packet.push_back(sum);
  return packet;
}

void AppendTsipFrame(std::span<const uint8_t> packet, std::string& out) {
  Frame(packet, out);
}

void AppendTsipFrame(std::span<const uint8_t> packet, std::vector<uint8_t>& out) {
  Frame(packet, out);
}

}  // namespace navlib::tsip
