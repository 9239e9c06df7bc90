// Messages the engine sends to a receiver when the port opens: the ReceiverSettings as TSIP
// commands, or the lines of an NMEA settings file. Portable: builds bytes, sends nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "navlib32/navlib32_records.h"

namespace navlib {

// Settings files are short lists of commands; these bounds keep a wrong file from flooding the
// receiver (NMEA allows 82 characters a sentence; slack for proprietary commands).
constexpr std::size_t kMaxSetupLines = 200;
constexpr std::size_t kMaxSetupLineLength = 250;

// TSIP commands for the settings, in the order they are sent: 0x35 I/O options (LLA in double
// precision, the 0x8F-20 superpacket, ENU velocity, signal in dB-Hz, the height reference),
// 0x2C and 0xBB operating parameters (dynamics, elevation, signal and PDOP masks, PDOP
// switch; 0xBB also the fix dimension), 0x22 fix dimension, 0x2A altitude for 2D fixes, and 0x2B
// initial position when one is known. Out-of-range fields are clamped.
std::string BuildTsipSetup(const pelmora::ReceiverSettings& settings);

// "$BODY" or "$BODY*HH" (any surrounding blanks) as a sentence to send: "$BODY*HH\r\n". A line
// that already ends in a checksum keeps it. Empty when the line is no sentence (it does not
// start with '$', or is empty after the '$').
std::string NmeaSetupSentence(std::string_view line);

// The sentences of an NMEA settings file, one per line (CR LF or LF); other lines (comments,
// blank lines) are skipped, overlong lines too. False when the file cannot be read.
bool ReadNmeaSetup(const std::string& path, std::vector<std::string>* sentences);

}  // namespace navlib
