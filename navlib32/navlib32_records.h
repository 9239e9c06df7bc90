// Records exchanged with the GPS engine navlib32 across its DLL boundary, and the receiver
// status codes the engine reports. Portable: standard C++ only. Layouts are fixed
// (little-endian, packed) and checked below, field by field.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelmora {

#pragma pack(push, 1)

// Serial line parameters: 8 bytes.
struct CommInfo {
  int16_t baudRate;  // 1200, 2400, 4800 or 9600
  int16_t parity;    // 0 none, 1 odd, 2 even
  int16_t dataBits;  // 7 or 8
  int16_t stopBits;  // 0 one, 1 two
};

constexpr std::size_t kReceiverPathSize = 257;

// Receiver parameters handed to Pelmora_Open: 570 bytes of fields in a 576-byte block.
struct ReceiverSettings {
  int16_t changed;          // set to 1 whenever the program stores new values
  int16_t fixMode;          // 0 automatic 2D/3D, 3 2D only, 4 3D only
  int16_t fixedTwo;         // always 2
  int16_t trackMode;        // 0 best 4 satellites, 1 highest 6
  int16_t heightReference;  // 0 ellipsoid, 1 mean sea level (geoid)
  int16_t dynamics;         // 1 land, 2 sea, 3 air, 4 stationary
  int32_t reserved12;       // always 0
  double initLatitude;      // whole degrees
  double initLongitude;     // whole degrees
  double reserved32;        // always 0.0
  double altitude2d;        // metres, for 2D-only fixes
  int16_t elevationMask;    // degrees 0..90
  int16_t signalMask;       // 0..99
  int16_t pdopMask;         // 0..99
  int16_t pdopSwitch;       // 1..20
  char almanacPath[kReceiverPathSize];
  char nmeaSettingsPath[kReceiverPathSize];
  uint8_t padding[6];
};

// Satellite slot of FixRecord: 10 bytes.
struct SatInfo {
  int16_t prn;  // 0 = empty slot
  int16_t used;
  int16_t azimuth;
  int16_t elevation;
  int16_t snr;
};

constexpr int kMaxSats = 12;

// One satellite of the full list of Pelmora_GetSatellites: 12 bytes. system is a SatSystem.
struct SatDetail {
  int16_t prn;  // as in SatInfo
  int16_t system;
  int16_t used;
  int16_t azimuth;
  int16_t elevation;
  int16_t snr;
};

// Satellites the engine keeps and Pelmora_GetSatellites lists at most.
constexpr int kMaxAllSats = 64;

// The current fix: 240 bytes.
struct FixRecord {
  uint16_t validFlags;
  int16_t status;
  int16_t fixMode;  // 0/1 none, 2 2D, 3 3D, 4 2D DGPS, 5 3D DGPS
  uint8_t reserved6[2];
  double utcSeconds;
  uint8_t reserved16[8];
  double latitude;
  double longitude;
  double ellipsoidHeight;
  double geoidHeight;
  double speed;  // metres per second
  double trueHeading;
  double magVariation;  // magnetic heading = trueHeading + magVariation
  double depth;
  float pdop;
  uint8_t reserved92[12];
  int16_t satCount;
  SatInfo sats[kMaxSats];
  uint8_t reserved226[14];
};

#pragma pack(pop)

// Bits of FixRecord::validFlags.
enum ValidBits : uint16_t {
  kValidStatus = 0x0001,
  kValidFixMode = 0x0002,
  kValidTime = 0x0004,
  kValidPosition = 0x0010,
  kValidGeoidHeight = 0x0020,
  kValidEllipsoidHeight = 0x0040,
  kValidSpeed = 0x0080,
  kValidHeading = 0x0100,
  kValidGeometry = 0x1000,  // prn, used, azimuth, elevation and pdop
  kValidSignal = 0x2000,    // prn, used and snr
};

