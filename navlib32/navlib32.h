// The C calling contract of navlib32.dll, the GPS engine. Every operation returns 0 for
// success. Portable declaration; the DLL exports these names undecorated (navlib32.def).
#pragma once

#include <cstdint>

#include "navlib32/navlib32_epoch.h"
#include "navlib32/navlib32_messages.h"
#include "navlib32/navlib32_player.h"
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

// Results of Pelmora_GetMessages other than 0.
enum NavMessagesResult : int32_t {
  kNavMessagesNotOpen = 1,      // the engine is closed
  kNavMessagesBadArgument = 2,  // null buffer, length or dropped, or a size below
                                // pelmora::kMaxMessageRecord
};

// Results of the replay player's calls (Pelmora_SeekEpoch, Pelmora_SeekTime, Pelmora_SeekStart,
// Pelmora_SeekEnd, Pelmora_StepBack, Pelmora_GetPlayerState) other than 0. On any of them the
// replay is left as it was.
enum NavSeekResult : int32_t {
  kNavSeekNotReplaying = 1,  // the engine is not replaying a log
  kNavSeekNotIndexed = 2,    // the index has not reached that epoch or time yet; try again later
  kNavSeekOutOfRange = 3,    // no such epoch in the log (below 0, or at or beyond its count)
  kNavSeekNotFound = 4,      // no epoch at or after that time, or a date the log does not state
  kNavSeekBadArgument = 5,   // time of day outside 0..86400, a malformed date, a null record
  kNavSeekFailed = 6,        // the log could not be read again at the epoch
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
// Copies the receiver's messages the engine framed since the last call, oldest first, as
// records (navlib32_messages.h): every NMEA sentence or TSIP frame with its status, and every
// damaged stretch of the stream. As many whole records as fit in size bytes (at least
// pelmora::kMaxMessageRecord, so one always fits); *length gets the bytes written, *dropped how
// many records the engine let go unread since the last call (it keeps 256 KiB of them, dropping
// the oldest). Records that do not fit wait for the next call. After a seek the messages are
// those of the epoch sought. 0 (*length may be 0) or a NavMessagesResult.
NAVLIB32_API int32_t Pelmora_GetMessages(uint8_t* buffer, int32_t size, int32_t* length,
                                         int64_t* dropped);
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

// The replay player. While replaying, the engine indexes the log (every epoch's byte offset and
// receiver time) a few megabytes at a time on each Pelmora_Poll and Pelmora_GetPlayerState, with
// a reader of its own; replay needs no index, seeking does. Epochs are numbered from 0 in log
// order: the epoch Pelmora_GetEpoch reports has the number sequence - 1, also after a seek.

// Makes epoch number `epoch` the last completed epoch, whole (fix, satellites, date, as a
// straight replay gives them there); the next Pelmora_Poll gives the epoch after it. A replay
// that had ended plays on. 0 or a NavSeekResult.
NAVLIB32_API int32_t Pelmora_SeekEpoch(int64_t epoch);
// Seeks to the first epoch, in log order, at or after a receiver time: utcSeconds the UTC time
// of day (0 <= utcSeconds < 86400), at its first occurrence at or after the log's first epoch
// or, with a date (year, month, day; year 0: none), on that date. Epochs without a time are
// passed over. *epoch (may be null) gets the epoch's number. 0 or a NavSeekResult.
NAVLIB32_API int32_t Pelmora_SeekTime(double utcSeconds, int32_t year, int32_t month, int32_t day,
                                      int64_t* epoch);
// The first epoch, and the last (once the index is complete).
NAVLIB32_API int32_t Pelmora_SeekStart();
NAVLIB32_API int32_t Pelmora_SeekEnd();
// One epoch back: Pelmora_SeekEpoch(current - 1). One epoch forward is Pelmora_Poll.
NAVLIB32_API int32_t Pelmora_StepBack();
// Fills state with what a track bar needs. 0 or a NavSeekResult.
NAVLIB32_API int32_t Pelmora_GetPlayerState(pelmora::PlayerState* state);
