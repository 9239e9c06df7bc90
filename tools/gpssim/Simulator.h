// gpssim's core: a moving receiver under GPS (and, when asked, GLONASS, Galileo and BeiDou)
// constellations, epoch by epoch, encoded as NMEA 0183 or TSIP. Portable and deterministic (no
// clock, no I/O) so that tests can compare the epochs it meant with what the decoders make of its
// output.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace gpssim {

enum class Protocol { Nmea, Tsip };

// Satellite systems, as bits of SimConfig::systems.
enum class System { Gps = 1, Glonass = 2, Galileo = 4, Beidou = 8 };
constexpr unsigned kAllSystems = 15;

struct SimSat {
  System system = System::Gps;
  int prn = 0;  // within its system as NMEA talkers number it: GPS 1-32, GLONASS 65-88,
                // Galileo 1-24, BeiDou 19-42
  double azimuthDeg = 0;
  double elevationDeg = 0;
  double snrDbHz = 0;  // whole dB-Hz, as sent
  bool used = false;
};

// One fix cycle as the simulated receiver reports it.
struct Epoch {
  int64_t unixSeconds = 0;  // UTC, whole seconds since 1970-01-01
  double utcSecondsOfDay = 0;
  int year = 0, month = 0, day = 0;
  double latitudeDeg = 0, longitudeDeg = 0;
  double geoidHeightMetres = 0;  // above mean sea level
  double geoidSeparationMetres = 0;
  double ellipsoidHeightMetres = 0;  // geoidHeight + separation
  double speedMps = 0;
  double trueHeadingDeg = 0;
  double magVariationDeg = 0;  // magnetic heading = true heading + magVariation
  double eastMps = 0, northMps = 0, upMps = 0;
  double pdop = 0, hdop = 0, vdop = 0, tdop = 0;
  int fixMode = 3;  // 1 none, 2 2D, 3 3D
  int usedCount = 0;
  std::vector<SimSat> sats;  // in view, by system, then ascending PRN
};

struct Faults {
  int badChecksumEvery = 0;  // NMEA: every Nth sentence carries a wrong checksum (0: never)
  int noiseEvery = 0;        // every Nth epoch is preceded by a burst of random bytes (0: never)
};

struct SimConfig {
  Protocol protocol = Protocol::Nmea;
  double latitudeDeg = 52.5200;
  double longitudeDeg = 13.4050;
  double heightMetres = 45.0;  // above mean sea level
  double geoidSeparationMetres = 39.7;
  int64_t startUnixSeconds = 1710504000;  // 2024-03-15 12:00:00 UTC
  double speedMps = 12.0;
  double headingDeg = 45.0;
  double turnRateDegPerSec = 0.0;
  double climbMps = 0.0;
  double magVariationDeg = -3.5;  // easterly 3.5 degrees
  double elevationMaskDeg = 10.0;
  int leapSeconds = 18;
  unsigned systems = static_cast<unsigned>(System::Gps);  // bits of System
  uint32_t seed = 1;
  Faults faults;
};

// The encoded bytes of one epoch and whether injected faults touched them.
struct EncodedEpoch {
  Epoch epoch;
  std::string bytes;
  bool damaged = false;
};

class Simulator {
 public:
  explicit Simulator(const SimConfig& config);

  // The next epoch (one second after the previous one), not yet encoded.
  Epoch NextEpoch();
  // The next epoch with its encoding in the configured protocol, faults applied.
  EncodedEpoch Next();

  const SimConfig& config() const { return config_; }

 private:
  void Advance();
  void AddSky(Epoch& e) const;
  void ChooseUsed(Epoch& e) const;
  std::string NoiseBurst();

  SimConfig config_;
  int64_t index_ = 0;
  double latitudeDeg_, longitudeDeg_, heightMetres_, headingDeg_;
  int sentenceCounter_ = 0;
  std::mt19937 rng_;
};

// Parses a list of systems ("gps,glonass,galileo,beidou" or "all") into bits of System;
// false on an unknown name.
bool ParseSystems(const std::string& text, unsigned* systems);

// Parses "YYYY-MM-DDTHH:MM:SS" (UTC); false on malformed text.
bool ParseUtc(const std::string& text, int64_t* unixSeconds);

// Encoders of one epoch. badChecksumEvery/sentenceCounter implement the checksum fault: the
// counter runs over all sentences sent, and each Nth one is corrupted; *damaged is set then.
std::string EncodeNmea(const Epoch& epoch, int badChecksumEvery, int* sentenceCounter,
                       bool* damaged);
std::string EncodeTsip(const Epoch& epoch, int leapSeconds);

}  // namespace gpssim
