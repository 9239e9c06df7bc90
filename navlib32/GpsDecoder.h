// Byte-fed GPS decoders (NMEA 0183 and TSIP) behind one interface, shared by the serial port,
// log replay, the navdump tool and the fuzzers. Portable: no I/O, no clock; time is a parameter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "navlib32/navlib32_epoch.h"
#include "navlib32/navlib32_records.h"

namespace navlib {

enum class Protocol { Nmea, Tsip };

class MessageTap;

class GpsDecoder {
 public:
  virtual ~GpsDecoder() = default;

  // Feeds received bytes; nowSeconds is a monotonic clock reading (the arrival time). Stops where
  // an epoch (one fix cycle) completes and returns how many bytes it consumed: up to and including
  // the completing byte or, for a sentence ended by the start of the next one, up to just before
  // that start (so it can return 0). Returns size when no epoch completed. Never blocks or throws.
  virtual std::size_t Feed(const uint8_t* data, std::size_t size, double nowSeconds) = 0;

  // True once Feed has completed an epoch that TakeEpoch has not yet acknowledged.
  virtual bool EpochComplete() const = 0;
  virtual void TakeEpoch() = 0;

  // End of input (end of a replayed log): the epoch in progress, if it holds data, completes.
  // A decoder may hold more than one epoch at the end; call Flush again (taking each epoch)
  // until no epoch completes.
  virtual void Flush() = 0;

  // The fix of the last completed epoch as the engine reports it. Fields of a receiver that has
  // sent nothing decodable for a few seconds before nowSeconds are reported invalid.
  virtual void GetFix(pelmora::FixRecord& out, double nowSeconds) const = 0;

  // Every satellite of the last completed epoch that is current at nowSeconds (all systems,
  // each once), in system and number order, at most capacity of them; returns how many.
  virtual int GetSatellites(pelmora::SatDetail* out, int capacity, double nowSeconds) const = 0;

  // The calendar date of the last completed epoch, when the receiver sent one (FixRecord has
  // none; GPX time stamps need it). False when unknown.
  virtual bool GetDate(int& year, int& month, int& day, double nowSeconds) const {
    (void)year, (void)month, (void)day, (void)nowSeconds;
    return false;
  }

  // Where the last completed epoch begins in the bytes fed so far: just after the last message
  // of the epoch before it. -1 when unknown.
  virtual int64_t EpochOffset() const { return -1; }

  // From now on every message framed, good or damaged, also goes to tap (null: none). The tap
  // must outlive the decoder or be detached first.
  virtual void SetMessageTap(MessageTap* tap) { (void)tap; }

  // A copy of the decoder's whole state, attached to no message tap: fed the same bytes from
  // here on, it decodes exactly as this one does (a seek resumes from such copies). Null when the
  // decoder cannot be copied.
  virtual std::unique_ptr<GpsDecoder> Clone() const { return nullptr; }
  // Bytes a copy holds.
  virtual std::size_t StateBytes() const { return 0; }
};

// True when the record shows a current fix: position valid and, when a fix mode is given, 2D
// or better. This is Pelmora_GetInfo's result (the status light).
bool RecordHasFix(const pelmora::FixRecord& record);

// The last completed epoch of the decoder as the engine reports it at nowSeconds: its record,
// every current satellite by system and svid, its date when known (kEpochHasFix and
// kEpochHasDate set accordingly) and its offset in the decoder's input. sequence is left 0 and
// the other flags clear: they are the caller's to say.
void FillEpoch(const GpsDecoder& decoder, double nowSeconds, pelmora::Epoch& epoch);

// How plainly a stretch of a stream holds each protocol: NMEA sentence starts ("$" + five
// letters or digits + ",") and TSIP packet boundaries (DLE ETX followed by DLE and a packet id).
struct ProtocolEvidence {
  int nmea = 0;
  int tsip = 0;
};
ProtocolEvidence SniffProtocol(const uint8_t* data, std::size_t size);

// Guesses the protocol from the first bytes of a stream: the one with more evidence; NMEA when
// unsure.
Protocol DetectProtocol(const uint8_t* data, std::size_t size);

}  // namespace navlib
