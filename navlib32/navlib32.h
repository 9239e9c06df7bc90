// The C calling contract of navlib32.dll, the GPS engine. Every operation returns 0 for
// success. Portable declaration; the DLL exports these names undecorated (navlib32.def).
#pragma once

#include <cstdint>

#include "app/engine/EngineRecords.h"

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
  kNavOpenPortMissing = -2,     // the serial port does not exist or is in use
  kNavOpenPortSetup = -3,       // the port opened but its line settings were refused
  kNavOpenFileMissing = -4,     // the log to replay cannot be opened
  kNavOpenFileNotGps = -5,      // the log holds no NMEA or TSIP data
  kNavOpenReceiverSetup = -10,  // the receiver did not take its settings
};

// Results of Pelmora_Poll other than 0.
enum NavPollResult : int32_t {
  kNavPollNotOpen = 1,     // called while the engine is closed
  kNavPollPortFailed = 2,  // read error, or the device vanished
  kNavPollEndOfLog = 3,    // the replayed log has no more epochs
};

// Results of Pelmora_StartLog other than 0.
enum NavLogResult : int32_t {
  kNavLogNotLive = 1,      // the engine is not open on a serial port
  kNavLogCannotOpen = 2,   // the log file cannot be created
  kNavLogBadArgument = 3,  // null or overlong path
};

NAVLIB32_API int32_t Pelmora_Open(int32_t receiverType, const char* source,
                                  const pelmora::CommInfo* commInfo,
                                  const pelmora::ReceiverSettings* settings);
NAVLIB32_API int32_t Pelmora_Poll();
NAVLIB32_API int32_t Pelmora_GetInfo(pelmora::FixRecord* record);
NAVLIB32_API int32_t Pelmora_StartLog(const char* path);
NAVLIB32_API int32_t Pelmora_StopLog();
NAVLIB32_API int32_t Pelmora_Close();
NAVLIB32_API int32_t Pelmora_GetDefaultCommInfo(int32_t receiverType, pelmora::CommInfo* commInfo);
// Formats a latitude (kind 0) or longitude (kind 1) into out (32 bytes). format 0..5,
// decimals 1..10 (clamped); the two trailing integers are 0 and 1 by convention.
NAVLIB32_API int32_t llcvt_dbl2str(char* out, double degrees, int32_t kind, int32_t format,
                                   int32_t decimals, int32_t reserved0, int32_t reserved1);
