// gpssim: a simulated GPS receiver. Writes NMEA 0183 or TSIP for a moving receiver to a file, a
// serial device (a pty path, or COMn on Windows) or standard output, one epoch per second or as
// fast as possible.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "tools/gpssim/Simulator.h"

namespace {

void Usage() {
  std::fputs(
      "usage: gpssim [options]\n"
      "  --protocol nmea|tsip   output protocol (default nmea)\n"
      "  --out PATH             file or serial device (default: standard output)\n"
      "  --seconds N            number of epochs, one per simulated second (default 60)\n"
      "  --fast                 write as fast as possible instead of one epoch per second\n"
      "  --start YYYY-MM-DDTHH:MM:SS   UTC of the first epoch\n"
      "  --lat DEG --lon DEG --height M   start position (height above mean sea level)\n"
      "  --speed MPS --heading DEG --turn-rate DEG_PER_S --climb MPS\n"
      "  --systems LIST         gps (default), or any of gps,glonass,galileo,beidou, or all\n"
      "  --seed N               seed of the fault injector\n"
      "  --bad-checksum-every N corrupt the checksum of every Nth NMEA sentence\n"
      "  --noise-every N        put random bytes before every Nth epoch\n",
      stderr);
}

bool ParseDouble(const char* text, double* out) {
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (end == text || *end != '\0') return false;
  *out = v;
  return true;
}

bool ParseInt(const char* text, long long min, long long max, long long* out) {
  char* end = nullptr;
  const long long v = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || v < min || v > max) return false;
  *out = v;
  return true;
}

// Opens the output: a serial device is opened for update (it exists and cannot be truncated or
// created), anything else is created as a file.
std::FILE* OpenOutput(const std::string& path) {
#ifdef _WIN32
  // COM10 and above are reachable only through the device namespace.
  if (path.size() > 3 && (path.compare(0, 3, "COM") == 0 || path.compare(0, 3, "com") == 0))
    return std::fopen(("\\\\.\\" + path).c_str(), "r+b");
#endif
  std::error_code ec;
  if (std::filesystem::is_character_file(path, ec)) return std::fopen(path.c_str(), "r+b");
  return std::fopen(path.c_str(), "wb");
}

struct Options {
  gpssim::SimConfig config;
  long long seconds = 60;
  bool fast = false;
  std::string outPath;
};

enum class OptionResult { Ok, BadValue, Unknown };

// One option that takes a value.
OptionResult SetOption(const std::string& arg, const char* value, Options& o) {
  gpssim::SimConfig& config = o.config;
  long long n = 0;
  bool ok = true;
  if (arg == "--protocol") {
    if (std::strcmp(value, "nmea") == 0)
      config.protocol = gpssim::Protocol::Nmea;
    else if (std::strcmp(value, "tsip") == 0)
      config.protocol = gpssim::Protocol::Tsip;
    else
      ok = false;
  } else if (arg == "--out") {
    o.outPath = value;
  } else if (arg == "--seconds") {
    ok = ParseInt(value, 0, 100000000, &o.seconds);
  } else if (arg == "--start") {
    ok = gpssim::ParseUtc(value, &config.startUnixSeconds);
  } else if (arg == "--lat") {
    ok = ParseDouble(value, &config.latitudeDeg) && config.latitudeDeg >= -89.0 &&
         config.latitudeDeg <= 89.0;
  } else if (arg == "--lon") {
    ok = ParseDouble(value, &config.longitudeDeg) && config.longitudeDeg >= -180.0 &&
         config.longitudeDeg <= 180.0;
  } else if (arg == "--height") {
    ok = ParseDouble(value, &config.heightMetres);
  } else if (arg == "--speed") {
    ok = ParseDouble(value, &config.speedMps) && config.speedMps >= 0 && config.speedMps < 600;
  } else if (arg == "--heading") {
    ok = ParseDouble(value, &config.headingDeg);
  } else if (arg == "--turn-rate") {
    ok = ParseDouble(value, &config.turnRateDegPerSec);
  } else if (arg == "--climb") {
    ok = ParseDouble(value, &config.climbMps);
  } else if (arg == "--systems") {
    ok = gpssim::ParseSystems(value, &config.systems);
  } else if (arg == "--seed") {
    ok = ParseInt(value, 0, 0xFFFFFFFFLL, &n);
    config.seed = static_cast<uint32_t>(n);
  } else if (arg == "--bad-checksum-every") {
    ok = ParseInt(value, 0, 1000000, &n);
    config.faults.badChecksumEvery = static_cast<int>(n);
  } else if (arg == "--noise-every") {
    ok = ParseInt(value, 0, 1000000, &n);
    config.faults.noiseEvery = static_cast<int>(n);
  } else {
    return OptionResult::Unknown;
  }
  return ok ? OptionResult::Ok : OptionResult::BadValue;
}

// Reads the command line into o; -1 to go on, else the exit code.
int ParseArgs(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--fast") {
      o.fast = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      Usage();
      return 0;
    }
    const char* value = i + 1 < argc ? argv[++i] : nullptr;
    if (value == nullptr) {
      std::fprintf(stderr, "gpssim: %s needs a value\n", arg.c_str());
      Usage();
      return 2;
    }
    switch (SetOption(arg, value, o)) {
      case OptionResult::Ok:
        break;
      case OptionResult::BadValue:
        std::fprintf(stderr, "gpssim: bad value for %s: %s\n", arg.c_str(), value);
        return 2;
      case OptionResult::Unknown:
        std::fprintf(stderr, "gpssim: unknown option %s\n", arg.c_str());
        Usage();
        return 2;
    }
  }
  return -1;
}

// Writes the epochs, paced at one a second unless fast; 0, or 1 when the output failed.
int Run(const Options& o) {
  std::FILE* out = stdout;
  if (!o.outPath.empty() && o.outPath != "-") {
    out = OpenOutput(o.outPath);
    if (out == nullptr) {
      std::fprintf(stderr, "gpssim: cannot open %s\n", o.outPath.c_str());
      return 1;
    }
  }
  gpssim::Simulator sim(o.config);
  const auto start = std::chrono::steady_clock::now();
  int status = 0;
  for (long long k = 0; k < o.seconds; ++k) {
    if (!o.fast) std::this_thread::sleep_until(start + std::chrono::seconds(k));
    const gpssim::EncodedEpoch e = sim.Next();
    // A serial device that vanished shows up here as a failed write or flush.
    if (std::fwrite(e.bytes.data(), 1, e.bytes.size(), out) != e.bytes.size() ||
        (!o.fast && std::fflush(out) != 0)) {
      std::fprintf(stderr, "gpssim: write failed after %lld epochs\n", k);
      status = 1;
      break;
    }
  }
  if (out != stdout) {
    if (std::fclose(out) != 0 && status == 0) {
      std::fprintf(stderr, "gpssim: write failed\n");
      status = 1;
    }
  } else if (std::fflush(out) != 0) {
    status = 1;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const int exitCode = ParseArgs(argc, argv, options);
  return exitCode >= 0 ? exitCode : Run(options);
}
