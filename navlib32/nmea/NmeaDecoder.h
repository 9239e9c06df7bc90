// The NMEA 0183 decoder behind GpsDecoder: framer, sentence handlers and the shared fix state.
// Epochs follow the data's time of day: a fix sentence with a new time (GGA, RMC, GLL, GNS)
// completes the epoch in progress, as does a time-only sentence (ZDA, GST, GBS, GRS) while no
// fix sentence carries a time (NmeaEpochClock); GSA, GSV and the other timeless sentences
// belong to the epoch in progress. Portable: standard C++ only, no heap after construction.
#pragma once

#include "navlib32/FixState.h"
#include "navlib32/GpsDecoder.h"
#include "navlib32/nmea/NmeaFramer.h"
#include "navlib32/nmea/NmeaSentences.h"

namespace navlib::nmea {

struct NmeaDecoderCounters {
  NmeaFramerCounters framer;
  NmeaSentenceCounters sentences;
};

class NmeaDecoder final : public GpsDecoder {
 public:
  std::size_t Feed(const uint8_t* data, std::size_t size, double nowSeconds) override;
  bool EpochComplete() const override { return state_.EpochCompleted(); }
  void TakeEpoch() override { state_.TakeEpoch(); }
  void Flush() override;
  void GetFix(pelmora::FixRecord& out, double nowSeconds) const override {
    state_.MakeRecord(out, nowSeconds);
  }
  int GetSatellites(pelmora::SatDetail* out, int capacity, double nowSeconds) const override {
    return state_.AllSatellites(out, capacity, nowSeconds);
  }
  bool GetDate(int& year, int& month, int& day, double nowSeconds) const override {
    return state_.Date(year, month, day, nowSeconds);
  }
  int64_t EpochOffset() const override { return state_.LatestOffset(); }
  void SetMessageTap(MessageTap* tap) override;
  std::unique_ptr<GpsDecoder> Clone() const override;
  std::size_t StateBytes() const override { return sizeof *this; }

  NmeaDecoderCounters Counters() const { return {framer_.Counters(), sentences_}; }
  const FixState& State() const { return state_; }

 private:
  void Handle(const NmeaSentence& sentence, double nowSeconds);
  // Tells the tap about a step of the framer over data (the sentence it completed, or null).
  void Tap(const uint8_t* data, std::size_t size, const NmeaSentence* sentence);

  NmeaFramer framer_;
  FixState state_;
  NmeaEpochClock clock_;
  NmeaSentenceCounters sentences_;
  double lastNow_ = 0.0;
  int64_t consumed_ = 0;      // bytes Feed has consumed
  int64_t messageStart_ = 0;  // just after the last sentence framed
  MessageTap* tap_ = nullptr;
  uint64_t tapRejoined_ = 0;  // the framer's rejoined sentences the tap has heard of
};

}  // namespace navlib::nmea
