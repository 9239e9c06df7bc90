// navdump's output formats: one FixRecord as a JSON line, and GPX 1.1 track points. Written
// with std::to_chars into a caller's buffer (no streams, no locale): navdump formats every epoch
// of large logs. Portable: standard C++ only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "navlib32/navlib32_records.h"

namespace navdump {

// The receiver's UTC date of an epoch; year 0 when unknown.
struct UtcDate {
  int year = 0, month = 0, day = 0;
};

// Worst case of one JSON line: 15 numbers of at most 24 characters, 12 satellites of 5 numbers,
// the key names and punctuation; rounded up.
constexpr std::size_t kMaxJsonLine = 2048;

// Writes the record as one JSON object and a newline into out (at least kMaxJsonLine bytes);
// returns the length. Keys in record order; sats lists the occupied slots; "utcDate"
// ("YYYY-MM-DD") last when the date is known.
std::size_t FormatFixJson(const pelmora::FixRecord& record, char* out, const UtcDate& date = {});

// The same with every satellite heard after the record's keys: "allSats", each satellite with
// its "system" ("GPS", "SBAS", "GLONASS", "Galileo", "BeiDou", "QZSS", "NavIC", "other"), prn,
// used, azimuth, elevation and snr. out holds at least kMaxJsonLineAllSats bytes; count is at
// most pelmora::kMaxAllSats.
constexpr std::size_t kMaxJsonLineAllSats = kMaxJsonLine + 96 * pelmora::kMaxAllSats;
std::size_t FormatFixJson(const pelmora::FixRecord& record, const pelmora::SatDetail* all,
                          int count, char* out, const UtcDate& date = {});

// Formats records one after another as FormatFixJson does, faster: the text of each run of
// fields (the status fields, the heights and motion, the satellites, the date) and of each
// number of the previous record is kept, and what did not change is copied instead of
// formatted again.
class FixJsonFormatter {
 public:
  std::size_t Format(const pelmora::FixRecord& record, char* out, const UtcDate& date = {});
  std::size_t Format(const pelmora::FixRecord& record, const pelmora::SatDetail* all, int count,
                     char* out, const UtcDate& date = {});

  // The text of a number, or of a run of fields, and the bytes it was made from. Texts are
  // copied in blocks of kTextBlock bytes (whole blocks are kept).
  static constexpr std::size_t kTextBlock = 32;
  template <std::size_t kInputBytes, std::size_t kTextBytes>
  struct Kept {
    std::array<unsigned char, kInputBytes> input{};
    std::size_t length = 0;  // 0: nothing kept yet
    std::array<char, kTextBytes> text{};
  };
  struct Cache {
    // latitude, longitude, ellipsoidHeight, pdop; geoidHeight, speed, trueHeading,
    // magVariation, depth (in motion: some change every epoch, others never)
    Kept<8, kTextBlock> numbers[9];
    Kept<6, 2 * kTextBlock> status;      // validFlags, status, fixMode
    Kept<5 * 8, 6 * kTextBlock> motion;  // geoidHeight, speed, trueHeading, magVariation, depth
    Kept<2 + sizeof(pelmora::SatInfo) * pelmora::kMaxSats, 32 * kTextBlock> sats;  // and satCount
    Kept<sizeof(UtcDate), kTextBlock> date;  // with the end of the line
    // Texts just written to the line, copied to their Kept once the line is done: read back at
    // once, bytes stored one or two at a time would stall the processor.
    struct Pending {
      char* text;
      const char* from;
      std::size_t length;
    };
    std::array<Pending, 16> pending{};
    std::size_t pendingCount = 0;
  };

 private:
  Cache cache_;
};

// Writes the shortest text that reads back as value (the closest such text, a tie to the even
// last digit) exactly as std::to_chars(out, end, value) does, for values with a fractional part
// and a magnitude of at least 2^-10 (larger than 2^52, or 2^23 for a float, all are whole), in
// exact 128-bit integer arithmetic; returns the end, or null (having written nothing) for any
// other value or when the text would have more than 17 decimals. out holds at least 48 bytes;
// those past the end may be overwritten.
char* ShortestFraction(double value, char* out);
char* ShortestFraction(float value, char* out);

// The name of a pelmora::SatSystem code, as in "allSats".
const char* SystemName(int16_t system);

constexpr std::size_t kMaxGpxPoint = 256;

const char* GpxHeader();
const char* GpxFooter();

// One <trkpt> for a record with a valid position (returns 0 otherwise): latitude, longitude,
// elevation above mean sea level when valid, time when the date is known and the time valid.
std::size_t FormatGpxPoint(const pelmora::FixRecord& record, const UtcDate& date, char* out);

}  // namespace navdump
