// Questions the engine tests ask of a fix record.
#pragma once

#include <cstdint>

#include "navlib32/navlib32_records.h"

namespace recordcheck {

// True when every bit of bits is set in the record's validity flags.
inline bool Has(const pelmora::FixRecord& r, uint16_t bits) {
  return (r.validFlags & bits) == bits;
}

// The record's slot of satellite prn, or null.
inline const pelmora::SatInfo* FindSat(const pelmora::FixRecord& r, int prn) {
  for (const auto& s : r.sats) {
    if (s.prn == prn) return &s;
  }
  return nullptr;
}

}  // namespace recordcheck
