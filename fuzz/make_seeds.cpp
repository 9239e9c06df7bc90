// Writes the seed corpora of the fuzz targets: short gpssim logs (clean, damaged, noisy, both
// protocols, several places and motions) and hand-written NMEA sentences and TSIP packets of
// every kind the decoders know. Each seed starts with the control byte the targets read first.
//   make_seeds OUTDIR   ->  OUTDIR/nmea, OUTDIR/tsip, OUTDIR/replay
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "navlib32/nmea/NmeaChecksum.h"
#include "navlib32/tsip/TsipWriter.h"
#include "tools/gpssim/Simulator.h"

namespace {

namespace fs = std::filesystem;

bool WriteSeed(const fs::path& dir, const std::string& name, uint8_t control,
               const std::string& bytes) {
  std::FILE* f = std::fopen((dir / name).string().c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fputc(control, f) != EOF &&
                  std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string Simulate(gpssim::SimConfig config, int epochs) {
  gpssim::Simulator sim(config);
  std::string out;
  for (int i = 0; i < epochs; ++i)
    out += sim.Next().bytes;
  return out;
}

std::vector<gpssim::SimConfig> Configs(gpssim::Protocol protocol) {
  std::vector<gpssim::SimConfig> configs;
  gpssim::SimConfig base;
  base.protocol = protocol;
  configs.push_back(base);
  gpssim::SimConfig south = base;  // southern and western hemispheres, turning, climbing
  south.latitudeDeg = -33.86;
  south.longitudeDeg = -70.65;
  south.turnRateDegPerSec = 7.0;
  south.climbMps = 2.5;
  south.magVariationDeg = 12.0;
  configs.push_back(south);
  gpssim::SimConfig midnight = base;       // crosses midnight and the date line
  midnight.startUnixSeconds = 1735689598;  // 2024-12-31 23:59:58
  midnight.longitudeDeg = 179.9999;
  midnight.headingDeg = 90.0;
  midnight.speedMps = 250.0;
  configs.push_back(midnight);
  gpssim::SimConfig damaged = base;
  damaged.seed = 7;
  damaged.faults.badChecksumEvery = 3;
  damaged.faults.noiseEvery = 2;
  configs.push_back(damaged);
  return configs;
}

std::string Nmea(const std::string& body) {
  return navlib::nmea::NmeaSentenceOf(body);
}

std::vector<std::string> HandNmea() {
  return {
      Nmea("GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") +
          Nmea("GPRMC,123519.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A") +
          Nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1") +
          Nmea("GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45") +
          Nmea("GPGSV,2,2,08,15,10,050,,16,60,120,30,17,,,20,18,05,359,") +
          Nmea("GPGGA,123520.00,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,1.2,0031"),
      Nmea("GNGNS,014035.00,4332.69262,S,17235.48549,E,RRA,16,0.6,18.4,-0.5,,,V") +
          Nmea("GNGSA,A,3,80,71,73,79,69,,,,,,,,1.83,1.09,1.47,2") +
          Nmea("GNGSA,A,3,07,02,26,27,09,04,15,,,,,,1.83,1.09,1.47,1") +
          Nmea("GLGSV,1,1,04,69,34,080,28,70,12,137,,71,50,210,35,73,10,300,20,1") +
          Nmea("GAGSV,1,1,02,301,45,090,40,302,,,33,7") + Nmea("GBGSV,1,1,01,401,30,045,38,1") +
          Nmea("GNGNS,014036.00,4332.69262,S,17235.48549,E,NNN,00,,,,,,V"),
      Nmea("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A") +
          Nmea("GPGLL,4916.45,N,12311.12,W,225444,A,A") + Nmea("GPZDA,201530.00,04,07,2002,00,00") +
          Nmea("HEHDT,274.07,T") + Nmea("SDDPT,12.3,0.5,100") + Nmea("SDDBT,40.4,f,12.3,M,6.7,F") +
          Nmea("GPGST,172814.0,0.006,0.023,0.020,273.6,0.023,0.020,0.031") +
          Nmea("GPGBS,235458.00,1.4,1.3,3.1,03,,-21.4,3.8,1,0") + Nmea("INHDT,1.5,T"),
      // No fix, empty fields, status V, quality 0, and a time that jumps back.
      Nmea("GPRMC,000001.00,V,,,,,,,,,,N") + Nmea("GPGGA,000001.00,,,,,0,00,99.99,,,,,,") +
          Nmea("GPGSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99") + Nmea("GPGSV,1,1,00") +
          Nmea("GPGLL,,,,,000001.00,V,N") + Nmea("GPVTG,,,,,,,,,N") +
          Nmea("GPGGA,235959.99,8959.9999,N,17959.9999,W,1,12,0.5,-100.0,M,-30.0,M,,") +
          Nmea("GPGGA,000000.00,0000.0000,S,00000.0000,E,6,04,1.0,0.0,M,0.0,M,,"),
      // Damage: doubled $$, a truncated line, a bad checksum, no checksum, LF only, noise.
      "$$GPGGA,101010.00,5000.000,N,00800.000,E,1,05,1.0,100.0,M,47.0,M,,*00\r\n"
      "$GPRMC,101010.00,A,5000.0\r\n" +
          Nmea("GPRMC,101011.00,A,5000.000,N,00800.000,E,1.0,90.0,010124,,,A") +
          "$GPGGA,101012.00,5000.000,N,00800.000,E,1,05,1.0,100.0,M,47.0,M,,\n"
          "\x00\xff\x10\x03garbage$GP\r\n$GPZDA,101013,01,01,2024,,\n" +
          Nmea("PGRME,15.0,M,45.0,M,25.0,M"),
  };
}

std::string Frame(std::span<const uint8_t> packet) {
  std::string out;
  navlib::tsip::AppendTsipFrame(packet, out);
  return out;
}

std::string Frame(uint8_t id, const std::string& data) {
  std::vector<uint8_t> packet{id};
  packet.insert(packet.end(), data.begin(), data.end());
  return Frame(packet);
}

std::string Filled(std::size_t n, uint32_t seed) {
  std::string s(n, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (char& c : s) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x);
  }
  return s;
}

// A TSIPv1 report of the given data.
std::string V1(uint8_t id, uint8_t subcode, const std::string& data) {
  const std::vector<uint8_t> bytes(data.begin(), data.end());
  return Frame(navlib::tsip::TsipV1Packet(id, subcode, bytes));
}

std::vector<std::string> HandTsip() {
  struct Packet {
    uint8_t id;
    int subcode;
    std::size_t length;  // data bytes after the id (and the subcode)
  };
  const Packet packets[] = {
      {0x41, -1, 10}, {0x42, -1, 16},   {0x46, -1, 2},    {0x47, -1, 16},
      {0x4A, -1, 20}, {0x4B, -1, 3},    {0x55, -1, 4},    {0x56, -1, 20},
      {0x5C, -1, 24}, {0x6D, -1, 21},   {0x82, -1, 1},    {0x83, -1, 36},
      {0x84, -1, 36}, {0x8F, 0x20, 55}, {0x8F, 0xAB, 16}, {0x8F, 0xAC, 67},
  };
  std::vector<std::string> seeds;
  std::string all;
  uint32_t seed = 1;
  for (const Packet& p : packets) {
    std::string data = p.subcode >= 0 ? std::string(1, static_cast<char>(p.subcode)) : "";
    std::string noisy = data + Filled(p.length, seed++);
    data += std::string(p.length, '\0');
    if (p.id == 0x47) data[0] = noisy[0] = 3;     // three (prn, level) pairs
    if (p.id == 0x6D) data[0] = noisy[0] = 0x44;  // 3D, four satellites
    all += Frame(p.id, data);
    seeds.push_back(Frame(p.id, noisy) + Frame(p.id, data));
  }
  seeds.push_back(all);
  std::string v1 = V1(0xA1, 0x00, Filled(30, 90)) + V1(0xA1, 0x11, Filled(50, 91)) +
                   V1(0xA2, 0x00, Filled(23, 92)) + V1(0xA3, 0x11, Filled(23, 93));
  seeds.push_back(v1);
  // Damage: a frame cut short, stray DLEs, a lone ETX, an unknown id.
  seeds.push_back(std::string("\x10\x84\x00\x10\x10\x03\x10", 7) + "\x03\x10\x10\x03" +
                  Frame(0x99, "xyz") + Frame(0x46, std::string("\x00\x00", 2)));
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_seeds OUTDIR\n", stderr);
    return 2;
  }
  const fs::path root = argv[1];
  const fs::path nmeaDir = root / "nmea", tsipDir = root / "tsip", replayDir = root / "replay";
  std::error_code ec;
  for (const fs::path& d : {nmeaDir, tsipDir, replayDir})
    fs::create_directories(d, ec);

  bool ok = true;
  int n = 0;
  // Control bytes: a spread of chunkings; for replay bit 7 selects TSIP as the expected type.
  const uint8_t chunkings[] = {0x07, 0x00, 0x2B, 0x55};
  for (const gpssim::SimConfig& config : Configs(gpssim::Protocol::Nmea)) {
    const std::string log = Simulate(config, 3);
    for (uint8_t c : chunkings) {
      ok = WriteSeed(nmeaDir, "sim" + std::to_string(n++), c, log) && ok;
    }
    ok = WriteSeed(replayDir, "nmea-sim" + std::to_string(n++), 0x06, log) && ok;
  }
  for (const gpssim::SimConfig& config : Configs(gpssim::Protocol::Tsip)) {
    const std::string log = Simulate(config, 3);
    for (uint8_t c : chunkings) {
      ok = WriteSeed(tsipDir, "sim" + std::to_string(n++), c, log) && ok;
    }
    ok = WriteSeed(replayDir, "tsip-sim" + std::to_string(n++), 0x86, log) && ok;
  }
  for (const std::string& s : HandNmea()) {
    ok = WriteSeed(nmeaDir, "hand" + std::to_string(n++), 0x07, s) && ok;
    ok = WriteSeed(replayDir, "nmea-hand" + std::to_string(n++), 0x03, s) && ok;
  }
  for (const std::string& s : HandTsip()) {
    ok = WriteSeed(tsipDir, "hand" + std::to_string(n++), 0x07, s) && ok;
    ok = WriteSeed(replayDir, "tsip-hand" + std::to_string(n++), 0x85, s) && ok;
  }
  if (!ok) {
    std::fprintf(stderr, "make_seeds: cannot write under %s\n", argv[1]);
    return 1;
  }
  return 0;
}
