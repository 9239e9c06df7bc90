// The C calling contract of navlib32.dll, the GPS engine. Every operation returns 0 for
// success. Portable declaration; the DLL exports these names undecorated (navlib32.def).
#pragma once

#include <cstdint>

#include "navlib32/navlib32_epoch.h"
#include "navlib32/navlib32_records.h"

#if defined(_WIN32) && defined(NAVLIB32_BUILD)
#define NAVLIB32_API extern "C" __declspec(dllexport)
#elif defined(_WIN32)
#define NAVLIB32_API extern "C" __declspec(dllimport)
#else
#define NAVLIB32_API extern "C"
#endif

// Results of Pelmora_Open other than 0.
enum NavOpenResult : int32_t {
  kNavOpenBadArgument = -1,     // unknown receiver type, null or overlong source
  kNavOpenPortMissing = -2,     // the serial port does not exist or is in use, or a source
                                // begins with "COM" but names no port ("compass.gps")
  kNavOpenPortSetup = -3,       // the port opened but its line settings were refused
  kNavOpenFileMissing = -4,     // the log to replay cannot be opened, or names a device
  kNavOpenFileNotGps = -5,      // the log holds no NMEA or TSIP data
  kNavOpenReceiverSetup = -10,  // the settings could not be sent to the receiver
};

// Results of Pelmora_Poll other than 0. A failure of the port or the log read, and the end of
// the log, stay reported until Pelmora_Close; kNavPollLogFailed is reported once and the engine
// stays open. A quiet receiver is no failure: its fields turn invalid after a few seconds
// instead.
enum NavPollResult : int32_t {
  kNavPollNotOpen = 1,     // called while the engine is closed
  kNavPollPortFailed = 2,  // read error, or the device vanished (or the log cannot be read)
  kNavPollEndOfLog = 3,    // the replayed log has no more epochs
  kNavPollLogFailed = 4,   // the recording could not be written; recording has stopped, the
                           // port is still read (this poll's data decoded)
};

// Results of Pelmora_StartLog other than 0.
enum NavLogResult : int32_t {
  kNavLogNotLive = 1,      // the engine is not open on a serial port
  kNavLogCannotOpen = 2,   // the log file cannot be created
  kNavLogBadArgument = 3,  // null, empty or overlong path, or a serial port or device name
};

// Results of Pelmora_GetSentences other than 0.
enum NavSentencesResult : int32_t {
  kNavSentencesNotOpen = 1,      // the engine is closed
  kNavSentencesNotNmea = 2,      // the source is decoded as TSIP: it has no sentences
  kNavSentencesBadArgument = 3,  // null buffer or length, or a size below 1
};

// Results of Pelmora_GetSatellites other than 0.
enum NavSatellitesResult : int32_t {
  kNavSatellitesNotOpen = 1,      // the engine is closed
  kNavSatellitesBadArgument = 2,  // null list or count, or a capacity below 0
};

// Results of Pelmora_GetEpoch other than 0.
enum NavEpochResult : int32_t {
  kNavEpochNotOpen = 1,      // the engine is closed (the epoch is zeros, logOffset -1)
  kNavEpochBadArgument = 2,  // null epoch
};

// Opens "COMn" or "\\.\COMn" (live, n 1..255) or a log file (replay); another device path
// (\\.\name) is refused with kNavOpenFileMissing. receiverType 1 NMEA 0183, 2 TSIP; a
// replayed log that plainly holds the other protocol is decoded as such. commInfo may be null
// (the type's defaults); settings may be null (nothing is sent to the receiver). Any open engine
// is closed first. 0 or a NavOpenResult.
NAVLIB32_API int32_t Pelmora_Open(int32_t receiverType, const char* source,
                                  const pelmora::CommInfo* commInfo,
                                  const pelmora::ReceiverSettings* settings);
// Live: reads what the port holds (never blocks) and records it. Replay: advances one epoch.
// 0 or a NavPollResult.
NAVLIB32_API int32_t Pelmora_Poll();
// Fills the record (zeros while closed); non-zero while the receiver delivers a current fix.
NAVLIB32_API int32_t Pelmora_GetInfo(pelmora::FixRecord* record);
// Records every byte received from the port, as received. 0 or a NavLogResult.
NAVLIB32_API int32_t Pelmora_StartLog(const char* path);
NAVLIB32_API int32_t Pelmora_StopLog();
NAVLIB32_API int32_t Pelmora_Close();
// NMEA: 4800 baud 8N1; TSIP: 9600 baud, 8 data bits, odd parity, 1 stop bit. 0, or
// kNavOpenBadArgument for an unknown type or a null record.
NAVLIB32_API int32_t Pelmora_GetDefaultCommInfo(int32_t receiverType, pelmora::CommInfo* commInfo);
// Formats a latitude (kind 0) or longitude (kind 1) into out (32 bytes). format 0..5,
// decimals 1..10 (clamped); the two trailing integers are 0 and 1 by convention.
NAVLIB32_API int32_t llcvt_dbl2str(char* out, double degrees, int32_t kind, int32_t format,
                                   int32_t decimals, int32_t reserved0, int32_t reserved1);
// Copies the checksum-valid NMEA sentences the engine decoded since the last call, oldest first,
// each as received ("$...*hh" CR LF, the checksum's hex digits in upper case), as many whole
// ones as fit in size bytes, zero-terminated when room is left; *length gets the bytes written.
// Sentences that do not fit wait for the next call; the engine keeps 64 KiB of them at most,
// dropping the oldest. 0 (NMEA source, *length may be 0) or a NavSentencesResult.
NAVLIB32_API int32_t Pelmora_GetSentences(char* buffer, int32_t size, int32_t* length);
// Fills sats with every satellite the receiver reports now, all systems (a satellite heard on
// several signals once, with its strongest signal), in system and number order: at most
// capacity entries and at most pelmora::kMaxAllSats (64); *count gets how many. FixRecord's
// twelve are chosen from these. 0 (also while nothing is heard, *count 0) or a
// NavSatellitesResult.
NAVLIB32_API int32_t Pelmora_GetSatellites(pelmora::SatDetail* sats, int32_t capacity,
                                           int32_t* count);
// Fills epoch with the last completed epoch, whole: the record Pelmora_GetInfo gives (its
// result as kEpochHasFix), every current satellite with its system and svid, the receiver's UTC
// date when it has stated one, the count of epochs since the open and, in replay, the epoch's
// byte offset in the log. One call after each poll gives a program everything the other reads
// give. 0 or a NavEpochResult.
NAVLIB32_API int32_t Pelmora_GetEpoch(pelmora::Epoch* epoch);
