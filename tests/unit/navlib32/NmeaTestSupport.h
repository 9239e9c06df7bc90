// Helpers of the NMEA decoder tests: checksummed sentences and decoding with any chunking.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "navlib32/nmea/NmeaChecksum.h"
#include "navlib32/nmea/NmeaDecoder.h"

namespace navlib::nmea::testing {

// "$" body "*" checksum CR LF.
inline std::string Nmea(std::string_view body) {
  return NmeaSentenceOf(body);
}

struct Decoded {
  std::vector<pelmora::FixRecord> epochs;
  NmeaDecoderCounters counters;
};

// Feeds bytes in pieces ending at the given cut offsets (ascending), then flushes; collects
// the record of every completed epoch. The clock is fixed: only the data's time ages values.
inline Decoded DecodePieces(const std::string& bytes, const std::vector<std::size_t>& cuts) {
  NmeaDecoder decoder;
  Decoded out;
  auto feed = [&](std::size_t from, std::size_t to) {
    while (from < to) {
      from += decoder.Feed(reinterpret_cast<const uint8_t*>(bytes.data()) + from, to - from, 0.0);
      if (decoder.EpochComplete()) {
        pelmora::FixRecord r;
        decoder.GetFix(r, 0.0);
        out.epochs.push_back(r);
        decoder.TakeEpoch();
      }
    }
  };
  std::size_t at = 0;
  for (std::size_t cut : cuts) {
    feed(at, cut);
    at = cut;
  }
  feed(at, bytes.size());
  decoder.Flush();
  if (decoder.EpochComplete()) {
    pelmora::FixRecord r;
    decoder.GetFix(r, 0.0);
    out.epochs.push_back(r);
    decoder.TakeEpoch();
  }
  out.counters = decoder.Counters();
  return out;
}

inline Decoded DecodeWhole(const std::string& bytes) {
  return DecodePieces(bytes, {});
}

inline Decoded DecodeByteByByte(const std::string& bytes) {
  std::vector<std::size_t> cuts;
  for (std::size_t i = 1; i < bytes.size(); ++i)
    cuts.push_back(i);
  return DecodePieces(bytes, cuts);
}

inline bool SameRecord(const pelmora::FixRecord& a, const pelmora::FixRecord& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

inline bool SameDecoding(const Decoded& a, const Decoded& b) {
  if (a.epochs.size() != b.epochs.size()) return false;
  for (std::size_t i = 0; i < a.epochs.size(); ++i) {
    if (!SameRecord(a.epochs[i], b.epochs[i])) return false;
  }
  const NmeaFramerCounters& fa = a.counters.framer;
  const NmeaFramerCounters& fb = b.counters.framer;
  return fa.bytes == fb.bytes && fa.sentences == fb.sentences &&
         fa.checksumFailures == fb.checksumFailures && fa.overlong == fb.overlong &&
         fa.interrupted == fb.interrupted && fa.skipped == fb.skipped &&
         a.counters.sentences.decoded == b.counters.sentences.decoded &&
         a.counters.sentences.unknown == b.counters.sentences.unknown &&
         a.counters.sentences.malformed == b.counters.sentences.malformed &&
         a.counters.sentences.late == b.counters.sentences.late;
}

}  // namespace navlib::nmea::testing