// Receiver status codes of FixRecord::status, after the usual receiver health reports.
// The display text of code n is resource string 34 + n.
enum class ReceiverStatus : int16_t {
  NoGpsTime = 0,          // no GPS time yet
  DoingFixes = 1,         // doing position fixes
  PdopTooHigh = 2,        // PDOP is too high
  NoUsableSats = 3,       // no usable satellites
  OneUsableSat = 4,       // only 1 usable satellite
  TwoUsableSats = 5,      // only 2 usable satellites
  ThreeUsableSats = 6,    // only 3 usable satellites
  ChosenSatUnusable = 7,  // the chosen satellite is unusable
  NoData = 8,             // no data from the receiver
  Acquiring = 9,          // searching for satellites
};
constexpr int kReceiverStatusCount = 10;

// Satellite systems of SatDetail::system.
enum class SatSystem : int16_t {
  Gps = 0,
  Sbas = 1,
  Glonass = 2,
  Galileo = 3,
  Beidou = 4,
  Qzss = 5,
  Navic = 6,
  Other = 7,
};

// Receiver types of Pelmora_Open.
enum class ReceiverType : int32_t { Nmea = 1, Tsip = 2 };

static_assert(sizeof(CommInfo) == 8);
static_assert(offsetof(CommInfo, baudRate) == 0);
static_assert(offsetof(CommInfo, parity) == 2);
static_assert(offsetof(CommInfo, dataBits) == 4);
static_assert(offsetof(CommInfo, stopBits) == 6);

static_assert(sizeof(ReceiverSettings) == 576);
static_assert(offsetof(ReceiverSettings, changed) == 0);
static_assert(offsetof(ReceiverSettings, fixMode) == 2);
static_assert(offsetof(ReceiverSettings, fixedTwo) == 4);
static_assert(offsetof(ReceiverSettings, trackMode) == 6);
static_assert(offsetof(ReceiverSettings, heightReference) == 8);
static_assert(offsetof(ReceiverSettings, dynamics) == 10);
static_assert(offsetof(ReceiverSettings, reserved12) == 12);
static_assert(offsetof(ReceiverSettings, initLatitude) == 16);
static_assert(offsetof(ReceiverSettings, initLongitude) == 24);
static_assert(offsetof(ReceiverSettings, reserved32) == 32);
static_assert(offsetof(ReceiverSettings, altitude2d) == 40);
static_assert(offsetof(ReceiverSettings, elevationMask) == 48);
static_assert(offsetof(ReceiverSettings, signalMask) == 50);
static_assert(offsetof(ReceiverSettings, pdopMask) == 52);
static_assert(offsetof(ReceiverSettings, pdopSwitch) == 54);
static_assert(offsetof(ReceiverSettings, almanacPath) == 56);
static_assert(offsetof(ReceiverSettings, nmeaSettingsPath) == 313);
static_assert(offsetof(ReceiverSettings, padding) == 570);

static_assert(sizeof(SatInfo) == 10);
static_assert(sizeof(SatDetail) == 12);
static_assert(offsetof(SatDetail, prn) == 0);
static_assert(offsetof(SatDetail, system) == 2);
static_assert(offsetof(SatDetail, used) == 4);
static_assert(offsetof(SatDetail, azimuth) == 6);
static_assert(offsetof(SatDetail, elevation) == 8);
static_assert(offsetof(SatDetail, snr) == 10);
static_assert(sizeof(FixRecord) == 240);
static_assert(offsetof(FixRecord, validFlags) == 0);
static_assert(offsetof(FixRecord, status) == 2);
static_assert(offsetof(FixRecord, fixMode) == 4);
static_assert(offsetof(FixRecord, utcSeconds) == 8);
static_assert(offsetof(FixRecord, latitude) == 24);
static_assert(offsetof(FixRecord, longitude) == 32);
static_assert(offsetof(FixRecord, ellipsoidHeight) == 40);
static_assert(offsetof(FixRecord, geoidHeight) == 48);
static_assert(offsetof(FixRecord, speed) == 56);
static_assert(offsetof(FixRecord, trueHeading) == 64);
static_assert(offsetof(FixRecord, magVariation) == 72);
static_assert(offsetof(FixRecord, depth) == 80);
static_assert(offsetof(FixRecord, pdop) == 88);
static_assert(offsetof(FixRecord, satCount) == 104);
static_assert(offsetof(FixRecord, sats) == 106);
static_assert(offsetof(FixRecord, reserved226) == 226);

}  // namespace pelmora
